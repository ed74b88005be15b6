#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "Buffer/Buffer_Main.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_ValueSave.h"
#include "ValueTestSupport.h"

namespace {
void Put(ScriptValue* array, int32_t index, const ScriptValue& v) { ScriptValue_ArrayElementForWrite(array, index)->Assign(v); }

}  // namespace

TEST(ValueSave, ValuesSurviveASaveAndLoad)
{
    HeldValue array;
    HeldValue text("hello");
    Put(&array.v, 0, ScriptValue_Real(1.5));
    Put(&array.v, 1, text.v);
    Put(&array.v, 32000 * 2 + 1, MakeValue(VALUE_INT32, 77));
    HeldValue nested;
    Put(&nested.v, 0, ScriptValue_Real(9));
    Put(&array.v, 2, nested.v);

    ScriptValue marked = ScriptValue_Real(4);
    marked.kind |= KIND_NESTED_LIST;
    const ScriptValue values[] = {
        ScriptValue_Real(-2.25),
        MakeValue(VALUE_BOOL, 0x3FF0000000000000),
        MakeValue(VALUE_INT32, static_cast<uint32_t>(-9)),
        MakeValue(VALUE_INT64, int64_t{1} << 50),
        text.v,
        array.v,
        ScriptValue_Undefined(),
        MakeValue(VALUE_UNSET),
        marked,
    };
    IBuffer buffer;
    for (const ScriptValue& v : values) ScriptValue_WriteToBuffer(&v, &buffer);
    buffer.Seek(eBuffer_SeekStart, 0);
    for (const ScriptValue& v : values) {
        HeldValue back;
        ASSERT_TRUE(ScriptValue_ReadFromBuffer(&back.v, &buffer));
        EXPECT_EQ(back.v.kind, v.kind);
        if (v.Kind() != VALUE_UNSET) {
            EXPECT_EQ(TextOf(back.v), TextOf(v));
        }
        if (v.Kind() == VALUE_ARRAY) {
            ASSERT_EQ(back.v.arr->rowCount, 3);
            EXPECT_EQ(back.v.arr->rows[1].length, 0);
            EXPECT_EQ(back.v.arr->rows[2].length, 2);
            EXPECT_EQ(back.v.arr->owner, &back.v);
        }
    }
    EXPECT_EQ(buffer.Remaining(), 0u);
}

TEST(ValueSave, AnObjectComesBackWithANullPointer)
{
    ScriptValue object = MakeValue(VALUE_OBJECT, 0x5000);
    IBuffer buffer;
    ScriptValue_WriteToBuffer(&object, &buffer);
    EXPECT_EQ(buffer.UsedSize(), 4u);
    buffer.Seek(eBuffer_SeekStart, 0);
    HeldValue back;
    ASSERT_TRUE(ScriptValue_ReadFromBuffer(&back.v, &buffer));
    EXPECT_EQ(back.v.kind, VALUE_OBJECT);
    EXPECT_EQ(back.v.obj, nullptr);
}

// A saved game is a file anyone can edit: an address read from it is never kept.
TEST(ValueSave, APointerComesBackNullAndTheRestStillReads)
{
    const ScriptValue values[] = {MakeValue(VALUE_PTR, 0x7FFF12345678), ScriptValue_Real(3)};
    IBuffer buffer;
    for (const ScriptValue& v : values) ScriptValue_WriteToBuffer(&v, &buffer);
    buffer.Seek(eBuffer_SeekStart, 0);
    HeldValue pointer, real;
    ASSERT_TRUE(ScriptValue_ReadFromBuffer(&pointer.v, &buffer));
    EXPECT_EQ(pointer.v.kind, VALUE_PTR);
    EXPECT_EQ(pointer.v.i64, 0);
    ASSERT_TRUE(ScriptValue_ReadFromBuffer(&real.v, &buffer));
    EXPECT_EQ(real.v.real, 3);
}

