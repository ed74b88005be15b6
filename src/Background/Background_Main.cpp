#include "Background/Background_Main.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Native.h"
#include "GameData/GameData.h"
#include "IO/LoadSave.h"
#include "Network/Http_Client.h"


namespace {
void (*s_drawObserver)(char kind, int32_t index, float x, float y) = nullptr;

// The background a room draw uses, after telling a test's observer of it.
BackgroundResource* DrawTarget(char kind, int32_t index, float x, float y)
{
    BackgroundResource* b = Background_Get(index);
    if (b && s_drawObserver) s_drawObserver(kind, index, x, y);
    return b;
}

int32_t s_count = 0;
int32_t s_capacity = 0;
BackgroundResource** s_backgrounds = nullptr;
char** s_names = nullptr;

constexpr int32_t kImageLoadedEvent = 60;

bool Reserve(int32_t count)
{
    if (count <= s_capacity) return true;
    const int32_t capacity = count < 16 ? 16 : count + count / 2;
    void* objects = s_backgrounds;
    void* names = s_names;
    if (!MemoryManager::ReallocPtr(&objects, sizeof(BackgroundResource*) * size_t(capacity), __FILE__, __LINE__))
        return false;
    s_backgrounds = static_cast<BackgroundResource**>(objects);
    if (!MemoryManager::ReallocPtr(&names, sizeof(char*) * size_t(capacity), __FILE__, __LINE__)) return false;
    s_names = static_cast<char**>(names);
    for (int32_t i = s_capacity; i < capacity; ++i) {
        s_backgrounds[i] = nullptr;
        s_names[i] = nullptr;
    }
    s_capacity = capacity;
    return true;
}

// A new index at the end with a new empty background and its name; -1 without memory.
int32_t AppendSlot()
{
    const int32_t index = s_count;
    auto* background = new (std::nothrow) BackgroundResource();
    if (!background || !Reserve(index + 1)) {
        delete background;
        return -1;
    }
    char name[40];
    std::snprintf(name, sizeof name, "__newbackground%d", index);
    s_names[index] = DupString(name);
    s_backgrounds[index] = background;
    s_count = index + 1;
    return index;
}

// Takes back the last index after an add that could not go on.
void DropLastSlot()
{
    const int32_t index = s_count - 1;
    delete s_backgrounds[index];
    QS_FREE(s_names[index]);
    s_backgrounds[index] = nullptr;
    s_names[index] = nullptr;
    s_count = index;
}

// The index's background, made when the index is empty; null without memory.
BackgroundResource* SlotObject(int32_t index)
{
    if (!s_backgrounds[index]) s_backgrounds[index] = new (std::nothrow) BackgroundResource();
    return s_backgrounds[index];
}

// What a download needs to fill its background once the reply arrives.
struct BackgroundAsyncLoad {
    int32_t index;
    uint32_t flags;
};
constexpr uint32_t kLoadRemoveBack = 1, kLoadSmooth = 2, kLoadPreload = 4;

bool StartDownload(int32_t index, const char* url, bool removeBack, bool smooth, bool preload)
{
    auto* load = static_cast<BackgroundAsyncLoad*>(QS_ALLOC(sizeof(BackgroundAsyncLoad), false));
    if (!load) return false;
    *load = BackgroundAsyncLoad{index, (removeBack ? kLoadRemoveBack : 0) | (smooth ? kLoadSmooth : 0) |
                                           (preload ? kLoadPreload : 0)};
    if (Http_GetImage(url, Background_OnImageLoaded, Background_HttpCleanup, load)) return true;
    QS_FREE(load);
    return false;
}

void DestroyAll()
{
    for (int32_t i = 0; i < s_count; ++i) {
        delete s_backgrounds[i];
        QS_FREE(s_names[i]);
    }
    QS_FREE(s_backgrounds);
    QS_FREE(s_names);
    s_backgrounds = nullptr;
    s_names = nullptr;
    s_count = s_capacity = 0;
}
}  // namespace

BackgroundResource* Background_Get(int32_t index)
{
    return index >= 0 && index < s_count ? s_backgrounds[index] : nullptr;
}

bool Background_Exists(int32_t index)
{
    return Background_Get(index) != nullptr;
}

const char* Background_Name(int32_t index)
{
    return Background_Exists(index) && s_names[index] ? s_names[index] : "<undefined>";
}

