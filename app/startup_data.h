#pragma once
// The program's start and end: AllocStartupData makes every subsystem's start-up buffers in
// their order and sets the start state; FreeStartupData saves what outlives the run and
// releases everything.
//
// Start: AllocStartupData runs once the main window exists. Exit: the main window first
// closes the form still shown (RestoreMainLayout), so that no form's close path can reach
// a freed buffer, and then calls FreeStartupData. Every release is guarded, so a start
// that stopped half-way frees cleanly and a second FreeStartupData does nothing.
//
// The buffers belong to their subsystems: the scratch text to the shell, the star table,
// the chart's view buffers and the description to the catalogs, the search blocks to the
// object forms, the alignment stars to the telescope layer, the event rows to the events.
// Every block goes through StartupCalloc ("core/startup_alloc.h").

// Allocates the buffers, sets the settings to their defaults, takes the observing time,
// applies the night colours and the chart's start state, and loads the last observing
// list. An allocation failure is reported and ends the loader there (the settings are
// already set); the chart buffers and the selection list end only their own step.
// Returns 0.
int AllocStartupData();

// Saves the observing date and the last list, restores the system colours, releases the
// other subsystems' buffers and handles, closes the databases and frees every buffer,
// setting each pointer to null.
void FreeStartupData();
