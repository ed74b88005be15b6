#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "Base/MemoryManager.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/Code_Variable.h"
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

// The instructions from one position, as the step builder reads them.
struct Reader {
    const uint32_t* code;
    int32_t size;
    const int32_t* indexMap;

    bool Has(int32_t at, int32_t bytes) const { return at >= 0 && at + bytes <= size; }
    uint32_t Word(int32_t at) const { return WordAt(code, at); }
    // The local slot of a "pushl" of a value at at, -1 for anything else.
    int32_t PushedLocal(int32_t at) const
    {
        if (!Has(at, 8) || (Word(at) >> 24) != VMO_PUSHL || ((Word(at) >> 16) & 0xF) != VMT_VAR) return -1;
        const int32_t slot = static_cast<int32_t>(Word(at + 4) & VMREF_ID_MASK) - VARIABLE_ID_BASE;
        return slot >= 0 ? slot : -1;
    }
    bool PushesNumber(int32_t at) const { return Has(at, 16) && PushesDoubleValue(Word(at), code, at, size); }
    double Number(int32_t at) const
    {
        double d;
        std::memcpy(&d, reinterpret_cast<const uint8_t*>(code) + at + 4, 8);
        return d;
    }
    // The arithmetic opcode of "add", "sub", "mul" or "div" of two values at at, 0 for anything else.
    uint8_t Arithmetic(int32_t at) const
    {
        if (!Has(at, 4)) return 0;
        const uint32_t word = Word(at), opcode = word >> 24;
        if (opcode != VMO_ADD && opcode != VMO_SUB && opcode != VMO_MUL && opcode != VMO_DIV) return 0;
        return (word & 0xFF0F00u) == 0x550000u ? static_cast<uint8_t>(opcode) : 0;
    }
    // The comparison form (1..6) of a "set" of two values at at, 0 for anything else.
    uint8_t Comparison(int32_t at) const
    {
        if (!Has(at, 4)) return 0;
        const uint32_t word = Word(at), form = (word >> 8) & 0xF;
        if ((word >> 24) != VMO_SET || ((word >> 16) & 0xFF) != 0x55 || form < 1 || form > 6) return 0;
        return static_cast<uint8_t>(form);
    }
    // The local slot of a "pop" of a value into a plain local at at, -1 for anything else.
    int32_t StoredLocal(int32_t at) const
    {
        if (!Has(at, 8)) return -1;
        const uint32_t word = Word(at), ref = Word(at + 4);
        if ((word >> 24) != VMO_POP || ((word >> 16) & 0xFF) != 0x55 || static_cast<int16_t>(word & 0xFFFF) != -7 ||
            !(ref & VMREF_NO_INDEX) || !(ref & VMREF_SCOPE_IN_WORD))
            return -1;
        const int32_t slot = static_cast<int32_t>(ref & VMREF_ID_MASK) - VARIABLE_ID_BASE;
        return slot >= 0 ? slot : -1;
    }
    // The instruction index a branch word at at goes to, -1 when it leaves the code.
    int32_t Target(int32_t at) const
    {
        const int64_t target = at + static_cast<int64_t>(static_cast<int32_t>(Word(at) << 9) >> 9) * 4;
        if (target < 0 || target > size || (target & 3)) return -1;
        return indexMap[target / 4];
    }
    // Whether the word at at is "bt" or "bf" with a target in the code.
    bool ConditionalBranch(int32_t at) const
    {
        if (!Has(at, 4)) return false;
        const uint32_t opcode = Word(at) >> 24;
        return (opcode == VMO_BT || opcode == VMO_BF) && Target(at) >= 0;
    }
};

