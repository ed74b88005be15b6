#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "DataStructure/DsTestSupport.h"

namespace {
using DsMapTest = DsFixture;

std::vector<std::string> KeyTexts(DsMap& map)
{
    std::vector<std::string> keys;
    map.ForEach([&](DsMapElement* e) {
        keys.push_back(e->key.Kind() == VALUE_STRING ? StringOf(&e->key) : std::to_string(e->key.real));
    });
    return keys;
}

TEST_F(DsMapTest, KeysHashByCrcAndIterateByBucket)
{
    EXPECT_EQ(DsMap_HashKey(&Val("abc")), 0xCADBBE3Du);
    EXPECT_EQ(DsMap_HashKey(&Val(1)), 0x3807EC16u);
    EXPECT_EQ(DsMap_HashKey(&Val()), 0u);
    // int64 and bool keys hash as the double they convert to.
    EXPECT_EQ(DsMap_HashKey(&Int64(1)), 0x3807EC16u);
    DsMap map;
    map.Add(&Val("abc"), &Val(0));
    map.Add(&Val(1), &Val(0));
    EXPECT_EQ(KeyTexts(map), (std::vector<std::string>{"1.000000", "abc"}));  // bucket 22, then 61
    EXPECT_EQ(StringOf(map.FindLast()), "abc");
}

// Which keys one map holds as one element: pairs added one after the other.
TEST_F(DsMapTest, KeyEqualityFollowsHashAndTolerantComparison)
{
    Val object = OfKind(VALUE_OBJECT, 0x1234);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        Val first, second;
        int size;
    } cases[] = {
        {"real and int64 of 3", Val(3), Int64(3), 1},
        {"0 and -0", Val(0.0), Val(-0.0), 2},
        {"0.3 and 0.1 + 0.2", Val(0.3), Val(0.1 + 0.2), 2},
        {"NaN twice", Val(nan), Val(nan), 2},
        {"true and 1", OfKind(VALUE_BOOL, 0x3FF0000000000000), Val(1), 1},
        {"same object twice", object, object, 2},
        {"undefined twice", Val(), Val(), 1},
        {"equal strings", Val("k"), Val("k"), 1},
    };
    for (auto& c : cases) {
        DsMap map;
        EXPECT_TRUE(map.Add(&c.first, &Val(1))) << c.name;
        EXPECT_EQ(map.Add(&c.second, &Val(2)), c.size == 2) << c.name;
        EXPECT_EQ(map.Size(), c.size) << c.name;
    }
    DsMap map;
    map.Add(&object, &Val(1));
    EXPECT_FALSE(map.Exists(&object));
}

TEST_F(DsMapTest, SetTakesTheLatestKeyKindAndReportsThePreviousValue)
{
    DsMap map;
    map.Add(&Val(3), &Val("old"));
    Val previous("stale");
    map.Set(&Int64(3), &Val("new"), &previous);
    ASSERT_EQ(map.Size(), 1);
    EXPECT_EQ(StringOf(&previous), "old");
    EXPECT_EQ(map.FindFirst()->Kind(), static_cast<uint32_t>(VALUE_INT64));
    map.Set(&Val("absent"), &Val(7), &previous);
    EXPECT_EQ(previous.v.real, 7);
    EXPECT_TRUE(map.Replace(&Val(3), &Val(9)));
    EXPECT_FALSE(map.Replace(&Val("other"), &Val(9)));
    EXPECT_EQ(map.FindElement(&Int64(3))->value.real, 9);
    EXPECT_TRUE(map.Delete(&Val("other")));
    EXPECT_FALSE(map.Delete(&Val("other")));
    EXPECT_EQ(map.Size(), 2);
}

TEST_F(DsMapTest, NeighboursCompareByValueWithoutTheHash)
{
    DsMap map(1);  // one chain, in insertion order
    map.Add(&Val(3), &Val(0));
    map.Add(&Val("b"), &Val(0));
    map.Add(&Val("c"), &Val(0));
    EXPECT_EQ(KeyTexts(map), (std::vector<std::string>{"3.000000", "b", "c"}));
    EXPECT_FALSE(map.Exists(&Val(3.000000001)));
    EXPECT_EQ(StringOf(map.FindNext(&Val(3.000000001))), "b");
    EXPECT_EQ(StringOf(map.FindPrevious(&Val("c"))), "b");
    EXPECT_EQ(map.FindNext(&Val("c")), nullptr);
    EXPECT_EQ(map.FindNext(&Val("absent")), nullptr);
    EXPECT_EQ(map.FindPrevious(&Val(3)), nullptr);
    DsMap empty;
    EXPECT_EQ(empty.FindFirst(), nullptr);
    EXPECT_EQ(empty.FindLast(), nullptr);
}

