#include "Sprite/Sprite_Main.h"

#include <cstring>
#include <new>
#include <strings.h>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "DataStructure/DS_Native.h"
#include "GameData/AssetTable.h"
#include "GameData/GameData.h"
#include "Graphics/TexturePages.h"
#include "IO/LoadSave.h"
#include "Network/Http_Client.h"
#include "Sprite/Sprite_NameMap.h"

namespace {
AssetTable<CSprite> s_sprites("__newsprite");
SpriteNameMap s_nameMap;

// The sprite learns its index and its name, which the table holds.
void SetSlot(int32_t index, CSprite* sprite)
{
    s_sprites.Put(index, sprite);
    if (sprite) {
        sprite->index = index;
        sprite->name = s_sprites.Name(index);
    }
}

// A new slot at the end with a new empty sprite, named and in the name map; -1 without memory.
int32_t AppendSlot()
{
    const int32_t index = s_sprites.Append(new (std::nothrow) CSprite());
    if (index < 0) return -1;
    s_nameMap.Insert(s_sprites.Name(index), index);
    SetSlot(index, s_sprites.Get(index));
    return index;
}

// Takes back the last slot after a failed add: sprite, name and map entry go.
void DropLastSlot()
{
    s_nameMap.Remove(s_sprites.Name(s_sprites.Count() - 1));
    s_sprites.DropLast();
}

bool HasExtension(const char* path, const char* extension)
{
    const char* dot = std::strrchr(path, '.');
    return dot && !std::strchr(dot, '/') && strcasecmp(dot, extension) == 0;
}

// What a download needs to fill its sprite once the reply arrives.
struct SpriteAsyncLoad {
    int32_t index;
    int32_t frames;
    int32_t xorig;
    int32_t yorig;
    uint32_t flags;
};
constexpr uint32_t kLoadPrecise = 1, kLoadTransparent = 2, kLoadSmooth = 4, kLoadPreload = 8;

// Starts the download of an image into a slot; false when no request was made.
bool StartDownload(int32_t index, const char* url, int32_t frames, bool precise, bool transparent, bool smooth,
                   bool preload, int32_t xorig, int32_t yorig)
{
    auto* load = static_cast<SpriteAsyncLoad*>(QS_ALLOC(sizeof(SpriteAsyncLoad), false));
    if (!load) return false;
    *load = SpriteAsyncLoad{index, frames, xorig, yorig,
                            (precise ? kLoadPrecise : 0) | (transparent ? kLoadTransparent : 0) |
                                (smooth ? kLoadSmooth : 0) | (preload ? kLoadPreload : 0)};
    if (Http_GetImage(url, Sprite_HttpCallback, Sprite_HttpCleanup, load)) return true;
    QS_FREE(load);
    return false;
}

// Decodes a reply as an image file; false when the decoders refuse it.
bool DecodeReply(CSprite* sprite, const SpriteAsyncLoad& load, const uint8_t* bytes, int32_t size)
{
    const bool transparent = (load.flags & kLoadTransparent) != 0;
    return sprite->LoadFromMemory(bytes, size, load.frames, (load.flags & kLoadPrecise) != 0, transparent,
                                  (load.flags & kLoadSmooth) != 0, load.xorig, load.yorig, !transparent);
}
}  // namespace


bool Sprite_Exists(int32_t index)
{
    return s_sprites.Get(index) != nullptr;
}

CSprite* Sprite_Get(int32_t index)
{
    return s_sprites.Get(index);
}

const char* Sprite_GetName(int32_t index)
{
    return s_sprites.NameOr(index, "<undefined>");
}

int32_t Sprite_Count()
{
    return s_sprites.Count();
}

int Sprite_Find(const char* name)
{
    return name ? s_nameMap.Find(name) : -1;
}

void Sprite_Init()
{
    s_sprites.FreeAll();
    s_nameMap.Init();
}

bool Sprite_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    const bool ok = s_sprites.LoadChunk("SPRT", "sprites", payload, length,
                                        [&](uint32_t i, uint32_t offset, CSprite** record, const char** name) {
                                            *record = new (std::nothrow) CSprite();
                                            return *record && (*record)->LoadFromChunk(payload, length, offset, i) &&
                                                   GameData_String("SPRT", GameData_U32(GameData + offset), name);
                                        });
    if (!ok) return false;
    s_nameMap.Init();
    for (int32_t i = 0; i < s_sprites.Count(); ++i) {
        if (!s_sprites.Get(i)) continue;
        s_nameMap.Insert(s_sprites.Name(i), i);
        SetSlot(i, s_sprites.Get(i));
    }
    return true;
}

void Sprite_InitTextures()
{
    for (int32_t i = 0; i < s_sprites.Count(); ++i)
        if (CSprite* sprite = s_sprites.Get(i)) {
            sprite->CreateTextures();
            sprite->BuildPageEntries();
        }
}

void Sprite_FreeAll()
{
    for (int32_t i = 0; i < s_sprites.Count(); ++i)
        if (CSprite* sprite = s_sprites.Get(i)) sprite->FreeTextures();
    // The name map held the freed names: it is emptied with them.
    Sprite_Init();
}

void Sprite_ShutdownHook() {}

