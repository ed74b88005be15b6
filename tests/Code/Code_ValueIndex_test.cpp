#include <gtest/gtest.h>

#include "Code/Code_ValueIndex.h"
#include "ValueTestSupport.h"

namespace {
void Put(ScriptValue* array, int32_t index, double d)
{
    ScriptValue n = ScriptValue_Real(d);
    ScriptValue_SetIndexed(array, &n, index);
}
}  // namespace

TEST(ValueIndex, ReadOutsideFillsTheFaultRecord)
{
    HeldValue a;
    Put(&a.v, 0, 1.0);
    struct Case {
        int32_t index;
        int32_t row, column, rowLength;
    };
    const Case cases[] = {
        {32001, 1, 1, -1},   // row beyond the array
        {1, 0, 1, 1},        // column beyond row 0
        {-1, 0, -1, 1},      // negative column
        {-32000, -1, 0, -1}, // negative row
    };
    for (const Case& c : cases) {
        g_ArrayIndexFault = {};
        HeldValue dest("old");
        dest.v.flags = 4;
        EXPECT_FALSE(ScriptValue_GetIndexed(&dest.v, &a.v, c.index));
        EXPECT_TRUE(g_ArrayIndexFault.set);
        EXPECT_EQ(g_ArrayIndexFault.row, c.row) << c.index;
        EXPECT_EQ(g_ArrayIndexFault.column, c.column) << c.index;
        EXPECT_EQ(g_ArrayIndexFault.rowCount, 1) << c.index;
        EXPECT_EQ(g_ArrayIndexFault.rowLength, c.rowLength) << c.index;
        EXPECT_EQ(dest.v.kind, VALUE_REAL);
        EXPECT_EQ(dest.v.real, 0.0);
        EXPECT_EQ(dest.v.flags, 4u);  // flags kept
    }
}

TEST(ValueIndex, ReadsCopyElementsAndWholeValues)
{
    HeldValue a;
    HeldValue s("elem");
    ScriptValue_SetIndexed(&a.v, &s.v, 32000 + 2);
    HeldValue dest;
    ASSERT_TRUE(ScriptValue_GetIndexed(&dest.v, &a.v, 32002));
    EXPECT_STREQ(ScriptValue_StringText(&dest.v), "elem");
    EXPECT_EQ(s.v.str->count, 3);

    HeldValue whole;
    ASSERT_TRUE(ScriptValue_GetIndexed(&whole.v, &a.v, ARRAY_INDEX_NONE));
    EXPECT_EQ(whole.v.arr, a.v.arr);
    EXPECT_EQ(a.v.arr->count, 2);

    HeldValue plain(5.0);
    ASSERT_TRUE(ScriptValue_GetIndexed(&dest.v, &plain.v, ARRAY_INDEX_NONE));
    EXPECT_EQ(dest.v.real, 5.0);
    EXPECT_FATAL_ERROR(ScriptValue_GetIndexed(&dest.v, &plain.v, 3), "trying to index a variable which is not an array");
}

TEST(ValueIndex, ReadingAnOwnerlessArrayMakesTheSourceItsOwner)
{
    HeldValue kept;
    {
        HeldValue a;
        Put(&a.v, 0, 1.0);
        kept.v.Assign(a.v);
    }
    ASSERT_EQ(kept.v.arr->owner, nullptr);
    HeldValue dest;
    ScriptValue_GetIndexed(&dest.v, &kept.v, 0);
    EXPECT_EQ(kept.v.arr->owner, &kept.v);

    // A whole-value store does the same for its source.
    HeldValue second;
    second.v.Assign(kept.v);
    ScriptValue_SetUndefined(&kept.v);
    ASSERT_EQ(second.v.arr->owner, nullptr);
    ScriptValue_SetIndexed(&dest.v, &second.v, ARRAY_INDEX_NONE);
    EXPECT_EQ(second.v.arr->owner, &second.v);
    EXPECT_EQ(dest.v.arr, second.v.arr);
    EXPECT_EQ(second.v.arr->count, 2);
}

TEST(ValueIndex, WritesCloneSharedArraysAndTurnScalarsIntoArrays)
{
    HeldValue a;
    Put(&a.v, 0, 1.0);
    HeldValue b;
    b.v.Assign(a.v);
    Put(&b.v, 0, 2.0);
    EXPECT_NE(a.v.arr, b.v.arr);
    EXPECT_EQ(a.v.arr->rows[0].elements[0].real, 1.0);

    HeldValue s("was a string");
    Put(&s.v, 5, 3.0);
    ASSERT_EQ(s.v.Kind(), VALUE_ARRAY);
    EXPECT_EQ(s.v.arr->rows[0].length, 6);

    g_ArrayIndexFault = {};
    Put(&a.v, -32000, 9.0);
    EXPECT_TRUE(g_ArrayIndexFault.set);
    EXPECT_EQ(g_ArrayIndexFault.row, -1);
    EXPECT_EQ(g_ArrayIndexFault.rowLength, -1);
    EXPECT_EQ(a.v.arr->rowCount, 1);
}

TEST(ValueIndex, StoringAnElementIntoItsOwnGrowingRowKeepsIt)
{
    HeldValue a;
    HeldValue s("first");
    ScriptValue_SetIndexed(&a.v, &s.v, 0);
    ScriptValue_SetUndefined(&s.v);
    // a[0][3000] = a[0][0]: the source lives in the row that moves.
    ScriptValue_SetIndexed(&a.v, &a.v.arr->rows[0].elements[0], 3000);
    EXPECT_STREQ(ScriptValue_StringText(&a.v.arr->rows[0].elements[3000]), "first");
    EXPECT_EQ(a.v.arr->rows[0].elements[0].str->count, 2);
}

TEST(ValueIndex, StoredOwnerlessArrayIsOwnedByItsElement)
{
    HeldValue outer;
    HeldValue inner;
    {
        HeldValue temp;
        Put(&temp.v, 0, 1.0);
        inner.v.Assign(temp.v);
    }
    ASSERT_EQ(inner.v.arr->owner, nullptr);
    ScriptValue_SetIndexed(&outer.v, &inner.v, 0);
    EXPECT_EQ(inner.v.arr->owner, &outer.v.arr->rows[0].elements[0]);
}
