#pragma once
// The display_ and window_ built-ins: display modes, the desktop cursor, the
// game window's caption, colour, cursor, full screen, size, position and size
// limits, and the mouse in window and view coordinates.
void InitDisplayFunctions();
