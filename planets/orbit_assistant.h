#pragma once
// The orbit assistant (form 2550): one record of the comet database at a time on six
// pages (3D View, Sky View, Ephemeris, Best Dates, Brightest, Data), with its own date,
// time and step. Other forms choose the record and the page before opening it.
#include "planets/orbit_state.h"
#include "platform/window.h"

void SetCurrentCometIndex(int index);
void SetOrbitFormView(int page);

platform::LResult OrbitAssistant(platform::Window w, unsigned message, platform::WParam wParam,
                                 platform::LParam lParam);
// Shows the controls of the page and draws it for record `index`.
void RefreshOrbitForm(int index);
int OrbitFormCommand(int id);
int OrbitFormKey(int key);
// Moves the form's date by `days`, redraws, and goes on while a cursor key is held.
void StepOrbitTime(int days);
void OrbitFormPenDown(int x, int y);
void OrbitFormPenMove(int x, int y);
// 1 when the pen-up did something (the screen is then saved).
int OrbitFormPenUp(int x, int y);
// The Data page of record `index` (below 0: the working record of a new one).
void ShowCometElements(int index);
void SetCometLabelMode(int comet);
// Gives the chart settings back and frees the page buffers; harmless when not open.
void CloseOrbitForm();
int LayoutOrbitForm(platform::Window dialog, int width, int height);
// The page help text (heading and detail).
void OrbitHelpText(int page, const char** heading, const char** detail);
