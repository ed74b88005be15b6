// Operations on byte ranges of a buffer: fill, copies, files, base64 and digests.
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Base/Base64.h"
#include "Base/MemoryManager.h"
#include "Base/Md5.h"
#include "Base/Sha1.h"
#include "Buffer/Buffer_Main.h"
#include "IO/LoadSave.h"

namespace {
int64_t Modulo(int64_t a, int64_t n)
{
    const int64_t r = a % n;
    return r < 0 ? r + n : r;
}

// The element bytes of a fill or poke; empty when the type is refused.
std::vector<uint8_t> ElementBytes(int type, const BufferElement& element)
{
    if (type == eBuffer_String || type == eBuffer_Text) {
        if (!element.text) return {};
        const size_t n = std::strlen(element.text) + (type == eBuffer_String ? 1 : 0);
        return std::vector<uint8_t>(element.text, element.text + n);
    }
    const int n = IBuffer_TypeSize(type);
    if (n == 0 || type == eBuffer_F16 || type == eBuffer_U64) return {};
    IBuffer scratch(n, eBuffer_Fixed, 1);
    if (!scratch.PokeElement(0, type, element)) return {};
    return std::vector<uint8_t>(scratch.Data(), scratch.Data() + n);
}

// Copies count bytes in pieces, each ending where either side wraps.
int64_t CopyPieces(uint8_t* dest, int64_t destSize, int64_t destAt, const uint8_t* source, int64_t length,
                   int64_t sourceAt, int64_t count)
{
    while (count > 0) {
        int64_t n = count;
        if (n > destSize - destAt) n = destSize - destAt;
        if (n > length - sourceAt) n = length - sourceAt;
        std::memmove(dest + destAt, source + sourceAt, size_t(n));
        destAt += n;
        sourceAt += n;
        count -= n;
        if (destAt >= destSize && count > 0) destAt = 0;
        if (sourceAt >= length) sourceAt = 0;
    }
    return destAt;
}

// Source side of a copy: the offset and count after wrapping or clamping.
void SourceRange(int32_t length, int32_t* offset, int64_t* count, bool wrap)
{
    if (wrap) {
        *offset = int32_t(Modulo(*offset, length));
    } else {
        *offset = *offset < 0 ? 0 : *offset >= length ? length - 1 : *offset;
        if (*count > length - *offset) *count = length - *offset;
    }
}
}  // namespace

int32_t IBuffer_CopyMemoryWrap(uint8_t* dest, int32_t destSize, const uint8_t* source, int32_t length,
                               int32_t sourceOffset, int32_t size, int32_t destOffset, bool wrapDest,
                               bool wrapSource)
{
    if (!dest || !source || length < 1 || destSize < 1) return -1;
    int64_t count = size >= 0 ? size : length;
    SourceRange(length, &sourceOffset, &count, wrapSource);
    if (wrapDest) {
        destOffset = int32_t(Modulo(destOffset, destSize));
    } else {
        if (destOffset < 0) destOffset = 0;
        if (destOffset >= destSize) return -1;
        if (count > destSize - destOffset) count = destSize - destOffset;
    }
    const int64_t end = CopyPieces(dest, destSize, destOffset, source, length, sourceOffset, count);
    return int32_t(wrapDest && end >= destSize ? 0 : end);
}

int32_t IBuffer_CopyMemoryIn(IBuffer* buffer, const uint8_t* source, int32_t length, int32_t sourceOffset,
                             int32_t size, int32_t destOffset, bool grow, bool wrapDest, bool wrapSource)
{
    if (!buffer || !source || length < 1) return -1;
    int64_t count = size >= 0 ? size : length;
    SourceRange(length, &sourceOffset, &count, wrapSource);
    if (grow) {
        if (destOffset < 0) destOffset = 0;
        const int64_t end = int64_t(destOffset) + count;
        if (end > buffer->m_size && (end > INT32_MAX || !buffer->Resize(int32_t(end)))) {
            if (buffer->m_size < 1 || destOffset >= buffer->m_size) return -1;
            count = buffer->m_size - destOffset;  // no room to grow: cut to what exists
        }
    }
    if (buffer->m_size < 1) return -1;
    if (wrapDest) {
        destOffset = int32_t(Modulo(destOffset, buffer->m_size));
    } else {
        if (destOffset < 0) destOffset = 0;
        if (destOffset >= buffer->m_size) return -1;
        if (count > buffer->m_size - destOffset) count = buffer->m_size - destOffset;
    }
    int64_t at = destOffset, from = sourceOffset;
    while (count > 0) {
        int64_t n = count;
        if (n > buffer->m_size - at) n = buffer->m_size - at;
        if (n > length - from) n = length - from;
        std::memmove(buffer->m_data + at, source + from, size_t(n));
        at += n;
        from += n;
        count -= n;
        buffer->RaiseUsed(at);
        if (at >= buffer->m_size && (wrapDest || count > 0)) at = 0;
        if (from >= length) from = 0;
    }
    return int32_t(at);
}

