#include <benchmark/benchmark.h>

#include <string>

#include "Base/CRC32.h"
#include "Base/Md5.h"
#include "Base/MurmurHash3.h"
#include "Base/Sha1.h"
#include "Base/UTF8.h"

namespace {
// A typical name key, and a larger buffer for the digests.
const std::string kName = "obj_player_controller";
const std::string kBlock(64 * 1024, 'q');

std::string MixedText()
{
    std::string s;
    for (int i = 0; i < 1000; ++i) s += "ab\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    return s;
}
const std::string kMixed = MixedText();
}  // namespace

static void BM_CRC32_Name(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(CRC32_String(kName.c_str()));
}
BENCHMARK(BM_CRC32_Name);

static void BM_Murmur3_Name(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(MurmurHash3_String(kName.c_str()));
}
BENCHMARK(BM_Murmur3_Name);

static void BM_CRC32_64K(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(CRC32_Calc(kBlock.data(), kBlock.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBlock.size()));
}
BENCHMARK(BM_CRC32_64K);

static void BM_Sha1_64K(benchmark::State& state)
{
    for (auto _ : state) {
        Sha1Context c;
        Sha1_Init(&c);
        Sha1_Update(&c, kBlock.data(), kBlock.size());
        Sha1_Final(&c);
        benchmark::DoNotOptimize(c.H[0]);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBlock.size()));
}
BENCHMARK(BM_Sha1_64K);

static void BM_Md5_64K(benchmark::State& state)
{
    for (auto _ : state) {
        Md5Context c;
        Md5_Init(&c);
        Md5_Update(&c, kBlock.data(), kBlock.size());
        Md5_Final(&c);
        benchmark::DoNotOptimize(c.digest[0]);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBlock.size()));
}
BENCHMARK(BM_Md5_64K);

static void BM_UTF8_Length(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(UTF8_Length(kMixed.c_str()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMixed.size()));
}
BENCHMARK(BM_UTF8_Length);
