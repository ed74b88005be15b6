#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"

// 100 MB written into a grow buffer that starts at one byte, then read back,
// element by element or as runs of bytes; beside it memcpy of the same bytes
// in and out.
namespace {
constexpr int32_t kBytes = 100 << 20;

void BM_Buffer_Memcpy(benchmark::State& state)
{
    std::vector<uint8_t> source(kBytes, 1), middle(kBytes), back(kBytes);
    for (auto _ : state) {
        std::memcpy(middle.data(), source.data(), kBytes);
        std::memcpy(back.data(), middle.data(), kBytes);
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kBytes) * 2);
}
BENCHMARK(BM_Buffer_Memcpy)->Unit(benchmark::kMillisecond);

// The same into memory allocated for each run, as a growing buffer's is.
void BM_Buffer_MemcpyFresh(benchmark::State& state)
{
    std::vector<uint8_t> source(kBytes, 1), back(kBytes);
    for (auto _ : state) {
        auto* middle = static_cast<uint8_t*>(QS_ALLOC(kBytes, true));
        std::memcpy(middle, source.data(), kBytes);
        std::memcpy(back.data(), middle, kBytes);
        benchmark::DoNotOptimize(back.data());
        QS_FREE(middle);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kBytes) * 2);
}
BENCHMARK(BM_Buffer_MemcpyFresh)->Unit(benchmark::kMillisecond);

// Fills the buffer with elements of type from its cursor, then reads them back from the start.
void WriteAndReadBack(IBuffer* b, int type)
{
    const int32_t size = IBuffer_TypeSize(type);
    BufferElement in;
    in.integer = 7;
    in.real = 1.25;
    for (int32_t i = 0; i < kBytes / size; ++i) b->WriteElement(type, in);
    b->Seek(eBuffer_SeekStart, 0);
    BufferElement out;
    double sum = 0;
    for (int32_t i = 0; i < kBytes / size; ++i) {
        b->ReadElement(type, &out);
        sum += out.real;
    }
    benchmark::DoNotOptimize(sum);
}

void BM_Buffer_Elements(benchmark::State& state)
{
    const int type = int(state.range(0));
    for (auto _ : state) {
        IBuffer b(1, eBuffer_Grow, 1);
        WriteAndReadBack(&b, type);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kBytes) * 2);
}
BENCHMARK(BM_Buffer_Elements)->Arg(eBuffer_U8)->Arg(eBuffer_F32)->Arg(eBuffer_F64)->Unit(benchmark::kMillisecond);

// The same elements into a buffer that already has the room: what each call
// costs, without growth and fresh pages.
void BM_Buffer_ElementsInPlace(benchmark::State& state)
{
    const int type = int(state.range(0));
    IBuffer b(kBytes, eBuffer_Grow, 1);
    std::memset(b.Data(), 0, kBytes);  // its pages are in before the clock starts
    for (auto _ : state) {
        b.Seek(eBuffer_SeekStart, 0);
        WriteAndReadBack(&b, type);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kBytes) * 2);
}
BENCHMARK(BM_Buffer_ElementsInPlace)->Arg(eBuffer_U8)->Arg(eBuffer_F32)->Arg(eBuffer_F64)->Unit(benchmark::kMillisecond);

// u8 runs: the bytes go through WriteBytes/ReadBytes in 64 KB pieces.
void BM_Buffer_ByteRuns(benchmark::State& state)
{
    std::vector<uint8_t> piece(64 << 10, 1), back(64 << 10);
    for (auto _ : state) {
        IBuffer b(1, eBuffer_Grow, 1);
        for (int32_t done = 0; done < kBytes; done += int32_t(piece.size())) b.WriteBytes(piece.data(), 1, int32_t(piece.size()));
        b.Seek(eBuffer_SeekStart, 0);
        for (int32_t done = 0; done < kBytes; done += int32_t(back.size())) b.ReadBytes(back.data(), 1, int32_t(back.size()));
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kBytes) * 2);
}
BENCHMARK(BM_Buffer_ByteRuns)->Unit(benchmark::kMillisecond);
}  // namespace
