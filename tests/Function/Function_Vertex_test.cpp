// The vertex format and vertex buffer built-ins through the built-in table,
// as compiled code calls them: what they store, what they draw on the
// software device, and what they refuse.
#include "Function/Function_Vertex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/VertexBuffer.h"
#include "Graphics/VertexBuilderM.h"
#include "Graphics/VertexFormat.h"
#include "Options/Runner_Options.h"
#include "support/EngineReset.h"
#include "support/GpuTestFrame.h"

namespace {

constexpr int kSize = 32;
const uint32_t kBlack = Rgba(0, 0, 0, 255), kRed = Rgba(255, 0, 0, 255), kGreen = Rgba(0, 255, 0, 255);

class VertexFunctions : public ::testing::Test {
protected:
    GpuTestFrame frame{kSize, kSize};

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        CodeFunction_FreeAll();
        InitVertexFormatFunctions();
        InitVertexFunctions();
        ShowErrorDialogs = false;
        ChildGame = true;  // a fatal report returns so that the test goes on
        ForgetErrors();
        GR_D3D_SetView(0, 0, kSize, kSize, 0);
        GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR);
    }
    void TearDown() override
    {
        GR_VertexBuilder_Flush();
        CodeFunction_FreeAll();
        ForgetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
    }
    static std::string TakeError()
    {
        std::string text = ErrorLast_Get() ? ErrorLast_Get() : "";
        ForgetErrors();
        return text;
    }
    static bool Reported(const char* text) { return TakeError().find(text) != std::string::npos; }
    static double Call(const char* name, std::vector<double> numbers)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue> args;
        for (double d : numbers) args.push_back(ScriptValue_Real(d));
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = ScriptValue_Real(-1234.5);
        CallBuiltinFunction(nullptr, nullptr, &result, static_cast<int>(args.size()), index, pointers.data());
        return result.Kind() == VALUE_REAL ? result.real : -9999;  // -9999: not a number
    }
    // A format of the named adds, closed.
    static int Format(std::vector<const char*> adds)
    {
        Call("vertex_format_begin", {});
        for (const char* add : adds) Call(add, {});
        return static_cast<int>(Call("vertex_format_end", {}));
    }
    static int PositionColourFormat()
    {
        return Format({"vertex_format_add_position", "vertex_format_add_colour"});
    }
    // A triangle of {position, colour} vertices covering the top-left half of the frame.
    static int Triangle(int format, uint32_t colour)
    {
        const int vb = static_cast<int>(Call("vertex_create_buffer", {}));
        Call("vertex_begin", {double(vb), double(format)});
        const float points[3][2] = {{0, 0}, {kSize, 0}, {0, kSize}};
        for (const auto& p : points) {
            Call("vertex_position", {double(vb), p[0], p[1]});
            Call("vertex_colour", {double(vb), double(colour), 1});
        }
        Call("vertex_end", {double(vb)});
        return vb;
    }
    template <typename Work>
    static int DrawCalls(Work work)
    {
        GR_VertexBuilder_Flush();
        const int before = GR_D3D_DrawCallCount;
        work();
        GR_VertexBuilder_Flush();
        return GR_D3D_DrawCallCount - before;
    }
    static const uint8_t* Data(int vb) { return VertexBuffer_Get(vb)->data; }
};

TEST_F(VertexFunctions, FormatBuiltinsReportMisuse)
{
    Call("vertex_format_add_normal", {});
    EXPECT_TRUE(Reported("vertex_format_add_normal(): haven't started a new format."));
    EXPECT_EQ(Call("vertex_format_end", {}), -9999) << "no result (undefined) without a format";
    EXPECT_TRUE(Reported("vertex_format_end(): Can't end format, you haven't started one yet."));
    EXPECT_EQ(Call("vertex_format_begin", {}), -1);
    Call("vertex_format_add_position_3d", {});
    Call("vertex_format_begin", {});
    EXPECT_TRUE(Reported("vertex_format_begin(): Can't start a new format, still creating another one."));
    Call("vertex_format_add_custom", {7, 1});
    EXPECT_TRUE(Reported("vertex_format_add_custom(): illegal types"));
    Call("vertex_format_add_custom", {1, 15});
    EXPECT_TRUE(Reported("vertex_format_add_custom(): illegal usage"));
    Call("vertex_format_add_custom", {6, 14});
    for (int i = 2; i < 32; ++i) Call("vertex_format_add_texcoord", {});
    EXPECT_EQ(TakeError(), "");
    Call("vertex_format_add_color", {});
    EXPECT_TRUE(Reported("vertex_format_add_colour(): Too many elements"));
    Call("vertex_format_add_custom", {1, 1});
    EXPECT_TRUE(Reported("vertex_format_add_custom(): Too many elements"));
    const int id = static_cast<int>(Call("vertex_format_end", {}));
    const VertexFormat* f = VertexFormat_Get(id);
    ASSERT_NE(f, nullptr) << "the first format survived the second begin";
    EXPECT_EQ(f->elements.size(), 32u);
    EXPECT_EQ(f->size, 12 + 4 + 30 * 8);
    Call("vertex_format_delete", {double(id)});
    EXPECT_EQ(VertexFormat_Get(id), nullptr);
    Call("vertex_format_delete", {double(id)});
    EXPECT_EQ(TakeError(), "") << "an unknown id is ignored";
}

