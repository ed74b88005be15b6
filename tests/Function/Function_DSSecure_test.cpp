// Map saves bound to the machine: ds_map_secure_save, ds_map_secure_load and
// their buffer forms, with the machine's identity read from files the test
// writes.
#include "Function/Function_DSSecure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Json.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "Function/BuiltinCallFixture.h"
#include "Function/Function_Data_Structures.h"
#include "Host/Host_MachineId.h"
#include "support/FileWorld.h"

namespace {
struct SecureSave : BuiltinCallFixture {
    FileWorld world;
    std::vector<int> buffers;

    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        InitDataStructureFunctions();
        ASSERT_TRUE(world.Enter());
        world.root.Write("machine-a", "0123456789abcdef0123456789abcdef\n");
        world.root.Write("machine-b", "fedcba9876543210fedcba9876543210\n");
        BeMachine("machine-a");
    }
    void TearDown() override
    {
        Host_SetMachineIdFile(nullptr);
        for (int id : buffers) Buffer_Delete(id);
        for (int32_t h = 0; h < DsMapTable.count; ++h) DsMap_Destroy(h);
        for (int32_t h = 0; h < DsListTable.count; ++h) DsList_Destroy(h);
        EXPECT_TRUE(world.Leave());
        BuiltinCallFixture::TearDown();
    }
    void BeMachine(const char* file) { Host_SetMachineIdFile((world.root / file).c_str()); }

    static std::string Json(double map)
    {
        char* text = nullptr;
        JSON_EncodeDsMap(static_cast<int32_t>(map), &text);
        const std::string out = text ? text : "<no map>";
        QS_FREE(text);
        return out;
    }
    // A map with a nested map and list.
    static double SampleMap()
    {
        const int32_t map = JSON_DecodeText("{\"name\":\"Ada\",\"score\":12.5,\"bag\":{\"keys\":[1,2,\"three\"]}}");
        EXPECT_GE(map, 0);
        return map;
    }
    int NewBuffer(int32_t size, int kind)
    {
        buffers.push_back(Buffer_Create(size, kind, 1));
        return buffers.back();
    }
};

bool IsLowerHex(const std::string& text)
{
    return text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

TEST_F(SecureSave, HeadersAreEightyDigitsOfTheMachine)
{
    auto header = [] {
        char* text = SecureSave_MakeHeader();
        const std::string out = text ? text : "";
        QS_FREE(text);
        return out;
    };
    const std::string a = header();
    EXPECT_EQ(a.size(), 80u);
    EXPECT_TRUE(IsLowerHex(a)) << a;
    EXPECT_EQ(header(), a) << "the same machine, the same header";
    EXPECT_TRUE(SecureSave_CheckHeader((a + "body").c_str()));
    EXPECT_FALSE(SecureSave_CheckHeader(a.substr(0, 79).c_str()));

    BeMachine("machine-b");
    EXPECT_NE(header(), a);
    EXPECT_FALSE(SecureSave_CheckHeader(a.c_str()));
    BeMachine("no-such-file");  // a machine without an identity still has a header
    const std::string unsupported = header();
    EXPECT_EQ(unsupported.size(), 80u);
    EXPECT_NE(unsupported, a);
}

TEST_F(SecureSave, ASavedMapLoadsOnTheSameMachineOnly)
{
    const double map = SampleMap();
    EXPECT_EQ(Num("ds_map_secure_save", {R(map), S("slot/one.dat")}), 0);
    const std::string saved = world.Saved("slot/one.dat");
    ASSERT_GT(saved.size(), 80u);
    EXPECT_TRUE(IsLowerHex(saved.substr(0, 80)));
    EXPECT_EQ((saved.size() - 80) % 4, 0u) << "the body is whole base64 groups";

    const double loaded = Num("ds_map_secure_load", {S("slot/one.dat")});
    ASSERT_GE(loaded, 0);
    EXPECT_NE(loaded, map);
    EXPECT_EQ(Json(loaded), Json(map));

    BeMachine("machine-b");
    EXPECT_EQ(Num("ds_map_secure_load", {S("slot/one.dat")}), -1);
    EXPECT_EQ(TakeError(), "") << "a refused save is not reported";
}

TEST_F(SecureSave, DamagedShortOrMissingSavesGiveMinusOne)
{
    EXPECT_EQ(Num("ds_map_secure_save", {R(SampleMap()), S("good.dat")}), 0);
    const std::string good = world.Saved("good.dat");
    char* header = SecureSave_MakeHeader();
    const std::string mine(header);
    QS_FREE(header);
    struct Case {
        const char* why;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"shorter than a header", good.substr(0, 40)},
        {"a header and nothing else", mine},
        {"a body that is not base64", mine + "!!!!"},
        {"a body cut short", good.substr(0, good.size() - 8)},
        {"a body that is JSON but no object", mine + "WzEsMl0A"},  // "[1,2]" and its NUL
    };
    for (size_t at : {0, 33, 79}) {
        std::string changed = good;
        changed[at] = changed[at] == '0' ? '1' : '0';
        cases.push_back({"a changed header digit", changed});
    }
    for (const Case& c : cases) {
        world.root.Write("save/bad.dat", c.bytes);
        EXPECT_EQ(Num("ds_map_secure_load", {S("bad.dat")}), -1) << c.why;
    }
    EXPECT_EQ(Num("ds_map_secure_load", {S("missing.dat")}), -1);
}

TEST_F(SecureSave, AHandleThatNamesNoMapSavesTheEmptyObject)
{
    EXPECT_EQ(Num("ds_map_secure_save", {R(77), S("none.dat")}), 0);
    EXPECT_EQ(TakeError(), "");
    const double loaded = Num("ds_map_secure_load", {S("none.dat")});
    ASSERT_GE(loaded, 0);
    EXPECT_EQ(Json(loaded), "{ }");
}

TEST_F(SecureSave, BufferFormsLeaveThePositionAfterTheBody)
{
    const int buffer = NewBuffer(1, eBuffer_Grow);
    const double map = SampleMap();
    EXPECT_EQ(Num("ds_map_secure_save_buffer", {R(map), R(buffer)}), 0);
    IBuffer* b = Buffer_Get(buffer);
    const int32_t end = b->Position();
    b->WriteString("after");
    b->Seek(eBuffer_SeekStart, 0);

    const double loaded = Num("ds_map_secure_load_buffer", {R(buffer)});
    ASSERT_GE(loaded, 0);
    EXPECT_EQ(Json(loaded), Json(map));
    EXPECT_EQ(b->Position(), end);
    char* after = b->ReadString();
    EXPECT_STREQ(after, "after");
    QS_FREE(after);

    BeMachine("machine-b");
    b->Seek(eBuffer_SeekStart, 0);
    EXPECT_EQ(Num("ds_map_secure_load_buffer", {R(buffer)}), -1);
    EXPECT_EQ(b->Position(), 80) << "a refused header is read all the same";

    EXPECT_EQ(Num("ds_map_secure_load_buffer", {R(9999)}), -1);
    EXPECT_EQ(TakeError(), "");
    EXPECT_EQ(Num("ds_map_secure_save_buffer", {R(map), R(9999)}), -1);
    EXPECT_NE(TakeError().find("Illegal Buffer Index"), std::string::npos);
    EXPECT_EQ(Num("ds_map_secure_save_buffer", {R(map), R(NewBuffer(16, eBuffer_Fixed))}), -2) << "no room";
}
}  // namespace