bool IBuffer::ClampRange(int32_t* offset, int32_t* size) const
{
    if (m_size <= 0) return false;
    if (*offset < 0) *offset = 0;
    if (*offset >= m_size) *offset = m_size - 1;
    if (*size < 0 || *size > m_size - *offset) *size = m_size - *offset;
    return true;
}

void IBuffer::Fill(int32_t offset, int32_t size, int type, const BufferElement& element, int32_t stride,
                   bool zeroPadding)
{
    if (m_size == 0) return;
    const std::vector<uint8_t> bytes = ElementBytes(type, element);
    if (bytes.empty()) return;
    if (size < 0) size = m_size;
    if (m_kind == eBuffer_Wrap) {
        offset = int32_t(Modulo(offset, m_size));
    } else {
        if (offset < 0 || offset >= m_size) return;
        if (size > m_size - offset) size = m_size - offset;
    }
    static const uint8_t kZeros[512] = {};
    auto pad = [&](int64_t at, int64_t n) {
        if (!zeroPadding) return;
        for (int64_t done = 0; done < n;) {
            const int64_t k = n - done < 512 ? n - done : 512;
            PutBytes(at + done, kZeros, k);
            done += k;
        }
    };
    const int64_t length = int64_t(bytes.size());
    int64_t c = 0;
    if (stride <= 0) {
        while (c < size) {
            const int64_t gap = Modulo(-(int64_t(offset) + c), m_alignment);
            const int64_t padded = gap < size - c ? gap : size - c;
            pad(offset + c, padded);
            c += padded;
            // An element that no longer fits ends the fill.
            if (c >= size || length > size - c) break;
            PutBytes(offset + c, bytes.data(), length);
            c += length;
        }
    } else {
        const int64_t each = length < stride ? length : stride;
        while (c < size && each <= size - c) {
            PutBytes(offset + c, bytes.data(), each);
            const int64_t next = c + stride < size ? c + stride : size;
            pad(offset + c + each, next - (c + each));
            c += stride;
        }
    }
}

void IBuffer::Copy(int32_t offset, int32_t size, IBuffer* destination, int32_t destOffset)
{
    if (!destination) return;
    const bool grow = destination->m_kind == eBuffer_Grow || destination->m_size == 0;
    const bool wrapDest = destination->m_kind == eBuffer_Wrap;
    const bool wrapSource = m_kind == eBuffer_Wrap;
    if (destination == this && grow) {
        // Growing replaces the block the bytes come from: copy them out first.
        std::vector<uint8_t> copy(m_data, m_data + m_size);
        IBuffer_CopyMemoryIn(destination, copy.data(), m_size, offset, size, destOffset, grow, wrapDest, wrapSource);
        return;
    }
    IBuffer_CopyMemoryIn(destination, m_data, m_size, offset, size, destOffset, grow, wrapDest, wrapSource);
}

int IBuffer::LoadFromMemory(const void* data, int32_t length, int32_t sourceOffset, int32_t size, int32_t destOffset)
{
    if (!data) return 0;
    IBuffer_CopyMemoryIn(this, static_cast<const uint8_t*>(data), length, sourceOffset, size, destOffset,
                         m_kind == eBuffer_Grow || m_size == 0, m_kind == eBuffer_Wrap, false);
    return 1;
}

bool IBuffer::Save(const char* fileName, int32_t offset, int32_t size) const
{
    if (!ClampRange(&offset, &size)) return LoadSave_WriteSaveFile(fileName, nullptr, 0);
    return LoadSave_WriteSaveFile(fileName, m_data + offset, size_t(size));
}

