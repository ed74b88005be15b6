#pragma once
// Text output of the engine: one printf-style console interface and the three
// global consoles every component writes to.

class tagIConsole {
public:
    constexpr tagIConsole() = default;
    virtual ~tagIConsole() = default;
    virtual bool IsReady(int, int) { return true; }
    virtual void Output(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;
};

// Standard output plus an optional append-mode log file chosen by its selector:
// 1 appends to the -debugoutput file, 0 to the -output file.
class TConsole : public tagIConsole {
public:
    explicit constexpr TConsole(unsigned char selector) : m_selector(selector) {}
    void Output(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    unsigned char Selector() const { return m_selector; }
    void SetSelector(unsigned char selector) { m_selector = selector; }

private:
    int m_reserved = 0;
    unsigned char m_selector;
};

// Collects text in a growing buffer (error reports are built with these).
class TErrStreamConsole : public tagIConsole {
public:
    TErrStreamConsole();
    ~TErrStreamConsole() override;
    TErrStreamConsole(const TErrStreamConsole&) = delete;
    TErrStreamConsole& operator=(const TErrStreamConsole&) = delete;
    void Output(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    const char* Text() const { return m_text; }
    int Capacity() const { return m_capacity; }
    int Length() const { return m_length; }

private:
    int m_capacity;
    int m_length;
    char* m_text;
};

class DummyConsole : public tagIConsole {
public:
    constexpr DummyConsole() = default;
    void Output(const char*, ...) override {}
};

extern tagIConsole* LogConsole;
extern tagIConsole* OutputConsole;
extern tagIConsole* VerboseConsole;
// The host layer's log sink (Host_SetLogSink, set by Runner_InstallHooks):
// host log lines go to the log console.
void Console_HostLog(const char* text);

// Longest log-file path kept, with its terminator: the longest path Linux opens.
constexpr int kLogPathCapacity = 4096;

// Process-wide log settings, set once by the command-line parser.
struct LogSettings {
    bool stdoutSuppressed = false;  // -headless
    bool hasOutputFile = false;
    char outputFile[kLogPathCapacity] = {};
    bool hasDebugOutputFile = false;
    char debugOutputFile[kLogPathCapacity] = {};
};
extern LogSettings g_LogSettings;

// A path too long to open is reported once on standard error and not used.
void Console_SetOutputFile(const char* path);
// Also makes VerboseConsole print like OutputConsole.
void Console_SetDebugOutputFile(const char* path);
void Console_SetStdoutSuppressed(bool suppressed);
// Pushes buffered standard output and standard error out (log files are
// closed after every line already).
void Console_Flush();
// Restores the defaults (used between passes of the restart loop and by tests).
void Console_Reset();
