// The overlay's audio displays: one row per playing source of the audio
// engine (flag 0x10), and the sync-group panel (flag 0x20).
#include <cstdint>

#include "Graphics/DebugOverlay.h"
#include "Graphics/DebugOverlay_Internal.h"
#include "Sound/Audio_Debug.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Ogg.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFF0000FFu;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRowOutline = 0x0FF00000u;
constexpr float kTop = 100.0f;
constexpr float kBoxWidth = 100.0f;
constexpr float kBoxStep = 105.0f;

// The playback point within the first buffer, 0..100 across its box.
int64_t PlayPoint(const AudioSourceState& s)
{
    if (s.bufferSize <= 0) return 0;
    return static_cast<int64_t>(s.sampleOffset) * 100 * (s.bufferBits / 8) * s.bufferChannels / s.bufferSize;
}

// The gain in 16.16 fixed point; a sound's gain has no upper bound.
int32_t GainFixed(float gain)
{
    const float fixed = gain * 65536.0f;
    if (!(fixed > 0.0f)) return 0;
    return fixed >= 2147483647.0f ? INT32_MAX : static_cast<int32_t>(fixed);
}
}  // namespace

void Audio_DrawDebug()
{
    const float line = static_cast<float>(DebugOverlay_LineHeight());
    const float w3 = static_cast<float>(DebugText_Width("MMM", 3));
    const float w5 = static_cast<float>(DebugText_Width("MMMMM", 5));
    const float w8 = static_cast<float>(DebugText_Width("MMMMMMMM", 8));
    const float boxes = 3 * w8 + 2 * w3 + w5 + 10;
    float y = kTop;
    AudioSourceState s;
    for (int32_t i = 0; i < Audio_GetSourceCount(); ++i) {
        if (!Audio_PlayingSourceState(i, &s)) continue;
        DebugText_PrintOutlined(10, y, kRowOutline, kWhite, "%d", static_cast<int32_t>(s.source));
        DebugText_PrintOutlined(w8 + 10, y, kRowOutline, kWhite, "%d", s.buffer);
        DebugText_PrintOutlined(2 * w8 + 10, y, kRowOutline, kWhite, "%d", s.processed);
        DebugText_PrintOutlined(2 * w8 + w3 + 10, y, kRowOutline, kWhite, "%d", s.queued);
        DebugText_PrintOutlined(2 * w8 + 2 * w3 + 10, y, kRowOutline, kWhite, "%d", GainFixed(s.gain));
        DebugText_PrintOutlined(2 * w8 + 2 * w3 + w5 + 10, y, kRowOutline, kWhite, "%08x",
                                static_cast<uint32_t>(s.sampleOffset));
        for (int32_t j = 0; j < s.queued; ++j) {
            const float x = boxes + kBoxStep * static_cast<float>(j);
            DebugText_DrawRect(x, y, kBoxWidth, line, kWhite);
            DebugText_PrintOutlined(x + 40, y, kRowOutline, kRed, "%d", j);
            if (j == 0) DebugText_DrawRect(x + static_cast<float>(PlayPoint(s)), y, 1, line, kRed);
        }
        y += line;
    }
}

void Audio_DebugDumpOgg()
{
    const float line = static_cast<float>(DebugOverlay_LineHeight());
    float y = kTop;
    AudioSyncGroupState g;
    if (!Audio_SyncGroupDebugState(&g)) {
        DebugText_PrintOutlined(10, y, kBlack, kWhite, "Audio Sync Count %d", OggAudio_SyncGroupCount());
        return;
    }
    DebugText_PrintOutlined(10, y, kBlack, kWhite, "Audio Sync Count %d Debug %d, %d channels, %d fails",
                            OggAudio_SyncGroupCount(), g.index, g.count, g.fails);
    y += 2 * line;
    for (int32_t j = 0; j < g.queued; ++j) {
        const float x = 10 + kBoxStep * static_cast<float>(j);
        DebugText_DrawRect(x, y, kBoxWidth, line, kWhite);
        if (j == 0)
            DebugText_DrawRect(x + static_cast<float>(static_cast<int64_t>(g.sampleOffset) * 200 * g.outChannels / 16384),
                               y, 1, line, kRed);
    }
    y += line;
    DebugText_PrintOutlined(10, y, kBlack, kWhite, "%d buffers queued", g.queued);
    y += line;
    // Each track's line shows the source's state when it is not playing.
    const uint32_t stateColour = g.sourceState == AudioSyncGroupState::kInitial   ? 0xFF00FFFFu
                                 : g.sourceState == AudioSyncGroupState::kPaused  ? 0xFFFF0000u
                                 : g.sourceState == AudioSyncGroupState::kStopped ? 0xFFFF00FFu
                                                                                  : 0u;
    AudioSyncTrackState t;
    for (int32_t c = 0; Audio_SyncGroupDebugTrack(c, &t); ++c) {
        const uint32_t colour = stateColour ? stateColour : t.audible ? 0xFF00FF00u : kRed;
        DebugText_PrintOutlined(10, y, kBlack, colour, "Channel %d : %s : %lld bytes %d channels %d hz synclen %lld (%lld)",
                                c, t.fileName ? t.fileName : "NULL",
                                static_cast<long long>(t.totalSamples > 0 ? t.totalSamples : 0), t.channels, t.rate,
                                static_cast<long long>(t.totalSamples), static_cast<long long>(t.position));
        y += line;
    }
}
