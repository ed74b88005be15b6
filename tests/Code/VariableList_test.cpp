#include "Code/VariableList.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Base/CRC32.h"
#include "Base/Console.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_ValueIndex.h"
#include "Code/ObjectBase.h"
#include "Code/Code_Variable.h"
#include "GameData/GameOptions.h"
#include "support/RecordingConsole.h"

namespace {
struct LogCapture {
    RecordingConsole console;
    tagIConsole* saved = LogConsole;
    LogCapture() { LogConsole = &console; }
    ~LogCapture() { LogConsole = saved; }
};

// Two distinct names that fall into the same bucket.
void SameBucketNames(std::string* a, std::string* b)
{
    *a = "v0";
    uint32_t bucket = CRC32_String(a->c_str()) & 63;
    for (int i = 1;; ++i) {
        *b = "v" + std::to_string(i);
        if ((CRC32_String(b->c_str()) & 63) == bucket) return;
    }
}

double RealById(const CVariableList& list, int32_t id)
{
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_TRUE(list.GetById(id, ARRAY_INDEX_NONE, &out));
    return out.real;
}
}  // namespace

TEST(VariableList, NamesInOneBucketAreToldApartByTheirText)
{
    std::string a, b;
    SameBucketNames(&a, &b);
    CVariableList list;
    CVariableListNode* na = CVariableList::NewNameNode(a.c_str());
    CVariableListNode* nb = CVariableList::NewNameNode(b.c_str());
    list.Insert(na);
    list.Insert(nb);
    EXPECT_EQ(list.Find(a.c_str()), na);
    EXPECT_EQ(list.Find(b.c_str()), nb);
    EXPECT_EQ(list.Find("V0"), nullptr);  // case matters

    // A string key whose kind word carries marker bits is not a name key.
    na->key.kind |= KIND_NESTED_MAP;
    EXPECT_EQ(list.Find(a.c_str()), nullptr);
    na->key.kind &= KIND_MASK;
}

TEST(VariableList, FindIdMatchesTheWholeIdOfAnIdKeyOnly)
{
    const int32_t id = 100005;
    CVariableList list;
    // A 64-bit key whose low word equals the id, placed in the id's bucket.
    ScriptValue key = ScriptValue_Undefined();
    key.kind = VALUE_INT64;
    key.i64 = (int64_t{7} << 32) | id;
    CVariableListNode* impostor = CVariableList::NewKeyNode(&key);
    impostor->hash = id;
    impostor->value = ScriptValue_Real(-1);
    list.Insert(impostor);
    EXPECT_EQ(list.FindId(id), nullptr);
    EXPECT_FALSE(list.HasId(id));

    ScriptValue v = ScriptValue_Real(42);
    EXPECT_TRUE(list.SetById(id, ARRAY_INDEX_NONE, &v));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(RealById(list, id), 42);
    EXPECT_EQ(list.FindKey(&key), impostor);
}

TEST(VariableList, ReadingAnUnsetIdGivesZeroOrTheUnsetMarker)
{
    CVariableList list;
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_TRUE(list.GetById(100001, ARRAY_INDEX_NONE, &out));
    EXPECT_EQ(out.kind, VALUE_REAL);
    EXPECT_EQ(out.real, 0);

    GameOptions.unsetVariablesAreErrors = true;
    EXPECT_FALSE(list.GetById(100001, ARRAY_INDEX_NONE, &out));
    EXPECT_EQ(out.real, 12345678.9);
    GameOptions.unsetVariablesAreErrors = false;
    EXPECT_EQ(list.Count(), 0);
}

TEST(VariableList, SettingAnElementOfANewIdMakesAnArrayInIt)
{
    CVariableList list;
    ScriptValue v = ScriptValue_Real(9);
    const int32_t index = 2 * ARRAY_ROW_STRIDE + 3;
    EXPECT_TRUE(list.SetById(100002, index, &v));
    CVariableListNode* node = list.FindId(100002);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->value.Kind(), VALUE_ARRAY);
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_TRUE(list.GetById(100002, index, &out));
    EXPECT_EQ(out.real, 9);
}

