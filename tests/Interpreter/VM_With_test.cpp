#include <string>
#include <vector>

#include "Code/Code_Function.h"
#include "Code/JS_Exception.h"
#include "Base/Timing.h"
#include "Code/VM_Main.h"
#include "Runner/Runner_Hooks.h"
#include "Interpreter/VMFixture.h"
#include "Interpreter/VMTryThrow.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "Variable/Code_VariableValue.h"

namespace {
struct Visit {
    int32_t self;
    int32_t other;
    std::string note;  // the text of a string argument, when given one
    bool operator==(const Visit&) const = default;
};
std::vector<Visit> s_visits;
int32_t s_forget = -1;  // an instance id the first visit takes out of the id table

void RecordVisit(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args)
{
    std::string note;
    if (argc > 0 && args[0].Kind() == VALUE_STRING) note = ScriptValue_StringText(&args[0]);
    s_visits.push_back({self ? self->id : -1, other ? other->id : -1, note});
    if (s_forget >= 0) {
        Instance_Delete(s_forget);
        s_forget = -1;
    }
    *result = ScriptValue_Real(0);
}


struct VMWithTest : VMTest {
    CGameRoom room;
    int32_t record = -1, object = -1, runnerObject = -1, tryId = -1, throwId = -1;
    CInstance* runner = nullptr;

    void SetUp() override
    {
        VMTest::SetUp();
        CodeFunction_Register("vm_test_visit", RecordVisit, 0, 0);
        ASSERT_TRUE(vmtest::RegisterTryAndThrow(&tryId, &throwId));
        ASSERT_TRUE(CodeFunction_Find("vm_test_visit", &record));
        s_visits.clear();
    }
    void TearDown() override
    {
        Run_Room = nullptr;
        room.DeleteActiveInstances();
        room.DeleteDeactivatedInstances();
        ActivationQueue.count = ObjectChangeQueue.count = DepthChangeQueue.count = 0;
        Object_Free();
        CodeFunction_FreeAll();
        VMTest::TearDown();
    }
    // Entry 0 is a with-block over target, entry 1 one over the target in
    // global 0, entry 2 one over target left early, then the entries of more
    // (script i runs entry scripts[i]); then the objects and the room.
    void LoadWith(const std::string& target, const std::vector<std::string>& more = {},
                  const std::vector<uint32_t>& scripts = {}, const std::vector<std::string>& strings = {})
    {
        const std::string visit = "call.i " + std::to_string(record) + " 0\n";
        const std::string block = "\npushenv end\nbody:\n" + visit + "popz.v\nend:\npopenv body\n" + visit;
        std::vector<std::string> sources = {
            "push.i " + target + block, "pushg 100000\nconv.v.i" + block,
            "push.i " + target + "\npushenv end\n" + visit + "popz.v\npopenv end exit\nb done\nend:\npopenv end\ndone:\n" + visit};
        sources.insert(sources.end(), more.begin(), more.end());
        Load(sources, scripts, strings);
        Object_Init();
        object = Object_CreateEmpty();
        runnerObject = Object_CreateEmpty();
        Object_LinkParents();
        Run_Room = &room;
        runner = room.CreateInstance(0, 0, runnerObject);
    }
    std::vector<int32_t> Selves() const
    {
        std::vector<int32_t> ids;
        for (const Visit& v : s_visits) ids.push_back(v.self);
        return ids;
    }
};

TEST_F(VMWithTest, ThreeInstancesRunLastFirstWithOtherTheFormerSelf)
{
    LoadWith("0");
    CInstance* a = room.CreateInstance(0, 0, object);
    CInstance* b = room.CreateInstance(0, 0, object);
    CInstance* c = room.CreateInstance(0, 0, object);
    Run(0, runner);
    EXPECT_EQ(Error(), "");
    // The body for C, B, A, then the call after the block on the restored self.
    EXPECT_EQ(Selves(), (std::vector<int32_t>{c->id, b->id, a->id, runner->id}));
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(s_visits[i].other, runner->id);
    EXPECT_EQ(s_visits[3].other, runner->id);
}

int s_pumps = 0;
int CountPump()
{
    ++s_pumps;
    return 0;
}

TEST_F(VMWithTest, ALongWithBlockServesTheMessagePumpAsItGoes)
{
    // Each pass back to the body is a branch step like a loop's: a with-block
    // over many instances must not keep the window unserved.
    LoadWith("0");
    for (int i = 0; i < 10000; ++i) room.CreateInstance(0, 0, object);
    s_pumps = 0;
    Timing_SetMessagePump(CountPump);
    Run(0, runner);
    Runner_InstallHooks();
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(s_visits.size(), 10001u);
    EXPECT_GE(s_pumps, 2);
}

TEST_F(VMWithTest, TwoInstancesRunInCollectionOrder)
{
    LoadWith("0");
    CInstance* a = room.CreateInstance(0, 0, object);
    CInstance* b = room.CreateInstance(0, 0, object);
    Run(0, runner);
    EXPECT_EQ(Selves(), (std::vector<int32_t>{a->id, b->id, runner->id}));
}

TEST_F(VMWithTest, NoInstanceOrADeactivatedOneRunsTheBodyZeroTimes)
{
    LoadWith("0");
    Run(0, runner);
    EXPECT_EQ(Selves(), (std::vector<int32_t>{runner->id}));

    CInstance* a = room.CreateInstance(0, 0, object);
    a->m_deactivated = true;
    s_visits.clear();
    ScriptValue id = ScriptValue_Real(a->id);
    ASSERT_TRUE(Variable_SetGlobalValue(100000, ARRAY_INDEX_NONE, &id));
    Run(1, runner);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Selves(), (std::vector<int32_t>{runner->id}));
    a->m_deactivated = false;
}

