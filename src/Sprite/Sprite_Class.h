#pragma once
// One sprite: a sequence of equally sized frames with an origin, a bounding
// box, collision masks and a few flags. Frames are either data-file frames
// (texture-page entries of the game data, not owned) or run-time frames
// (32-bit bitmaps owned by the sprite, one game texture and one owned page
// entry each).
#include <cstddef>
#include <cstdint>

class CBitmap32;
class TBitmap;
class IBitmapLoader;
struct STexturePageEntry;
struct Matrix;
struct VectorFillStyle;
struct VectorItem;
struct VectorPlacement;
struct VectorTimeline;

constexpr int32_t SPRITE_KIND_BITMAP = 0;
constexpr int32_t SPRITE_KIND_VECTOR = 1;
constexpr int32_t SPRITE_KIND_SKELETON = 2;

struct SpriteMask {
    int32_t size;    // bytes: width x height, one per pixel (1 solid)
    uint8_t* bytes;
};

// A rectangle of room or frame pixels, edges inclusive.
struct SpriteRect {
    int32_t left, top, right, bottom;
};

// Where an instance shows a sprite for a collision test: its frame, its
// bounding box in room pixels, its rounded position, scales and angle in degrees.
struct SpritePose {
    int32_t frame;
    SpriteRect box;
    int32_t x, y;
    float xscale, yscale, angle;
};

// Mask shapes and bounding-box kinds of a generated collision mask.
constexpr int32_t MASK_SHAPE_PRECISE = 0;
constexpr int32_t MASK_SHAPE_RECTANGLE = 1;
constexpr int32_t MASK_SHAPE_ELLIPSE = 2;
constexpr int32_t MASK_SHAPE_DIAMOND = 3;
constexpr int32_t MASK_BOX_AUTOMATIC = 0;
constexpr int32_t MASK_BOX_FULL = 1;
constexpr int32_t MASK_BOX_MANUAL = 2;

class CSprite {
public:
    CSprite();
    virtual ~CSprite();
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    void Clear();
    void FreeMasks();
    void FreeTextures();

    // Fills the sprite from a record of the "SPRT" chunk at absolute offset
    // recordOffset; every count and offset is checked against the chunk's
    // payload first. False, with the reason recorded (GameData_Fail), for a
    // record that does not fit; the sprite is then left cleared.
    bool LoadFromChunk(const uint8_t* payload, uint32_t length, uint32_t recordOffset, uint32_t index);

    // Loaders of run-time frames (image files, decoded pixels, bitmaps).
    bool LoadFromFile(const char* path, int32_t frames, bool precise, bool transparent, bool smooth, bool preload,
                      int32_t xorig, int32_t yorig, bool keepAlpha);
    // An image file's bytes: JPEG or GIF by signature, anything else as PNG.
    bool LoadFromMemory(const uint8_t* bytes, int32_t size, int32_t frames, bool precise, bool transparent,
                        bool smooth, int32_t xorig, int32_t yorig, bool keepAlpha);
    bool LoadPNG(const uint8_t* bytes, int32_t size, int32_t frames, bool precise, bool transparent, bool smooth,
                 int32_t xorig, int32_t yorig, bool keepAlpha);
    bool LoadJPEG(const uint8_t* bytes, int32_t size, int32_t frames, bool precise, bool transparent, bool smooth,
                  int32_t xorig, int32_t yorig, bool keepAlpha);
    bool LoadGIF(const uint8_t* bytes, int32_t size, int32_t frames, bool precise, bool transparent, bool smooth,
                 int32_t xorig, int32_t yorig, bool keepAlpha);
    // pixels: 0xAARRGGBB words, rows from the top.
    bool LoadFromPixels(const uint32_t* pixels, int32_t width, int32_t height, int32_t frames, bool precise,
                        bool transparent, bool smooth, int32_t xorig, int32_t yorig, bool keepAlpha);
    // Vector data (Sprite_Vector.h) from a chunk or a file, every count and
    // index checked against the size first; false, with the reason in why,
    // for data that do not hold together (the vector data are then empty).
    bool LoadVector(const uint8_t* data, uint32_t size, int32_t xorig, int32_t yorig, char* why, size_t whySize);
    // A vector sprite file from the save area, else the bundle; false when it
    // is in neither place or does not load (logged).
    bool LoadVectorFile(const char* path, int32_t xorig, int32_t yorig);
    void FreeVectorData();
    const VectorTimeline* GetVectorTimeline() const { return m_vectorTimeline; }
    int32_t GetVectorItemCount() const { return m_vectorItemCount; }
    const VectorItem* GetVectorItems() const { return m_vectorItems; }
    // A gradient's colour (red in the low byte) at ratio 0..255, and its
    // texture: 256 x 1 for a linear gradient, 64 x 64 for a radial one.
    static uint32_t GradientColourAt(const VectorFillStyle& gradient, int32_t ratio);
    static int32_t CreateGradientTexture(const VectorFillStyle& gradient);
    void LoadStrip(const IBitmapLoader* loader, bool transparent, bool smooth, int32_t frames, bool keepAlpha);
    void CreateFromBitmap(const TBitmap* bitmap, bool precise, bool transparent, bool smooth, bool preload,
                          int32_t xorig, int32_t yorig, bool keepAlpha);
    void AddFrame(const TBitmap* bitmap, bool transparent, bool smooth, bool keepAlpha);
    void Merge(const CSprite* source);
    void CopyFrom(const CSprite* source);
    void SetAlphaFromSprite(const CSprite* source);
    bool ReadBackFrames();

