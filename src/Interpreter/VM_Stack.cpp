#include "Interpreter/VM_Stack.h"

#include "Base/MemoryManager.h"
#include "Code/ObjectBase.h"

namespace {
ScriptValue s_scratch;

// An array whose owner link named the slot a value left must not keep it.
void ForgetSlotOwner(ScriptValue* v, const uint8_t* slot)
{
    if (v->Kind() == VALUE_ARRAY && v->arr && v->arr->owner == reinterpret_cast<const ScriptValue*>(slot))
        v->arr->owner = nullptr;
}
}  // namespace

bool VM_ListOnRun = false;

bool VM_Has(VMFrame* f, const uint8_t* sp, int32_t bytes)
{
    if (bytes >= 0 && VM_Floor(f) - sp >= bytes) return true;
    VM_RuntimeError(f, "Execution Error - value stack underflow");
    return false;
}

ScriptValue* VM_ValueAt(VMFrame* f, uint8_t* p, const char* what)
{
    if (VM_Tag(f, p) == VMTAG_VALUE) return reinterpret_cast<ScriptValue*>(p);
    VM_RuntimeError(f, "%s :: Malformed variable", what);
    s_scratch = ScriptValue_Undefined();
    return &s_scratch;
}

RefString* VM_StringAt(VMFrame* f, uint8_t* p, const char* what)
{
    if (VM_Tag(f, p) == VMTAG_STRING) return VM_Load<RefString*>(p);
    VM_RuntimeError(f, "%s :: Malformed string", what);
    return nullptr;
}

bool VM_TakeValue(VMFrame* f, uint8_t* p, ScriptValue* out, const char* what)
{
    if (VM_Tag(f, p) != VMTAG_VALUE) {
        VM_RuntimeError(f, "%s :: Malformed variable", what);
        *out = ScriptValue_Undefined();
        return false;
    }
    std::memcpy(out, p, 16);
    ForgetSlotOwner(out, p);
    VM_Tag(f, p) = VMTAG_PLAIN;
    return true;
}

void VM_ReleaseRange(VMFrame* f, uint8_t* from, uint8_t* to)
{
    for (uint8_t* p = from; p < to;) {
        uint8_t& tag = VM_Tag(f, p);
        const uint8_t kind = tag;
        tag = VMTAG_PLAIN;
        // A value goes whole even when the range ends after its first slot:
        // code that consumes half of it leaves nothing that could still own it.
        if (kind == VMTAG_VALUE) {
            auto* v = reinterpret_cast<ScriptValue*>(p);
            if (v->MayOwn()) ScriptValue_FreePayload(v);
            p += 16;
            continue;
        }
        if (kind == VMTAG_STRING) {
            if (auto* s = VM_Load<RefString*>(p)) s->Release();
        } else if (kind == VMTAG_WITH_ARRAY) {
            QS_FREE(VM_Load<void*>(p));
        }
        p += 8;
    }
}

uint8_t* VM_DropItem(VMFrame* f, uint8_t* sp, int type)
{
    const int32_t size = VM_ItemSize(type);
    if (!VM_Has(f, sp, size)) return sp;
    // Whatever the word says, the items there may own a string or value
    // (malformed code): the tags decide what is released.
    VM_ReleaseRange(f, sp, sp + size);
    return sp + size;
}

double VM_ItemAsDouble(const uint8_t* p, int type)
{
    switch (type) {
    case VMT_DOUBLE: return VM_Load<double>(p);
    case VMT_FLOAT: return static_cast<double>(VM_Load<float>(p));
    case VMT_LONG: return static_cast<double>(VM_Load<int64_t>(p));
    default: return static_cast<double>(VM_Load<int32_t>(p));
    }
}

RefString* VM_NewString(const char* text, int32_t length)
{
    auto* s = new RefString;
    s->text = static_cast<char*>(QS_ALLOC(static_cast<size_t>(length) + 1, false));
    if (length > 0) std::memcpy(s->text, text, static_cast<size_t>(length));
    s->text[length] = '\0';
    s->count = 1;
    s->length = length;
    return s;
}

bool VM_JumpTo(VMFrame* f, int32_t target)
{
    if (f->stopped) return false;
    if (target < 0 || target > f->codeSize || (target & 3) || f->indexMap[target / 4] < 0) {
        VM_RuntimeError(f, "Execution Error - branch to 0x%08x outside the code", static_cast<uint32_t>(target));
        return false;
    }
    f->position = target;
    f->handlerIndex = f->indexMap[target / 4];
    return true;
}

KVObjectBase* VM_AllocLocals(int32_t count)
{
    return AllocLocalsObject(count);
}

void VM_FreeLocals(KVObjectBase* locals)
{
    // A function object keeps the locals as its scope: the collector frees them then.
    if (locals && !locals->m_scopeCaptured) KVObjectBase::Free(locals);
}
