#include "Code/CodeChunks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"
#include "Code/VM_Main.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"

namespace {
constexpr uint32_t kOldRecordSize = 8;
constexpr uint32_t kNewRecordSize = 20;
constexpr uint32_t kVariHeadSize = 12;
constexpr uint32_t kNewVariRecordSize = 20;
constexpr uint32_t kOldVariRecordSize = 12;
constexpr uint32_t kFuncRecordSize = 12;
constexpr uint32_t kUseSize = 8;  // instruction word and operand word

// The CODE payload's patched copy, and where the payload lies in the image.
// The copy starts as many bytes into its block as the payload into its word,
// so that it keeps the payload's place among the file's words: bytecode on a
// whole word of the file is a whole word in memory, wherever chunks before it
// ended.
uint8_t* s_codeBlock = nullptr;
uint8_t* s_code = nullptr;
uint32_t s_codeAt = 0;
uint32_t s_codeLength = 0;
const uint8_t* s_recordList = nullptr;  // u32 record offsets
uint32_t s_recordCount = 0;
// The bytecode of each record (null for an empty slot); records that share
// their bytecode share one buffer, which the first of them owns.
VMBuffer** s_buffers = nullptr;
bool* s_ownsBuffer = nullptr;

uint32_t ReadWord(const uint8_t* p)
{
    return GameData_U32(p);
}

void WriteWord(uint8_t* p, uint32_t v)
{
    std::memcpy(p, &v, 4);
}

// Where a record's bytecode lies: absolute offset and length.
bool LocateBytecode(uint32_t record, uint32_t index, uint32_t* at, uint32_t* length, uint32_t* start)
{
    const uint8_t* r = GameData + record;
    *length = ReadWord(r + 4);
    *start = 0;
    if (NewCodeFormat) {
        const int64_t pos = static_cast<int64_t>(record) + 12 + static_cast<int32_t>(ReadWord(r + 12));
        *start = ReadWord(r + 16);
        if (pos < 0 || pos > UINT32_MAX)
            return GameData_Fail("CODE", "code entry %u: its bytecode offset leaves the file", index);
        *at = static_cast<uint32_t>(pos);
    } else {
        *at = record + kOldRecordSize;
    }
    if (*at < s_codeAt || *at - s_codeAt > s_codeLength || *length > s_codeLength - (*at - s_codeAt))
        return GameData_Fail("CODE", "code entry %u: %u bytes of bytecode at offset %u lie outside the chunk", index,
                             *length, *at);
    // Offsets count from the start of the file, and so do its words.
    if (*at % 4 != 0 || *length % 4 != 0)
        return GameData_Fail("CODE", "code entry %u: bytecode at offset %u of %u bytes is not in whole words", index,
                             *at, *length);
    if (*start > *length || *start % 4 != 0)
        return GameData_Fail("CODE", "code entry %u: start offset %u lies outside its %u bytes of bytecode", index,
                             *start, *length);
    return true;
}

// Walks a use chain of count uses from first, giving each operand word's
// position in the copy. Every link must leave room for the instruction and its
// operand inside the code.
template <typename Patch>
bool WalkUses(const char* chunk, const char* name, uint32_t count, uint32_t first, int distanceBits, Patch patch)
{
    if (count == 0) return true;
    if (!s_code)
        return GameData_Fail(chunk, "%s has %u uses but the file has no code before this chunk", name, count);
    // Uses are distinct instructions: more than fit in the code is garbage.
    if (count > s_codeLength / kUseSize)
        return GameData_Fail(chunk, "%s claims %u uses in %u bytes of code", name, count, s_codeLength);
    int64_t at = first;
    for (uint32_t i = 0; i < count; ++i) {
        if (at < s_codeAt || at - s_codeAt > s_codeLength - kUseSize)
            return GameData_Fail(chunk, "use %u of %s at offset %lld lies outside the code (offsets %u to %u)", i,
                                 name, static_cast<long long>(at), s_codeAt, s_codeAt + s_codeLength);
        uint8_t* operand = s_code + (at - s_codeAt) + 4;
        const uint32_t word = ReadWord(operand);
        // The distance fills the low bits; sign-extend it.
        const int shift = 32 - distanceBits;
        const int32_t distance = static_cast<int32_t>(word << shift) >> shift;
        patch(operand, word);
        at += distance;
    }
    return true;
}

bool PatchVariableUses(const char* name, int32_t id, uint32_t count, uint32_t first, int distanceBits)
{
    return WalkUses("VARI", name, count, first, distanceBits, [id](uint8_t* operand, uint32_t word) {
        WriteWord(operand, (word & 0xF0000000u) | (static_cast<uint32_t>(id) & 0x0FFFFFFFu));
    });
}

bool PatchFunctionUses(const char* name, int32_t id, uint32_t count, uint32_t first)
{
    return WalkUses("FUNC", name, count, first, 32,
                    [id](uint8_t* operand, uint32_t) { WriteWord(operand, static_cast<uint32_t>(id)); });
}

bool ReadName(const char* chunk, const uint8_t* field, const char** name)
{
    if (!GameData_String(chunk, ReadWord(field), name)) return false;
    if (!*name) return GameData_Fail(chunk, "a record has no name");
    return true;
}

// Old handler index to the current one.
const uint8_t kOldOpcodeMap[32] = {0,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                   20, 21, 21, 21, 21, 21, 21, 22, 23, 24, 25, 26, 27, 28, 29, 31};
constexpr uint32_t kOpcodeSet = 21;

// One buffer per distinct bytecode (place and length) of the checked records.
void MakeBuffers()
{
    s_buffers = static_cast<VMBuffer**>(QS_ALLOC(sizeof(VMBuffer*) * (s_recordCount + 1), true));
    s_ownsBuffer = static_cast<bool*>(QS_ALLOC(sizeof(bool) * (s_recordCount + 1), true));
    std::map<std::pair<const uint32_t*, uint32_t>, VMBuffer*> made;
    for (uint32_t i = 0; i < s_recordCount; ++i) {
        CodeRecordView record;
        if (!CodeChunk_GetRecord(i, &record)) continue;
        VMBuffer*& buffer = made[{record.bytecode, record.length}];
        if (!buffer) {
            buffer = new VMBuffer();
            buffer->m_size = static_cast<int32_t>(record.length);
            buffer->m_argumentCount = record.argumentCount;
            buffer->m_code = record.bytecode;
            s_ownsBuffer[i] = true;
        }
        // A shared buffer makes room for the locals of every entry that runs it.
        buffer->m_localsCount = std::max(buffer->m_localsCount, record.localsCount);
        s_buffers[i] = buffer;
    }
}

bool ResolveFunctions(const uint8_t* records, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* r = records + kFuncRecordSize * i;
        const char* name = nullptr;
        if (!ReadName("FUNC", r, &name)) return false;
        int32_t id = CALLID_NONE;
        if (!CodeFunction_Find(name, &id)) CodeLoad_Error("Error on load\nUnable to find function %s\n", name);
        if (!PatchFunctionUses(name, id, ReadWord(r + 4), ReadWord(r + 8))) return false;
    }
    return true;
}
}  // namespace

