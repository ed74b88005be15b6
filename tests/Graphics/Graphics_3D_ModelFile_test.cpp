// The model file: the text a model saves as, reading it back, and refusing
// files that do not read as a model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Graphics/Graphics_3D_Model.h"
#include "IO/LoadSave.h"
#include "support/RecordingConsole.h"
#include "support/TempFolder.h"

namespace {

using ::testing::HasSubstr;

struct ModelFile : ::testing::Test {
    TempFolder root;
    RecordingConsole log;
    tagIConsole* savedLog = nullptr;

    void SetUp() override
    {
        std::filesystem::create_directories(root / "save");
        Runner_SetSavePrefix((root / "save/").c_str());
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        Runner_SetSavePrefix("");
        Model_FreeAll();
    }
    static std::string SavePath(const char* name)
    {
        char path[1024];
        LoadSave_MakeSavePath(path, sizeof path, name);
        return path;
    }
    void Write(const char* name, const std::string& text) { root.Write("save/" + std::string(name), text); }
    std::string Read(const char* name) { return root.Read("save/" + std::string(name)); }
    static std::vector<ModelCommand> Commands(int id)
    {
        int count = 0;
        const ModelCommand* c = Model_Commands(id, &count);
        return c ? std::vector<ModelCommand>(c, c + count) : std::vector<ModelCommand>{};
    }
};

TEST_F(ModelFile, SavesTheCommandsAsText)
{
    const int model = Model_Create();
    Model_Cylinder(model, 1, 2, 3, 4, 5, 6, 1.5f, 2, true, 24);
    Model_VertexColour(model, -1, 0.25f, 0, 0xFFFFFF, 0.5f);
    Model_PrimitiveEnd(model);
    ASSERT_TRUE(Model_Save(model, SavePath("m.txt").c_str()));
    EXPECT_EQ(Read("m.txt"),
              "100\n3\n"
              "11     1.0000     2.0000     3.0000     4.0000     5.0000     6.0000     1.5000     2.0000"
              "     1.0000    24.0000\n"
              "3    -1.0000     0.2500     0.0000 16777215.0000     0.5000     0.0000     0.0000     0.0000"
              "     0.0000     0.0000\n"
              "1     0.0000     0.0000     0.0000     0.0000     0.0000     0.0000     0.0000     0.0000"
              "     0.0000     0.0000\n");
}

TEST_F(ModelFile, EveryCommandReadsBackAsSaved)
{
    const int model = Model_Create();
    Model_PrimitiveBegin(model, 5);
    Model_Vertex(model, 1, 2, 3);
    Model_VertexColour(model, 1, 2, 3, 0x7FFFFFFF, 0.5f);
    Model_VertexTexture(model, 1, 2, 3, 0.125f, 0.875f);
    Model_VertexTextureColour(model, 1, 2, 3, 0.5f, 0.25f, -2, 1);
    Model_VertexNormal(model, 1, 2, 3, 0, -1, 0);
    Model_VertexNormalColour(model, 1, 2, 3, 0, 0, 1, 0x123457, 0.75f);
    Model_VertexNormalTexture(model, 1, 2, 3, 1, 0, 0, 2, 3);
    Model_VertexNormalTextureColour(model, 1, 2, 3, 1, 0, 0, 2, 3, 0x00FF01, 0);
    Model_PrimitiveEnd(model);
    Model_Block(model, -1, -2, -3, 4, 5, 6, 7, 8);
    Model_Cylinder(model, 0, 0, 0, 1, 1, 1, 1, 1, false, 7);
    Model_Cone(model, 0, 0, 0, 1, 1, 1, 1, 1, true, 200);
    Model_Ellipsoid(model, 0, 0, 0, 1, 1, 1, 1, 1, 24);
    Model_Wall(model, 0, 0, 0, 1, 1, 1, 2, 2);
    Model_Floor(model, 0, 0, 0, 1, 1, 1, 3, 3);
    ASSERT_TRUE(Model_Save(model, SavePath("all.txt").c_str()));

    const int copy = Model_Create();
    Model_Block(copy, 9, 9, 9, 9, 9, 9, 9, 9);
    ASSERT_TRUE(Model_Load(copy, SavePath("all.txt").c_str()));
    const std::vector<ModelCommand> saved = Commands(model), loaded = Commands(copy);
    ASSERT_EQ(loaded.size(), 16u) << "the block held before is replaced";
    for (size_t k = 0; k < saved.size(); ++k)
        EXPECT_EQ(std::memcmp(&saved[k], &loaded[k], sizeof(ModelCommand)), 0) << "command " << k;
    EXPECT_EQ(loaded[2].fields[3].i, 0x7FFFFFFF) << "colours keep every bit";
    EXPECT_EQ(loaded[4].fields[5].i, -2);
    EXPECT_EQ(log.text, "");
}

TEST_F(ModelFile, LineBreaksOfEveryKindAreRead)
{
    const std::string line = "10 1 2 3 4 5 6 7 8 0 0";
    const std::string files[] = {
        "100\n2\n" + line + "\n" + line + "\n",
        "100\r\n2\r\n" + line + "\r\n" + line,
        std::string("\n\n100\0\0002\r\r", 10) + line + "\n\n\n" + line + "\r\n",
        // Lines past the count are not read.
        "100\n2\n" + line + "\n" + line + "\nthis is not read\n",
    };
    for (const std::string& text : files) {
        Write("ok.txt", text);
        const int model = Model_Create();
        EXPECT_TRUE(Model_Load(model, SavePath("ok.txt").c_str())) << text;
        const std::vector<ModelCommand> commands = Commands(model);
        ASSERT_EQ(commands.size(), 2u) << text;
        EXPECT_EQ(commands[1].kind, MODEL_BLOCK);
        EXPECT_EQ(commands[1].fields[7].f, 8.0f);
        Model_Destroy(model);
    }
    Write("empty.txt", "100\n");
    const int model = Model_Create();
    EXPECT_TRUE(Model_Load(model, SavePath("empty.txt").c_str())) << "no count line: no commands";
    EXPECT_EQ(log.text, "");
}

TEST_F(ModelFile, FilesThatDoNotReadAsAModelAreRefusedAndLeaveItEmpty)
{
    const std::string line = "2 1 2 3 0 0 0 0 0 0 0";
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"empty", "", "is not a model file"},
        {"another version", "101\n1\n" + line + "\n", "is not a model file"},
        {"version with more", "100 \n1\n" + line + "\n", "is not a model file"},
        {"count not a number", "100\nmany\n" + line + "\n", "has a command count \"many\" that is not a number"},
        {"count with more", "100\n1x\n" + line + "\n", "is not a number"},
        {"count out of range", "100\n99999999999999999999999\n", "is not a number"},
        {"negative count", "100\n-1\n", "has a negative command count -1"},
        {"absurd count", "100\n2000000000\n" + line + "\n",
         "has a command count of 2000000000, more than the file can hold"},
        {"cut short", "100\n2\n" + line + std::string(30, ' ') + "\n", "ends after 1 of its 2 commands"},
        {"line cut short", "100\n1\n2 1.000000 2 3 0 0 0",
         "fails at command 1: \"2 1.000000 2 3 0 0 0\" has 7 of the 11 numbers"},
        {"too few numbers", "100\n1\n2 1 2 3 0 0 0 0 0 0 " + std::string(20, ' '), "has 10 of the 11 numbers"},
        {"too many numbers", "100\n1\n" + line + " 0\n", "has more than the 11 numbers"},
        {"unknown command", "100\n1\n16 1 2 3 0 0 0 0 0 0 0\n", "fails at command 1: unknown command 16"},
        {"negative command", "100\n1\n-1 1 2 3 0 0 0 0 0 0 0\n", "unknown command -1"},
        {"command not a number", "100\n1\nx 1 2 3 0 0 0 0 0 0 0\n", "does not begin with a command number"},
        {"fraction for a command", "100\n1\n2.5 1 2 3 0 0 0 0 0 0 0\n", "does not begin with a command number"},
        {"field not a number", "100\n1\n2 1 two 3 0 0 0 0 0 0 0\n", "holds something that is not a number"},
        {"fields run together", "100\n1\n2 1 2-3 0 0 0 0 0 0 0 0\n", "holds something that is not a number"},
        {"second line bad", "100\n2\n" + line + "\n2 1 2 3 0 0 0 0 0 0 zero\n", "fails at command 2: "},
    };
    for (const Case& c : cases) {
        Write("bad.txt", c.text);
        const int model = Model_Create();
        Model_Block(model, 0, 0, 0, 1, 1, 1, 1, 1);
        log.text.clear();
        EXPECT_FALSE(Model_Load(model, SavePath("bad.txt").c_str())) << c.what;
        EXPECT_EQ(Commands(model).size(), 0u) << c.what;
        EXPECT_THAT(log.text, HasSubstr("d3d_model_load: " + SavePath("bad.txt") + " ")) << c.what;
        EXPECT_THAT(log.text, HasSubstr(c.message)) << c.what;
        Model_Destroy(model);
    }
}

TEST_F(ModelFile, MissingModelsAndUnwritablePathsGiveFalse)
{
    Write("ok.txt", "100\n0\n");
    const int model = Model_Create();
    Model_Destroy(model);
    EXPECT_FALSE(Model_Save(model, SavePath("never.txt").c_str()));
    EXPECT_EQ(Read("never.txt"), "<missing>");
    EXPECT_FALSE(Model_Load(model, SavePath("ok.txt").c_str()));
    EXPECT_FALSE(Model_Load(-1, SavePath("ok.txt").c_str()));

    const int live = Model_Create();
    EXPECT_FALSE(Model_Save(live, (root / "save/no/such/folder/m.txt").c_str()));
    EXPECT_FALSE(Model_Save(live, ""));
    EXPECT_FALSE(Model_Load(live, SavePath("absent.txt").c_str()));
    EXPECT_THAT(log.text, HasSubstr("absent.txt cannot be read"));
}

}  // namespace
