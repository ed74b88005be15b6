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
    // Sync groups are not played yet, so the panel is only their count.
    DebugText_PrintOutlined(10, kTop, kBlack, kWhite, "Audio Sync Count %d", OggAudio_SyncGroupCount());
}
