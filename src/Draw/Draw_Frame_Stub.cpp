// Stand-ins: see Draw_Frame.h.
#include "Draw/Draw_Frame.h"

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/VertexBuilderM.h"
#include "World/Room_Class.h"

void DrawFrame()
{
    if (!GR_D3D_DeviceReady || !Run_Room || !Run_Room->showColour) return;
    GR_D3D_Clear(0xFF000000u | (Run_Room->colour & 0xFFFFFFu), 1.0f, 0.0f, CLEAR_COLOUR | CLEAR_DEPTH);
}

void UpdateWindowSizeForRoom() {}
