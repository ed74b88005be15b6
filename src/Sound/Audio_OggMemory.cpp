#include "Sound/Audio_OggMemory.h"

#include <cstdio>
#include <cstring>

namespace {
size_t OggData_Read(void* out, size_t size, size_t count, void* source)
{
    OggMemory* memory = static_cast<OggMemory*>(source);
    if (size == 0) return 0;
    const size_t left = memory->length - memory->position;
    size_t items = count;
    if (items > left / size) items = left / size;
    std::memcpy(out, memory->data + memory->position, items * size);
    memory->position += static_cast<uint32_t>(items * size);
    return items;
}

int OggData_Seek(void* source, ogg_int64_t offset, int whence)
{
    OggMemory* memory = static_cast<OggMemory*>(source);
    int64_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = memory->position; break;
    case SEEK_END: base = memory->length; break;
    default: return -1;
    }
    if (offset < -base || offset > static_cast<int64_t>(memory->length) - base) return -1;
    memory->position = static_cast<uint32_t>(base + offset);
    return 0;
}

int OggData_Close(void*)
{
    return 0;
}

long OggData_Tell(void* source)
{
    return static_cast<long>(static_cast<OggMemory*>(source)->position);
}
}  // namespace

ov_callbacks OggMemory_Callbacks()
{
    return ov_callbacks{OggData_Read, OggData_Seek, OggData_Close, OggData_Tell};
}
