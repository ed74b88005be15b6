#pragma once
// Touch gestures: single-finger touches (button 1 of a pointing device; here
// the left mouse button of device 0) recognised as tap, double tap, drag
// start, dragging, drag end and flick, and raised as gesture events on the
// instances under the touch and as global gesture events on every instance.
#include <cstdint>

struct GestureSettings {
    int64_t dragTime = 160000;  // microseconds
    float dragDistance = 0.1f;  // inches
    float flickSpeed = 2.0f;    // inches per second
    int64_t doubleTapTime = 160000;
    float doubleTapDistance = 0.1f;
};
extern GestureSettings Gesture_Settings;

// The screen's dots per inch, for distances in inches; set by the runner
// (96 until then).
extern float Gesture_DpiX, Gesture_DpiY;

// The per-frame step, first thing of the mouse events (games of major
// version 2 and later).
void Gesture_Update();
// Ends every gesture and event (a new process or game).
void Gesture_Reset();
