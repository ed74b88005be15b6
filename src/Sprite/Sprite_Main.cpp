#include "Sprite/Sprite_Main.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <strings.h>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Native.h"
#include "GameData/GameData.h"
#include "Graphics/TexturePages.h"
#include "IO/LoadSave.h"
#include "Network/Http_Client.h"
#include "Sprite/Sprite_NameMap.h"

namespace {
int32_t s_count = 0;
int32_t s_capacity = 0;
CSprite** s_sprites = nullptr;
char** s_names = nullptr;
SpriteNameMap s_nameMap;

bool Reserve(int32_t count)
{
    if (count <= s_capacity) return true;
    const int32_t capacity = count < 16 ? 16 : count + count / 2;
    void* sprites = s_sprites;
    void* names = s_names;
    if (!MemoryManager::ReallocPtr(&sprites, sizeof(CSprite*) * size_t(capacity), __FILE__, __LINE__)) return false;
    s_sprites = static_cast<CSprite**>(sprites);
    if (!MemoryManager::ReallocPtr(&names, sizeof(char*) * size_t(capacity), __FILE__, __LINE__)) return false;
    s_names = static_cast<char**>(names);
    for (int32_t i = s_capacity; i < capacity; ++i) {
        s_sprites[i] = nullptr;
        s_names[i] = nullptr;
    }
    s_capacity = capacity;
    return true;
}

void SetSlot(int32_t index, CSprite* sprite)
{
    s_sprites[index] = sprite;
    if (sprite) {
        sprite->index = index;
        sprite->name = s_names[index];
    }
}

// A new slot at the end with a new empty sprite, named and in the name map; -1 without memory.
int32_t AppendSlot()
{
    const int32_t index = s_count;
    auto* sprite = new (std::nothrow) CSprite();
    if (!sprite || !Reserve(index + 1)) {
        delete sprite;
        return -1;
    }
    char name[32];
    std::snprintf(name, sizeof name, "__newsprite%d", index);
    s_names[index] = DupString(name);
    s_nameMap.Insert(s_names[index], index);
    s_count = index + 1;
    SetSlot(index, sprite);
    return index;
}

// Takes back the last slot after a failed add: sprite, name and map entry go.
void DropLastSlot()
{
    const int32_t index = s_count - 1;
    s_nameMap.Remove(s_names[index]);
    delete s_sprites[index];
    QS_FREE(s_names[index]);
    s_sprites[index] = nullptr;
    s_names[index] = nullptr;
    s_count = index;
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
    return index >= 0 && index < s_count && s_sprites[index];
}

CSprite* Sprite_Get(int32_t index)
{
    return index >= 0 && index < s_count ? s_sprites[index] : nullptr;
}

const char* Sprite_GetName(int32_t index)
{
    return Sprite_Exists(index) && s_names[index] ? s_names[index] : "<undefined>";
}

int32_t Sprite_Count()
{
    return s_count;
}

int Sprite_Find(const char* name)
{
    return name ? s_nameMap.Find(name) : -1;
}

void Sprite_Init()
{
    for (int32_t i = 0; i < s_count; ++i) {
        delete s_sprites[i];
        QS_FREE(s_names[i]);
    }
    QS_FREE(s_sprites);
    QS_FREE(s_names);
    s_sprites = nullptr;
    s_names = nullptr;
    s_count = s_capacity = 0;
    s_nameMap.Init();
}

bool Sprite_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t count = 0;
    if (!GameData_CheckList("SPRT", payload, length, &count)) return false;
    // Every record is read into its own sprite first; a bad one refuses the chunk and changes nothing.
    auto** loaded = static_cast<CSprite**>(QS_ALLOC(sizeof(CSprite*) * (count ? count : 1), true));
    auto** names = static_cast<const char**>(QS_ALLOC(sizeof(char*) * (count ? count : 1), true));
    bool ok = loaded && names;
    if (!ok) GameData_Fail("SPRT", "no memory for %u sprites", count);
    for (uint32_t i = 0; ok && i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (offset == 0) continue;
        loaded[i] = new (std::nothrow) CSprite();
        ok = loaded[i] && loaded[i]->LoadFromChunk(payload, length, offset, i) &&
             GameData_String("SPRT", GameData_U32(GameData + offset), &names[i]);
    }
    if (ok) {
        Sprite_Init();
        ok = Reserve(static_cast<int32_t>(count));
        if (!ok) GameData_Fail("SPRT", "no memory for %u sprites", count);
    }
    if (ok) {
        s_count = static_cast<int32_t>(count);
        for (uint32_t i = 0; i < count; ++i) {
            if (!loaded[i]) continue;
            s_names[i] = DupString(names[i]);
            s_nameMap.Insert(s_names[i], static_cast<int32_t>(i));
            SetSlot(static_cast<int32_t>(i), loaded[i]);
            loaded[i] = nullptr;
        }
    }
    for (uint32_t i = 0; loaded && i < count; ++i) delete loaded[i];
    QS_FREE(loaded);
    QS_FREE(names);
    return ok;
}

