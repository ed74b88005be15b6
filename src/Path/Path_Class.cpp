// Editing a path: its points, settings and transforms. The derived table is
// rebuilt after every change (Path_ClassDerive.cpp).
#include "Path/Path_Class.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "Base/MemoryManager.h"
#include "GameData/GameData.h"

namespace {
// Rotation uses the single-precision pi the rest of the engine uses.
constexpr float kPi = 3.1415927f;
}  // namespace

CGamePath::CGamePath()
    : m_pointCapacity(0),
      m_points(nullptr),
      m_derivedCapacity(0),
      m_derived(nullptr),
      m_pointCount(0),
      m_kind(PATH_KIND_STRAIGHT),
      m_closed(true),
      m_precision(4),
      m_derivedCount(0),
      m_length(0.0f),
      m_time(0.0f)
{
}

CGamePath* CGamePath::New()
{
    void* block = QS_ALLOC(sizeof(CGamePath), true);
    return block ? new (block) CGamePath() : nullptr;
}

void CGamePath::Delete()
{
    QS_FREE(m_points);
    QS_FREE(m_derived);
    QS_FREE(this);
}

bool CGamePath::GrowPoints(int32_t capacity)
{
    if (capacity <= m_pointCapacity) return true;
    void* grown = QS_REALLOC(m_points, sizeof(PathPoint) * static_cast<size_t>(capacity));
    if (!grown) return false;
    m_points = static_cast<PathPoint*>(grown);
    m_pointCapacity = capacity;
    return true;
}

int32_t CGamePath::AddPoint(float x, float y, float speed)
{
    InsertPoint(m_pointCount, x, y, speed);
    return m_pointCount - 1;
}

void CGamePath::InsertPoint(int32_t index, float x, float y, float speed)
{
    if (index < 0 || index > m_pointCount) return;
    // Doubling keeps a path built point by point from being copied once per few points.
    if (m_pointCount >= m_pointCapacity && !GrowPoints(std::max(m_pointCount + 1 + 5, m_pointCapacity * 2))) return;
    std::memmove(m_points + index + 1, m_points + index, sizeof(PathPoint) * static_cast<size_t>(m_pointCount - index));
    m_points[index] = {x, y, speed};
    ++m_pointCount;
    // A point at the end of an open straight path is one more sample: the
    // planners build long paths that way, and rebuilding the whole table for
    // each point would make that quadratic.
    const bool appended = index == m_pointCount - 1 && m_kind == PATH_KIND_STRAIGHT && !m_closed;
    if (appended && m_derivedCount == index) {
        AppendDerived(x, y, speed);
        if (m_derivedCount == m_pointCount) {
            if (m_derivedCount > 1) MeasureSample(m_derivedCount - 1);
            return;
        }
    }
    Recompute();
}

void CGamePath::ChangePoint(int32_t index, float x, float y, float speed)
{
    if (index < 0 || index >= m_pointCount) return;
    m_points[index] = {x, y, speed};
    Recompute();
}

void CGamePath::DeletePoint(int32_t index)
{
    if (index < 0 || index >= m_pointCount) return;
    std::memmove(m_points + index, m_points + index + 1, sizeof(PathPoint) * static_cast<size_t>(m_pointCount - index - 1));
    --m_pointCount;
    Recompute();
}

void CGamePath::Clear()
{
    // The planners refill one path again and again: giving its storage back
    // each time would have every fill allocate and clear it anew.
    m_pointCount = 0;
    Recompute();
}

void CGamePath::Append(const CGamePath* other)
{
    if (!other || other->m_pointCount == 0) return;
    const int32_t added = other->m_pointCount;
    if (!GrowPoints(m_pointCount + added)) return;
    // Read other's points only now: appending a path to itself may have moved them.
    std::memcpy(m_points + m_pointCount, other->m_points, sizeof(PathPoint) * static_cast<size_t>(added));
    m_pointCount += added;
    Recompute();
}

void CGamePath::Assign(const CGamePath* other)
{
    if (!other || other == this) return;
    QS_FREE(m_points);
    m_points = nullptr;
    m_pointCapacity = m_pointCount = 0;
    m_kind = other->m_kind;
    m_closed = other->m_closed;
    m_precision = other->m_precision;
    if (GrowPoints(other->m_pointCount)) {
        if (other->m_pointCount > 0)
            std::memcpy(m_points, other->m_points, sizeof(PathPoint) * static_cast<size_t>(other->m_pointCount));
        m_pointCount = other->m_pointCount;
    }
    Recompute();
}

