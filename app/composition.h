#pragma once
// Where the program is put together: the shell's report boxes become the report hooks of
// the computations, every built form is registered with the form switch, and the
// subsystems' hooks are connected. InitInstance does it first; tests that run the program
// do it through InitInstance too. Only the first call does anything.
void ComposeProgram();
