#include "Host/Host_Memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace {
size_t PageSize()
{
    static const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return page;
}


// Large pages where the system offers them on request: one fault then
// stands for hundreds of small ones.
void AdviseLargePages(void* block, size_t length)
{
    constexpr size_t kLargePage = size_t{2} << 20;
    if (length >= kLargePage) madvise(block, length, MADV_HUGEPAGE);
}
}  // namespace

void* HostMemory_Map(size_t size)
{
    if (size == 0) return nullptr;
    const size_t length = HostMemory_Length(size);
    void* block = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
    AdviseLargePages(block, length);
    return block;
}

void* HostMemory_Grow(void* block, size_t oldSize, size_t newSize)
{
    if (newSize <= oldSize) return block;
    const size_t oldLength = HostMemory_Length(oldSize);
    const size_t newLength = HostMemory_Length(newSize);
    if (newLength > oldLength) {
        void* grown = mremap(block, oldLength, newLength, MREMAP_MAYMOVE);
        if (grown == MAP_FAILED) return nullptr;
        block = grown;
        AdviseLargePages(block, newLength);
    }
    // Pages added by the kernel are zero; the rest of the old last page is
    // cleared here, whatever was left in it.
    std::memset(static_cast<uint8_t*>(block) + oldSize, 0, oldLength - oldSize);
    return block;
}

void HostMemory_Unmap(void* block, size_t size)
{
    if (block) munmap(block, HostMemory_Length(size));
}

size_t HostMemory_Length(size_t size)
{
    const size_t page = PageSize();
    return (size + page - 1) / page * page;
}
