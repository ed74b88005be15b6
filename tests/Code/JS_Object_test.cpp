#include "Code/JS_Object.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Code/Code_Value.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Code/ValueTestSupport.h"
#include "Code/VariableList.h"
#include "GameData/GameHeader.h"

namespace {
constexpr uint32_t E = VALUE_FLAG_ENUMERABLE;
constexpr uint32_t C = VALUE_FLAG_CONFIGURABLE;
constexpr uint32_t W = VALUE_FLAG_WRITABLE;

ScriptValue Number(double d, uint32_t flags = 0)
{
    ScriptValue v = ScriptValue_Real(d);
    v.flags = flags;
    return v;
}

ScriptValue Text(const char* text)
{
    ScriptValue v = ScriptValue_Undefined();
    ScriptValue_InitString(&v, text);
    return v;
}

ScriptValue ObjectValue(KVObjectBase* object, uint32_t flags = 0)
{
    ScriptValue v = ScriptValue_Undefined();
    v.obj = object;
    v.kind = VALUE_OBJECT;
    v.flags = flags;
    return v;
}

// What the accessor routines below saw.
KVObjectBase* s_this = nullptr;
double s_stored = 0;

void GetSeven(ScriptValue* out, CInstance* self, CInstance*, int, ScriptValue*)
{
    s_this = reinterpret_cast<KVObjectBase*>(self);
    ScriptValue_SetReal(out, 7);
}

void StoreArgument(ScriptValue*, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    s_this = reinterpret_cast<KVObjectBase*>(self);
    s_stored = argc > 0 ? args[0].real : -1;
}

class JSObjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectMode = true;
        s_this = nullptr;
        s_stored = 0;
    }
    // Nothing is rooted: the collection frees every object the test made.
    void TearDown() override { GC_Collect(); }

    static KVObjectBase* NewObject()
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_NewStandardObject(&v, nullptr, nullptr, 0, nullptr);
        return v.obj;
    }
    static KVObjectBase* Inheriting(KVObjectBase* prototype)
    {
        KVObjectBase* object = NewObject();
        object->AddObject("[[Prototype]]", prototype, 0);
        return object;
    }
    // The property's value through [[Get]]: a number, "unset", "undefined" or the text.
    static std::string Read(KVObjectBase* object, const char* name)
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_Object_Get(object, &v, name);
        std::string text;
        switch (v.Kind()) {
        case VALUE_UNSET: text = "unset"; break;
        case VALUE_UNDEFINED: text = "undefined"; break;
        case VALUE_REAL: text = std::to_string(static_cast<int>(v.real)); break;
        case VALUE_STRING: text = ScriptValue_StringText(&v); break;
        default: text = "kind " + std::to_string(v.Kind()); break;
        }
        ScriptValue_SetUndefined(&v);
        return text;
    }
    static uint32_t FlagsOf(KVObjectBase* object, const char* name)
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_Object_GetOwnProperty(object, &v, name);
        const uint32_t flags = v.flags;
        ScriptValue_SetUndefined(&v);
        return flags;
    }
};
}  // namespace

TEST_F(JSObjectTest, APlainObjectCarriesItsInternalStateAndReadsItsOwnThenInheritedProperties)
{
    KVObjectBase* base = NewObject();
    KVObjectBase* object = Inheriting(base);
    base->AddReal("shared", 1, E | C | W);
    object->AddReal("own", 2, E | C | W);
    EXPECT_TRUE(JS_HasClass(object, "Object"));
    EXPECT_TRUE(object->IsExtensible());
    EXPECT_EQ(JS_PrototypeOf(object), base);
    EXPECT_EQ(Read(object, "own"), "2");
    EXPECT_EQ(Read(object, "shared"), "1");
    EXPECT_EQ(Read(object, "missing"), "unset");
    EXPECT_EQ(Read(base, "own"), "unset");
}

