#include <iterator>
#include <random>
#include <string>

#include "Base/Timing.h"
#include "Code/VM_Main.h"
#include "Interpreter/VM_Interpreter.h"
#include "Interpreter/VMFixture.h"
#include "Runner/Runner_Hooks.h"

namespace {
int s_services = 0;
bool Connected() { return true; }
void Service()
{
    if (++s_services > 2) VM_RuntimeError(VM_CurrentFrame, "step limit");
}
void Paused() {}

// Random words drawn mostly from real opcodes and types, with operands of
// random bits: whatever they do, the run must end without touching memory it
// does not own (ASan and UBSan watch).
TEST_F(VMTest, RandomBytecodeEndsSafely)
{
    Load({"exit.i"});
    VM_Debugger = VMDebuggerHooks{Connected, Service, Paused};
    WatchEvaluating = true;
    static const uint8_t kOpcodes[] = {0x05, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11,
                                       0x12, 0x13, 0x14, 0x15, 0x45, 0x80, 0x84, 0x86, 0x99, 0x9C, 0x9D, 0x9E,
                                       0xB6, 0xB7, 0xB8, 0xBA, 0xBB, 0xC0, 0xC1, 0xC2, 0xC3, 0xD9, 0xFF};
    std::mt19937 random(29);
    for (int program = 0; program < 3000; ++program) {
        std::vector<uint32_t> words(1 + random() % 40);
        for (uint32_t& word : words) {
            const uint32_t pick = random();
            if (pick % 4 == 0) {
                word = random();
                continue;
            }
            const uint32_t opcode = kOpcodes[pick % sizeof kOpcodes];
            const uint32_t types = (random() % 8) | (random() % 8) << 4;
            const uint32_t low = random() % 3 == 0 ? random() & 0xFFFF : (random() % 16) - 8;
            word = opcode << 24 | types << 16 | (low & 0xFFFF);
            if ((opcode & 0x20) && opcode >= 0xB6 && opcode <= 0xBB) word = opcode << 24 | ((random() % 16 - 8) & 0x7FFFFF);
        }
        s_services = 0;
        VMBuffer* buffer = new VMBuffer();
        buffer->m_code = words.data();
        buffer->m_size = static_cast<int32_t>(words.size() * 4);
        CCode code(-1, 0);
        code.m_bytecode = buffer;
        code.m_localsCount = 4;
        ScriptValue result = ScriptValue_Undefined();
        Code_Run(nullptr, nullptr, &code, &result, 0);
        ScriptValue_SetUndefined(&result);
        delete buffer;
        code.m_bytecode = nullptr;
    }
    WatchEvaluating = false;
    VM_Debugger = VMDebuggerHooks{};
    EXPECT_EQ(VM_CurrentFrame, nullptr);
}

// Programs the fuzz target found leaking: each run must release every string
// it made (the leak checker watches at exit).
TEST_F(VMTest, FoundProgramsReleaseWhatTheyMade)
{
    Load({"exit.i"});
    VM_Debugger = VMDebuggerHooks{Connected, Service, Paused};
    WatchEvaluating = true;
    const std::vector<std::vector<uint32_t>> programs = {
        {0xc0020000, 0x00000000, 0x07520000, 0x4555fff9, 0xa00186a0, 0xc0020000, 0x00000000, 0x07520000,
         0xc0020000, 0x00000000, 0x07640000, 0x4555fff9, 0x000186a0, 0x00000001, 0xa0000000, 0xc0000000,
         0x000b1500, 0xfff9b800, 0x86a0c105, 0x0000a001, 0x0000c000, 0x00000000, 0x00003df0, 0xc105ff50,
         0xa00186a0},
        {0xc0000000, 0x00000000, 0x40080000, 0x07500000, 0x86050000, 0x08550000, 0xc0020100, 0x00000007,
         0x07620000, 0x07520000, 0x07560000, 0x55fff900},
    };
    for (std::vector<uint32_t> words : programs) {
        s_services = 0;
        VMBuffer* buffer = new VMBuffer();
        buffer->m_code = words.data();
        buffer->m_size = static_cast<int32_t>(words.size() * 4);
        CCode code(-1, 0);
        code.m_bytecode = buffer;
        code.m_localsCount = 4;
        ScriptValue result = ScriptValue_Undefined();
        VM_RunCode(&code, nullptr, nullptr, &result, nullptr, 0, nullptr, nullptr);
        ScriptValue_SetUndefined(&result);
        delete buffer;
        code.m_bytecode = nullptr;
    }
    WatchEvaluating = false;
    VM_Debugger = VMDebuggerHooks{};
    EXPECT_EQ(VM_CurrentFrame, nullptr);
}
}  // namespace

