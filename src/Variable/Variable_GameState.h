#pragma once
// The classic game state that the score, lives and health variables keep:
// the lives and health counters (the score lives beside the high-score
// table, IO/Run_Score.h), whether each of the three is shown, their
// captions, and whether the game set show_score itself. The runner sets the
// start values and saves and loads them with a saved game. Writing lives or
// health down to nothing runs the "No More Lives" or "No More Health" event
// on every instance.
#include <cstdint>

#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "IO/Run_Score.h"

extern int32_t lives;
extern double health;
extern bool show_score;
extern bool show_lives;
extern bool show_health;
extern bool ScoreShownExplicitly;  // set by every write of show_score
extern ScriptValue caption_score;
extern ScriptValue caption_lives;
extern ScriptValue caption_health;

// The getter and setter of score, lives, health, their show_ flags and
// captions, and cursor_sprite; false for any other name.
bool Variable_GameStateAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter);
// A caption's new text: a string is taken as it is (its record shared), any
// other value as the text string() gives it.
void Variable_SetCaption(ScriptValue* caption, const ScriptValue* value);