TEST_F(JSObjectTest, DefineOwnPropertyFollowsTheConfigurableWritableAndExtensibleRules)
{
    struct Case {
        const char* what;
        uint32_t currentFlags;     // the property before (none when absent)
        bool present;
        bool currentUndefined;     // the property holds undefined
        bool closed;               // "[[Extensible]]" is 0
        double value;              // the definition
        uint32_t flags;
        int result;                // with the throw flag clear; set gives 2 for 0
        const char* after;
        uint32_t flagsAfter;
    };
    const Case cases[] = {
        {"absent, extensible", 0, false, false, false, 5, E | W, 1, "5", E | W},
        {"absent, closed", 0, false, false, true, 5, E | W, 0, "unset", 0},
        {"undefined counts as absent", 0, true, true, false, 5, 0, 1, "5", 0},
        {"undefined on a closed object", 0, true, true, true, 5, 0, 0, "undefined", 0},
        {"present on a closed object: done, unchanged", E | C | W, true, false, true, 5, E | C | W, 1, "1", E | C | W},
        {"fixed and read-only, same value and flags", 0, true, false, false, 1, 0, 1, "1", 0},
        {"fixed and read-only, another value", 0, true, false, false, 5, 0, 0, "1", 0},
        {"fixed, made writable", 0, true, false, false, 1, W, 0, "1", 0},
        {"fixed, made configurable", W, true, false, false, 1, C | W, 0, "1", W},
        {"fixed, enumerable cleared", E | W, true, false, false, 5, W, 1, "5", W},
        {"fixed, enumerable set", W, true, false, false, 5, E | W, 0, "1", W},
        {"configurable, anything goes", C, true, false, false, 5, E | W, 1, "5", E | W},
    };
    for (const Case& c : cases) {
        for (bool throwing : {false, true}) {
            KVObjectBase* object = NewObject();
            if (c.present) {
                ScriptValue current = c.currentUndefined ? ScriptValue_Undefined() : Number(1);
                object->AddValue("p", &current, c.currentFlags);
            }
            if (c.closed) object->AddBool("[[Extensible]]", false, 0);
            const ScriptValue desc = Number(c.value, c.flags);
            const int expected = c.result == 0 && throwing ? JS_DEFINE_THROW : c.result;
            EXPECT_EQ(JS_Object_DefineOwnProperty(object, "p", &desc, throwing), expected) << c.what;
            EXPECT_EQ(Read(object, "p"), c.after) << c.what;
            if (c.after != std::string("unset")) {
                EXPECT_EQ(FlagsOf(object, "p"), c.flagsAfter) << c.what;
            }
        }
    }
}

TEST_F(JSObjectTest, AnObjectWithoutExtensibleStateTakesAddersButNoDefinitions)
{
    // Absent "[[Extensible]]" reads as extensible for the adders and as closed for definitions.
    KVObjectBase* bare = KVObjectBase::Alloc(0, VALUE_UNSET, false);
    bare->AddReal("added", 1, E | C | W);
    const ScriptValue desc = Number(2, E | C | W);
    EXPECT_EQ(JS_Object_DefineOwnProperty(bare, "defined", &desc, false), JS_DEFINE_REJECTED);
    EXPECT_EQ(Read(bare, "added"), "1");
    EXPECT_EQ(Read(bare, "defined"), "unset");
}