namespace {
bool s_limited = false;
void LimitedService()
{
    if (++s_services > 2) {
        s_limited = true;
        VM_RuntimeError(VM_CurrentFrame, "step limit");
    }
}
int LimitedPump()
{
    if (++s_services > 8) {
        s_limited = true;
        VM_RuntimeError(VM_CurrentFrame, "step limit");
    }
    return 0;
}

struct Outcome {
    bool limited;
    std::string state;   // the result, every local and the error
};

std::string Describe(const ScriptValue& v)
{
    switch (v.Kind()) {
    case VALUE_REAL: return "real " + std::to_string(v.real);
    case VALUE_STRING: return "string " + std::string(ScriptValue_StringText(&v));
    default: return "kind " + std::to_string(v.Kind());
    }
}

// A statement of the kinds compilers emit, over locals a, b, c, a number,
// an operator, a comparison and a label.
std::string Statement(std::mt19937& random, int labels)
{
    static const char* const kOps[] = {"add.v.v", "sub.v.v", "mul.v.v", "div.v.v"};
    static const char* const kTests[] = {"lt", "le", "eq", "ne", "ge", "gt"};
    static const char* const kNumbers[] = {"2", "-0.5", "0", "1e-11", "3"};
    // Mostly the real locals 0 and 1; 2 holds a string, 3 nothing at first.
    static const int kLocals[] = {0, 0, 1, 1, 0, 1, 2, 3};
    auto local = [&] { return std::to_string(100000 + kLocals[random() % std::size(kLocals)]); };
    auto push = [&] { return "pushl " + local() + "\n"; };
    auto number = [&] { return "push.d " + std::string(kNumbers[random() % std::size(kNumbers)]) + "\nconv.d.v\n"; };
    auto op = [&] { return std::string(kOps[random() % std::size(kOps)]) + "\n"; };
    auto store = [&] { return "pop.v.v local." + local() + "\n"; };
    auto test = [&] {
        return "set.v.v " + std::string(kTests[random() % std::size(kTests)]) + "\n" +
               (random() % 2 ? "bt" : "bf") + " l" + std::to_string(random() % labels) + "\n";
    };
    switch (random() % 16) {
    case 0: return push() + push() + op() + store();
    case 1: return push() + number() + op() + store();
    case 2: return push() + push() + op();
    case 3: return push() + number() + op();
    case 4: return push() + number() + test();
    case 5: return push() + push() + test();
    case 6: return test();
    case 7: return op() + store();
    case 8: return op();
    case 9: return store();
    case 10: return push();
    case 11: return number();
    case 12: return "b l" + std::to_string(random() % labels) + "\n";
    case 13: return "popz.v\n";
    case 14: return random() % 2 ? "push.s 0\nconv.s.v\n" : "call.i " + std::to_string(100000 + random() % 4) + " 0\n";
    default: return push() + push();
    }
}

// Statements that compilers emit for arithmetic, stores, tests, loops and
// script calls over locals holding reals, a string and nothing, so that every inline step
// of the plain loop also meets values it must hand to the handlers. The plain
// loop and the debugger's loop, which runs one instruction at a time through
// the handlers, must leave the same result, locals and error.
TEST_F(VMTest, PlainLoopEndsLikeOneInstructionAtATime)
{
    std::mt19937 random(31);
    int compared = 0;
    // Scripts 0..3: a real returned with nothing else left, a string, a real
    // above another value, and a real computed in the script's own locals.
    Load({"exit.i", "push.d 5\nconv.d.v\nret.v", "push.s 0\nconv.s.v\nret.v",
          "push.d 1\nconv.d.v\npush.d 2\nconv.d.v\nret.v",
          "push.d 7\nconv.d.v\npop.v.v local.100000\npushl 100000\npush.d 1\nconv.d.v\nadd.v.v\nret.v"},
         {1, 2, 3, 4}, {"text"});
    for (int program = 0; program < 2000; ++program) {
        std::string source =
            "push.d 3\nconv.d.v\npop.v.v local.100000\npush.d 4\nconv.d.v\npop.v.v local.100001\n"
            "push.s 0\nconv.s.v\npop.v.v local.100002\n";
        const int length = 3 + static_cast<int>(random() % 10);
        const int labels = 3;
        std::vector<int> labelAt(labels);
        for (int& at : labelAt) at = static_cast<int>(random() % (length + 1));
        for (int i = 0; i <= length; ++i) {
            for (int label = 0; label < labels; ++label)
                if (labelAt[label] == i) source += "l" + std::to_string(label) + ":\n";
            if (i < length) source += Statement(random, labels);
        }
        const gamedata::Assembled assembled = gamedata::Assemble(source);
        ASSERT_EQ(assembled.error, "") << source;
        auto run = [&](bool debugger) {
            std::vector<uint32_t> words = assembled.words;
            VMBuffer buffer;
            buffer.m_code = words.data();
            buffer.m_size = static_cast<int32_t>(words.size() * 4);
            CCode code(-1, 0);
            code.m_bytecode = &buffer;
            KVObjectBase* locals = AllocLocalsObject(4);
            s_services = 0;
            s_limited = false;
            VM_Debugger = debugger ? VMDebuggerHooks{Connected, LimitedService, Paused} : VMDebuggerHooks{};
            Timing_SetMessagePump(debugger ? nullptr : LimitedPump);
            FatalErrorShown = false;
            ErrorLast_Set(nullptr);
            ScriptValue result = ScriptValue_Undefined();
            VM_RunCode(&code, nullptr, nullptr, &result, locals, 0, nullptr, nullptr);
            code.m_bytecode = nullptr;
            Outcome out{s_limited, Describe(result)};
            for (int i = 0; i < 4; ++i) out.state += ", " + Describe(*locals->SlotAt(i));
            out.state += ", " + Error();
            ScriptValue_SetUndefined(&result);
            KVObjectBase::Free(locals);
            return out;
        };
        const Outcome plain = run(false);
        const Outcome stepped = run(true);
        VM_Debugger = VMDebuggerHooks{};
        Runner_InstallHooks();
        if (plain.limited || stepped.limited) continue;
        ++compared;
        ASSERT_EQ(plain.state, stepped.state) << source;
    }
    EXPECT_GT(compared, 1500);
}
}  // namespace