// Fills the step of the instruction at at (index) with the longest run the
// loop can do inline.
void BuildStep(const Reader& r, int32_t at, int32_t index, VMStep* step)
{
    *step = VMStep{};
    step->index = index;
    step->at = at;
    step->top = -1;
    auto finish = [&](VMStepKind kind, int32_t instructions, std::initializer_list<int32_t> slots) {
        step->kind = kind;
        step->next = index + instructions;
        for (int32_t slot : slots) step->top = std::max(step->top, slot);
    };
    auto branchAt = [&](int32_t branch) {
        step->onTrue = (r.Word(branch) >> 24) == VMO_BT;
        step->target = r.Target(branch);
    };
    const uint32_t word = r.Word(at);
    if ((word >> 24) == VMO_B) {
        step->target = r.Target(at);
        if (step->target >= 0) finish(VM_STEP_BRANCH, 1, {});
        return;
    }
    if (r.PushesNumber(at)) {
        step->number = r.Number(at);
        return finish(VM_STEP_PUSH_NUMBER, 2, {});
    }
    if (const uint8_t op = r.Arithmetic(at)) {
        step->op = op;
        step->c = r.StoredLocal(at + 4);
        if (step->c >= 0) return finish(VM_STEP_ARITH_STORE, 2, {step->c});
        return finish(VM_STEP_ARITH, 1, {});
    }
    if (const uint8_t form = r.Comparison(at)) {
        if (!r.ConditionalBranch(at + 4)) return;
        step->op = form;
        branchAt(at + 4);
        return finish(VM_STEP_COMPARE_BRANCH, 2, {});
    }
    step->c = r.StoredLocal(at);
    if (step->c >= 0) return finish(VM_STEP_POP_LOCAL, 1, {step->c});
    step->a = r.PushedLocal(at);
    if (step->a < 0) return;
    // What follows the first local: a number constant or a second local, then
    // arithmetic (stored or not) or a comparison with its branch.
    int32_t after = at + 8, instructions = 1;
    bool number = false;
    if (r.PushesNumber(after)) {
        number = true;
        step->number = r.Number(after);
        after += 16;
        instructions += 2;
    } else if ((step->b = r.PushedLocal(after)) >= 0) {
        after += 8;
        instructions += 1;
    } else {
        return finish(VM_STEP_PUSH_LOCAL, 1, {step->a});
    }
    const std::initializer_list<int32_t> read = {step->a, number ? -1 : step->b};
    if (const uint8_t op = r.Arithmetic(after)) {
        step->op = op;
        step->c = r.StoredLocal(after + 4);
        if (step->c >= 0)
            return finish(number ? VM_STEP_LOCAL_NUMBER_STORE : VM_STEP_LOCALS_STORE, instructions + 2,
                          {step->a, number ? -1 : step->b, step->c});
        return finish(number ? VM_STEP_LOCAL_NUMBER_ARITH : VM_STEP_LOCALS_ARITH, instructions + 1, read);
    }
    if (const uint8_t form = r.Comparison(after); form && r.ConditionalBranch(after + 4)) {
        step->op = form;
        branchAt(after + 4);
        return finish(number ? VM_STEP_LOCAL_NUMBER_BRANCH : VM_STEP_LOCALS_BRANCH, instructions + 2, read);
    }
    return finish(number ? VM_STEP_PUSH_LOCAL_NUMBER : VM_STEP_PUSH_TWO_LOCALS, instructions, read);
}
}  // namespace

