#include "Function/Function_DSSecure.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "Base/Base64.h"
#include "Base/MemoryManager.h"
#include "Base/Sha1.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Json.h"
#include "Function/Function_DSRoutines.h"
#include "Host/Host_MachineId.h"
#include "IO/LoadSave.h"

namespace {
void Digest(const std::string& text, uint32_t out[5])
{
    Sha1Context context;
    Sha1_Init(&context);
    Sha1_Update(&context, text.c_str(), text.size() + 1);  // the NUL too
    Sha1_Final(&context);
    std::memcpy(out, context.H, sizeof context.H);
}

// The header text followed by the base64 of the map's JSON text and its NUL;
// a handle that names no map saves the empty object.
std::string SecureText(int32_t map)
{
    char* header = SecureSave_MakeHeader();
    char* json = nullptr;
    JSON_EncodeDsMap(map, &json);
    const char* text = json ? json : "{ }";
    char* body = Base64_Encode(reinterpret_cast<const uint8_t*>(text), std::strlen(text) + 1);
    std::string saved = std::string(header ? header : "") + body;
    QS_FREE(header);
    QS_FREE(json);
    QS_FREE(body);
    return saved;
}

// The map a save's bytes hold, or -1 when they are too short, carry another
// machine's header or no JSON object. *used receives the bytes of the save,
// header included, that the body's data reached.
int32_t LoadSecure(const char* bytes, size_t size, size_t* used)
{
    *used = size < SECURE_HEADER_LENGTH ? size : SECURE_HEADER_LENGTH;
    if (size < SECURE_HEADER_LENGTH) return -1;
    const std::string header(bytes, SECURE_HEADER_LENGTH);
    if (!SecureSave_CheckHeader(header.c_str())) return -1;
    const std::string body(bytes + SECURE_HEADER_LENGTH, size - SECURE_HEADER_LENGTH);
    std::string json(body.size() * 3 / 4 + 4, '\0');
    const size_t decoded = Base64_Decode(body.c_str(), reinterpret_cast<uint8_t*>(json.data()), json.size() - 1);
    // The data ends with the JSON text's NUL: four characters carry three bytes.
    const size_t data = std::min(std::strlen(json.c_str()) + 1, decoded);
    *used += std::min((data + 2) / 3 * 4, body.size());
    return JSON_DecodeIntoMap(json.c_str(), -1);
}
}  // namespace

char* SecureSave_MakeHeader()
{
    // The identity is never empty: a machine without one is "NOT SUPPORTED".
    const std::string identity = Host_MachineId();
    uint32_t hash = 0;
    for (unsigned char c : identity) hash = hash * 31 + c;
    const size_t position = hash % identity.size();
    char code[4];
    std::snprintf(code, sizeof code, "%03d", (static_cast<unsigned char>(identity[position]) * 97 + 31) % 1000);
    uint32_t marked[5], coded[5];
    Digest(identity.substr(0, position) + code + identity.substr(position), marked);
    Digest(code, coded);
    auto* header = static_cast<char*>(QS_ALLOC(SECURE_HEADER_LENGTH + 1, false));
    if (!header) return nullptr;
    for (int i = 0; i < 5; ++i) std::snprintf(header + 16 * i, 17, "%08x%08x", marked[i], coded[i]);
    return header;
}

bool SecureSave_CheckHeader(const char* text)
{
    char* header = SecureSave_MakeHeader();
    const bool same = header && text && std::strncmp(header, text, SECURE_HEADER_LENGTH) == 0;
    QS_FREE(header);
    return same;
}

DS_ROUTINE(F_DsMapSecureSave)
{
    ScriptValue_SetReal(result, 0.0);
    const int32_t map = Arg_Int32(args, 0);
    const char* name = Arg_String(args, 1);
    if (!name) return;
    const std::string saved = SecureText(map);
    LoadSave_WriteSaveFile(name, saved.data(), saved.size());
}

DS_ROUTINE(F_DsMapSecureLoad)
{
    ScriptValue_SetReal(result, -1.0);
    const char* name = Arg_String(args, 0);
    uint32_t size = 0;
    uint8_t* bytes = name ? LoadSave_ReadSaveFile(name, &size) : nullptr;
    if (!bytes) return;
    size_t used;
    ScriptValue_SetReal(result, LoadSecure(reinterpret_cast<const char*>(bytes), size, &used));
    QS_FREE(bytes);
}

DS_ROUTINE(F_DsMapSecureSaveBuffer)
{
    const int32_t map = Arg_Int32(args, 0);
    const int32_t buffer = Arg_Int32(args, 1);
    ScriptValue text = ScriptValue_Undefined();
    ScriptValue_SetString(&text, SecureText(map).c_str());
    ScriptValue_SetReal(result, Buffer_Write(buffer, eBuffer_Text, &text));
    ScriptValue_SetUndefined(&text);
}

// Reads from the buffer's position to its end, then leaves the position just
// after the body, so that whatever the game wrote after it reads on.
DS_ROUTINE(F_DsMapSecureLoadBuffer)
{
    ScriptValue_SetReal(result, -1.0);
    IBuffer* buffer = Buffer_Get(Arg_Int32(args, 0));
    if (!buffer) return;
    std::string bytes(static_cast<size_t>(std::max(buffer->Size(), 0)), '\0');
    const int32_t read = buffer->ReadBytes(bytes.data(), 1, static_cast<int32_t>(bytes.size()));
    size_t used;
    ScriptValue_SetReal(result, LoadSecure(bytes.data(), static_cast<size_t>(read), &used));
    buffer->Seek(eBuffer_SeekRelative, static_cast<int32_t>(used) - read);
}
