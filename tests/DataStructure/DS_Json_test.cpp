// Maps and lists to JSON text and back.
#include "DataStructure/DS_Json.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Base/MemoryManager.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "DataStructure/DsTestSupport.h"

namespace {
using JsonTest = DsFixture;

std::string DescribeValue(const ScriptValue* value);

// A map as {key:value,...} with its keys sorted, lists as [a,b], strings in
// quotes, reals as %g; nested structures followed through their marks.
std::string DescribeMap(int32_t handle)
{
    DsMap* map = DsMapTable.Get(handle);
    if (!map) return "no map (" + std::to_string(handle) + ")";
    std::vector<std::string> entries;
    map->ForEach([&](DsMapElement* e) { entries.push_back(StringOf(&e->key) + ":" + DescribeValue(&e->value)); });
    std::sort(entries.begin(), entries.end());
    std::string out = "{";
    for (size_t i = 0; i < entries.size(); ++i) out += (i ? "," : "") + entries[i];
    return out + "}";
}

std::string DescribeValue(const ScriptValue* value)
{
    switch (DsValue_NestedKind(value)) {
    case DS_NESTED_MAP: return DescribeMap(DsValue_NestedHandle(value));
    case DS_NESTED_LIST: {
        CDS_List* list = DsListTable.Get(DsValue_NestedHandle(value));
        if (!list) return "no list";
        std::string out = "[";
        for (int32_t i = 0; i < list->Size(); ++i) out += (i ? "," : "") + DescribeValue(list->GetItem(i));
        return out + "]";
    }
    case DS_NESTED_NONE: break;
    }
    if (value->Kind() == VALUE_STRING) return "'" + StringOf(value) + "'";
    if (value->Kind() != VALUE_REAL) return "kind " + std::to_string(value->Kind());
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value->real);
    return text;
}

std::string Encode(int32_t map)
{
    char* text = nullptr;
    JSON_EncodeDsMap(map, &text);
    const std::string out = text ? text : "<nothing>";
    QS_FREE(text);
    return out;
}

DsMap* MapOf(int32_t handle)
{
    return DsMapTable.Get(handle);
}

// A map holding one value under "k".
int32_t MapWith(const Val& value)
{
    const int32_t handle = DsMap_Create();
    MapOf(handle)->Add(&Val("k"), &value);
    return handle;
}

TEST_F(JsonTest, DecodingWrapsWhatIsNotAnObject)
{
    struct Case {
        const char* text;
        const char* map;
    };
    const Case cases[] = {
        {"17", "{default:'17'}"},
        {"[1,2]", "{default:[1,2]}"},
        {"  [1]\n", "{default:[1]}"},
        {"{ \"a\": null, \"b\": true, \"c\": false }", "{b:1,c:0}"},
        {"{x", "{default:'{x'}"},
        {"", "{default:''}"},
        {"{\"m\":{\"x\":1.5,\"y\":\"s\"},\"l\":[[1,2],[3,[]]],\"n\":[null,{}]}",
         "{l:[[1,2],[3,[]]],m:{x:1.5,y:'s'},n:[0,{}]}"},
        {"{\"big\": 12345678901, \"neg\": -9007199254740993}", "{big:12345678901,neg:-9007199254740992}"},
        {"{\"s\":\"a\\u00e9\\/\\\"\"}", "{s:'a\xC3\xA9/\"'}"},
    };
    for (const Case& c : cases) EXPECT_EQ(DescribeMap(JSON_DecodeText(c.text)), c.map) << c.text;

    // Neither the text nor the text in quotes is JSON.
    for (const char* text : {"{\"a\":}", "\"quoted\""})
        EXPECT_EQ(JSON_DecodeText(text), -1) << text;
}

TEST_F(JsonTest, DecodedStructuresTakeHandlesAndAddToAMapKeepFirstValues)
{
    const int32_t map = JSON_DecodeIntoMap("{\"inner\":{\"a\":1},\"list\":[{\"b\":2}]}", -1);
    ASSERT_GE(map, 0);
    const ScriptValue* inner = &MapOf(map)->FindElement(&Val("inner"))->value;
    EXPECT_EQ(inner->kind, VALUE_REAL | KIND_NESTED_MAP);
    const ScriptValue* list = &MapOf(map)->FindElement(&Val("list"))->value;
    EXPECT_EQ(list->kind, VALUE_REAL | KIND_NESTED_LIST);
    EXPECT_EQ(DsListTable.Get(DsValue_NestedHandle(list))->GetItem(0)->kind, VALUE_REAL | KIND_NESTED_MAP);

    EXPECT_EQ(JSON_DecodeIntoMap("[1]", -1), -1) << "an array is no object";
    EXPECT_EQ(JSON_DecodeIntoMap(nullptr, -1), -1);

    // Into a map that exists: a present key keeps its value, and a structure
    // made for it is not left behind.
    const int32_t target = MapWith(Val(5));
    int32_t listsBefore = 0;
    for (int32_t h = 0; h < DsListTable.count; ++h) listsBefore += DsListTable.Get(h) != nullptr;
    EXPECT_EQ(JSON_DecodeIntoMap("{\"k\":[1,2],\"n\":2}", target), -1);
    EXPECT_EQ(DescribeMap(target), "{k:5,n:2}");
    int32_t listsAfter = 0;
    for (int32_t h = 0; h < DsListTable.count; ++h) listsAfter += DsListTable.Get(h) != nullptr;
    EXPECT_EQ(listsAfter, listsBefore);
}