void CodeLoad_Error(const char* format, const char* name)
{
    char text[1024];
    std::snprintf(text, sizeof text, format, name ? name : "");
    ShowRuntimeError(text, true);
    ErrorReport_EndAfterFatal(1);
}

bool CODE_CheckRecords(const uint8_t* payload, uint32_t length)
{
    CodeChunks_Free();
    uint32_t count = 0;
    if (!GameData_CheckList("CODE", payload, length, &count)) return false;
    s_codeAt = static_cast<uint32_t>(payload - GameData);
    s_codeLength = length;
    s_recordList = payload + 4;
    const uint32_t recordSize = NewCodeFormat ? kNewRecordSize : kOldRecordSize;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t record = ReadWord(s_recordList + 4 * i);
        if (record == 0) continue;  // an empty slot: that entry has no code
        if (!GameData_CheckRecord("CODE", payload, length, record, recordSize, "code entry", i)) return false;
        const char* name = nullptr;
        if (!ReadName("CODE", GameData + record, &name)) return false;
        uint32_t at = 0, bytes = 0, start = 0;
        if (!LocateBytecode(record, i, &at, &bytes, &start)) return false;
    }
    const uint32_t lead = s_codeAt % 4;
    s_codeBlock = static_cast<uint8_t*>(QS_ALLOC(lead + length + 1, false));
    s_code = s_codeBlock + lead;
    std::memcpy(s_code, payload, length);
    s_recordCount = count;
    MakeBuffers();
    return true;
}

