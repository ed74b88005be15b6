#include <gtest/gtest.h>

#include <string>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Options/Runner_Options.h"

namespace {
TEST(BufferTableTest, IdsAreSmallReusedAndTheTableDoubles)
{
    std::vector<int> ids;
    for (int i = 0; i < 33; ++i) ids.push_back(Buffer_Create(8, eBuffer_Grow, 1));
    // Ids start at the first free slot (earlier tests may hold none).
    for (int i = 1; i < 33; ++i) EXPECT_EQ(ids[i], ids[0] + i);
    EXPECT_GE(Buffer_Capacity(), 64);
    const int reused = ids[3];
    Buffer_Delete(reused);
    EXPECT_EQ(Buffer_Get(reused), nullptr);
    EXPECT_EQ(Buffer_Create(4, eBuffer_Fast, 1), reused);
    EXPECT_EQ(Buffer_Get(reused)->Kind(), eBuffer_Fast);
    EXPECT_NE(dynamic_cast<Buffer_Fast*>(Buffer_Get(reused)), nullptr);
    for (int id : ids) Buffer_Delete(id);
    EXPECT_EQ(Buffer_Get(-1), nullptr);
    EXPECT_EQ(Buffer_Get(1 << 20), nullptr);
    Buffer_Delete(1 << 20);  // nothing there: nothing happens
}

TEST(BufferTableTest, WrappedMemoryIsAFixedBufferOverIt)
{
    auto* memory = static_cast<uint8_t*>(QS_ALLOC(4, true));
    const int id = Buffer_CreateWrapped(memory, 4, true);
    IBuffer* b = Buffer_Get(id);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Data(), memory);
    EXPECT_EQ(b->Kind(), eBuffer_Fixed);
    EXPECT_EQ(b->WriteBytes("abcdef", 1, 6), 4);
    Buffer_Delete(id);  // frees the memory it owns
}

TEST(BufferTableTest, ANegativeSizeMakesNoBuffer)
{
    Console_SetStdoutSuppressed(true);
    for (int kind : {eBuffer_Fixed, eBuffer_Grow, eBuffer_Fast}) EXPECT_EQ(Buffer_Create(-5, kind, 1), -1) << kind;
    Console_SetStdoutSuppressed(false);
    error_occurred = false;
}

TEST(BufferTableTest, AnUnknownKindIsFatal)
{
    const bool child = ChildGame;
    const HeadlessModeFlags headless = HeadlessMode;
    ChildGame = true;  // the fatal report returns instead of ending the process
    HeadlessMode.noDialogs = true;
    Console_SetStdoutSuppressed(true);
    for (int kind : {5, -1}) {
        FatalErrorShown = false;
        EXPECT_EQ(Buffer_Create(8, kind, 1), -1);
        ASSERT_NE(ErrorLast_Get(), nullptr);
        EXPECT_NE(std::string(ErrorLast_Get()).find("Unknown buffer type, should be one of buffer_fixed"), std::string::npos);
    }
    Console_SetStdoutSuppressed(false);
    ChildGame = child;
    HeadlessMode = headless;
    FatalErrorShown = error_occurred = false;
}
}  // namespace
