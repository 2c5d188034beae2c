#pragma once
// The chart's cursor and page keys: while the chart follows a mount that can slew (or the
// emulated mount) they drive the mount for as long as the key is held; otherwise they
// scroll the chart, quickly from what was last drawn (ShiftChart) while the key is held,
// and in full once it is released. Up and page down are north, down and page up south.

// Which way a key moves: 0 north, 1 south, 2 east, 3 west; -1 for any other key.
int ChartKeyDirection(int key);

// The key handler of form 1900 (page up and down, the cursor keys): without a followed
// mount the save-unders are freed first. 1 when the key was used.
int ChartFormKey(int key);
int ChartKeyHandler(int key);

// The mount's slew rate for a zoom level when a key drives it: 0 slew for levels 0..5,
// 1 find for 6..9, 2 center for 10..13.
int ChartKeyRate(int zoom);
