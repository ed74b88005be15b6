// The device side of user vertex formats: their input elements and the one
// input layout the built-in programs read them with. The device binds
// attributes by semantic when it draws, so a layout does not depend on the
// program it is used with.
#include "Graphics/VertexBuilderM.h"
#include "Graphics/VertexFormat.h"

void GR_D3D_BuildVertexFormatLayout(VertexFormat* format)
{
    if (!format) return;
    GR_D3D_FreeVertexFormatLayout(format);
    for (const VertexFormatElement& element : format->elements) {
        const char* semantic = VertexUsage_SemanticName(element.usage);
        format->inputElements.push_back({semantic ? semantic : "INVALID", element.semanticIndex,
                                         VertexType_ElementFormat(element.type),
                                         static_cast<uint32_t>(element.offset)});
    }
}

void GR_D3D_FreeVertexFormatLayout(VertexFormat* format)
{
    if (!format) return;
    HGPU_ReleaseInputLayout(format->layout);
    format->layout = nullptr;
    format->inputElements.clear();
}

HGPU_InputLayout* GR_D3D_GetVertexFormatLayout(VertexFormat* format)
{
    if (!format || format->inputElements.empty() || !HGPU_HasDevice()) return nullptr;
    if (!format->layout) {
        format->layout =
            HGPU_CreateInputLayout(format->inputElements.data(), static_cast<int>(format->inputElements.size()));
        if (!format->layout)
            GR_D3D_CheckHResult(HGPU_E_FAIL, "GR_D3D_Device->CreateInputLayout", __LINE__, __FILE__);
    }
    return format->layout;
}

bool GR_D3D_FormatHasPositionColour(uint32_t usageMask)
{
    const uint32_t needed = VertexUsageBit(VERTEX_USE_POSITION) | VertexUsageBit(VERTEX_USE_COLOUR);
    return (usageMask & needed) == needed;
}
