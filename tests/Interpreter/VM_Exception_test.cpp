// Throws taken to the innermost try block: across script calls of one run and
// across runs nested through built-ins, with everything in between released.
#include "Base/Timing.h"
#include "Code/Code_Function.h"
#include "Code/Code_Profiler.h"
#include "Code/JS_Exception.h"
#include "Code/VM_Main.h"
#include "Interpreter/VMFixture.h"
#include "Interpreter/VMTryThrow.h"
#include "Runner/Runner_Hooks.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"

namespace {
struct VMExceptionTest : VMTest {
    int32_t tryId = -1, throwId = -1, runId = -1;
    void SetUp() override
    {
        VMTest::SetUp();
        ASSERT_TRUE(vmtest::RegisterTryAndThrow(&tryId, &throwId));
        ASSERT_TRUE(vmtest::RegisterRun(&runId));
    }
    void TearDown() override
    {
        EXPECT_FALSE(VM_Exception.pending);
        EXPECT_EQ(VM_CurrentFrame, nullptr);
        CodeFunction_FreeAll();
        VMTest::TearDown();
    }
    static std::string Call(int32_t id, int argc)
    {
        return "call.i " + std::to_string(id) + " " + std::to_string(argc) + "\n";
    }
    static std::string Number(double d) { return "push.d " + std::to_string(d) + "\nconv.d.v\n"; }
    // Installs a try block whose handler follows body: the code is the try,
    // body, then handler.
    std::string Try(const std::string& body, const std::string& handler)
    {
        std::string start = "push.d 0\nconv.d.v\n" + Call(tryId, 1) + "popz.v\n";
        const size_t at = gamedata::Assemble(start + body).words.size() * 4;
        start = Number(static_cast<double>(at)) + Call(tryId, 1) + "popz.v\n";
        return start + body + handler;
    }
    std::string Throw(double value) { return Number(value) + Call(throwId, 1); }
    // A try block with catch and finally code laid out after body (an empty
    // one has no position); the catch falls through into the finally.
    std::string TryBlock(const std::string& body, const std::string& catchCode, const std::string& finallyCode)
    {
        auto hook = [&](double c, double f) { return Number(c) + Number(f) + Call(tryId, 2) + "popz.v\n"; };
        const auto size = [](const std::string& code) { return gamedata::Assemble(code).words.size() * 4; };
        const size_t catchAt = size(hook(0, 0) + body);
        const double c = catchCode.empty() ? -1 : static_cast<double>(catchAt);
        const double f = finallyCode.empty() ? -1 : static_cast<double>(catchAt + size(catchCode));
        return hook(c, f) + body + catchCode + finallyCode;
    }
};

std::vector<int> s_notes;
void Note(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    s_notes.push_back(argc > 0 ? static_cast<int>(args[0].real) : -1);
    *result = ScriptValue_Real(0);
}
void RaiseTypeError(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { JS_RaiseTypeError("boom"); }

// The ends of try blocks, a note of what ran, and a built-in that raises TypeError.
struct VMFinallyTest : VMExceptionTest {
    int32_t unhookId = -1, finishCatchId = -1, finishFinallyId = -1, noteId = -1, typeErrorId = -1;
    void SetUp() override
    {
        VMExceptionTest::SetUp();
        ASSERT_TRUE(vmtest::RegisterTryEnds(&unhookId, &finishCatchId, &finishFinallyId));
        CodeFunction_Register("vm_test_note", Note, 1, 0);
        CodeFunction_Register("vm_test_type_error", RaiseTypeError, 0, 0);
        ASSERT_TRUE(CodeFunction_Find("vm_test_note", &noteId) && CodeFunction_Find("vm_test_type_error", &typeErrorId));
        s_notes.clear();
    }
    void TearDown() override
    {
        EXPECT_FALSE(JS_Exception.thrown);
        VMExceptionTest::TearDown();
    }
    std::string NoteOf(int n) { return Number(n) + Call(noteId, 1) + "popz.v\n"; }
};

int s_pumps = 0;
int StopAtTheThirdPump()
{
    if (++s_pumps == 3) VM_RuntimeError(VM_CurrentFrame, "step limit");
    return 0;
}

TEST_F(VMExceptionTest, AHandlerBeforeItsThrowLoopsLikeABranchServingTheMessagePump)
{
    // The handler is the try block's own start: each catch runs it again, a
    // loop without a branch instruction, which the message pump still serves
    // (here, it ends the run).
    Load({Number(0) + Call(tryId, 1) + "popz.v\n" + Throw(1)});
    s_pumps = 0;
    Timing_SetMessagePump(StopAtTheThirdPump);
    Run(0);
    Runner_InstallHooks();
    EXPECT_EQ(s_pumps, 3);
    EXPECT_NE(Error().find("step limit"), std::string::npos) << Error();
}

TEST_F(VMExceptionTest, AThrowInNestedScriptCallsResumesAtTheHandlerOfTheRun)
{
    // The main code's try block catches what script 1 throws two calls deep;
    // the strings every level left on the stack and passed as arguments are
    // released on the way (the leak checker watches).
    Load({Try("push.s 0\nconv.s.v\npush.s 0\nconv.s.v\n" + Call(100000, 1) + "popz.v\n" + Number(-1) + "exit.i\n",
              Number(1000) + "add.v.v\n"),
          "push.s 0\nconv.s.v\npush.s 0\nconv.s.v\n" + Call(100001, 1) + "ret.v",
          "push.s 0\nconv.s.v\n" + Throw(42) + Number(7) + "ret.v"},
         {1, 2}, {"held"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 1042);
}

TEST_F(VMExceptionTest, AHandlerInACalledScriptLetsItReturnNormally)
{
    Load({Number(5) + Call(100000, 0) + "add.v.v",
          Try(Call(100001, 0) + "popz.v\n" + Number(-1) + "ret.v\n", Number(100) + "add.v.v\nret.v\n"),
          Throw(42) + "ret.v"},
         {1, 2});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 5 + 142);
}

TEST_F(VMExceptionTest, AThrowInANestedRunEndsItAndResumesTheOuterRun)
{
    // Entry 1 runs in a run of its own, started by a built-in; its script
    // call throws to the outer run's handler.
    Load({Try(Number(1) + Call(runId, 1) + "popz.v\n" + Number(-1) + "exit.i\n", Number(1000) + "add.v.v\n"),
          "push.s 0\nconv.s.v\n" + Call(100000, 0) + Number(3) + "add.v.v",
          Throw(42) + "ret.v"},
         {2}, {"held"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 1042);
}

TEST_F(VMExceptionTest, TryBlocksGoWithTheirCallAndAThrowWithoutOneIsFatal)
{
    // Script 0's try block is deleted at its return: the later throw finds none.
    Load({Call(100000, 0) + "popz.v\n" + Throw(42) + Number(1),
          Try(Number(3) + "ret.v\n", Number(4) + "ret.v\n")},
         {1});
    ScriptValue r = Run(0);
    EXPECT_TRUE(ErrorHas("Unable to find a handler for exception 42")) << Error();
    Release(r);
}

// ------------------------------------------------------------------ profiler scopes

std::vector<std::string> s_scopes;
void RecordBegin(int32_t kind, int32_t index) { s_scopes.push_back(std::to_string(kind) + ":" + std::to_string(index)); }
void RecordEnd() { s_scopes.push_back("end"); }

struct VMProfilerTest : VMExceptionTest {
    CodeProfilerHooks saved{};
    void SetUp() override
    {
        VMExceptionTest::SetUp();
        s_scopes.clear();
        saved = Code_Profiler_SetHooks(CodeProfilerHooks{RecordBegin, RecordEnd});
        Code_ProfilerActive = true;
    }
    void TearDown() override
    {
        Code_ProfilerActive = false;
        Code_Profiler_SetHooks(saved);
        VMExceptionTest::TearDown();
    }
};

TEST_F(VMProfilerTest, CodeRunsScriptCallsAndBuiltinsOpenAndCloseScopes)
{
    Load({Call(100000, 0) + "popz.v\n" + Number(2) + Call(runId, 1), Number(1) + "ret.v", Number(3)}, {1});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 3);
    const std::string builtin = "0:" + std::to_string(runId);
    EXPECT_EQ(s_scopes, (std::vector<std::string>{"1:0", "1:1", "end", builtin, "1:2", "end", "end", "end"}));
}

TEST_F(VMProfilerTest, AThrowClosesTheScopesOfTheCallsItLeaves)
{
    Load({Try(Call(100000, 0) + "popz.v\n" + Number(-1) + "exit.i\n", Number(0) + "add.v.v\n"), Throw(42) + "ret.v"},
         {1});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 42);
    const std::string tryScope = "0:" + std::to_string(tryId), throwScope = "0:" + std::to_string(throwId);
    EXPECT_EQ(s_scopes,
              (std::vector<std::string>{"1:0", tryScope, "end", "1:1", throwScope, "end", "end", "end"}));
}

// ------------------------------------------------------------------ catch and finally blocks

TEST_F(VMFinallyTest, AFinallyOnlyBlockRunsAndItsEndSendsTheExceptionToTheCallersCatch)
{
    Load({TryBlock(Call(100000, 0) + "popz.v\n" + Number(-1) + "exit.i\n",
                   Number(1000) + "add.v.v\n" + Call(finishCatchId, 0) + "popz.v\n", ""),
          TryBlock(Throw(42) + Number(-1) + "ret.v\n", "",
                   "popz.v\n" + NoteOf(1) + Call(finishFinallyId, 0) + NoteOf(2) + "ret.v\n")},
         {1});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 1042);
    EXPECT_EQ(s_notes, std::vector<int>{1});  // nothing after the end of the finally block ran
}

