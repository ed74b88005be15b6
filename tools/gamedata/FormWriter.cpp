#include "gamedata/FormWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gamedata {

namespace {
void PutU32(std::vector<uint8_t>& out, uint32_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Field of the older options layout for each flag bit.
const uint32_t kOlderFlagOffsets[24] = {0,  4,  8,  12, 16, 24, 28,  36,  52,  60,  64,  68,
                                        72, 76, 80, 88, 92, 108, 116, 120, 124, 128, 132, 136};
}  // namespace

Chunk::Chunk(FormWriter& owner, const char* tag) : m_owner(owner)
{
    std::memcpy(m_tag, tag, 4);
    m_tag[4] = '\0';
}

Chunk& Chunk::U8(uint8_t v)
{
    m_bytes.push_back(v);
    return *this;
}

Chunk& Chunk::U16(uint16_t v)
{
    U8(static_cast<uint8_t>(v));
    return U8(static_cast<uint8_t>(v >> 8));
}

Chunk& Chunk::I16(int16_t v)
{
    return U16(static_cast<uint16_t>(v));
}

Chunk& Chunk::U32(uint32_t v)
{
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
}

Chunk& Chunk::I32(int32_t v)
{
    return U32(static_cast<uint32_t>(v));
}

Chunk& Chunk::U64(uint64_t v)
{
    U32(static_cast<uint32_t>(v));
    return U32(static_cast<uint32_t>(v >> 32));
}

Chunk& Chunk::F32(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return U32(bits);
}

Chunk& Chunk::Bytes(const void* data, size_t size)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + size);
    return *this;
}

Chunk& Chunk::Zeros(size_t count)
{
    m_bytes.resize(m_bytes.size() + count, 0);
    return *this;
}

Chunk& Chunk::String(const std::optional<std::string>& text)
{
    if (text) m_fixups.push_back({Size(), true, m_owner.AddString(*text)});
    return U32(0);
}

Chunk& Chunk::Offset(std::optional<uint32_t> pos)
{
    if (pos) m_fixups.push_back({Size(), false, *pos});
    return U32(0);
}

Chunk& Chunk::OffsetIn(const Chunk& other, uint32_t pos)
{
    m_fixups.push_back({Size(), false, pos, &other});
    return U32(0);
}

Chunk& Chunk::TpagEntry(std::optional<uint32_t> index)
{
    if (index) {
        Fixup f{Size(), false, *index};
        f.isTpagEntry = true;
        m_fixups.push_back(f);
    }
    return U32(0);
}

void Chunk::PatchU32(uint32_t at, uint32_t v)
{
    PutU32(m_bytes, at, v);
}

void Chunk::PatchOffset(uint32_t at, uint32_t pos)
{
    m_fixups.push_back({at, false, pos});
}

FormWriter::FormWriter() = default;
FormWriter::~FormWriter() = default;

Chunk& FormWriter::Add(const char* tag)
{
    m_chunks.push_back(std::make_unique<Chunk>(*this, tag));
    return *m_chunks.back();
}

uint32_t FormWriter::AddString(const std::string& text)
{
    for (size_t i = 0; i < m_strings.size(); ++i)
        if (m_strings[i] == text) return static_cast<uint32_t>(i);
    m_strings.push_back(text);
    return static_cast<uint32_t>(m_strings.size() - 1);
}

void FormWriter::Gen8(const GeneralHeader& h)
{
    Chunk& c = Add("GEN8");
    const int v = h.formatVersion;
    c.U8(h.debug).U8(h.formatVersion).U16(0);
    c.String(h.projectName).String(h.configName);
    if (!h.lastInstanceId) {
        m_lastIdChunk = static_cast<int>(m_chunks.size()) - 1;
        m_lastIdAt = c.Size();
    }
    c.U32(h.lastInstanceId.value_or(0)).U32(h.lastTileId).U32(h.gameId).Bytes(h.identifier, sizeof h.identifier);
    c.String(h.gameName).U32(h.major).U32(h.minor).U32(h.release).U32(h.build);
    if (v >= 8) {
        c.U32(h.windowWidth).U32(h.windowHeight).U32(h.infoFlags).U32(0).Zeros(16).U32(h.timeStamp).U32(0);
    }
    if (v >= 10) c.String(h.displayName);
    if (v >= 11) c.U64(h.value104);
    if (v >= 12) c.U64(h.featureMask);
    if (v >= 13) c.U32(h.steamAppId);
    if (v >= 14) c.U32(h.value124);
    // The play order's place depends on the version; in old headers it
    // overlays fields that later versions moved.
    static const struct { int upTo; uint32_t at; } kOrderAt[] = {{7, 36}, {9, 100}, {10, 104}, {11, 112},
                                                                  {12, 120}, {13, 124}, {255, 128}};
    uint32_t at = 128;
    for (const auto& row : kOrderAt) {
        if (v <= row.upTo) {
            at = row.at;
            break;
        }
    }
    const uint32_t end = at + 4 + 4 * static_cast<uint32_t>(h.roomOrder.size());
    if (c.Size() < end) c.Zeros(end - c.Size());
    c.PatchU32(at, static_cast<uint32_t>(h.roomOrder.size()));
    for (size_t i = 0; i < h.roomOrder.size(); ++i) c.PatchU32(at + 4 + 4 * static_cast<uint32_t>(i), h.roomOrder[i]);
    if (c.Size() > end) {
        // Old layouts: the fixed fields written above are overlaid; drop string fix-ups they hid.
        std::vector<Chunk::Fixup> kept;
        for (const Chunk::Fixup& f : c.m_fixups)
            if (f.at + 4 <= at || f.at >= end) kept.push_back(f);
        c.m_fixups = kept;
    }
    if (v >= 14) c.Zeros(40).F32(h.gameSpeed);
}

