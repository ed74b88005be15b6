// What a live room does with its contents at run time: instances made and
// deleted, activation moves, live tiles, definitions added at run time,
// background scrolling and layer animation.
#include <cmath>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Code/Code_Main.h"
#include "World/Collision.h"
#include "World/Instance.h"
#include "World/Room_Layers.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "GameData/GameHeader.h"

int32_t Room_LastInstanceId = 100000;
int32_t Room_LastTileId = 10000000;
int32_t MarkedInstanceCount = 0;

namespace {
// Beyond this many marked instances the spatial index is rebuilt rather than
// updated one deletion at a time.
constexpr int32_t kRebuildIndexAbove = 250;
constexpr int32_t kTileGrowStep = 10;

// Takes exactly this instance out of the id table, even when an id is shared.
void RemoveFromIdTable(CInstance* instance)
{
    Hash<CInstance>& table = Instance_IdTable();
    if (!table.buckets) return;
    auto& bucket = table.BucketOf(instance->id);
    for (auto* node = bucket.first; node; node = node->next) {
        if (node->value != instance) continue;
        (node->prev ? node->prev->next : bucket.first) = node->next;
        (node->next ? node->next->prev : bucket.last) = node->prev;
        QS_FREE(node);
        --table.count;
        return;
    }
}

int32_t TruncateTowardZero(float value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The tile's rectangle in increasing order on both axes.
bool TileContains(const STile& tile, float px, float py)
{
    float x0 = tile.x, x1 = tile.x + static_cast<float>(tile.width) * tile.xscale;
    float y0 = tile.y, y1 = tile.y + static_cast<float>(tile.height) * tile.yscale;
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    return px >= x0 && px < x1 && py >= y0 && py < y1;
}
}  // namespace

CInstance* CGameRoom::CreateInstance(float x, float y, int32_t objectIndex)
{
    return AddNewInstance(new CInstance(x, y, ++Room_LastInstanceId, objectIndex, true));
}

CInstance* CGameRoom::CreateInstanceOnLayerId(float x, float y, int32_t layerId, int32_t objectIndex)
{
    auto* instance = new CInstance(x, y, ++Room_LastInstanceId, objectIndex, true);
    instance->layer = layerId;
    return AddNewInstance(instance);
}

CInstance* CGameRoom::CreateInstanceOnLayer(float x, float y, RoomLayer* layer, int32_t objectIndex)
{
    if (!layer) return nullptr;
    auto* instance = new CInstance(x, y, ++Room_LastInstanceId, objectIndex, true);
    instance->layer = layer->id;
    return AddNewInstance(instance, layer);
}

CInstance* CGameRoom::CreateInstanceAtDepth(float x, float y, float depth, int32_t objectIndex)
{
    auto* instance = new CInstance(x, y, ++Room_LastInstanceId, objectIndex, true);
    instance->depth = depth;
    return AddNewInstance(instance);
}

CInstance* CGameRoom::AddNewInstance(CInstance* instance, RoomLayer* layer)
{
    instance->CreatePhysicsFixture(this);
    activeInstances.Insert(instance);
    Instance_Insert(instance->id, instance);
    if (layer) Layer_AddInstance(this, layer, instance);
    else if (LayerMode) Layer_AddInstanceToDefault(this, instance);
    Collision_AddInstance(instance);
    return instance;
}

void CGameRoom::DeleteInstance(CInstance* instance)
{
    Layer_RemoveInstance(this, instance);
    RemoveFromIdTable(instance);
    if (instance->m_deactivated)
        deactivatedInstances.Remove(instance);
    else
        activeInstances.Remove(instance);
    delete instance;
}

void CGameRoom::DeleteInstances(InstanceDepthList& list)
{
    while (CInstance* instance = list.first) {
        Layer_RemoveInstance(this, instance);
        RemoveFromIdTable(instance);
        list.Remove(instance);
        delete instance;
    }
}

void CGameRoom::DeleteActiveInstances()
{
    DeleteInstances(activeInstances);
}

void CGameRoom::DeleteDeactivatedInstances()
{
    DeleteInstances(deactivatedInstances);
}

void CGameRoom::RemoveMarkedInstances()
{
    const bool many = MarkedInstanceCount > kRebuildIndexAbove;
    const bool index = Collision_IndexOn();
    if (index && many) Collision_DeleteIndex();
    for (CInstance* instance = activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (instance->m_marked) DeleteInstance(instance);
        instance = next;
    }
    if (index && many) Collision_RebuildIndex(this);
    MarkedInstanceCount = 0;
}

void CGameRoom::UpdateActiveLists()
{
    for (CInstance* instance = deactivatedInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (!instance->m_deactivated) {
            deactivatedInstances.Remove(instance);
            activeInstances.Insert(instance);
            if (instance->m_object) instance->m_object->AddInstance(instance);
        }
        instance = next;
    }
    for (CInstance* instance = activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (instance->m_deactivated) {
            activeInstances.Remove(instance);
            deactivatedInstances.Append(instance);
            if (instance->m_object) instance->m_object->RemoveInstance(instance);
        }
        instance = next;
    }
}

int32_t CGameRoom::AddInstanceDef(float x, float y, int32_t objectIndex)
{
    const int32_t n = instanceDefs.records.length;
    if (!instanceDefs.records.Resize(n + 1)) return -1;
    instanceDefs.present = true;
    // Creation code position -1 names no code entry: the instance runs no creation code.
    instanceDefs.records.items[n] = RoomInstanceDef{TruncateTowardZero(x), TruncateTowardZero(y), objectIndex,
                                                    ++Room_LastInstanceId, -1, 1.0f, 1.0f, 0xFFFFFFFFu, 0.0f};
    return instanceDefs.records.items[n].id;
}

int32_t CGameRoom::AddTileDef(int32_t background, int32_t left, int32_t top, int32_t tileWidth, int32_t tileHeight,
                              float x, float y, int32_t depth, float xscale, float yscale, uint32_t tileColour)
{
    const int32_t n = tileDefs.records.length;
    if (!tileDefs.records.Resize(n + 1)) return -1;
    tileDefs.present = true;
    tileDefs.records.items[n] = RoomTileDef{TruncateTowardZero(x), TruncateTowardZero(y), background, left, top,
                                            tileWidth, tileHeight, depth, ++Room_LastTileId, xscale, yscale,
                                            tileColour};
    return tileDefs.records.items[n].id;
}

void CGameRoom::ClearTileDefs()
{
    tileDefs.Free();
    tileDefs.present = true;
}

void CGameRoom::FreeTiles()
{
    QS_FREE(tiles);
    tiles = nullptr;
    tileCount = tileCapacity = 0;
    lastFoundTile = -1;
}

int32_t CGameRoom::AppendTile(const STile& tile)
{
    if (tileCount == tileCapacity) {
        const int32_t capacity = tileCapacity + kTileGrowStep;
        void* storage = QS_REALLOC(tiles, sizeof(STile) * static_cast<size_t>(capacity));
        if (!storage) return -1;
        tiles = static_cast<STile*>(storage);
        tileCapacity = capacity;
    }
    tiles[tileCount] = tile;
    return tileCount++;
}

int32_t CGameRoom::AddTile(const STile& tile)
{
    const int32_t index = AppendTile(tile);
    if (index < 0) return -1;
    tiles[index].id = ++Room_LastTileId;
    lastFoundTile = index;
    return index;
}

void CGameRoom::RemoveTileAt(int32_t index)
{
    std::memmove(static_cast<void*>(tiles + index), tiles + index + 1,
                 sizeof(STile) * static_cast<size_t>(tileCount - index - 1));
    --tileCount;
    if (tileCount == 0) FreeTiles();
}

void CGameRoom::DeleteTile(int32_t index)
{
    if (index < 0 || index >= tileCount) return;
    RemoveTileAt(index);
}

int32_t CGameRoom::FindTile(int32_t id)
{
    if (lastFoundTile >= 0 && lastFoundTile < tileCount && tiles[lastFoundTile].id == id) return lastFoundTile;
    for (int32_t i = 0; i < tileCount; ++i) {
        if (tiles[i].id == id) {
            lastFoundTile = i;
            return i;
        }
    }
    return -1;
}

int32_t CGameRoom::FindTileAt(float depth, float x, float y) const
{
    int32_t best = -1;
    double bestDistance = 0;
    for (int32_t i = 0; i < tileCount; ++i) {
        const STile& tile = tiles[i];
        if (tile.depth != depth || !TileContains(tile, x, y)) continue;
        const double cx = tile.x + tile.width * tile.xscale / 2.0 - x;
        const double cy = tile.y + tile.height * tile.yscale / 2.0 - y;
        const double distance = cx * cx + cy * cy;
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void CGameRoom::DeleteTilesAt(float depth, float x, float y)
{
    for (int32_t i = tileCount - 1; i >= 0; --i) {
        if (tiles[i].depth == depth && TileContains(tiles[i], x, y)) RemoveTileAt(i);
    }
}

void CGameRoom::DeleteTileLayer(float depth)
{
    for (int32_t i = tileCount - 1; i >= 0; --i) {
        if (tiles[i].depth == depth) RemoveTileAt(i);
    }
}

void CGameRoom::HideTileLayer(float depth)
{
    for (int32_t i = 0; i < tileCount; ++i) {
        if (tiles[i].depth == depth) tiles[i].visible = false;
    }
}

void CGameRoom::ShowTileLayer(float depth)
{
    for (int32_t i = 0; i < tileCount; ++i) {
        if (tiles[i].depth == depth) tiles[i].visible = true;
    }
}

void CGameRoom::ShiftTileLayer(float depth, float dx, float dy)
{
    for (int32_t i = 0; i < tileCount; ++i) {
        if (tiles[i].depth != depth) continue;
        tiles[i].x += dx;
        tiles[i].y += dy;
    }
}

void CGameRoom::SetTileLayerDepth(float depth, float newDepth)
{
    for (int32_t i = 0; i < tileCount; ++i) {
        if (tiles[i].depth == depth) tiles[i].depth = newDepth;
    }
}

void CGameRoom::SortTiles()
{
    bool sorted = true;
    for (int32_t i = 0; i + 1 < tileCount && sorted; ++i) sorted = tiles[i].depth >= tiles[i + 1].depth;
    if (sorted) return;
    // Stable insertion sort, deepest first.
    for (int32_t i = 1; i < tileCount; ++i) {
        const STile tile = tiles[i];
        int32_t j = i;
        while (j > 0 && tiles[j - 1].depth < tile.depth) {
            tiles[j] = tiles[j - 1];
            --j;
        }
        tiles[j] = tile;
    }
}

void CGameRoom::ScrollBackgrounds()
{
    for (RoomBackground& background : backgrounds) {
        background.x += background.hspeed;
        background.y += background.vspeed;
    }
}

void CGameRoom::UpdateLayerAnimation()
{
    if (!LayerMode) return;
    Layer_AnimateRoom(this, GameFrameTimer.GetFPS());
}

double Room_AdvanceImageIndex(double index, double speed, int32_t speedType, double fps, int32_t frames)
{
    if (speedType == 1)
        index += speed;
    else if (fps != 0)
        index += speed / fps;
    if (index >= frames)
        index -= frames;
    else if (index < 0)
        index += frames;
    return index;
}
