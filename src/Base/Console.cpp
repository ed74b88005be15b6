#include "Base/Console.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Base/TextCopy.h"

constinit LogSettings g_LogSettings;

namespace {
// Holds a console that is built before any dynamic initialiser runs and is
// never destroyed, so code running during static initialisation or in exit
// handlers can always log.
template <class T>
union Lasting {
    T console;
    template <class... Args>
    explicit constexpr Lasting(Args... args) : console(args...) {}
    ~Lasting() {}
};

constinit Lasting<TConsole> s_logConsole{static_cast<unsigned char>(1)};
constinit Lasting<TConsole> s_outputConsole{static_cast<unsigned char>(0)};
constinit Lasting<DummyConsole> s_dummyVerbose{};
constinit Lasting<TConsole> s_verboseAsOutput{static_cast<unsigned char>(0)};

constexpr int kFileBufferSize = 4096;
constexpr int kStreamScratchSize = 16384;
constexpr int kStreamInitialCapacity = 102400;

// Each file named on the command line that cannot be written is reported once.
bool s_outputFileReported = false;
bool s_debugOutputFileReported = false;

void ReportUnwritable(const char* path, bool* reported)
{
    if (*reported) return;
    *reported = true;
    std::fprintf(stderr, "The log file %s cannot be written\n", EscapeControlBytes(path).c_str());
    std::fflush(stderr);
}

void AppendToFile(const char* path, const char* text, bool* reported)
{
    FILE* f = std::fopen(path, "a+");
    bool written = f != nullptr;
    if (f) {
        written = std::fputs(text, f) >= 0;
        written = std::fclose(f) == 0 && written;
    }
    if (!written) ReportUnwritable(path, reported);
}

// False (and reported) when the path does not fit: a cut path would name
// another file.
bool KeepPath(char (&dst)[kLogPathCapacity], const char* src, bool* reported)
{
    if (!src) src = "";
    *reported = false;
    if (std::strlen(src) >= sizeof dst) {
        ReportUnwritable(src, reported);
        return false;
    }
    std::memcpy(dst, src, std::strlen(src) + 1);
    return true;
}
}  // namespace

constinit tagIConsole* LogConsole = &s_logConsole.console;
constinit tagIConsole* OutputConsole = &s_outputConsole.console;
constinit tagIConsole* VerboseConsole = &s_dummyVerbose.console;

void Console_HostLog(const char* text) { LogConsole->Output("%s", text); }

void TConsole::Output(const char* format, ...)
{
    if (!format) return;
    va_list args;
    va_start(args, format);
    if (!g_LogSettings.stdoutSuppressed) {
        va_list copy;
        va_copy(copy, args);
        std::vprintf(format, copy);
        va_end(copy);
    }
    const bool toDebugFile = m_selector == 1 && g_LogSettings.hasDebugOutputFile;
    const bool toOutputFile = m_selector == 0 && g_LogSettings.hasOutputFile;
    if (toDebugFile || toOutputFile) {
        char buffer[kFileBufferSize];
        std::vsnprintf(buffer, sizeof buffer, format, args);
        if (toDebugFile) AppendToFile(g_LogSettings.debugOutputFile, buffer, &s_debugOutputFileReported);
        else AppendToFile(g_LogSettings.outputFile, buffer, &s_outputFileReported);
    }
    va_end(args);
    std::fflush(stdout);
}

TErrStreamConsole::TErrStreamConsole()
    : m_capacity(kStreamInitialCapacity), m_length(0),
      m_text(static_cast<char*>(QS_ALLOC(kStreamInitialCapacity, false)))
{
    m_text[0] = '\0';
}

TErrStreamConsole::~TErrStreamConsole()
{
    QS_FREE(m_text);
}

void TErrStreamConsole::Output(const char* format, ...)
{
    if (!format) return;
    static char scratch[kStreamScratchSize];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(scratch, sizeof scratch, format, args);
    va_end(args);
    if (n < 0) return;
    if (n >= kStreamScratchSize) n = kStreamScratchSize - 1;
    if (m_length + n + 2 >= m_capacity) {
        m_capacity += n + 1024;
        m_text = static_cast<char*>(QS_REALLOC(m_text, m_capacity));
    }
    std::memcpy(m_text + m_length, scratch, n);
    m_length += n;
    m_text[m_length] = '\0';
}

void Console_SetOutputFile(const char* path)
{
    g_LogSettings.hasOutputFile = KeepPath(g_LogSettings.outputFile, path, &s_outputFileReported);
}

void Console_SetDebugOutputFile(const char* path)
{
    g_LogSettings.hasDebugOutputFile =
        KeepPath(g_LogSettings.debugOutputFile, path, &s_debugOutputFileReported);
    VerboseConsole = &s_verboseAsOutput.console;
}

void Console_SetStdoutSuppressed(bool suppressed)
{
    g_LogSettings.stdoutSuppressed = suppressed;
}

void Console_Flush()
{
    std::fflush(stdout);
    std::fflush(stderr);
}

void Console_Reset()
{
    g_LogSettings = LogSettings{};
    LogConsole = &s_logConsole.console;
    OutputConsole = &s_outputConsole.console;
    VerboseConsole = &s_dummyVerbose.console;
}
