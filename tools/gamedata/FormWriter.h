#pragma once
// Builds a game data image ("FORM" container) chunk by chunk, with its string
// table, laid out byte for byte as the loader reads it. Tests and the demo
// game's build make their games with it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gamedata {

class FormWriter;

// One chunk's payload under construction. Offsets to strings and to positions
// inside the payload are absolute in the finished file, so they are recorded
// as fix-ups and filled in by FormWriter::Finish.
class Chunk {
public:
    Chunk(FormWriter& owner, const char* tag);

    Chunk& U8(uint8_t v);
    Chunk& U16(uint16_t v);
    Chunk& I16(int16_t v);
    Chunk& U32(uint32_t v);
    Chunk& I32(int32_t v);
    Chunk& U64(uint64_t v);
    Chunk& F32(float v);
    Chunk& Bytes(const void* data, size_t size);
    Chunk& Zeros(size_t count);
    // A string reference (the text of its record in STRG); none writes 0.
    Chunk& String(const std::optional<std::string>& text);
    // The absolute offset of payload position pos of this chunk (0 when pos is none).
    Chunk& Offset(std::optional<uint32_t> pos);
    // The absolute offset of payload position pos of another chunk.
    Chunk& OffsetIn(const Chunk& other, uint32_t pos);
    // The absolute offset of entry index of the TPAG chunk (0 when index is none).
    Chunk& TpagEntry(std::optional<uint32_t> index);
    // Patches a u32 already written at payload position at.
    void PatchU32(uint32_t at, uint32_t v);
    // Makes the u32 at payload position at the absolute offset of payload position pos.
    void PatchOffset(uint32_t at, uint32_t pos);

    uint32_t Size() const { return static_cast<uint32_t>(m_bytes.size()); }
    uint8_t Byte(uint32_t at) const { return m_bytes.at(at); }
    const char* Tag() const { return m_tag; }

private:
    friend class FormWriter;
    struct Fixup {
        uint32_t at;
        bool isString;
        uint32_t value;   // string index, payload position or TPAG entry index
        const Chunk* in = nullptr;  // the chunk of a payload position, null for this one
        bool isTpagEntry = false;
    };
    FormWriter& m_owner;
    char m_tag[5];
    std::vector<uint8_t> m_bytes;
    std::vector<Fixup> m_fixups;
};

struct GeneralHeader {
    uint8_t debug = 0;
    uint8_t formatVersion = 15;
    std::optional<std::string> projectName = "Project";
    std::optional<std::string> configName = "Default";
    // None: the highest id among the rooms' instances (100000 without any), as real files carry.
    std::optional<uint32_t> lastInstanceId;
    uint32_t lastTileId = 10000000;
    uint32_t gameId = 0;
    uint8_t identifier[16] = {};
    std::optional<std::string> gameName = "Game";
    uint32_t major = 2, minor = 0, release = 0, build = 0;
    uint32_t windowWidth = 640;
    uint32_t windowHeight = 360;
    uint32_t infoFlags = 0;
    uint32_t timeStamp = 0;
    std::optional<std::string> displayName = "Game";
    uint64_t value104 = 0;
    uint64_t featureMask = ~0ull;
    uint32_t steamAppId = 0;
    uint32_t value124 = 0;
    std::vector<uint32_t> roomOrder;
    float gameSpeed = 60.0f;
};

struct Options {
    bool newerLayout = true;
    uint32_t layoutVersion = 2;       // newer layout only
    uint64_t flags = 0x10;            // newer-layout bit numbering; the older layout maps bits 0..23 to its fields
    uint32_t windowColour = 0;
    uint32_t colourDepthCode = 0;
    uint32_t resolutionCode = 0;
    uint32_t frequencyCode = 0;
    std::vector<std::pair<std::string, std::string>> constants;
};

struct Language {
    std::string name;
    std::string region;
    std::vector<std::string> texts;
};

struct Languages {
    uint32_t unused = 1;
    std::vector<std::string> keys;
    std::vector<Language> languages;
};

