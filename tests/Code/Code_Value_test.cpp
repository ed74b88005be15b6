#include <gtest/gtest.h>

#include "Code/Code_Value.h"
#include "Code/ObjectBase.h"
#include "ValueTestSupport.h"

namespace {
// Writes a real through the copy-on-write path.
void WriteReal(ScriptValue* v, int32_t index, double d)
{
    ScriptValue* e = ScriptValue_ArrayElementForWrite(v, index);
    ASSERT_NE(e, nullptr);
    ScriptValue_SetReal(e, d);
}

double ReadReal(ScriptValue* v, int32_t index)
{
    ScriptValue* e = ScriptValue_ArrayElementPtr(v, index);
    return e ? e->real : -12345.0;
}

struct Tracked : COwnedObject {
    explicit Tracked(int* deletions) : m_deletions(deletions) {}
    ~Tracked() override { ++*m_deletions; }
    int* m_deletions;
};
}  // namespace

TEST(Value, StringCopiesShareOneRecordAndTheLastReleaseFreesIt)
{
    HeldValue a("hello");
    RefString* record = a.v.str;
    ASSERT_EQ(record->count, 1);
    EXPECT_EQ(record->length, 5);
    {
        HeldValue b;
        b.v.Assign(a.v);
        EXPECT_EQ(b.v.str, record);
        EXPECT_EQ(record->count, 2);
        b.v.Assign(b.v);  // self-assignment takes nothing
        EXPECT_EQ(record->count, 2);
    }
    EXPECT_EQ(record->count, 1);
    EXPECT_STREQ(ScriptValue_StringText(&a.v), "hello");
}

TEST(Value, NullTextMakesARecordWithoutText)
{
    HeldValue a;
    ScriptValue_SetString(&a.v, nullptr);
    ASSERT_NE(a.v.str, nullptr);
    EXPECT_EQ(a.v.str->text, nullptr);
    EXPECT_EQ(a.v.str->length, 0);
    EXPECT_EQ(ScriptValue_StringText(&a.v), nullptr);
}

TEST(Value, SetStringRecordCopySharesAGlobalRecord)
{
    HeldValue global("last error");
    HeldValue a(1.0);
    a.v.flags = 7;
    ScriptValue_SetStringRecordCopy(&a.v, global.v.str);
    EXPECT_EQ(global.v.str->count, 2);
    EXPECT_EQ(a.v.flags, 0u);
    // Handing a value the record it already holds keeps it alive.
    ScriptValue_SetStringRecordCopy(&a.v, global.v.str);
    EXPECT_EQ(global.v.str->count, 2);
}

TEST(Value, MarkerBitsDoNotChangeCopyOrRelease)
{
    HeldValue a("x");
    a.v.kind |= KIND_NESTED_MAP;
    HeldValue b;
    b.v.Assign(a.v);
    EXPECT_EQ(a.v.str->count, 2);
    EXPECT_EQ(b.v.kind, VALUE_STRING | KIND_NESTED_MAP);
}

TEST(Value, AssigningAnElementOfItsOwnArrayKeepsTheElementAlive)
{
    HeldValue a;
    HeldValue s("inner");
    ScriptValue_ArrayElementForWrite(&a.v, 0)->Assign(s.v);
    ScriptValue_SetUndefined(&s.v);
    // a = a[0]: the only reference to the array goes while its element is copied.
    a.v.Assign(*ScriptValue_ArrayElementPtr(&a.v, 0));
    ASSERT_EQ(a.v.Kind(), VALUE_STRING);
    EXPECT_STREQ(ScriptValue_StringText(&a.v), "inner");
    EXPECT_EQ(a.v.str->count, 1);
}

