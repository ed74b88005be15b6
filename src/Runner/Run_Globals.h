#pragma once
// The run globals: score, lives and health with their captions, the cursor,
// the room transition, the step counter, drawing on or off, the debugger
// pause and the application-surface settings, with their start values.
#include <cstdint>

#include "Code/Code_Value.h"

extern ScriptValue caption_score;   // no text at start
extern ScriptValue caption_lives;
extern ScriptValue caption_health;  // "Health: "
extern double score;
extern bool show_score;
extern double lives;
extern bool show_lives;
extern double health;
extern bool show_health;
extern int32_t view_current;
extern int32_t cursor_sprite;
extern int32_t transition_kind;
extern int64_t StepCounter;        // completed game steps since the game started
extern bool DrawEventEnabled;      // draw_enable_drawevent
extern bool DebuggerPause;         // frames run no step while set
extern uint32_t GameId;

// The application surface: no surface, size unknown, drawing on.
constexpr int32_t APPLICATION_SURFACE_NONE = static_cast<int32_t>(0xFEEEDEADu);
extern int32_t ApplicationSurface;
extern int32_t ApplicationSurfaceWidth, ApplicationSurfaceHeight;
extern bool ApplicationSurfaceEnabled;

// Start values of the run globals (captions made afresh).
void SetDefaultCaptions();
// What every game start resets: score, lives, cursor, step counter, transition.
void Run_ResetGameGlobals();
// Between passes of the restart loop: captions freed, surface globals reset.
void Run_ResetRunGlobals();
