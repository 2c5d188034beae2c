#pragma once
// What the shell frees of the Moon forms at exit: the lunar feature index (moon_map.h)
// and the terminator list (moon_assistant.h). Each is harmless when already freed.

void FreeMoonIndexBuffer();
void FreeTerminatorList();