int32_t Sprite_Add(const char* path, int32_t frames, bool precise, bool transparent, bool smooth, bool preload,
                   int32_t xorig, int32_t yorig)
{
    if (!path) return -1;
    if (LoadSave_IsUrl(path)) {
        const int32_t index = AppendSlot();
        if (index < 0) return -1;
        // A download that cannot start would never raise its event: the add fails like a missing file.
        if (!StartDownload(index, path, frames, precise, transparent, smooth, preload, xorig, yorig)) {
            DropLastSlot();
            return -1;
        }
        return index;
    }
    char full[1024];
    if (!LoadSave_ResolvePath(path, full, sizeof full)) return -1;
    const int32_t index = AppendSlot();
    if (index < 0) return -1;
    CSprite* sprite = s_sprites.Get(index);
    const bool loaded = HasExtension(full, ".kvs")
                            ? sprite->LoadVectorFile(full, xorig, yorig)
                            : sprite->LoadFromFile(full, frames, precise, transparent, smooth, preload, xorig, yorig,
                                                   !transparent);
    if (!loaded) {
        DropLastSlot();
        return -1;
    }
    SetSlot(index, sprite);
    return index;
}

int32_t Sprite_AddEmpty()
{
    return AppendSlot();
}

bool Sprite_Replace(int32_t index, const char* path, int32_t frames, bool precise, bool transparent, bool smooth,
                    bool preload, int32_t xorig, int32_t yorig)
{
    if (!s_sprites.InRange(index) || !path) return false;
    if (LoadSave_IsUrl(path)) {
        if (!s_sprites.Get(index)) SetSlot(index, new (std::nothrow) CSprite());
        if (s_sprites.Get(index))
            StartDownload(index, path, frames, precise, transparent, smooth, preload, xorig, yorig);
        return false;
    }
    char full[1024];
    if (!LoadSave_ResolvePath(path, full, sizeof full)) return false;
    if (!s_sprites.Get(index)) s_sprites.Put(index, new (std::nothrow) CSprite());
    CSprite* sprite = s_sprites.Get(index);
    if (!sprite) return false;
    const bool loaded =
        sprite->LoadFromFile(full, frames, precise, transparent, smooth, preload, xorig, yorig, !transparent);
    SetSlot(index, sprite);
    if (const char* name = s_sprites.Name(index)) s_nameMap.Insert(name, index);
    return loaded;
}

bool Sprite_Assign(int32_t destination, int32_t source)
{
    if (!Sprite_Exists(source) || !s_sprites.InRange(destination)) return false;
    if (!s_sprites.Get(destination)) s_sprites.Put(destination, new (std::nothrow) CSprite());
    CSprite* sprite = s_sprites.Get(destination);
    if (!sprite) return false;
    sprite->CopyFrom(s_sprites.Get(source));
    SetSlot(destination, sprite);
    return true;
}

bool Sprite_Delete(int32_t index)
{
    if (!Sprite_Exists(index)) return false;
    s_nameMap.Remove(s_sprites.Name(index));
    s_sprites.Delete(index);
    return true;
}

int32_t Sprite_Duplicate(int32_t index)
{
    if (!Sprite_Exists(index)) return -1;
    const int32_t copyIndex = AppendSlot();
    if (copyIndex < 0) return -1;
    CSprite* copy = s_sprites.Get(copyIndex);
    CSprite* source = s_sprites.Get(index);
    copy->CopyFrom(source);
    if (copy->GetBitmapCount() == 0 && copy->frameCount > 0 && copy->ReadBackFrames()) {
        // The frames become the copy's own; page entries follow them, scaled as the originals were.
        const int32_t frames = copy->frameCount;
        auto* saved = static_cast<STexturePageEntry*>(QS_ALLOC(sizeof(STexturePageEntry) * size_t(frames), true));
        auto* present = static_cast<bool*>(QS_ALLOC(size_t(frames), true));
        if (saved && present)
            for (int32_t i = 0; i < frames; ++i)
                if (const STexturePageEntry* e = copy->GetPageEntry(i)) {
                    saved[i] = *e;
                    present[i] = true;
                }
        copy->ReleaseDataFileEntries();
        copy->CreateTextures();
        copy->BuildPageEntries();
        for (int32_t i = 0; saved && present && i < frames; ++i) {
            auto* e = const_cast<STexturePageEntry*>(copy->GetPageEntry(i));
            if (!present[i] || !e || saved[i].width == 0) continue;
            const int32_t factor = static_cast<int32_t>(float(saved[i].cropWidth) / float(saved[i].width));
            e->cropWidth = e->fullWidth = static_cast<uint16_t>(e->cropWidth * factor);
            e->cropHeight = e->fullHeight = static_cast<uint16_t>(e->cropHeight * factor);
        }
        QS_FREE(saved);
        QS_FREE(present);
    }
    SetSlot(copyIndex, copy);
    return copyIndex;
}

int32_t Sprite_HttpCallback(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap)
{
    const auto* load = static_cast<const SpriteAsyncLoad*>(userData);
    const char* url = record->url ? record->url : "";
    const int32_t httpStatus = record->httpStatus;
    int32_t received = record->received;
    // The reply is read only within the block that holds it.
    if (!record->data || received < 0 || received > record->size) received = 0;
    const char* const number = nullptr;  // a triple without text holds its real
    *outMap = DsMap_CreateFromTriples(4, "filename", 0.0, url, "id", double(load ? load->index : -1), number,
                                      "http_status", double(httpStatus), number, "status", received > 0 ? 0.0 : -1.0,
                                      number);
    CSprite* sprite = load ? Sprite_Get(load->index) : nullptr;
    if (sprite && httpStatus == 200 && received > 0 && !DecodeReply(sprite, *load, record->data, received))
        LogConsole->Output("Failed to decode data in Sprite_Add %s\n", url);
    return kSpriteImageLoadedEvent;
}

void Sprite_HttpCleanup(HTTP_REQ_CONTEXT* record)
{
    QS_FREE(record->userData);
    record->userData = nullptr;
}
