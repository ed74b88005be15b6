#include "World/Event_Main.h"

#include "Base/ErrorReport.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/TimeLine_Main.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "World/Room_Main.h"
#include "Script/Script_Main.h"

int Event_CurrentObject = 0;
int Event_CurrentKind = 0;
int Event_CurrentNumber = 0;
int Event_Depth = 0;
bool ArgumentRelative = false;

namespace {
// The word of the first action record that holds the CODE index.
constexpr uint32_t kActionCodeAt = 32;
constexpr uint32_t kActionSize = kActionCodeAt + 4;

struct SavedEvent {
    int object, kind, number;
    SavedEvent() : object(Event_CurrentObject), kind(Event_CurrentKind), number(Event_CurrentNumber) {}
    ~SavedEvent()
    {
        Event_CurrentObject = object;
        Event_CurrentKind = kind;
        Event_CurrentNumber = number;
    }
    SavedEvent(const SavedEvent&) = delete;
    SavedEvent& operator=(const SavedEvent&) = delete;
};

bool RoomChangePending()
{
    return PendingRoomCode != -1;
}

bool Allowed(const CInstance* instance, int32_t kind)
{
    if (kind == EVENT_CLEANUP) return !CodeErrorFlag;
    if (!RoomChangePending()) return true;
    if (kind != EVENT_CREATE && kind != EVENT_DESTROY && kind != EVENT_ALARM && kind != EVENT_OTHER) return false;
    return instance->persistent || (Run_Room && Run_Room->persistent);
}
}  // namespace

CEvent::~CEvent()
{
    delete m_code;
}

bool EventCode_Check(const char* chunk, const uint8_t* payload, uint32_t length, uint32_t offset, const char* what,
                     uint32_t index)
{
    if (!GameData_CheckRecord(chunk, payload, length, offset, 4, what, index)) return false;
    const uint32_t actions = GameData_U32(GameData + offset);
    if (actions == 0) return true;
    if (actions > length / 4 || !GameData_CheckRecord(chunk, payload, length, offset, 4 + 4 * actions, what, index))
        return GameData_Fail(chunk, "%s %u: action count %u does not fit the chunk", what, index, actions);
    return GameData_CheckRecord(chunk, payload, length, GameData_U32(GameData + offset + 4), kActionSize, what, index);
}

bool CEvent::LoadFromChunk(const uint8_t* codeRecord)
{
    delete m_code;
    m_code = nullptr;
    m_name = nullptr;
    if (!CompiledCodeMode && !GameTables.codePresent) return true;
    // An event without actions has no code and counts as absent.
    if (GameData_U32(codeRecord) == 0) return true;
    const uint8_t* action = GameData + GameData_U32(codeRecord + 4);
    m_name = "";
    m_code = new CCode(static_cast<int32_t>(GameData_U32(action + kActionCodeAt)), 0);
    return true;
}

void CEvent::Execute(CInstance* self, CInstance* other)
{
    const bool relative = ArgumentRelative;
    ArgumentRelative = false;
    ScriptValue result = ScriptValue_Undefined();
    Code_RunReportError(self, other, m_code, &result, 0);
    ScriptValue_SetUndefined(&result);
    ArgumentRelative = relative;
}

CEvent* Object_FindEvent(int32_t objectIndex, int32_t kind, int32_t subKind, int32_t* owner)
{
    CGameObject* object = Object_Get(objectIndex);
    return object ? object->FindEvent(kind, subKind, owner) : nullptr;
}

void PerformEvent(CInstance* self, CInstance* other, int32_t objectIndex, int32_t kind, int32_t subKind)
{
    int32_t owner = objectIndex;
    CEvent* event = Object_FindEvent(objectIndex, kind, subKind, &owner);
    if (!event) return;
    if (++Event_Depth > EVENT_MAX_DEPTH) {
        ReportRuntimeError(
            "PerformEvent recursion depth failure - check for infinite loops, check objects for parenting", true);
        --Event_Depth;
        return;
    }
    {
        SavedEvent saved;
        Event_CurrentObject = owner;
        Event_CurrentKind = kind;
        Event_CurrentNumber = subKind;
        event->Execute(self, other);
    }
    --Event_Depth;
}

void PerformEventForInstance(CInstance* instance, CInstance* other, int32_t kind, int32_t subKind)
{
    if (!instance || !Allowed(instance, kind)) return;
    PerformEvent(instance, other, instance->object_index, kind, subKind);
}

void PerformEventForObject(CInstance* instance, CInstance* other, int32_t objectIndex, int32_t kind, int32_t subKind)
{
    if (!instance || !Allowed(instance, kind)) return;
    PerformEvent(instance, other, objectIndex, kind, subKind);
}

void PerformEventAll(int32_t kind, int32_t subKind)
{
    if (RoomChangePending() || !Run_Room) return;
    for (CInstance* instance = Run_Room->activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (!instance->m_marked && !instance->m_deactivated && Allowed(instance, kind))
            PerformEvent(instance, instance, instance->object_index, kind, subKind);
        instance = next;
    }
}

void PerformTimelineMoment(CInstance* self, CInstance* other, int32_t timelineIndex, int32_t moment)
{
    if (RoomChangePending()) return;
    CTimeLine* timeline = TimeLine_Get(timelineIndex);
    if (!timeline) return;
    const intptr_t entry = timeline->GetMomentEvent(moment);
    if (entry == 0) return;
    SavedEvent saved;
    Event_CurrentObject = timelineIndex;
    Event_CurrentKind = EVENT_KIND_TIMELINE;
    Event_CurrentNumber = timeline->GetMomentTime(moment);
    if (entry & 1) {
        ScriptValue result = ScriptValue_Undefined();
        Script_Call(static_cast<int32_t>(entry >> 1), self, other, 0, &result, nullptr);
        ScriptValue_SetUndefined(&result);
    } else {
        reinterpret_cast<CEvent*>(entry)->Execute(self, other);
    }
}
