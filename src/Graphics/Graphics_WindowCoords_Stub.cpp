// Stand-ins: see Graphics_WindowCoords.h.
#include <string>

#include "Graphics/Graphics_Window.h"

bool GR_Window_Changed = false;
int GR_WindowedWidth = 0, GR_WindowedHeight = 0;

namespace {
std::string g_Caption;
uint32_t g_Colour = 0;
}  // namespace

void GR_Window_SetCaption(const char* utf8)
{
    g_Caption = utf8 ? utf8 : "";
    Win32Window_ApplyCaption();
}

const char* GR_Window_GetCaption() { return g_Caption.c_str(); }

void GR_Window_ResetViewMappings() {}
void GR_Window_SetColour(uint32_t colour) { g_Colour = colour & 0xFFFFFFu; }
uint32_t GR_Window_GetColour() { return g_Colour; }
