#include "Host/Host_Audio.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

namespace {
ALCdevice* g_Device = nullptr;
ALCcontext* g_Context = nullptr;
LPALCRENDERSAMPLESSOFT g_Render = nullptr;  // set only for a loopback device

// Asks for the sources as mono sources: the library counts mono and stereo
// sources from one pool, so the sum is what a context can hold.
bool MakeContext(ALCdevice* device, const ALCint* formatAttributes, int32_t wantedSources)
{
    ALCint attributes[16];
    int n = 0;
    for (const ALCint* a = formatAttributes; a && a[0] != 0; a += 2) {
        attributes[n++] = a[0];
        attributes[n++] = a[1];
    }
    attributes[n++] = ALC_MONO_SOURCES;
    attributes[n++] = wantedSources > 0 ? wantedSources : 0;
    attributes[n++] = 0;
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context) return false;
    if (!alcMakeContextCurrent(context)) {
        alcDestroyContext(context);
        return false;
    }
    g_Device = device;
    g_Context = context;
    return true;
}
}  // namespace

bool HAudio_OpenDefault(int32_t wantedSources)
{
    HAudio_Close();
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) return false;
    if (!MakeContext(device, nullptr, wantedSources)) {
        alcCloseDevice(device);
        return false;
    }
    return true;
}

bool HAudio_OpenLoopback(int32_t rate, int32_t wantedSources)
{
    HAudio_Close();
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return false;
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!open || !render) return false;
    ALCdevice* device = open(nullptr);
    if (!device) return false;
    const ALCint format[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                             ALC_FREQUENCY, rate, 0};
    if (!MakeContext(device, format, wantedSources)) {
        alcCloseDevice(device);
        return false;
    }
    g_Render = render;
    return true;
}

bool HAudio_Render(int16_t* out, int32_t frames)
{
    if (!g_Device || !g_Render || frames < 0) return false;
    g_Render(g_Device, out, frames);
    return true;
}

void HAudio_Close()
{
    if (g_Context) {
        if (alcGetCurrentContext() == g_Context) alcMakeContextCurrent(nullptr);
        alcDestroyContext(g_Context);
    }
    if (g_Device) alcCloseDevice(g_Device);
    g_Context = nullptr;
    g_Device = nullptr;
    g_Render = nullptr;
}

bool HAudio_IsOpen()
{
    return g_Context != nullptr;
}

const char* HAudio_DeviceName()
{
    if (!g_Device) return "";
    const ALCchar* name = alcGetString(g_Device, ALC_DEVICE_SPECIFIER);
    return name ? name : "";
}

int32_t HAudio_MaxSources()
{
    if (!g_Device) return 0;
    ALCint mono = 0, stereo = 0;
    alcGetIntegerv(g_Device, ALC_MONO_SOURCES, 1, &mono);
    alcGetIntegerv(g_Device, ALC_STEREO_SOURCES, 1, &stereo);
    return mono + stereo;
}