void FormWriter::Optn(const Options& o)
{
    Chunk& c = Add("OPTN");
    if (o.newerLayout) {
        c.I32(-1).U32(o.layoutVersion).U64(o.flags).U32(0).U32(o.windowColour).U32(o.colourDepthCode);
        c.U32(o.resolutionCode).U32(o.frequencyCode).U32(0).U32(0).Zeros(8).U32(0).U32(0);
    } else {
        c.Zeros(140);
        for (int bit = 0; bit < 24; ++bit)
            if ((o.flags >> bit) & 1u) c.PatchU32(kOlderFlagOffsets[bit], 1);
        c.PatchU32(32, o.windowColour);
        c.PatchU32(40, o.colourDepthCode);
        c.PatchU32(44, o.resolutionCode);
        c.PatchU32(48, o.frequencyCode);
    }
    c.U32(static_cast<uint32_t>(o.constants.size()));
    for (const auto& [name, value] : o.constants) c.String(name).String(value);
}

void FormWriter::Lang(const Languages& l)
{
    Chunk& c = Add("LANG");
    c.U32(l.unused).U32(static_cast<uint32_t>(l.languages.size())).U32(static_cast<uint32_t>(l.keys.size()));
    for (const std::string& key : l.keys) c.String(key);
    for (const Language& lang : l.languages) {
        c.String(lang.name).String(lang.region);
        for (size_t i = 0; i < l.keys.size(); ++i) c.String(i < lang.texts.size() ? lang.texts[i] : std::string());
    }
}

void FormWriter::Strg()
{
    Add("STRG");
    m_strgIndex = static_cast<int>(m_chunks.size() - 1);
}

void FormWriter::Tpag(const std::vector<TexturePageEntry>& entries)
{
    Chunk& c = Add("TPAG");
    m_tpagIndex = static_cast<int>(m_chunks.size() - 1);
    const uint32_t count = static_cast<uint32_t>(entries.size());
    m_tpagEntriesAt = 4 + 4 * count;
    c.U32(count);
    for (uint32_t i = 0; i < count; ++i) c.Offset(m_tpagEntriesAt + 22 * i);
    for (const TexturePageEntry& e : entries) {
        c.U16(e.x).U16(e.y).U16(e.width).U16(e.height).I16(e.xOffset).I16(e.yOffset);
        c.U16(e.cropWidth).U16(e.cropHeight).U16(e.fullWidth).U16(e.fullHeight).I16(e.texture);
    }
}

void FormWriter::Txtr(const std::vector<Texture>& textures)
{
    Chunk& c = Add("TXTR");
    const uint32_t count = static_cast<uint32_t>(textures.size());
    c.U32(count);
    const uint32_t recordsAt = 4 + 4 * count;
    for (uint32_t i = 0; i < count; ++i) c.Offset(recordsAt + 8 * i);
    uint32_t imageAt = recordsAt + 8 * count;
    for (const Texture& t : textures) {
        c.U32(t.flags).Offset(t.image.empty() ? std::nullopt : std::optional<uint32_t>(imageAt));
        imageAt += static_cast<uint32_t>(t.image.size());
    }
    for (const Texture& t : textures) c.Bytes(t.image.data(), t.image.size());
}

void FormWriter::Sprt(const std::vector<std::optional<SpriteEntry>>& sprites, uint32_t majorVersion)
{
    Chunk& c = Add("SPRT");
    const auto count = static_cast<uint32_t>(sprites.size());
    c.U32(count);
    const uint32_t slotsAt = c.Size();
    for (uint32_t i = 0; i < count; ++i) c.U32(0);
    for (uint32_t i = 0; i < count; ++i) {
        if (!sprites[i]) continue;
        const SpriteEntry& s = *sprites[i];
        c.PatchOffset(slotsAt + 4 * i, c.Size());
        c.String(s.name).I32(s.width).I32(s.height);
        c.I32(s.bboxLeft).I32(s.bboxRight).I32(s.bboxBottom).I32(s.bboxTop);
        c.U32(s.transparent).U32(s.smooth).U32(s.preload).I32(s.bboxMode).U32(s.precise);
        c.I32(s.xOrigin).I32(s.yOrigin);
        const uint32_t frames = s.frameCountOverride.value_or(static_cast<uint32_t>(s.frames.size()));
        if (s.vectorData) {
            c.I32(-1).U32(1).U32(1);  // extended form, an unused word, kind 1 (vector)
            if (majorVersion >= 2) c.F32(s.speed).I32(s.speedType);
            c.U32(0).Bytes(s.vectorData->data(), s.vectorData->size());
            continue;
        }
        if (s.plainForm) {
            c.U32(frames);
        } else {
            c.I32(-1).U32(1).U32(0);  // extended form, an unused word, kind 0 (bitmap)
            if (majorVersion >= 2) c.F32(s.speed).I32(s.speedType).U32(frames);
        }
        // Before major version 2 the extended form has no frame list to read.
        if (s.plainForm || majorVersion >= 2)
            for (const auto& frame : s.frames) c.TpagEntry(frame);
        c.U32(s.maskCountOverride.value_or(static_cast<uint32_t>(s.masks.size())));
        for (const auto& mask : s.masks) c.Bytes(mask.data(), mask.size());
    }
}

