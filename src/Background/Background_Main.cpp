#include "Background/Background_Main.h"

#include <new>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "DataStructure/DS_Native.h"
#include "GameData/AssetTable.h"
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

AssetTable<BackgroundResource> s_backgrounds("__newbackground");

constexpr int32_t kImageLoadedEvent = 60;

// A new index at the end with a new empty background and its name; -1 without memory.
int32_t AppendSlot()
{
    return s_backgrounds.Append(new (std::nothrow) BackgroundResource());
}

// The index's background, made when the index is empty; null without memory.
BackgroundResource* SlotObject(int32_t index)
{
    if (!s_backgrounds.Get(index)) s_backgrounds.Put(index, new (std::nothrow) BackgroundResource());
    return s_backgrounds.Get(index);
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

}  // namespace

BackgroundResource* Background_Get(int32_t index)
{
    return s_backgrounds.Get(index);
}

bool Background_Exists(int32_t index)
{
    return Background_Get(index) != nullptr;
}

const char* Background_Name(int32_t index)
{
    return s_backgrounds.NameOr(index, "<undefined>");
}

int32_t Background_Count()
{
    return s_backgrounds.Count();
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
    return s_backgrounds.FindFirst(name);
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
    return s_backgrounds.LoadChunk("BGND", "backgrounds", payload, length,
                                   [&](uint32_t i, uint32_t offset, BackgroundResource** record, const char** name) {
                                       *record = new (std::nothrow) BackgroundResource();
                                       return *record && (*record)->LoadFromChunk(payload, length, offset, i) &&
                                              GameData_String("BGND", GameData_U32(GameData + offset), name);
                                   });
}

void Background_InitTextures()
{
    for (int32_t i = 0; i < s_backgrounds.Count(); ++i)
        if (BackgroundResource* background = s_backgrounds.Get(i)) {
            background->RecreateTexture();
            background->MakeOwnEntry();
        }
}

void Background_DeleteAll()
{
    s_backgrounds.FreeAll();
}

void Background_Shutdown()
{
    s_backgrounds.FreeAll();
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
            s_backgrounds.DropLast();
            return -1;
        }
        return index;
    }
    char full[1024];
    if (!LoadSave_ResolvePath(path, full, sizeof full)) return -1;
    const int32_t index = AppendSlot();
    if (index < 0) return -1;
    s_backgrounds.Get(index)->CreateFromFile(full, removeBack, smooth, preload, !removeBack);
    return index;
}

bool Background_Replace(int32_t index, const char* path, bool removeBack, bool smooth, bool preload)
{
    if (!s_backgrounds.InRange(index) || !path) return false;
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
    if (!Background_Exists(source) || !s_backgrounds.InRange(target)) return false;
    BackgroundResource* background = SlotObject(target);
    if (!background) return false;
    background->Assign(s_backgrounds.Get(source));
    return true;
}

bool Background_Delete(int32_t index)
{
    if (!Background_Exists(index)) return false;
    s_backgrounds.Delete(index);
    return true;
}

int32_t Background_Duplicate(int32_t index)
{
    if (!Background_Exists(index)) return -1;
    const int32_t copyIndex = AppendSlot();
    if (copyIndex < 0) return -1;
    BackgroundResource* copy = s_backgrounds.Get(copyIndex);
    copy->Assign(s_backgrounds.Get(index));
    copy->MakeBitmapFromPage();
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