TEST_F(JsonTest, EncodingWritesEveryKindOfValue)
{
    const int32_t inner = MapWith(Val("s"));
    const int32_t list = DsList_Create();
    DsListTable.Get(list)->Add(&Val(1));
    DsListTable.Get(list)->Add(&Val("two"));
    Val array;
    *ScriptValue_ArrayElementForWrite(&array, 0) = ScriptValue_Real(1);
    *ScriptValue_ArrayElementForWrite(&array, 1) = ScriptValue_Real(2);
    *ScriptValue_ArrayElementForWrite(&array, 32000) = ScriptValue_Real(3);  // row 1
    Val boolean(1);
    boolean.v.kind = VALUE_BOOL;
    struct Case {
        Val value;
        const char* json;
    };
    const Case cases[] = {
        {Val(1), "{ \"k\": 1.000000 }"},
        {Val(-0.25), "{ \"k\": -0.250000 }"},
        {Val("a/\"b"), "{ \"k\": \"a\\/\\\"b\" }"},
        {Nested(inner, KIND_NESTED_MAP), "{ \"k\": { \"k\": \"s\" } }"},
        {Nested(list, KIND_NESTED_LIST), "{ \"k\": [ 1.000000, \"two\" ] }"},
        {Nested(999, KIND_NESTED_MAP), "{ \"k\": null }"},
        {Nested(999, KIND_NESTED_LIST), "{ \"k\": null }"},
        {array, "{ \"k\": [ 1.000000, 2.000000, 3.000000 ] }"},
        {Int32(-5), "{ \"k\": -5 }"},
        {Int64(int64_t{1} << 40), "{ \"k\": 1099511627776 }"},
        {boolean, "{ \"k\": true }"},
        {OfKind(VALUE_UNDEFINED), "{ \"k\": { } }"},
        {OfKind(VALUE_NULL), "{ \"k\": null }"},
        {Val(std::nan("")), "{ \"k\": NaN }"},
        {Val(-HUGE_VAL), "{ \"k\": -Infinity }"},
    };
    for (const Case& c : cases) {
        const int32_t map = MapWith(c.value);
        EXPECT_EQ(Encode(map), c.json);
        MapOf(map)->Delete(&Val("k"));  // the nested structures stay with their owners here
        DsMap_Destroy(map);
    }

    const std::string pointer = Encode(MapWith(OfKind(VALUE_PTR, 0x1234)));
    EXPECT_EQ(pointer.rfind("{ \"k\": \"0x1234\" }", 0), 0u) << pointer;
    // Huge reals are written whole, not cut at some buffer's end.
    const std::string huge = Encode(MapWith(Val(1e300)));
    EXPECT_EQ(huge.size(), std::string("{ \"k\":  }").size() + 301 + 7) << huge;
    EXPECT_EQ(DescribeMap(JSON_DecodeText(huge.c_str())), "{k:1.0000000000000001e+300}");

    EXPECT_EQ(Encode(DsMap_Create()), "{ }");
    EXPECT_EQ(Encode(12345), "<nothing>") << "no map, no text";
}

TEST_F(JsonTest, KeysAreTextsOrIntegerPartsAndOtherKeysAreLeftOut)
{
    const int32_t map = DsMap_Create();
    MapOf(map)->Add(&Val(2.7), &Val("real"));
    MapOf(map)->Add(&Int32(4), &Val("int"));
    EXPECT_EQ(Encode(map), "{ \"2\": \"real\" }");
    EXPECT_NE(console.text.find("json_encode: a map key of kind int32"), std::string::npos) << console.text;
}

TEST_F(JsonTest, StructuresNestedInThemselvesOrTooDeepEndInNull)
{
    const int32_t self = DsMap_Create();
    MapOf(self)->Add(&Val("a"), &Nested(self, KIND_NESTED_MAP));
    MapOf(self)->Add(&Val("b"), &Nested(self, KIND_NESTED_MAP));
    EXPECT_EQ(Encode(self), "{ \"b\": null, \"a\": null }") << "keys in bucket order";
    MapOf(self)->Clear();  // the map may not destroy itself

    // A chain one level deeper than the reader takes: its last map is null.
    int32_t chain = DsMap_Create();
    for (int depth = 1; depth <= JSON_MAX_DEPTH; ++depth) chain = MapWith(Nested(chain, KIND_NESTED_MAP));
    const std::string text = Encode(chain);
    EXPECT_NE(text.find("{ \"k\": null }"), std::string::npos);
    EXPECT_NE(console.text.find("deeper than 256 levels"), std::string::npos) << console.text;
    EXPECT_GE(JSON_DecodeIntoMap(text.c_str(), -1), 0) << "what is written reads back";
}

TEST_F(JsonTest, ADocumentKeepsItsNestingThroughATurn)
{
    const char* text = "{\"grid\":[[1,2],[3,[4,{\"deep\":\"x\"}]]],\"o\":{\"p\":{\"q\":[]}},\"t\":\"\\n\"}";
    const int32_t first = JSON_DecodeText(text);
    const std::string once = Encode(first);
    const int32_t second = JSON_DecodeText(once.c_str());
    EXPECT_EQ(DescribeMap(second), DescribeMap(first));
    EXPECT_EQ(DescribeMap(first), "{grid:[[1,2],[3,[4,{deep:'x'}]]],o:{p:{q:[]}},t:'\n'}");
    EXPECT_EQ(Encode(second), once);
}
}  // namespace
