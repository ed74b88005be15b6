#pragma once
// One background: an image drawn whole, in part, stretched or tiled, and in
// data files of the newer format a tileset cut into tiles. Data-file
// backgrounds draw from a texture-page entry of the game data; run-time ones
// own a 32-bit bitmap, a game texture and a page entry made for it.
#include <cstdint>

class CBitmap32;
class TBitmap;
struct STexturePageEntry;

// Largest side a run-time background may have; larger images become red.
constexpr int32_t kBackgroundMaxTextureSize = 2048;

class BackgroundResource {
public:
    BackgroundResource();
    ~BackgroundResource();
    BackgroundResource(const BackgroundResource&) = delete;
    BackgroundResource& operator=(const BackgroundResource&) = delete;

    void Clear();
    // Fills the background from a record of the "BGND" chunk at absolute
    // offset recordOffset; every offset and count is checked against the
    // chunk first. False, with the reason recorded (GameData_Fail), for a
    // record that does not fit; the background is then left cleared.
    bool LoadFromChunk(const uint8_t* payload, uint32_t length, uint32_t recordOffset, uint32_t index);

    // Reads an image file (save area, then bundle, then the path itself).
    // An undecodable file is logged and leaves the background as it was;
    // false only when the file cannot be read at all.
    bool CreateFromFile(const char* path, bool transparent, bool smooth, bool preload, bool keepAlpha);
    // An image file's bytes, recognised by content (JPEG, GIF, PNG); false
    // when no decoder takes them.
    bool DecodeImage(const uint8_t* bytes, int32_t size, bool transparent, bool smooth, bool preload, bool keepAlpha);
    bool DecodeJpeg(const uint8_t* bytes, int32_t size, bool transparent, bool smooth, bool preload, bool keepAlpha);
    bool DecodeGif(const uint8_t* bytes, int32_t size, bool transparent, bool smooth, bool preload, bool keepAlpha);
    bool DecodePng(const uint8_t* bytes, int32_t size, bool transparent, bool smooth, bool preload, bool keepAlpha);
    void CreateFromTBitmap(const TBitmap* bitmap, bool transparent, bool smooth, bool preload, bool keepAlpha);
    void CreateColour(int32_t width, int32_t height, uint32_t colour, bool preload);
    // Gradient kinds as CBitmap32's.
    void CreateGradient(int32_t width, int32_t height, uint32_t colour1, uint32_t colour2, int32_t kind, bool preload);
    // A copy of source (not its tileset block); a data-file entry is shared.
    void Assign(const BackgroundResource* source);
    // Reads a data-file image back from its page into a bitmap of its own.
    void MakeBitmapFromPage();
    // The bitmap's alpha limited by the source bitmap's brightness.
    void SetAlphaFrom(const BackgroundResource* source);
    void RecreateTexture();
    void MakeOwnEntry();
    void FreeTexture();

    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    bool GetTransparent() const { return transparent; }
    bool GetSmooth() const { return smooth; }
    bool GetPreload() const { return preload; }
    const CBitmap32* GetBitmap() const { return m_bitmap; }
    // The page entry drawn from (data-file entries resolve on first use,
    // since the page entries are read after the backgrounds); null for none.
    const STexturePageEntry* GetEntry() const;
    bool OwnsEntry() const { return m_entryOwned; }
    int32_t GetOwnTexture() const { return m_texture; }
    // The texture handle game code sees: the entry's handle when there is
    // an entry, else the game texture index (-1 for none).
    int32_t GetTexture() const;
    // The game texture drawn from: the entry's page, else the own texture.
    int32_t GetDrawTexture() const;
    // Tile id i of the tileset (tile count x frames per tile of them); 0
    // outside the list.
    uint32_t GetTileId(int32_t i) const;

    // Draws with origin (0, 0); angles in degrees, colours 0x00BBGGRR, alpha 0..1.
    void Draw(float x, float y);
    void DrawExt(float x, float y, float xscale, float yscale, float angle, uint32_t colour, float alpha);
    void DrawStretched(float x, float y, float w, float h, uint32_t colour, float alpha);
    void DrawPart(float left, float top, float w, float h, float x, float y, float xscale, float yscale,
                  uint32_t colour, float alpha);
    void DrawGeneral(float left, float top, float w, float h, float x, float y, float xscale, float yscale,
                     float angle, uint32_t colourTL, uint32_t colourTR, uint32_t colourBR, uint32_t colourBL,
                     float alpha);
    void DrawTiled(float x, float y, float xscale, float yscale, bool hRepeat, bool vRepeat, float regionLeft,
                   float regionTop, float regionWidth, float regionHeight, uint32_t colour, float alpha);

    int32_t width = 0, height = 0;
    bool transparent = false, smooth = false, preload = false;
    // The tileset block (newer data files); zero for run-time backgrounds.
    int32_t tileWidth = 0, tileHeight = 0;
    int32_t borderX = 0, borderY = 0;
    int32_t tileColumns = 0;
    int32_t framesPerTile = 0;
    int32_t tileCount = 0;
    int64_t frameTime = 0;  // microseconds per animation frame

private:
    // Tests give a background a tileset and what it draws from without game data.
    friend struct BackgroundTestAccess;

    void FreeEntry();
    void TakeBitmap(CBitmap32* bitmap);

    CBitmap32* m_bitmap = nullptr;
    int32_t m_texture = -1;
    mutable const STexturePageEntry* m_entry = nullptr;
    uint32_t m_entryOffset = 0;  // data-file entry not resolved yet
    bool m_entryOwned = false;
    const uint8_t* m_tileIds = nullptr;  // in the game data, tileCount x framesPerTile words
};
