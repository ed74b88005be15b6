#pragma once
// The debug overlay (-debug): the timing markers of each frame (named,
// coloured sections that become the overlay's bars), the frame-rate line
// with two renderer counters, the information panel opened by a hidden tap
// sequence, the frame-rate statistics printed at shutdown, and the overlay's
// own text drawing with the built-in font. What is shown follows DebugFlags
// (Options/Runner_Options.h): 0x01 panel, 0x02 rate line and bars, 0x08
// panel expanded, 0x10 audio display, 0x20 streaming-audio dump.
#include <cstdint>

constexpr int32_t TIMING_MARKER_LIMIT = 1024;
constexpr float TIMING_BAR_SCALE = 66666.664f;  // microseconds across the bars' width

struct TimingMarker {
    uint64_t start, end;  // microseconds
    uint32_t colour;      // vertex colour, alpha in the high byte
    const char* name;     // not copied
};

// The renderer begins a frame: markers emptied, counters reset, "Total" opened.
void Timing_Reset();
// Opens a marker (a frame of markers starts first when none has); nothing
// beyond the limit.
void Timing_Push(uint32_t colour, const char* name);
// Closes the innermost open marker; nothing when none is open.
void Timing_Pop();
int32_t Timing_MarkerCount();
const TimingMarker* Timing_Markers();

// Frame-rate statistics: frames seen (counted from the first overlay pass),
// and from the 101st on the minimum, maximum and average rate.
struct FrameRateStats {
    int32_t minimum = 2147483647;
    int32_t maximum = -2147483647 - 1;
    int32_t average = 30;
    int32_t shown = 0;     // the rate of the last frame
    float real = 0;        // fps_real: the rate without the present time
};
extern FrameRateStats DebugFrameRate;
extern int32_t DrawnFrameCount;  // frames seen
// Counts one frame of the given "Total" span and present time: the shown
// rate (truncated) and the statistics. The overlay's draw calls it.
int32_t DebugOverlay_CountFrame(uint64_t totalMicros, uint64_t presentMicros);
void Timing_PrintFPSStats();

// What the overlay needs from the world above the renderer: the size the
// mouse is mapped into (the room's, or view 0's port; false without a room),
// whether the remote debugger holds the game, and whether the object data
// carries its marker word. Set by Runner_InstallHooks; until then (and for a
// null slot) there is no room, no debugger and no marker.
struct DebugOverlayHooks {
    bool (*referenceSize)(int32_t* width, int32_t* height);
    bool (*debuggerPaused)();
    bool (*objectDataMarked)();
};
void DebugOverlay_SetHooks(const DebugOverlayHooks& hooks);

// Device set-up: state reset and the overlay font made when missing.
void DebugOverlay_Init();
// Device release: the overlay font goes with the device.
void DebugOverlay_Release();
// End of a frame's drawing, before present.
void DebugOverlay_Draw();
// The height of one overlay text line (audio debug displays).
int32_t DebugOverlay_LineHeight();

// Tap sequences on a 10 x 10 grid over the window: feeds one release at the
// mapped position; true when it completed the sequence. A tap off the grid
// leaves the position alone; a miss returns it to the start.
struct TapEntry {
    int32_t x, y, tolerance;
};
bool DebugOverlay_Tap(int32_t* position, const TapEntry* sequence, int32_t length, int32_t mappedX, int32_t mappedY,
                      int32_t windowWidth, int32_t windowHeight);

// Overlay text in the built-in font (characters 32..136), drawn through the
// batcher; each returns the width drawn.
int32_t DebugText_Draw(float x, float y, float xscale, float yscale, uint32_t colour, const char* text,
                       int32_t maxChars);
int32_t DebugText_Print(float x, float y, uint32_t colour, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
int32_t DebugText_PrintCentred(float y, int32_t width, uint32_t colour, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
int32_t DebugText_PrintOutlined(float x, float y, uint32_t outline, uint32_t colour, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
int32_t DebugText_Width(const char* text, int32_t maxChars);
// The pen after a tab at pen x.
float DebugText_TabStop(float x);
void DebugText_DrawRect(float x, float y, float width, float height, uint32_t colour);