TEST_F(VMWithTest, AnInstanceAlsoInAPendingQueueRunsOnce)
{
    LoadWith("0");
    CInstance* a = room.CreateInstance(0, 0, object);
    ActivationQueue.AddUnique(a);
    Run(0, runner);
    EXPECT_EQ(Selves(), (std::vector<int32_t>{a->id, runner->id}));
}

TEST_F(VMWithTest, AnInstanceGoneInsideTheBlockIsSkipped)
{
    LoadWith("0");
    CInstance* a = room.CreateInstance(0, 0, object);
    CInstance* b = room.CreateInstance(0, 0, object);
    CInstance* c = room.CreateInstance(0, 0, object);
    s_forget = b->id;  // the visit of C takes B out of the id table
    Run(0, runner);
    EXPECT_EQ(Selves(), (std::vector<int32_t>{c->id, a->id, runner->id}));
    Instance_Insert(b->id, b);
}

TEST_F(VMWithTest, LeavingAListBlockEarlyFreesItsArray)
{
    LoadWith("0");
    for (int i = 0; i < 3; ++i) room.CreateInstance(0, 0, object);
    Run(2, runner);
    EXPECT_EQ(Error(), "");
    ASSERT_EQ(s_visits.size(), 2u);
    EXPECT_EQ(s_visits[1].self, runner->id);  // self restored after the early exit (ASan checks the array)
}
TEST_F(VMWithTest, AThrowOutOfWithBlocksRestoresSelfAndOtherAtTheHandler)
{
    // A try block around two nested with-blocks (the inner one over three
    // instances, with an id array); the throw comes from the innermost body
    // directly (entry 3) or from a script it calls (entry 4). The handler
    // visits with the runner as self and other again; ASan checks the array.
    const std::string visit = "call.i " + std::to_string(record) + " 0\n";
    const std::string thrower = "push.d 1\nconv.d.v\ncall.i " + std::to_string(throwId) + " 1\n";
    auto tryAround = [&](const std::string& body) {
        const std::string callTry = "conv.d.v\ncall.i " + std::to_string(tryId) + " 1\npopz.v\n";
        const std::string with = "push.i -1\npushenv o\nob:\npush.i 0\npushenv i\nib:\n" + visit + "popz.v\n" +
                                 body + "i:\npopenv ib\no:\npopenv ob\n";
        const size_t at = gamedata::Assemble("push.d 0\n" + callTry + with).words.size() * 4;
        return "push.d " + std::to_string(at) + "\n" + callTry + with + "popz.v\n" + visit;
    };
    LoadWith("0", {tryAround(thrower), tryAround("call.i 100000 0\npopz.v\n"), "push.i 7\n" + thrower + "ret.v"},
             {5});
    for (int i = 0; i < 2; ++i) room.CreateInstance(0, 0, object);
    CInstance* c = room.CreateInstance(0, 0, object);
    for (int entry : {3, 4}) {
        s_visits.clear();
        Run(entry, runner);
        EXPECT_EQ(Error(), "");
        ASSERT_EQ(s_visits.size(), 2u) << entry;
        EXPECT_EQ(s_visits[0].self, c->id);
        EXPECT_EQ(s_visits[1].self, runner->id) << entry;
        EXPECT_EQ(s_visits[1].other, runner->id) << entry;
    }
}

// Code whose handler comes first, at code offset 4 (after the jump over
// it), so that the code can install its try block anywhere with "Try".
std::string HandlerFirst(const std::string& handler, const std::string& code)
{
    return "b start\n" + handler + "start:\n" + code;
}

