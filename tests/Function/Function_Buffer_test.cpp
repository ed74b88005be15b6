// The buffer built-ins through the built-in table, as compiled code calls
// them, in a temporary file world: what they do with good ids, what they
// report for bad ones, and asynchronous saves and loads with their events.
#include "Function/Function_Buffer.h"

#include <cstring>
#include <filesystem>
#include <string>

#include <gmock/gmock.h>

#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/ValueTestSupport.h"
#include "Function/FileWorldFunctions.h"
#include "Graphics/VertexBuffer.h"
#include "Graphics/VertexFormat.h"
#include "IO/FileWhitelist.h"
#include "Network/Async_Requests.h"
#include "support/AsyncEvents.h"

using ::testing::HasSubstr;

namespace {
struct BufferFunctions : FileWorldFunctions {
    void SetUp() override
    {
        FileWorldFunctions::SetUp();
        InitBufferFunctions();
        asyncevents::Events.clear();
    }
    void TearDown() override
    {
        for (int id = 0; id < Buffer_Capacity(); ++id) Buffer_Delete(id);
        Async_FreeRequests();
        InitBufferFunctions();  // forgets an open group
        FileWorldFunctions::TearDown();
    }
    // A buffer holding the bytes of text (fixed, alignment 1).
    int Holding(const std::string& text)
    {
        const int id = Buffer_Create(int32_t(text.size()), eBuffer_Fixed, 1);
        Buffer_Get(id)->WriteBytes(text.data(), 1, int32_t(text.size()));
        return id;
    }
    static std::string Bytes(int id)
    {
        const IBuffer* b = Buffer_Get(id);
        return b ? std::string(reinterpret_cast<const char*>(b->Data()), size_t(b->Size())) : "<none>";
    }
};

TEST_F(BufferFunctions, BadIdsReportAndGiveTheDefault)
{
    constexpr double kUnset = -1234.5;
    const ScriptValue none = R(57);  // names no buffer
    struct Case {
        const char* name;
        std::vector<ScriptValue> args;
        double result;  // kUnset: nothing set (undefined)
        const char* message;
    } cases[] = {
        {"buffer_write", {none, R(eBuffer_U8), R(1)}, -1, "Illegal Buffer Index"},
        {"buffer_read", {none, R(eBuffer_U8)}, 0, "Illegal Buffer Index"},
        {"buffer_poke", {none, R(0), R(eBuffer_U8), R(1)}, kUnset, "Illegal Buffer Index"},
        {"buffer_peek", {none, R(0), R(eBuffer_U8)}, kUnset, "Illegal Buffer Index"},
        {"buffer_seek", {none, R(0), R(0)}, -1, "Illegal Buffer Index"},
        {"buffer_tell", {none}, -1, "Illegal Buffer Index"},
        {"buffer_get_size", {none}, -1, "Illegal Buffer Index"},
        {"buffer_resize", {none, R(4)}, kUnset, "Illegal Buffer Index"},
        {"buffer_fill", {none, R(0), R(eBuffer_U8), R(1), R(4)}, kUnset, "Illegal Buffer Index"},
        {"buffer_copy", {none, R(0), R(1), R(0), R(0)}, 0, "Illegal Source Buffer Index"},
        {"buffer_save", {none, S("x.bin")}, 0, "Illegal Buffer Index"},
        {"buffer_save_ext", {none, S("x.bin"), R(0), R(1)}, kUnset, "Illegal Buffer Index"},
        {"buffer_load_ext", {none, S("x.bin"), R(0)}, kUnset, "Illegal Buffer Index"},
        {"buffer_load_partial", {none, S("x.bin"), R(0), R(1), R(0)}, kUnset, "Illegal Buffer Index"},
        {"buffer_md5", {none, R(0), R(1)}, kUnset, "Illegal Buffer Index"},
        {"buffer_sha1", {none, R(0), R(1)}, kUnset, "Illegal Buffer Index"},
        {"buffer_base64_encode", {none, R(0), R(1)}, kUnset, "Illegal Buffer Index"},
        {"buffer_base64_decode_ext", {none, S("AAAA"), R(0)}, kUnset, "Illegal Buffer Index"},
        {"buffer_get_address", {none}, kUnset, "buffer_get_address: Illegal Buffer Index"},
        {"buffer_get_surface", {none, R(0), R(0), R(0), R(0)}, kUnset,
         "Error in buffer_get_surface(): Illegal Buffer Index"},
        {"buffer_set_surface", {none, R(0), R(0), R(0), R(0)}, kUnset,
         "Error in buffer_set_surface(): Illegal Buffer Index"},
        {"buffer_save_async", {none, S("x.bin"), R(0), R(1)}, -1, "Illegal Buffer Index"},
        {"buffer_load_async", {none, S("x.bin"), R(0), R(1)}, -1, "Illegal Buffer Index"},
        {"buffer_load_async", {R(-3), S("x.bin"), R(0), R(1)}, -1, "Illegal Buffer Index"},
        {"buffer_create_from_vertex_buffer", {none, R(eBuffer_Fixed), R(1)}, -1,
         "buffer_create_from_vertex_buffer: Specified vertex buffer doesn't exist."},
        {"buffer_create_from_vertex_buffer_ext", {none, R(eBuffer_Fixed), R(1), R(0), R(1)}, -1,
         "buffer_create_from_vertex_buffer_ext: Specified vertex buffer doesn't exist."},
        {"buffer_copy_from_vertex_buffer", {none, R(0), R(1), R(0), R(0)}, kUnset,
         "buffer_copy_from_vertex_buffer: Illegal Vertex Buffer Index"},
        // Silent ones.
        {"buffer_delete", {none}, kUnset, ""},
        {"buffer_get_type", {none}, -1, ""},
        {"buffer_get_alignment", {none}, -1, ""},
    };
    for (Case& c : cases) {
        ScriptValue result = Call(c.name, std::move(c.args));
        if (c.result == kUnset) {
            EXPECT_EQ(result.Kind(), VALUE_UNDEFINED) << c.name;
        } else {
            EXPECT_EQ(result.Kind(), VALUE_REAL) << c.name;
            EXPECT_EQ(result.real, c.result) << c.name;
        }
        ScriptValue_SetUndefined(&result);
        const std::string error = TakeError();
        if (c.message[0]) EXPECT_THAT(error, HasSubstr(c.message)) << c.name;
        else EXPECT_EQ(error, "") << c.name;
    }
    EXPECT_TRUE(asyncevents::Events.empty());
    EXPECT_EQ(AsyncRequestHead, nullptr) << "no request was made";
}

TEST_F(BufferFunctions, CreateReadWriteAndTheirRefusals)
{
    EXPECT_EQ(Num("buffer_create", {R(0), R(eBuffer_Grow), R(1)}), -1);
    EXPECT_THAT(TakeError(), HasSubstr("buffer_create: Illegal size"));
    EXPECT_EQ(Num("buffer_create", {R(8), R(eBuffer_Grow), R(1025)}), -1);
    EXPECT_THAT(TakeError(), HasSubstr("buffer_create: Illegal alignment size"));
    EXPECT_FATAL_ERROR(Run("buffer_create", {R(8), R(5), R(1)}), "Unknown buffer type");

    const double fixed = Num("buffer_create", {R(4), R(eBuffer_Fixed), R(2)});
    ASSERT_GE(fixed, 0);
    EXPECT_EQ(Num("buffer_write", {R(fixed), R(eBuffer_U8), R(7)}), 0);
    EXPECT_EQ(Num("buffer_write", {R(fixed), R(eBuffer_U16), R(0x1234)}), 0);
    EXPECT_EQ(Num("buffer_tell", {R(fixed)}), 4) << "the u16 went to the alignment grid";
    EXPECT_EQ(Num("buffer_write", {R(fixed), R(eBuffer_U8), R(1)}), -2);
    EXPECT_EQ(Num("buffer_seek", {R(fixed), R(eBuffer_SeekStart), R(0)}), 0);
    EXPECT_EQ(Num("buffer_read", {R(fixed), R(eBuffer_U8)}), 7);
    EXPECT_EQ(Num("buffer_read", {R(fixed), R(eBuffer_U16)}), 0x1234);
    EXPECT_EQ(Num("buffer_read", {R(fixed), R(eBuffer_U8)}), 0);
    EXPECT_THAT(TakeError(), HasSubstr("Attempting to read from outside the buffer, returning 0"));
    EXPECT_EQ(Num("buffer_peek", {R(fixed), R(2), R(eBuffer_U16)}), 0x1234);
    EXPECT_EQ(Num("buffer_peek", {R(fixed), R(3), R(eBuffer_U16)}), 0) << "past the end";
    Run("buffer_poke", {R(fixed), R(1), R(eBuffer_U8), R(9)});
    EXPECT_EQ(Bytes(int(fixed)), std::string("\x07\x09\x34\x12", 4));
    EXPECT_EQ(Num("buffer_get_size", {R(fixed)}), 4);
    EXPECT_EQ(Num("buffer_get_type", {R(fixed)}), eBuffer_Fixed);
    EXPECT_EQ(Num("buffer_get_alignment", {R(fixed)}), 2);
    EXPECT_EQ(Num("buffer_sizeof", {R(eBuffer_F64)}), 8);

    // Strings and other plain values name buffers; arrays do not.
    const std::string id = std::to_string(int(fixed));
    ScriptValue exists = Call("buffer_exists", {S(id.c_str())});
    EXPECT_EQ(exists.Kind(), VALUE_BOOL);
    EXPECT_EQ(exists.real, 1);
    EXPECT_EQ(Call("buffer_exists", {A({fixed})}).real, 0);
    EXPECT_EQ(Call("buffer_exists", {R(57)}).real, 0);
    EXPECT_EQ(Num("buffer_get_type", {A({fixed})}), -1);
    EXPECT_EQ(TakeError(), "");

    Run("buffer_resize", {R(fixed), R(6)});
    Run("buffer_fill", {R(fixed), R(4), R(eBuffer_U8), R(0xAB), R(-1)});
    EXPECT_EQ(Bytes(int(fixed)), std::string("\x07\x09\x34\x12\xAB\x00", 6)) << "zeros pad up to the grid";

    Buffer_Get(int(fixed))->inUse = 1;
    Run("buffer_delete", {R(fixed)});
    EXPECT_THAT(TakeError(), HasSubstr("Cannot delete buffer, it's in use"));
    Buffer_Get(int(fixed))->inUse = 0;
    Run("buffer_delete", {R(fixed)});
    EXPECT_EQ(Buffer_Get(int(fixed)), nullptr);
}

TEST_F(BufferFunctions, CopiesDigestsTextAndFiles)
{
    const int source = Holding("abc");
    const int grow = Buffer_Create(1, eBuffer_Grow, 1);
    Run("buffer_copy", {R(source), R(1), R(2), R(grow), R(3)});
    EXPECT_EQ(Bytes(grow), std::string("\0\0\0bc", 5));
    Run("buffer_copy", {R(source), R(0), R(1), R(source), R(0)});
    EXPECT_THAT(TakeError(), HasSubstr("Source and Destination buffers can't be the same"));

    EXPECT_EQ(Str("buffer_md5", {R(source), R(0), R(3)}), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Str("buffer_sha1", {R(source), R(0), R(-1)}), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Str("buffer_base64_encode", {R(source), R(0), R(-1)}), "YWJj");
    const double decoded = Num("buffer_base64_decode", {S("YWJj")});
    EXPECT_EQ(Bytes(int(decoded)).substr(0, 3), "abc");
    Run("buffer_base64_decode_ext", {R(grow), S("eHk="), R(0)});
    EXPECT_EQ(Bytes(grow).substr(0, 2), "xy");

    ScriptValue address = Call("buffer_get_address", {R(source)});
    EXPECT_EQ(address.Kind(), VALUE_PTR);
    EXPECT_EQ(address.ptr, Buffer_Get(source)->Data());

    EXPECT_EQ(Num("buffer_save", {R(source), S("files/abc.bin")}), 0);
    EXPECT_EQ(Saved("files/abc.bin"), "abc");
    Run("buffer_save_ext", {R(source), S("files/bc.bin"), R(1), R(10)});
    EXPECT_EQ(Saved("files/bc.bin"), "bc") << "cut at the end of the buffer";
    const double loaded = Num("buffer_load", {S("files/abc.bin")});
    EXPECT_EQ(Bytes(int(loaded)), "abc");
    EXPECT_EQ(Num("buffer_get_type", {R(loaded)}), eBuffer_Grow);
    root.Write("game/bundled.bin", "12345");
    Run("buffer_load_partial", {R(grow), S("bundled.bin"), R(1), R(2), R(0)});
    EXPECT_EQ(Bytes(grow).substr(0, 2), "23");

    const int before = Buffer_Capacity();
    int used = 0;
    for (int id = 0; id < before; ++id) used += Buffer_Get(id) != nullptr;
    EXPECT_EQ(Num("buffer_load", {S("missing.bin")}), -1);
    EXPECT_THAT(TakeError(), HasSubstr("Cannot load buffer file"));
    int after = 0;
    for (int id = 0; id < Buffer_Capacity(); ++id) after += Buffer_Get(id) != nullptr;
    EXPECT_EQ(after, used) << "no buffer is left behind";
}

// A vertex buffer of n vertices of one float each (0, 1, 2, ...) in a format
// of that one element.
int FloatVertices(int n, int* formatId)
{
    VertexFormat_Begin();
    VertexFormat_Add(VERTEX_TYPE_FLOAT1, VERTEX_USE_POSITION);
    *formatId = VertexFormat_End();
    const int vb = VertexBuffer_Create(64);
    VertexBuffer* buffer = VertexBuffer_Get(vb);
    for (int i = 0; i < n; ++i) {
        const float value = float(i);
        std::memcpy(buffer->data + 4 * i, &value, 4);
    }
    VertexBuffer_SetContents(buffer, uint32_t(4 * n), n, VertexFormat_Get(*formatId));
    return vb;
}

TEST_F(BufferFunctions, BuffersFromVertexBuffers)
{
    int format = -1;
    const int vb = FloatVertices(4, &format);
    const double all = Num("buffer_create_from_vertex_buffer", {R(vb), R(eBuffer_Grow), R(1)});
    ASSERT_GE(all, 0);
    EXPECT_EQ(Num("buffer_get_size", {R(all)}), 16);
    EXPECT_EQ(Num("buffer_peek", {R(all), R(12), R(eBuffer_F32)}), 3);
    const double some = Num("buffer_create_from_vertex_buffer_ext", {R(vb), R(eBuffer_Fixed), R(1), R(2), R(9)});
    EXPECT_EQ(Num("buffer_get_size", {R(some)}), 8) << "the count is cut to the vertices after the first";
    EXPECT_EQ(Num("buffer_peek", {R(some), R(0), R(eBuffer_F32)}), 2);
    const int destination = Buffer_Create(2, eBuffer_Grow, 1);
    Run("buffer_copy_from_vertex_buffer", {R(vb), R(1), R(2), R(destination), R(4)});
    EXPECT_EQ(Num("buffer_get_size", {R(destination)}), 12);
    EXPECT_EQ(Num("buffer_peek", {R(destination), R(8), R(eBuffer_F32)}), 2);

    struct Case {
        const char* name;
        std::vector<double> args;
        const char* message;
    } cases[] = {
        {"buffer_create_from_vertex_buffer", {double(vb), 0, 0}, "buffer_create_from_vertex_buffer: Illegal alignment size"},
        {"buffer_create_from_vertex_buffer_ext", {double(vb), 0, 1, 0, 0}, "Specified number of verts invalid."},
        {"buffer_create_from_vertex_buffer_ext", {double(vb), 0, 1, 4, 1}, "Specified start vertex out of range."},
        {"buffer_copy_from_vertex_buffer", {double(vb), -1, 1, double(destination), 0}, "Specified start vertex out of range."},
        {"buffer_copy_from_vertex_buffer", {double(vb), 0, 1, 99, 0}, "Illegal Destination Buffer Index"},
    };
    for (const Case& c : cases) {
        std::vector<ScriptValue> args;
        for (double d : c.args) args.push_back(R(d));
        Run(c.name, std::move(args));
        EXPECT_THAT(TakeError(), HasSubstr(c.message)) << c.name;
    }

    // A format that does not exist is never used.
    VertexBuffer_Get(vb)->format = format + 1000;
    EXPECT_EQ(Num("buffer_create_from_vertex_buffer", {R(vb), R(eBuffer_Grow), R(1)}), -1);
    EXPECT_THAT(TakeError(), HasSubstr("buffer_create_from_vertex_buffer: vertex format is invalid."));
    EXPECT_EQ(Num("buffer_create_from_vertex_buffer_ext", {R(vb), R(eBuffer_Grow), R(1), R(0), R(1)}), -1);
    EXPECT_THAT(TakeError(), HasSubstr("buffer_create_from_vertex_buffer_ext: vertex format is invalid."));

    VertexBuffer_Get(vb)->vertexCount = 0;
    EXPECT_EQ(Num("buffer_create_from_vertex_buffer", {R(vb), R(eBuffer_Grow), R(1)}), -1);
    EXPECT_THAT(TakeError(), HasSubstr("Can't create buffer from empty vertex buffer."));
    VertexBuffer_Delete(vb);
}

TEST_F(BufferFunctions, AsyncSaveOutsideAGroupUsesTheDefaultFolder)
{
    const int source = Holding("0123456789");
    const double id = Num("buffer_save_async", {R(source), S("one.bin"), R(2), R(3)});
    ASSERT_GE(id, 0);
    // The bytes were taken at the call.
    Buffer_Get(source)->Data()[2] = 'X';
    const auto fields = asyncevents::RunUntilEvent(72, int(id));
    EXPECT_EQ(fields.at("status"), "1");
    EXPECT_EQ(fields.at("error"), "0");
    EXPECT_EQ(Saved("default/one.bin"), "234");

    // A range past the end takes only the buffer's own bytes.
    const double past = Num("buffer_save_async", {R(source), S("tail.bin"), R(8), R(1000)});
    EXPECT_EQ(asyncevents::RunUntilEvent(72, int(past)).at("status"), "1");
    EXPECT_EQ(Saved("default/tail.bin"), "89");
}

TEST_F(BufferFunctions, GroupsSaveAndLoadInTheirFolder)
{
    const int a = Holding("aaaa"), b = Holding("bb");
    Run("buffer_async_group_begin", {S("slot1")});
    EXPECT_EQ(Num("buffer_save_async", {R(a), S("a.bin"), R(0), R(-1)}), -1);
    EXPECT_EQ(Num("buffer_save_async", {R(b), S("b.bin"), R(0), R(2)}), -1);
    const double saveId = Num("buffer_async_group_end");
    ASSERT_GE(saveId, 0);
    EXPECT_EQ(asyncevents::RunUntilEvent(72, int(saveId)).at("status"), "1");
    EXPECT_EQ(Saved("slot1/a.bin"), "aaaa");
    EXPECT_EQ(Saved("slot1/b.bin"), "bb");

    // Loads grow their target to fit; a missing file fails the request but not the others.
    const int into = Buffer_Create(1, eBuffer_Fixed, 1);
    const int other = Buffer_Create(1, eBuffer_Grow, 1);
    Run("buffer_async_group_begin", {S("slot1")});
    Run("buffer_load_async", {R(into), S("a.bin"), R(2), R(-1)});
    Run("buffer_load_async", {R(other), S("b.bin"), R(0), R(1)});
    const double loadId = Num("buffer_async_group_end");
    EXPECT_EQ(asyncevents::RunUntilEvent(72, int(loadId)).at("status"), "1");
    EXPECT_EQ(Bytes(into), std::string("\0\0aaaa", 6));
    EXPECT_EQ(Bytes(other), "b");

    const double missing = Num("buffer_load_async", {R(other), S("none.bin"), R(0), R(-1)});
    EXPECT_EQ(asyncevents::RunUntilEvent(72, int(missing)).at("status"), "0");
}

TEST_F(BufferFunctions, GroupMisuseEndsTheGame)
{
    const int a = Holding("a");
    EXPECT_FATAL_ERROR(Run("buffer_async_group_end", {}), "no matching buffer_group_begin");
    EXPECT_FATAL_ERROR(Run("buffer_async_group_begin", {S("two words")}), "should not contain whitespace or slash");
    EXPECT_FATAL_ERROR(Run("buffer_async_group_begin", {S("a/b")}), "should not contain whitespace or slash");
    Run("buffer_async_group_begin", {S("g")});
    EXPECT_FATAL_ERROR(Run("buffer_async_group_begin", {S("h")}), "only one buffer group at a time");
    EXPECT_FATAL_ERROR(Run("buffer_async_group_end", {}), "no content in group to save");

    Run("buffer_async_group_begin", {S("g")});
    Run("buffer_save_async", {R(a), S("a.bin"), R(0), R(1)});
    EXPECT_FATAL_ERROR(Run("buffer_load_async", {R(a), S("a.bin"), R(0), R(1)}), "mixing async save and loads");
    EXPECT_GE(Num("buffer_async_group_end"), 0) << "the save goes ahead";
    Run("buffer_async_group_begin", {S("g")});
    Run("buffer_load_async", {R(a), S("a.bin"), R(0), R(1)});
    EXPECT_FATAL_ERROR(Run("buffer_save_async", {R(a), S("a.bin"), R(0), R(1)}), "mixing async save and loads");
}

TEST_F(BufferFunctions, LoadGroupsMixingBundleAndSaveAreaEndTheGame)
{
    const int into = Buffer_Create(1, eBuffer_Grow, 1);
    std::filesystem::create_directories(root / "game/mix");
    std::filesystem::create_directories(root / "save/mix");
    root.Write("game/mix/bundled.bin", "b");
    root.Write("save/mix/saved.bin", "s");
    for (bool bundleFirst : {true, false}) {
        Run("buffer_async_group_begin", {S("mix")});
        for (const char* name : bundleFirst ? std::vector<const char*>{"bundled.bin", "saved.bin"}
                                            : std::vector<const char*>{"saved.bin", "bundled.bin"})
            Run("buffer_load_async", {R(into), S(name), R(0), R(-1)});
        EXPECT_FATAL_ERROR(Run("buffer_async_group_end", {}),
                           "Do not mix buffer loads from bundle and savedata in one group.");
    }
    EXPECT_THAT(log.text, HasSubstr("LOAD: numFiles 2, numBundleFiles 1\n"));
    EXPECT_EQ(AsyncRequestHead, nullptr) << "no request was made";
}

TEST_F(BufferFunctions, GroupOptions)
{
    EXPECT_EQ(Num("buffer_async_group_option", {S("subtitle"), S("Saving")}), 1);
    EXPECT_EQ(Num("buffer_async_group_option", {S("showdialog"), R(1)}), 1);
    EXPECT_EQ(Num("buffer_async_group_option", {S("saveslotsize"), R(10)}), 0);
    EXPECT_EQ(Num("buffer_async_group_option", {S("nonsense"), R(1)}), 0);
    EXPECT_THAT(log.text, HasSubstr("unknown option nonsense passed to F_BUFFER_Async_Group_Option\n"));

    // "temprloc" admits writes below a folder outside the save area.
    TempFolder elsewhere;
    const std::string target = elsewhere / "out.bin";
    const int a = Holding("z");
    EXPECT_EQ(Num("buffer_save", {R(a), S(target.c_str())}), 0);
    EXPECT_EQ(elsewhere.Read("out.bin"), "<missing>");
    EXPECT_EQ(Num("buffer_async_group_option", {S("temprloc"), S(elsewhere.Path().c_str())}), 0);
    Run("buffer_save", {R(a), S(target.c_str())});
    EXPECT_EQ(elsewhere.Read("out.bin"), "z");
    FileWhitelist_Free(&FileWhitelist_Write);
}
}  // namespace