VMBuffer* CodeChunk_GetBuffer(uint32_t index)
{
    return s_buffers && index < s_recordCount ? s_buffers[index] : nullptr;
}

bool CODE_PrepareEntries()
{
    const VMHandlerSet* handlers = VM_InterpreterHandlers();
    for (uint32_t i = 0; i < s_recordCount; ++i) {
        CodeRecordView record;
        if (!CodeChunk_GetRecord(i, &record)) continue;
        char why[256];
        if (!VM_CheckCode(record.bytecode, static_cast<int32_t>(record.length), record.startOffset, why, sizeof why))
            return GameData_Fail("CODE", "code entry %u (%s): %s", i, record.name, why);
        if (handlers && !s_buffers[i]->Prepare(*handlers))
            return GameData_Fail("CODE", "code entry %u (%s): no memory to prepare its %u bytes of bytecode", i,
                                 record.name, record.length);
    }
    return true;
}

bool CodeChunk_GetRecord(uint32_t index, CodeRecordView* out)
{
    if (!s_code || index >= s_recordCount) return false;
    const uint32_t record = ReadWord(s_recordList + 4 * index);
    if (record == 0) return false;
    uint32_t at = 0, length = 0, start = 0;
    LocateBytecode(record, index, &at, &length, &start);  // checked when the chunk was read
    const uint8_t* r = GameData + record;
    out->name = reinterpret_cast<const char*>(GameData + ReadWord(r));
    out->bytecode = reinterpret_cast<const uint32_t*>(s_code + (at - s_codeAt));
    out->length = length;
    out->localsCount = NewCodeFormat ? GameData_U16(r + 8) : 0;
    out->argumentCount = NewCodeFormat ? GameData_U16(r + 10) : 0;
    out->startOffset = static_cast<int32_t>(start);
    return true;
}

bool VARI_Load(const uint8_t* payload, uint32_t length, const uint8_t* data)
{
    Variable_SetCounts(0, 0, 0);
    if (!NewCodeFormat) return VARI_LoadOld(payload, length, data);
    if (length < kVariHeadSize || (length - kVariHeadSize) % kNewVariRecordSize != 0)
        return GameData_Fail("VARI", "%u bytes are not a 12-byte head and whole 20-byte records", length);
    const uint32_t globals = ReadWord(payload);
    uint32_t instances = ReadWord(payload + 4);
    if (instances == 0) instances = 2;
    const uint32_t locals = ReadWord(payload + 8);
    // The global object holds max(globals, instances) slots; ids hold 28 bits.
    constexpr uint32_t kMaxCount = 0x0FFFFFFF - VARIABLE_ID_BASE;
    if (globals > kMaxCount || instances > kMaxCount || locals > kMaxCount)
        return GameData_Fail("VARI", "variable counts %u, %u, %u are beyond what ids can name", globals, instances,
                             locals);
    Variable_SetCounts(static_cast<int32_t>(globals), static_cast<int32_t>(instances), static_cast<int32_t>(locals));
    Variable_SetTableSizes(Variable_GlobalCount(), Variable_InstanceCount(), Variable_LocalCount());
    VerboseConsole->Output("got %d global variables\n", Variable_GlobalCount());
    VerboseConsole->Output("got %d instance variables\n", Variable_InstanceCount());
    VerboseConsole->Output("got %d local variables\n", Variable_LocalCount());
    for (uint32_t at = kVariHeadSize; at < length; at += kNewVariRecordSize) {
        const uint8_t* r = payload + at;
        const char* name = nullptr;
        if (!ReadName("VARI", r, &name)) return false;
        const int32_t slot = static_cast<int32_t>(ReadWord(r + 8));
        const int32_t kind = slot == -6 ? -6 : static_cast<int32_t>(ReadWord(r + 4));
        // A slot beyond its table would address past the slots of the objects.
        if ((kind == -5 && (slot < 0 || slot >= Variable_GlobalCount())) ||
            (kind == -1 && (slot < 0 || slot >= Variable_InstanceCount())) ||
            (kind != -6 && (slot < 0 || static_cast<uint32_t>(slot) > kMaxCount)))
            return GameData_Fail("VARI", "variable %s (kind %d) has slot %d outside its table", name, kind, slot);
        const int32_t id = Variable_DefineName(name, kind, slot);
        if (id < 0) {
            CodeLoad_Error("Error on load\nUnable to find variable %s\n", name);
            continue;  // a child game goes on; its uses keep their chain words
        }
        if (!PatchVariableUses(name, id, ReadWord(r + 12), ReadWord(r + 16), 28)) return false;
    }
    return true;
}

