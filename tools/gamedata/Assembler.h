#pragma once
// A small assembler for the runner's bytecode, so that tests can write code
// entries as text. One instruction per line; ';' starts a comment.
//
//   loop:                     a label (a branch target)
//   push.d 1.5                constants: push.d .f .i .l .b (0/1/true/false) .s (string index) .e (immediate)
//   pushi -3                  the 16-bit immediate push
//   push.v self.100001        a variable: scope.id; scope is a number or self, other, all, noone,
//                             global, builtin, local, localself, unset, or "stack" (popped);
//                             a trailing [] pops an array index
//   pushl 100000 / pushg 100002 / pushb 12    the fast pushes of locals, globals and built-ins
//   pop.v.i self.100001       store: first type (v: value under the operands, i: on top), value type
//   pop.v.del -9.100001       the delete form (.decl: the declaration form)
//   popv.v.v 5                store through the reference on the stack (scope in the word)
//   popz.v / dup.v 1 / dup.v 0x11 swap        discard, duplicate, swap (A<<4|B)
//   conv.i.d                  convert from the first type to the second
//   add.i.i (sub mul div rem mod and or xor shl shr)   first type = right (top) operand
//   neg.d / not.b
//   set.d.d eq                comparisons: lt le eq ne ge gt, or a number
//   b label / bt label / bf label / pushenv label [object] / popenv label [exit]
//   call.i 500 2              call id with an argument count
//   ret.v / exit.i / break 0xffff
//   .word 0xdeadbeef          a raw word
#include <cstdint>
#include <string>
#include <vector>

namespace gamedata {

struct Assembled {
    std::vector<uint32_t> words;
    std::string error;   // empty on success; otherwise "line N: ..."
};

Assembled Assemble(const std::string& source);

}  // namespace gamedata