    void CreateTextures();
    void BuildPageEntries();
    // Drops the data-file page entries (after their frames were read back).
    void ReleaseDataFileEntries()
    {
        if (!m_ownsPageEntries) FreePageEntries();
    }
    void ComputeBoundingBox();

    // The texture-page entry of a frame (wrapped), null when it has none.
    const STexturePageEntry* GetPageEntry(int32_t frame) const;
    // The texture handle game code sees: a page-entry handle for data-file
    // frames, the game texture index for run-time ones; -1 without frames.
    int32_t GetTexture(int32_t frame) const;
    // The game texture index of a run-time frame (wrapped), -1 when none.
    int32_t GetFrameTexture(int32_t frame) const;
    bool HasPageEntries() const { return m_pageEntries != nullptr; }
    bool OwnsPageEntries() const { return m_ownsPageEntries; }
    int32_t GetBitmapCount() const { return m_bitmapCount; }
    const CBitmap32* GetFrameBitmap(int32_t frame) const;
    // A new 32-bit copy of a run-time frame (caller owns it), null otherwise.
    TBitmap* GetBitmap(int32_t frame) const;
    // {left, top, right, bottom} of a frame's image, all 0 out of range.
    void GetFrameBounds(int32_t frame, int32_t out[4]) const;
    // The 1-bit masks stored in the game data: count, and the first byte.
    int32_t GetStoredMaskCount() const { return m_storedMaskCount; }
    const uint8_t* GetStoredMasks() const { return m_storedMasks; }
    // Collision masks. Stored 1-bit masks are decoded on the first test;
    // generated masks replace them. A frame uses mask frame modulo the count.
    void DecodeMasks();
    void BuildAlphaMasks();
    // The mask of sprite_collision_mask: every frame's shape, inside a box
    // found by boxKind; tolerance is the highest alpha (0..255) still free.
    void CreateCollisionMask(bool separate, int32_t boxKind, SpriteRect manual, int32_t shape, int32_t tolerance);
    // Vector-sprite masks: for each, counts[i] run bytes that must cover
    // exactly width x height pixels. False, with a message, when they do not.
    bool DecodeRLEMasks(const uint8_t* const* bytes, const uint32_t* counts, int32_t count);
    bool MasksBuilt() const { return m_masksBuilt; }
    int32_t GetMaskCount() const { return m_maskCount; }
    // The mask bytes a frame tests against, null without built masks.
    const uint8_t* GetMask(int32_t frame) const;

