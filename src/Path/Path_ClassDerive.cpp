// A path's derived sample table, its lengths and time, and the queries and
// drawing that read it.
#include <algorithm>
#include <cmath>

#include "Base/MemoryManager.h"
#include "Path/Path_Class.h"
#include "Graphics/Graphics_Primitive.h"

namespace {
// Legs of a curve this short (squared: 16) are not subdivided further.
constexpr float kMinLegSquared = 16.0f;
// Line-strip primitive, untextured.
constexpr int kPrimitiveLineStrip = 3;
constexpr int kNoTexture = -1;
// The primitive builder keeps no more vertices than this; emitting more
// would only spend time on vertices it drops.
constexpr int32_t kPrimitiveVertexLimit = 1001;

PathPoint Mid(const PathPoint& a, const PathPoint& b)
{
    return {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, (a.speed + b.speed) / 2.0f};
}

float LegSquared(const PathPoint& a, const PathPoint& b)
{
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    return dx * dx + dy * dy;
}
}  // namespace

void CGamePath::AppendDerived(float x, float y, float speed)
{
    if (m_derivedCount >= m_derivedCapacity) {
        const int32_t capacity = std::max(m_derivedCount + 1 + 10, m_derivedCapacity * 2);
        void* grown = QS_REALLOC(m_derived, sizeof(PathDerivedPoint) * static_cast<size_t>(capacity));
        if (!grown) return;
        m_derived = static_cast<PathDerivedPoint*>(grown);
        m_derivedCapacity = capacity;
    }
    m_derived[m_derivedCount++] = {x, y, speed, 0.0f};
}

void CGamePath::Recompute()
{
    if (m_kind == PATH_KIND_SMOOTH) DeriveSmooth();
    else DeriveStraight();
    ComputeLengths();
}

void CGamePath::DeriveStraight()
{
    m_derivedCount = 0;
    if (m_pointCount == 0) return;
    for (int32_t i = 0; i < m_pointCount; ++i) AppendDerived(m_points[i].x, m_points[i].y, m_points[i].speed);
    if (m_closed) AppendDerived(m_points[0].x, m_points[0].y, m_points[0].speed);
}

void CGamePath::DeriveSmooth()
{
    m_derivedCount = 0;
    const int32_t n = m_pointCount;
    if (n == 0) return;
    if (!m_closed) AppendDerived(m_points[0].x, m_points[0].y, m_points[0].speed);
    const int32_t last = m_closed ? n : n - 2;
    for (int32_t i = 1; i <= last; ++i) {
        const PathPoint& previous = m_points[(i - 1) % n];
        const PathPoint& control = m_points[i % n];
        const PathPoint& next = m_points[(i + 1) % n];
        Subdivide(m_precision, Mid(previous, control), control, Mid(control, next));
    }
    if (!m_closed) {
        AppendDerived(m_points[n - 1].x, m_points[n - 1].y, m_points[n - 1].speed);
    } else if (m_derivedCount > 0) {
        // Precision 0 gives a closed path no samples at all: it stays empty.
        const PathDerivedPoint first = m_derived[0];
        AppendDerived(first.x, first.y, first.speed);
    }
}

void CGamePath::Subdivide(int32_t depth, const PathPoint& s, const PathPoint& c, const PathPoint& e)
{
    if (depth <= 0) return;
    const PathPoint m = {(s.x + 2.0f * c.x + e.x) / 4.0f, (s.y + 2.0f * c.y + e.y) / 4.0f,
                         (s.speed + 2.0f * c.speed + e.speed) / 4.0f};
    if (LegSquared(s, c) > kMinLegSquared) Subdivide(depth - 1, s, Mid(s, c), m);
    AppendDerived(m.x, m.y, m.speed);
    if (LegSquared(c, e) > kMinLegSquared) Subdivide(depth - 1, m, Mid(c, e), e);
}

