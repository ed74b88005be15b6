#include "Debug/Profiler.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/Timing.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/Code_Profiler.h"
#include "IO/LoadSave.h"
#include "Options/Runner_Options.h"
#include "Variable/Kivo_Variables.h"

namespace {
struct ProfileNode {
    uint32_t id;          // kind << 28 | index
    uint64_t calls;
    uint64_t total;       // microseconds
    int32_t firstChild;   // -1: none
    int32_t nextSibling;  // -1: none
    int32_t frameTime;    // microseconds in the current frame
};

struct ProfileStackEntry {
    int32_t kind;
    int32_t index;
    int32_t node;
    uint64_t start;  // less the profiler's own time at the time
};

constexpr uint32_t kIndexBits = 28;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr size_t kInitialNodes = 128;
constexpr size_t kInitialStack = 10;
constexpr size_t kInitialRecordWords = 32768;

const char* const kSectionNames[SECTION_COUNT] = {
    "HandleCollision", "Collision_Instance", "Compute_BoundingBox", "PreciseCollision", "HandleStep",
    "HandleInstanceMovement", "PhysicsWorldUpdate", "UpdateActiveLists", "HandleAlarm", "HandleMouse",
    "HandleOther", "ParticleSystem_UpdateAll", "DrawRoom", "DrawTheRoom", "GraphicsFlush", "SpriteDraw",
    "SpriteDrawSimple", "SoundTick", "ProcessMessages", "Mainloop_Process", "RoomSpeedSync", "DoAStep",
    "RoundTrip", "ProfileCode", "TickDebugger", "Start_Frame", "End_Frame",
};

const char* const kPlatformNames[] = {
    "Win32", "MacOSX", "PSP", "iOS", "Android", "Symbian", "Linux", "WindowsPhone", "Tizen", "Windows8Native",
    "WiiU", "3DS", "PSVita", "BB10", "PS4", "XboxOne", "PS3", "Xbox360", "Windows UWP",
};

struct Profiler {
    bool initialised = false;
    bool enabled = false;
    bool paused = false;
    bool inFrame = false;
    bool debuggerMode = false;
    bool dumpToFile = false;
    std::string dumpFile;
    uint64_t lastDump = 0;
    int32_t dumpInterval = 0;
    uint64_t overhead = 0;      // the profiler's own time in this frame
    uint64_t lastOverhead = 0;
    std::vector<ProfileStackEntry> stack;
    std::vector<ProfileNode> nodes;
    int32_t current = 0;
    int32_t frameCount = 0;
    uint64_t frameStart = 0;
    uint64_t totalFrame = 0;
    uint64_t totalBetweenFrames = 0;
    uint64_t stepStart = 0;
    uint64_t totalStep = 0;
    uint64_t lastStep = 0;
    std::vector<uint32_t> records;  // debugger mode: one record per frame
};
Profiler s_profiler;

uint64_t Now()
{
    return Timing_Microseconds();
}

void SetActive(bool active)
{
    Code_ProfilerActive = active;
}

void AddRoot()
{
    s_profiler.nodes.clear();
    s_profiler.nodes.push_back(ProfileNode{0, 0, 0, -1, -1, 0});
    s_profiler.current = 0;
}

int32_t FindOrAddChild(int32_t kind, int32_t index)
{
    std::vector<ProfileNode>& nodes = s_profiler.nodes;
    const uint32_t id = static_cast<uint32_t>(kind) << kIndexBits | (static_cast<uint32_t>(index) & kIndexMask);
    int32_t last = -1;
    for (int32_t child = nodes[static_cast<size_t>(s_profiler.current)].firstChild; child >= 0;
         child = nodes[static_cast<size_t>(child)].nextSibling) {
        if (nodes[static_cast<size_t>(child)].id == id) return child;
        last = child;
    }
    const auto added = static_cast<int32_t>(nodes.size());
    nodes.push_back(ProfileNode{id, 0, 0, -1, -1, 0});
    if (last < 0) nodes[static_cast<size_t>(s_profiler.current)].firstChild = added;
    else nodes[static_cast<size_t>(last)].nextSibling = added;
    return added;
}

// Index + kind × 100000: how the debugger and the report's rows name a node.
uint32_t DebuggerName(uint32_t id)
{
    return (id & kIndexMask) + (id >> kIndexBits) * 100000u;
}

void AppendFrameRecord(uint64_t frameTime)
{
    std::vector<uint32_t>& words = s_profiler.records;
    words.push_back(static_cast<uint32_t>(frameTime));
    words.push_back(static_cast<uint32_t>(s_profiler.lastStep));
    words.push_back(static_cast<uint32_t>(s_profiler.nodes.size()));
    if (s_profiler.nodes.size() <= 1) return;
    for (ProfileNode& node : s_profiler.nodes) {
        words.push_back(DebuggerName(node.id));
        words.push_back(static_cast<uint32_t>(node.frameTime));
        node.frameTime = 0;
        words.push_back(static_cast<uint32_t>(node.nextSibling) << 16 |
                        (static_cast<uint32_t>(node.firstChild) & 0xFFFFu));
    }
}

void WriteS32(IBuffer* buffer, int64_t value)
{
    BufferElement element;
    element.integer = value;
    buffer->WriteElement(eBuffer_S32, element);
}
void WriteU32(IBuffer* buffer, uint64_t value)
{
    BufferElement element;
    element.integer = static_cast<int64_t>(value & 0xFFFFFFFFu);
    buffer->WriteElement(eBuffer_U32, element);
}
void WriteF32(IBuffer* buffer, double value)
{
    BufferElement element;
    element.real = value;
    buffer->WriteElement(eBuffer_F32, element);
}

// One line of the report: at most 1022 characters, then a line end.
void Profiler_Printf(LoadSaveFile* file, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Profiler_Printf(LoadSaveFile* file, const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, 1023, format, args);
    va_end(args);
    std::strcat(line, "\n");
    LoadSaveFile_Write(line, 1, std::strlen(line), file);
}

struct ReportRow {
    uint32_t id;
    uint64_t calls;
    uint64_t total;
};

// Larger total time first.
bool Profiler_CompareRows(const ReportRow& a, const ReportRow& b)
{
    return a.total > b.total;
}

// The report's name of a node: a section in brackets, a code entry by its
// name, a built-in by its name; "<?>" for anything else.
std::string RowName(uint32_t id, const std::vector<const char*>& codeNames)
{
    const uint32_t kind = id >> kIndexBits;
    const uint32_t index = id & kIndexMask;
    if (kind == PROFILE_SECTION && index < SECTION_COUNT) return std::string("[") + kSectionNames[index] + "]";
    if (kind == PROFILE_CODE && index < codeNames.size() && codeNames[index]) return codeNames[index];
    if (kind == PROFILE_BUILTIN) {
        if (const BuiltinFunction* builtin = CodeFunction_At(static_cast<int32_t>(index))) return builtin->name;
    }
    return "<?>";
}

std::vector<const char*> CodeNames()
{
    std::vector<const char*> names;
    for (const CCode* code = Code_AllList; code; code = code->m_next) {
        if (code->m_index < 0) continue;
        const auto index = static_cast<size_t>(code->m_index);
        if (index >= names.size()) names.resize(index + 1, nullptr);
        names[index] = code->m_name;
    }
    return names;
}
}  // namespace

