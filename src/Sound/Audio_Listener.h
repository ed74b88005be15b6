#pragma once
// The one listener (index 0, "default"): its position, velocity and
// orientation are stored by the setters and handed to OpenAL once per frame;
// its gain is the master gain and takes effect at once. The global listener
// mask is given to new voices and emitters; with one listener, masks are
// kept and returned but change nothing that is heard.
#include <cstdint>

struct AudioListener {
    float position[3] = {0.0f, 0.0f, 0.0f};
    float velocity[3] = {0.0f, 0.0f, 0.0f};
    // Look-at, then up: along -z with +y up, so that a sound at a larger x
    // than the listener's is heard on the right. (Up must not be parallel to
    // the look-at direction, or the listener has no left and right.)
    float orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    float gain = 1.0f;
};

// Back to the defaults (engine start).
void Audio_ResetListener();
// Hands position, velocity and orientation to OpenAL (once per frame).
void Audio_UpdateListener();
const AudioListener& Audio_Listener();

int32_t Audio_GetListenerCount();
// Result maps of listener 0; -1 for any other index.
int32_t Audio_GetListenerInfo(int32_t index);
int32_t Audio_GetListenerData(int32_t index);
// Listener 0 only; other indices do nothing.
void Audio_SetListenerPosition(int32_t index, float x, float y, float z);
void Audio_SetListenerVelocity(int32_t index, float x, float y, float z);
void Audio_SetListenerOrientation(int32_t index, float lookX, float lookY, float lookZ, float upX, float upY,
                                  float upZ);
uint32_t Audio_GetListenerMask();
void Audio_SetListenerMask(uint32_t mask);
// The master gain (negative as 0); 0 for an index other than 0 or with the engine off.
void Audio_SetMasterGain(int32_t index, float gain);
double Audio_GetMasterGain(int32_t index);
