// Loading vector data into a sprite: the header, the items (shapes with their
// styles and triangulated sub-shapes, bitmaps decoded into textures), the
// timeline and the run-length collision masks. The data may come from a game
// data chunk or a file: every count is checked against the bytes that remain
// and every index against its array before anything is kept, so a broken
// block is refused with a message and never read past.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "GameData/GameData.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/ImageLimits.h"
#include "IO/LoadSave.h"
#include "Sprite/Sprite_Class.h"
#include "Sprite/Sprite_Vector.h"

bool VectorAntiAliasEnabled = false;
float VectorAntiAliasLevel = 1.0f;

namespace {
constexpr float kTwips = 0.05f;  // pixels per unit of the data

uint64_t Padded(uint64_t n)
{
    return (n + 3) & ~uint64_t{3};
}

template <typename T>
T* NewArray(int64_t n)
{
    return n > 0 ? static_cast<T*>(QS_ALLOC(sizeof(T) * size_t(n), true)) : nullptr;
}

// Little-endian words of the vector data; the first failure keeps its message.
struct VectorReader {
    const uint8_t* data;
    uint32_t size;
    char* why;
    size_t whySize;
    uint32_t pos = 0;
    bool ok = true;

    bool Fail(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        if (ok && why && whySize > 0) {
            va_list args;
            va_start(args, format);
            std::vsnprintf(why, whySize, format, args);
            va_end(args);
        }
        ok = false;
        return false;
    }
    uint32_t U32()
    {
        if (!ok) return 0;
        if (size - pos < 4) {
            Fail("vector data end at byte %u in the middle of a record", pos);
            return 0;
        }
        const uint32_t v = GameData_U32(data + pos);
        pos += 4;
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float F32()
    {
        const uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    // A count of records at least `bytes` long each, all of which must fit what remains.
    bool Count(int32_t n, uint32_t bytes, const char* what)
    {
        if (!ok) return false;
        if (n < 0 || uint64_t(uint32_t(n)) * bytes > size - pos)
            return Fail("vector data: %d %s at byte %u do not fit the data", n, what, pos);
        return true;
    }
    const uint8_t* Skip(uint64_t n, const char* what)
    {
        if (!ok) return nullptr;
        if (n > size - pos) {
            Fail("vector data: %s of %llu bytes at byte %u do not fit the data", what,
                 static_cast<unsigned long long>(n), pos);
            return nullptr;
        }
        const uint8_t* at = data + pos;
        pos += static_cast<uint32_t>(n);
        return at;
    }
    bool Memory(const void* p, int64_t n)
    {
        if (n > 0 && !p) return Fail("vector data: no memory");
        return ok;
    }
};

// n points of two floats.
bool ReadPoints(VectorReader& r, int32_t n, float** out)
{
    *out = NewArray<float>(int64_t(n) * 2);
    if (!r.Memory(*out, n)) return false;
    for (int64_t i = 0; i < int64_t(n) * 2; ++i) (*out)[i] = r.F32();
    return r.ok;
}

// n records of `per` point indices, each kept as 16 bits and below points.
bool ReadIndices(VectorReader& r, int32_t n, int per, int32_t points, uint16_t** out, const char* what)
{
    *out = NewArray<uint16_t>(int64_t(n) * per);
    if (!r.Memory(*out, n)) return false;
    for (int64_t i = 0; i < int64_t(n) * per; ++i) {
        const auto index = static_cast<uint16_t>(r.U32());
        if (r.ok && index >= points)
            return r.Fail("vector data: %s index %u is not below the %d points", what, index, points);
        (*out)[i] = index;
    }
    return r.ok;
}

void FreeMesh(VectorMesh& m)
{
    QS_FREE(m.points);
    QS_FREE(m.triangles);
    QS_FREE(m.edges);
    QS_FREE(m.offsets);
}

void FreeItems(VectorItem* items, int32_t count)
{
    for (int32_t i = 0; items && i < count; ++i) {
        VectorItem& item = items[i];
        for (int32_t g = 0; item.groups && g < item.groupCount; ++g) {
            VectorStyleGroup& group = item.groups[g];
            for (int32_t f = 0; group.fillStyles && f < group.fillStyleCount; ++f) {
                QS_FREE(group.fillStyles[f].stops);
                if (group.fillStyles[f].texture >= 0) GR_Texture_Free(group.fillStyles[f].texture);
            }
            for (int32_t s = 0; group.subShapes && s < group.subShapeCount; ++s) {
                FreeMesh(group.subShapes[s].fill);
                FreeMesh(group.subShapes[s].line);
            }
            QS_FREE(group.fillStyles);
            QS_FREE(group.lineColours);
            QS_FREE(group.subShapes);
        }
        QS_FREE(item.groups);
        if (item.texture >= 0) GR_Texture_Free(item.texture);
    }
    QS_FREE(items);
}

void FreeTimeline(VectorTimeline* timeline)
{
    if (!timeline) return;
    for (int32_t f = 0; timeline->frames && f < timeline->frameCount; ++f) QS_FREE(timeline->frames[f].placements);
    QS_FREE(timeline->frames);
    QS_FREE(timeline);
}

bool ReadFillStyle(VectorReader& r, VectorFillStyle& style, const VectorItem* earlier, int32_t earlierCount)
{
    style.type = r.I32();
    style.texture = -1;
    style.bitmapItem = -1;
    const auto readMatrix = [&] {
        for (float& m : style.matrix) m = r.F32();
        r.Skip(12, "unused words");
    };
    if (style.type == VECTOR_FILL_SOLID) {
        style.colour = r.U32();
    } else if (style.type == VECTOR_FILL_GRADIENT) {
        style.kind = r.I32();
        readMatrix();
        style.stopCount = r.I32();
        if (!r.Count(style.stopCount, 8, "gradient stops")) return false;
        style.stops = NewArray<VectorGradientStop>(style.stopCount);
        if (!r.Memory(style.stops, style.stopCount)) return false;
        for (int32_t i = 0; i < style.stopCount; ++i) {
            style.stops[i].ratio = r.I32();
            style.stops[i].colour = r.U32();
        }
        if (r.ok) style.texture = CSprite::CreateGradientTexture(style);
    } else if (style.type == VECTOR_FILL_BITMAP) {
        style.kind = r.I32();
        const int32_t id = r.I32();
        readMatrix();
        for (int32_t i = 0; i < earlierCount; ++i)
            if (earlier[i].id == id) {
                style.bitmapItem = i;
                break;
            }
    }
    return r.ok;
}

bool ReadSubShape(VectorReader& r, VectorSubShape& s, int32_t version, const VectorStyleGroup& group)
{
    r.U32();  // not used
    s.fillStyle = r.I32();
    s.lineStyle = r.I32();
    const int32_t fillPoints = r.I32(), pairs = r.I32(), fillTriangles = r.I32();
    const int32_t linePoints = r.I32(), lineTriangles = r.I32();
    int32_t fillEdges = 0, fillOffsets = 0, lineEdges = 0, lineOffsets = 0;
    if (version >= 5) {
        fillEdges = r.I32();
        fillOffsets = r.I32();
    }
    if (version >= 6) {
        lineEdges = r.I32();
        lineOffsets = r.I32();
    }
    if (!r.ok) return false;
    if (s.fillStyle < -1 || s.fillStyle >= group.fillStyleCount)
        return r.Fail("vector data: fill style %d of %d styles", s.fillStyle, group.fillStyleCount);
    if (s.lineStyle < -1 || s.lineStyle >= group.lineStyleCount)
        return r.Fail("vector data: line style %d of %d styles", s.lineStyle, group.lineStyleCount);
    if ((fillOffsets != 0 && fillOffsets != fillPoints) || (lineOffsets != 0 && lineOffsets != linePoints))
        return r.Fail("vector data: %d and %d edge offsets for %d and %d points", fillOffsets, lineOffsets,
                      fillPoints, linePoints);
    // Every array is checked for room before it is allocated.
    if (!r.Count(fillPoints, 8, "fill points") || !ReadPoints(r, fillPoints, &s.fill.points)) return false;
    s.fill.pointCount = fillPoints;
    if (!r.Count(pairs, 8, "index pairs")) return false;
    r.Skip(uint64_t(uint32_t(pairs)) * 8, "index pairs");
    s.fill.triangleCount = fillTriangles;
    if (!r.Count(fillTriangles, 12, "fill triangles") ||
        !ReadIndices(r, fillTriangles, 3, fillPoints, &s.fill.triangles, "fill triangle"))
        return false;
    s.line.pointCount = linePoints;
    if (!r.Count(linePoints, 8, "line points") || !ReadPoints(r, linePoints, &s.line.points)) return false;
    s.line.triangleCount = lineTriangles;
    if (!r.Count(lineTriangles, 12, "line triangles") ||
        !ReadIndices(r, lineTriangles, 3, linePoints, &s.line.triangles, "line triangle"))
        return false;
    s.fill.edgeCount = fillEdges;
    if (!r.Count(fillEdges, 8, "fill edges") || !ReadIndices(r, fillEdges, 2, fillPoints, &s.fill.edges, "fill edge"))
        return false;
    s.fill.offsetCount = fillOffsets;
    if (!r.Count(fillOffsets, 8, "fill offsets") || !ReadPoints(r, fillOffsets, &s.fill.offsets)) return false;
    s.line.edgeCount = lineEdges;
    if (!r.Count(lineEdges, 8, "line edges") || !ReadIndices(r, lineEdges, 2, linePoints, &s.line.edges, "line edge"))
        return false;
    s.line.offsetCount = lineOffsets;
    return r.Count(lineOffsets, 8, "line offsets") && ReadPoints(r, lineOffsets, &s.line.offsets);
}

bool ReadShape(VectorReader& r, VectorItem& item, int32_t version, const VectorItem* earlier, int32_t earlierCount)
{
    r.Skip(16, "shape words");
    item.groupCount = r.I32();
    if (!r.Count(item.groupCount, 12, "style groups")) return false;
    item.groups = NewArray<VectorStyleGroup>(item.groupCount);
    if (!r.Memory(item.groups, item.groupCount)) return false;
    for (int32_t g = 0; g < item.groupCount; ++g) {
        VectorStyleGroup& group = item.groups[g];
        const int32_t fills = r.I32(), lines = r.I32(), subShapes = r.I32();
        if (!r.Count(fills, 4, "fill styles")) return false;
        group.fillStyles = NewArray<VectorFillStyle>(fills);
        if (!r.Memory(group.fillStyles, fills)) return false;
        group.fillStyleCount = fills;
        for (int32_t f = 0; f < fills; ++f) group.fillStyles[f].texture = -1;
        for (int32_t f = 0; f < fills; ++f)
            if (!ReadFillStyle(r, group.fillStyles[f], earlier, earlierCount)) return false;
        if (!r.Count(lines, 4, "line styles")) return false;
        group.lineColours = NewArray<uint32_t>(lines);
        if (!r.Memory(group.lineColours, lines)) return false;
        group.lineStyleCount = lines;
        for (int32_t l = 0; l < lines; ++l) group.lineColours[l] = r.U32();
        if (!r.Count(subShapes, 32, "sub-shapes")) return false;
        group.subShapes = NewArray<VectorSubShape>(subShapes);
        if (!r.Memory(group.subShapes, subShapes)) return false;
        group.subShapeCount = subShapes;
        for (int32_t s = 0; s < subShapes; ++s)
            if (!ReadSubShape(r, group.subShapes[s], version, group)) return false;
    }
    return r.ok;
}

bool ReadTimeline(VectorReader& r, VectorTimeline& t, int32_t itemCount, uint32_t* maskCount, int32_t* maskWidth,
                  int32_t* maskHeight)
{
    r.U32();  // not used
    const int32_t frames = r.I32();
    t.left = r.F32() * kTwips;
    t.right = r.F32() * kTwips;
    t.top = r.F32() * kTwips;
    t.bottom = r.F32() * kTwips;
    *maskCount = r.U32();
    *maskWidth = r.I32();
    *maskHeight = r.I32();
    if (!r.Count(frames, 20, "frames")) return false;
    t.frames = NewArray<VectorFrame>(frames);
    if (!r.Memory(t.frames, frames)) return false;
    t.frameCount = frames;
    for (int32_t f = 0; f < frames; ++f) {
        VectorFrame& frame = t.frames[f];
        const int32_t placements = r.I32();
        for (float& b : frame.bounds) b = r.F32() * kTwips;
        if (!r.Count(placements, 100, "placements")) return false;
        frame.placements = NewArray<VectorPlacement>(placements);
        if (!r.Memory(frame.placements, placements)) return false;
        frame.placementCount = placements;
        for (int32_t p = 0; p < placements; ++p) {
            VectorPlacement& q = frame.placements[p];
            q.visible = r.U32() != 0;
            q.item = r.I32();
            q.depth = r.I32();
            q.clipDepth = r.I32();
            for (int32_t& m : q.multiply) m = r.I32();
            for (int32_t& a : q.add) a = r.I32();
            for (float& b : q.bounds) b = r.F32() * kTwips;
            float m[6];
            for (float& v : m) v = r.F32();
            r.Skip(12, "unused words");
            Matrix_Identity(&q.matrix);
            q.matrix.m[0][0] = m[0];
            q.matrix.m[1][0] = m[1];
            q.matrix.m[3][0] = m[2];
            q.matrix.m[0][1] = m[3];
            q.matrix.m[1][1] = m[4];
            q.matrix.m[3][1] = m[5];
            if (r.ok && (q.item < 0 || q.item >= itemCount))
                return r.Fail("vector data: frame %d places item %d of %d items", f, q.item, itemCount);
        }
    }
    return r.ok;
}

}  // namespace

void CSprite::FreeVectorData()
{
    FreeItems(m_vectorItems, m_vectorItemCount);
    FreeTimeline(m_vectorTimeline);
    m_vectorItems = nullptr;
    m_vectorItemCount = 0;
    m_vectorTimeline = nullptr;
}

bool CSprite::LoadVector(const uint8_t* data, uint32_t size, int32_t xorig, int32_t yorig, char* why, size_t whySize)
{
    if (!data) return false;
    FreeVectorData();
    VectorReader r{data, size, why, whySize};
    uint32_t header = r.U32();
    int32_t version = 4;
    if (header & 0x80000000u) {
        header &= 0x7FFFFFFFu;
        version = r.I32();
    }
    const uint32_t tableSize = header;
    const uint8_t* tables = tableSize > 0 ? r.Skip(Padded(tableSize), "JPEG tables") : nullptr;

    const int32_t itemCount = r.I32();
    VectorItem* items = nullptr;
    if (r.Count(itemCount, 8, "items")) {
        items = NewArray<VectorItem>(itemCount);
        r.Memory(items, itemCount);
    }
    for (int32_t i = 0; r.ok && i < itemCount; ++i) items[i].texture = -1;
    for (int32_t i = 0; r.ok && i < itemCount; ++i) {
        VectorItem& item = items[i];
        item.type = r.I32();
        item.id = r.I32();
        if (item.type == VECTOR_ITEM_SHAPE) {
            ReadShape(r, item, version, items, i);
        } else if (item.type == VECTOR_ITEM_BITMAP) {
            item.bitmapKind = r.I32();
            item.width = r.I32();
            item.height = r.I32();
            const uint32_t a = r.U32(), b = r.U32(), c = r.U32();
            const uint8_t* blocks = r.Skip(Padded(uint64_t(a) + b + c), "bitmap blocks");
            if (blocks) CreateVectorBitmap(item, blocks, a, blocks + a, b, blocks + a + b, c, tables, tableSize);
        }
    }

    auto* timeline = NewArray<VectorTimeline>(1);
    r.Memory(timeline, 1);
    uint32_t maskCount = 0;
    int32_t maskWidth = 0, maskHeight = 0;
    if (r.ok) ReadTimeline(r, *timeline, itemCount, &maskCount, &maskWidth, &maskHeight);
    const uint8_t** maskBytes = nullptr;
    uint32_t* maskSizes = nullptr;
    if (r.ok && maskCount > 0) {
        if (!Image_SizeAllowed(maskWidth, maskHeight))
            r.Fail("vector data: collision masks of %d x %d pixels", maskWidth, maskHeight);
        else if (r.Count(static_cast<int32_t>(maskCount), 4, "collision masks")) {
            maskBytes = NewArray<const uint8_t*>(maskCount);
            maskSizes = NewArray<uint32_t>(maskCount);
            r.Memory(maskBytes, maskCount);
            r.Memory(maskSizes, maskCount);
        }
        for (uint32_t m = 0; r.ok && m < maskCount; ++m) {
            maskSizes[m] = r.U32();
            maskBytes[m] = r.Skip(Padded(maskSizes[m]), "collision mask");
        }
    }
    if (!r.ok) {
        FreeItems(items, itemCount);
        FreeTimeline(timeline);
        QS_FREE(maskBytes);
        QS_FREE(maskSizes);
        return false;
    }
    m_vectorItems = items;
    m_vectorItemCount = itemCount;
    m_vectorTimeline = timeline;

    if (maskCount > 0) {
        width = maskWidth;
        height = maskHeight;
        if (!loadedFromDataFile) precise = true;
        const bool decoded = DecodeRLEMasks(maskBytes, maskSizes, static_cast<int32_t>(maskCount));
        QS_FREE(maskBytes);
        QS_FREE(maskSizes);
        if (!decoded) {
            FreeVectorData();
            return r.Fail("vector data: its collision masks do not cover %d x %d pixels each", width, height);
        }
    } else {
        width = TruncateBound(timeline->right);
        height = TruncateBound(timeline->bottom);
        if (!loadedFromDataFile) precise = false;
    }
    if (!loadedFromDataFile) {
        bboxMode = 0;
        preload = true;
    }
    if (!loadedFromDataFile || precise) {
        bboxLeft = TruncateBound(timeline->left);
        bboxRight = TruncateBound(timeline->right);
        bboxTop = TruncateBound(timeline->top);
        bboxBottom = TruncateBound(timeline->bottom);
        xorigin = xorig;
        yorigin = yorig;
    }
    frameCount = timeline->frameCount;
    transparent = true;
    const int32_t corners[4][2] = {
        {bboxLeft, bboxTop}, {bboxRight, bboxTop}, {bboxLeft, bboxBottom}, {bboxRight, bboxBottom}};
    extent = 0;
    for (const auto& c : corners) {
        const double dx = double(c[0]) - xorigin, dy = double(c[1]) - yorigin;
        const double d = std::sqrt(dx * dx + dy * dy);
        extent = std::max(extent, d < 2147483647.0 ? static_cast<int32_t>(d) : INT32_MAX);
    }
    return true;
}

bool CSprite::LoadVectorFile(const char* path, int32_t xorig, int32_t yorig)
{
    if (!path) return false;
    uint32_t size = 0;
    uint8_t* bytes = LoadSave_ReadAssetFile(path, &size);
    if (!bytes) return false;
    Clear();
    char why[256] = "";
    const bool loaded = LoadVector(bytes, size, xorig, yorig, why, sizeof why);
    QS_FREE(bytes);
    if (!loaded) {
        LogConsole->Output("Sprite %s: %s\n", path, why);
        Clear();
        return false;
    }
    kind = SPRITE_KIND_VECTOR;
    return true;
}