TEST_F(JSObjectTest, PutMakesNewPropertiesOpenKeepsTheFlagsOfOldOnesAndRefusesReadOnlyOnes)
{
    KVObjectBase* object = NewObject();
    const ScriptValue one = Number(1);
    EXPECT_EQ(JS_Object_Put(object, &one, "fresh", false), JS_DEFINE_DONE);
    EXPECT_EQ(FlagsOf(object, "fresh"), E | C | W);
    object->AddReal("kept", 0, C | W);
    EXPECT_EQ(JS_Object_Put(object, &one, "kept", false), JS_DEFINE_DONE);
    EXPECT_EQ(Read(object, "kept"), "1");
    EXPECT_EQ(FlagsOf(object, "kept"), C | W);
    object->AddReal("fixed", 0, E);
    EXPECT_EQ(JS_Object_Put(object, &one, "fixed", false), JS_DEFINE_REJECTED);
    EXPECT_EQ(Read(object, "fixed"), "0");
    // An inherited read-only property stops the write too.
    KVObjectBase* child = Inheriting(object);
    EXPECT_FALSE(JS_Object_CanPut(child, "fixed"));
    EXPECT_TRUE(JS_Object_CanPut(child, "kept"));
    EXPECT_FATAL_ERROR(JS_Object_Put(object, &one, "fixed", true),
                       "Unable to find a handler for exception TypeError: NoMessage");
}

TEST_F(JSObjectTest, AccessorsAreCalledWithTheObjectTheOperationStartedOn)
{
    KVObjectBase* prototype = NewObject();
    prototype->AddObject("both", JS_MakeNativeAccessorObject(GetSeven, StoreArgument), E | C);
    prototype->AddObject("getOnly", JS_MakeNativeAccessorObject(GetSeven, nullptr), E | C);
    prototype->AddObject("setOnly", JS_MakeNativeAccessorObject(nullptr, StoreArgument), E | C);
    KVObjectBase* object = Inheriting(prototype);

    EXPECT_EQ(Read(object, "both"), "7");
    EXPECT_EQ(s_this, object);
    EXPECT_EQ(Read(object, "setOnly"), "undefined");

    const ScriptValue nine = Number(9);
    s_this = nullptr;
    EXPECT_EQ(JS_Object_Put(object, &nine, "both", false), JS_DEFINE_DONE);
    EXPECT_EQ(s_this, object);
    EXPECT_EQ(s_stored, 9);
    // Writing to an accessor without a setter does nothing and makes no own property.
    JS_Object_Put(object, &nine, "getOnly", false);
    EXPECT_EQ(Read(object, "getOnly"), "7");
    ScriptValue own = ScriptValue_Undefined();
    JS_Object_GetOwnProperty(object, &own, "getOnly");
    EXPECT_EQ(own.Kind(), VALUE_UNSET);
}

TEST_F(JSObjectTest, CanPutWithAnInheritedAccessorAnswersWithTheObjectsExtensibility)
{
    KVObjectBase* prototype = NewObject();
    prototype->AddObject("getOnly", JS_MakeNativeAccessorObject(GetSeven, nullptr), E | C);
    prototype->AddObject("both", JS_MakeNativeAccessorObject(GetSeven, StoreArgument), E | C);
    KVObjectBase* object = Inheriting(prototype);
    EXPECT_TRUE(JS_Object_CanPut(object, "getOnly"));
    object->AddBool("[[Extensible]]", false, 0);
    EXPECT_FALSE(JS_Object_CanPut(object, "both"));
    // An own accessor answers with its setter.
    EXPECT_FALSE(JS_Object_CanPut(prototype, "getOnly"));
    EXPECT_TRUE(JS_Object_CanPut(prototype, "both"));
}

TEST_F(JSObjectTest, BuiltInVariableAccessorsReadAndWriteThroughTheirRoutines)
{
    static KVObjectBase* seen = nullptr;
    static double written = 0;
    const BuiltinGetter getter = [](CInstance* self, int32_t index, ScriptValue* out) {
        seen = reinterpret_cast<KVObjectBase*>(self);
        ScriptValue_SetReal(out, 40 + index);
        return true;
    };
    const BuiltinSetter setter = [](CInstance*, int32_t, ScriptValue* value) {
        written = value->real;
        return true;
    };
    KVObjectBase* object = NewObject();
    object->AddObject("speed", JS_MakeAccessorObject(getter, setter), E);
    object->AddObject("fixed", JS_MakeAccessorObject(getter, nullptr), E);
    EXPECT_EQ(Read(object, "speed"), "40");
    EXPECT_EQ(seen, object);
    const ScriptValue three = Number(3);
    JS_Object_Put(object, &three, "speed", false);
    EXPECT_EQ(written, 3);
    EXPECT_EQ(JS_Object_Put(object, &three, "fixed", false), JS_DEFINE_REJECTED);
}

