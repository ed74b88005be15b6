#include "support/SampleModule.h"

#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableValue.h"
#include "World/Instance.h"
#include "Code/VM_Main.h"
#include "Script/Script_Main.h"
#include "gamedata/FormWriter.h"

namespace samplemodule {

LinkVariableRef VarTilesize, VarMap, VarX, VarImageXScale;
LinkFunctionRef FnRecord, FnFail, FnScrAdd;
std::vector<double> Recorded;
bool EarlyReturn = false;

namespace {
constexpr int32_t VarTilesizeSlot = 0;
StackTraceFrame* s_chainHead = nullptr;
// The unit's scratch result of built-in calls.
ScriptValue s_scratch = ScriptValue_Undefined();

LinkVariableRef* s_variables[] = {&VarTilesize, &VarMap, &VarX, &VarImageXScale, nullptr};
LinkFunctionRef* s_functions[] = {&FnRecord, &FnFail, &FnScrAdd, nullptr};

void CallBuiltin(CInstance* self, CInstance* other, const LinkFunctionRef& fn, ScriptValue* arg)
{
    ScriptValue* args[] = {arg};
    CallBuiltinFunction(self, other, &s_scratch, 1, fn.index, args);
    ScriptValue_SetUndefined(&s_scratch);
}

void Record(CInstance* self, CInstance* other, double value)
{
    ScriptValue arg = ScriptValue_Real(value);
    CallBuiltin(self, other, FnRecord, &arg);
}

void GameCreate(CInstance* self, CInstance* other, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("qsc_Object_object_Game_Create_0", 1);
    Record(self, other, 1);
    frame.line = 2;
    ScriptValue text;
    ScriptValue_InitString(&text, "bad thing");
    CallBuiltin(self, other, FnFail, &text);
    ScriptValue_SetUndefined(&text);
}

void PlayerStep(CInstance* self, CInstance* other, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("qsc_Object_object_Player_Step_0", 3);
    Record(self, other, 2);
    frame.line = 4;
    if (EarlyReturn) return;
    frame.line = 5;
    Record(self, other, 3);
    if (!self) return;
    // line 6: x += 3 (a built-in variable, by its resolved id)
    frame.line = 6;
    ScriptValue x = ScriptValue_Undefined();
    Variable_GetValue(self, VarX.id, ARRAY_INDEX_NONE, &x);
    ScriptValue three = ScriptValue_Real(3);
    x.AddAssign(three);
    Variable_SetValue(self, VarX.id, ARRAY_INDEX_NONE, &x);
    // line 7: tilesize = 16 (the code's own variable, by its slot)
    frame.line = 7;
    self->SlotAt(VarTilesizeSlot)->Assign(ScriptValue_Real(16));
}

void ScrAdd(CInstance*, CInstance*, ScriptValue* result, int argc, ScriptValue** args)
{
    StackTraceFrame frame("qsc_Script_scr_add", 1);
    ScriptValue_SetUndefined(result);
    if (argc < 2) return;
    result->Assign(*args[0]);
    result->AddAssign(*args[1]);
}

void ScrTwice(CInstance* self, CInstance* other, ScriptValue* result, int argc, ScriptValue** args)
{
    StackTraceFrame frame("qsc_Script_scr_twice", 1);
    if (argc < 1) return;
    ScriptValue pair[2];
    pair[0].kind = pair[1].kind = VALUE_UNDEFINED;
    pair[0].Assign(*args[0]);
    pair[1].Assign(*args[0]);
    Script_Call(FnScrAdd.index - CALLID_SCRIPT_BASE, self, other, 2, result, pair);
    // The caller's arguments are current again after the nested call.
    Recorded.push_back(VM_ArgumentCount);
}

CompiledCodeEntry s_code[CODE_COUNT] = {
    {"qsc_Object_object_Game_Create_0", GameCreate},
    {"qsc_Object_object_Player_Step_0", PlayerStep},
    {"qsc_Script_scr_add", ScrAdd},
    {"qsc_Script_scr_twice", ScrTwice},
};

void TestRecord(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    Recorded.push_back(argc > 0 ? ScriptValue_ToReal(&args[0]) : -1);
    ScriptValue_SetReal(result, 0);
}

void TestFail(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ReportRuntimeError(argc > 0 ? ScriptValue_StringText(&args[0]) : "", false);
}

bool GetX(CInstance* self, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, self ? self->x : 0);
    return true;
}

bool SetX(CInstance* self, int32_t, ScriptValue* value)
{
    if (!self) return false;
    self->x = static_cast<float>(ScriptValue_ToReal(value));
    return true;
}

bool GetNothing(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, 0);
    return true;
}
}  // namespace

GameLinkRecord Record()
{
    GameLinkRecord r = {};
    r.globalCount = 2;
    r.instanceCount = 2;
    r.codeCount = CODE_COUNT;
    r.variables = s_variables;
    r.functions = s_functions;
    r.codeTable = s_code;
    r.callChainHead = &s_chainHead;
    return r;
}

void ResetReferences()
{
    VarTilesize = {"tilesize", 0};
    VarMap = {"map", 1};
    VarX = {"x", -1};
    VarImageXScale = {"image_xscale", -1};
    FnRecord = {"test_record", 0};
    FnFail = {"test_fail", 0};
    FnScrAdd = {"scr_add", 0};
    Recorded.clear();
    EarlyReturn = false;
}

void RegisterBuiltins()
{
    CodeFunction_Register("test_record", TestRecord, 1, 0);
    CodeFunction_Register("test_fail", TestFail, 1, 0);
    Variable_BuiltIn_Add("x", GetX, SetX);
    Variable_BuiltIn_Add("image_xscale", GetNothing, nullptr);
}

std::vector<uint8_t> GameFile()
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.formatVersion = 15;
    w.Gen8(h);
    w.Scpt({gamedata::Script{"scr_add", CODE_SCR_ADD}, gamedata::Script{"scr_twice", CODE_SCR_TWICE}});
    w.Strg();
    return w.Finish();
}

}  // namespace samplemodule
