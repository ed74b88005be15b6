// A runner for the end-to-end test of the object model in compiled-code
// mode: the room's creation code builds a prototype with an accessor, makes
// a function object of script 0 whose compiled function is a constructor,
// constructs an object with it and writes one line per finding to standard
// output; with QS_TEST_THROW set it then constructs from a number, which no
// try block takes.
#include <cstdio>
#include <cstdlib>

#include "Code/Code_Value.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Script/Script_Function.h"
#include "World/Instance.h"
#include "TestModule.h"

namespace {

KVObjectBase* AsObject(CInstance* self) { return reinterpret_cast<KVObjectBase*>(self); }

double NumberOf(KVObjectBase* object, const char* name)
{
    ScriptValue v = ScriptValue_Undefined();
    JS_Object_Get(object, &v, name);
    const double d = v.Kind() == VALUE_REAL ? v.real : -1;
    ScriptValue_SetUndefined(&v);
    return d;
}

void Put(KVObjectBase* object, const char* name, double d)
{
    const ScriptValue v = ScriptValue_Real(d);
    JS_Object_Put(object, &v, name, true);
}

// "area": width * height, read through this; writing it sets the width.
void GetArea(ScriptValue* out, CInstance* self, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(out, NumberOf(AsObject(self), "w") * NumberOf(AsObject(self), "h"));
}
void SetArea(ScriptValue*, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    if (argc > 0) Put(AsObject(self), "w", args[0].real / NumberOf(AsObject(self), "h"));
}

// Script 0: function Thing(w) { this.w = w; this.h = 2; return {}; }
void Thing(CInstance* self, CInstance*, ScriptValue* result, int argc, ScriptValue** args)
{
    StackTraceFrame frame("Thing", 1);
    Put(AsObject(self), "w", argc > 0 ? args[0]->real : 0);
    Put(AsObject(self), "h", 2);
    JS_NewStandardObject(result, nullptr, nullptr, 0, nullptr);
}

void RoomCode(CInstance*, CInstance*, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("RoomCode", 1);
    ScriptValue prototype = ScriptValue_Undefined();
    JS_NewStandardObject(&prototype, nullptr, nullptr, 0, nullptr);
    prototype.obj->AddObject("area", JS_MakeNativeAccessorObject(GetArea, SetArea), VALUE_FLAG_CONFIGURABLE);
    prototype.obj->AddString("kind", "shape", VALUE_FLAG_ENUMERABLE);

    ScriptValue id = ScriptValue_Real(100000);
    ScriptValue function = ScriptValue_Undefined();
    JS_NewScriptFunction(&function, nullptr, nullptr, 1, &id);
    *function.obj->SlotAt(0) = prototype;

    ScriptValue args[2] = {function, ScriptValue_Real(3)};
    ScriptValue made = ScriptValue_Undefined();
    JS_New(&made, nullptr, nullptr, 2, args);
    KVObjectBase* thing = made.obj;
    ScriptValue kind = ScriptValue_Undefined();
    JS_Object_Get(thing, &kind, "kind");
    std::printf("area=%g kind=%s\n", NumberOf(thing, "area"), ScriptValue_StringText(&kind));
    ScriptValue_SetUndefined(&kind);
    Put(thing, "area", 10);
    std::printf("after area=%g w=%g\n", NumberOf(thing, "area"), NumberOf(thing, "w"));
    ScriptValue answer = ScriptValue_Undefined();
    ScriptValue test[2] = {function, made};
    JS_InstanceOf(&answer, nullptr, nullptr, 2, test);
    std::printf("instanceof=%g\n", answer.real);
    if (std::getenv("QS_TEST_THROW")) {
        ScriptValue number[1] = {ScriptValue_Real(1)};
        JS_New(&made, nullptr, nullptr, 1, number);
        std::printf("not reached\n");
    }
}

CompiledCodeEntry s_code[2] = {{"RoomCode", RoomCode}, {"Thing", Thing}};
}  // namespace

GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record)
{
    return TestModule_LinkRecord(record, s_code);
}

int main(int argc, char** argv)
{
    return TestModule_Main(argc, argv);
}
