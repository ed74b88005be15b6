#pragma once
// Touch gestures: single-finger touches (button 1 of a pointing device; here
// the left mouse button of device 0) recognised as tap, double tap, drag
// start, dragging, drag end and flick, and raised as gesture events on the
// instances under the touch and as global gesture events on every instance
// that has them. Touches are followed in window coordinates; the instances
// under a touch and the events' room positions go through the views drawn
// last frame.
#include <cstdint>

struct GestureSettings {
    int64_t dragTime = 160000;  // microseconds
    float dragDistance = 0.1f;  // inches
    float flickSpeed = 2.0f;    // inches per second
    int64_t doubleTapTime = 160000;
    float doubleTapDistance = 0.1f;
};
extern GestureSettings Gesture_Settings;

// The screen's dots per inch, for distances in inches.
extern float Gesture_DpiX, Gesture_DpiY;

// Gesture event sub-kinds; the global events are 64 + these.
enum GestureEventKind : int32_t {
    GESTURE_TAP = 0,
    GESTURE_DOUBLE_TAP = 1,
    GESTURE_DRAG_START = 2,
    GESTURE_DRAGGING = 3,
    GESTURE_DRAG_END = 4,
    GESTURE_FLICK = 5,
};
constexpr int32_t GESTURE_GLOBAL = 64;

// The data map of the gesture event being run (event_data); -1 outside one.
extern int32_t Gesture_EventData;

// The per-frame step, first thing of the mouse events (games of major
// version 2 and later); now is the runner's clock in microseconds.
void Gesture_Update();
void Gesture_UpdateAt(int64_t now);
// Ends every gesture and event and restores the settings (a new process).
void Gesture_Reset();