TEST_F(VertexFunctions, SafeWritersPutEveryElementInItsPlace)
{
    // Every writer, in an order unlike the format's: the safe set finds each place.
    const int format =
        Format({"vertex_format_add_position_3d", "vertex_format_add_normal", "vertex_format_add_colour",
                "vertex_format_add_textcoord", "vertex_format_add_position"});
    Call("vertex_format_begin", {});
    Call("vertex_format_add_custom", {1, 5});
    Call("vertex_format_add_custom", {2, 8});
    Call("vertex_format_add_custom", {3, 9});
    Call("vertex_format_add_custom", {4, 12});
    Call("vertex_format_add_custom", {6, 6});
    Call("vertex_format_add_custom", {5, 2});
    const int floats = static_cast<int>(Call("vertex_format_end", {}));

    const int vb = static_cast<int>(Call("vertex_create_buffer_ext", {10}));
    EXPECT_EQ(Call("vertex_get_buffer_size", {double(vb)}), 256);
    EXPECT_EQ(Call("vertex_get_number", {double(vb)}), 0);
    EXPECT_EQ(Call("vertex_begin", {double(vb), double(format)}), 0);
    EXPECT_EQ(Call("vertex_texcoord", {double(vb), 0.25, 0.75}), 0);
    Call("vertex_position", {double(vb), 7, 8});
    Call("vertex_colour", {double(vb), 0x123456, 0.5});
    Call("vertex_normal", {double(vb), 0, 0, -1});
    Call("vertex_position_3d", {double(vb), 1, 2, 3});
    EXPECT_EQ(Call("vertex_get_number", {double(vb)}), 1);
    // The second vertex, in format order, with the other colour writer.
    Call("vertex_position_3d", {double(vb), 4, 5, 6});
    Call("vertex_normal", {double(vb), 1, 0, 0});
    Call("vertex_argb", {double(vb), double(0xFF00FF00u)});
    Call("vertex_texcoord", {double(vb), 1, 1});
    Call("vertex_position", {double(vb), 9, 9});
    Call("vertex_end", {double(vb)});
    EXPECT_EQ(TakeError(), "");
    EXPECT_EQ(Call("vertex_get_number", {double(vb)}), 2);
    struct Vertex {
        float x, y, z, nx, ny, nz;
        uint32_t colour;
        float u, v, x2, y2;
    };
    static_assert(sizeof(Vertex) == 44);
    Vertex v[2];
    std::memcpy(v, Data(vb), sizeof v);
    EXPECT_EQ(v[0].z, 3);
    EXPECT_EQ(v[0].nz, -1);
    EXPECT_EQ(v[0].colour, 0x7F123456u) << "alpha 0.5 truncates to 127";
    EXPECT_EQ(v[0].v, 0.75f);
    EXPECT_EQ(v[0].y2, 8);
    EXPECT_EQ(v[1].x, 4);
    EXPECT_EQ(v[1].colour, 0xFF00FF00u);
    EXPECT_EQ(v[1].x2, 9);

    // Elements by type alone, any usage; colour alpha clamps at both ends.
    Call("vertex_begin", {double(vb), double(floats)});
    Call("vertex_ubyte4", {double(vb), 0x101, 2, 3, 255});
    Call("vertex_float4", {double(vb), 1, 2, 3, 4});
    Call("vertex_colour", {double(vb), 0xFFFFFFFF, 1.5});
    Call("vertex_float3", {double(vb), 5, 6, 7});
    Call("vertex_float1", {double(vb), 8});
    Call("vertex_float2", {double(vb), 9, 10});
    EXPECT_EQ(Call("vertex_get_number", {double(vb)}), 1);
    Call("vertex_color", {double(vb), 0x10, -1});
    Call("vertex_end", {double(vb)});
    EXPECT_TRUE(Reported("vertex_end: Must finish writing vertex before end."));
    const uint8_t* d = Data(vb);
    float f[10];
    std::memcpy(f, d, sizeof f);
    const float expected[10] = {8, 9, 10, 5, 6, 7, 1, 2, 3, 4};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f[i], expected[i]) << i;
    EXPECT_EQ(d[40], 1);
    EXPECT_EQ(d[43], 255);
    uint32_t colour;
    std::memcpy(&colour, d + 44, 4);
    EXPECT_EQ(colour, 0xFFFFFFFFu);
    std::memcpy(&colour, d + 48 + 44, 4);
    EXPECT_EQ(colour, 0x00000010u) << "negative alpha is 0";
    EXPECT_EQ(VertexBuffer_Get(vb)->buildingFormat, floats) << "still filling";
    Call("vertex_delete_buffer", {double(vb)});
    EXPECT_EQ(VertexBuffer_Get(vb), nullptr);
}