void FormWriter::Bgnd(const std::vector<std::optional<BackgroundEntry>>& backgrounds)
{
    Chunk& c = Add("BGND");
    const auto count = static_cast<uint32_t>(backgrounds.size());
    c.U32(count);
    const uint32_t slotsAt = c.Size();
    for (uint32_t i = 0; i < count; ++i) c.U32(0);
    for (uint32_t i = 0; i < count; ++i) {
        if (!backgrounds[i]) continue;
        const BackgroundEntry& b = *backgrounds[i];
        c.PatchOffset(slotsAt + 4 * i, c.Size());
        c.String(b.name).U32(b.transparent).U32(b.smooth).U32(b.preload).TpagEntry(b.entry);
        if (!b.tileset) continue;
        const Tileset& t = *b.tileset;
        const auto frames = static_cast<int32_t>(t.framesPerTile > 0 ? t.framesPerTile : 1);
        const auto tiles = static_cast<int32_t>(t.tileIds.size()) / frames;
        c.I32(t.version).I32(t.tileWidth).I32(t.tileHeight).I32(t.borderX).I32(t.borderY);
        c.I32(t.columns).I32(t.framesPerTile).I32(tiles).U32(0).U64(static_cast<uint64_t>(t.frameTime));
        for (uint32_t id : t.tileIds) c.U32(id);
    }
}

void FormWriter::Font(const std::vector<std::optional<FontEntry>>& fonts)
{
    Chunk& c = Add("FONT");
    const auto count = static_cast<uint32_t>(fonts.size());
    c.U32(count);
    const uint32_t slotsAt = c.Size();
    c.Zeros(4 * count);
    for (uint32_t i = 0; i < count; ++i) {
        if (!fonts[i]) continue;
        const FontEntry& f = *fonts[i];
        c.PatchOffset(slotsAt + 4 * i, c.Size());
        const uint32_t word = f.first | static_cast<uint32_t>(f.charset) << 16 |
                              static_cast<uint32_t>(f.antialiasPlusOne) << 24;
        c.String(f.name).String(f.displayName).I32(f.size).U32(f.bold).U32(f.italic).U32(word).I32(f.last);
        c.TpagEntry(f.entry).F32(f.xScale).F32(f.yScale);
        const auto glyphs = static_cast<uint32_t>(f.glyphs.size());
        c.U32(f.glyphCountOverride.value_or(glyphs));
        const uint32_t glyphSlotsAt = c.Size();
        c.Zeros(4 * glyphs);
        for (uint32_t g = 0; g < glyphs; ++g) {
            if (!f.glyphs[g]) continue;
            const FontGlyphEntry& e = *f.glyphs[g];
            c.PatchOffset(glyphSlotsAt + 4 * g, c.Size());
            c.U16(e.character).I16(e.x).I16(e.y).I16(e.width).I16(e.height).I16(e.shift).I16(e.offset);
            c.U16(static_cast<uint16_t>(e.kerning.size()));
            for (const auto& pair : e.kerning) c.U16(pair.first).I16(pair.second);
        }
    }
    for (uint32_t i = 0; i < 256; ++i) c.U16(static_cast<uint16_t>(i < 128 ? i : 63));
}

void FormWriter::Glob(const std::vector<int32_t>& codeIndices)
{
    Chunk& c = Add("GLOB");
    c.U32(static_cast<uint32_t>(codeIndices.size()));
    for (int32_t index : codeIndices) c.I32(index);
}

void FormWriter::Code(const std::vector<CodeEntry>& entries, bool newerLayout)
{
    Chunk& c = Add("CODE");
    m_codeIndex = static_cast<int>(m_chunks.size() - 1);
    const uint32_t count = static_cast<uint32_t>(entries.size());
    c.U32(count);
    const uint32_t listAt = 4;
    c.Zeros(4 * count);
    m_bytecodeAt.assign(count, 0);
    m_codeBlobsAt = 0;
    auto bytes = [](const CodeEntry& e) { return static_cast<uint32_t>(4 * e.bytecode.size()); };
    if (!newerLayout) {
        for (uint32_t i = 0; i < count; ++i) {
            c.PatchOffset(listAt + 4 * i, c.Size());
            c.String(entries[i].name).U32(bytes(entries[i]));
            m_bytecodeAt[i] = c.Size();
            for (uint32_t w : entries[i].bytecode) c.U32(w);
        }
        return;
    }
    // Records first, then the bytecode blobs of the entries that own theirs.
    const uint32_t recordsAt = listAt + 4 * count;
    uint32_t blobAt = recordsAt + 20 * count;
    m_codeBlobsAt = blobAt;
    m_codeRecords = count;
    for (uint32_t i = 0; i < count; ++i) {
        const CodeEntry& e = entries[i];
        if (e.sharesWith >= 0) continue;
        m_bytecodeAt[i] = blobAt;
        blobAt += bytes(e);
    }
    for (uint32_t i = 0; i < count; ++i) {
        const CodeEntry& e = entries[i];
        const uint32_t owner = e.sharesWith >= 0 ? static_cast<uint32_t>(e.sharesWith) : i;
        if (e.sharesWith >= 0) m_bytecodeAt[i] = m_bytecodeAt[owner];
        c.PatchOffset(listAt + 4 * i, c.Size());
        c.String(e.name).U32(bytes(entries[owner])).U16(e.locals).U16(e.arguments);
        c.I32(static_cast<int32_t>(m_bytecodeAt[i]) - static_cast<int32_t>(c.Size()));
        c.U32(e.startOffset);
    }
    for (const CodeEntry& e : entries)
        if (e.sharesWith < 0)
            for (uint32_t w : e.bytecode) c.U32(w);
}