void CProfiler::Init(const char* fileName, int32_t intervalSeconds)
{
    Free();
    Profiler& p = s_profiler;
    p.initialised = true;
    p.debuggerMode = fileName == nullptr;
    p.dumpInterval = intervalSeconds;
    p.stack.reserve(kInitialStack);
    p.nodes.reserve(kInitialNodes);
    AddRoot();
    if (p.debuggerMode) {
        p.records.reserve(kInitialRecordWords);
        return;
    }
    p.enabled = true;
    p.dumpToFile = true;
    if (std::strchr(fileName, '/')) {
        p.dumpFile = fileName;
    } else {
        char path[1024];
        LoadSave_MakeSavePath(path, sizeof path, fileName);
        p.dumpFile = path;
    }
}

void CProfiler::SetEnabled(bool on)
{
    s_profiler.enabled = on;
    if (!on) SetActive(false);
}

void CProfiler::SetPaused(bool paused)
{
    s_profiler.paused = paused;
    if (paused) SetActive(false);
}

void CProfiler::FrameStart()
{
    Profiler& p = s_profiler;
    if (!p.enabled || p.paused) {
        SetActive(false);
        p.frameStart = 0;
        return;
    }
    SetActive(true);
    p.inFrame = true;
    p.lastOverhead = p.overhead;
    p.overhead = 0;
    p.stack.clear();
    p.current = 0;
    const uint64_t now = Now();
    if (p.frameStart != 0) p.totalBetweenFrames += now - p.frameStart;
    p.frameStart = now;
}