struct TexturePageEntry {
    uint16_t x = 0, y = 0, width = 0, height = 0;
    int16_t xOffset = 0, yOffset = 0;
    uint16_t cropWidth = 0, cropHeight = 0, fullWidth = 0, fullHeight = 0;
    int16_t texture = 0;
};

// Vector data of a vector sprite, for a "SPRT" record or a vector sprite
// file. Coordinates in twentieths of a pixel; matrices a, c, tx, b, d, ty;
// colours red in the low byte.
struct VectorFill {
    int32_t type = 1;                 // 1 solid, 2 gradient, 3 bitmap; others are written as the type alone
    uint32_t colour = 0xFFFFFFFFu;    // solid
    int32_t kind = 0;                 // gradient: 0 linear, 1 radial; bitmap: fill kind
    int32_t bitmapId = 0;             // bitmap
    float matrix[6] = {1, 0, 0, 0, 1, 0};
    std::vector<std::pair<int32_t, uint32_t>> stops;  // gradient: ratio, colour
};

struct VectorMeshData {
    std::vector<float> points;        // x, y
    std::vector<uint32_t> triangles;  // 3 point indices each
    std::vector<uint32_t> edges;      // 2 point indices each (version 5 and 6)
    std::vector<float> offsets;       // x, y per point (version 5 and 6)
};

struct VectorSubShapeData {
    int32_t fillStyle = -1, lineStyle = -1;
    VectorMeshData fill, line;
    std::vector<uint32_t> pairs;      // the unused index pairs, 2 each
};

struct VectorGroupData {
    std::vector<VectorFill> fills;
    std::vector<uint32_t> lineColours;
    std::vector<VectorSubShapeData> subShapes;
};

struct VectorItemData {
    int32_t type = 1;                 // 1 shape, 2 bitmap, others a placeholder
    int32_t id = 0;
    std::vector<VectorGroupData> groups;                   // shape
    int32_t bitmapKind = 6, width = 0, height = 0;         // bitmap
    std::vector<uint8_t> blocks[3];                        // bitmap: written one after the other, padded
};

struct VectorPlacementData {
    uint32_t visible = 1;
    int32_t item = 0, depth = 1, clipDepth = 0;
    int32_t multiply[4] = {256, 256, 256, 256};  // red, green, blue, alpha
    int32_t add[4] = {0, 0, 0, 0};
    float bounds[4] = {0, 0, 0, 0};  // left, right, top, bottom
    float matrix[6] = {1, 0, 0, 0, 1, 0};
};

struct VectorFrameData {
    float bounds[4] = {0, 0, 0, 0};
    std::vector<VectorPlacementData> placements;
};

struct VectorData {
    int32_t version = 6;              // 4 writes the plain header word
    std::vector<uint8_t> jpegTables;
    std::vector<VectorItemData> items;
    float bounds[4] = {0, 0, 0, 0};   // left, right, top, bottom
    std::vector<VectorFrameData> frames;
    int32_t maskWidth = 0, maskHeight = 0;
    std::vector<std::vector<uint8_t>> masks;  // run-length bytes
};

// The vector data laid out as the loader reads them.
std::vector<uint8_t> EncodeVector(const VectorData& data);

// A bitmap sprite. Frames and masks are written in the extended form (frame
// count -1, kind 0, speed fields for major version 2 and later) unless
// plainForm is set.
struct SpriteEntry {
    std::optional<std::string> name;
    int32_t width = 1, height = 1;
    int32_t bboxLeft = 0, bboxRight = 0, bboxBottom = 0, bboxTop = 0;
    uint32_t transparent = 1, smooth = 0, preload = 1;
    int32_t bboxMode = 0;
    uint32_t precise = 0;
    int32_t xOrigin = 0, yOrigin = 0;
    bool plainForm = false;
    float speed = 15.0f;
    int32_t speedType = 0;
    std::vector<std::optional<uint32_t>> frames;   // TPAG entry indexes; none writes offset 0
    // 1-bit masks, each height rows of (width + 7) / 8 bytes, most significant bit first.
    std::vector<std::vector<uint8_t>> masks;
    // When set, written as the frame count / mask count instead of the list sizes (broken data).
    std::optional<uint32_t> frameCountOverride;
    std::optional<uint32_t> maskCountOverride;
    // When set, a vector sprite (kind 1) with these vector data bytes instead of frames and masks.
    std::optional<std::vector<uint8_t>> vectorData;
};

