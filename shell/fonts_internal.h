#pragma once
// For tests only: the screen density the forms see, so that the branches written for
// low-density screens (where GetDpiFactor is 1) run on the test screens too.

// GetDpiFactor answers `factor` while it is 1 or more; 0 gives the screen's own value back.
void SetDpiFactorOverride(int factor);
