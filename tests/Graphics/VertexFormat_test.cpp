// Vertex formats: element layout, ids, the device input elements built for
// them, the element limit and the per-component byte swap.
#include "Graphics/VertexFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Graphics/VertexBuilderM.h"

namespace {

int Make(std::initializer_list<std::pair<int, int>> elements)
{
    EXPECT_TRUE(VertexFormat_Begin());
    for (auto [type, usage] : elements) EXPECT_EQ(VertexFormat_Add(type, usage), 0);
    return VertexFormat_End();
}

TEST(VertexFormat, ElementsFollowOneAnotherAndCarryTheirDeviceFormat)
{
    const int id = Make({{VERTEX_TYPE_FLOAT2, VERTEX_USE_POSITION},
                         {VERTEX_TYPE_COLOUR, VERTEX_USE_COLOUR},
                         {VERTEX_TYPE_FLOAT2, VERTEX_USE_TEXCOORD}});
    const VertexFormat* f = VertexFormat_Get(id);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(id & VERTEX_FORMAT_USER, VERTEX_FORMAT_USER);
    EXPECT_EQ(f->size, 20);
    EXPECT_EQ(f->elementMask, 7u);
    EXPECT_EQ(f->usageMask, 0x16u);
    ASSERT_EQ(f->elements.size(), 3u);
    EXPECT_EQ(f->elements[1].offset, 8);
    EXPECT_EQ(f->elements[2].offset, 12);
    EXPECT_EQ(f->elements[2].bit, 4u);
    ASSERT_EQ(f->inputElements.size(), 3u);
    EXPECT_STREQ(f->inputElements[1].semantic, "COLOR");
    EXPECT_EQ(f->inputElements[1].format, HGPU_ElementFormat::UByte4Norm);
    EXPECT_EQ(f->inputElements[2].offset, 12u);

    // Every type: its size, components and device format, in one format.
    const int all = Make({{1, VERTEX_USE_POSITION}, {2, VERTEX_USE_POSITION}, {3, VERTEX_USE_NORMAL},
                          {4, VERTEX_USE_BLENDWEIGHT}, {5, VERTEX_USE_COLOUR}, {6, VERTEX_USE_BLENDINDICES},
                          {6, VERTEX_USE_SAMPLE}});
    const VertexFormat* g = VertexFormat_Get(all);
    ASSERT_NE(g, nullptr);
    const int offsets[] = {0, 4, 12, 24, 40, 44, 48};
    const HGPU_ElementFormat formats[] = {HGPU_ElementFormat::Float1, HGPU_ElementFormat::Float2,
                                          HGPU_ElementFormat::Float3, HGPU_ElementFormat::Float4,
                                          HGPU_ElementFormat::UByte4Norm, HGPU_ElementFormat::UByte4,
                                          HGPU_ElementFormat::UByte4};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(g->elements[i].offset, offsets[i]) << i;
        EXPECT_EQ(g->inputElements[i].format, formats[i]) << i;
    }
    EXPECT_EQ(g->size, 52);
    // Two positions: semantic indices 0 and 1; usage 14 has a name no shader input maps to.
    EXPECT_EQ(g->inputElements[1].semanticIndex, 1);
    EXPECT_STREQ(g->inputElements[1].semantic, "POSITION");
    EXPECT_STREQ(g->inputElements[6].semantic, "SAMPLE");
    EXPECT_EQ(VertexType_Size(7), 0);
    EXPECT_EQ(VertexType_ElementFormat(7), HGPU_ElementFormat::Float4);

    VertexFormat_Delete(id);
    VertexFormat_Delete(all);
    EXPECT_EQ(VertexFormat_Get(id), nullptr);
}

