#include "Sound/SoundHardware.h"

#include "Base/Console.h"
#include "Host/Host_Audio.h"
#include "Options/Runner_Options.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Voice.h"

namespace {
// Room for the voice pool and for the other users of sources.
constexpr int32_t kWantedSources = 256;

// A second start replaces the device; the sounds read from the game stay.
void CloseDevice()
{
    if (Audio_IsOn()) Audio_DeleteSources();
    HAudio_Close();
}
}  // namespace

void SoundHardware_Create()
{
    CloseDevice();
    if (NoAudio) LogConsole->Output("Audio: sound is off (-noaudio)\n");
    else if (!HAudio_OpenDefault(kWantedSources))
        LogConsole->Output("Audio: no sound device could be opened; the game runs without sound\n");
    else LogConsole->Output("Audio: playing on \"%s\"\n", HAudio_DeviceName());
    Audio_Init();
}

bool SoundHardware_CreateLoopback(int32_t rate)
{
    CloseDevice();
    const bool opened = !NoAudio && HAudio_OpenLoopback(rate, kWantedSources);
    if (opened) LogConsole->Output("Audio: mixing on a loopback device at %d Hz\n", rate);
    else LogConsole->Output("Audio: no loopback device could be opened; sound is off\n");
    Audio_Init();
    return opened;
}

void SoundHardware_Update()
{
    if (!NoAudio) Audio_Tick();
}

void SoundHardware_Destroy()
{
    Audio_Quit();
    HAudio_Close();
}
