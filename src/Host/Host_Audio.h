#pragma once
// The sound device: one OpenAL device with its current context, opened here
// rather than by a utility library, so that a run without a sound card and a
// test that mixes on demand use the same engine code.
#include <cstdint>

// Opens the system's default output device and makes a context current that
// offers at least wantedSources sources when the device allows it. False, with
// nothing left open, when no device or context can be had.
bool HAudio_OpenDefault(int32_t wantedSources);
// Opens a loopback device instead: nothing is played, and the mix advances only
// when HAudio_Render asks for it (16-bit stereo at rate frames per second).
bool HAudio_OpenLoopback(int32_t rate, int32_t wantedSources);
// Mixes the next frames stereo frames into out (2 x frames samples). False when
// the open device is not a loopback device.
bool HAudio_Render(int16_t* out, int32_t frames);
// Releases the context and closes the device; nothing when none is open.
void HAudio_Close();
bool HAudio_IsOpen();
// The open device's name ("" when none).
const char* HAudio_DeviceName();
// How many sources the open context offers (0 when none is open).
int32_t HAudio_MaxSources();
