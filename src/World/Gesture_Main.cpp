#include "World/Gesture_Main.h"

GestureSettings Gesture_Settings;
float Gesture_DpiX = 96.0f, Gesture_DpiY = 96.0f;

void Gesture_Update() {}
void Gesture_Reset() { Gesture_Settings = GestureSettings{}; }
