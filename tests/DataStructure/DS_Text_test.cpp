#include <gtest/gtest.h>

#include <string>

#include "Base/MemoryManager.h"
#include "Buffer/MemoryStream.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "DataStructure/DS_Priority.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DS_Stack.h"
#include "DataStructure/DS_Text.h"
#include "DataStructure/DsTestSupport.h"

namespace {
struct DsTextTest : DsFixture {
    RecordingConsole log;
    tagIConsole* savedLog = nullptr;
    void SetUp() override
    {
        DsFixture::SetUp();
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        DsFixture::TearDown();
    }
};

template <typename T>
std::string TextOf(T& structure)
{
    char* text = structure.Write();
    std::string out = text ? text : "";
    QS_FREE(text);
    return out;
}

// A whole value record in hex, as WriteValue gives it.
std::string Record(const ScriptValue* value)
{
    MemoryStream stream(0);
    WriteValue(&stream, value);
    char* text = stream.ToHexString();
    std::string out = text ? text : "";
    QS_FREE(text);
    return out;
}

TEST_F(DsTextTest, KnownTextsDecodeAndEncodeByteForByte)
{
    CDS_List empty;
    EXPECT_EQ(TextOf(empty), "2E01000000000000");

    const std::string listText = "2E0100000100000000000000000000000000F03F";
    CDS_List list;
    list.Add(&Val(1));
    EXPECT_EQ(TextOf(list), listText);
    CDS_List readList;
    ASSERT_TRUE(readList.Read(listText.c_str(), false));
    EXPECT_EQ(readList.GetItem(0)->real, 1);
    EXPECT_EQ(TextOf(readList), listText);

    const std::string mapText = "920100000100000001000000010000006100000000000000000000F03F";
    DsMap map;
    map.Add(&Val("a"), &Val(1));
    EXPECT_EQ(TextOf(map), mapText);
    DsMap readMap;
    ASSERT_TRUE(readMap.Read(mapText.c_str(), false));
    EXPECT_EQ(readMap.FindElement(&Val("a"))->value.real, 1);
    EXPECT_EQ(TextOf(readMap), mapText);

    const std::string gridText = "5A020000010000000200000000000000000000000000F03F0700000005000000";
    DsGrid grid(1, 2);
    grid.SetCell(0, 0, &Val(1));
    grid.SetCell(0, 1, &Int32(5));
    EXPECT_EQ(TextOf(grid), gridText);
    DsGrid readGrid(5, 5);
    ASSERT_TRUE(readGrid.Read(gridText.c_str(), false));
    EXPECT_EQ(readGrid.Width(), 1);
    EXPECT_EQ(readGrid.Height(), 2);
    EXPECT_EQ(readGrid.Cell(0, 1)->kind, VALUE_INT32);
    EXPECT_EQ(readGrid.Cell(0, 1)->i32, 5);
    EXPECT_EQ(TextOf(readGrid), gridText);
}

TEST_F(DsTextTest, ValueRecordsOfEveryKind)
{
    int marker;
    struct Case {
        Val value;
        std::string record;
    } cases[] = {
        {Val(1), "00000000000000000000F03F"},
        {OfKind(VALUE_BOOL, 0x3FF0000000000000), "0D000000000000000000F03F"},
        {Val("hi"), "01000000020000006869"},
        {OfKind(VALUE_STRING, 0), "0100000000000000"},  // a string without text
        {OfKind(VALUE_UNDEFINED), "05000000"},
        {Int32(-2), "07000000FEFFFFFF"},
        {Int64(-2), "0A000000FEFFFFFFFFFFFFFF"},
        {OfKind(VALUE_ARRAY, 0), "0200000000000000"},  // an array without record
        {OfKind(VALUE_PTR, reinterpret_cast<intptr_t>(&marker)), ""},
        {Nested(3, KIND_NESTED_MAP), "00000080"},
        {OfKind(VALUE_OBJECT, 0), "06000000"},
    };
    MemoryStream expected(0);
    expected.WriteInt32(VALUE_PTR);
    expected.WriteInt64(reinterpret_cast<intptr_t>(&marker));
    char* ptrText = expected.ToHexString();
    cases[8].record = ptrText;
    QS_FREE(ptrText);
    for (Case& c : cases) EXPECT_EQ(Record(&c.value), c.record) << c.record;
    EXPECT_EQ(log.text,
              "Attempting to WriteValue for unsupported type -2147483648\n"
              "Attempting to WriteValue for unsupported type 6\n");
}

TEST_F(DsTextTest, NestedArraysAndAllKindsRoundTrip)
{
    Val inner;
    ScriptValue_ArrayElementForWrite(&inner, 0)->Assign(Val("deep").v);
    ScriptValue_ArrayElementForWrite(&inner, 1)->Assign(Int64(int64_t{1} << 40).v);
    Val outer;
    ScriptValue_ArrayElementForWrite(&outer, 0)->Assign(inner.v);
    ScriptValue_ArrayElementForWrite(&outer, ARRAY_ROW_STRIDE + 2)->Assign(Int32(9).v);  // row 1, column 2

    CDS_Stack stack;
    stack.Push(&outer);
    stack.Push(&OfKind(VALUE_BOOL, 0));
    stack.Push(&OfKind(VALUE_UNDEFINED));
    CDS_Stack back;
    char* text = stack.Write();
    ASSERT_TRUE(back.Read(text, false));
    QS_FREE(text);
    ASSERT_EQ(back.Size(), 3);
    EXPECT_EQ(back.Pop()->kind, VALUE_UNDEFINED);
    EXPECT_EQ(back.Pop()->kind, VALUE_BOOL);
    ScriptValue* array = back.Pop();
    ASSERT_EQ(array->kind, VALUE_ARRAY);
    ASSERT_EQ(array->arr->rowCount, 2);
    EXPECT_EQ(array->arr->owner, array);
    EXPECT_EQ(array->arr->rows[1].length, 3);
    EXPECT_EQ(array->arr->rows[1].elements[2].i32, 9);
    const ScriptValue& nested = array->arr->rows[0].elements[0];
    ASSERT_EQ(nested.kind, VALUE_ARRAY);
    EXPECT_EQ(StringOf(&nested.arr->rows[0].elements[0]), "deep");
    EXPECT_EQ(nested.arr->rows[0].elements[1].i64, int64_t{1} << 40);
}

TEST_F(DsTextTest, QueueTextKeepsHeadTailAndEverySlot)
{
    CDS_Queue queue;
    queue.Enqueue(&Val("a"));
    queue.Enqueue(&Val("b"));
    queue.Enqueue(&Val("c"));
    queue.Dequeue();
    const std::string text = TextOf(queue);
    EXPECT_EQ(text.substr(0, 32), "CA000000030000000100000010000000");  // tail 3, head 1, capacity 16
    CDS_Queue back;
    ASSERT_TRUE(back.Read(text.c_str(), false));
    EXPECT_EQ(back.Size(), 2);
    EXPECT_EQ(StringOf(back.Head()), "b");
    EXPECT_EQ(TextOf(back), text);

    CDS_Priority priority;
    priority.Add(&Val("x"), &Val(5));
    priority.Add(&Val("y"), &Val(7));
    CDS_Priority priorityBack;
    ASSERT_TRUE(priorityBack.Read(TextOf(priority).c_str(), false));
    EXPECT_EQ(StringOf(priorityBack.FindMax()), "y");
    EXPECT_EQ(TextOf(priorityBack), TextOf(priority));
}

TEST_F(DsTextTest, MarkedHandlesAndPointersReadBackAsUndefined)
{
    const int32_t map = DsMap_Create();
    CDS_List list;
    list.Add(&Nested(map, KIND_NESTED_MAP));
    const std::string text = TextOf(list);
    EXPECT_EQ(text, "2E0100000100000000000080");
    int marker;
    CDS_List pointers;
    pointers.Add(&OfKind(VALUE_PTR, reinterpret_cast<intptr_t>(&marker)));
    pointers.Add(&Val(2));
    const std::string pointerText = TextOf(pointers);
    log.text.clear();

    CDS_List back;
    ASSERT_TRUE(back.Read(text.c_str(), false));
    EXPECT_EQ(back.GetItem(0)->kind, VALUE_UNDEFINED);
    ASSERT_TRUE(back.Read(pointerText.c_str(), false));
    EXPECT_EQ(back.GetItem(0)->kind, VALUE_UNDEFINED);  // no address is taken from a text
    EXPECT_EQ(back.GetItem(1)->real, 2);                // and the stream stays aligned
    EXPECT_EQ(log.text,
              "Attempting to ReadValue for unsupported type -2147483648\n"
              "Attempting to ReadValue for unsupported type 3\n");
    back.Clear();
    EXPECT_TRUE(Ds_Exists(map, DS_TYPE_MAP));
}

TEST_F(DsTextTest, PreviousAndLegacyLayouts)
{
    // Magic 301: only reals, strings and arrays carry a payload; a marked
    // real or an object kind names nothing.
    MemoryStream stream(0);
    stream.WriteInt32(301);
    stream.WriteInt32(5);
    stream.WriteInt32(VALUE_REAL);
    stream.WriteDouble(2.5);
    stream.WriteInt32(VALUE_STRING);
    stream.WriteString("s");
    stream.WriteInt32(VALUE_INT32);
    stream.WriteInt32(static_cast<int32_t>(KIND_NESTED_MAP));
    stream.WriteInt32(VALUE_OBJECT);
    char* previous = stream.ToHexString();
    CDS_List list;
    ASSERT_TRUE(list.Read(previous, false));
    QS_FREE(previous);
    ASSERT_EQ(list.Size(), 5);
    EXPECT_EQ(list.GetItem(0)->real, 2.5);
    EXPECT_EQ(StringOf(list.GetItem(1)), "s");
    EXPECT_EQ(list.GetItem(2)->kind, VALUE_INT32);
    EXPECT_EQ(list.GetItem(2)->i32, 0);
    EXPECT_EQ(list.GetItem(3)->kind, VALUE_UNDEFINED);
    EXPECT_EQ(list.GetItem(4)->kind, VALUE_UNDEFINED);

    // The legacy layout: kind word, double, string; every value a string.
    MemoryStream legacy(0);
    legacy.WriteInt32(DS_MAGIC_STACK);
    legacy.WriteInt32(2);
    legacy.WriteInt32(VALUE_REAL);
    legacy.WriteDouble(4);
    legacy.WriteString("4");
    legacy.WriteInt32(VALUE_REAL);
    legacy.WriteDouble(0);
    legacy.WriteString(nullptr);
    char* legacyText = legacy.ToHexString();
    CDS_Stack stack;
    ASSERT_TRUE(stack.Read(legacyText, true));
    QS_FREE(legacyText);
    EXPECT_EQ(StringOf(stack.Pop()), "");
    EXPECT_EQ(StringOf(stack.Pop()), "4");
}

TEST_F(DsTextTest, ForeignTextsEmptyMapsAndKeepTheOthers)
{
    DsMap map;
    map.Add(&Val("k"), &Val(1));
    EXPECT_FALSE(map.Read("2E01000000000000", false));
    EXPECT_TRUE(map.Empty());
    map.Add(&Val("k"), &Val(1));
    EXPECT_FALSE(map.Read("", false));
    EXPECT_FALSE(map.Read(nullptr, false));
    EXPECT_TRUE(map.Empty());

    CDS_List list;
    list.Add(&Val(1));
    CDS_Stack stack;
    stack.Push(&Val(1));
    CDS_Queue queue;
    queue.Enqueue(&Val(1));
    CDS_Priority priority;
    priority.Add(&Val(1), &Val(1));
    DsGrid grid(2, 2);
    const char* foreign = "920100000000000000";
    EXPECT_FALSE(list.Read(foreign, false));
    EXPECT_FALSE(stack.Read(foreign, false));
    EXPECT_FALSE(queue.Read(foreign, false));
    EXPECT_FALSE(priority.Read(foreign, false));
    EXPECT_FALSE(grid.Read(foreign, false));
    EXPECT_EQ(list.Size(), 1);
    EXPECT_EQ(stack.Size(), 1);
    EXPECT_EQ(queue.Size(), 1);
    EXPECT_EQ(priority.Size(), 1);
    EXPECT_EQ(grid.Width(), 2);
}

// Counts the text cannot hold, and queue positions outside the slots read,
// leave an empty structure instead of a huge allocation or a stray read.
TEST_F(DsTextTest, CountsBeyondTheTextAreRefused)
{
    CDS_List list;
    list.Add(&Val(1));
    EXPECT_FALSE(list.Read("2E010000FFFFFF7F", false));
    EXPECT_EQ(list.Size(), 0);
    EXPECT_FALSE(list.Read("2E010000FFFFFFFF", false));  // negative

    CDS_Queue queue;
    const char* badQueues[] = {
        "CA000000020000000300000004000000" "05000000050000000500000005000000",  // head above tail
        "CA000000050000000000000002000000" "0500000005000000",                  // tail above capacity
        "CA00000001000000000000000000FF7F",                                      // capacity beyond the text
    };
    for (const char* text : badQueues) {
        queue.Enqueue(&Val(1));
        EXPECT_FALSE(queue.Read(text, false)) << text;
        EXPECT_EQ(queue.Size(), 0);
        EXPECT_EQ(queue.Head(), nullptr);
    }

    DsGrid grid(2, 2);
    EXPECT_FALSE(grid.Read("5A020000FFFF0000FFFF0000", false));
    EXPECT_EQ(grid.Width(), 0);

    // An array whose rows the text cannot hold.
    EXPECT_FALSE(list.Read("2E0100000100000002000000FFFFFF7F", false));
    EXPECT_EQ(list.Size(), 0);

    // A text cut short still reads zeros for the values it lacks.
    ASSERT_TRUE(list.Read("2E010000020000000000000000000000", false));
    ASSERT_EQ(list.Size(), 2);
    EXPECT_EQ(list.GetItem(0)->kind, VALUE_REAL);
    EXPECT_EQ(list.GetItem(1)->real, 0);
}

TEST_F(DsTextTest, RepeatedKeysAndTheLegacyMapText)
{
    DsMap map;
    map.AddDuplicate(&Val("k"), &Val(1));
    map.AddDuplicate(&Val("k"), &Val(2));
    const std::string repeated = TextOf(map);
    DsMap back;
    ASSERT_TRUE(back.Read(repeated.c_str(), false));
    EXPECT_EQ(back.Size(), 1);
    EXPECT_EQ(back.FindElement(&Val("k"))->value.real, 1);

    ASSERT_TRUE(back.Read("1:61:3FF0", false));
    ASSERT_EQ(back.Size(), 1);
    EXPECT_EQ(back.FindElement(&Val("a"))->value.real, 1);

    ASSERT_TRUE(back.Read("3:6B:7676,0:4004000000000000:3FF,1:6B:3FF0,1:6B:40", false));
    EXPECT_EQ(back.Size(), 4);  // "k" twice: the legacy form keeps both
    EXPECT_EQ(StringOf(&back.FindElement(&Val("k"))->value), "vv");
    EXPECT_EQ(back.FindElement(&Val(2.5))->value.real, 1);  // "3FF" reads as 3FF0...

    // Odd digits, over-long reals and stray characters still end the read.
    ASSERT_TRUE(back.Read("1:616:3FF000000000000000001,2,", false));
    EXPECT_EQ(back.FindElement(&Val("a"))->value.real, 1);
}
}  // namespace
