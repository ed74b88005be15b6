#pragma once
// Stand-in for the input state until input exists.

// Clears all keyboard, mouse and wheel state.
void IO_Clear();