bool CGamePath::Load(const uint8_t* entry)
{
    QS_FREE(m_points);
    m_points = nullptr;
    m_pointCapacity = m_pointCount = 0;
    m_kind = static_cast<int32_t>(GameData_U32(entry + 4));
    m_closed = GameData_U32(entry + 8) != 0;
    // Unclamped, a large precision would subdivide curves without bound.
    const int32_t precision = static_cast<int32_t>(GameData_U32(entry + 12));
    m_precision = precision < 0 ? 0 : (precision > PATH_MAX_PRECISION ? PATH_MAX_PRECISION : precision);
    const int32_t count = static_cast<int32_t>(GameData_U32(entry + 16));
    if (count > 0 && GrowPoints(count)) {
        const uint8_t* p = entry + PATH_ENTRY_HEADER_SIZE;
        for (int32_t i = 0; i < count; ++i, p += PATH_ENTRY_POINT_SIZE)
            m_points[i] = {GameData_F32(p), GameData_F32(p + 4), GameData_F32(p + 8)};
        m_pointCount = count;
    }
    Recompute();
    return true;
}

void CGamePath::Reverse()
{
    if (m_pointCount < 2) return;
    for (int32_t i = 0, j = m_pointCount - 1; i < j; ++i, --j) {
        const PathPoint t = m_points[i];
        m_points[i] = m_points[j];
        m_points[j] = t;
    }
    Recompute();
}

void CGamePath::Centre(float* cx, float* cy) const
{
    float minX = 100000000.0f, minY = 100000000.0f;
    float maxX = -100000000.0f, maxY = -100000000.0f;
    for (int32_t i = 0; i < m_pointCount; ++i) {
        minX = std::fmin(minX, m_points[i].x);
        maxX = std::fmax(maxX, m_points[i].x);
        minY = std::fmin(minY, m_points[i].y);
        maxY = std::fmax(maxY, m_points[i].y);
    }
    *cx = (minX + maxX) / 2.0f;
    *cy = (minY + maxY) / 2.0f;
}

template <typename Change>
void CGamePath::TransformAboutCentre(Change change)
{
    float cx, cy;
    Centre(&cx, &cy);
    for (int32_t i = 0; i < m_pointCount; ++i) {
        float u = m_points[i].x - cx;
        float v = m_points[i].y - cy;
        change(&u, &v);
        m_points[i].x = u + cx;
        m_points[i].y = v + cy;
    }
    Recompute();
}

void CGamePath::Mirror()
{
    TransformAboutCentre([](float* u, float*) { *u = -*u; });
}

void CGamePath::Flip()
{
    TransformAboutCentre([](float*, float* v) { *v = -*v; });
}

void CGamePath::Rotate(float degrees)
{
    const float theta = degrees * kPi / 180.0f;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    TransformAboutCentre([c, s](float* u, float* v) {
        const float u0 = *u;
        *u = u0 * c + *v * s;
        *v = *v * c - u0 * s;
    });
}

void CGamePath::Rescale(float xscale, float yscale)
{
    TransformAboutCentre([xscale, yscale](float* u, float* v) {
        *u *= xscale;
        *v *= yscale;
    });
}

void CGamePath::Shift(float dx, float dy)
{
    for (int32_t i = 0; i < m_pointCount; ++i) {
        m_points[i].x += dx;
        m_points[i].y += dy;
    }
    Recompute();
}

void CGamePath::SetKind(uint32_t kind)
{
    m_kind = kind > 1 ? PATH_KIND_STRAIGHT : static_cast<int32_t>(kind);
    Recompute();
}

void CGamePath::SetClosed(bool closed)
{
    m_closed = closed;
    Recompute();
}

void CGamePath::SetPrecision(int32_t precision)
{
    m_precision = precision < 0 ? 0 : (precision > PATH_MAX_PRECISION ? PATH_MAX_PRECISION : precision);
    Recompute();
}

const PathPoint& CGamePath::GetPoint(int32_t index) const
{
    static const PathPoint kOutside = {0.0f, 0.0f, 1.0f};
    if (index < 0 || index >= m_pointCount) return kOutside;
    return m_points[index];
}
