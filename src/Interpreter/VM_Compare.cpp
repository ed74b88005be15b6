#include <cstring>

#include "Code/Code_ValueConvert.h"
#include "Code/MathEpsilon.h"
#include "Interpreter/VM_Object.h"
#include "Interpreter/VM_Operand.h"

namespace {
int Sign(int64_t a, int64_t b) { return a < b ? -1 : a > b ? 1 : 0; }

int CompareTexts(const RefString* a, const RefString* b)
{
    const char* ta = a && a->text ? a->text : "";
    const char* tb = b && b->text ? b->text : "";
    const int c = std::strcmp(ta, tb);  // strcmp compares as unsigned characters
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}
}  // namespace

VM_HANDLER(DoSet)
{
    (void)operand;
    const int kind = static_cast<int>((word >> 8) & 0xF);
    if (kind >= 7) return VM_ObjectCompare(word, sp, f);
    if (kind < 1) {
        VM_RuntimeError(f, "DoSet :: Execution Error");
        return sp;
    }
    const int rt = VM_FirstType(word), lt = VM_SecondType(word);
    const int32_t rs = VM_ItemSize(rt), ls = VM_ItemSize(lt);
    if (!rs || !ls || rt == VMT_ERROR || lt == VMT_ERROR) {
        VM_RuntimeError(f, "DoSet :: Execution Error");
        return sp;
    }
    if (!VM_Has(f, sp, rs + ls)) return sp;
    VMOperand right, left;
    if (!VM_ReadOperand(f, sp, rt, true, &right)) {
        if (!f->stopped) VM_RuntimeError(f, "DoSet :1: Malformed variable");
        return sp;
    }
    if (!VM_ReadOperand(f, sp + rs, lt, true, &left)) {
        if (!f->stopped) VM_RuntimeError(f, "DoSet :2: Malformed variable");
        return sp;
    }
    const int pair = left.type * 16 + right.type;
    bool comparable = true, exact = false;
    double d = 0.0;
    switch (pair) {
    case 0x00: case 0x02: case 0x03: case 0x20: case 0x30:
        d = (left.type == VMT_DOUBLE ? left.d : static_cast<double>(left.l)) -
            (right.type == VMT_DOUBLE ? right.d : static_cast<double>(right.l));
        break;
    case 0x04: d = DoubleToInt32(left.d - static_cast<double>(right.l)); break;
    case 0x40: d = DoubleToInt32(static_cast<double>(left.l) - right.d); break;
    // Integer pairs compare by sign: a difference could overflow.
    case 0x22: case 0x24: case 0x42: case 0x44: case 0x23: case 0x32: case 0x33: d = Sign(left.l, right.l); break;
    case 0x46: d = Sign(left.l, right.s ? 1 : 0); break;
    case 0x64: d = Sign(left.s ? 1 : 0, right.l); break;
    case 0xFF: d = 0.0; break;
    case 0x66: d = CompareTexts(left.s, right.s); exact = true; break;
    default: comparable = false; break;
    }
    bool result = false;
    if (!comparable) {
        result = kind == 4;
    } else {
        const double eps = exact ? 0.0 : MathEpsilon;
        switch (kind) {
        case 1: result = exact ? d < 0 : d < -eps; break;
        case 2: result = exact ? d <= 0 : d <= eps; break;
        case 3: result = exact ? d == 0 : (d >= -eps && d <= eps); break;
        case 4: result = exact ? d != 0 : (d < -eps || d > eps); break;
        case 5: result = exact ? d >= 0 : d >= -eps; break;
        case 6: result = exact ? d > 0 : d > eps; break;
        }
    }
    VM_ReleaseRange(f, sp, sp + rs + ls);
    return VM_PushInt(f, sp + rs + ls, result ? 1 : 0);
}

VM_HANDLER(VM_CompareValues)
{
    // Two real values, the common test of a loop: compared where they lie,
    // as neither owns anything. Every other pair takes the general form.
    if (VM_Floor(f) - sp < 32 || VM_Tag(f, sp) != VMTAG_VALUE || VM_Tag(f, sp + 16) != VMTAG_VALUE)
        return DoSet(word, sp, operand, f);
    const auto* right = reinterpret_cast<const ScriptValue*>(sp);
    const auto* left = reinterpret_cast<const ScriptValue*>(sp + 16);
    if (right->Kind() != VALUE_REAL || left->Kind() != VALUE_REAL) return DoSet(word, sp, operand, f);
    const bool result = VM_CompareReals(word, left->real, right->real);
    VM_Tag(f, sp) = VMTAG_PLAIN;
    VM_Tag(f, sp + 16) = VMTAG_PLAIN;
    return VM_PushInt(f, sp + 32, result ? 1 : 0);
}
