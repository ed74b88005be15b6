#pragma once
// The FreeType library the run-time fonts are opened with: made once, on the
// first reset of the font table or the first font that needs it, and done
// with at shutdown after every face is closed.

// False, with a log line, when FreeType cannot be initialised.
bool Font_FreeTypeInit();
void Font_FreeTypeDone();
