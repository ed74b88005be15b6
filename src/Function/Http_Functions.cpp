#include "Function/Http_Functions.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "Code/Code_ValueConvert.h"
#include "IO/LoadSave.h"
#include "Network/Http_Client.h"

namespace {
constexpr int32_t kHttpEvent = 62;

bool UrlAllowed(const char* url)
{
    return url && (std::strncmp(url, "http://", 7) == 0 || std::strncmp(url, "https://", 8) == 0);
}

// The map fields every HTTP result shares.
int32_t ResultMap(HTTP_REQ_CONTEXT* record)
{
    const int32_t map = DsMap_Create();
    if (map < 0) return -1;
    DsMap_AddIntValue(map, "id", record->id);
    DsMap_AddStringValue(map, "url", record->url ? record->url : "");
    DsMap_AddIntValue(map, "http_status", record->httpStatus);
    DsMap_AddIntValue(map, "response_headers", record->ownMap);
    return map;
}

int32_t CompleteString(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap)
{
    const int32_t received = record->received;
    const std::string text(reinterpret_cast<const char*>(record->data), record->data ? size_t(received) : 0);
    const int32_t map = ResultMap(record);
    if (map >= 0) {
        DsMap_AddStringValue(map, "result", text.c_str());
        DsMap_AddIntValue(map, "status", received > 0 ? 0 : -1);
    }
    QS_FREE(userData);
    record->userData = nullptr;
    *outMap = map;
    return kHttpEvent;
}

int32_t CompleteFile(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap)
{
    const char* path = static_cast<const char*>(userData);
    const bool written = path && LoadSave_WriteSaveFile(path, record->data, size_t(record->received.load()));
    const int32_t map = ResultMap(record);
    if (map >= 0) {
        DsMap_AddStringValue(map, "result", path ? path : "");
        DsMap_AddIntValue(map, "status", written ? 0 : -1);
    }
    QS_FREE(userData);
    record->userData = nullptr;
    *outMap = map;
    return kHttpEvent;
}

// The user data of a reply that goes into a buffer: its index.
struct BufferTarget {
    int32_t buffer;
};

int32_t CompleteBuffer(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap)
{
    auto* target = static_cast<BufferTarget*>(userData);
    const int32_t received = record->received;
    // Game code may have deleted the buffer while the request ran.
    IBuffer* buffer = target ? Buffer_Get(target->buffer) : nullptr;
    int32_t position = -1;
    if (buffer && received > 0) {
        position = IBuffer_CopyMemoryIn(buffer, record->data, received, 0, received, buffer->Position(), true, false,
                                        false);
        if (position >= 0) buffer->Seek(eBuffer_SeekStart, position);
    } else if (buffer) {
        position = buffer->Position();
    }
    const int32_t map = ResultMap(record);
    if (map >= 0) {
        DsMap_AddIntValue(map, "result", position);
        DsMap_AddIntValue(map, "contentLength", received);
        DsMap_AddIntValue(map, "sizeDownloaded", received);
        DsMap_AddIntValue(map, "status", received > 0 && position >= 0 ? 0 : -1);
    }
    delete target;
    record->userData = nullptr;
    *outMap = map;
    return kHttpEvent;
}

// Starting: the id the record will get, or -1 when no request was made.
double Started(bool made, int32_t id)
{
    return made ? id : -1;
}

void F_HttpGet(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    HttpErrorLogging = true;
    ScriptValue_SetReal(result, -1);
    const char* url = Arg_String(args, 0);
    if (!UrlAllowed(url)) return;
    const int32_t id = AsyncId_Peek();
    ScriptValue_SetReal(result, Started(Http_Get(url, CompleteString, nullptr, nullptr), id));
}

void F_HttpGetFile(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    HttpErrorLogging = true;
    ScriptValue_SetReal(result, -1);
    const char* url = Arg_String(args, 0);
    const char* name = Arg_String(args, 1);
    if (!UrlAllowed(url)) return;
    char path[1024];
    LoadSave_MakeSavePath(path, sizeof path, name);
    EnsureFileDirectory(path);
    const size_t n = std::strlen(path) + 1;
    auto* copy = static_cast<char*>(QS_ALLOC(n, false));
    std::memcpy(copy, path, n);
    const int32_t id = AsyncId_Peek();
    const bool made = Http_Get(url, CompleteFile, nullptr, copy);
    if (!made) QS_FREE(copy);
    ScriptValue_SetReal(result, Started(made, id));
}

void F_HttpPostString(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    HttpErrorLogging = true;
    ScriptValue_SetReal(result, -1);
    const char* url = Arg_String(args, 0);
    const char* body = Arg_String(args, 1);
    if (!UrlAllowed(url)) return;
    const int32_t id = AsyncId_Peek();
    ScriptValue_SetReal(result, Started(Http_Post(url, body ? body : "", CompleteString, nullptr, nullptr), id));
}

void F_HttpRequest(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    HttpErrorLogging = true;
    ScriptValue_SetReal(result, -1);
    const char* url = Arg_String(args, 0);
    const char* method = Arg_String(args, 1);
    int64_t contentLength = -1;
    char* headers = Http_BuildHeaderBlock(Arg_Int32(args, 2), &contentLength);
    if (!UrlAllowed(url)) {
        QS_FREE(headers);
        return;
    }
    const int32_t id = AsyncId_Peek();
    bool made = false;
    if (args[3].Kind() == VALUE_STRING) {
        const char* text = ScriptValue_StringText(&args[3]);
        made = Http_Request(url, method, headers, text && text[0] ? text : nullptr, -1, CompleteString, nullptr,
                            nullptr);
    } else {
        const int32_t index = Arg_Int32(args, 3);
        IBuffer* buffer = Buffer_Get(index);
        if (buffer && buffer->Position() == 0) {
            auto* target = new BufferTarget{index};
            made = Http_Request(url, method, headers, nullptr, 0, CompleteBuffer, nullptr, target);
            if (!made) delete target;
        } else if (buffer) {
            // Sent from the start of the data, never past its end: the
            // announced length, else up to the first zero byte, are cut to it.
            const int64_t size = buffer->Size();
            int64_t length = contentLength >= 0 ? contentLength : -1;
            if (length < 0) {
                const void* zero = size > 0 ? std::memchr(buffer->Data(), 0, size_t(size)) : nullptr;
                length = zero ? static_cast<const uint8_t*>(zero) - buffer->Data() : size;
            }
            if (length > size) length = size;
            made = Http_Request(url, method, headers, buffer->Data() ? buffer->Data() : reinterpret_cast<const uint8_t*>(""),
                                int32_t(length), CompleteString, nullptr, nullptr);
        } else {
            made = Http_Request(url, method, headers, nullptr, 0, CompleteString, nullptr, nullptr);
        }
    }
    QS_FREE(headers);
    ScriptValue_SetReal(result, Started(made, id));
}

// The text of a key or value: strings as they are, anything else as string() gives it.
std::string Text(const ScriptValue* value)
{
    if (value->Kind() == VALUE_STRING) {
        const char* text = ScriptValue_StringText(value);
        return text ? text : "";
    }
    char* text = ValueToNewString(value);
    std::string out = text ? text : "";
    Code_FreeMemory(text);
    return out;
}
}  // namespace

char* Http_BuildHeaderBlock(int32_t handle, int64_t* contentLength)
{
    if (contentLength) *contentLength = -1;
    std::string block;
    {
        DsMutexLock lock;
        if (DsMap* map = DsMapTable.Get(handle)) {
            map->ForEach([&](DsMapElement* element) {
                const std::string key = Text(&element->key);
                const std::string value = Text(&element->value);
                if (contentLength && key == "Content-Length") *contentLength = std::strtoll(value.c_str(), nullptr, 10);
                block += key + ": " + value + "\r\n";
            });
        }
    }
    auto* text = static_cast<char*>(QS_ALLOC(block.size() + 1, false));
    if (text) std::memcpy(text, block.c_str(), block.size() + 1);
    return text;
}

void InitHttpFunctions()
{
    CodeFunction_Register("http_get", F_HttpGet, 1, 0);
    CodeFunction_Register("http_get_file", F_HttpGetFile, 2, 0);
    CodeFunction_Register("http_post_string", F_HttpPostString, 2, 0);
    CodeFunction_Register("http_request", F_HttpRequest, 4, 0);
}
