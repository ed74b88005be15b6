#include "support/ShaderFixtures.h"

#include "support/DxbcWriter.h"

namespace shaderfixtures {

namespace {

void Put(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Append(std::vector<uint8_t>& out, uint32_t v)
{
    out.resize(out.size() + 4);
    Put(out, out.size() - 4, v);
}

}  // namespace

std::vector<uint8_t> DescriptionBytes(const Description& d)
{
    std::vector<uint8_t> out(0x34, 0);
    Put(out, 0x04, static_cast<uint32_t>(d.buffers.size()));
    Put(out, 0x08, static_cast<uint32_t>(d.variables.size()));
    Put(out, 0x0C, static_cast<uint32_t>(d.samplers.size()));
    Put(out, 0x14, static_cast<uint32_t>(d.inputs.size()));
    Put(out, 0x18, static_cast<uint32_t>(d.bytecode.size()));
    // Tables first with their name words patched once the strings are placed.
    std::vector<std::pair<size_t, std::string>> names;
    Put(out, 0x1C, d.buffers.empty() ? 0 : static_cast<uint32_t>(out.size()));
    for (const Buffer& b : d.buffers) {
        names.push_back({out.size(), b.name});
        Append(out, 0), Append(out, b.slot), Append(out, 0), Append(out, 0), Append(out, b.size);
    }
    Put(out, 0x20, d.variables.empty() ? 0 : static_cast<uint32_t>(out.size()));
    for (const Variable& v : d.variables) {
        names.push_back({out.size(), v.name});
        Append(out, 0), Append(out, v.buffer), Append(out, v.offset), Append(out, v.size);
        Append(out, static_cast<uint32_t>(v.kind)), Append(out, static_cast<uint32_t>(v.columns));
        Append(out, static_cast<uint32_t>(v.rows)), Append(out, static_cast<uint32_t>(v.elements));
    }
    Put(out, 0x24, d.samplers.empty() ? 0 : static_cast<uint32_t>(out.size()));
    for (const Named& s : d.samplers) {
        names.push_back({out.size(), s.name});
        Append(out, 0), Append(out, s.value), Append(out, 0);
    }
    Put(out, 0x2C, d.inputs.empty() ? 0 : static_cast<uint32_t>(out.size()));
    for (const Named& in : d.inputs) {
        names.push_back({out.size(), in.name});
        Append(out, 0), Append(out, in.value), Append(out, 0), Append(out, 0), Append(out, 0);
    }
    for (const auto& [at, text] : names) {
        Put(out, at, static_cast<uint32_t>(out.size()));
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
    while (out.size() % 4) out.push_back(0);
    Put(out, 0x30, static_cast<uint32_t>(out.size()));
    out.insert(out.end(), d.bytecode.begin(), d.bytecode.end());
    return out;
}

Description PassThroughVertex()
{
    Description d;
    d.buffers = {{"$Globals", 0, 320}};
    d.variables = {{"qs_Matrices", 0, 0, 320, 5, 4, 4, 5}};
    d.inputs = {{"POSITION", 0}, {"COLOR", 0}, {"TEXCOORD", 0}};
    d.bytecode = dxbc::PassThroughVertexProgram();
    return d;
}

Description TintPixel(bool textured)
{
    Description d;
    d.buffers = {{"$Globals", 0, 16}};
    d.variables = {{"tint", 0, 0, 16, 1, 4, 1, 0}};
    if (textured) d.samplers = {{"qs_BaseTexture", 0}};
    d.bytecode = dxbc::TintPixelProgram(textured);
    return d;
}

Entry TintShader(const std::string& name, bool textured)
{
    Entry e;
    e.name = name;
    e.vertex = DescriptionBytes(PassThroughVertex());
    e.pixel = DescriptionBytes(TintPixel(textured));
    e.attributes = {"in_Position", "in_Colour", "in_TextureCoord"};
    return e;
}

void Shdr(gamedata::FormWriter& w, const std::vector<std::optional<Entry>>& entries)
{
    gamedata::Chunk& c = w.Add("SHDR");
    c.U32(static_cast<uint32_t>(entries.size()));
    const uint32_t table = c.Size();
    for (size_t i = 0; i < entries.size(); ++i) c.U32(0);
    struct Pending { uint32_t at; const std::vector<uint8_t>* bytes; };
    std::vector<Pending> programs;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i]) continue;
        const Entry& e = *entries[i];
        c.PatchOffset(table + 4 * static_cast<uint32_t>(i), c.Size());
        c.String(e.name).U32(e.type);
        for (int p = 0; p < 6; ++p) c.U32(0);
        programs.push_back({c.Size(), e.vertex ? &*e.vertex : nullptr});
        c.U32(0);
        programs.push_back({c.Size(), e.pixel ? &*e.pixel : nullptr});
        c.U32(0);
        c.U32(static_cast<uint32_t>(e.attributes.size()));
        for (const std::string& a : e.attributes) c.String(a);
    }
    for (const Pending& p : programs) {
        if (!p.bytes) continue;
        while (c.Size() % 4) c.U8(0);
        c.PatchOffset(p.at, c.Size());
        c.Bytes(p.bytes->data(), p.bytes->size());
    }
}

std::vector<uint8_t> Game(const std::vector<std::optional<Entry>>& entries)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    Shdr(w, entries);
    w.Strg();
    return w.Finish();
}

}  // namespace shaderfixtures