TEST_F(VMWithTest, ATryInsideAWithBlockCatchesAndTheBlockGoesOnOverTheRemainingInstances)
{
    // Each visit of a with-block over three instances holds a string, then
    // throws inside a try block: from its body (entry 3), from a called
    // script (entry 4), from a nested run that is itself inside a with-block
    // (entry 5) or from the bottom of a recursion that grows the stack
    // (entry 8). The handler visits with the block's instance as self and the
    // held string, and the block goes on with the next instance. The leak
    // checker watches the strings and the id arrays.
    int32_t runId = -1;
    ASSERT_TRUE(vmtest::RegisterRun(&runId));
    const std::string visit = "call.i " + std::to_string(record) + " 0\npopz.v\n";
    const std::string tryBlock = "push.d 4\nconv.d.v\ncall.i " + std::to_string(tryId) + " 1\npopz.v\n";
    const std::string thrower = "push.d 1\nconv.d.v\ncall.i " + std::to_string(throwId) + " 1\n";
    auto withTry = [&](const std::string& body) {
        const std::string handler = "popz.v\ncall.i " + std::to_string(record) + " 1\npopz.v\nb end\n";
        return HandlerFirst(handler, "push.i 0\npushenv end\nbody:\npush.s 0\nconv.s.v\n" + tryBlock + visit +
                                         body + "end:\npopenv body\n" + visit);
    };
    LoadWith("0",
             {withTry(thrower), withTry("call.i 100000 0\npopz.v\n"),
              withTry("push.d 7\nconv.d.v\ncall.i " + std::to_string(runId) + " 1\npopz.v\n"),
              "push.s 1\nconv.s.v\n" + thrower + "ret.v",
              "push.i 0\npushenv ne\nnb:\npush.s 1\nconv.s.v\n" + thrower + "ne:\npopenv nb\n",
              withTry("push.d 600\nconv.d.v\npop.v.v global.100001\ncall.i 100001 0\npopz.v\n"),
              "push.s 1\nconv.s.v\npushg 100001\npush.d 1\nconv.d.v\nsub.v.v\npop.v.v global.100001\n"
              "pushg 100001\npush.d 0\nconv.d.v\nset.v.v le\nbt deep\ncall.i 100001 0\nret.v\ndeep:\n" + thrower},
             {6, 9}, {"held", "dropped"});
    CInstance* a = room.CreateInstance(0, 0, object);
    CInstance* b = room.CreateInstance(0, 0, object);
    CInstance* c = room.CreateInstance(0, 0, object);
    std::vector<Visit> expected;
    for (CInstance* i : {c, b, a}) {
        expected.push_back({i->id, runner->id, ""});
        expected.push_back({i->id, runner->id, "held"});
    }
    expected.push_back({runner->id, runner->id, ""});
    for (int entry : {3, 4, 5, 8}) {
        s_visits.clear();
        Run(entry, runner);
        EXPECT_EQ(Error(), "") << entry;
        EXPECT_EQ(s_visits, expected) << entry;
    }
}

TEST_F(VMWithTest, ACatchLeavesTheWithBlocksOfItsTryBlockButNotTheEnclosingOne)
{
    // with (object) { try { with (object) { visit; throw } } catch { visit } }:
    // the inner block's array goes, the outer one runs all three instances
    // and its handler sees the outer instance as self and the runner as other.
    const std::string visit = "call.i " + std::to_string(record) + " 0\npopz.v\n";
    const std::string tryBlock = "push.d 4\nconv.d.v\ncall.i " + std::to_string(tryId) + " 1\npopz.v\n";
    const std::string thrower = "push.d 1\nconv.d.v\ncall.i " + std::to_string(throwId) + " 1\n";
    LoadWith("0", {HandlerFirst("popz.v\n" + visit + "b oe\n",
                                "push.i 0\npushenv oe\nob:\n" + tryBlock + "push.i 0\npushenv ie\nib:\n" + visit +
                                    thrower + "ie:\npopenv ib\noe:\npopenv ob\n" + visit)});
    CInstance* a = room.CreateInstance(0, 0, object);
    CInstance* b = room.CreateInstance(0, 0, object);
    CInstance* c = room.CreateInstance(0, 0, object);
    Run(3, runner);
    EXPECT_EQ(Error(), "");
    std::vector<Visit> expected;
    for (CInstance* i : {c, b, a}) {
        expected.push_back({c->id, i->id, ""});
        expected.push_back({i->id, runner->id, ""});
    }
    expected.push_back({runner->id, runner->id, ""});
    EXPECT_EQ(s_visits, expected);
}
}  // namespace
