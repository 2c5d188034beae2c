#pragma once
// The shared font set with the symbol font from the program's own font file, the text
// drawing built on it, the two icon strips (object symbols and tool icons), the lit
// profile of a disc for a phase, the 24-hour bar, and a few small toolkit services.
// Everything draws on the current draw target in the colour scheme's colours.
#include <string>

#include "platform/gfx_objects.h"
#include "platform/types.h"
#include "shell/draw_targets.h"

// Font ids: 0 to 5 plain and bold in three sizes, 6 and 7 the symbol font.
constexpr int kFontCount = 8;
constexpr int kSymbolStdFontId = 6;
constexpr int kSymbolSmallFontId = 7;

struct FontSet {
    platform::GfxObject fonts[kFontCount];
    bool made = false;
    bool symbolFileAdded = false;
    bool ownSymbolStd = false;     // font 6 is a font of its own, not font 0
    bool ownSymbolSmall = false;   // font 7 is a font of its own, not font 2
};
extern FontSet fontSet;
extern platform::GfxObject symbolStdFont;
extern platform::GfxObject symbolSmallFont;

// 1 at start: the string functions draw with a transparent background while it is set.
extern int textTransparent;

// The program path of the symbol font file.
constexpr const char* kSymbolFontPath = "font\\symbol.ttf";

// ---- Fonts -------------------------------------------------------------------------------

// Makes the font set on first use, then selects font `id` into the draw target. An id
// above 7 or a failed selection selects nothing and makes the current id 0. Returns the
// id that was current before.
int SetFont(int id);
int GetFont();
// Registers a font file for the run (replacing an earlier registration of it); returns
// the number of fonts added, 0 after telling the user what went wrong.
int AddFontFile(const std::string& path);
// Deletes the font set and removes the symbol font file's registration.
void ReleaseFonts();

// ---- Text (program text, at most 255 characters are drawn) -------------------------------

void DrawChars(const char* text, int count, int x, int y);
int CharsWidth(const char* text, int count);
int SetTextTransparent(int flag);
// With font 2 when the current id is 0, transparent while textTransparent is set.
void DrawString(const char* text, int length, int x, int y);
void DrawStringNoFont(const char* text, int length, int x, int y);
// Word-wrapped into the box on a transparent background; returns the text's height.
int DrawTextInBox(const char* text, int x, int y, int width, int height);
void DrawSymbolChar(char ch, int x, int y);
// Beside a point: to its right when x >= limit, else to its left.
void DrawCenteredLabel(const char* text, int x, int y, int limit);
// In font 3 on the label colours, ending half its width (at 96 dpi) left of x.
void DrawLabelRight(const char* text, int x, int y);
// Logical pixels per inch / 48: 2 at 96 dpi, 4 at 192 dpi.
int GetDpiFactor();

// ---- Icon strips -------------------------------------------------------------------------

struct IconStrip {
    DrawWindow* strip = nullptr;
    int cell = 0;
    int half = 0;
    int row = 0;
};
extern IconStrip symbolStrip;
extern IconStrip toolStrip;

// Object symbol n centred on (x, y).
int DrawSymbolIcon(int n, int mode, int x, int y);
// Style 2: the strip for a white chart background (key white); otherwise key black.
int LoadToolIcons(int style);
// Tool icon n centred on (x, y).
int DrawToolIcon(int n, int x, int y);
void FreeSymbolStrips();

// ---- Drawing extras ----------------------------------------------------------------------

// For a disc of radius n: per row from the centre line outward, the left and right x of
// the lit part in a box 2n wide, for a phase as a fraction of the lunation.
void ComputePhaseProfile(double phase, int left[], int right[], int n);
// The 24-hour bar: the span from start to middle and on to end (hours, wrapping past 24),
// hour ticks, labels and an optional mark (mark < 0: none).
void DrawDayBar(int x, int y, int width, int height, float mark, float start, float middle, float end);

// ---- Toolkit services --------------------------------------------------------------------

int IsKeyDown(int key);
long PassThrough(long value);
int DefaultKeyHook(int keyEvent);
void HookControlPair(int firstId, int secondId);
void EmptyHookA();
void EmptyHookB();
void EmptyHookC();
void EmptyHookD();
void EmptyHookE();
void EmptyHookF(int value);