int32_t Background_Count()
{
    return s_count;
}

void Background_ObserveDrawsForTest(void (*observer)(char kind, int32_t index, float x, float y))
{
    s_drawObserver = observer;
}

void Background_DrawPart(int32_t index, float left, float top, float width, float height, float x, float y,
                         float xscale, float yscale, uint32_t colour, float alpha)
{
    if (BackgroundResource* b = DrawTarget('p', index, x, y))
        b->DrawPart(left, top, width, height, x, y, xscale, yscale, colour, alpha);
}

void Background_DrawGeneral(int32_t index, float left, float top, float width, float height, float x, float y,
                            float xscale, float yscale, float angle, uint32_t colourTL, uint32_t colourTR,
                            uint32_t colourBR, uint32_t colourBL, float alpha)
{
    if (BackgroundResource* b = DrawTarget('g', index, x, y))
        b->DrawGeneral(left, top, width, height, x, y, xscale, yscale, angle, colourTL, colourTR, colourBR, colourBL,
                       alpha);
}

void Background_DrawTiled(int32_t index, float x, float y, float xscale, float yscale, bool tileX, bool tileY,
                          float left, float top, float width, float height, uint32_t colour, float alpha)
{
    if (BackgroundResource* b = DrawTarget('t', index, x, y))
        b->DrawTiled(x, y, xscale, yscale, tileX, tileY, left, top, width, height, colour, alpha);
}

int Background_Find(const char* name)
{
    if (!name) return -1;
    for (int32_t i = 0; i < s_count; ++i)
        if (s_backgrounds[i] && s_names[i] && std::strcmp(s_names[i], name) == 0) return i;
    return -1;
}

bool Background_GetSize(int32_t index, int32_t* width, int32_t* height)
{
    const BackgroundResource* b = Background_Get(index);
    if (!b) return false;
    *width = b->width;
    *height = b->height;
    return true;
}

bool Background_GetTileAnimation(int32_t index, uint64_t* frameTime, int32_t* frameCount)
{
    const BackgroundResource* b = Background_Get(index);
    if (!b) return false;
    *frameTime = b->frameTime > 0 ? static_cast<uint64_t>(b->frameTime) : 0;
    *frameCount = b->framesPerTile;
    return true;
}

bool Background_GetTileset(int32_t index, int32_t* tileWidth, int32_t* tileHeight, int32_t* tileCount)
{
    const BackgroundResource* b = Background_Get(index);
    if (!b) return false;
    if (b->tileWidth > 0 && b->tileHeight > 0) {
        *tileWidth = b->tileWidth;
        *tileHeight = b->tileHeight;
        *tileCount = b->tileCount;
        return true;
    }
    // Cells are cut by these sizes: an empty image has no tile to cut.
    if (b->width <= 0 || b->height <= 0) return false;
    *tileWidth = b->width;
    *tileHeight = b->height;
    *tileCount = 1;
    return true;
}

bool Background_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t count = 0;
    if (!GameData_CheckList("BGND", payload, length, &count)) return false;
    // Every record is read into its own background first; a bad one refuses the chunk and changes nothing.
    auto** loaded = static_cast<BackgroundResource**>(QS_ALLOC(sizeof(void*) * (count ? count : 1), true));
    auto** names = static_cast<const char**>(QS_ALLOC(sizeof(char*) * (count ? count : 1), true));
    bool ok = loaded && names;
    if (!ok) GameData_Fail("BGND", "no memory for %u backgrounds", count);
    for (uint32_t i = 0; ok && i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (offset == 0) continue;
        loaded[i] = new (std::nothrow) BackgroundResource();
        ok = loaded[i] && loaded[i]->LoadFromChunk(payload, length, offset, i) &&
             GameData_String("BGND", GameData_U32(GameData + offset), &names[i]);
    }
    if (ok) {
        DestroyAll();
        ok = Reserve(static_cast<int32_t>(count));
        if (!ok) GameData_Fail("BGND", "no memory for %u backgrounds", count);
    }
    if (ok) {
        s_count = static_cast<int32_t>(count);
        for (uint32_t i = 0; i < count; ++i) {
            if (!loaded[i]) continue;
            s_names[i] = DupString(names[i]);
            s_backgrounds[i] = loaded[i];
            loaded[i] = nullptr;
        }
    }
    for (uint32_t i = 0; loaded && i < count; ++i) delete loaded[i];
    QS_FREE(loaded);
    QS_FREE(names);
    return ok;
}