void Sprite_InitTextures()
{
    for (int32_t i = 0; i < s_count; ++i)
        if (s_sprites[i]) {
            s_sprites[i]->CreateTextures();
            s_sprites[i]->BuildPageEntries();
        }
}

void Sprite_FreeAll()
{
    for (int32_t i = 0; i < s_count; ++i) {
        QS_FREE(s_names[i]);
        s_names[i] = nullptr;
        if (s_sprites[i]) s_sprites[i]->FreeTextures();
        delete s_sprites[i];
    }
    QS_FREE(s_sprites);
    QS_FREE(s_names);
    s_sprites = nullptr;
    s_names = nullptr;
    s_count = s_capacity = 0;
    // The name map held the freed names: it is emptied with them.
    s_nameMap.Init();
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
    CSprite* sprite = s_sprites[index];
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
    if (index < 0 || index >= s_count || !path) return false;
    if (LoadSave_IsUrl(path)) {
        if (!s_sprites[index]) SetSlot(index, new (std::nothrow) CSprite());
        if (s_sprites[index]) StartDownload(index, path, frames, precise, transparent, smooth, preload, xorig, yorig);
        return false;
    }
    char full[1024];
    if (!LoadSave_ResolvePath(path, full, sizeof full)) return false;
    if (!s_sprites[index]) s_sprites[index] = new (std::nothrow) CSprite();
    if (!s_sprites[index]) return false;
    const bool loaded =
        s_sprites[index]->LoadFromFile(full, frames, precise, transparent, smooth, preload, xorig, yorig, !transparent);
    SetSlot(index, s_sprites[index]);
    if (s_names[index]) s_nameMap.Insert(s_names[index], index);
    return loaded;
}

bool Sprite_Assign(int32_t destination, int32_t source)
{
    if (!Sprite_Exists(source) || destination < 0 || destination >= s_count) return false;
    if (!s_sprites[destination]) s_sprites[destination] = new (std::nothrow) CSprite();
    if (!s_sprites[destination]) return false;
    s_sprites[destination]->CopyFrom(s_sprites[source]);
    SetSlot(destination, s_sprites[destination]);
    return true;
}

bool Sprite_Delete(int32_t index)
{
    if (!Sprite_Exists(index)) return false;
    delete s_sprites[index];
    s_sprites[index] = nullptr;
    s_nameMap.Remove(s_names[index]);
    QS_FREE(s_names[index]);
    s_names[index] = nullptr;
    return true;
}

int32_t Sprite_Duplicate(int32_t index)
{
    if (!Sprite_Exists(index)) return -1;
    const int32_t copyIndex = AppendSlot();
    if (copyIndex < 0) return -1;
    CSprite* copy = s_sprites[copyIndex];
    CSprite* source = s_sprites[index];
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