namespace {
// Writes the distance to the next use into the low distanceBits of each use's
// operand (the bits above are the code's own) and returns the first use's
// payload position in the code chunk.
uint32_t LinkUses(Chunk& code, const std::vector<uint32_t>& bytecodeAt, const std::vector<CodeUse>& uses,
                  int distanceBits)
{
    if (uses.empty()) return 0;
    const uint32_t mask = distanceBits == 32 ? 0xFFFFFFFFu : ((1u << distanceBits) - 1);
    std::vector<uint32_t> at;
    for (const CodeUse& u : uses) at.push_back(bytecodeAt.at(u.entry) + u.offset);
    for (size_t i = 0; i < at.size(); ++i) {
        const uint32_t distance = i + 1 < at.size() ? at[i + 1] - at[i] : 0;
        uint32_t word = 0;
        const uint32_t operandAt = at[i] + 4;
        for (int b = 0; b < 4; ++b) word |= static_cast<uint32_t>(code.Byte(operandAt + b)) << (8 * b);
        code.PatchU32(operandAt, (word & ~mask) | (distance & mask));
    }
    return at[0];
}
}  // namespace

void FormWriter::Vari(const VariableCounts& counts, const std::vector<Variable>& variables, bool newerLayout)
{
    Chunk& c = Add("VARI");
    if (newerLayout) c.U32(counts.globals).U32(counts.instances).U32(counts.locals);
    for (const Variable& v : variables) {
        c.String(v.name);
        if (newerLayout) c.I32(v.kind).I32(v.slot);
        c.U32(static_cast<uint32_t>(v.uses.size()));
        if (v.uses.empty()) {
            c.U32(0);
            continue;
        }
        Chunk& code = *m_chunks.at(static_cast<size_t>(m_codeIndex));
        c.OffsetIn(code, LinkUses(code, m_bytecodeAt, v.uses, newerLayout ? 28 : 29));
    }
}

void FormWriter::Func(const std::vector<Function>& functions, const std::vector<LocalNames>& locals,
                      bool newerLayout)
{
    Chunk& c = Add("FUNC");
    if (newerLayout) c.U32(static_cast<uint32_t>(functions.size()));
    for (const Function& f : functions) {
        c.String(f.name).U32(static_cast<uint32_t>(f.uses.size()));
        if (f.uses.empty()) {
            c.U32(0);
            continue;
        }
        Chunk& code = *m_chunks.at(static_cast<size_t>(m_codeIndex));
        c.OffsetIn(code, LinkUses(code, m_bytecodeAt, f.uses, 32));
    }
    if (!newerLayout) return;
    c.U32(static_cast<uint32_t>(locals.size()));
    for (const LocalNames& l : locals) {
        c.U32(static_cast<uint32_t>(l.names.size())).String(l.codeName);
        for (size_t i = 0; i < l.names.size(); ++i) c.U32(static_cast<uint32_t>(i)).String(l.names[i]);
    }
}

void FormWriter::Scpt(const std::vector<std::optional<Script>>& scripts)
{
    Chunk& c = Add("SCPT");
    const uint32_t count = static_cast<uint32_t>(scripts.size());
    c.U32(count);
    uint32_t recordAt = 4 + 4 * count;
    for (const auto& s : scripts) {
        c.Offset(s ? std::optional<uint32_t>(recordAt) : std::nullopt);
        if (s) recordAt += 8;
    }
    for (const auto& s : scripts)
        if (s) c.String(s->name).U32(s->codeIndex);
}

void FormWriter::Path(const std::vector<std::optional<PathEntry>>& paths)
{
    Chunk& c = Add("PATH");
    const uint32_t count = static_cast<uint32_t>(paths.size());
    c.U32(count);
    uint32_t entryAt = 4 + 4 * count;
    for (const std::optional<PathEntry>& p : paths) {
        c.Offset(p ? std::optional<uint32_t>(entryAt) : std::nullopt);
        if (p) entryAt += 20 + 12 * static_cast<uint32_t>(p->points.size());
    }
    for (const std::optional<PathEntry>& p : paths) {
        if (!p) continue;
        c.String(p->name).I32(p->kind).U32(p->closed).I32(p->precision);
        c.I32(p->pointCountOverride ? *p->pointCountOverride : static_cast<int32_t>(p->points.size()));
        for (const PathControlPoint& point : p->points) c.F32(point.x).F32(point.y).F32(point.speed);
    }
}

void FormWriter::Sond(const std::vector<std::optional<SoundEntry>>& sounds)
{
    Chunk& c = Add("SOND");
    const uint32_t count = static_cast<uint32_t>(sounds.size());
    c.U32(count);
    uint32_t entryAt = 4 + 4 * count;
    for (const std::optional<SoundEntry>& e : sounds) {
        c.Offset(e ? std::optional<uint32_t>(entryAt) : std::nullopt);
        if (e) entryAt += 36;
    }
    for (const std::optional<SoundEntry>& e : sounds) {
        if (!e) continue;
        c.String(e->name).I32(e->kind).String(e->extension).String(e->fileName).U32(e->effects);
        c.F32(e->volume).F32(e->pan).I32(e->group).I32(e->audioIndex);
    }
}

