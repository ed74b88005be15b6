// Fuzzes the text readers of the data structures. The first byte chooses the
// structure, the legacy flag and whether the rest is the text itself (the
// legacy map text, stray characters) or bytes that are hex-encoded into one.
// Whatever a reader accepts must write and read back.
#include <cstdint>
#include <string>
#include <type_traits>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Buffer/MemoryStream.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Priority.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DS_Stack.h"
#include "DataStructure/DS_Text.h"

namespace {
// Writes what the structure holds and reads it into a fresh one; the text.
template <typename T>
std::string WriteAndReadBack(T& structure, T& again)
{
    char* written = structure.Write();
    const std::string text = written ? written : "";
    if (!again.Read(written, false)) __builtin_trap();
    QS_FREE(written);
    return text;
}

// A value of a kind the current form does not carry (a null kept from the
// previous form) is written as its kind alone and reads back as undefined:
// after one pass the text must stay as it is.
template <typename T>
void ReadWriteRead(T& structure, const char* text, bool legacy)
{
    if (!structure.Read(text, legacy)) return;
    T once, twice;
    WriteAndReadBack(structure, once);
    const std::string a = WriteAndReadBack(once, twice);
    T thrice;
    const std::string b = WriteAndReadBack(twice, thrice);
    // A map keeps one of repeated keys, so only the others compare whole.
    if (!std::is_same_v<T, DsMap> && a != b) __builtin_trap();
}

struct GridOf : DsGrid {
    GridOf() : DsGrid(0, 0) {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Console_SetStdoutSuppressed(true);
        return true;
    }();
    (void)quiet;
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    std::string text;
    if (mode & 0x80) {
        text.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
        text = text.c_str();  // up to the first NUL, as a text argument holds
    } else {
        static const char kDigits[] = "0123456789ABCDEF";
        for (size_t i = 1; i < size; ++i) {
            text += kDigits[data[i] >> 4];
            text += kDigits[data[i] & 15];
        }
    }
    const bool legacy = mode & 0x40;
    switch ((mode & 0x3F) % 7) {
    case 0: { CDS_Stack s; ReadWriteRead(s, text.c_str(), legacy); break; }
    case 1: { CDS_Queue q; ReadWriteRead(q, text.c_str(), legacy); break; }
    case 2: { CDS_List l; ReadWriteRead(l, text.c_str(), legacy); break; }
    case 3: { DsMap m; ReadWriteRead(m, text.c_str(), legacy); break; }
    case 4: { CDS_Priority p; ReadWriteRead(p, text.c_str(), legacy); break; }
    case 5: { GridOf g; ReadWriteRead(g, text.c_str(), legacy); break; }
    default: {
        MemoryStream stream(0);
        stream.FromHexString(text.c_str());
        for (int32_t layout = 0; layout < 3; ++layout) {
            stream.SetPosition(0);
            ScriptValue value = ScriptValue_Undefined();
            // A record cut short may read nothing more: stop when nothing moves.
            for (int64_t before = -1; stream.GetPosition() > before && stream.GetPosition() < stream.GetSize();) {
                before = stream.GetPosition();
                if (!ReadValue(&value, &stream, layout)) break;
            }
            ScriptValue_SetUndefined(&value);
        }
        break;
    }
    }
    return 0;
}
