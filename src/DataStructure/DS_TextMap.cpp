// The text form of maps, and the legacy map text of "F:K:V," entries.
#include <cstring>

#include "Buffer/MemoryStream.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Text.h"

namespace {
// One field of a legacy entry: a string of hex bytes or a hex double.
void ReadLegacyField(ScriptValue* value, const char** cursor, bool isString)
{
    if (!isString) {
        *value = ScriptValue_Real(DsText_ReadHexReal(cursor));
        return;
    }
    *value = ScriptValue_Undefined();
    char* text = DsText_ReadHexString(cursor);
    if (text)
        ScriptValue_AdoptString(value, text, static_cast<int32_t>(std::strlen(text)));
    else
        ScriptValue_SetString(value, "");
}
}  // namespace

char* DsMap::Write()
{
    MemoryStream stream(0);
    stream.WriteInt32(DS_MAGIC_MAP);
    stream.WriteInt32(Size());
    ForEach([&stream](DsMapElement* element) {
        WriteValue(&stream, &element->key);
        WriteValue(&stream, &element->value);
    });
    return DsText_Finish(&stream);
}

bool DsMap::Read(const char* text, bool /*legacy*/)
{
    m_table.Clear(HASH_DELETE_VALUE);
    if (!text || !text[0] || !text[1]) return false;
    if (text[1] == ':') {
        // Entries F ':' K ':' V, one separator between entries; F's bit 0
        // makes the key a string, bit 1 the value. Every step moves on by a
        // character at least, so any text ends.
        const char* at = text;
        while (*at) {
            const int flags = *at++ - '0';
            if (*at) ++at;
            ScriptValue key, value;
            ReadLegacyField(&key, &at, flags & 1);
            if (*at) ++at;
            ReadLegacyField(&value, &at, flags & 2);
            AddDuplicate(&key, &value);
            ScriptValue_SetUndefined(&key);
            ScriptValue_SetUndefined(&value);
            if (*at) ++at;
        }
        return true;
    }
    MemoryStream stream(0);
    if (DsText_Open(&stream, text, DS_MAGIC_MAP, false) < 0) return false;
    const int32_t count = stream.ReadInt32();
    if (!DsText_CountFits(&stream, int64_t{count} * 2)) return false;
    ScriptValue key = ScriptValue_Undefined(), value = ScriptValue_Undefined();
    bool ok = true;
    for (int32_t i = 0; i < count && ok; ++i) {
        ok = ReadValue(&key, &stream, DS_LAYOUT_CURRENT) && ReadValue(&value, &stream, DS_LAYOUT_CURRENT);
        if (ok) Add(&key, &value);
    }
    ScriptValue_SetUndefined(&key);
    ScriptValue_SetUndefined(&value);
    if (!ok) m_table.Clear(HASH_DELETE_VALUE);
    return ok;
}