TEST_F(JSObjectTest, TheInternalMethodsAreFoundAlongTheChainAndAppliedToTheStartingObject)
{
    static KVObjectBase* asked = nullptr;
    const JSGetOwnPropertyFn answer = [](KVObjectBase* object, ScriptValue* out, const char*) {
        asked = object;
        ScriptValue_SetReal(out, 99);
    };
    KVObjectBase* prototype = NewObject();
    KVObjectBase* object = Inheriting(prototype);
    object->m_properties->Remove(object->m_properties->Find("[[GetOwnProperty]]"));
    prototype->AddPointer("[[GetOwnProperty]]", reinterpret_cast<void*>(answer), 0);
    EXPECT_EQ(Read(object, "anything"), "99");
    EXPECT_EQ(asked, object);
    // A null routine leaves out as it was.
    object->AddPointer("[[GetOwnProperty]]", nullptr, 0);
    ScriptValue out = Number(5);
    JS_Object_GetOwnProperty(object, &out, "anything");
    EXPECT_EQ(out.real, 5);
}

TEST_F(JSObjectTest, APrototypeCycleEndsTheLookUpInsteadOfHanging)
{
    KVObjectBase* a = NewObject();
    KVObjectBase* b = Inheriting(a);
    a->AddObject("[[Prototype]]", b, 0);
    EXPECT_EQ(Read(a, "missing"), "unset");
    const ScriptValue one = Number(1);
    EXPECT_EQ(JS_Object_Put(b, &one, "x", false), JS_DEFINE_DONE);
    EXPECT_EQ(Read(a, "x"), "1");
}

TEST_F(JSObjectTest, DeleteRemovesConfigurablePropertiesAndArrayElementsInsideTheStore)
{
    KVObjectBase* object = NewObject();
    object->AddReal("open", 1, C);
    object->AddReal("fixed", 1, 0);
    EXPECT_TRUE(JS_Object_Delete(object, "missing"));
    EXPECT_TRUE(JS_Object_Delete(object, "open"));
    EXPECT_EQ(Read(object, "open"), "unset");
    EXPECT_FALSE(JS_Object_Delete(object, "fixed"));
    EXPECT_EQ(Read(object, "fixed"), "1");
    EXPECT_FATAL_ERROR(JS_Object_Delete(object, "fixed", true),
                       "Unable to find a handler for exception TypeError: Trying to delete a non-configurable");

    KVObjectBase* array = NewObject();
    array->AddString("[[Class]]", "Array", 0);
    KVObjectBase* store = KVObjectBase::Alloc(3, VALUE_UNSET, true);
    for (int i = 0; i < 3; ++i) *store->SlotAt(i) = Number(i, C | W);
    *array->SlotAt(1) = ObjectValue(store);
    EXPECT_TRUE(JS_Object_Delete(array, "1"));
    EXPECT_EQ(store->SlotAt(1)->Kind(), VALUE_UNDEFINED);
    EXPECT_FALSE(JS_Object_Delete(array, "3"));
    EXPECT_FALSE(JS_Object_Delete(array, "99999999999999999999"));
}