void FormWriter::Audo(const std::vector<std::optional<std::vector<uint8_t>>>& images)
{
    Chunk& c = Add("AUDO");
    const uint32_t count = static_cast<uint32_t>(images.size());
    c.U32(count);
    uint32_t entryAt = 4 + 4 * count;
    for (const auto& image : images) {
        c.Offset(image ? std::optional<uint32_t>(entryAt) : std::nullopt);
        if (image) entryAt += 4 + static_cast<uint32_t>(image->size());
    }
    for (const auto& image : images)
        if (image) c.U32(static_cast<uint32_t>(image->size())).Bytes(image->data(), image->size());
}

void FormWriter::Agrp(const std::vector<std::optional<std::string>>& names)
{
    Chunk& c = Add("AGRP");
    const uint32_t count = static_cast<uint32_t>(names.size());
    c.U32(count);
    for (uint32_t i = 0; i < count; ++i) c.Offset(4 + 4 * count + 4 * i);
    for (const auto& name : names) c.String(name);
}

namespace {
// A list of count offsets at the end of the chunk; the offset of where each present entry is written by write.
template <typename Entry, typename Write>
void RecordList(Chunk& c, const std::vector<std::optional<Entry>>& entries, Write write)
{
    const uint32_t listAt = c.Size();
    c.Zeros(4 * entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i]) continue;
        c.PatchOffset(listAt + 4 * static_cast<uint32_t>(i), c.Size());
        write(*entries[i]);
    }
}
}  // namespace

void FormWriter::Extn(const std::vector<std::optional<ExtensionPackageEntry>>& packages)
{
    Chunk& c = Add("EXTN");
    c.U32(static_cast<uint32_t>(packages.size()));
    RecordList(c, packages, [&c](const ExtensionPackageEntry& p) {
        c.String(p.folderName).String(p.secondText).String(p.thirdText).U32(static_cast<uint32_t>(p.files.size()));
        RecordList(c, p.files, [&c](const ExtensionFileEntry& f) {
            c.String(f.fileName).String(f.finalName).String(f.initName).I32(f.kind);
            c.U32(static_cast<uint32_t>(f.functions.size()));
            RecordList(c, f.functions, [&c](const ExtensionFunctionEntry& fn) {
                c.String(fn.name).I32(fn.id).I32(fn.callKind).I32(fn.returnType).String(fn.externalName);
                c.U32(static_cast<uint32_t>(fn.argumentTypes.size()));
                for (int32_t type : fn.argumentTypes) c.I32(type);
            });
        });
    });
}

namespace {
// An event code record: its action count and action offsets, then the one
// action record (36 bytes, the CODE index in its last word).
void EventCode(Chunk& c, const EventEntry& event)
{
    if (!event.codeIndex) {
        c.U32(0);
        return;
    }
    c.U32(1);
    c.Offset(c.Size() + 4);
    c.Zeros(32).I32(*event.codeIndex);
}

// A list of count offsets whose records are written by write(i), each patched in turn.
template <typename Write>
void OffsetList(Chunk& c, uint32_t count, uint32_t written, Write write)
{
    const uint32_t listAt = c.Size();
    c.U32(count);
    for (uint32_t i = 0; i < written; ++i) c.U32(0);
    for (uint32_t i = 0; i < written; ++i) {
        c.PatchOffset(listAt + 4 + 4 * i, c.Size());
        write(i);
    }
}

void WriteRoomLayer(Chunk& c, const RoomLayerEntry& l)
{
    c.String(l.name).I32(l.id).I32(l.type).I32(l.depth).F32(l.x).F32(l.y).F32(l.hspeed).F32(l.vspeed).U32(l.visible);
    switch (l.type) {
    case LAYER_TYPE_BACKGROUND: {
        const RoomLayerBackground& b = l.background;
        c.U32(b.visible).U32(b.foreground).I32(b.sprite).U32(b.tileX).U32(b.tileY).U32(b.stretch).U32(b.colour);
        c.F32(b.firstFrame).F32(b.speed).I32(b.speedType);
        break;
    }
    case LAYER_TYPE_INSTANCES:
        c.U32(l.instanceCountOverride ? *l.instanceCountOverride : static_cast<uint32_t>(l.instances.size()));
        for (int32_t id : l.instances) c.I32(id);
        break;
    case LAYER_TYPE_ASSETS: {
        const uint32_t listsAt = c.Size();
        c.U32(0).U32(0);
        if (l.tiles) {
            c.PatchOffset(listsAt, c.Size());
            const auto n = static_cast<uint32_t>(l.tiles->size());
            OffsetList(c, n, n, [&](uint32_t k) {
                const RoomLayerTile& t = (*l.tiles)[k];
                c.I32(t.x).I32(t.y).I32(t.source).I32(t.left).I32(t.top).I32(t.width).I32(t.height);
                c.I32(t.unread1).I32(t.unread2).F32(t.xscale).F32(t.yscale).U32(t.colour);
            });
        }
        if (l.sprites) {
            c.PatchOffset(listsAt + 4, c.Size());
            const auto n = static_cast<uint32_t>(l.sprites->size());
            OffsetList(c, n, n, [&](uint32_t k) {
                const RoomLayerSprite& s = (*l.sprites)[k];
                c.String(s.name).I32(s.sprite).I32(s.x).I32(s.y).F32(s.xscale).F32(s.yscale).U32(s.colour);
                c.F32(s.speed).I32(s.speedType).F32(s.frame).F32(s.rotation);
            });
        }
        break;
    }
    case LAYER_TYPE_TILEMAP:
        c.I32(l.tileset).I32(l.tilemapWidth).I32(l.tilemapHeight);
        for (uint32_t cell : l.cells) c.U32(cell);
        break;
    default:
        break;
    }
}
}  // namespace