    // Precise tests of an instance showing this sprite; the caller has already
    // found that the shape meets the instance's bounding box.
    bool CollideSprite(const SpritePose& self, CSprite* other, const SpritePose& theirs);
    bool CollidePoint(const SpritePose& self, int32_t px, int32_t py);
    bool CollideRectangle(const SpritePose& self, SpriteRect rect);
    bool CollideEllipse(const SpritePose& self, SpriteRect ellipse);
    bool CollideLine(const SpritePose& self, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

    void SetBoundingBox(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void SetBoundingBoxMode(int32_t mode);
    void SetPrecise(bool on);
    const char* GetName() const { return name; }

    // Drawing; frame indices wrap, angles in degrees, colours 0x00BBGGRR.
    void Draw(int32_t frame, float x, float y);
    void DrawExt(int32_t frame, float x, float y, float xscale, float yscale, float angle, uint32_t colour, float alpha);
    void DrawGeneral(int32_t frame, float left, float top, float width, float height, float x, float y, float xscale,
                     float yscale, float angle, uint32_t colourTL, uint32_t colourTR, uint32_t colourBR,
                     uint32_t colourBL, float alpha);
    void DrawPart(int32_t frame, float left, float top, float width, float height, float x, float y, float xscale,
                  float yscale, uint32_t colour, float alpha);
    void DrawPos(int32_t frame, float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                 uint32_t colour, float alpha);
    void DrawStretched(int32_t frame, float x, float y, float width, float height, uint32_t colour, float alpha);
    void DrawTiled(int32_t frame, float x, float y, float xscale, float yscale, bool hRepeat, bool vRepeat,
                   float regionLeft, float regionTop, float regionWidth, float regionHeight, uint32_t colour,
                   float alpha);

    int32_t bboxMode = 0;  // 0 automatic, 1 full image, 2 manual
    int32_t bboxLeft = 0, bboxTop = 0, bboxRight = 0, bboxBottom = 0;
    int32_t frameCount = 0;  // 0x7FFFFFFF for a skeleton sprite
    int32_t width = 1;
    int32_t height = 1;
    int32_t xorigin = 0;
    int32_t yorigin = 0;
    int32_t extent = 0;  // largest distance from the origin to a corner, rounded up
    bool precise = true;
    bool transparent = true;
    bool smooth = false;
    bool preload = true;
    bool oneMaskPerFrame = true;
    float playbackSpeed = 30.0f;
    int32_t playbackSpeedType = 0;  // 0 frames per second, 1 frames per game frame
    int32_t kind = SPRITE_KIND_BITMAP;
    bool loadedFromDataFile = false;  // vector sprites: the data came from the "SPRT" record
    const void* skeletonData = nullptr;  // the skeleton block of the game data (kind 2)
    const char* name = nullptr;          // owned by the sprite table
    int32_t index = 0;

private:
    void CreateVectorBitmap(VectorItem& item, const uint8_t* first, uint32_t firstSize, const uint8_t* second,
                            uint32_t secondSize, const uint8_t* third, uint32_t thirdSize, const uint8_t* tables,
                            uint32_t tableSize);
    void DrawVector(int32_t frame, float xorig, float yorig, float x, float y, float xscale, float yscale, float angle,
                    uint32_t colour, float alpha);
    void DrawVectorObject(const VectorPlacement& placement, const Matrix& transform, const Matrix& textureTransform,
                          const uint8_t colour[4], const uint8_t colourNoAlpha[4], bool antiAlias);
    void DrawVectorTiled(int32_t frame, float x, float y, float xscale, float yscale, bool hRepeat, bool vRepeat,
                         float regionLeft, float regionTop, float regionWidth, float regionHeight, uint32_t colour,
                         float alpha);
    bool LoadDecoded(uint8_t* rgba, int32_t w, int32_t h, int32_t frames, bool precise, bool transparent,
                     bool smooth, int32_t xorig, int32_t yorig, bool keepAlpha);
    void ComputeExtent();
    bool CheckDrawable(float cx, float cy, float radius);
    void LogDrawFailure() const;
    int32_t WrapFrame(int32_t frame) const;
    void FreeBitmaps();
    void FreePageEntries();
    void SetFrames(CBitmap32** bitmaps, int32_t count);
    void FinishRuntimeFrames();
    bool AllocateMasks(int32_t count);
    void BuildFrameMask(const uint8_t* merge, uint8_t* target, const CBitmap32* frame, int32_t shape,
                        uint32_t threshold) const;

    bool m_masksBuilt = false;
    bool m_ownsPageEntries = false;
    int32_t m_ownedEntryCount = 0;
    int32_t m_maskCount = 0;
    SpriteMask* m_masks = nullptr;
    int32_t m_bitmapCount = 0;
    CBitmap32** m_bitmaps = nullptr;
    int32_t m_textureCount = 0;
    int32_t* m_textures = nullptr;
    // One per frame; data-file frames resolve their entry from its file
    // offset on first use (the page entries are read after the sprites).
    mutable const STexturePageEntry** m_pageEntries = nullptr;
    uint32_t* m_entryOffsets = nullptr;
    int32_t m_storedMaskCount = 0;
    const uint8_t* m_storedMasks = nullptr;
    VectorItem* m_vectorItems = nullptr;
    int32_t m_vectorItemCount = 0;
    VectorTimeline* m_vectorTimeline = nullptr;
};
