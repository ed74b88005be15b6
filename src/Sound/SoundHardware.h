#pragma once
// The sound device's life cycle, which starts and ends the audio engine. A run
// under -noaudio, or where no device opens, goes on in silence after one log line.
#include <cstdint>

// Opens the default device (or none under -noaudio) and starts the engine.
void SoundHardware_Create();
// As SoundHardware_Create on a loopback device that mixes only when asked
// (HAudio_Render), for checking what the engine plays. False when the library
// offers no loopback device; the engine is then off.
bool SoundHardware_CreateLoopback(int32_t rate);
// Once per frame: the engine's update.
void SoundHardware_Update();
// Ends the engine and closes the device.
void SoundHardware_Destroy();