TEST_F(VertexFunctions, WritersRefuseWhatTheVertexCannotTake)
{
    const int format = PositionColourFormat();
    const int vb = static_cast<int>(Call("vertex_create_buffer", {}));
    Call("vertex_position", {double(vb), 1, 2});
    EXPECT_TRUE(Reported("VERTEX BUILDER: Must use vertex_begin() before writing to buffer"));
    Call("vertex_begin", {double(vb), double(format)});
    Call("vertex_position", {double(vb), 1, 2});
    Call("vertex_position", {double(vb), 3, 4});
    EXPECT_TRUE(Reported("VERTEX BUILDER: element already written, must write the whole vertex first\n\n"));
    Call("vertex_texcoord", {double(vb), 0, 0});
    EXPECT_TRUE(Reported("VERTEX BUILDER: Vertex format does not contain selected type.\n\n"));
    Call("vertex_float2", {double(vb), 0, 0});
    EXPECT_TRUE(Reported("VERTEX BUILDER: element already written"));
    Call("vertex_position", {double(vb), 1});
    EXPECT_TRUE(Reported("VERTEX BUILDER: Illegal argument count"));
    float xy[2];
    std::memcpy(xy, Data(vb), 8);
    EXPECT_EQ(xy[0], 1) << "the refused writes wrote nothing";
    EXPECT_EQ(xy[1], 2);
    Call("vertex_colour", {double(vb), 0xFF, 1});
    Call("vertex_end", {double(vb)});
    EXPECT_EQ(TakeError(), "");

    // Frozen: no more writing, beginning, ending or freezing.
    Call("vertex_freeze", {double(vb)});
    EXPECT_EQ(TakeError(), "");
    EXPECT_EQ(Data(vb), nullptr);
    Call("vertex_position", {double(vb), 1, 2});
    EXPECT_TRUE(Reported("VERTEX BUILDER: Illegal vertex buffer specified."));
    Call("vertex_begin", {double(vb), double(format)});
    EXPECT_TRUE(Reported("vertex_begin: Illegal vertex buffer specified."));
    Call("vertex_end", {double(vb)});
    EXPECT_TRUE(Reported("vertex_end: Illegal vertex buffer specified."));
    Call("vertex_freeze", {double(vb)});
    EXPECT_TRUE(Reported("vertex_freeze: Illegal vertex buffer specified."));
    EXPECT_EQ(Call("vertex_get_number", {double(vb)}), 1);
    Call("vertex_delete_buffer", {double(vb)});
}