TEST(VariableList, RemovingALaterNodeOfAChainUnlinksExactlyThatNode)
{
    CVariableList list;
    // Ids 100000, 100064 and 100128 share bucket 100000 & 63.
    ScriptValue v = ScriptValue_Real(1);
    for (int32_t id : {100000, 100064, 100128}) list.SetById(id, ARRAY_INDEX_NONE, &v);
    list.Remove(list.FindId(100064));  // second in the chain
    EXPECT_EQ(list.Count(), 2);
    EXPECT_FALSE(list.HasId(100064));
    EXPECT_TRUE(list.HasId(100000));
    EXPECT_TRUE(list.HasId(100128));
    int32_t walked = 0;
    for (auto it = list.IterBegin(); it.node; it.Next()) ++walked;
    EXPECT_EQ(walked, 2);
}

TEST(VariableList, NodesFreedByOneListAreReusedByAnother)
{
    CVariableListNode* node;
    {
        CVariableList first;
        node = CVariableList::NewIdNode(100003);
        first.Insert(node);
    }
    CVariableList second;
    EXPECT_EQ(CVariableList::NewIdNode(100004), node);
    EXPECT_EQ(node->key.i32, 100004);
    EXPECT_EQ(node->value.real, 0);
    second.Insert(node);
}

TEST(VariableList, ACopyHoldsCountedCopiesInReverseBucketOrder)
{
    CVariableList source;
    ScriptValue text = ScriptValue_Undefined();
    ScriptValue_InitString(&text, "shared");
    for (int32_t id : {100000, 100064, 100128}) source.SetById(id, ARRAY_INDEX_NONE, &text);
    EXPECT_EQ(text.str->count, 4);

    CVariableList copy;
    copy.SetById(100001, ARRAY_INDEX_NONE, &text);  // cleared by the copy
    copy.CopyFrom(&source);
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_FALSE(copy.HasId(100001));
    EXPECT_EQ(text.str->count, 7);
    int32_t expected[] = {100000, 100064, 100128};  // source chain: 100128, 100064, 100000
    int32_t i = 0;
    for (auto it = copy.IterBegin(); it.node; it.Next()) EXPECT_EQ(it.node->key.i32, expected[i++]);
    ScriptValue_SetUndefined(&text);
}

namespace {
struct SavedListTest : ::testing::Test {
    int32_t idA = Variable_FindOrAddName("saved_a");
    int32_t idB = Variable_FindOrAddName("saved_b");
    int32_t idC = Variable_FindOrAddName("saved_c");

    // A list of a real, a string, an array, a declared name key, an
    // undeclared name key and a value key.
    void Fill(CVariableList* list)
    {
        ScriptValue v = ScriptValue_Real(1.5);
        list->SetById(idA, ARRAY_INDEX_NONE, &v);
        ScriptValue text = ScriptValue_Undefined();
        ScriptValue_InitString(&text, "two");
        list->SetById(idB, ARRAY_INDEX_NONE, &text);
        ScriptValue_SetUndefined(&text);
        ScriptValue e = ScriptValue_Real(3);
        list->SetById(idC, 1, &e);
        CVariableListNode* named = CVariableList::NewNameNode("saved_a");
        named->value = ScriptValue_Real(4);
        list->Insert(named);
        list->Insert(CVariableList::NewNameNode("not_declared"));
        ScriptValue key = ScriptValue_Real(77);
        CVariableListNode* keyed = CVariableList::NewKeyNode(&key);
        keyed->value = ScriptValue_Real(5);
        list->Insert(keyed);
    }
};
}  // namespace