// The tileset block of a background record (tileset version 2).
struct Tileset {
    int32_t version = 2;
    int32_t tileWidth = 16, tileHeight = 16;
    int32_t borderX = 0, borderY = 0;
    int32_t columns = 1;
    int32_t framesPerTile = 1;
    int64_t frameTime = 66666;       // microseconds
    std::vector<uint32_t> tileIds;    // tile count x frames per tile
};

struct BackgroundEntry {
    std::optional<std::string> name;
    uint32_t transparent = 0, smooth = 0, preload = 1;
    std::optional<uint32_t> entry;    // TPAG entry index; none writes offset 0
    std::optional<Tileset> tileset;   // none ends the record after the entry offset
};

struct FontGlyphEntry {
    uint16_t character = 0;
    int16_t x = 0, y = 0, width = 0, height = 0, shift = 0, offset = 0;
    std::vector<std::pair<uint16_t, int16_t>> kerning;
};

struct FontEntry {
    std::optional<std::string> name;
    std::optional<std::string> displayName = "Sans";
    int32_t size = 12;
    uint32_t bold = 0, italic = 0;
    uint16_t first = 32;
    uint8_t charset = 0;
    uint8_t antialiasPlusOne = 0;     // 0 leaves the font's level as it is
    int32_t last = 127;
    std::optional<uint32_t> entry;    // TPAG entry index; none writes offset 0
    float xScale = 1.0f, yScale = 1.0f;
    std::vector<std::optional<FontGlyphEntry>> glyphs;  // none writes glyph offset 0
    // When set, written as the glyph count instead of glyphs.size() (broken data).
    std::optional<uint32_t> glyphCountOverride;
};

struct Texture {
    uint32_t flags = 0;
    std::vector<uint8_t> image;       // encoded image bytes; empty writes image offset 0
};

// A place where code uses a name: the instruction at byte offset `offset` of
// code entry `entry`'s bytecode (its operand word follows it).
struct CodeUse {
    uint32_t entry;
    uint32_t offset;
};

struct CodeEntry {
    std::string name;
    std::vector<uint32_t> bytecode;   // instruction and operand words
    uint16_t locals = 0;              // newer layout
    uint16_t arguments = 0;
    int32_t sharesWith = -1;          // newer layout: runs the bytecode of that earlier entry...
    uint32_t startOffset = 0;         // ...from this byte offset
};

struct Variable {
    std::string name;
    int32_t kind = -1;                // newer layout: -1 instance, -5 global, -6 built-in, other kinds
    int32_t slot = 0;                 // -6 for a built-in variable
    std::vector<CodeUse> uses;
};

struct VariableCounts {
    uint32_t globals = 0;
    uint32_t instances = 0;
    uint32_t locals = 0;
};

struct Function {
    std::string name;
    std::vector<CodeUse> uses;
};

struct LocalNames {
    std::string codeName;
    std::vector<std::string> names;
};

struct Script {
    std::optional<std::string> name;  // none writes name offset 0
    uint32_t codeIndex = 0;
};

struct PathControlPoint {
    float x = 0.0f, y = 0.0f, speed = 100.0f;
};

struct PathEntry {
    std::optional<std::string> name;
    int32_t kind = 0;                 // 1 smooth, otherwise straight
    uint32_t closed = 1;
    int32_t precision = 4;
    std::vector<PathControlPoint> points;
    // When set, written as the point count instead of points.size() (broken data).
    std::optional<int32_t> pointCountOverride;
};

