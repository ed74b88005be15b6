#include <vector>

#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Interpreter/VM_Stack.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

// A with-record, top first (8-byte words):
//   last: 0, saved other, saved self
//   pair: next instance id, 0, saved other, saved self
//   list: -1, cursor, id array, saved other, saved self
// The array holds its entry count and then the ids still to run; the cursor
// counts the entries not yet taken. Instances are kept by id, so one destroyed
// inside the block is skipped instead of followed.
namespace {
uint32_t s_branchCount = 0;
}  // namespace

void VM_CountBranchStep()
{
    if ((++s_branchCount & 0xFFF) == 0) Timing_PumpMessages();
}

namespace {
// Every jump back is a branch step, the with-block's too, so no loop keeps
// the window from being served.
uint8_t* Branch(VMFrame* f, uint8_t* sp, uint32_t word)
{
    VM_CountBranchStep();
    VM_JumpTo(f, VM_BranchTarget(f, word));
    return sp;
}

bool Runs(const CInstance* instance) { return instance && !instance->m_marked && !instance->m_deactivated; }

uint8_t* PushRecordWord(VMFrame* f, uint8_t* sp, int64_t value, uint8_t tag)
{
    sp = VM_PushI64(f, sp, value);
    VM_Tag(f, sp) = tag;
    return sp;
}

uint8_t* PushSaved(VMFrame* f, uint8_t* sp, CInstance* self, CInstance* other)
{
    sp = PushRecordWord(f, sp, reinterpret_cast<intptr_t>(self), VMTAG_WITH_RECORD);
    return PushRecordWord(f, sp, reinterpret_cast<intptr_t>(other), VMTAG_WITH_RECORD);
}

// The instances of an object index in with-list order (each once).
std::vector<CInstance*> CollectObject(int32_t target)
{
    std::vector<CInstance*> order;
    int32_t counted = 0;
    if (CGameObject* object = Object_Get(target)) {
        for (auto* node = object->allInstances.first; node; node = node->next) {
            if (!Runs(node->item)) continue;
            WithInstanceList::Add(node->item);
            ++counted;
        }
    }
    for (List<CInstance*>* queue : {&ObjectChangeQueue, &ActivationQueue}) {
        for (int32_t i = 0; i < queue->count; ++i) {
            CInstance* instance = queue->items[i];
            if (!Runs(instance) || instance->object_index != target) continue;
            if (!WithInstanceList::AddOnce(instance)) ++counted;
        }
    }
    if (WithInstanceList::IsEmpty()) return order;
    std::vector<CInstance*> drained(static_cast<size_t>(counted) + 1, nullptr);
    CInstance* last = nullptr;
    CInstance** end = WithInstanceList::Drain(drained.data(), &last);
    order.assign(drained.begin() + 1, drained.begin() + (end - drained.data()));
    order.push_back(last);
    return order;
}

bool CheckTags(VMFrame* f, uint8_t* sp, int words, int arrayWord)
{
    if (!VM_Has(f, sp, 8 * words)) return false;
    for (int i = 0; i < words; ++i) {
        const uint8_t want = i == arrayWord ? VMTAG_WITH_ARRAY : VMTAG_WITH_RECORD;
        if (VM_Tag(f, sp + 8 * i) != want) {
            VM_RuntimeError(f, "popenv :: Execution Error - no with-block record on the stack");
            return false;
        }
    }
    return true;
}

// The int on top, read before the slot is dropped; what the slot owned
// (a string or value where malformed code put one) is released.
int32_t TakeCondition(VMFrame* f, uint8_t* sp)
{
    const int32_t value = VM_Load<int32_t>(sp);
    if (VM_Tag(f, sp) != VMTAG_PLAIN) VM_ReleaseRange(f, sp, sp + 8);
    return value;
}

// The object form: the block runs once with the object value on top as self.
uint8_t* PushEnvObject(VMFrame* f, uint8_t* sp)
{
    if (!VM_Has(f, sp, 16)) return sp;
    ScriptValue value;
    if (!VM_TakeValue(f, sp, &value, "pushenv")) return sp;
    sp += 16;
    if (value.Kind() != VALUE_OBJECT || !value.obj) {
        ScriptValue_SetUndefined(&value);
        VM_RuntimeError(f, "FOo");
        return sp;
    }
    sp = PushSaved(f, sp, f->self, f->other);
    sp = PushRecordWord(f, sp, 0, VMTAG_WITH_RECORD);
    f->other = f->self;
    f->self = VM_ObjectAsSelf(value.obj);
    return sp;
}

void Restore(VMFrame* f, uint8_t* savedOther)
{
    f->other = VM_Load<CInstance*>(savedOther);
    f->self = VM_Load<CInstance*>(savedOther + 8);
}
}  // namespace

VM_HANDLER(DoBranch) { (void)operand; return Branch(f, sp, word); }

VM_HANDLER(DoBranchTrue)
{
    (void)operand;
    if (!VM_Has(f, sp, 8)) return sp;
    const int32_t condition = TakeCondition(f, sp);
    return condition != 0 ? Branch(f, sp + 8, word) : sp + 8;
}

VM_HANDLER(DoBranchFalse)
{
    (void)operand;
    if (!VM_Has(f, sp, 8)) return sp;
    const int32_t condition = TakeCondition(f, sp);
    return condition == 0 ? Branch(f, sp + 8, word) : sp + 8;
}

