// Fuzzes the memory-stream reader, zlib payload inflation and the buffer's
// operations. The input is read as a stream and inflated as a payload; then
// its first bytes choose a buffer and the rest is a list of operations on it.
#include <cstdint>
#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/MemoryStream.h"

namespace {
struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    int32_t Small()  // offsets and sizes stay within a few times the buffer
    {
        const int16_t v = int16_t(Byte() | Byte() << 8);
        return v;
    }
};

void Streams(const uint8_t* data, size_t size)
{
    MemoryStream s(0);
    s.WriteBytes(data, int64_t(size));
    s.SetPosition(0);
    while (s.GetPosition() < s.GetSize()) {
        const int64_t before = s.GetPosition();
        switch (s.GetBuffer()[before] % 4) {
        case 0: (void)s.ReadInt32(); break;
        case 1: QS_FREE(s.ReadString()); break;
        case 2: (void)s.ReadDouble(); break;
        default: (void)s.ReadInt64(); break;
        }
        if (s.GetPosition() == before) break;
    }
    s.SetPosition(0);
    MemoryStream::Free(ZDecompressStream(&s));
    const std::string text(reinterpret_cast<const char*>(data), size);
    MemoryStream hex(0);
    hex.FromHexString(text.c_str());
    hex.Seek(0, 2);
    QS_FREE(hex.ToHexString());
}

void Buffers(Input in)
{
    const int kind = in.Byte() % 4;
    const int alignment = in.Byte();
    const int32_t size = in.Byte() | (in.Byte() & 0x0F) << 8;
    IBuffer* b = kind == eBuffer_Fast ? new Buffer_Fast(size, alignment) : new IBuffer(size, kind, alignment);
    IBuffer other(in.Byte(), in.Byte() % 3, 1);
    char digest[41];
    while (in.at < in.size) {
        const int op = in.Byte() % 14;
        const int type = in.Byte() % 15;
        BufferElement e;
        e.integer = in.Small();
        e.real = e.integer / 3.0;
        e.text = type == eBuffer_String ? "text" : type == eBuffer_Text ? "" : nullptr;
        switch (op) {
        case 0: b->WriteElement(type, e); break;
        case 1: b->ReadElement(type, &e); break;
        case 2: b->PeekElement(in.Small(), type, &e); break;
        case 3: b->PokeElement(in.Small(), type, e); break;
        case 4: b->Seek(in.Byte() % 4, in.Small()); break;
        case 5: {
            const int32_t offset = in.Small(), count = in.Small();
            b->Fill(offset, count, type, e, in.Small() % 64, in.Byte() & 1);
            break;
        }
        case 6: {
            const int32_t offset = in.Small(), count = in.Small();
            b->Copy(offset, count, in.Byte() & 1 ? b : &other, in.Small());
            break;
        }
        case 7: b->Resize(in.Small() & 0x3FFF); break;
        case 8: {
            const int32_t offset = in.Small();
            b->MD5(digest, offset, in.Small());
            break;
        }
        case 9: {
            const int32_t offset = in.Small();
            b->SHA1(digest, offset, in.Small());
            break;
        }
        case 10: {
            const int32_t offset = in.Small();
            QS_FREE(b->Base64Encode(offset, in.Small()));
            break;
        }
        case 11: {
            const size_t n = in.Byte();
            const std::string text(reinterpret_cast<const char*>(in.data) + in.at, n < in.size - in.at ? n : in.size - in.at);
            in.at += text.size();
            b->Base64Decode(text.c_str(), in.Small(), in.Small());
            break;
        }
        case 12: {
            uint8_t bytes[64];
            const int32_t n = in.Byte() % 64;
            if (in.Byte() & 1) b->ReadBytes(bytes, 1, n);
            else b->WriteBytes(in.data, 1, int32_t(in.size < size_t(n) ? in.size : size_t(n)));
            break;
        }
        default: QS_FREE(b->ReadString()); break;
        }
    }
    delete b;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Console_SetStdoutSuppressed(true);
        return true;
    }();
    (void)quiet;
    Streams(data, size);
    Buffers(Input{data, size});
    return 0;
}
