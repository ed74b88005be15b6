#pragma once
// The window's coordinate side: the changed flag, the windowed size, the
// caption, the window colour, and the mappings between window, views and GUI.
// Until the coordinate mapping exists (Graphics_WindowCoords_Stub.cpp) the
// caption is only stored and applied and the mappings are not kept.
#include <cstdint>

extern bool GR_Window_Changed;
extern int GR_WindowedWidth, GR_WindowedHeight;
void GR_Window_SetCaption(const char* utf8);
const char* GR_Window_GetCaption();
// The view mappings are recomputed (a room or view change).
void GR_Window_ResetViewMappings();
// The colour outside the drawn area.
void GR_Window_SetColour(uint32_t colour);
uint32_t GR_Window_GetColour();
