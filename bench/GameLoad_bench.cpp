// Loading a 200 MB game file (header pass and chunk pass, mostly texture-page
// bytes) against reading the file once. Goal: load / read <= 1.5.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Runner/GameChunks.h"
#include "GameData/GameHeader.h"
#include "Runner/Runner_LoadGame.h"
#include "gamedata/FormWriter.h"
#include "Runner/GameHeader_Load.h"

namespace {
char s_fileToRemove[1024];

// Made on first use in the temporary folder and removed at exit.
const std::string& BigGameFile()
{
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string p = std::string(tmp && tmp[0] ? tmp : "/tmp") + "/qs_bench_game_" + std::to_string(getpid()) + ".win";
        gamedata::FormWriter w;
        gamedata::GeneralHeader h;
        h.roomOrder = {0};
        w.Gen8(h);
        w.Optn(gamedata::Options{});
        std::vector<gamedata::TexturePageEntry> entries(50000);
        for (size_t i = 0; i < entries.size(); ++i) entries[i].texture = static_cast<int16_t>(i % 4);
        w.Tpag(entries);
        std::vector<gamedata::Texture> pages(4);
        for (size_t i = 0; i < pages.size(); ++i) {
            pages[i].image.resize(50u << 20);
            for (size_t b = 0; b < pages[i].image.size(); b += 4096) pages[i].image[b] = static_cast<uint8_t>(b >> 12);
        }
        w.Txtr(pages);
        pages.clear();
        std::snprintf(s_fileToRemove, sizeof s_fileToRemove, "%s", p.c_str());
        std::atexit([] { std::remove(s_fileToRemove); });
        gamedata::WriteFile(p, w.Finish());
        return p;
    }();
    return path;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_GameLoadVsRead(benchmark::State& state)
{
    const std::string& path = BigGameFile();
    Console_SetStdoutSuppressed(true);
    double readTime = 0, loadTime = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        uint32_t size = 0;
        uint8_t* data = GameFile_ReadWhole(path.c_str(), &size);
        readTime += Seconds(start);
        QS_FREE(data);

        start = std::chrono::steady_clock::now();
        data = GameFile_ReadWhole(path.c_str(), &size);
        const bool ok = LoadGameHeader(data, size) && LoadGameChunks(data, size);
        loadTime += Seconds(start);
        if (!ok) state.SkipWithError("the game file did not load");
        UnloadGameData();
        QS_FREE(data);
    }
    state.counters["read_ms"] = 1000.0 * readTime / static_cast<double>(state.iterations());
    state.counters["load_ms"] = 1000.0 * loadTime / static_cast<double>(state.iterations());
    state.counters["load_per_read"] = loadTime / readTime;
}
BENCHMARK(BM_GameLoadVsRead)->Iterations(5)->Unit(benchmark::kMillisecond);
}  // namespace