TEST_F(VMFinallyTest, AfterACaughtExceptionTheEndOfTheFinallyBlockDoesNothing)
{
    Load({TryBlock(Throw(5) + Number(-1) + "exit.i\n", "popz.v\n" + NoteOf(1) + Call(finishCatchId, 0) + "popz.v\n",
                   Call(finishFinallyId, 0) + Number(7) + "add.v.v\n")});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 7);
    EXPECT_EQ(s_notes, std::vector<int>{1});
}

TEST_F(VMFinallyTest, AThrowFromACatchBlockGoesOutwardsNotBackIntoIt)
{
    Load({TryBlock(Call(100000, 0) + "popz.v\n" + Number(-1) + "exit.i\n",
                   Number(100) + "add.v.v\n" + Call(finishCatchId, 0) + "popz.v\n", ""),
          TryBlock(Throw(1) + Number(-1) + "ret.v\n", "popz.v\n" + NoteOf(1) + Throw(2) + Number(-1) + "ret.v\n", "")},
         {1});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 102);
    EXPECT_EQ(s_notes, std::vector<int>{1});
}

TEST_F(VMFinallyTest, AnUnhookedTryBlockTakesNoLaterThrow)
{
    Load({TryBlock(Call(unhookId, 0) + "popz.v\n" + Throw(9) + Number(-1) + "exit.i\n", Number(1) + "add.v.v\n", "")});
    ScriptValue r = Run(0);
    EXPECT_TRUE(ErrorHas("Unable to find a handler for exception 9")) << Error();
    Release(r);
    JS_Exception.thrown = false;
}