// A sound of the audio engine's sound chunk (nine words).
struct SoundEntry {
    std::optional<std::string> name;
    int32_t kind = 101;               // 100 streamed, 101 WAV, 102 compressed, 103 decoded on load
    std::optional<std::string> extension = ".wav";
    std::optional<std::string> fileName;
    uint32_t effects = 0;
    float volume = 1.0f;
    float pan = 0.0f;
    int32_t group = 0;
    int32_t audioIndex = 0;
};

// An event or timeline moment: its code record has one action naming the
// CODE index, or no action at all when codeIndex is none.
struct EventEntry {
    uint32_t subKind = 0;             // ignored for timeline moments
    std::optional<int32_t> codeIndex = 0;
};

struct ObjectEntry {
    std::optional<std::string> name;
    uint32_t sprite = 0xFFFFFFFFu;    // the raw word (bit 31 may carry the marker)
    uint32_t visible = 1;
    uint32_t solid = 0;
    int32_t depth = 0;
    uint32_t persistent = 0;
    int32_t parent = -1;
    int32_t mask = -1;
    // Format 6 and later.
    uint32_t usesPhysics = 0;
    uint32_t sensor = 0;
    int32_t shape = 0;
    float density = 0.5f;
    float restitution = 0.1f;
    int32_t collisionGroup = 0;
    float linearDamping = 0.1f;
    float angularDamping = 0.1f;
    std::vector<std::pair<float, float>> shapePoints;
    // Format 9 and later.
    float friction = 0.2f;
    uint32_t awake = 1;
    uint32_t kinematic = 0;
    // One list per event kind, in kind order; 14 lists unless given otherwise.
    std::vector<std::vector<EventEntry>> events = std::vector<std::vector<EventEntry>>(14);
};

struct TimelineMoment {
    int32_t time = 0;
    EventEntry event;
};

struct TimelineEntry {
    std::optional<std::string> name;
    std::vector<TimelineMoment> moments;
    // When set, written as the moment count instead of moments.size() (broken data).
    std::optional<uint32_t> momentCountOverride;
};

struct RoomBackgroundEntry {
    uint32_t visible = 1, foreground = 0;
    int32_t index = -1, x = 0, y = 0;
    uint32_t tileX = 1, tileY = 1;
    int32_t hspeed = 0, vspeed = 0;
    uint32_t stretch = 0;
};

struct RoomViewEntry {
    uint32_t visible = 1;
    int32_t viewX = 0, viewY = 0, viewWidth = 640, viewHeight = 480;
    int32_t portX = 0, portY = 0, portWidth = 640, portHeight = 480;
    int32_t borderH = 32, borderV = 32, hspeed = -1, vspeed = -1, followObject = -1;
};

struct RoomInstanceEntry {
    int32_t x = 0, y = 0, objectIndex = 0, id = 100001, creationCode = -1;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFFu;
    float angle = 0.0f;
};

struct RoomTileEntry {
    int32_t x = 0, y = 0, background = 0, left = 0, top = 0, width = 16, height = 16, depth = 1000000;
    int32_t id = 10000001;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFFu;
};

// Layer types of the room's layer data.
enum : int32_t {
    LAYER_TYPE_BACKGROUND = 1,
    LAYER_TYPE_INSTANCES = 2,
    LAYER_TYPE_ASSETS = 3,
    LAYER_TYPE_TILEMAP = 4,
};

struct RoomLayerBackground {
    uint32_t visible = 1, foreground = 0;
    int32_t sprite = -1;
    uint32_t tileX = 0, tileY = 0, stretch = 0;
    uint32_t colour = 0xFFFFFFFFu;  // low 24 bits blend, top byte alpha
    float firstFrame = 0.0f, speed = 1.0f;
    int32_t speedType = 0;
};

// A 48-byte tile record of an asset layer.
struct RoomLayerTile {
    int32_t x = 0, y = 0, source = 0, left = 0, top = 0, width = 16, height = 16;
    int32_t unread1 = 0, unread2 = 0;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFFu;
};

// A 44-byte sprite record of an asset layer.
struct RoomLayerSprite {
    std::optional<std::string> name;
    int32_t sprite = 0, x = 0, y = 0;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFFu;
    float speed = 1.0f;
    int32_t speedType = 0;
    float frame = 0.0f, rotation = 0.0f;
};

