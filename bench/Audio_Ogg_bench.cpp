// 32 streamed Ogg voices, looping, mixed on the loopback device for 60 s of
// audio at 44.1 kHz stereo. The decoder cycles run on this thread between
// pieces of 1024 frames (as the threads would every 16 ms), so that each
// cycle is timed: the largest is the decode latency, the longest a channel
// thread takes to refill its eight sources. Beside it, Debian's oggdec decodes
// the same 32 files, each once, and its time is scaled to the same 60 s of
// 32 voices.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "GameData/GameOptions.h"
#include "Host/Host_Audio.h"
#include "IO/LoadSave.h"
#include "Sound/Audio_Main.h"
#include "Sound/Audio_Ogg.h"
#include "Sound/Audio_OggAudio.h"
#include "Sound/Audio_OggThread.h"

namespace {
constexpr int kVoices = 32;
constexpr int kRate = 44100;
constexpr int kFileSeconds = 4;
constexpr int kAudioSeconds = 60;
constexpr int kPiece = 1024;

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// A chord of three tones with some noise, different in each file, so that the
// encoder keeps real content.
bool MakeFile(const std::string& folder, int index)
{
    const std::string raw = folder + "/in.raw";
    std::vector<int16_t> samples(static_cast<size_t>(kFileSeconds * kRate * 2));
    uint32_t noise = 12345u + static_cast<uint32_t>(index);
    for (size_t f = 0; f < samples.size() / 2; ++f) {
        const double t = static_cast<double>(f) / kRate;
        noise = noise * 1664525u + 1013904223u;
        double v = 0.0;
        for (int k = 1; k <= 3; ++k) v += std::sin(2 * M_PI * (110.0 * k + 7.0 * index) * t) * 3000.0;
        v += static_cast<double>(static_cast<int32_t>(noise >> 16) - 32768) * 0.05;
        samples[2 * f] = static_cast<int16_t>(v);
        samples[2 * f + 1] = static_cast<int16_t>(-v);
    }
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
    const std::string command = "oggenc -Q -r -B 16 -C 2 -R " + std::to_string(kRate) + " -o '" + folder +
                                "/track" + std::to_string(index) + ".ogg' '" + raw + "'";
    return std::system(command.c_str()) == 0;
}
}  // namespace

static void BM_OggStreams32(benchmark::State& state)
{
    if (std::system("command -v oggenc >/dev/null && command -v oggdec >/dev/null") != 0) {
        state.SkipWithError("oggenc and oggdec are not installed");
        return;
    }
    const std::string folder = (std::filesystem::temp_directory_path() / "qs_ogg_bench").string();
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kVoices; ++i) {
        if (!MakeFile(folder, i)) {
            state.SkipWithError("oggenc failed");
            return;
        }
    }
    GameOptions.newAudioEngine = true;
    if (!SoundHardware_CreateLoopback(kRate)) {
        state.SkipWithError("no loopback device");
        return;
    }
    OggAudio.threadless = true;
    InitProgramDirectory((folder + "/game.win").c_str());
    for (int i = 0; i < kVoices; ++i) {
        const int32_t stream = Audio_CreateStream(("track" + std::to_string(i) + ".ogg").c_str());
        Audio_PlaySimple(stream, 1.0, 1);
    }

    std::vector<int16_t> out(static_cast<size_t>(kPiece) * 2);
    double worstCycle = 0.0, worstSteady = 0.0, decodeMs = 0.0, cpuMs = 0.0;
    int64_t playing = 0;
    for (auto _ : state) {
        const std::clock_t cpuStart = std::clock();
        for (int done = 0; done < kAudioSeconds * kRate; done += kPiece) {
            for (int32_t t = 0; t < OggAudio.threadCount; ++t) {
                if (!OggAudio.threads[t].started) continue;
                const auto began = Clock::now();
                OggChannelThread_Cycle(&OggAudio.threads[t]);
                const double ms = Ms(Clock::now() - began);
                decodeMs += ms;
                worstCycle = std::max(worstCycle, ms);
                if (done > 0) worstSteady = std::max(worstSteady, ms);  // the first cycle opens the files
            }
            HAudio_Render(out.data(), kPiece);
        }
        cpuMs += 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        playing = 0;
        for (int32_t i = 0; i < OggAudio.threadCount; ++i)
            for (int32_t c = 0; c < OggAudio.threads[i].channelCount; ++c)
                playing += OggAudio.threads[i].channels[c].state != 0;
    }
    SoundHardware_Destroy();
    OggAudio.threadless = false;
    InitProgramDirectory(nullptr);

    // oggdec on the same files, each once: its time per second of one voice,
    // times the 32 voices.
    const auto began = Clock::now();
    for (int i = 0; i < kVoices; ++i) {
        const std::string command = "oggdec -Q -o /dev/null '" + folder + "/track" + std::to_string(i) + ".ogg'";
        if (std::system(command.c_str()) != 0) state.SkipWithError("oggdec failed");
    }
    const double oggdecMsPerVoiceSecond = Ms(Clock::now() - began) / (kVoices * kFileSeconds);
    std::filesystem::remove_all(folder);

    const double rendered = static_cast<double>(state.iterations()) * kAudioSeconds;
    state.counters["cpu_ms_per_audio_s"] = cpuMs / rendered;
    state.counters["decode_ms_per_audio_s"] = decodeMs / rendered;
    state.counters["max_cycle_ms"] = worstCycle;
    state.counters["max_refill_cycle_ms"] = worstSteady;
    state.counters["oggdec_ms_per_audio_s"] = oggdecMsPerVoiceSecond * kVoices;
    state.counters["channels_playing"] = static_cast<double>(playing);
}
BENCHMARK(BM_OggStreams32)->Iterations(1)->Unit(benchmark::kSecond);
