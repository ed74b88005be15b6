#include "Host/Host_Capture.h"

#include <AL/al.h>
#include <AL/alc.h>

namespace {
ALCdevice* Device(HCaptureDevice* device)
{
    return reinterpret_cast<ALCdevice*>(device);
}

const char* DeviceNames()
{
    return alcGetString(nullptr, ALC_CAPTURE_DEVICE_SPECIFIER);
}

HCaptureDevice* Open(const char* name, int32_t rate, int32_t ringSamples)
{
    ALCdevice* device = alcCaptureOpenDevice(name, ALCuint(rate), AL_FORMAT_MONO16, ALCsizei(ringSamples));
    return reinterpret_cast<HCaptureDevice*>(device);
}

void Start(HCaptureDevice* device)
{
    alcCaptureStart(Device(device));
}

void Close(HCaptureDevice* device)
{
    alcCaptureStop(Device(device));
    alcCaptureCloseDevice(Device(device));
}

int32_t Available(HCaptureDevice* device)
{
    ALCint samples = 0;
    alcGetIntegerv(Device(device), ALC_CAPTURE_SAMPLES, 1, &samples);
    return samples;
}

void Read(HCaptureDevice* device, int16_t* out, int32_t count)
{
    alcCaptureSamples(Device(device), out, ALCsizei(count));
}

constexpr HCaptureOps kSystem{DeviceNames, Open, Start, Close, Available, Read};
const HCaptureOps* s_ops = &kSystem;
}  // namespace

const HCaptureOps& HCapture()
{
    return *s_ops;
}

const HCaptureOps* HCapture_SetOps(const HCaptureOps* ops)
{
    const HCaptureOps* old = s_ops;
    s_ops = ops ? ops : &kSystem;
    return old;
}