TEST(Value, OwnedPointerIsDeletedOnceThoughCopied)
{
    int deletions = 0;
    {
        HeldValue a;
        a.v.kind = VALUE_PTR;
        a.v.ptr = static_cast<COwnedObject*>(new Tracked(&deletions));
        a.v.flags = VALUE_FLAG_OWNED_PTR;
        HeldValue b;
        b.v.Assign(a.v);
        EXPECT_EQ(b.v.ptr, a.v.ptr);
        EXPECT_EQ(b.v.flags & VALUE_FLAG_OWNED_PTR, 0u);
    }
    EXPECT_EQ(deletions, 1);
}

TEST(ValueArray, WriteThroughCopyClonesAndWriteThroughOwnerIsShared)
{
    HeldValue a;
    WriteReal(&a.v, 0, 1.0);
    RefArray* record = a.v.arr;
    EXPECT_EQ(record->owner, &a.v);

    HeldValue b;
    b.v.Assign(a.v);
    EXPECT_EQ(record->count, 2);
    EXPECT_EQ(record->owner, &a.v);

    // The owner writes in place: the copy sees it.
    WriteReal(&a.v, 0, 2.0);
    EXPECT_EQ(a.v.arr, record);
    EXPECT_EQ(ReadReal(&b.v, 0), 2.0);

    // The copy writes: it gets its own clone, the first is unchanged.
    WriteReal(&b.v, 0, 3.0);
    EXPECT_NE(b.v.arr, record);
    EXPECT_EQ(b.v.arr->owner, &b.v);
    EXPECT_EQ(b.v.arr->count, 1);
    EXPECT_EQ(record->count, 1);
    EXPECT_EQ(ReadReal(&a.v, 0), 2.0);
    EXPECT_EQ(ReadReal(&b.v, 0), 3.0);
}

TEST(ValueArray, SoleHolderThatIsNotOwnerWritesInPlace)
{
    HeldValue b;
    {
        HeldValue a;
        WriteReal(&a.v, 0, 1.0);
        b.v.Assign(a.v);
    }
    RefArray* record = b.v.arr;
    EXPECT_EQ(record->owner, nullptr);
    EXPECT_EQ(record->count, 1);
    WriteReal(&b.v, 0, 5.0);
    EXPECT_EQ(b.v.arr, record);
    EXPECT_EQ(ReadReal(&b.v, 0), 5.0);
}

TEST(ValueArray, WritingRowTwoColumnFiveGrowsZeroFilledRows)
{
    HeldValue a;
    WriteReal(&a.v, 2 * 32000 + 5, 9.0);
    RefArray* r = a.v.arr;
    ASSERT_EQ(r->rowCount, 3);
    EXPECT_EQ(r->rows[0].length, 0);
    EXPECT_EQ(r->rows[0].elements, nullptr);
    EXPECT_EQ(r->rows[1].length, 0);
    ASSERT_EQ(r->rows[2].length, 6);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(r->rows[2].elements[c].kind, VALUE_REAL);
        EXPECT_EQ(r->rows[2].elements[c].real, 0.0);
    }
    EXPECT_EQ(r->rows[2].elements[5].real, 9.0);
}

TEST(ValueArray, IndexDecodingAndNegativeIndexes)
{
    struct Case {
        int32_t index;
        bool element;
        int32_t rowsAfter;  // rows of a fresh array after the write attempt
    };
    const Case cases[] = {
        {5, true, 1},                 // [0][5]
        {32000, true, 2},             // [1][0]
        {-1, false, 1},               // [0][-1]: row 0 appears, no element
        {ARRAY_INDEX_NONE, false, 0}, // negative row: nothing grows
        {-32000, false, 0},           // [-1][0]
    };
    for (const Case& c : cases) {
        HeldValue a;
        ScriptValue* e = ScriptValue_ArrayElementForWrite(&a.v, c.index);
        EXPECT_EQ(e != nullptr, c.element) << c.index;
        ASSERT_EQ(a.v.Kind(), VALUE_ARRAY);
        EXPECT_EQ(a.v.arr->rowCount, c.rowsAfter) << c.index;
        if (c.rowsAfter > 0 && !c.element) {
            EXPECT_EQ(a.v.arr->rows[0].length, 0) << c.index;
        }
    }
    HeldValue a;
    WriteReal(&a.v, 32000, 4.0);
    EXPECT_EQ(a.v.arr->rows[1].elements[0].real, 4.0);
}

