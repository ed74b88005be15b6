#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Base/Console.h"
#include "Base/UTF8.h"
#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"
#include "Code/VM_Main.h"
#include "GameData/GameHeader.h"

const char* (*VM_DebuggerStringText)(uint32_t index) = nullptr;

int VM_OperandSize(int type)
{
    static const int kSizes[16] = {8, 4, 4, 8, 4, 4, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0};
    return kSizes[type & 0xF];
}

const char* VM_OpcodeName(uint32_t opcodeByte)
{
    switch (opcodeByte & 0xFF) {
    case VMO_POPV: return "popv";
    case VMO_CONV: return "conv";
    case VMO_MUL: return "mul";
    case VMO_DIV: return "div";
    case VMO_REM: return "rem";
    case VMO_MOD: return "mod";
    case VMO_ADD: return "add";
    case VMO_SUB: return "sub";
    case VMO_AND: return "and";
    case VMO_OR: return "or";
    case VMO_XOR: return "xor";
    case VMO_NEG: return "neg";
    case VMO_NOT: return "not";
    case VMO_SHL: return "shl";
    case VMO_SHR: return "shr";
    case VMO_SET: return "set";
    case VMO_POP: return "pop";
    case VMO_PUSHV: return "pushv";
    case VMO_PUSHI: return "push.i";
    case VMO_DUP: return "dup";
    case VMO_CALLV: return "call";
    case VMO_RET: return "ret";
    case VMO_EXIT: return "exit";
    case VMO_POPZ: return "popz";
    case VMO_B: return "b";
    case VMO_BT: return "bt";
    case VMO_BF: return "bf";
    case VMO_PUSHENV: return "pushenv";
    case VMO_POPENV: return "popenv";
    case VMO_PUSH: return "push";
    case VMO_PUSHL: return "push.l";
    case VMO_PUSHG: return "push.g";
    case VMO_PUSHB: return "push.b";
    case VMO_CALL: return "call";
    case VMO_BREAK: return "break";
    default: return "unknown";
    }
}

const char* VM_TypeSuffix(int type)
{
    static const char* const kSuffixes[16] = {".d", ".f", ".i", ".l", ".b", ".v", ".s", ".ds",
                                              "",   "",   "",   "",   "",   "",   "",   ".e"};
    return kSuffixes[type & 0xF];
}

const VMDebugEntry* VM_FindPosEntry(const VMBuffer* table, int32_t codeOffset)
{
    if (!table || !table->m_code || table->m_size <= 0) return nullptr;
    const auto* entries = reinterpret_cast<const VMDebugEntry*>(table->m_code);
    const int count = table->m_size / static_cast<int>(sizeof(VMDebugEntry));
    const VMDebugEntry* found = nullptr;
    for (int i = 0; i < count && entries[i].codeOffset <= codeOffset; ++i) found = &entries[i];
    return found;
}

int VM_LineFromPos(const VMDebugEntry* entry, const char* source, const char** fileName)
{
    static char s_fileName[256];
    if (fileName) *fileName = nullptr;
    if (!entry || !source) return -1;
    const int64_t n = static_cast<int64_t>(std::strlen(source));
    int64_t k = entry->sourceOffset;
    if (k > n) k = n - 1;
    if (k < 0) return -1;
    int count = 0;
    for (int64_t at = k;; --at) {
        // A step back skips continuation bytes, so each stop is a character's start.
        while (at > 0 && (static_cast<uint8_t>(source[at]) & 0xC0) == 0x80) --at;
        if (source[at] == '\n') {
            if (std::strncmp(source + at + 1, "#line ", 6) == 0) {
                const char* token = source + at + 7;
                const char* end = token;
                while (*end && *end != ' ' && *end != '\t' && *end != '\r' && *end != '\n') ++end;
                const char* number = end;
                while (*number == ' ' || *number == '\t') ++number;
                if (fileName) {
                    const size_t length = std::min(static_cast<size_t>(end - token), sizeof s_fileName - 1);
                    std::memcpy(s_fileName, token, length);
                    s_fileName[length] = '\0';
                    *fileName = s_fileName;
                }
                return count + static_cast<int>(std::strtol(number, nullptr, 10)) - 1;
            }
            ++count;
        }
        if (at == 0) break;
    }
    return count + 1;
}

const char* VM_LineText(const VMDebugEntry* entry, const char* source)
{
    static char s_text[255];
    if (!entry || !source) return "<unknown source line>";
    const int characters = UTF8_Length(source);
    int k = entry->sourceOffset;
    if (k > characters - 1) k = characters - 1;
    const char* cursor = source;
    const char* lineStart = source;
    for (int i = 0; i < k && *cursor; ++i)
        if (UTF8_DecodeAdvance(&cursor) == '\n') lineStart = cursor;
    char* out = s_text;
    cursor = lineStart;
    while (*cursor) {
        const char* before = cursor;
        const uint32_t c = UTF8_DecodeAdvance(&cursor);
        if (c == '\r' || c == '\n') break;
        if (out + UTF8_CharLength(c) > s_text + sizeof s_text - 1) break;
        UTF8_EncodeChar(&out, c);
        if (cursor == before) break;
    }
    *out = '\0';
    return s_text;
}

