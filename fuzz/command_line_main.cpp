// The program's own main, renamed so that the command-line harness can call it.
#define main VelkarionMain
#include "app/main.cpp"