bool VARI_LoadOld(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    if (length % kOldVariRecordSize != 0)
        return GameData_Fail("VARI", "%u bytes are not whole 12-byte records", length);
    for (uint32_t at = 0; at < length; at += kOldVariRecordSize) {
        const uint8_t* r = payload + at;
        const char* name = nullptr;
        if (!ReadName("VARI", r, &name)) return false;
        const int32_t id = Variable_FindOrAddName(name);
        if (id < 0) {
            CodeLoad_Error("Error on load\nUnable to find variable %s\n", name);
            continue;
        }
        if (!PatchVariableUses(name, id, ReadWord(r + 4), ReadWord(r + 8), 29)) return false;
    }
    return true;
}

bool CODE_Load(const uint8_t* payload, uint32_t length, const uint8_t* data)
{
    // The header pass checked and copied this very chunk.
    if (!s_code || payload != GameData + s_codeAt || length != s_codeLength)
        return GameData_Fail("CODE", "the chunk was not read by the header pass");
    if (NewCodeFormat) return true;
    for (uint32_t i = 0; i < s_recordCount; ++i) {
        CodeRecordView record;
        if (!CodeChunk_GetRecord(i, &record)) continue;
        CODE_RemapOldOpcodes(const_cast<uint32_t*>(record.bytecode), data, record.length);
    }
    return true;
}

void CODE_RemapOldOpcodes(uint32_t* bytecode, const uint8_t*, uint32_t length)
{
    for (uint32_t at = 0; at + 4 <= length;) {
        uint32_t& word = bytecode[at / 4];
        const uint32_t old = word >> 24;
        const uint32_t oldIndex = old & 0x1F;
        const uint32_t index = kOldOpcodeMap[oldIndex];
        word = (word & 0x00FFFFFFu) | (((old & 0xE0u) | index) << 24);
        if (index == kOpcodeSet) word = (word & 0xFFFF00FFu) | ((oldIndex - 16) << 8);
        at += 4;
        if (old & 0x40u) at += static_cast<uint32_t>(VM_OperandSize(static_cast<int>((word >> 16) & 0xF)));
    }
}

bool FUNC_Load(const uint8_t* payload, uint32_t length, const uint8_t* data)
{
    if (!NewCodeFormat) return FUNC_LoadOld(payload, length, data);
    if (length < 4) return GameData_Fail("FUNC", "the chunk has no function count");
    const uint32_t count = ReadWord(payload);
    if (count > (length - 4) / kFuncRecordSize)
        return GameData_Fail("FUNC", "%u function records do not fit in %u bytes", count, length);
    if (!ResolveFunctions(payload + 4, count)) return false;
    const uint32_t rest = 4 + kFuncRecordSize * count;
    return Variable_LoadLocalNames(payload + rest, length - rest);
}

bool FUNC_LoadOld(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    if (length % kFuncRecordSize != 0)
        return GameData_Fail("FUNC", "%u bytes are not whole 12-byte records", length);
    return ResolveFunctions(payload, length / kFuncRecordSize);
}

void CodeChunks_Free()
{
    for (uint32_t i = 0; s_buffers && i < s_recordCount; ++i)
        if (s_ownsBuffer[i]) delete s_buffers[i];
    QS_FREE(s_buffers);
    QS_FREE(s_ownsBuffer);
    s_buffers = nullptr;
    s_ownsBuffer = nullptr;
    QS_FREE(s_codeBlock);
    s_codeBlock = nullptr;
    s_code = nullptr;
    s_codeAt = s_codeLength = s_recordCount = 0;
    s_recordList = nullptr;
}
