#include "Runner/Run_VirtualButtons.h"

#include <cstdint>

#include "Base/Matrix.h"
#include "Code/Code_Constant.h"
#include "Code/Code_ValueConvert.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/IO_Input.h"

namespace {
// Constants are found without regard to case (VK_LEFT is vk_left).
bool LookupConstant(const char* name, int32_t* value)
{
    ScriptValue* constant = Code_Constant_Get(name);
    if (!constant) return false;
    *value = ScriptValue_ToInt32(constant);
    return true;
}

void DrawArea(int* guiW, int* guiH, int* backW, int* backH, int* left, int* top)
{
    // The GUI layer has the back buffer's size until the game gives it another.
    *guiW = *guiH = -1;
    *backW = GR_D3D_BackBufferWidth;
    *backH = GR_D3D_BackBufferHeight;
    *left = *top = 0;
}

struct Vertex24 {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

// White triangles in back-buffer pixels, over whatever view the frame left.
void DrawTriangles(const float* xy, int count)
{
    if (!GR_D3D_DeviceExists() || count <= 0) return;
    GR_VertexBuilder_Flush();
    float saved[3][16];
    for (int slot = 0; slot < 3; ++slot) GR_D3D_GetMatrix(slot, saved[slot]);
    GR_D3D_SetView(0, 0, static_cast<float>(GR_D3D_BackBufferWidth), static_cast<float>(GR_D3D_BackBufferHeight), 0);
    Matrix identity;
    Matrix_Identity(&identity);
    GR_D3D_SetMatrix(MATRIX_WORLD, &identity.m[0][0]);
    if (auto* v = static_cast<Vertex24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 24, count))) {
        for (int i = 0; i < count; ++i) v[i] = Vertex24{0, 0, 0xFFFFFFFFu, xy[2 * i], xy[2 * i + 1], 0.5f};
    }
    GR_VertexBuilder_Flush();
    for (int slot = 0; slot < 3; ++slot) GR_D3D_SetMatrix(slot, saved[slot]);
}
}  // namespace

void VirtualButtons_InstallHooks()
{
    IO_VirtualButton_SetHooks(IO_VirtualButtonHooks{LookupConstant, nullptr, DrawArea, DrawTriangles});
}