struct RoomLayerEntry {
    std::optional<std::string> name;
    int32_t id = 0;
    int32_t type = LAYER_TYPE_INSTANCES;  // any other value is written with no type data
    int32_t depth = 0;
    float x = 0.0f, y = 0.0f, hspeed = 0.0f, vspeed = 0.0f;
    uint32_t visible = 1;
    RoomLayerBackground background;               // type 1
    std::vector<int32_t> instances;               // type 2
    std::optional<std::vector<RoomLayerTile>> tiles;      // type 3; none writes offset 0
    std::optional<std::vector<RoomLayerSprite>> sprites;  // type 3; none writes offset 0
    int32_t tileset = -1, tilemapWidth = 0, tilemapHeight = 0;  // type 4
    std::vector<uint32_t> cells;                  // type 4: written as given, row by row
    // When set, written as the instance count instead of instances.size() (broken data).
    std::optional<uint32_t> instanceCountOverride;
};

struct RoomEntry {
    std::optional<std::string> name;
    std::optional<std::string> caption;
    int32_t width = 640, height = 480, speed = 30;
    uint32_t persistent = 0;
    uint32_t colour = 0;
    uint32_t showColour = 1;
    int32_t creationCode = -1;
    uint32_t flags = 0;               // bit 0 views, bit 1 clear view background, bit 2 keep the display buffer; 16-31 room format
    std::vector<RoomBackgroundEntry> backgrounds;
    std::vector<RoomViewEntry> views;
    std::vector<RoomInstanceEntry> instances;
    std::vector<RoomTileEntry> tiles;
    uint32_t physicsWorld = 0;
    float gravityX = 0.0f, gravityY = 10.0f, pixelsToMetres = 0.1f;
    // When set, written as the instance count instead of instances.size() (broken data).
    std::optional<uint32_t> instanceCountOverride;
    // Written at word 88 (room format 2 and later in flags bits 16-31); none writes offset 0.
    std::optional<std::vector<RoomLayerEntry>> layers;
    // When set, written as the layer count instead of layers->size() (broken data).
    std::optional<uint32_t> layerCountOverride;
};

// Extension packages: packages hold files, files hold functions; none
// writes record offset 0.
struct ExtensionFunctionEntry {
    std::optional<std::string> name;
    int32_t id = 1;
    int32_t callKind = 12;            // 12 the C convention
    int32_t returnType = 2;           // 1 text, otherwise real
    std::optional<std::string> externalName;
    std::vector<int32_t> argumentTypes;  // 1 text, 2 real
};

struct ExtensionFileEntry {
    std::optional<std::string> fileName;
    std::optional<std::string> finalName;
    std::optional<std::string> initName;
    int32_t kind = 1;                 // 1 a native library, 4 placeholders
    std::vector<std::optional<ExtensionFunctionEntry>> functions;
};

struct ExtensionPackageEntry {
    std::optional<std::string> folderName;
    std::optional<std::string> secondText;
    std::optional<std::string> thirdText;
    std::vector<std::optional<ExtensionFileEntry>> files;
};

class FormWriter {
public:
    FormWriter();
    ~FormWriter();
    FormWriter(const FormWriter&) = delete;
    FormWriter& operator=(const FormWriter&) = delete;

    // Appends an empty chunk to fill by hand.
    Chunk& Add(const char* tag);
    // Adds a text to the string table (once); returns its index in STRG.
    uint32_t AddString(const std::string& text);