TEST_F(JSObjectTest, KeyedAccessReadsArrayElementsByNumberAndOtherObjectsByKey)
{
    KVObjectBase* array = NewObject();
    array->AddString("[[Class]]", "Array", 0);
    KVObjectBase* store = KVObjectBase::Alloc(3, VALUE_UNSET, true);
    for (int i = 0; i < 3; ++i) *store->SlotAt(i) = Number(10 + i, C | W);
    *array->SlotAt(1) = ObjectValue(store);
    const ScriptValue arrayValue = ObjectValue(array);

    struct Case {
        ScriptValue key;
        uint32_t kind;
        double value;
    };
    const Case cases[] = {
        {Number(1), VALUE_REAL, 11},
        {Number(2.7), VALUE_REAL, 12},   // truncated
        {Number(5), VALUE_UNDEFINED, 0},
        {Number(-1), VALUE_UNDEFINED, 0},
        {Text("1"), VALUE_REAL, 11},
        {Text("abc"), VALUE_UNDEFINED, 0},
    };
    for (const Case& c : cases) {
        ScriptValue out = ScriptValue_Undefined();
        EXPECT_TRUE(JS_Object_GetByKey(&arrayValue, &c.key, &out));
        EXPECT_EQ(out.Kind(), c.kind) << TextOf(c.key);
        if (c.kind == VALUE_REAL) {
            EXPECT_EQ(out.real, c.value) << TextOf(c.key);
        }
        ScriptValue key = c.key;
        ScriptValue_SetUndefined(&key);
    }

    // A store past the end fills the gap with undefined and grows the count.
    const ScriptValue four = Number(4);
    const ScriptValue seven = Number(7);
    EXPECT_TRUE(JS_Object_PutByKey(&arrayValue, &four, &seven));
    EXPECT_EQ(store->m_slotCount, 5);
    EXPECT_EQ(store->SlotAt(3)->Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(store->SlotAt(4)->real, 7);
    EXPECT_EQ(store->SlotAt(4)->flags, C | W);

    KVObjectBase* object = NewObject();
    const ScriptValue objectValue = ObjectValue(object);
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_FALSE(JS_Object_GetByKey(&objectValue, &four, &out));
    // Writing a key again replaces its value instead of adding a node.
    const int32_t had = object->m_properties->Count();
    EXPECT_FALSE(JS_Object_PutByKey(&objectValue, &four, &seven));
    EXPECT_FALSE(JS_Object_PutByKey(&objectValue, &four, &four));
    EXPECT_EQ(object->m_properties->Count(), had + 1);
    EXPECT_TRUE(JS_Object_GetByKey(&objectValue, &four, &out));
    EXPECT_EQ(out.real, 4);
    const ScriptValue number = Number(1);
    EXPECT_FALSE(JS_Object_GetByKey(&number, &four, &out));
}

TEST_F(JSObjectTest, SameValueAndCallabilityByKind)
{
    const ScriptValue nan = Number(NAN);
    const ScriptValue zero = Number(0);
    const ScriptValue negativeZero = Number(-0.0);
    ScriptValue int32 = ScriptValue_Undefined();
    int32.i32 = 0;
    int32.kind = VALUE_INT32;
    ScriptValue a = Text("a"), a2 = Text("a");
    EXPECT_FALSE(JS_SameValue(&nan, &nan));
    EXPECT_TRUE(JS_SameValue(&zero, &negativeZero));
    EXPECT_FALSE(JS_SameValue(&zero, &int32));
    EXPECT_TRUE(JS_SameValue(&a, &a2));
    ScriptValue_SetUndefined(&a);
    ScriptValue_SetUndefined(&a2);

    KVObjectBase* builtinOnly = JS_NewBuiltinAccessorFunction(reinterpret_cast<void*>(+[] {}), 0);
    const ScriptValue builtinValue = ObjectValue(builtinOnly);
    const ScriptValue native = ObjectValue(JS_NewNativeFunction(GetSeven, 0, false));
    const ScriptValue plain = ObjectValue(NewObject());
    EXPECT_FALSE(JS_IsCallable(&builtinValue));
    EXPECT_TRUE(JS_IsCallable(&native));
    EXPECT_FALSE(JS_IsCallable(&plain));
    EXPECT_FALSE(JS_IsCallable(&zero));
    ScriptValue array = ScriptValue_Undefined();
    array.kind = VALUE_ARRAY;
    EXPECT_FATAL_ERROR(EXPECT_FALSE(JS_IsCallable(&array)), "unhandled type for JS_IsCallable");
}
