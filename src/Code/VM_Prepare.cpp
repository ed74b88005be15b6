#include <cstring>

#include "Base/MemoryManager.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/VM_Main.h"
#include "GameData/GameHeader.h"

namespace {
uint32_t WordAt(const uint32_t* code, int32_t offset)
{
    uint32_t word;
    std::memcpy(&word, reinterpret_cast<const uint8_t*>(code) + offset, 4);
    return word;
}

VMHandler HandlerOf(const VMHandlerSet& set, uint32_t word, uint32_t operand)
{
    const uint32_t opcode = word >> 24;
    if (std::strcmp(VM_OpcodeName(opcode), "unknown") == 0) return set.badInstruction;
    const int first = static_cast<int>((word >> 16) & 0xF);
    const int second = static_cast<int>((word >> 20) & 0xF);
    // Object-mode games throw on an unset store, which only the general pop does.
    if (opcode == VMO_POP && first == VMT_VAR && second == VMT_VAR && static_cast<int16_t>(word & 0xFFFF) == -7 &&
        !ObjectMode)
        return set.popLocalFast;
    if (opcode == VMO_CONV && (word & 0xF00) == 0 && ((word >> 16) & 0xFF) == 0x52) return set.convIntToVar;
    if (opcode == VMO_CONV && (word & 0xF00) == 0 && ((word >> 16) & 0xFF) == 0x50) return set.convDoubleToVar;
    const uint32_t comparison = (word >> 8) & 0xF;
    if (opcode == VMO_SET && first == VMT_VAR && second == VMT_VAR && comparison >= 1 && comparison <= 6)
        return set.compareValues;
    if (opcode == VMO_CALL && first == VMT_INT) {
        const int32_t id = static_cast<int32_t>(operand);
        if (id >= 0 && id < CALLID_SCRIPT_BASE) return set.callBuiltin;
        if (id >= CALLID_SCRIPT_BASE && id <= CALLID_EXTENSION_BASE && id != CALLID_SCRIPT_EXECUTE)
            return set.callScript;
        // Extensions, script_execute and ids of nothing (the general call reports them).
        return set.callGeneral;
    }
    return set.byIndex[opcode & 0x1F];
}

// A number constant: "push.d" with its operand, then "conv.d.v".
bool PushesDoubleValue(uint32_t word, const uint32_t* code, int32_t at, int32_t size)
{
    if ((word >> 24) != VMO_PUSH || ((word >> 16) & 0xF) != VMT_DOUBLE || at + 16 > size) return false;
    const uint32_t next = WordAt(code, at + 12);
    return (next >> 24) == VMO_CONV && (next & 0xF00) == 0 && ((next >> 16) & 0xFF) == 0x50;
}

// Arithmetic on two values whose result the next instruction pops into a local.
bool StoresArithmeticInLocal(uint32_t word, const uint32_t* code, int32_t at, int32_t size)
{
    const uint32_t opcode = word >> 24;
    if (opcode != VMO_ADD && opcode != VMO_SUB && opcode != VMO_MUL && opcode != VMO_DIV) return false;
    if ((word & 0xFF0F00u) != 0x550000u || at + 12 > size) return false;
    const uint32_t next = WordAt(code, at + 4);
    return (next >> 24) == VMO_POP && ((next >> 16) & 0xFF) == 0x55 && static_cast<int16_t>(next & 0xFFFF) == -7;
}
}  // namespace

bool VMBuffer::Prepare(const VMHandlerSet& set)
{
    if (m_handlers && m_indexMap) return true;
    const int32_t size = m_code && m_size > 0 ? m_size & ~3 : 0;
    int32_t count = 0;
    for (int32_t at = 0; at < size; ++count) {
        const uint32_t word = WordAt(m_code, at);
        at += 4 + ((word & 0x40000000u) ? VM_OperandSize(static_cast<int>((word >> 16) & 0xF)) : 0);
    }
    auto* handlers = static_cast<VMHandler*>(QS_ALLOC(sizeof(VMHandler) * (count + 1), true));
    auto* indexMap = static_cast<int32_t*>(QS_ALLOC(sizeof(int32_t) * (size / 4 + 1), true));
    if (!handlers || !indexMap) {
        QS_FREE(handlers);
        QS_FREE(indexMap);
        return false;
    }
    for (int32_t i = 0; i <= size / 4; ++i) indexMap[i] = -1;
    int32_t index = 0;
    for (int32_t at = 0; at < size; ++index) {
        const uint32_t word = WordAt(m_code, at);
        const int32_t operandSize =
            (word & 0x40000000u) ? VM_OperandSize(static_cast<int>((word >> 16) & 0xF)) : 0;
        indexMap[at / 4] = index;
        if (at + 4 + operandSize > size) {
            handlers[index] = set.badInstruction;  // its operand would run past the end
        } else {
            handlers[index] = HandlerOf(set, word, operandSize >= 4 ? WordAt(m_code, at + 4) : 0);
            if (PushesDoubleValue(word, m_code, at, size)) handlers[index] = set.pushDoubleValue;
            if (StoresArithmeticInLocal(word, m_code, at, size)) handlers[index] = set.arithToLocal;
            if ((word >> 24) == VMO_PUSHL && ((word >> 16) & 0xF) == VMT_VAR && at + 8 < size &&
                PushesDoubleValue(WordAt(m_code, at + 8), m_code, at + 8, size))
                handlers[index] = set.pushLocalNumber;
            if ((word >> 24) == VMO_PUSHL && ((word >> 16) & 0xF) == VMT_VAR && at + 16 <= size &&
                (WordAt(m_code, at + 8) >> 24) == VMO_PUSHL && ((WordAt(m_code, at + 8) >> 16) & 0xF) == VMT_VAR)
                handlers[index] = set.pushTwoLocals;
            if (handlers[index] == set.compareValues && at + 8 <= size &&
                ((WordAt(m_code, at + 4) >> 24) == VMO_BT || (WordAt(m_code, at + 4) >> 24) == VMO_BF))
                handlers[index] = set.compareBranch;
        }
        at += 4 + operandSize;
    }
    // The end of the code is a position too: branches and returns may go there.
    indexMap[size / 4] = count;
    handlers[count] = set.badInstruction;
    m_handlers = handlers;
    m_indexMap = indexMap;
    return true;
}
