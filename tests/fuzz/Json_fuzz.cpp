// Fuzzes json_decode and the map and list building behind it: any text gives
// a map or -1, and a map's JSON text reads back into a map whose JSON text is
// the same.
#include <cstdint>
#include <string>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Json.h"

namespace {
std::string Encode(int32_t map)
{
    char* text = nullptr;
    JSON_EncodeDsMap(map, &text);
    if (!text) __builtin_trap();
    const std::string out = text;
    QS_FREE(text);
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Console_SetStdoutSuppressed(true);
        return true;
    }();
    (void)quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int32_t map = JSON_DecodeText(text.c_str());
    if (map < 0) return 0;
    const std::string once = Encode(map);
    const int32_t again = JSON_DecodeIntoMap(once.c_str(), -1);
    if (again < 0) __builtin_trap();
    if (Encode(again) != once) __builtin_trap();
    DsMap_Destroy(map);
    DsMap_Destroy(again);
    return 0;
}