void FormWriter::Objt(const std::vector<std::optional<ObjectEntry>>& objects, uint32_t formatVersion)
{
    Chunk& c = Add("OBJT");
    const auto count = static_cast<uint32_t>(objects.size());
    c.U32(count);
    const uint32_t slotsAt = c.Size();
    for (uint32_t i = 0; i < count; ++i) c.U32(0);
    for (uint32_t i = 0; i < count; ++i) {
        if (!objects[i]) continue;
        const ObjectEntry& o = *objects[i];
        c.PatchOffset(slotsAt + 4 * i, c.Size());
        c.String(o.name).U32(o.sprite).U32(o.visible).U32(o.solid).I32(o.depth).U32(o.persistent);
        c.I32(o.parent).I32(o.mask);
        if (formatVersion >= 6) {
            c.U32(o.usesPhysics).U32(o.sensor).I32(o.shape).F32(o.density).F32(o.restitution);
            c.I32(o.collisionGroup).F32(o.linearDamping).F32(o.angularDamping);
            c.I32(static_cast<int32_t>(o.shapePoints.size()));
            if (formatVersion >= 9) c.F32(o.friction).U32(o.awake).U32(o.kinematic);
            for (const auto& point : o.shapePoints) c.F32(point.first).F32(point.second);
        }
        const auto kinds = static_cast<uint32_t>(o.events.size());
        OffsetList(c, kinds, kinds, [&](uint32_t k) {
            const std::vector<EventEntry>& list = o.events[k];
            const auto n = static_cast<uint32_t>(list.size());
            OffsetList(c, n, n, [&](uint32_t e) {
                c.U32(list[e].subKind);
                EventCode(c, list[e]);
            });
        });
    }
}

void FormWriter::Tmln(const std::vector<std::optional<TimelineEntry>>& timelines)
{
    Chunk& c = Add("TMLN");
    const auto count = static_cast<uint32_t>(timelines.size());
    c.U32(count);
    const uint32_t slotsAt = c.Size();
    for (uint32_t i = 0; i < count; ++i) c.U32(0);
    for (uint32_t i = 0; i < count; ++i) {
        if (!timelines[i]) continue;
        const TimelineEntry& t = *timelines[i];
        c.PatchOffset(slotsAt + 4 * i, c.Size());
        const auto moments = static_cast<uint32_t>(t.moments.size());
        c.String(t.name).U32(t.momentCountOverride ? *t.momentCountOverride : moments);
        const uint32_t momentsAt = c.Size();
        for (const TimelineMoment& m : t.moments) c.I32(m.time).U32(0);
        for (uint32_t k = 0; k < moments; ++k) {
            c.PatchOffset(momentsAt + 8 * k + 4, c.Size());
            EventCode(c, t.moments[k].event);
        }
    }
}

void FormWriter::Room(const std::vector<std::optional<RoomEntry>>& rooms)
{
    Chunk& c = Add("ROOM");
    const auto count = static_cast<uint32_t>(rooms.size());
    c.U32(count);
    const uint32_t slotsAt = c.Size();
    for (uint32_t i = 0; i < count; ++i) c.U32(0);
    for (uint32_t i = 0; i < count; ++i) {
        if (!rooms[i]) continue;
        const RoomEntry& r = *rooms[i];
        const uint32_t at = c.Size();
        c.PatchOffset(slotsAt + 4 * i, at);
        c.String(r.name).String(r.caption).I32(r.width).I32(r.height).I32(r.speed).U32(r.persistent);
        c.U32(r.colour).U32(r.showColour).I32(r.creationCode).U32(r.flags);
        const uint32_t listsAt = c.Size();
        c.U32(0).U32(0).U32(0).U32(0);
        c.U32(r.physicsWorld).Zeros(16).F32(r.gravityX).F32(r.gravityY).F32(r.pixelsToMetres);
        const uint32_t layersAt = c.Size();
        c.U32(0);
        c.PatchOffset(listsAt, c.Size());
        const auto backgrounds = static_cast<uint32_t>(r.backgrounds.size());
        OffsetList(c, backgrounds, backgrounds, [&](uint32_t k) {
            const RoomBackgroundEntry& b = r.backgrounds[k];
            c.U32(b.visible).U32(b.foreground).I32(b.index).I32(b.x).I32(b.y).U32(b.tileX).U32(b.tileY);
            c.I32(b.hspeed).I32(b.vspeed).U32(b.stretch);
        });
        c.PatchOffset(listsAt + 4, c.Size());
        const auto views = static_cast<uint32_t>(r.views.size());
        OffsetList(c, views, views, [&](uint32_t k) {
            const RoomViewEntry& v = r.views[k];
            c.U32(v.visible).I32(v.viewX).I32(v.viewY).I32(v.viewWidth).I32(v.viewHeight);
            c.I32(v.portX).I32(v.portY).I32(v.portWidth).I32(v.portHeight);
            c.I32(v.borderH).I32(v.borderV).I32(v.hspeed).I32(v.vspeed).I32(v.followObject);
        });
        c.PatchOffset(listsAt + 8, c.Size());
        const auto instances = static_cast<uint32_t>(r.instances.size());
        OffsetList(c, r.instanceCountOverride ? *r.instanceCountOverride : instances, instances, [&](uint32_t k) {
            const RoomInstanceEntry& n = r.instances[k];
            m_highestInstanceId = std::max(m_highestInstanceId, n.id);
            c.I32(n.x).I32(n.y).I32(n.objectIndex).I32(n.id).I32(n.creationCode);
            c.F32(n.xscale).F32(n.yscale).U32(n.colour).F32(n.angle);
        });
        c.PatchOffset(listsAt + 12, c.Size());
        const auto tiles = static_cast<uint32_t>(r.tiles.size());
        OffsetList(c, tiles, tiles, [&](uint32_t k) {
            const RoomTileEntry& t = r.tiles[k];
            c.I32(t.x).I32(t.y).I32(t.background).I32(t.left).I32(t.top).I32(t.width).I32(t.height);
            c.I32(t.depth).I32(t.id).F32(t.xscale).F32(t.yscale).U32(t.colour);
        });
        if (r.layers) {
            c.PatchOffset(layersAt, c.Size());
            const auto layers = static_cast<uint32_t>(r.layers->size());
            OffsetList(c, r.layerCountOverride ? *r.layerCountOverride : layers, layers,
                       [&](uint32_t k) { WriteRoomLayer(c, (*r.layers)[k]); });
        }
    }
}