TEST(VertexFormat, IdsAreNeverReused)
{
    const int first = Make({{VERTEX_TYPE_FLOAT2, VERTEX_USE_POSITION}});
    const int second = Make({});
    EXPECT_EQ(second, first + 1);
    VertexFormat_Delete(second);
    VertexFormat_Delete(second);  // a second delete finds nothing
    const int third = Make({});
    EXPECT_EQ(third, first + 2);
    // A format closed with no elements has no size and no element bits.
    EXPECT_EQ(VertexFormat_Get(third)->size, 0);
    EXPECT_EQ(VertexFormat_Get(third)->elementMask, 0u);
    EXPECT_NE(VertexFormat_Get(first), nullptr) << "the cache does not hide the others";
    VertexFormat_Delete(first);
    VertexFormat_Delete(third);
    EXPECT_EQ(VertexFormat_Get(third), nullptr);
}

TEST(VertexFormat, OneFormatIsBuiltAtATimeWithAtMost32Elements)
{
    EXPECT_EQ(VertexFormat_Add(VERTEX_TYPE_FLOAT1, VERTEX_USE_FOG), 1);
    ASSERT_TRUE(VertexFormat_Begin());
    VertexFormat_Add(VERTEX_TYPE_FLOAT2, VERTEX_USE_POSITION);
    EXPECT_FALSE(VertexFormat_Begin()) << "the open format is kept";
    for (int i = 1; i < 32; ++i) EXPECT_EQ(VertexFormat_Add(VERTEX_TYPE_FLOAT1, VERTEX_USE_FOG), 0);
    EXPECT_EQ(VertexFormat_Add(VERTEX_TYPE_FLOAT1, VERTEX_USE_FOG), 2);
    EXPECT_EQ(VertexFormat_Building()->elements.size(), 32u);
    EXPECT_EQ(VertexFormat_Building()->elementMask, 0xFFFFFFFFu);
    const int id = VertexFormat_End();
    EXPECT_EQ(VertexFormat_Get(id)->size, 8 + 31 * 4);
    EXPECT_EQ(VertexFormat_End(), -1);
    VertexFormat_Delete(id);
}

TEST(VertexFormat, ByteSwapReversesEachComponent)
{
    const int id = Make({{VERTEX_TYPE_FLOAT3, VERTEX_USE_POSITION}, {VERTEX_TYPE_COLOUR, VERTEX_USE_COLOUR}});
    const VertexFormat* f = VertexFormat_Get(id);
    uint8_t bytes[40];
    auto fill = [&] {
        for (int i = 0; i < 40; ++i) bytes[i] = static_cast<uint8_t>(i);
    };
    auto swapped = [&](int at) { return bytes[at] == at + 3 && bytes[at + 3] == at && bytes[at + 1] == at + 2; };

    fill();
    f->ByteSwapVertices(bytes, 1, 0, 40, false);
    for (int at : {0, 4, 8, 12}) EXPECT_TRUE(swapped(at)) << at;
    EXPECT_EQ(bytes[16], 16) << "one vertex only";

    // Bounded: three 16-byte vertices asked from offset 8 of 40 bytes, two fit.
    fill();
    f->ByteSwapVertices(bytes, 3, 8, 40, false);
    EXPECT_EQ(bytes[4], 4);
    EXPECT_TRUE(swapped(8));
    EXPECT_TRUE(swapped(36));

    // Wrapped: a vertex from offset 32 continues at the start.
    fill();
    f->ByteSwapVertices(bytes, 1, 32, 40, true);
    EXPECT_TRUE(swapped(32));
    EXPECT_TRUE(swapped(36));
    EXPECT_TRUE(swapped(0));
    EXPECT_TRUE(swapped(4));
    EXPECT_EQ(bytes[8], 8);

    // Nothing for a wrap without a size, or an offset outside the data.
    fill();
    f->ByteSwapVertices(bytes, 1, 0, -1, true);
    f->ByteSwapVertices(bytes, 1, 41, 40, false);
    f->ByteSwapVertices(nullptr, 1, 0, 40, false);
    for (int i = 0; i < 40; ++i) ASSERT_EQ(bytes[i], i);
    VertexFormat_Delete(id);
}

}  // namespace
