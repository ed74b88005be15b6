#include <random>

#include "Code/VM_Main.h"
#include "Interpreter/VM_Interpreter.h"
#include "Interpreter/VMFixture.h"

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
