#pragma once
// A console that keeps every line written to it, for checking log texts.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "Base/Console.h"

class RecordingConsole : public tagIConsole {
public:
    void Output(const char* format, ...) override __attribute__((format(printf, 2, 3)))
    {
        char line[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        text += line;
    }
    bool Has(const std::string& part) const { return text.find(part) != std::string::npos; }
    std::string text;
};