TEST_F(VertexFunctions, BadHandlesAreReportedWithTheirResults)
{
    struct Case {
        const char* name;
        std::vector<double> args;
        double result;
        const char* message;
    };
    const int format = PositionColourFormat();
    const int vb = static_cast<int>(Call("vertex_create_buffer", {}));
    const Case cases[] = {
        {"vertex_create_buffer", {1}, -1, "vertex_create_buffer: Illegal argument count"},
        {"vertex_delete_buffer", {99}, -1, "vertex_delete_buffer: Invalid vertex buffer specified"},
        {"vertex_delete_buffer", {-1}, -1, "vertex_delete_buffer: Invalid vertex buffer specified"},
        {"vertex_begin", {99, double(format)}, 0, "vertex_begin: Illegal vertex buffer specified."},
        {"vertex_begin", {double(vb), 12345}, 0, "vertex_create_buffer: Illegal vertex format specified"},
        {"vertex_begin", {double(vb)}, 0, "vertex_begin: Illegal argument count"},
        {"vertex_end", {-3}, 0, "vertex_end: Illegal vertex buffer specified."},
        {"vertex_position", {99, 0, 0}, 0, "VERTEX BUILDER: Illegal vertex buffer specified."},
        {"vertex_submit", {99, 4, -1}, -1, "vertex_submit: Illegal vertex buffer specified."},
        {"vertex_submit", {double(vb), 4, -1}, -1, "vertex_submit: Must finish with vertex_end() before submitting."},
        {"vertex_freeze", {99}, -1, "vertex_freeze: Illegal vertex buffer specified."},
        {"vertex_get_number", {99}, 0, "vertex_get_number: specified vertex buffer doesn't exists"},
        {"vertex_get_buffer_size", {99}, -1, "Vertex Buffer index is out of range"},
        {"vertex_create_buffer_from_buffer", {99, double(format)}, -1,
         "vertex_create_buffer_from_buffer: specified buffer doesn't exists"},
        {"vertex_create_buffer_from_buffer_ext", {99, double(format), 0, 1}, -1,
         "vertex_create_buffer_from_buffer_ext: specified buffer doesn't exists"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Call(c.name, c.args), c.result) << c.name;
        EXPECT_TRUE(Reported(c.message)) << c.name << ": " << c.message;
    }
    Call("vertex_delete_buffer", {double(vb)});
}

TEST_F(VertexFunctions, BuffersDrawThroughTheBatchAndFrozen)
{
    const int format = PositionColourFormat();
    const int vb = Triangle(format, 0x0000FF);
    EXPECT_EQ(DrawCalls([&] { EXPECT_EQ(Call("vertex_submit", {double(vb), 4, -1}), -1); }), 1);
    EXPECT_EQ(frame.Pixel(4, 4), kRed);
    EXPECT_EQ(frame.Pixel(28, 28), kBlack);
    Call("vertex_submit", {double(vb), 7, -1});
    EXPECT_TRUE(Reported("vertex_submit: Primitive type error."));

    // Frozen: drawn from the device copy; a fan is refused.
    GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR);
    Call("vertex_freeze", {double(vb)});
    EXPECT_EQ(DrawCalls([&] { Call("vertex_submit", {double(vb), 4, -1}); }), 1);
    EXPECT_EQ(frame.Pixel(4, 4), kRed);
    Call("vertex_submit", {double(vb), 6, -1});
    EXPECT_TRUE(Reported("vertex_submit: Primitive type error."));

    // The device going away takes the copy; the next submit makes it again.
    GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR);
    GR_VertexBuilder_Free();
    GR_VertexBuilder_Init();
    EXPECT_EQ(VertexBuffer_Get(vb)->hardware->buffer, nullptr);
    GR_D3D_SetView(0, 0, kSize, kSize, 0);
    Call("vertex_submit", {double(vb), 4, -1});
    EXPECT_EQ(frame.Pixel(4, 4), kRed);

    // Deleting the format leaves the buffer unable to draw, not broken.
    Call("vertex_format_delete", {double(format)});
    const int other = Triangle(PositionColourFormat(), 0xFF);
    VertexBuffer_Get(other)->format = format;
    Call("vertex_submit", {double(other), 4, -1});
    EXPECT_TRUE(Reported("vertex_submit: vertex format invalid"));
    Call("vertex_delete_buffer", {double(vb)});
    Call("vertex_delete_buffer", {double(other)});
}

