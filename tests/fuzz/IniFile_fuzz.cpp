// Fuzzes the ini parser, its look-ups and its write side: the input's first
// line is a script of at most 64 changes (each byte one change, on names
// taken from the rest of the input), the rest the ini text. The text written
// back must parse again.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "Base/MemoryManager.h"
#include "IO/IniFile.h"

namespace {
// A short name drawn from the text at a position that the byte chooses.
std::string NameFrom(const std::string& text, uint8_t byte)
{
    if (text.empty()) return "k";
    const size_t at = (size_t(byte) * 7) % text.size();
    return text.substr(at, 1 + byte % 4);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = input.find('\n');
    const std::string script = input.substr(0, lineEnd == std::string::npos ? 0 : std::min<size_t>(lineEnd, 64));
    const std::string text = lineEnd == std::string::npos ? input : input.substr(lineEnd + 1);

    IniFile ini;
    ini.LoadFromString(text.c_str());
    (void)ini.ReadString("DEFAULT", "Debug", nullptr);
    (void)ini.ReadInt("Windows", "SleepMargin", 0);
    for (uint8_t op : script) {
        const std::string section = NameFrom(text, op);
        const std::string key = NameFrom(text, uint8_t(op * 31));
        switch (op % 5) {
        case 0: ini.WriteString(section.c_str(), key.c_str(), text.substr(0, op % 16).c_str()); break;
        case 1: ini.DeleteKey(section.c_str(), key.c_str()); break;
        case 2: ini.DeleteSection(section.c_str()); break;
        case 3: ini.WriteString("SYSTEM_COMMAND", "INI_FILE_FLUSH", "NOW"); break;
        default: ini.WriteString(section.c_str(), nullptr, "v"); break;
        }
    }
    int length = 0;
    char* written = ini.WriteBack(&length);
    if (int(std::strlen(written)) != length) __builtin_trap();  // names and values hold no NUL
    IniFile again;
    again.LoadFromString(written);
    QS_FREE(written);
    return 0;
}
