// Extension packages from the "EXTN" chunk: reading, preparing, calling by
// id, and the faults of malformed chunks.
#include "Platform/Extension_Main.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "Code/Code_Value.h"
#include "GameData/GameData.h"
#include "Platform/Extension_DLL.h"
#include "gamedata/FormWriter.h"
#include "support/GameFiles.h"

using ::testing::HasSubstr;
using testgames::ExtensionFunction;

namespace {
gamedata::ExtensionFileEntry LibraryFile(std::vector<std::optional<gamedata::ExtensionFunctionEntry>> functions)
{
    gamedata::ExtensionFileEntry file;
    file.fileName = QS_TEST_EXTENSION;
    file.functions = std::move(functions);
    return file;
}

gamedata::ExtensionPackageEntry Package(const char* folder, std::vector<std::optional<gamedata::ExtensionFileEntry>> files)
{
    gamedata::ExtensionPackageEntry package;
    package.folderName = folder;
    package.files = std::move(files);
    return package;
}

struct ExtensionPackages : ::testing::Test {
    void TearDown() override
    {
        Extension_Free();
        testgames::Unload();
    }
    // Loads a game of these packages and prepares them.
    bool Load(const std::vector<std::optional<gamedata::ExtensionPackageEntry>>& packages)
    {
        gamedata::FormWriter w;
        w.Gen8(gamedata::GeneralHeader{});
        w.Extn(packages);
        m_image = w.Finish();
        if (!testgames::LoadBoth(m_image)) return false;
        return Extension_Prepare();
    }
    static double Call(int id, std::vector<ScriptValue> args, bool* known = nullptr)
    {
        ScriptValue result = ScriptValue_Real(-1234);
        const bool ok = Extension_CallFunction(id, static_cast<int>(args.size()), args.data(), &result);
        if (known) *known = ok;
        for (ScriptValue& a : args) ScriptValue_SetUndefined(&a);
        const double out = result.Kind() == VALUE_REAL ? result.real : -9999;
        ScriptValue_SetUndefined(&result);
        return out;
    }
    std::vector<uint8_t> m_image;
};

TEST_F(ExtensionPackages, FunctionsAreFoundByNameAndCalledByIdThroughTheirLibrary)
{
    gamedata::ExtensionFileEntry placeholders;
    placeholders.kind = 4;
    placeholders.functions = {ExtensionFunction("stub_fn", 2, "")};
    ASSERT_TRUE(Load({Package("pkg", {LibraryFile({ExtensionFunction("my_add", 1, "ext_add", {2, 2}), std::nullopt,
                                                    ExtensionFunction("my_zero", 4, "ext_zero")}),
                                       placeholders}),
                      std::nullopt,
                      // Dropped: its names are unknown and its ids raise no bound.
                      Package("KivoWorks", {LibraryFile({ExtensionFunction("kivo_fn", 9, "ext_zero")})}),
                      Package("later", {LibraryFile({ExtensionFunction("my_add", 7, "ext_zero")})})}))
        << GameData_LastError();

    EXPECT_EQ(Extension_FindFunction("my_add"), 1) << "the first package naming it";
    EXPECT_EQ(Extension_FindFunction("stub_fn"), 2);
    EXPECT_EQ(Extension_FindFunction("kivo_fn"), -1);
    EXPECT_EQ(Extension_FindFunction("none"), -1);

    bool known = false;
    EXPECT_EQ(Call(1, {ScriptValue_Real(2), ScriptValue_Real(5)}, &known), 7);
    EXPECT_TRUE(known);
    EXPECT_EQ(Call(4, {}), 42);
    EXPECT_EQ(Call(7, {}), 42);
    EXPECT_EQ(Call(1, {ScriptValue_Real(2)}), 0) << "a count its library function does not take";
    EXPECT_EQ(Call(2, {}, &known), -1234) << "a placeholder leaves the result as it was";
    EXPECT_TRUE(known);
    EXPECT_EQ(Call(3, {}, &known), -1234) << "an id no function has, below the highest";
    EXPECT_TRUE(known);
    for (int id : {-1, 8, 9}) {
        Call(id, {}, &known);
        EXPECT_FALSE(known) << id;
    }

    // Letting go of the library by its path leaves every function from it without one.
    DLL_Free(QS_TEST_EXTENSION);
    EXPECT_EQ(Call(1, {ScriptValue_Real(2), ScriptValue_Real(5)}), 0);
    EXPECT_EQ(Call(7, {}), 0);
}

TEST_F(ExtensionPackages, MalformedChunksAreRefusedWithTheirReason)
{
    struct Case {
        const char* what;
        std::vector<uint32_t> words;  // the payload; offsets relative to it (added to its file offset)
        std::vector<size_t> offsets;  // which words are offsets
        const char* message;
    };
    const Case cases[] = {
        {"a package count past the payload", {5, 0}, {}, "count 5 needs 24 bytes but the payload holds 8"},
        {"a package past the chunk", {1, 400}, {1}, "package 0 at offset"},
        {"a file count past the chunk", {1, 8, 0, 0, 0, 1000}, {1}, "package 0 at offset"},
        {"a negative id", {1, 8, 0, 0, 0, 1, 28, 0, 0, 0, 1, 1, 52, 0, 0xFFFFFFFBu, 12, 2, 0, 0},
         {1, 6, 12}, "function 0 () has id -5, outside 0 to 2146983647"},
        {"records named over and over", {4, 20, 20, 20, 20, 0, 0, 0, 2, 44, 44, 0, 0, 0, 1, 0},
         {1, 2, 3, 4, 9, 10}, "the chunk names more records than it holds"},
    };
    for (const Case& c : cases) {
        gamedata::FormWriter w;
        w.Gen8(gamedata::GeneralHeader{});
        gamedata::Chunk& chunk = w.Add("EXTN");
        for (size_t i = 0; i < c.words.size(); ++i) chunk.U32(c.words[i]);
        for (size_t i : c.offsets) chunk.PatchOffset(static_cast<uint32_t>(4 * i), c.words[i]);
        const std::vector<uint8_t> image = w.Finish();
        EXPECT_FALSE(testgames::LoadBoth(image)) << c.what;
        EXPECT_THAT(GameData_LastError(), HasSubstr(c.message)) << c.what;
        testgames::Unload();
    }
}
}  // namespace