void Background_InitTextures()
{
    for (int32_t i = 0; i < s_count; ++i)
        if (s_backgrounds[i]) {
            s_backgrounds[i]->RecreateTexture();
            s_backgrounds[i]->MakeOwnEntry();
        }
}

void Background_DeleteAll()
{
    DestroyAll();
}

void Background_Shutdown()
{
    DestroyAll();
}

int32_t Background_AddEmpty()
{
    return AppendSlot();
}

int32_t Background_Add(const char* path, bool removeBack, bool smooth, bool preload)
{
    if (!path) return -1;
    if (LoadSave_IsUrl(path)) {
        const int32_t index = AppendSlot();
        if (index < 0) return -1;
        // A download that cannot start would never raise its event: the add fails like a missing file.
        if (!StartDownload(index, path, removeBack, smooth, preload)) {
            DropLastSlot();
            return -1;
        }
        return index;
    }
    char full[1024];
    if (!LoadSave_ResolvePath(path, full, sizeof full)) return -1;
    const int32_t index = AppendSlot();
    if (index < 0) return -1;
    s_backgrounds[index]->CreateFromFile(full, removeBack, smooth, preload, !removeBack);
    return index;
}

bool Background_Replace(int32_t index, const char* path, bool removeBack, bool smooth, bool preload)
{
    if (index < 0 || index >= s_count || !path) return false;
    if (LoadSave_IsUrl(path)) {
        if (SlotObject(index)) StartDownload(index, path, removeBack, smooth, preload);
        return false;
    }
    char full[1024];
    if (!LoadSave_ResolvePath(path, full, sizeof full)) return false;
    BackgroundResource* background = SlotObject(index);
    return background && background->CreateFromFile(full, removeBack, smooth, preload, !removeBack);
}

bool Background_Assign(int32_t target, int32_t source)
{
    if (!Background_Exists(source) || target < 0 || target >= s_count) return false;
    BackgroundResource* background = SlotObject(target);
    if (!background) return false;
    background->Assign(s_backgrounds[source]);
    return true;
}

bool Background_Delete(int32_t index)
{
    if (!Background_Exists(index)) return false;
    delete s_backgrounds[index];
    s_backgrounds[index] = nullptr;
    QS_FREE(s_names[index]);
    s_names[index] = nullptr;
    return true;
}

int32_t Background_Duplicate(int32_t index)
{
    if (!Background_Exists(index)) return -1;
    const int32_t copyIndex = AppendSlot();
    if (copyIndex < 0) return -1;
    s_backgrounds[copyIndex]->Assign(s_backgrounds[index]);
    s_backgrounds[copyIndex]->MakeBitmapFromPage();
    return copyIndex;
}

int32_t Background_OnImageLoaded(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap)
{
    const auto* load = static_cast<const BackgroundAsyncLoad*>(userData);
    const char* url = record->url ? record->url : "";
    const int32_t httpStatus = record->httpStatus;
    int32_t received = record->received;
    // The reply is read only within the block that holds it.
    if (!record->data || received < 0 || received > record->size) received = 0;
    const char* const number = nullptr;  // a triple without text holds its real
    *outMap = DsMap_CreateFromTriples(4, "filename", 0.0, url, "id", double(load ? load->index : -1), number,
                                      "http_status", double(httpStatus), number, "status", received > 0 ? 0.0 : -1.0,
                                      number);
    BackgroundResource* background = load ? Background_Get(load->index) : nullptr;
    if (background && httpStatus == 200 && received > 0) {
        const bool removeBack = (load->flags & kLoadRemoveBack) != 0;
        if (!background->DecodeImage(record->data, received, removeBack, (load->flags & kLoadSmooth) != 0,
                                     (load->flags & kLoadPreload) != 0, !removeBack))
            LogConsole->Output("Failed to decode data in Background_Add %s\n", url);
    }
    return kImageLoadedEvent;
}

void Background_HttpCleanup(HTTP_REQ_CONTEXT* record)
{
    QS_FREE(record->userData);
    record->userData = nullptr;
}