VM_HANDLER(DoPushEnv)
{
    (void)operand;
    if (word & 0x00800000u) return PushEnvObject(f, sp);
    if (!VM_Has(f, sp, 8)) return sp;
    const int32_t target = TakeCondition(f, sp);
    sp += 8;
    if (target == -5 || target == -7) {
        VM_RuntimeError(f, target == -5 ? "Cannot use global in with statement" : "Cannot use local in with statement");
        return sp;
    }
    CInstance* savedSelf = f->self;
    CInstance* savedOther = f->other;
    std::vector<CInstance*> instances;
    if (target == -1 || target == -6) {
        instances.push_back(savedSelf);
    } else if (target == -2) {
        instances.push_back(savedOther);
    } else if (target == -3) {
        if (Run_Room)
            for (CInstance* i = Run_Room->activeInstances.first; i; i = i->m_next)
                if (Runs(i)) instances.push_back(i);
    } else if (target >= 0 && target < 100000) {
        instances = CollectObject(target);
    } else if (target >= 100000) {
        CInstance* instance = Instance_Find(target);
        if (Runs(instance)) instances.push_back(instance);
    }

    sp = PushSaved(f, sp, savedSelf, savedOther);
    if (instances.empty()) {
        sp = PushRecordWord(f, sp, 0, VMTAG_WITH_RECORD);
        return Branch(f, sp, word);
    }
    f->other = savedSelf;
    const size_t n = instances.size();
    if (n <= 2) {
        sp = PushRecordWord(f, sp, 0, VMTAG_WITH_RECORD);
        if (n == 2) sp = PushRecordWord(f, sp, instances[1]->id, VMTAG_WITH_RECORD);
        f->self = instances[0];
        return sp;
    }
    // Three or more run from the last collected back to the first.
    auto* ids = static_cast<int32_t*>(QS_ALLOC(sizeof(int32_t) * n, true));
    ids[0] = static_cast<int32_t>(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) ids[i + 1] = instances[i]->id;
    sp = PushRecordWord(f, sp, reinterpret_cast<intptr_t>(ids), VMTAG_WITH_ARRAY);
    sp = PushRecordWord(f, sp, static_cast<int64_t>(n - 1), VMTAG_WITH_RECORD);
    sp = PushRecordWord(f, sp, -1, VMTAG_WITH_RECORD);
    f->self = instances[n - 1];
    return sp;
}

VM_HANDLER(DoPopEnv)
{
    (void)operand;
    if (!VM_Has(f, sp, 8)) return sp;
    const int64_t top = VM_Load<int64_t>(sp);
    const bool early = ((word >> 16) & 0xFF) == 0xF0;
    if (top == -1) {
        if (!CheckTags(f, sp, 5, 2)) return sp;
        auto* ids = VM_Load<int32_t*>(sp + 16);
        int64_t cursor = VM_Load<int64_t>(sp + 8);
        if (cursor < 0 || cursor > ids[0]) cursor = 0;
        while (!early && cursor > 0) {
            CInstance* next = Instance_Find(ids[cursor--]);
            if (!next) continue;
            std::memcpy(sp + 8, &cursor, 8);
            f->self = next;
            return Branch(f, sp, word);
        }
        QS_FREE(ids);
        VM_Tag(f, sp + 16) = VMTAG_PLAIN;
        Restore(f, sp + 24);
        return sp + 40;
    }
    if (top != 0) {
        if (!CheckTags(f, sp, 4, -1)) return sp;
        CInstance* next = early ? nullptr : Instance_Find(static_cast<int32_t>(top));
        if (next) {
            f->self = next;
            return Branch(f, sp + 8, word);
        }
        sp += 8;
    }
    if (!CheckTags(f, sp, 3, -1)) return sp;
    Restore(f, sp + 8);
    return sp + 24;
}

VM_HANDLER(VM_CompareAndBranch)
{
    // A comparison of two real values followed by "bt" or "bf" (the
    // pre-decoder saw the branch), the test of most loops: the result decides
    // the branch at once and the branch counts as run. Anything else runs
    // the comparison alone.
    if (VM_Floor(f) - sp < 32 || VM_Tag(f, sp) != VMTAG_VALUE || VM_Tag(f, sp + 16) != VMTAG_VALUE)
        return VM_CompareValues(word, sp, operand, f);
    const auto* right = reinterpret_cast<const ScriptValue*>(sp);
    const auto* left = reinterpret_cast<const ScriptValue*>(sp + 16);
    if (right->Kind() != VALUE_REAL || left->Kind() != VALUE_REAL) return VM_CompareValues(word, sp, operand, f);
    const bool result = VM_CompareReals(word, left->real, right->real);
    VM_Tag(f, sp) = VMTAG_PLAIN;
    VM_Tag(f, sp + 16) = VMTAG_PLAIN;
    uint8_t* top = VM_PushInt(f, sp + 32, result ? 1 : 0);
    // The branch's position from the operand: reading back the position the
    // loop has just written would stall on it.
    const uint32_t branch = VM_Load<uint32_t>(operand);
    const auto at = static_cast<int32_t>(operand - reinterpret_cast<const uint8_t*>(f->code));
    f->instruction = at;
    f->position = at + 4;
    ++f->handlerIndex;
    return result == ((branch >> 24) == VMO_BT) ? Branch(f, top + 8, branch) : top + 8;
}
