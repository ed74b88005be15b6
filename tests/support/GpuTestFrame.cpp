#include "support/GpuTestFrame.h"

#include <cstdlib>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

GpuTestFrame::GpuTestFrame(int w, int h) : width(w), height(h)
{
    ok = GR_D3D_Init(nullptr, w, h, 0) && Start_Frame();
}

GpuTestFrame::~GpuTestFrame()
{
    End_Frame(false);
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}

std::vector<uint32_t> GpuTestFrame::Read() const
{
    GR_VertexBuilder_Flush();
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    D3DTexture* target = GR_D3D_GetBackBufferTarget();
    if (target) HGPU_ReadTexture(GR_D3D_GetTextureView(target), 0, 0, width, height, pixels.data(), width * 4);
    return pixels;
}

uint32_t GpuTestFrame::Pixel(int x, int y) const { return Read()[static_cast<size_t>(y) * width + x]; }

bool Near(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) return false;
    }
    return true;
}
