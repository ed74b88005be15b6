#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "Base/Random.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Native.h"
#include "DataStructure/DsTestSupport.h"

namespace {
using DsListTest = DsFixture;

// The kind and number of each entry, e.g. "r1 i1 sa".
std::string Describe(CDS_List& list)
{
    std::string out;
    for (int32_t i = 0; i < list.Size(); ++i) {
        const ScriptValue* v = list.GetItem(i);
        if (!out.empty()) out += ' ';
        switch (v->Kind()) {
        case VALUE_STRING:
            out += "s" + StringOf(v);
            break;
        case VALUE_INT64:
            out += "i" + std::to_string(v->i64);
            break;
        case VALUE_UNDEFINED:
            out += "u";
            break;
        default: {
            char number[32];
            std::snprintf(number, sizeof number, "%.10g", v->real);
            out += "r" + std::string(number);
        }
        }
    }
    return out;
}

TEST_F(DsListTest, GrowsBySixteenThenByAnEighth)
{
    CDS_List list;
    std::vector<std::pair<int, int>> seen;  // (count before the add, capacity after)
    for (int i = 0; i < 145; ++i) {
        const int before = list.Size();
        list.Add(&Val(i));
        if (before == 0 || before == 16 || before == 128 || before == 144) seen.emplace_back(before, list.Capacity());
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0, 16}, {16, 32}, {128, 144}, {144, 162}}));
}

TEST_F(DsListTest, PositionsOutsideTheListDoNothingSetExtendsIt)
{
    CDS_List list;
    list.Set(5, &Val("x"), nullptr);
    EXPECT_EQ(Describe(list), "r0 r0 r0 r0 r0 sx");
    EXPECT_EQ(list.Set(-1, &Val(1), nullptr), nullptr);
    list.Insert(list.Size(), &Val(9));
    list.Insert(list.Size() + 1, &Val(8));
    list.Insert(-1, &Val(8));
    list.Insert(0, &Val(7));
    EXPECT_EQ(Describe(list), "r7 r0 r0 r0 r0 r0 sx r9");
    list.Delete(0);
    list.Delete(list.Size());
    list.Replace(list.Size(), &Val(1));
    list.Replace(5, &Val("y"));
    EXPECT_EQ(Describe(list), "r0 r0 r0 r0 r0 sy r9");
    Val old;
    EXPECT_EQ(list.Set(5, &Val(4), &old), &old);
    EXPECT_EQ(StringOf(&old), "y");
    EXPECT_EQ(list.GetItem(7), nullptr);
    // A huge position is refused instead of allocating for it.
    EXPECT_EQ(list.Set(0x7FFFFFFF, &Val(1), nullptr), nullptr);
    EXPECT_EQ(list.Size(), 7);
}

TEST_F(DsListTest, FindIndexComparesUnderThePrecision)
{
    CDS_List list;
    list.Add(&Val("a"));
    list.Add(&Int64(1));
    EXPECT_EQ(list.FindIndex(&Val(1)), 1);
    EXPECT_EQ(list.FindIndex(&Val(1.5)), 1);  // truncated against an int64
    EXPECT_EQ(list.FindIndex(&Val("b")), -1);
}

TEST_F(DsListTest, SortIsStableAscendingAndReversesTiesDescending)
{
    // 1 and 1.000000001 are equal under the precision.
    for (bool ascending : {true, false}) {
        CDS_List list;
        for (const Val& v : {Val(2), Val(1), Val("a"), Val(1.000000001)}) list.Add(&v);
        list.Sort(ascending);
        EXPECT_EQ(Describe(list), ascending ? "r1 r1.000000001 r2 sa" : "sa r2 r1.000000001 r1");
    }
}

TEST_F(DsListTest, ShuffleKeepsEveryEntry)
{
    Random_Seed(7);
    CDS_List list;
    for (int i = 0; i < 20; ++i) list.Add(&Val(i));
    list.Shuffle();
    std::vector<int> entries;
    for (int i = 0; i < 20; ++i) entries.push_back(static_cast<int>(list.GetItem(i)->real));
    EXPECT_FALSE(std::is_sorted(entries.begin(), entries.end()));
    std::sort(entries.begin(), entries.end());
    for (int i = 0; i < 20; ++i) EXPECT_EQ(entries[static_cast<size_t>(i)], i);
}

TEST_F(DsListTest, ClearDestroysMarkedStructuresAndCopyOwnsNone)
{
    const int32_t list = DsList_Create(), map = DsMap_Create(), other = DsList_Create();
    DsList_AddMapValue(list, map);
    DsListTable.Get(list)->Add(&Val("s"));
    DsListTable.Get(other)->Copy(DsListTable.Get(list));
    EXPECT_EQ(DsListTable.Get(other)->GetItem(0)->kind, VALUE_REAL);
    DsListTable.Get(other)->Copy(DsListTable.Get(other));
    EXPECT_EQ(Describe(*DsListTable.Get(other)), "r" + std::to_string(map) + " ss");
    DsList_Clear(other);
    EXPECT_TRUE(Ds_Exists(map, DS_TYPE_MAP));
    DsList_Clear(list);
    EXPECT_FALSE(Ds_Exists(map, DS_TYPE_MAP));
    EXPECT_EQ(DsListTable.Get(list)->Size(), 0);
    // Cleared slots read as undefined when Set exposes them again.
    DsListTable.Get(list)->Set(2, &Val(1), nullptr);
    EXPECT_EQ(Describe(*DsListTable.Get(list)), "u u r1");
}
}  // namespace
