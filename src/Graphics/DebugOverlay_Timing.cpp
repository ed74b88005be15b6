// Timing markers of a frame and the frame-rate statistics.
#include "Base/Console.h"
#include "Base/Timing.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"

FrameRateStats DebugFrameRate;
int32_t DrawnFrameCount = 0;

namespace {
// Fixed storage: opening and closing markers allocates nothing.
TimingMarker s_markers[TIMING_MARKER_LIMIT];
int32_t s_open[TIMING_MARKER_LIMIT];
int32_t s_count = 0;
int32_t s_depth = 0;
bool s_frameStarted = false;
}  // namespace

void Timing_Reset()
{
    s_depth = 0;
    s_frameStarted = true;
    s_count = 0;
    GR_D3D_DrawCallCount = 0;
    GR_D3D_TextureSwitchCount = 0;
    Timing_Push(0xFF000080u, "Total");
}

void Timing_Push(uint32_t colour, const char* name)
{
    if (!s_frameStarted) Timing_Reset();
    if (s_count >= TIMING_MARKER_LIMIT) return;
    const uint64_t now = Timing_Microseconds();
    s_markers[s_count] = TimingMarker{now, now, colour, name};
    s_open[s_depth++] = s_count++;
}

void Timing_Pop()
{
    if (s_depth <= 0) return;
    s_markers[s_open[--s_depth]].end = Timing_Microseconds();
}

int32_t Timing_MarkerCount() { return s_count; }

const TimingMarker* Timing_Markers() { return s_markers; }

// Used by the overlay: the frame ends with its draw.
void Timing_EndFrame() { s_frameStarted = false; }

bool Timing_FrameStarted() { return s_frameStarted; }

void Timing_PrintFPSStats()
{
    LogConsole->Output("---------------------------------------------------------------\n");
    LogConsole->Output("minFPS, maxFPS, avgFPS\n");
    LogConsole->Output("%d, %d, %d\n", DebugFrameRate.minimum, DebugFrameRate.maximum, DebugFrameRate.average);
    LogConsole->Output("---------------------------------------------------------------\n");
}