void CProfiler::FrameEnd()
{
    Profiler& p = s_profiler;
    p.inFrame = false;
    if (!Code_ProfilerActive) return;
    const uint64_t now = Now();
    ++p.frameCount;
    const uint64_t frameTime = now - p.frameStart - p.overhead;
    p.totalFrame += frameTime;
    if (p.debuggerMode) AppendFrameRecord(frameTime);
    if (!p.dumpToFile || p.dumpInterval <= 0) return;
    if (p.lastDump == 0) {
        p.lastDump = now;
    } else if (now - p.lastDump > static_cast<uint64_t>(p.dumpInterval) * 1000000u) {
        DumpToFile();
        p.lastDump = now;
    }
}

uint64_t CProfiler::LastOverhead()
{
    return s_profiler.lastOverhead;
}

void CProfiler::StepStart()
{
    if (!Code_ProfilerActive) return;
    s_profiler.stepStart = Now() - s_profiler.overhead;
    Begin(PROFILE_SECTION, SECTION_DO_A_STEP);
}

void CProfiler::StepEnd()
{
    if (!Code_ProfilerActive) return;
    End();
    Profiler& p = s_profiler;
    p.lastStep = Now() - p.overhead - p.stepStart;
    p.totalStep += p.lastStep;
}

void CProfiler::Begin(int32_t kind, int32_t index)
{
    Profiler& p = s_profiler;
    if (!p.initialised) return;
    const uint64_t entered = Now();
    const int32_t node = FindOrAddChild(kind, index);
    p.current = node;
    const uint64_t now = Now();
    p.overhead += now - entered;
    p.stack.push_back(ProfileStackEntry{kind, index, node, now - p.overhead});
}

void CProfiler::End()
{
    Profiler& p = s_profiler;
    // A scope opened before the frame's tree was emptied has nothing to close.
    if (p.stack.empty()) return;
    const ProfileStackEntry entry = p.stack.back();
    p.stack.pop_back();
    const uint64_t elapsed = Now() - p.overhead - entry.start;
    ProfileNode& node = p.nodes[static_cast<size_t>(entry.node)];
    ++node.calls;
    node.total += elapsed;
    node.frameTime += static_cast<int32_t>(elapsed);
    p.current = p.stack.empty() ? 0 : p.stack.back().node;
}

void CProfiler::WriteToBuffer(IBuffer* buffer)
{
    Profiler& p = s_profiler;
    if (p.inFrame || p.frameCount == 0) {
        WriteS32(buffer, 0);
        return;
    }
    WriteS32(buffer, p.frameCount);
    WriteF32(buffer, static_cast<double>(p.totalFrame) / 1000.0);
    WriteF32(buffer, static_cast<double>(p.totalStep) / 1000.0);
    WriteF32(buffer, static_cast<double>(p.totalBetweenFrames) / 1000.0);
    WriteS32(buffer, static_cast<int64_t>(p.nodes.size()));
    if (p.nodes.size() > 1) {
        for (const ProfileNode& node : p.nodes) {
            WriteU32(buffer, DebuggerName(node.id));
            WriteU32(buffer, node.calls);
            WriteU32(buffer, node.total);
            WriteS32(buffer, node.firstChild);
            WriteS32(buffer, node.nextSibling);
        }
    }
    if (p.debuggerMode) {
        WriteU32(buffer, 1);
        for (uint32_t word : p.records) WriteU32(buffer, word);
        p.records.clear();
    } else {
        WriteU32(buffer, 0);
    }
    ResetTree();
}

