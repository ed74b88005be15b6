#include "Variable/Variable_GameState.h"

#include "Code/Code_ValueConvert.h"
#include "Draw/Draw_Frame.h"
#include "Variable/Variable_BuiltIn.h"
#include "World/Event_Main.h"

int32_t lives = -1;
double health = 100.0;
bool show_score = true;
bool show_lives = false;
bool show_health = false;
bool ScoreShownExplicitly = false;
ScriptValue caption_score = ScriptValue_Undefined();
ScriptValue caption_lives = ScriptValue_Undefined();
ScriptValue caption_health = ScriptValue_Undefined();

namespace {
// Other-event sub-kinds raised when the counters run out.
constexpr int32_t kNoMoreLives = 6;
constexpr int32_t kNoMoreHealth = 9;

bool SetScore(CInstance*, int32_t, ScriptValue* value)
{
    score = BuiltIn_ToRoundedSingleInt(value);
    return true;
}

// The event runs after the store, so its code sees the new value, and only
// on the crossing from above 0.
bool SetLives(CInstance*, int32_t, ScriptValue* value)
{
    const int32_t old = lives;
    lives = BuiltIn_ToRoundedSingleInt(value);
    if (old > 0 && lives < 1) PerformEventAll(EVENT_OTHER, kNoMoreLives);
    return true;
}

bool SetHealth(CInstance*, int32_t, ScriptValue* value)
{
    const double old = health;
    health = BuiltIn_ToReal(value);
    if (old > 0 && health <= 0) PerformEventAll(EVENT_OTHER, kNoMoreHealth);
    return true;
}

template <bool* Flag>
bool GetFlag(CInstance*, int32_t, ScriptValue* out)
{
    return BuiltIn_Real(out, *Flag ? 1 : 0);
}

template <bool* Flag>
bool SetFlag(CInstance*, int32_t, ScriptValue* value)
{
    *Flag = BuiltIn_ToRoomFlag(value);
    if (Flag == &show_score) ScoreShownExplicitly = true;
    return true;
}

template <ScriptValue* Caption>
bool GetCaption(CInstance*, int32_t, ScriptValue* out)
{
    const char* text = ScriptValue_StringText(Caption);
    ScriptValue_SetString(out, text ? text : "");
    return true;
}

template <ScriptValue* Caption>
bool SetCaption(CInstance*, int32_t, ScriptValue* value)
{
    Variable_SetCaption(Caption, value);
    return true;
}

bool SetCursorSprite(CInstance*, int32_t, ScriptValue* value)
{
    cursor_sprite = BuiltIn_ToRoundedSingleInt(value);
    return true;
}

const BuiltinAccessors kAccessors[] = {
    {"score", BuiltIn_GetNumber<&score>, SetScore},
    {"lives", BuiltIn_GetNumber<&lives>, SetLives},
    {"health", BuiltIn_GetNumber<&health>, SetHealth},
    {"show_score", GetFlag<&show_score>, SetFlag<&show_score>},
    {"show_lives", GetFlag<&show_lives>, SetFlag<&show_lives>},
    {"show_health", GetFlag<&show_health>, SetFlag<&show_health>},
    {"caption_score", GetCaption<&caption_score>, SetCaption<&caption_score>},
    {"caption_lives", GetCaption<&caption_lives>, SetCaption<&caption_lives>},
    {"caption_health", GetCaption<&caption_health>, SetCaption<&caption_health>},
    {"cursor_sprite", BuiltIn_GetNumber<&cursor_sprite>, SetCursorSprite},
};
}  // namespace

void Variable_SetCaption(ScriptValue* caption, const ScriptValue* value)
{
    if (value->Kind() == VALUE_STRING) {
        caption->Assign(*value);
        return;
    }
    char* text = ValueToNewString(value);
    ScriptValue_SetString(caption, text ? text : "");
    Code_FreeMemory(text);
}

bool Variable_GameStateAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter)
{
    return Variable_FindAccessors(kAccessors, name, getter, setter);
}