bool VMBuffer::Prepare(const VMHandlerSet& set)
{
    if (m_steps) return true;
    const int32_t size = m_code && m_size > 0 ? m_size & ~3 : 0;
    int32_t count = 0;
    for (int32_t at = 0; at < size; ++count) {
        const uint32_t word = WordAt(m_code, at);
        at += 4 + ((word & 0x40000000u) ? VM_OperandSize(static_cast<int>((word >> 16) & 0xF)) : 0);
    }
    auto* handlers = static_cast<VMHandler*>(QS_ALLOC(sizeof(VMHandler) * (count + 1), true));
    auto* indexMap = static_cast<int32_t*>(QS_ALLOC(sizeof(int32_t) * (size / 4 + 1), true));
    auto* steps = static_cast<VMStep*>(QS_ALLOC(sizeof(VMStep) * (count + 1), true));
    if (!handlers || !indexMap || !steps) {
        QS_FREE(handlers);
        QS_FREE(indexMap);
        QS_FREE(steps);
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
    // Steps need the whole index map: their branches are resolved to indices.
    const Reader reader{m_code, size, indexMap};
    index = 0;
    for (int32_t at = 0; at < size; ++index) {
        const uint32_t word = WordAt(m_code, at);
        const int32_t operandSize =
            (word & 0x40000000u) ? VM_OperandSize(static_cast<int>((word >> 16) & 0xF)) : 0;
        if (handlers[index] == set.badInstruction) {
            steps[index] = VMStep{};
            steps[index].index = index;
            steps[index].at = at;
        } else {
            BuildStep(reader, at, index, &steps[index]);
            if (steps[index].kind == VM_STEP_HANDLER) {
                if (handlers[index] == set.callBuiltin) steps[index].kind = VM_STEP_CALL_BUILTIN;
                if (handlers[index] == set.callScript) steps[index].kind = VM_STEP_CALL_SCRIPT;
                if (handlers[index] == set.byIndex[VMO_RET & 0x1F]) steps[index].kind = VM_STEP_RETURN;
            }
        }
        steps[index].after = at + 4 + operandSize;
        at += 4 + operandSize;
    }
    steps[count] = VMStep{};
    steps[count].kind = VM_STEP_END;
    steps[count].index = count;
    steps[count].at = size;
    steps[count].after = size;
    steps[count].next = count;
    // A "b" to a test and its branch runs the test at once (the loops of
    // while and for end so).
    for (int32_t i = 0; i < count; ++i) {
        if (steps[i].kind != VM_STEP_BRANCH) continue;
        const VMStep& target = steps[steps[i].target];
        if (target.kind == VM_STEP_COMPARE_BRANCH || target.kind == VM_STEP_LOCAL_NUMBER_BRANCH ||
            target.kind == VM_STEP_LOCALS_BRANCH)
            steps[i] = target;
    }
    m_handlers = handlers;
    m_indexMap = indexMap;
    m_steps = steps;
    return true;
}

bool VM_CheckCode(const uint32_t* code, int32_t size, int32_t start, char* why, size_t whySize)
{
    if (size < 0 || size % 4 != 0 || (size > 0 && !code)) {
        std::snprintf(why, whySize, "%d bytes of code are not whole words", size);
        return false;
    }
    // Where instructions start; the end of the code is a position too.
    std::vector<bool> starts(static_cast<size_t>(size / 4) + 1, false);
    starts[static_cast<size_t>(size / 4)] = true;
    for (int32_t at = 0; at < size;) {
        const uint32_t word = WordAt(code, at);
        starts[static_cast<size_t>(at / 4)] = true;
        if (std::strcmp(VM_OpcodeName(word >> 24), "unknown") == 0) {
            std::snprintf(why, whySize, "unknown instruction 0x%08x at offset %d", word, at);
            return false;
        }
        const int32_t operandSize =
            (word & 0x40000000u) ? VM_OperandSize(static_cast<int>((word >> 16) & 0xF)) : 0;
        if (operandSize > size - at - 4) {
            std::snprintf(why, whySize, "the operand of the instruction at offset %d runs past the end of the code",
                          at);
            return false;
        }
        at += 4 + operandSize;
    }
    for (int32_t at = 0; at < size;) {
        const uint32_t word = WordAt(code, at), opcode = word >> 24;
        const int32_t operandSize =
            (word & 0x40000000u) ? VM_OperandSize(static_cast<int>((word >> 16) & 0xF)) : 0;
        // The early-exit form of "popenv" carries no target.
        const bool branches = opcode == VMO_B || opcode == VMO_BT || opcode == VMO_BF || opcode == VMO_PUSHENV ||
                              (opcode == VMO_POPENV && ((word >> 16) & 0xFF) != 0xF0);
        if (branches) {
            const int64_t target = at + static_cast<int64_t>(static_cast<int32_t>(word << 9) >> 9) * 4;
            if (target < 0 || target > size || !starts[static_cast<size_t>(target / 4)]) {
                std::snprintf(why, whySize, "the branch at offset %d goes to %lld, which is no instruction of the code",
                              at, static_cast<long long>(target));
                return false;
            }
        }
        if (opcode == VMO_CALL && ((word >> 16) & 0xF) == VMT_INT) {
            const int32_t id = static_cast<int32_t>(WordAt(code, at + 4));
            if (id >= 0 && id < CALLID_SCRIPT_BASE && id >= CodeFunction_Count()) {
                std::snprintf(why, whySize, "the call at offset %d names built-in function %d, which does not exist",
                              at, id);
                return false;
            }
        }
        at += 4 + operandSize;
    }
    if (start < 0 || start > size || start % 4 != 0 || !starts[static_cast<size_t>(start / 4)]) {
        std::snprintf(why, whySize, "it starts at offset %d, which is no instruction of the code", start);
        return false;
    }
    return true;
}
