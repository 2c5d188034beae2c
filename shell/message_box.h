#pragma once
// How every subsystem reports to the user.

// Shows the heading and the detail under the caption "Information" with an OK button
// (queued while another report is open). Returns 1 when shown or queued.
int ShowMessage(const char* heading, const char* detail);