TEST_F(SavedListTest, ASavedListLoadsBackUnderItsVariableIds)
{
    CVariableList list;
    Fill(&list);
    IBuffer buffer;
    list.SaveToBuffer(&buffer);

    // Value keys have no name: five entries are written.
    buffer.Seek(eBuffer_SeekStart, 0);
    ScriptValue count = ScriptValue_Undefined();
    ASSERT_EQ(buffer.Read(eBuffer_S32, &count), 0);
    EXPECT_EQ(count.real, 5);
    std::string bytes(reinterpret_cast<const char*>(buffer.Data()), buffer.UsedSize());
    EXPECT_NE(bytes.find(std::string("not_declared\0", 13)), std::string::npos);

    buffer.Seek(eBuffer_SeekStart, 0);
    CVariableList loaded;
    LogCapture log;
    ASSERT_TRUE(loaded.LoadFromBuffer(&buffer));
    EXPECT_EQ(log.console.text, "WARNING: Load game failed to find variable \"not_declared\"\n");
    EXPECT_EQ(loaded.Count(), 4);  // the name key of a declared name comes back as its id
    EXPECT_STREQ(ScriptValue_StringText(&loaded.FindId(idB)->value), "two");
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_TRUE(loaded.GetById(idC, 1, &out));
    EXPECT_EQ(out.real, 3);
    // Both entries of saved_a come back under its id; the first found is
    // the one inserted last.
    int32_t asA = 0;
    for (auto it = loaded.IterBegin(); it.node; it.Next()) asA += it.node->key.i32 == idA;
    EXPECT_EQ(asA, 2);
    EXPECT_EQ(buffer.Remaining(), 0u);
}

TEST_F(SavedListTest, TruncatedOrOverCountedDataIsRefusedAndLeavesTheListEmpty)
{
    CVariableList list;
    Fill(&list);
    IBuffer buffer;
    list.SaveToBuffer(&buffer);
    const size_t full = buffer.UsedSize();

    LogCapture log;
    for (size_t n = 0; n < full; ++n) {
        IBuffer copy;
        list.SaveToBuffer(&copy);
        copy.Resize(n);
        copy.Seek(eBuffer_SeekStart, 0);
        CVariableList loaded;
        ScriptValue v = ScriptValue_Real(1);
        loaded.SetById(idA, ARRAY_INDEX_NONE, &v);
        EXPECT_FALSE(loaded.LoadFromBuffer(&copy)) << n;
        EXPECT_EQ(loaded.Count(), 0) << n;
    }

    IBuffer huge;
    ScriptValue count = ScriptValue_Real(0x7FFFFFFF);
    huge.Write(eBuffer_S32, &count);
    huge.WriteString("saved_a");
    huge.Seek(eBuffer_SeekStart, 0);
    CVariableList loaded;
    EXPECT_FALSE(loaded.LoadFromBuffer(&huge));
}

TEST_F(SavedListTest, ACountOfZeroOrLessReadsNothingMore)
{
    for (int32_t n : {0, -3}) {
        IBuffer buffer;
        ScriptValue count = ScriptValue_Real(n);
        buffer.Write(eBuffer_S32, &count);
        buffer.WriteString("saved_a");
        buffer.Seek(eBuffer_SeekStart, 0);
        CVariableList loaded;
        EXPECT_TRUE(loaded.LoadFromBuffer(&buffer));
        EXPECT_EQ(loaded.Count(), 0);
        EXPECT_EQ(buffer.Remaining(), 8u);
    }
}

namespace {
struct Tracked : COwnedObject {
    explicit Tracked(int* deletions) : m_deletions(deletions) {}
    ~Tracked() override { ++*m_deletions; }
    int* m_deletions;
};
}  // namespace

TEST(VariableList, ACopyBorrowsAnOwnedPointerInsteadOfOwningItTwice)
{
    int deletions = 0;
    {
        CVariableList source;
        CVariableListNode* node = CVariableList::NewIdNode(100009);
        node->value.ptr = static_cast<COwnedObject*>(new Tracked(&deletions));
        node->value.kind = VALUE_PTR;
        node->value.flags = VALUE_FLAG_OWNED_PTR | VALUE_FLAG_ENUMERABLE;
        source.Insert(node);
        CVariableList copy;
        copy.CopyFrom(&source);
        EXPECT_EQ(copy.FindId(100009)->value.flags, VALUE_FLAG_ENUMERABLE);
    }
    EXPECT_EQ(deletions, 1);
}