TEST_F(VMFinallyTest, ATypeErrorOfABuiltInIsCaughtLikeAThrownValueAndIsFatalOutsideAnyTry)
{
    ObjectMode = true;
    Load({TryBlock(Call(typeErrorId, 0) + "popz.v\n" + Number(-1) + "exit.i\n", Call(finishCatchId, 0) + "popz.v\n", ""),
          Call(typeErrorId, 0) + "popz.v\n" + NoteOf(1)});
    ObjectMode = true;
    ScriptValue caught = Run(0);
    EXPECT_EQ(Error(), "");
    ASSERT_EQ(caught.Kind(), VALUE_OBJECT);
    for (const auto& [name, text] : {std::pair{"name", "TypeError"}, std::pair{"message", "boom"}}) {
        ScriptValue v = ScriptValue_Undefined();
        JS_Object_Get(caught.obj, &v, name);
        EXPECT_EQ(Text(v), text);
        Release(v);
    }
    EXPECT_TRUE(JS_HasClass(caught.obj, "Error"));

    ScriptValue r = Run(1);
    EXPECT_TRUE(ErrorHas("Unable to find a handler for exception TypeError: boom")) << Error();
    EXPECT_TRUE(s_notes.empty());
    Release(r);
    JS_Exception.thrown = false;
}
}  // namespace