TEST(ValueArray, ReleasingTheLastReferenceReleasesContainedStrings)
{
    HeldValue outside("shared");
    RefString* record = outside.v.str;
    {
        HeldValue a;
        ScriptValue_ArrayElementForWrite(&a.v, 0)->Assign(outside.v);
        ScriptValue_ArrayElementForWrite(&a.v, 32001)->Assign(outside.v);
        EXPECT_EQ(record->count, 3);
    }
    EXPECT_EQ(record->count, 1);
    EXPECT_STREQ(ScriptValue_StringText(&outside.v), "shared");
}

TEST(ValueArray, CloneSharesElementsAndAdoptsOwnerlessNestedArrays)
{
    HeldValue a;
    HeldValue s("text");
    ScriptValue_ArrayElementForWrite(&a.v, 0)->Assign(s.v);
    {
        HeldValue inner;
        WriteReal(&inner.v, 0, 1.0);
        ScriptValue_ArrayElementForWrite(&a.v, 1)->Assign(inner.v);
    }
    RefArray* nested = a.v.arr->rows[0].elements[1].arr;
    // The nested array's first holder (inner) is gone; the element adopted it.
    EXPECT_EQ(nested->owner, nullptr);

    HeldValue b;
    b.v.Assign(a.v);
    WriteReal(&b.v, 2, 7.0);  // clones the outer array
    ASSERT_NE(b.v.arr, a.v.arr);
    EXPECT_EQ(s.v.str->count, 3);
    EXPECT_EQ(nested->count, 2);
    EXPECT_EQ(nested->owner, &b.v.arr->rows[0].elements[1]);
}

TEST(ValueArray, OwnerLinkFollowsAnElementBlockThatMoves)
{
    HeldValue a;
    ScriptValue* slot = ScriptValue_ArrayElementForWrite(&a.v, 0);
    ScriptValue_ArrayElementForWrite(slot, 0);  // the element becomes a nested array it owns
    RefArray* nested = slot->arr;
    ASSERT_EQ(nested->owner, slot);
    WriteReal(&a.v, 4000, 1.0);  // row 0 grows and its block moves
    ScriptValue* moved = ScriptValue_ArrayElementPtr(&a.v, 0);
    ASSERT_EQ(moved->arr, nested);
    EXPECT_EQ(nested->owner, moved);
}

TEST(ValueArray, ReadingAnUnsetValueIsFatal)
{
    ScriptValue unset = MakeValue(VALUE_UNSET);
    EXPECT_FATAL_ERROR(ScriptValue_ArrayElementPtr(&unset, 0), "ARRAY argument is unset");
}

TEST(ValueStrings, DupConcatAndBoundedLength)
{
    int32_t length = -1;
    char* copy = DupStringWithLength("abc", &length);
    EXPECT_STREQ(copy, "abc");
    EXPECT_EQ(length, 3);
    Code_FreeMemory(copy);
    EXPECT_EQ(DupStringWithLength(nullptr, &length), nullptr);
    EXPECT_EQ(length, 0);

    char* both = ConcatStrings("ab", "cd");
    EXPECT_STREQ(both, "abcd");
    Code_FreeMemory(both);
    char* one = ConcatStrings(nullptr, "cd");
    EXPECT_STREQ(one, "cd");
    Code_FreeMemory(one);
    EXPECT_EQ(ConcatStrings(nullptr, nullptr), nullptr);

    EXPECT_EQ(StrLenBounded("abc\0def", 8), 3u);
    EXPECT_EQ(StrLenBounded("abcdef", 4), 4u);
}