    void Gen8(const GeneralHeader& header);
    void Optn(const Options& options);
    void Lang(const Languages& languages);
    // Places the string table here; without it, Finish appends it when any string is used.
    void Strg();
    // Entries lie after the offset list, 22 bytes each (see TpagEntryOffset).
    void Tpag(const std::vector<TexturePageEntry>& entries);
    void Txtr(const std::vector<Texture>& textures);
    // Sprites by index (none writes offset 0); page entries resolve against the
    // TPAG chunk, which may come later in the file. majorVersion is the general
    // header's: the extended form carries speed fields and the frame count from 2.
    void Sprt(const std::vector<std::optional<SpriteEntry>>& sprites, uint32_t majorVersion = 2);
    // Backgrounds (tile sets) by index; none writes offset 0.
    void Bgnd(const std::vector<std::optional<BackgroundEntry>>& backgrounds);
    // Fonts by index (none writes offset 0), each record followed by its
    // glyphs, then the 256-entry character code table.
    void Font(const std::vector<std::optional<FontEntry>>& fonts);
    void Glob(const std::vector<int32_t>& codeIndices);
    // Code records with their bytecode; the newer layout (format 15 and later)
    // has the 20-byte records with counts and shared bytecode.
    void Code(const std::vector<CodeEntry>& entries, bool newerLayout = true);
    // Variable names and their use chains: the distances between uses are
    // written into the operands of the code written before.
    void Vari(const VariableCounts& counts, const std::vector<Variable>& variables, bool newerLayout = true);
    // Function names and their call-site chains; the newer layout adds the local names.
    void Func(const std::vector<Function>& functions, const std::vector<LocalNames>& locals,
              bool newerLayout = true);
    // Scripts by index; none writes record offset 0.
    void Scpt(const std::vector<std::optional<Script>>& scripts);
    // Entries follow the offset list in slot order; an absent entry writes offset 0.
    void Path(const std::vector<std::optional<PathEntry>>& paths);
    // Objects by index (none writes offset 0), laid out for the given format
    // version: physics fields from 6, friction, awake and kinematic from 9.
    void Objt(const std::vector<std::optional<ObjectEntry>>& objects, uint32_t formatVersion = 15);
    void Tmln(const std::vector<std::optional<TimelineEntry>>& timelines);
    // Room records of 92 bytes with their four lists and their layer list.
    void Room(const std::vector<std::optional<RoomEntry>>& rooms);
    // Sounds by index; none writes offset 0.
    void Sond(const std::vector<std::optional<SoundEntry>>& sounds);
    // Audio file images by index, each a length word and its bytes; none writes offset 0.
    void Audo(const std::vector<std::optional<std::vector<uint8_t>>>& images);
    // Audio groups by index: a record holding the name (none writes name offset 0).
    void Agrp(const std::vector<std::optional<std::string>>& names);
    // Extension packages by index, each record followed by those it lists.
    void Extn(const std::vector<std::optional<ExtensionPackageEntry>>& packages);

    // Chunks are padded with zeros to whole words, as game files are usually
    // written. Unpadded, they follow one another byte by byte, and Finish puts
    // zeros in front of the bytecode of a newer-layout code chunk so that it
    // still lies on whole words of the file.
    void SetUnpaddedChunks(bool unpadded) { m_unpadded = unpadded; }

    // Absolute file offset of entry i of the TPAG chunk, valid after Finish.
    uint32_t TpagEntryOffset(uint32_t index) const;

    std::vector<uint8_t> Finish();

private:
    friend class Chunk;
    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::vector<std::string> m_strings;
    int m_strgIndex = -1;
    int m_tpagIndex = -1;
    int m_codeIndex = -1;
    std::vector<uint32_t> m_bytecodeAt;   // payload position of each code entry's bytecode
    uint32_t m_codeBlobsAt = 0;           // newer layout: where the bytecode follows the records
    uint32_t m_codeRecords = 0;
    bool m_unpadded = false;

    // Moves the bytecode of the code chunk by count bytes, with everything that points into it.
    void ShiftBytecode(uint32_t count);
    uint32_t m_tpagEntriesAt = 0;
    std::vector<uint32_t> m_chunkPayloadOffsets;
    int m_lastIdChunk = -1;               // the GEN8 chunk whose last instance id follows the rooms
    uint32_t m_lastIdAt = 0;
    int32_t m_highestInstanceId = 100000;
};

// Writes bytes to a file; false when it cannot be written.
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace gamedata
