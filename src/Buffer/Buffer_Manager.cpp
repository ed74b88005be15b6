#include "Buffer/Buffer_Manager.h"

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"

namespace {
IBuffer** s_buffers = nullptr;
int s_capacity = 0;

int Store(IBuffer* buffer)
{
    const int id = Buffer_AllocIndex();
    if (id < 0) {
        delete buffer;
        return -1;
    }
    s_buffers[id] = buffer;
    return id;
}
}  // namespace

int Buffer_AllocIndex()
{
    for (int i = 0; i < s_capacity; ++i)
        if (!s_buffers[i]) return i;
    const int capacity = s_capacity ? s_capacity * 2 : 32;
    auto* grown = static_cast<IBuffer**>(QS_REALLOC(s_buffers, sizeof(IBuffer*) * size_t(capacity)));
    if (!grown) return -1;
    for (int i = s_capacity; i < capacity; ++i) grown[i] = nullptr;
    s_buffers = grown;
    const int first = s_capacity;
    s_capacity = capacity;
    return first;
}

int Buffer_Create(int32_t size, int kind, int alignment)
{
    // A negative size would become a huge unsigned allocation further down.
    if (size < 0) {
        ReportRuntimeError("buffer_create: Illegal size", false);
        return -1;
    }
    switch (kind) {
    case eBuffer_Fast:
        return Store(new Buffer_Fast(size, alignment));
    case eBuffer_Fixed:
    case eBuffer_Grow:
    case eBuffer_Wrap:
    case eBuffer_VBuffer:
        return Store(new IBuffer(size, kind, alignment));
    default:
        FatalRuntimeError("Unknown buffer type, should be one of buffer_fixed, buffer_grow, buffer_wrap, "
                          "buffer_fast, buffer_vbuffer");
        return -1;
    }
}

int Buffer_CreateWrapped(uint8_t* memory, int32_t size, bool owns)
{
    return Store(new IBuffer(memory, size, eBuffer_Fixed, 1, owns));
}

IBuffer* Buffer_Get(int id)
{
    return id >= 0 && id < s_capacity ? s_buffers[id] : nullptr;
}

void Buffer_Delete(int id)
{
    IBuffer* buffer = Buffer_Get(id);
    if (!buffer) return;
    delete buffer;
    s_buffers[id] = nullptr;
}

void Buffer_DeleteAll()
{
    for (int i = 0; i < s_capacity; ++i) delete s_buffers[i];
    QS_FREE(s_buffers);
    s_buffers = nullptr;
    s_capacity = 0;
}

int Buffer_Capacity()
{
    return s_capacity;
}