namespace {
// Appends the operand's text (or the branch target) to line.
void OperandText(char* line, size_t size, uint32_t word, const uint8_t* operand, int32_t position)
{
    const uint32_t opcode = word >> 24;
    const int first = static_cast<int>((word >> 16) & 0xF);
    if (!(word & 0x40000000u)) {
        if (word & 0x20000000u) {
            const int32_t offset = static_cast<int32_t>(word << 9) >> 9;
            std::snprintf(line, size, "0x%08x", static_cast<uint32_t>(position + offset * 4));
        }
        return;
    }
    uint32_t u32 = 0;
    std::memcpy(&u32, operand, std::min(4, VM_OperandSize(first)));
    switch (first) {
    case VMT_DOUBLE: {
        double d;
        std::memcpy(&d, operand, 8);
        std::snprintf(line, size, "%f", d);
        break;
    }
    case VMT_FLOAT: {
        float f;
        std::memcpy(&f, operand, 4);
        std::snprintf(line, size, "%f", static_cast<double>(f));
        break;
    }
    case VMT_INT: {
        const int32_t id = static_cast<int32_t>(u32);
        const BuiltinFunction* builtin =
            opcode == VMO_CALL && id < CALLID_SCRIPT_BASE ? CodeFunction_At(id) : nullptr;
        if (builtin) std::snprintf(line, size, "%s", builtin->name);
        else std::snprintf(line, size, "%d", id);
        break;
    }
    case VMT_LONG: {
        int64_t l;
        std::memcpy(&l, operand, 8);
        std::snprintf(line, size, "%lld", static_cast<long long>(l));
        break;
    }
    case VMT_BOOL: std::snprintf(line, size, "%s", u32 == 1 ? "true" : "false"); break;
    case VMT_VAR:
        if (u32 & VMREF_SCOPE_IN_WORD) {
            int32_t scope = static_cast<int16_t>(word & 0xFFFF);
            if (u32 & VMREF_SCOPE_INSTANCE) scope += 100000;
            const char* name = Variable_GetName(nullptr, scope, static_cast<int32_t>(u32 & VMREF_ID_MASK));
            std::snprintf(line, size, "$%s$", name ? name : "");
        } else {
            std::snprintf(line, size, "$unknown$");
        }
        break;
    case VMT_STRING: {
        const char* text = GameData_StringTableText(u32);
        std::snprintf(line, size, "\"%s\"", text ? text : "");
        break;
    }
    case VMT_DEBUGSTRING: {
        const char* text = VM_DebuggerStringText ? VM_DebuggerStringText(u32) : nullptr;
        std::snprintf(line, size, "\"%s\"", text ? text : "");
        break;
    }
    default: break;
    }
}
}  // namespace

void VM_ListCode(const char* name, const VMBuffer* buffer, tagIConsole* console)
{
    (void)name;
    if (!buffer || !buffer->m_code || !console) return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(buffer->m_code);
    const int32_t size = buffer->m_size & ~3;
    for (int32_t at = 0; at < size;) {
        uint32_t word;
        std::memcpy(&word, bytes + at, 4);
        const int first = static_cast<int>((word >> 16) & 0xF);
        const int second = static_cast<int>((word >> 20) & 0xF);
        int32_t length = 4 + ((word & 0x40000000u) ? VM_OperandSize(first) : 0);
        if (at + length > size) length = size - at;  // an operand cut off by the end is shown as far as it goes
        char line[512];
        int column = std::snprintf(line, sizeof line, "%08x : ", static_cast<uint32_t>(at));
        for (int32_t i = 0; i < length; ++i)
            column += std::snprintf(line + column, sizeof line - column, "%02x", bytes[at + i]);
        while (column < 36) line[column++] = ' ';
        const uint32_t opcode = word >> 24;
        column += std::snprintf(line + column, sizeof line - column, "%s", VM_OpcodeName(opcode));
        if (opcode != VMO_BREAK && !(opcode & 0x20)) {
            const char* firstSuffix = VM_TypeSuffix(first);
            column += std::snprintf(line + column, sizeof line - column, "%-2s", firstSuffix);
            if (!(opcode & 0x80))
                column += std::snprintf(line + column, sizeof line - column, "%-2s", VM_TypeSuffix(second));
        }
        while (column < 46) line[column++] = ' ';
        line[column] = '\0';
        if (length == 4 + ((word & 0x40000000u) ? VM_OperandSize(first) : 0))
            OperandText(line + column, sizeof line - column, word, bytes + at + 4, at);
        console->Output("%s\n", line);
        at += 4 + ((word & 0x40000000u) ? VM_OperandSize(first) : 0);
    }
}