TEST_F(DsMapTest, BucketCountsBelowOneTakeTheDefaultOthersRiseToAPowerOfTwo)
{
    EXPECT_EQ(DsMap(0).BucketCount(), 256);
    EXPECT_EQ(DsMap(-5).BucketCount(), 256);
    EXPECT_EQ(DsMap(1).BucketCount(), 1);
    EXPECT_EQ(DsMap(100).BucketCount(), 128);
    DsMap map(100);
    for (int i = 0; i < 300; ++i) map.Add(&Val(i), &Val(i));
    for (int i = 0; i < 300; ++i) ASSERT_EQ(map.FindElement(&Val(i))->value.real, i);
}

TEST_F(DsMapTest, ClearDestroysNestedStructuresToAnyDepthDeleteDoesNot)
{
    const int32_t outer = DsMap_Create(), inner = DsMap_Create(), list = DsList_Create(), kept = DsList_Create();
    DsMap_AddListValue(inner, "list", list);
    DsMapTable.Get(outer)->Add(&Val("inner"), &Nested(inner, KIND_NESTED_MAP));
    DsMap_AddListValue(outer, "kept", kept);
    DsMapTable.Get(outer)->Delete(&Val("kept"));
    EXPECT_TRUE(Ds_Exists(kept, DS_TYPE_LIST));
    DsMap_Clear(outer);
    EXPECT_FALSE(Ds_Exists(inner, DS_TYPE_MAP));
    EXPECT_FALSE(Ds_Exists(list, DS_TYPE_LIST));
    EXPECT_TRUE(Ds_Exists(outer, DS_TYPE_MAP));
    EXPECT_EQ(DsMapTable.Get(outer)->Size(), 0);
}

TEST_F(DsMapTest, MapsNestedInThemselvesClearAndDestroyOnce)
{
    const int32_t self = DsMap_Create();
    DsMapTable.Get(self)->Add(&Val("me"), &Nested(self, KIND_NESTED_MAP));
    DsMap_Clear(self);
    EXPECT_TRUE(Ds_Exists(self, DS_TYPE_MAP));
    EXPECT_EQ(DsMapTable.Get(self)->Size(), 0);

    // A cycle through a list: destroying either end frees both once.
    const int32_t map = DsMap_Create(), list = DsList_Create();
    DsMap_AddListValue(map, "l", list);
    DsList_AddMapValue(list, map);
    DsMapTable.Get(self)->Add(&Val("me"), &Nested(self, KIND_NESTED_MAP));
    EXPECT_TRUE(DsMap_Destroy(self));
    DsList_Clear(list);
    EXPECT_FALSE(Ds_Exists(map, DS_TYPE_MAP));
    EXPECT_TRUE(Ds_Exists(list, DS_TYPE_LIST));
}

TEST_F(DsMapTest, CopyOwnsNoNestedStructureAndCopyOntoItselfKeepsTheMap)
{
    const int32_t source = DsMap_Create(), copy = DsMap_Create(), list = DsList_Create();
    DsMap_AddListValue(source, "l", list);
    DsMap_AddStringValue(source, "s", "text");
    DsMap_AddRealValue(copy, "old", 1);
    DsMapTable.Get(copy)->Copy(DsMapTable.Get(source));
    EXPECT_EQ(DsMapTable.Get(copy)->Size(), 2);
    EXPECT_FALSE(DsMapTable.Get(copy)->Exists(&Val("old")));
    const ScriptValue& copied = DsMapTable.Get(copy)->FindElement(&Val("l"))->value;
    EXPECT_EQ(copied.kind, VALUE_REAL);
    EXPECT_EQ(copied.real, list);
    DsMap_Destroy(copy);
    EXPECT_TRUE(Ds_Exists(list, DS_TYPE_LIST));
    DsMapTable.Get(source)->Copy(DsMapTable.Get(source));
    EXPECT_EQ(DsMapTable.Get(source)->Size(), 2);
    DsMap_Destroy(source);
    EXPECT_FALSE(Ds_Exists(list, DS_TYPE_LIST));
}
}  // namespace