bool IBuffer::ExtractRange(uint8_t** data, int32_t* length, int32_t offset, int32_t size, bool wrap) const
{
    *data = nullptr;
    *length = 0;
    if (m_size <= 0) return false;
    if (wrap && m_kind == eBuffer_Wrap) {
        offset = int32_t(Modulo(offset, m_size));
        if (size < 0) size = m_size;
    } else {
        ClampRange(&offset, &size);
    }
    *data = static_cast<uint8_t*>(QS_ALLOC(size > 0 ? size_t(size) : 1, true));
    GetBytes(offset, *data, size);
    *length = size;
    return true;
}

int IBuffer::Load(const char* fileName, int32_t sourceOffset, int32_t size, int32_t destOffset)
{
    if (!fileName || std::strncmp(fileName, "http://", 7) == 0 || std::strncmp(fileName, "https://", 8) == 0) return 0;
    uint32_t length = 0;
    uint8_t* bytes = nullptr;
    if (LoadSave_SaveFileExists(fileName)) bytes = LoadSave_ReadSaveFile(fileName, &length);
    else if (LoadSave_BundleFileExists(fileName)) bytes = LoadSave_ReadBundleFile(fileName, &length);
    if (!bytes) return 0;
    LoadFromMemory(bytes, int32_t(length), sourceOffset, size, destOffset);
    QS_FREE(bytes);
    return 1;
}

char* IBuffer::Base64Encode(int32_t offset, int32_t size) const
{
    if (!ClampRange(&offset, &size)) return Base64_Encode(nullptr, 0);
    return Base64_Encode(m_data + offset, size_t(size));
}

int IBuffer::Base64Decode(const char* text, int32_t destOffset, int32_t size)
{
    if (!text) return 0;
    const size_t textLength = std::strlen(text);
    if (textLength > size_t(INT32_MAX) / 3) return 0;
    const size_t area = textLength * 3 / 4 + 4;
    std::vector<uint8_t> decoded(area, 0);
    Base64_Decode(text, decoded.data(), area);
    const int32_t count = size >= 0 && size_t(size) < area ? size : int32_t(area);
    IBuffer_CopyMemoryIn(this, decoded.data(), count, 0, count, destOffset, m_kind == eBuffer_Grow || m_size == 0,
                         m_kind == eBuffer_Wrap, false);
    return 1;
}

namespace {
// Visits the bytes of a digest range in at most two runs.
template <typename Visit>
bool DigestRange(const uint8_t* data, int32_t bufferSize, bool wrap, int32_t offset, int32_t size, Visit visit)
{
    if (bufferSize <= 0) return false;
    int64_t count = size < 0 ? bufferSize : size;
    if (wrap) {
        int64_t at = Modulo(offset, bufferSize);
        while (count > 0) {
            const int64_t n = count < bufferSize - at ? count : bufferSize - at;
            visit(data + at, size_t(n));
            count -= n;
            at = 0;
        }
        return true;
    }
    if (offset < 0) offset = 0;
    if (offset >= bufferSize) offset = bufferSize - 1;
    if (count > bufferSize - offset) count = bufferSize - offset;
    visit(data + offset, size_t(count));
    return true;
}
}  // namespace

bool IBuffer::MD5(char out[33], int32_t offset, int32_t size) const
{
    out[0] = '\0';
    Md5Context context;
    Md5_Init(&context);
    if (!DigestRange(m_data, m_size, m_kind == eBuffer_Wrap, offset, size,
                     [&](const uint8_t* p, size_t n) { Md5_Update(&context, p, n); }))
        return false;
    Md5_Final(&context);
    for (int i = 0; i < 16; ++i) std::snprintf(out + 2 * i, 3, "%02x", context.digest[i]);
    return true;
}

bool IBuffer::SHA1(char out[41], int32_t offset, int32_t size) const
{
    out[0] = '\0';
    Sha1Context context;
    Sha1_Init(&context);
    if (!DigestRange(m_data, m_size, m_kind == eBuffer_Wrap, offset, size,
                     [&](const uint8_t* p, size_t n) { Sha1_Update(&context, p, n); }))
        return false;
    Sha1_Final(&context);
    for (int i = 0; i < 5; ++i) std::snprintf(out + 8 * i, 9, "%08x", unsigned(context.H[i]));
    return true;
}