void CGamePath::ComputeLengths()
{
    m_length = 0.0f;
    m_time = 0.0f;
    if (m_derivedCount == 0) return;
    m_derived[0].length = 0.0f;
    for (int32_t i = 1; i < m_derivedCount; ++i) MeasureSample(i);
}

void CGamePath::MeasureSample(int32_t i)
{
    const PathDerivedPoint& a = m_derived[i - 1];
    PathDerivedPoint& b = m_derived[i];
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float segment = std::sqrt(dx * dx + dy * dy);
    m_length += segment;
    b.length = m_length;
    // A segment of no length takes no time whatever its speed; one whose
    // speeds average 0 is never crossed, so the path's time is infinite.
    if (segment == 0.0f) return;
    const float speed = ((a.speed + b.speed) * 0.5f) / 100.0f;
    m_time = speed == 0.0f ? HUGE_VALF : m_time + segment / speed;
}

const PathDerivedPoint& CGamePath::GetDerivedPoint(int32_t index) const
{
    static const PathDerivedPoint kOutside = {0.0f, 0.0f, 1.0f, 0.0f};
    if (index < 0 || index >= m_derivedCount) return kOutside;
    return m_derived[index];
}

void CGamePath::GetPosition(float fraction, float* x, float* y, float* speed) const
{
    *x = 0.0f;
    *y = 0.0f;
    *speed = 100.0f;
    if (m_derivedCount == 0) return;
    const PathDerivedPoint* d = m_derived;
    // A NaN fraction counts as 0.
    if (m_derivedCount == 1 || m_length == 0.0f || !(fraction > 0.0f)) {
        *x = d[0].x;
        *y = d[0].y;
        *speed = d[0].speed;
        return;
    }
    if (fraction >= 1.0f) {
        const PathDerivedPoint& last = d[m_derivedCount - 1];
        *x = last.x;
        *y = last.y;
        *speed = last.speed;
        return;
    }
    const float target = m_length * fraction;
    int32_t j = 0;
    while (j < m_derivedCount - 2 && target >= d[j + 1].length) ++j;
    *x = d[j].x;
    *y = d[j].y;
    *speed = d[j].speed;
    const float span = d[j + 1].length - d[j].length;
    if (span != 0.0f) {
        const float t = (target - d[j].length) / span;
        *x += (d[j + 1].x - d[j].x) * t;
        *y += (d[j + 1].y - d[j].y) * t;
        *speed += (d[j + 1].speed - d[j].speed) * t;
    }
}

float CGamePath::GetXAt(float fraction) const
{
    float x, y, speed;
    GetPosition(fraction, &x, &y, &speed);
    return x;
}

float CGamePath::GetYAt(float fraction) const
{
    float x, y, speed;
    GetPosition(fraction, &x, &y, &speed);
    return y;
}

float CGamePath::GetSpeedAt(float fraction) const
{
    float x, y, speed;
    GetPosition(fraction, &x, &y, &speed);
    return speed;
}

void CGamePath::Draw(float x, float y, bool absolute) const
{
    float offsetX = x, offsetY = y;
    if (!absolute) {
        float startX, startY, speed;
        GetPosition(0.0f, &startX, &startY, &speed);
        offsetX -= startX;
        offsetY -= startY;
    }
    // Ties to even; a NaN length draws nothing.
    const float segments = std::nearbyint(m_length / 4.0f);
    if (!(segments >= 1.0f)) return;
    const int32_t lastVertex = segments >= kPrimitiveVertexLimit - 1 ? kPrimitiveVertexLimit - 1
                                                                     : static_cast<int32_t>(segments);
    GR_Draw_PrimitiveBegin(kPrimitiveLineStrip, kNoTexture);
    for (int32_t i = 0; i <= lastVertex; ++i) {
        float px, py, speed;
        GetPosition(static_cast<float>(i) / segments, &px, &py, &speed);
        GR_Draw_Vertex(px + offsetX, py + offsetY);
    }
    GR_Draw_PrimitiveEnd();
}