uint32_t FormWriter::TpagEntryOffset(uint32_t index) const
{
    return m_chunkPayloadOffsets.at(static_cast<size_t>(m_tpagIndex)) + m_tpagEntriesAt + 22 * index;
}

std::vector<uint8_t> FormWriter::Finish()
{
    if (m_lastIdChunk >= 0)
        m_chunks[static_cast<size_t>(m_lastIdChunk)]->PatchU32(m_lastIdAt, static_cast<uint32_t>(m_highestInstanceId));
    if (m_strgIndex < 0 && !m_strings.empty()) Strg();
    // The string table: count, record offsets, then the records (u32 length, bytes, NUL).
    std::vector<uint32_t> recordAt;
    if (m_strgIndex >= 0) {
        Chunk& s = *m_chunks[static_cast<size_t>(m_strgIndex)];
        s.m_bytes.clear();
        s.m_fixups.clear();
        const uint32_t count = static_cast<uint32_t>(m_strings.size());
        s.U32(count);
        uint32_t at = 4 + 4 * count;
        for (const std::string& text : m_strings) {
            s.Offset(at);
            recordAt.push_back(at);
            at += 4 + static_cast<uint32_t>(text.size()) + 1;
        }
        for (const std::string& text : m_strings) s.U32(static_cast<uint32_t>(text.size())).Bytes(text.data(), text.size()).U8(0);
    }
    m_chunkPayloadOffsets.clear();
    uint32_t pos = 8;
    for (size_t i = 0; i < m_chunks.size(); ++i) {
        Chunk& c = *m_chunks[i];
        const uint32_t payload = pos + 8;
        if (m_unpadded && static_cast<int>(i) == m_codeIndex && m_codeBlobsAt)
            ShiftBytecode((4 - (payload + m_codeBlobsAt) % 4) % 4);
        if (!m_unpadded) c.Zeros((4 - c.Size() % 4) % 4);
        m_chunkPayloadOffsets.push_back(payload);
        pos = payload + c.Size();
    }
    const uint32_t strgPayload = m_strgIndex >= 0 ? m_chunkPayloadOffsets[static_cast<size_t>(m_strgIndex)] : 0;
    std::vector<uint8_t> out(pos);
    std::memcpy(out.data(), "FORM", 4);
    PutU32(out, 4, pos - 8);
    for (size_t i = 0; i < m_chunks.size(); ++i) {
        const Chunk& c = *m_chunks[i];
        const uint32_t payload = m_chunkPayloadOffsets[i];
        std::memcpy(out.data() + payload - 8, c.m_tag, 4);
        PutU32(out, payload - 4, c.Size());
        if (c.Size()) std::memcpy(out.data() + payload, c.m_bytes.data(), c.Size());
        for (const Chunk::Fixup& f : c.m_fixups) {
            // A string reference points at the text, four bytes into its record.
            uint32_t base = payload;
            if (f.in) {
                for (size_t j = 0; j < m_chunks.size(); ++j)
                    if (m_chunks[j].get() == f.in) base = m_chunkPayloadOffsets[j];
            }
            uint32_t target = f.isString ? strgPayload + recordAt[f.value] + 4 : base + f.value;
            if (f.isTpagEntry)
                target = m_tpagIndex >= 0 ? m_chunkPayloadOffsets[static_cast<size_t>(m_tpagIndex)] +
                                                m_tpagEntriesAt + 22 * f.value
                                          : 0;
            PutU32(out, payload + f.at, target);
        }
    }
    return out;
}

