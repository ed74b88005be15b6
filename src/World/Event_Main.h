#pragma once
// Events: the handler record of an object or timeline moment, the numbering of
// event kinds, the current-event globals, and the dispatchers through which
// every part of the runner raises events on instances.
#include <cstdint>

class CCode;
class CInstance;

enum EventKind : int32_t {
    EVENT_CREATE = 0,
    EVENT_DESTROY = 1,
    EVENT_ALARM = 2,
    EVENT_STEP = 3,
    EVENT_COLLISION = 4,
    EVENT_KEYBOARD = 5,
    EVENT_MOUSE = 6,
    EVENT_OTHER = 7,
    EVENT_DRAW = 8,
    EVENT_KEYPRESS = 9,
    EVENT_KEYRELEASE = 10,
    EVENT_TRIGGER = 11,
    EVENT_CLEANUP = 12,
    EVENT_GESTURE = 13,
};

// Sub-kinds used by the runner itself.
enum : int32_t {
    EVENT_STEP_NORMAL = 0,
    EVENT_STEP_BEGIN = 1,
    EVENT_STEP_END = 2,
    EVENT_OTHER_END_OF_PATH = 8,
    EVENT_OTHER_USER0 = 10,
    EVENT_DRAW_GUI = 64,
};

// Nested PerformEvent runs allowed; one more is refused.
constexpr int32_t EVENT_MAX_DEPTH = 32;

class CEvent {
public:
    CEvent() = default;
    virtual ~CEvent();
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    // Reads a checked event code record (u32 action count, action offsets).
    bool LoadFromChunk(const uint8_t* codeRecord);
    void Execute(CInstance* self, CInstance* other);
    // object_event_clear keeps the event.
    void Clear() {}
    // Present when it has a name (its code entry was made).
    bool IsPresent() const { return m_name != nullptr; }

    CCode* m_code = nullptr;
    const char* m_name = nullptr;
};

// Checks the event code record at absolute offset against the chunk payload:
// its action list and the first action record. False with a message otherwise.
bool EventCode_Check(const char* chunk, const uint8_t* payload, uint32_t length, uint32_t offset,
                     const char* what, uint32_t index);

extern int Event_CurrentObject;  // object index, or the timeline index
extern int Event_CurrentKind;    // event kind, 100000 for a timeline moment
extern int Event_CurrentNumber;  // sub-kind, or the moment's time
extern int Event_Depth;          // PerformEvent calls in progress
extern bool ArgumentRelative;    // argument_relative, cleared around each event

// By object index; *owner is the index of the object holding the handler.
CEvent* Object_FindEvent(int32_t objectIndex, int32_t kind, int32_t subKind, int32_t* owner);
void PerformEvent(CInstance* self, CInstance* other, int32_t objectIndex, int32_t kind, int32_t subKind);
// The instance's own object's handler, unless suppressed by a pending room change.
void PerformEventForInstance(CInstance* instance, CInstance* other, int32_t kind, int32_t subKind);
// The handler as seen from objectIndex, same rules.
void PerformEventForObject(CInstance* instance, CInstance* other, int32_t objectIndex, int32_t kind,
                           int32_t subKind);
// Every live instance of the current room.
void PerformEventAll(int32_t kind, int32_t subKind);
void PerformTimelineMoment(CInstance* self, CInstance* other, int32_t timelineIndex, int32_t moment);
