#pragma once
// Sound capture devices: the names the system offers, and devices opened on
// one of them that gather 16-bit mono samples into a ring of their own
// between reads. A table of operations, so that tests can put a fake device
// in place of the system's.
#include <cstdint>

struct HCaptureDevice;

struct HCaptureOps {
    // The devices' names, each ended by a NUL, the list by an empty name; null when none.
    const char* (*deviceNames)();
    // Opens the named device at rate frames per second with a ring of ringSamples; null when it cannot be.
    HCaptureDevice* (*open)(const char* name, int32_t rate, int32_t ringSamples);
    void (*start)(HCaptureDevice* device);
    // Stops and closes the device.
    void (*close)(HCaptureDevice* device);
    // Samples gathered and not read yet.
    int32_t (*available)(HCaptureDevice* device);
    // Moves count samples (count <= available) into out.
    void (*read)(HCaptureDevice* device, int16_t* out, int32_t count);
};

// The operations in use: the system's, until a test sets others.
const HCaptureOps& HCapture();
// Uses ops (null: the system's again); returns the table it replaces.
const HCaptureOps* HCapture_SetOps(const HCaptureOps* ops);
