// Fuzzes the ini parser and its look-ups.
#include <cstdint>
#include <string>

#include "IO/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    IniFile ini;
    ini.LoadFromString(text.c_str());
    (void)ini.ReadString("DEFAULT", "Debug", nullptr);
    (void)ini.ReadInt("Windows", "SleepMargin", 0);
    return 0;
}