void CProfiler::ResetTree()
{
    Profiler& p = s_profiler;
    p.frameCount = 0;
    p.totalFrame = p.totalStep = p.totalBetweenFrames = 0;
    p.stack.clear();
    AddRoot();
}

void CProfiler::DumpToFile()
{
    const Profiler& p = s_profiler;
    LogConsole->Output("Dumping profile data to %s\n", p.dumpFile.c_str());
    EnsureFileDirectory(p.dumpFile.c_str());
    LoadSaveFile* file = LoadSave_OpenFile(p.dumpFile.c_str(), "w");
    if (!file) {
        LogConsole->Output("...FAILED to open file\n");
        return;
    }
    const std::vector<const char*> codeNames = CodeNames();
    // The same call anywhere in the tree is one row.
    std::vector<ReportRow> rows;
    for (size_t i = 1; i < p.nodes.size(); ++i) {
        const ProfileNode& node = p.nodes[i];
        auto row = std::find_if(rows.begin(), rows.end(), [&](const ReportRow& r) { return r.id == node.id; });
        if (row == rows.end()) rows.push_back(ReportRow{node.id, node.calls, node.total});
        else row->calls += node.calls, row->total += node.total;
    }
    std::stable_sort(rows.begin(), rows.end(), Profiler_CompareRows);

    const int os = GetOSType();
    const char* platform = os >= 0 && os < static_cast<int>(sizeof kPlatformNames / sizeof kPlatformNames[0])
                               ? kPlatformNames[os]
                               : "?";
    // Averages over no frames are 0 rather than a division by nothing.
    const float frames = p.frameCount > 0 ? static_cast<float>(p.frameCount) : 0.0f;
    const auto perFrame = [frames](float value) { return frames > 0 ? value / frames : 0.0f; };
    Profiler_Printf(file, "%s (%s)\n", GameFilePath ? GameFilePath : "", platform);
    Profiler_Printf(file, "%-30s %d", "Frame Count:", p.frameCount);
    Profiler_Printf(file, "%-30s %d", "Frame total ms:", static_cast<int>(p.totalFrame / 1000));
    Profiler_Printf(file, "%-30s %.2f", "Average frame time(ms):",
                    static_cast<double>(perFrame(static_cast<float>(p.totalFrame) / 1000.0f)));
    Profiler_Printf(file, "%-30s %.2f", "Average step time(ms):",
                    static_cast<double>(perFrame(static_cast<float>(p.totalStep) / 1000.0f)));
    Profiler_Printf(file, "%s", "");
    Profiler_Printf(file, "%-50s %-12s %-12s %s", "CALL", "MS/FRAME", "MS/CALL", "CALLS/FRAME");
    for (const ReportRow& row : rows) {
        const float total = static_cast<float>(row.total);
        const float perCall = row.calls > 0 ? total / static_cast<float>(row.calls) : 0.0f;
        Profiler_Printf(file, "%-50s %-12.3f %-12.3f %.3f", RowName(row.id, codeNames).c_str(),
                        static_cast<double>(perFrame(total) * 0.001f), static_cast<double>(perCall * 0.001f),
                        static_cast<double>(perFrame(static_cast<float>(row.calls))));
    }
    LoadSaveFile_Close(file);
}

void CProfiler::FinalDump()
{
    if (s_profiler.dumpToFile && !s_profiler.dumpFile.empty()) DumpToFile();
}

void CProfiler::Free()
{
    SetActive(false);
    s_profiler = Profiler{};
}
