// Alarms and events run by hand: the alarms are the calling instance's, the
// events run through the event runner on the calling instance, with the
// other instance the built-in was called with.
#include <cstdint>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Function/Function_MiscRoutines.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"

QS_MISC_ROUTINE(F_AlarmGet)
{
    const int32_t index = Arg_Int32(args, 0);
    ScriptValue_SetReal(result, self ? self->GetAlarm(index) : -1);
}

QS_MISC_ROUTINE(F_AlarmSet)
{
    const int32_t index = Arg_Int32(args, 0);
    const int32_t steps = Arg_Int32(args, 1);
    if (self) self->SetAlarm(index, steps);
}

QS_MISC_ROUTINE(F_EventPerform)
{
    const int32_t kind = Arg_Int32(args, 0);
    const int32_t subKind = Arg_Int32(args, 1);
    PerformEventForInstance(self, other, kind, subKind);
}

QS_MISC_ROUTINE(F_EventPerformObject)
{
    const int32_t object = Arg_Int32(args, 0);
    const int32_t kind = Arg_Int32(args, 1);
    const int32_t subKind = Arg_Int32(args, 2);
    PerformEventForObject(self, other, object, kind, subKind);
}

// User events 0 to 15 are other-event sub-kinds 10 to 25; a number beyond
// any sub-kind runs nothing.
QS_MISC_ROUTINE(F_EventUser)
{
    const int64_t subKind = static_cast<int64_t>(Arg_Int32(args, 0)) + EVENT_OTHER_USER0;
    if (subKind >= 0 && subKind <= INT32_MAX) PerformEventForInstance(self, other, EVENT_OTHER, static_cast<int32_t>(subKind));
}

// The running event as the parent of its object defines it (or the parent's
// parents). A timeline moment belongs to no object: nothing to inherit.
QS_MISC_ROUTINE(F_EventInherited)
{
    if (Event_CurrentKind == EVENT_KIND_TIMELINE || !Object_IsValid(Event_CurrentObject)) return;
    const int32_t parent = Object_Get(Event_CurrentObject)->parent;
    if (Object_IsValid(parent)) PerformEventForObject(self, other, parent, Event_CurrentKind, Event_CurrentNumber);
}