TEST(ValueSave, TruncatedOrOversizedInputFailsCleanly)
{
    HeldValue array;
    HeldValue text("abc");
    Put(&array.v, 0, text.v);
    Put(&array.v, 32001, ScriptValue_Real(2));
    IBuffer whole;
    ScriptValue_WriteToBuffer(&array.v, &whole);
    // Every cut of the encoding fails without reading past the end.
    for (size_t n = 0; n < size_t(whole.UsedSize()); ++n) {
        IBuffer cut;
        ScriptValue_WriteToBuffer(&array.v, &cut);
        cut.Resize(n);
        cut.Seek(eBuffer_SeekStart, 0);
        HeldValue back(1.0);
        EXPECT_FALSE(ScriptValue_ReadFromBuffer(&back.v, &cut)) << n;
        EXPECT_EQ(back.v.kind, VALUE_UNDEFINED);
    }

    // A row count far beyond what the buffer holds is refused before any allocation.
    IBuffer huge;
    ScriptValue kind = ScriptValue_Real(VALUE_ARRAY), rows = ScriptValue_Real(0x7fffffff);
    huge.Write(eBuffer_S32, &kind);
    huge.Write(eBuffer_S32, &rows);
    huge.Seek(eBuffer_SeekStart, 0);
    HeldValue back;
    EXPECT_FALSE(ScriptValue_ReadFromBuffer(&back.v, &huge));

    IBuffer negative;
    ScriptValue minus = ScriptValue_Real(-1);
    negative.Write(eBuffer_S32, &kind);
    negative.Write(eBuffer_S32, &minus);
    negative.Seek(eBuffer_SeekStart, 0);
    EXPECT_FALSE(ScriptValue_ReadFromBuffer(&back.v, &negative));
}

TEST(ValueSave, NestingBeyondAnyGameIsRefused)
{
    IBuffer deep;
    ScriptValue kind = ScriptValue_Real(VALUE_ARRAY), one = ScriptValue_Real(1);
    for (int i = 0; i < 5000; ++i) {
        deep.Write(eBuffer_S32, &kind);
        deep.Write(eBuffer_S32, &one);
        deep.Write(eBuffer_S32, &one);
    }
    ScriptValue zero = ScriptValue_Real(0);
    deep.Write(eBuffer_S32, &zero);
    deep.Write(eBuffer_F64, &zero);
    deep.Seek(eBuffer_SeekStart, 0);
    HeldValue back;
    EXPECT_FALSE(ScriptValue_ReadFromBuffer(&back.v, &deep));
}

TEST(ValueSave, TypedStackEntries)
{
    alignas(8) uint8_t entry[16] = {};
    ScriptValue dest = ScriptValue_Undefined();
    dest.flags = 3;

    double d = 2.5;
    std::memcpy(entry, &d, 8);
    EXPECT_EQ(ScriptValue_ReadTyped(&dest, 0, entry), entry + 8);
    EXPECT_EQ(dest.kind, VALUE_REAL);
    EXPECT_EQ(dest.real, 2.5);

    float f = -1.5f;
    std::memcpy(entry, &f, 4);
    EXPECT_EQ(ScriptValue_ReadTyped(&dest, 1, entry), entry + 4);
    EXPECT_EQ(dest.real, -1.5);

    int32_t i = -4;
    std::memcpy(entry, &i, 4);
    EXPECT_EQ(ScriptValue_ReadTyped(&dest, 4, entry), entry + 4);
    EXPECT_EQ(dest.kind, VALUE_BOOL);
    EXPECT_EQ(dest.real, -4.0);

    int64_t l = int64_t{1} << 40;
    std::memcpy(entry, &l, 8);
    EXPECT_EQ(ScriptValue_ReadTyped(&dest, 3, entry), entry + 8);
    EXPECT_EQ(dest.real, 1099511627776.0);

    EXPECT_EQ(ScriptValue_ReadTyped(&dest, 9, entry), entry);
    EXPECT_EQ(dest.kind, VALUE_UNDEFINED);
    EXPECT_EQ(dest.flags, 3u);  // only kind and payload are written
    EXPECT_EQ(ScriptValue_ReadTyped(&dest, 7, entry), entry);
    EXPECT_EQ(dest.kind, VALUE_UNDEFINED);

    ScriptValue whole = MakeValue(VALUE_INT32, 12);
    whole.flags = 7;
    std::memcpy(entry, &whole, sizeof whole);
    EXPECT_EQ(ScriptValue_ReadTyped(&dest, 5, entry), entry + 16);
    EXPECT_EQ(dest.flags, 7u);
    EXPECT_EQ(dest.i32, 12);
}
