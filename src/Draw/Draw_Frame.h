#pragma once
// The drawing of a frame: the views of the current room with their draw
// events into the application surface, the surface composited onto the back
// buffer (letterboxed when the display keeps its aspect), the GUI pass and
// the cursor sprite; the per-frame view update; the window size a room asks
// for. The application surface's id and size live with the surfaces.
#include <cstdint>

#include "Graphics/Graphics_Surface.h"

class CInstance;

extern bool ApplicationSurfaceEnabled;
// Composite the surface onto the back buffer (application_surface_draw_enable).
extern bool ApplicationSurfaceDrawEnabled;
extern int32_t view_current;
// The frame step runs the draw events (draw_enable_drawevent).
extern bool DrawEventsEnabled;
extern int32_t cursor_sprite;
// The instance whose draw event or default drawing runs; null otherwise.
extern CInstance* CurrentDrawInstance;
// 1 while the GUI events run.
extern bool GUI_Active;
// GUI size (-1 = not set); the GUI space is the application surface's rectangle otherwise.
extern int32_t GUI_Width, GUI_Height;

void DrawFrame();
void UpdateWindowSizeForRoom();
// Room content of one view between the draw-begin and draw-end events.
void DrawView(int32_t left, int32_t top, int32_t right, int32_t bottom);
// Runs one draw event on every drawable instance of the room; with clear,
// the target is cleared to the window colour just before the first instance
// that has the event, and the result says whether that happened.
bool PerformDrawEventWithClear(int32_t kind, int32_t subKind, bool clear);
void PerformDrawEvent(int32_t kind, int32_t subKind);
void UpdateViews();
// The factors view ports were scaled by to fill the application surface last frame.
void DrawFrame_PortScale(float* x, float* y);
// A layer's begin or end script (-1: nothing), run as the global instance in
// object mode, else as the layers' script instance; the event context names
// the layer meanwhile.
void RunLayerScript(int32_t layerId, int32_t script, int32_t kind, int32_t subKind);
// The GUI projection and view over the whole back buffer.
void GUI_Begin();
void GUI_UpdateMatrices();
// Draws the application surface's texture into (x, y, width, height) of the
// current target, letterboxed when keepAspect is set. With viewKept (the
// matrices and viewport still map the target 1:1) a draw that would land
// pixel for pixel on the whole back buffer is done as a copy.
void DrawApplicationSurface(float x, float y, float width, float height, bool keepAspect, bool resetStates,
                            bool viewKept);
// Frees the application surface (a new game, or the surface switched off).
void ApplicationSurface_Free();
// surface_resize on the application surface: applied when the next frame is drawn.
void ApplicationSurface_RequestResize(int32_t width, int32_t height);
// Points the default camera at a rectangle while cameras are in use, else
// sets the renderer's 2D view (the view of a surface target).
void DrawFrame_SetTargetView(float x, float y, float width, float height, float angle);
// The frame drawer as a new run finds it: no surface, sizes unset, drawing on.
void DrawFrame_Reset();