TEST_F(VertexFunctions, UserLayoutsDrawWithTheBuiltinPrograms)
{
    // Position, colour and texture coordinates sample the texture, whatever
    // order the format gives its elements.
    const uint32_t green[4] = {kGreen, kGreen, kGreen, kGreen};
    const int texture = GR_Texture_Create(2, 2, green, 16);
    ASSERT_GE(texture, 0);
    const int textured =
        Format({"vertex_format_add_colour", "vertex_format_add_texcoord", "vertex_format_add_position"});
    const int vb = static_cast<int>(Call("vertex_create_buffer", {}));
    Call("vertex_begin", {double(vb), double(textured)});
    const float quad[4][2] = {{0, 0}, {kSize, 0}, {0, kSize}, {kSize, kSize}};
    for (const auto& p : quad) {
        Call("vertex_position", {double(vb), p[0], p[1]});
        Call("vertex_texcoord", {double(vb), p[0] / kSize, p[1] / kSize});
        Call("vertex_colour", {double(vb), 0xFFFFFF, 1});
    }
    Call("vertex_end", {double(vb)});
    Call("vertex_submit", {double(vb), 5, double(texture)});
    EXPECT_EQ(frame.Pixel(20, 20), kGreen);

    // The 3D layout: position, normal, colour, texture coordinates, unlit.
    GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR);
    const int full = Format({"vertex_format_add_position_3d", "vertex_format_add_normal", "vertex_format_add_colour",
                             "vertex_format_add_texcoord"});
    Call("vertex_begin", {double(vb), double(full)});
    for (const auto& p : quad) {
        Call("vertex_position_3d", {double(vb), p[0], p[1], 0});
        Call("vertex_normal", {double(vb), 0, 0, -1});
        Call("vertex_colour", {double(vb), 0x0000FF, 1});
        Call("vertex_texcoord", {double(vb), 0, 0});
    }
    Call("vertex_end", {double(vb)});
    Call("vertex_submit", {double(vb), 5, -1});
    EXPECT_EQ(frame.Pixel(20, 20), kRed);

    // A format without colour is refused while no game shader is set.
    const int bare = Format({"vertex_format_add_textcoord"});
    Call("vertex_begin", {double(vb), double(bare)});
    Call("vertex_texcoord", {double(vb), 0, 0});
    Call("vertex_end", {double(vb)});
    Call("vertex_submit", {double(vb), 4, -1});
    EXPECT_TRUE(Reported("vertex_submit: vertex format not supported by fixed function emulation (at a minimum you "
                         "need position and colour)"));
    Call("vertex_delete_buffer", {double(vb)});
    GR_Texture_Free(texture);
}

TEST_F(VertexFunctions, LargeListsAreCutIntoBatchesAndStripsAreNot)
{
    // 20-byte vertices.
    const int format = Format({"vertex_format_add_position", "vertex_format_add_colour", "vertex_format_add_texcoord"});
    const int vb = static_cast<int>(Call("vertex_create_buffer_ext", {20000 * 20}));
    VertexBuffer* buffer = VertexBuffer_Get(vb);
    Call("vertex_begin", {double(vb), double(format)});
    for (int i = 0; i < 20000; ++i) {
        Call("vertex_position", {double(vb), 0, 0});
        Call("vertex_colour", {double(vb), 0, 0});
        Call("vertex_texcoord", {double(vb), 0, 0});
    }
    Call("vertex_end", {double(vb)});
    ASSERT_EQ(buffer->vertexCount, 20000);
    EXPECT_EQ(buffer->capacity, 400000u) << "filled without growing";
    std::vector<int> batches;
    const int before = GR_D3D_DrawCallCount;
    Call("vertex_submit", {double(vb), 4, -1});
    batches.push_back(GR_VertexBuilder_GetOpenBatch().count);
    GR_VertexBuilder_Flush();
    EXPECT_EQ(GR_D3D_DrawCallCount - before, 2);
    EXPECT_EQ(batches[0], 3617) << "16383 first, the rest after";
    EXPECT_EQ(DrawCalls([&] { Call("vertex_submit", {double(vb), 5, -1}); }), 0);
    Call("vertex_delete_buffer", {double(vb)});
}