void FormWriter::ShiftBytecode(uint32_t count)
{
    if (count == 0) return;
    Chunk& code = *m_chunks[static_cast<size_t>(m_codeIndex)];
    code.m_bytes.insert(code.m_bytes.begin() + m_codeBlobsAt, count, 0);
    // Each record's bytecode offset counts from the record's own field.
    for (uint32_t i = 0; i < m_codeRecords; ++i) {
        const uint32_t field = 4 + 4 * m_codeRecords + 20 * i + 12;
        uint32_t v = 0;
        for (int b = 0; b < 4; ++b) v |= static_cast<uint32_t>(code.Byte(field + b)) << (8 * b);
        code.PatchU32(field, v + count);
    }
    for (auto& c : m_chunks)
        for (Chunk::Fixup& f : c->m_fixups)
            if (!f.isString && !f.isTpagEntry && (f.in == &code || (!f.in && c.get() == &code)) &&
                f.value >= m_codeBlobsAt)
                f.value += count;
    for (uint32_t& at : m_bytecodeAt) at += count;
    m_codeBlobsAt += count;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}


namespace {
struct WordWriter {
    std::vector<uint8_t> bytes;
    WordWriter& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    WordWriter& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    WordWriter& F32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return U32(bits);
    }
    WordWriter& Padded(const std::vector<uint8_t>& b)
    {
        bytes.insert(bytes.end(), b.begin(), b.end());
        while (bytes.size() % 4) bytes.push_back(0);
        return *this;
    }
    void Floats(const std::vector<float>& v)
    {
        for (float f : v) F32(f);
    }
    void Words(const std::vector<uint32_t>& v)
    {
        for (uint32_t w : v) U32(w);
    }
};
}  // namespace

std::vector<uint8_t> EncodeVector(const VectorData& data)
{
    WordWriter w;
    const auto tables = static_cast<uint32_t>(data.jpegTables.size());
    if (data.version == 4) w.U32(tables);
    else w.U32(tables | 0x80000000u).I32(data.version);
    w.Padded(data.jpegTables);
    w.U32(static_cast<uint32_t>(data.items.size()));
    for (const VectorItemData& item : data.items) {
        w.I32(item.type).I32(item.id);
        if (item.type == 2) {
            w.I32(item.bitmapKind).I32(item.width).I32(item.height);
            for (const auto& block : item.blocks) w.U32(static_cast<uint32_t>(block.size()));
            std::vector<uint8_t> all;
            for (const auto& block : item.blocks) all.insert(all.end(), block.begin(), block.end());
            w.Padded(all);
            continue;
        }
        if (item.type != 1) continue;
        w.U32(0).U32(0).U32(0).U32(0).U32(static_cast<uint32_t>(item.groups.size()));
        for (const VectorGroupData& g : item.groups) {
            w.U32(static_cast<uint32_t>(g.fills.size())).U32(static_cast<uint32_t>(g.lineColours.size()));
            w.U32(static_cast<uint32_t>(g.subShapes.size()));
            for (const VectorFill& f : g.fills) {
                w.I32(f.type);
                const auto matrix = [&] {
                    for (float m : f.matrix) w.F32(m);
                    w.U32(0).U32(0).U32(0);
                };
                if (f.type == 1) {
                    w.U32(f.colour);
                } else if (f.type == 2) {
                    w.I32(f.kind);
                    matrix();
                    w.U32(static_cast<uint32_t>(f.stops.size()));
                    for (const auto& [ratio, colour] : f.stops) w.I32(ratio).U32(colour);
                } else if (f.type == 3) {
                    w.I32(f.kind).I32(f.bitmapId);
                    matrix();
                }
            }
            w.Words(g.lineColours);
            for (const VectorSubShapeData& s : g.subShapes) {
                const auto n = [](size_t size, size_t per) { return static_cast<uint32_t>(size / per); };
                w.U32(0).I32(s.fillStyle).I32(s.lineStyle).U32(n(s.fill.points.size(), 2)).U32(n(s.pairs.size(), 2));
                w.U32(n(s.fill.triangles.size(), 3)).U32(n(s.line.points.size(), 2)).U32(n(s.line.triangles.size(), 3));
                if (data.version >= 5) w.U32(n(s.fill.edges.size(), 2)).U32(n(s.fill.offsets.size(), 2));
                if (data.version >= 6) w.U32(n(s.line.edges.size(), 2)).U32(n(s.line.offsets.size(), 2));
                w.Floats(s.fill.points);
                w.Words(s.pairs);
                w.Words(s.fill.triangles);
                w.Floats(s.line.points);
                w.Words(s.line.triangles);
                if (data.version >= 5) {
                    w.Words(s.fill.edges);
                    w.Floats(s.fill.offsets);
                }
                if (data.version >= 6) {
                    w.Words(s.line.edges);
                    w.Floats(s.line.offsets);
                }
            }
        }
    }
    w.U32(0).U32(static_cast<uint32_t>(data.frames.size()));
    for (float b : data.bounds) w.F32(b);
    w.U32(static_cast<uint32_t>(data.masks.size())).I32(data.maskWidth).I32(data.maskHeight);
    for (const VectorFrameData& f : data.frames) {
        w.U32(static_cast<uint32_t>(f.placements.size()));
        for (float b : f.bounds) w.F32(b);
        for (const VectorPlacementData& p : f.placements) {
            w.U32(p.visible).I32(p.item).I32(p.depth).I32(p.clipDepth);
            for (int32_t m : p.multiply) w.I32(m);
            for (int32_t a : p.add) w.I32(a);
            for (float b : p.bounds) w.F32(b);
            for (float m : p.matrix) w.F32(m);
            w.U32(0).U32(0).U32(0);
        }
    }
    for (const auto& mask : data.masks) w.U32(static_cast<uint32_t>(mask.size())).Padded(mask);
    return w.bytes;
}

}  // namespace gamedata
