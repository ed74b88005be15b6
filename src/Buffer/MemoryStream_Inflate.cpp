// zlib payloads inflated into memory streams.
#include <zlib.h>

#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Buffer/MemoryStream.h"

namespace {
constexpr int kChunk = 16384;

voidpf ZStreamAlloc(voidpf, uInt items, uInt size)
{
    return QS_ALLOC(size_t(items) * size, true);
}

void ZStreamFree(voidpf, voidpf address)
{
    QS_FREE(address);
}
}  // namespace

int InflateStreamToStream(MemoryStream* source, MemoryStream* target)
{
    z_stream z;
    std::memset(&z, 0, sizeof z);
    z.zalloc = ZStreamAlloc;
    z.zfree = ZStreamFree;
    int result = inflateInit(&z);
    if (result != Z_OK) return result;
    unsigned char in[kChunk];
    unsigned char out[kChunk];
    result = Z_OK;
    while (result != Z_STREAM_END) {
        const int64_t remaining = source->GetSize() - source->GetPosition();
        if (source->GetPosition() < 0 || remaining <= 0) break;
        const int64_t n = source->ReadBytes(in, remaining < kChunk ? remaining : kChunk);
        z.next_in = in;
        z.avail_in = uInt(n);
        do {
            z.next_out = out;
            z.avail_out = kChunk;
            result = inflate(&z, Z_NO_FLUSH);
            if (result == Z_NEED_DICT) result = Z_DATA_ERROR;
            if (result == Z_DATA_ERROR || result == Z_MEM_ERROR || result == Z_STREAM_ERROR) {
                inflateEnd(&z);
                return result == Z_MEM_ERROR ? Z_MEM_ERROR : Z_DATA_ERROR;
            }
            const int64_t produced = kChunk - z.avail_out;
            if (produced > 0 && target->WriteBytes(out, produced) != produced) {
                inflateEnd(&z);
                return Z_ERRNO;
            }
        } while (z.avail_out == 0 && result != Z_STREAM_END);
    }
    inflateEnd(&z);
    // Input that ran out before the end of the zlib stream is damaged data.
    return result == Z_STREAM_END ? Z_OK : Z_DATA_ERROR;
}

MemoryStream* ZDecompressStream(MemoryStream* source)
{
    if (!source) return nullptr;
    int32_t length = 0;
    if (source->GetPosition() >= 0 && source->GetPosition() < source->GetSize()) {
        if (source->GetSize() - source->GetPosition() < 4) return nullptr;
        length = source->ReadInt32();
    }
    // The length comes from the data: it may claim no more than follows it.
    if (length < 0 || length > source->GetSize() - source->GetPosition()) {
        LogConsole->Output("ZDecompressStream: length %d exceeds the %lld bytes left\n", length,
                           static_cast<long long>(source->GetSize() - source->GetPosition()));
        return nullptr;
    }
    MemoryStream view(0);
    view.CopyFrom(source, length, true);
    view.SetPosition(0);
    LogConsole->Output("ZDecompressStream %d\n", length);
    auto* result = new MemoryStream(0);
    if (InflateStreamToStream(&view, result) != 0) {
        delete result;
        return nullptr;
    }
    LogConsole->Output("Done ZDecompressStream\n");
    result->SetPosition(0);
    return result;
}
