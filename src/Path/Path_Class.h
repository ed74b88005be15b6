#pragma once
// One path: its control points, and the sample table derived from them that
// every query reads. Each change to the points, kind, closed flag or
// precision rebuilds the sample table, its lengths and the path's time.
#include <cstdint>

// A control point; speed is a percentage of the mover's own speed.
struct PathPoint {
    float x;
    float y;
    float speed;
};

// A sample of the derived table; length runs along the table from its first sample.
struct PathDerivedPoint {
    float x;
    float y;
    float speed;
    float length;
};

constexpr int32_t PATH_KIND_STRAIGHT = 0;
constexpr int32_t PATH_KIND_SMOOTH = 1;
constexpr int32_t PATH_MAX_PRECISION = 8;
// Bytes of a "PATH" chunk entry before its points, and of one point.
constexpr uint32_t PATH_ENTRY_HEADER_SIZE = 20;
constexpr uint32_t PATH_ENTRY_POINT_SIZE = 12;

class CGamePath {
public:
    // A new empty path (straight, closed, precision 4) from the memory manager.
    static CGamePath* New();
    // Frees the points, the samples and the record.
    void Delete();

    // Returns the new point's index.
    int32_t AddPoint(float x, float y, float speed);
    // index 0..count; any other index does nothing.
    void InsertPoint(int32_t index, float x, float y, float speed);
    // index 0..count-1; any other index does nothing.
    void ChangePoint(int32_t index, float x, float y, float speed);
    void DeletePoint(int32_t index);
    // Drops every point; kind, closed flag and precision stay, and so does the
    // storage, for the points of the next fill.
    void Clear();
    // Appends a copy of other's points (other may be this path); null or empty: nothing.
    void Append(const CGamePath* other);
    // Copies kind, closed flag, precision and points of other.
    void Assign(const CGamePath* other);
    // Fills the path from a "PATH" chunk entry whose header and points the
    // caller has checked to lie in the game data. Precision is clamped to 0..8.
    bool Load(const uint8_t* entry);

    void Reverse();
    // Mirror, flip, rotate and rescale work about the centre of the points' bounding box.
    void Mirror();
    void Flip();
    void Rotate(float degrees);
    void Rescale(float xscale, float yscale);
    void Shift(float dx, float dy);

    // Kinds above 1 become straight.
    void SetKind(uint32_t kind);
    void SetClosed(bool closed);
    // Clamped to 0..8.
    void SetPrecision(int32_t precision);

    int32_t GetKind() const { return m_kind; }
    bool GetClosed() const { return m_closed; }
    int32_t GetPrecision() const { return m_precision; }
    int32_t GetPointCount() const { return m_pointCount; }
    float GetLength() const { return m_length; }
    float GetTime() const { return m_time; }
    int32_t GetDerivedCount() const { return m_derivedCount; }
    // Outside the points: a shared point x 0, y 0, speed 1.
    const PathPoint& GetPoint(int32_t index) const;
    // Outside the derived table: the same shared point, with length 0.
    const PathDerivedPoint& GetDerivedPoint(int32_t index) const;

    // Position and speed at a fraction (clamped to 0..1) of the length; with
    // no samples x 0, y 0, speed 100.
    void GetPosition(float fraction, float* x, float* y, float* speed) const;
    float GetXAt(float fraction) const;
    float GetYAt(float fraction) const;
    float GetSpeedAt(float fraction) const;

    // A line strip with a vertex every 4 units of length: at the path's own
    // position when absolute, else moved so that it starts at (x, y).
    void Draw(float x, float y, bool absolute) const;

private:
    CGamePath();
    bool GrowPoints(int32_t capacity);
    void AppendDerived(float x, float y, float speed);
    void Recompute();
    void DeriveStraight();
    void DeriveSmooth();
    void Subdivide(int32_t depth, const PathPoint& s, const PathPoint& c, const PathPoint& e);
    void ComputeLengths();
    // Adds the segment that ends at sample i (i >= 1) to the length and time.
    void MeasureSample(int32_t i);
    void Centre(float* cx, float* cy) const;
    // Replaces every point's coordinates relative to the centre (u, v) by f(u, v).
    template <typename Change>
    void TransformAboutCentre(Change change);

    int32_t m_pointCapacity;
    PathPoint* m_points;
    int32_t m_derivedCapacity;
    PathDerivedPoint* m_derived;
    int32_t m_pointCount;
    int32_t m_kind;
    bool m_closed;
    int32_t m_precision;
    int32_t m_derivedCount;
    float m_length;
    float m_time;
};
