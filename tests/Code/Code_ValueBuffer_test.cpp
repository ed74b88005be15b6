#include <gtest/gtest.h>

#include <string>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Value.h"
#include "Options/Runner_Options.h"

namespace {
// Script values go in through the argument getters' conversions and come back
// as reals, 64-bit integers or strings.
TEST(ValueBufferTest, ValuesBecomeElementsAndBack)
{
    IBuffer b(64, eBuffer_Grow, 1);
    ScriptValue big = ScriptValue_Undefined();
    big.i64 = (int64_t(1) << 53) + 1;  // beyond what a real holds exactly
    big.kind = VALUE_INT64;
    ScriptValue text = ScriptValue_Undefined();
    ScriptValue_SetString(&text, "héllo");
    const ScriptValue minus = ScriptValue_Real(-1.7), half = ScriptValue_Real(0.5);
    ASSERT_EQ(b.Write(eBuffer_U64, &big), 0);
    ASSERT_EQ(b.Write(eBuffer_S16, &minus), 0);  // -1.7 converts to -1 or -2 as the getters round
    ASSERT_EQ(b.Write(eBuffer_String, &text), 0);
    const ScriptValue two = ScriptValue_Real(2);
    ASSERT_EQ(b.Write(eBuffer_Bool, &two), 0);
    EXPECT_EQ(b.Write(eBuffer_F16, &half), -1);
    EXPECT_EQ(b.Write(42, &half), -1);

    b.Seek(eBuffer_SeekStart, 0);
    ScriptValue out = ScriptValue_Undefined();
    ASSERT_EQ(b.Read(eBuffer_U64, &out), 0);
    EXPECT_EQ(out.kind, VALUE_INT64);
    EXPECT_EQ(out.i64, big.i64);
    ASSERT_EQ(b.Read(eBuffer_S16, &out), 0);
    EXPECT_EQ(out.kind, VALUE_REAL);
    EXPECT_LT(out.real, 0);
    ASSERT_EQ(b.Read(eBuffer_String, &out), 0);
    EXPECT_EQ(out.kind, VALUE_STRING);
    EXPECT_STREQ(ScriptValue_StringText(&out), "héllo");
    ASSERT_EQ(b.Read(eBuffer_Bool, &out), 0);
    EXPECT_EQ(out.real, 1);

    IBuffer end(2, eBuffer_Fixed, 1);
    end.Seek(eBuffer_SeekStart, 2);
    EXPECT_EQ(end.Read(eBuffer_U8, &out), -1);
    EXPECT_EQ(out.kind, VALUE_REAL);
    EXPECT_EQ(out.real, -3);
    ScriptValue_SetUndefined(&text);
    ScriptValue_SetUndefined(&out);
}

TEST(ValueBufferTest, WritingByABadIdReportsIt)
{
    const HeadlessModeFlags headless = HeadlessMode;
    HeadlessMode.noDialogs = true;
    Console_SetStdoutSuppressed(true);
    const ScriptValue one = ScriptValue_Real(1);
    EXPECT_EQ(Buffer_Write(-1, eBuffer_U8, &one), -1);
    ASSERT_NE(ErrorLast_Get(), nullptr);
    EXPECT_NE(std::string(ErrorLast_Get()).find("Illegal Buffer Index"), std::string::npos);
    Console_SetStdoutSuppressed(false);
    HeadlessMode = headless;
    error_occurred = false;

    const int id = Buffer_Create(1, eBuffer_Fixed, 1);
    EXPECT_EQ(Buffer_Write(id, eBuffer_U8, &one), 0);
    EXPECT_EQ(Buffer_Write(id, eBuffer_U8, &one), -2);
    EXPECT_EQ(Buffer_Get(id)->Data()[0], 1);
    Buffer_Delete(id);
}
}  // namespace
