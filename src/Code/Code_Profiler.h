#pragma once
// The profiler as code runs meet it: while it records, every code run,
// script call, built-in call and named section of the runner opens a scope
// and closes it again. The profiler lives above this layer: its routines are
// set by Runner_InstallHooks (until then, and for a null slot, scopes go
// nowhere), and it sets Code_ProfilerActive while it records.
#include <cstdint>

enum ProfilerScopeKind : int32_t {
    PROFILE_BUILTIN = 0,   // index: the built-in function
    PROFILE_CODE = 1,      // index: the code entry
    PROFILE_SECTION = 6,   // index: a ProfilerSectionIndex
};

// The runner's named sections (the profiler's report names them).
enum ProfilerSectionIndex : int32_t {
    SECTION_HANDLE_COLLISION = 0,
    SECTION_COLLISION_INSTANCE = 1,
    SECTION_COMPUTE_BOUNDING_BOX = 2,
    SECTION_PRECISE_COLLISION = 3,
    SECTION_HANDLE_STEP = 4,
    SECTION_HANDLE_INSTANCE_MOVEMENT = 5,
    SECTION_PHYSICS_WORLD_UPDATE = 6,
    SECTION_UPDATE_ACTIVE_LISTS = 7,
    SECTION_HANDLE_ALARM = 8,
    SECTION_HANDLE_MOUSE = 9,
    SECTION_HANDLE_OTHER = 10,
    SECTION_PARTICLE_UPDATE_ALL = 11,
    SECTION_DRAW_ROOM = 12,
    SECTION_DRAW_THE_ROOM = 13,
    SECTION_GRAPHICS_FLUSH = 14,
    SECTION_SPRITE_DRAW = 15,
    SECTION_SPRITE_DRAW_SIMPLE = 16,
    SECTION_SOUND_TICK = 17,
    SECTION_PROCESS_MESSAGES = 18,
    SECTION_MAINLOOP_PROCESS = 19,
    SECTION_ROOM_SPEED_SYNC = 20,
    SECTION_DO_A_STEP = 21,
    SECTION_ROUND_TRIP = 22,
    SECTION_PROFILE_CODE = 23,
    SECTION_TICK_DEBUGGER = 24,
    SECTION_START_FRAME = 25,
    SECTION_END_FRAME = 26,
    SECTION_COUNT = 27,
};

struct CodeProfilerHooks {
    void (*begin)(int32_t kind, int32_t index);
    void (*end)();
};
// Returns the hooks it replaces.
CodeProfilerHooks Code_Profiler_SetHooks(const CodeProfilerHooks& hooks);
extern bool Code_ProfilerActive;
void Code_ProfilerOpen(int32_t kind, int32_t index);
void Code_ProfilerClose();

// What code runs call; a test of one flag while the profiler is off.
inline void Code_ProfilerBegin(int32_t kind, int32_t index)
{
    if (Code_ProfilerActive) Code_ProfilerOpen(kind, index);
}
inline void Code_ProfilerEnd()
{
    if (Code_ProfilerActive) Code_ProfilerClose();
}

// A runner section measured for the life of the object, when the profiler
// records as it starts; it closes what it opened on every way out.
class ProfilerSection {
public:
    explicit ProfilerSection(ProfilerSectionIndex index) : m_open(Code_ProfilerActive)
    {
        if (m_open) Code_ProfilerOpen(PROFILE_SECTION, index);
    }
    ~ProfilerSection()
    {
        if (m_open) Code_ProfilerClose();
    }
    ProfilerSection(const ProfilerSection&) = delete;
    ProfilerSection& operator=(const ProfilerSection&) = delete;

private:
    bool m_open;
};