TEST_F(VertexFunctions, BuffersFromByteBuffers)
{
    const int format = Format({"vertex_format_add_position_3d"});
    const int bytes = Buffer_Create(50, eBuffer_Fixed, 1);
    IBuffer* source = Buffer_Get(bytes);
    std::vector<float> values(16);
    for (int i = 0; i < 16; ++i) values[i] = float(i);
    source->WriteBytes(values.data(), 1, 50);
    const int vb = static_cast<int>(Call("vertex_create_buffer_from_buffer", {double(bytes), double(format)}));
    ASSERT_NE(VertexBuffer_Get(vb), nullptr);
    EXPECT_EQ(Call("vertex_get_number", {double(vb)}), 4) << "50 bytes hold 4 whole 12-byte vertices";
    EXPECT_EQ(Call("vertex_get_buffer_size", {double(vb)}), 256);
    EXPECT_EQ(VertexBuffer_Get(vb)->format, format);
    EXPECT_EQ(std::memcmp(Data(vb), values.data(), 50), 0);

    // From an offset, for a count of vertices; too few bytes leave zeros, never more.
    const int ext =
        static_cast<int>(Call("vertex_create_buffer_from_buffer_ext", {double(bytes), double(format), 40, 3}));
    ASSERT_NE(VertexBuffer_Get(ext), nullptr);
    EXPECT_EQ(Call("vertex_get_buffer_size", {double(ext)}), 36) << "exactly the vertices asked for";
    EXPECT_EQ(Call("vertex_get_number", {double(ext)}), 3);
    float first;
    std::memcpy(&first, Data(ext), 4);
    EXPECT_EQ(first, 10);
    EXPECT_EQ(Data(ext)[30], 0);

    // A wrap buffer continues at its start.
    const int ring = Buffer_Create(16, eBuffer_Wrap, 1);
    Buffer_Get(ring)->WriteBytes(values.data(), 4, 4);
    const int wrapped =
        static_cast<int>(Call("vertex_create_buffer_from_buffer_ext", {double(ring), double(format), 8, 1}));
    float xyz[3];
    std::memcpy(xyz, Data(wrapped), 12);
    EXPECT_EQ(xyz[0], 2);
    EXPECT_EQ(xyz[2], 0);

    Call("vertex_create_buffer_from_buffer_ext", {double(bytes), double(format), 0, -1});
    EXPECT_TRUE(Reported("vertex_create_buffer_from_buffer_ext: could not create vertex buffer"));
    Call("vertex_create_buffer_from_buffer_ext", {double(bytes), double(format), 0, 2e9});
    EXPECT_TRUE(Reported("vertex_create_buffer_from_buffer_ext: could not create vertex buffer"));
    Call("vertex_create_buffer_from_buffer", {double(bytes), 777});
    EXPECT_TRUE(Reported("vertex_create_buffer_from_buffer: specified vertex format doesn't exist"));
    for (int id : {vb, ext, wrapped}) Call("vertex_delete_buffer", {double(id)});
    Buffer_Delete(bytes);
    Buffer_Delete(ring);
}

TEST_F(VertexFunctions, FastWritersFollowCallOrderAndStayInsideTheBuffer)
{
    const int format = PositionColourFormat();
    SetVertexBuilderMode(false);
    const int vb = static_cast<int>(Call("vertex_create_buffer_ext", {0}));
    Call("vertex_position", {double(vb), 1, 2});
    EXPECT_EQ(VertexBuffer_Get(vb)->bytesWritten, 0u) << "not begun: nothing written";
    Call("vertex_begin", {double(vb), double(format)});
    const float fan[5][2] = {{16, 16}, {0, 0}, {kSize, 0}, {kSize, kSize}, {0, kSize}};
    for (const auto& p : fan) {
        Call("vertex_position", {double(vb), p[0], p[1]});
        Call("vertex_colour", {double(vb), 0x00FF00, 1});
    }
    // 380 bytes written into 256: the buffer grows.
    for (int i = 0; i < 20; ++i) Call("vertex_float4", {double(vb), 0, 0, 0, 0});
    EXPECT_EQ(VertexBuffer_Get(vb)->vertexCount, 15) << "elements are counted, not matched";
    EXPECT_GE(VertexBuffer_Get(vb)->capacity, VertexBuffer_Get(vb)->bytesWritten);
    Call("vertex_position", {double(99), 1, 2});
    Call("vertex_submit", {double(99), 4, -1});
    Call("vertex_freeze", {double(99)});
    EXPECT_EQ(TakeError(), "") << "the fast set reports nothing";

    // A frozen fan still draws, through the batch.
    Call("vertex_begin", {double(vb), double(format)});
    for (const auto& p : fan) {
        Call("vertex_position", {double(vb), p[0], p[1]});
        Call("vertex_colour", {double(vb), 0x00FF00, 1});
    }
    Call("vertex_end", {double(vb)});
    Call("vertex_freeze", {double(vb)});
    Call("vertex_freeze", {double(vb)});
    Call("vertex_position", {double(vb), 1, 2});
    EXPECT_EQ(VertexBuffer_Get(vb)->data, nullptr);
    EXPECT_EQ(DrawCalls([&] { Call("vertex_submit", {double(vb), 6, -1}); }), 1);
    EXPECT_EQ(frame.Pixel(28, 16), kGreen);
    SetVertexBuilderMode(true);
    Call("vertex_submit", {double(vb), 6, -1});
    EXPECT_TRUE(Reported("vertex_submit: Primitive type error."));
    Call("vertex_delete_buffer", {double(vb)});
}

}  // namespace
