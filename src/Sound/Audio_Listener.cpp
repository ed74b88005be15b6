#include "Sound/Audio_Listener.h"

#include <AL/al.h>
#include <AL/alc.h>

#include "Base/Console.h"
#include "DataStructure/DS_Native.h"
#include "Sound/Audio_Engine.h"

namespace {
AudioListener s_listener;
uint32_t s_listenerMask = 1;

const char* const kNoText = nullptr;

void Check(const char* format)
{
    const ALenum code = alGetError();
    if (code != AL_NO_ERROR) LogConsole->Output(format, code);
}
}  // namespace

void Audio_ResetListener()
{
    s_listener = AudioListener{};
}

const AudioListener& Audio_Listener()
{
    return s_listener;
}

void Audio_UpdateListener()
{
    if (!alcGetCurrentContext()) return;
    alListener3f(AL_POSITION, s_listener.position[0], s_listener.position[1], s_listener.position[2]);
    Check("Error setting listener position %d\n");
    alListener3f(AL_VELOCITY, s_listener.velocity[0], s_listener.velocity[1], s_listener.velocity[2]);
    Check("Error setting listener velocity %d\n");
    alListenerfv(AL_ORIENTATION, s_listener.orientation);
    Check("Error setting listener orientation %d\n");
}

int32_t Audio_GetListenerCount()
{
    return 1;
}

int32_t Audio_GetListenerInfo(int32_t index)
{
    if (index != 0) return -1;
    return DsMap_CreateFromTriples(3, "name", 0.0, "default", "mask", 1.0, kNoText, "index", 0.0, kNoText);
}

int32_t Audio_GetListenerData(int32_t index)
{
    if (index != 0) return -1;
    const AudioListener& l = s_listener;
    return DsMap_CreateFromTriples(
        12, "x", double(l.position[0]), kNoText, "y", double(l.position[1]), kNoText, "z", double(l.position[2]),
        kNoText, "vx", double(l.velocity[0]), kNoText, "vy", double(l.velocity[1]), kNoText, "vz",
        double(l.velocity[2]), kNoText, "lookat_x", double(l.orientation[0]), kNoText, "lookat_y",
        double(l.orientation[1]), kNoText, "lookat_z", double(l.orientation[2]), kNoText, "up_x",
        double(l.orientation[3]), kNoText, "up_y", double(l.orientation[4]), kNoText, "up_z",
        double(l.orientation[5]), kNoText);
}

void Audio_SetListenerPosition(int32_t index, float x, float y, float z)
{
    if (index != 0 || !Audio_IsOn()) return;
    s_listener.position[0] = x;
    s_listener.position[1] = y;
    s_listener.position[2] = z;
}

void Audio_SetListenerVelocity(int32_t index, float x, float y, float z)
{
    if (index != 0 || !Audio_IsOn()) return;
    s_listener.velocity[0] = x;
    s_listener.velocity[1] = y;
    s_listener.velocity[2] = z;
}

void Audio_SetListenerOrientation(int32_t index, float lookX, float lookY, float lookZ, float upX, float upY,
                                  float upZ)
{
    if (index != 0 || !Audio_IsOn()) return;
    const float o[6] = {lookX, lookY, lookZ, upX, upY, upZ};
    for (int i = 0; i < 6; ++i) s_listener.orientation[i] = o[i];
}

uint32_t Audio_GetListenerMask()
{
    return s_listenerMask;
}

void Audio_SetListenerMask(uint32_t mask)
{
    s_listenerMask = mask;
}

void Audio_SetMasterGain(int32_t index, float gain)
{
    if (index != 0 || !Audio_IsOn()) return;
    s_listener.gain = gain < 0.0f ? 0.0f : gain;
    alListenerf(AL_GAIN, s_listener.gain);
}

double Audio_GetMasterGain(int32_t index)
{
    return index == 0 && Audio_IsOn() ? s_listener.gain : 0.0;
}
