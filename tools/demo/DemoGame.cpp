#include "demo/DemoGame.h"

#include "demo/DemoArt.h"
#include "demo/DemoLayers.h"
#include "demo/TexturePage.h"
#include "gamedata/FormWriter.h"

namespace demo {

namespace {
// Code indexes of the linked module's table.
constexpr int32_t kCodeGameCreate = 0;
constexpr int32_t kCodePlayerCreate = 1;
constexpr int32_t kCodePlayerStep = 2;

// Picture order on the page and in TPAG.
enum Picture : uint32_t { PIC_SKY, PIC_MOUNTAINS, PIC_TREES, PIC_CLOUDS, PIC_GROUND, PIC_PLAYER, PIC_COUNT };

// Asset-layer tiles are cut from sprites, tile maps from tile sets.
enum Sprite : uint32_t { SPR_PLAYER, SPR_SKY, SPR_MOUNTAINS, SPR_TREES, SPR_CLOUDS };
enum TileSet : int32_t { TS_GROUND, TS_MOUNTAINS, TS_TREES, TS_CLOUDS };
enum Object : int32_t { OBJ_GAME, OBJ_PLAYER };

constexpr uint32_t kFirstInstanceId = 100001;
constexpr uint32_t kLayerRoomFormat = 2u << 16;  // room format 2: the record carries a layer list
constexpr int kColumns = kRoomWidth / kTileSize;
constexpr int kRows = kRoomHeight / kTileSize;

gamedata::TexturePageEntry Entry(const Placement& p)
{
    gamedata::TexturePageEntry e;
    e.x = static_cast<uint16_t>(p.x);
    e.y = static_cast<uint16_t>(p.y);
    e.width = e.cropWidth = e.fullWidth = static_cast<uint16_t>(p.width);
    e.height = e.cropHeight = e.fullHeight = static_cast<uint16_t>(p.height);
    e.texture = 0;
    return e;
}

gamedata::SpriteEntry SpriteOf(const char* name, const Image& image, uint32_t picture, int xOrigin, int yOrigin)
{
    gamedata::SpriteEntry s;
    s.name = name;
    s.width = image.width;
    s.height = image.height;
    s.bboxMode = 1;  // the full frame
    s.bboxRight = image.width - 1;
    s.bboxBottom = image.height - 1;
    s.xOrigin = xOrigin;
    s.yOrigin = yOrigin;
    s.frames = {picture};
    return s;
}

// A tile set cut from a picture in 16 x 16 tiles; tile i shows tile i.
gamedata::BackgroundEntry TileSetOf(const char* name, const Image& image, uint32_t picture)
{
    gamedata::BackgroundEntry b;
    b.name = name;
    b.transparent = 1;
    b.entry = picture;
    gamedata::Tileset t;
    t.columns = image.width / kTileSize;
    const int tiles = t.columns * (image.height / kTileSize);
    for (int i = 0; i < tiles; ++i) t.tileIds.push_back(static_cast<uint32_t>(i));
    b.tileset = t;
    return b;
}

gamedata::RoomLayerEntry LayerOf(const char* name, int32_t id, int32_t type, int32_t depth)
{
    gamedata::RoomLayerEntry l;
    l.name = name;
    l.id = id;
    l.type = type;
    l.depth = depth;
    return l;
}

// An asset layer of the picture's tiles, cut from its sprite, placed at the given cells.
gamedata::RoomLayerEntry TileLayerOf(const char* name, int32_t id, int32_t depth, const Image& picture,
                                     uint32_t sprite, const std::vector<Cell>& origins)
{
    gamedata::RoomLayerEntry l = LayerOf(name, id, gamedata::LAYER_TYPE_ASSETS, depth);
    const int columns = picture.width / kTileSize;
    std::vector<gamedata::RoomLayerTile> tiles;
    for (const PlacedTile& p : PlacePicture(picture, origins)) {
        gamedata::RoomLayerTile t;
        t.x = p.cell.column * kTileSize;
        t.y = p.cell.row * kTileSize;
        t.source = static_cast<int32_t>(sprite);
        t.left = static_cast<int32_t>(p.tile) % columns * kTileSize;
        t.top = static_cast<int32_t>(p.tile) / columns * kTileSize;
        tiles.push_back(t);
    }
    l.tiles = tiles;
    return l;
}

// Back to front: sky, clouds, mountains, trees, the ground tile map, the instances.
std::vector<gamedata::RoomLayerEntry> RoomLayers(const Image& mountains, const Image& trees, const Image& clouds)
{
    gamedata::RoomLayerEntry instances = LayerOf("Instances", 1, gamedata::LAYER_TYPE_INSTANCES, 0);
    instances.instances = {static_cast<int32_t>(kFirstInstanceId), static_cast<int32_t>(kFirstInstanceId + 1)};
    gamedata::RoomLayerEntry ground = LayerOf("Collisions", 2, gamedata::LAYER_TYPE_TILEMAP, 100);
    ground.tileset = TS_GROUND;
    ground.tilemapWidth = kColumns;
    ground.tilemapHeight = kRows;
    ground.cells = GroundCells(kColumns, kRows);
    // Scenery stands on the grass row.
    const int groundRow = kRows - 3;
    const int mountainRows = mountains.height / kTileSize, treeRows = trees.height / kTileSize;
    std::vector<Cell> ranges;
    for (int column = 0; column < kColumns; column += mountains.width / kTileSize)
        ranges.push_back({column, groundRow - mountainRows});
    gamedata::RoomLayerEntry sky = LayerOf("Background", 6, gamedata::LAYER_TYPE_BACKGROUND, 500);
    sky.background.sprite = SPR_SKY;
    sky.background.stretch = 1;
    return {instances,
            ground,
            TileLayerOf("Tiles_Trees", 3, 200, trees, SPR_TREES,
                        {{2, groundRow - treeRows}, {22, groundRow - treeRows}, {46, groundRow - treeRows}}),
            TileLayerOf("Tiles_Mountains", 4, 300, mountains, SPR_MOUNTAINS, ranges),
            TileLayerOf("Tiles_Clouds", 5, 400, clouds, SPR_CLOUDS, {{4, 3}, {28, 7}, {50, 2}}),
            sky};
}

gamedata::ObjectEntry ObjectOf(const char* name, uint32_t sprite, int32_t depth)
{
    gamedata::ObjectEntry o;
    o.name = name;
    o.sprite = sprite;
    o.depth = depth;
    return o;
}
}  // namespace

std::vector<uint8_t> BuildDemoGame()
{
    const Image sky = DrawSky(), mountains = DrawMountains(), trees = DrawTrees(), clouds = DrawClouds(),
                ground = DrawGround(), player = DrawPlayer();
    TexturePage page;
    if (!PackPage({&sky, &mountains, &trees, &clouds, &ground, &player}, 512, &page)) return {};
    gamedata::Texture texture;
    texture.image = EncodePNG(page.page);
    if (texture.image.empty()) return {};

    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.gameName = "Demo";
    h.displayName = "Quillstep demo";
    h.projectName = "Demo";
    h.windowWidth = kRoomWidth;
    h.windowHeight = kRoomHeight;
    h.lastInstanceId = kFirstInstanceId + 1;
    h.roomOrder = {0};
    h.gameSpeed = 60.0f;
    w.Gen8(h);
    w.Optn(gamedata::Options{});

    w.Sprt({SpriteOf("spr_player", player, PIC_PLAYER, player.width / 2, player.height),
            SpriteOf("spr_sky", sky, PIC_SKY, 0, 0), SpriteOf("spr_mountains", mountains, PIC_MOUNTAINS, 0, 0),
            SpriteOf("spr_trees", trees, PIC_TREES, 0, 0), SpriteOf("spr_clouds", clouds, PIC_CLOUDS, 0, 0)});
    w.Bgnd({TileSetOf("ts_ground", ground, PIC_GROUND), TileSetOf("ts_mountains", mountains, PIC_MOUNTAINS),
            TileSetOf("ts_trees", trees, PIC_TREES), TileSetOf("ts_clouds", clouds, PIC_CLOUDS)});

    // The module's code: names only, the functions are linked in.
    w.Code({{"qsc_Object_object_Game_Create_0", {}}, {"qsc_Object_object_Player_Create_0", {}},
            {"qsc_Object_object_Player_Step_0", {}}});
    w.Vari({5, 5, 0}, {{"tilesize", -1, 0, {}}, {"map", -1, 1, {}}, {"mountains", -1, 2, {}},
                       {"trees", -1, 3, {}}, {"clouds", -1, 4, {}}, {"x", -6, -6, {}},
                       {"image_xscale", -6, -6, {}}});
    w.Func({{"layer_tilemap_get_id", {}}, {"layer_get_all_elements", {}}}, {});

    gamedata::ObjectEntry game = ObjectOf("object_Game", 0xFFFFFFFFu, 0);
    game.events[0] = {{0, kCodeGameCreate}};
    gamedata::ObjectEntry hero = ObjectOf("object_Player", SPR_PLAYER, -10);
    hero.events[0] = {{0, kCodePlayerCreate}};
    hero.events[3] = {{0, kCodePlayerStep}};
    w.Objt({game, hero});

    gamedata::RoomEntry room;
    room.name = "room_demo";
    room.caption = "Quillstep demo";
    room.width = kRoomWidth;
    room.height = kRoomHeight;
    room.speed = 60;
    room.colour = 0xF0C080;  // BGR: a light sky blue behind everything
    room.flags = kLayerRoomFormat;
    gamedata::RoomInstanceEntry controller;
    controller.objectIndex = OBJ_GAME;
    controller.id = static_cast<int32_t>(kFirstInstanceId);
    gamedata::RoomInstanceEntry figure;
    figure.objectIndex = OBJ_PLAYER;
    figure.id = static_cast<int32_t>(kFirstInstanceId + 1);
    figure.x = kRoomWidth / 2;
    figure.y = kRoomHeight - 3 * kTileSize;  // standing on the grass row
    room.instances = {controller, figure};
    room.layers = RoomLayers(mountains, trees, clouds);
    w.Room({room});

    std::vector<gamedata::TexturePageEntry> entries(PIC_COUNT);
    for (uint32_t i = 0; i < PIC_COUNT; ++i) entries[i] = Entry(page.placements[i]);
    w.Tpag(entries);
    w.Txtr({texture});
    w.Strg();
    return w.Finish();
}

}  // namespace demo
