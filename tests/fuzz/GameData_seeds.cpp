// Writes the seed corpus of the game data fuzzer: small games made by the writer.
#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "support/GameFiles.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = gamedata::WriteFile(dir + "/small.win", testgames::SmallGame());
    // Objects, a room, scripts and initialisers whose code is bytecode, with its names to resolve.
    ok &= gamedata::WriteFile(dir + "/bytecode.win", testgames::BytecodeGame());
    for (int version : {7, 9, 10, 13, 14}) {
        gamedata::FormWriter w;
        gamedata::GeneralHeader h;
        h.formatVersion = static_cast<uint8_t>(version);
        h.roomOrder = {0};
        w.Gen8(h);
        gamedata::Options o;
        o.newerLayout = version >= 14;
        o.constants = {{"@@DrawColour", "0x10"}, {"A", "1"}};
        w.Optn(o);
        w.Add("CODE").U32(1).U32(0);
        w.Add("VARI").U32(0);
        ok &= gamedata::WriteFile(dir + "/version" + std::to_string(version) + ".win", w.Finish());
    }
    // Without strings, so that cutting the file keeps the header readable.
    const char* lastChunks[] = {"GLOB", "TPAG", "TXTR", "LANG", "OPTN", "CODE", "PATH", "EMBI", "STRG"};
    for (const char* last : lastChunks) {
        gamedata::FormWriter w;
        gamedata::GeneralHeader h;
        h.projectName = h.configName = h.gameName = h.displayName = std::nullopt;
        w.Gen8(h);
        const std::string tag = last;
        if (tag == "GLOB") w.Glob({1, 2});
        if (tag == "TPAG") w.Tpag({gamedata::TexturePageEntry{}});
        if (tag == "TXTR") {
            // A 1 × 1 "RAW " page beside an image of no known kind.
            const std::vector<uint8_t> raw = {'R', 'A', 'W', ' ', 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 9, 8, 7, 6};
            w.Txtr({gamedata::Texture{0, {1, 2, 3}}, gamedata::Texture{0, raw}});
        }
        if (tag == "EMBI") w.Add("EMBI").U32(1).U32(2).U32(0).U32(0).U32(0).U32(0);
        if (tag == "LANG") w.Lang({1, {}, {}});
        if (tag == "OPTN") w.Optn(gamedata::Options{});
        if (tag == "CODE") w.Add("CODE").U32(2).U32(0).U32(0);
        if (tag == "PATH") {
            gamedata::PathEntry smooth;
            smooth.kind = 1;
            smooth.precision = 8;
            smooth.points = {{0, 0, 100}, {3000, 0, 0}, {3000, 3000, 50}};
            w.Path({smooth, std::nullopt, gamedata::PathEntry{}});
        }
        if (tag == "STRG") w.Strg();
        ok &= gamedata::WriteFile(dir + "/last_" + tag + ".win", w.Finish());
    }
    {
        // Objects with a parent and events, a timeline and a room with all four lists.
        gamedata::FormWriter w;
        gamedata::GeneralHeader h;
        h.roomOrder = {0};
        w.Gen8(h);
        gamedata::ObjectEntry parent, child;
        child.parent = 0;
        child.events[3] = {gamedata::EventEntry{0, 1}, gamedata::EventEntry{2, 0}};
        child.shapePoints = {{0, 0}, {8, 8}};
        w.Objt({parent, std::nullopt, child});
        gamedata::TimelineEntry timeline;
        timeline.moments = {{5, {0, 1}}, {9, {0, std::nullopt}}};
        w.Tmln({timeline});
        gamedata::RoomEntry room;
        room.backgrounds.resize(2);
        room.views.resize(1);
        room.instances = {gamedata::RoomInstanceEntry{}};
        room.tiles = {gamedata::RoomTileEntry{}};
        w.Room({room, std::nullopt});
        ok &= gamedata::WriteFile(dir + "/world.win", w.Finish());
    }
    {
        // A room with a layer of every type.
        gamedata::FormWriter w;
        gamedata::GeneralHeader h;
        h.roomOrder = {0};
        w.Gen8(h);
        w.Objt({gamedata::ObjectEntry{}});
        gamedata::RoomEntry room;
        room.flags = 0x00020000u;
        room.instances = {gamedata::RoomInstanceEntry{}};
        gamedata::RoomLayerEntry background, instances, assets, tilemap;
        background.name = "Background";
        background.type = gamedata::LAYER_TYPE_BACKGROUND;
        background.background.stretch = 1;
        instances.id = 1;
        instances.instances = {100001};
        assets.id = 2;
        assets.type = gamedata::LAYER_TYPE_ASSETS;
        assets.tiles = std::vector<gamedata::RoomLayerTile>{gamedata::RoomLayerTile{}};
        gamedata::RoomLayerSprite sprite;
        sprite.name = "sprite";
        assets.sprites = std::vector<gamedata::RoomLayerSprite>{sprite};
        tilemap.id = 3;
        tilemap.type = gamedata::LAYER_TYPE_TILEMAP;
        tilemap.tilemapWidth = 2;
        tilemap.tilemapHeight = 1;
        tilemap.cells = {1, 2};
        room.layers = std::vector<gamedata::RoomLayerEntry>{background, instances, assets, tilemap};
        w.Room({room});
        ok &= gamedata::WriteFile(dir + "/layers.win", w.Finish());
    }
    {
        // A vector sprite: a masked gradient shape with anti-aliasing edges, a bitmap and a collision mask.
        gamedata::FormWriter w;
        w.Gen8(gamedata::GeneralHeader{});
        gamedata::VectorFill gradient;
        gradient.type = 2;
        gradient.stops = {{0, 0xFF0000FFu}, {255, 0xFFFF0000u}};
        gamedata::VectorSubShapeData square;
        square.fillStyle = 0;
        square.fill.points = {0, 0, 160, 0, 160, 160, 0, 160};
        square.fill.triangles = {0, 1, 2, 0, 2, 3};
        square.fill.edges = {0, 1, 1, 2, 2, 3, 3, 0};
        square.fill.offsets = {-1, -1, 1, -1, 1, 1, -1, 1};
        gamedata::VectorItemData shape, bitmap;
        shape.groups = {gamedata::VectorGroupData{{gradient}, {}, {square}}};
        bitmap.type = 2;
        bitmap.id = 1;
        bitmap.width = bitmap.height = 1;
        bitmap.blocks[0] = {1, 2, 3, 4};
        gamedata::VectorData vector;
        vector.items = {shape, bitmap};
        vector.bounds[1] = vector.bounds[3] = 160;
        gamedata::VectorPlacementData mask, above;
        mask.clipDepth = 2;
        above.depth = 2;
        vector.frames = {gamedata::VectorFrameData{{0, 160, 0, 160}, {mask, above}}};
        vector.maskWidth = vector.maskHeight = 8;
        vector.masks = {{0xBF}};
        gamedata::SpriteEntry sprite;
        sprite.name = "vector";
        sprite.precise = 1;
        sprite.vectorData = gamedata::EncodeVector(vector);
        w.Sprt({sprite});
        ok &= gamedata::WriteFile(dir + "/vector_sprite.win", w.Finish());
    }
    gamedata::FormWriter debug;
    debug.Add("DBGI").U32(1).Offset(8).U32(1).U32(7);
    debug.Add("SCPT").U32(1).Offset(8).Offset(12).Bytes("a = 1;", 7);
    debug.Add("INST").U32(0);
    ok &= gamedata::WriteFile(dir + "/debug.kvdebug", debug.Finish());
    return ok ? 0 : 1;
}
