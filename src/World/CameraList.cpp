// The camera list, the default camera and the camera section of saved games.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_Value.h"
#include "World/Camera.h"
#include "World/Instance.h"
#include "World/Room_Class.h"

int32_t DefaultCameraId = -1;

namespace {
struct CameraListState {
    int64_t nextId = 0;  // wide: ids stop at the top of the int range, never wrap
    Camera* active = nullptr;
    CInstance* scriptInstance = nullptr;
    Camera** items = nullptr;
    int32_t capacity = 1;
    int32_t count = 0;
    int32_t lastHit = 0;
};
CameraListState s_list;

Camera* NewRecord()
{
    auto* camera = static_cast<Camera*>(QS_ALLOC(sizeof(Camera), true));
    if (camera) camera->Init();
    return camera;
}

// Appends, doubling the array when it is full; false when memory fails.
bool Append(Camera* camera)
{
    if (!s_list.items || s_list.count >= s_list.capacity) {
        const int32_t capacity = s_list.items ? s_list.capacity * 2 : s_list.capacity;
        auto* items = static_cast<Camera**>(QS_REALLOC(s_list.items, sizeof(Camera*) * static_cast<size_t>(capacity)));
        if (!items) return false;
        s_list.items = items;
        s_list.capacity = capacity;
    }
    s_list.items[s_list.count++] = camera;
    return true;
}

void DestroyAll()
{
    for (int32_t i = 0; i < s_list.count; ++i) QS_FREE(s_list.items[i]);
    s_list.count = 0;
    s_list.lastHit = 0;
    s_list.active = nullptr;
}

// --------------------------------------------------------------- saved record

bool WriteS32(IBuffer* buffer, int32_t value)
{
    const ScriptValue v = ScriptValue_Real(value);
    return buffer->Write(eBuffer_S32, &v) == 0;
}

bool WriteF32(IBuffer* buffer, float value)
{
    const ScriptValue v = ScriptValue_Real(value);
    return buffer->Write(eBuffer_F32, &v) == 0;
}

bool ReadS32(IBuffer* buffer, int32_t* out)
{
    ScriptValue v = ScriptValue_Undefined();
    if (buffer->Read(eBuffer_S32, &v) != 0) return false;
    *out = static_cast<int32_t>(v.real);
    return true;
}

bool ReadF32(IBuffer* buffer, float* out)
{
    ScriptValue v = ScriptValue_Undefined();
    if (buffer->Read(eBuffer_F32, &v) != 0) return false;
    *out = static_cast<float>(v.real);
    return true;
}

Matrix* SavedMatrices(Camera* c)
{
    static_assert(offsetof(Camera, invViewProjection) - offsetof(Camera, projection) == 5 * sizeof(Matrix));
    return &c->projection;
}

float* SavedFloats(Camera* c, int32_t k)
{
    float* fields[9] = {&c->viewX, &c->viewY, &c->viewWidth, &c->viewHeight, &c->speedX,
                        &c->speedY, &c->borderX, &c->borderY, &c->angle};
    return fields[k];
}

bool WriteRecord(IBuffer* buffer, Camera* c)
{
    bool ok = WriteS32(buffer, c->id);
    const Matrix* matrices = SavedMatrices(c);
    for (int32_t k = 0; k < 6 * 16; ++k) ok = ok && WriteF32(buffer, (&matrices[0].m[0][0])[k]);
    for (int32_t k = 0; k < 9; ++k) ok = ok && WriteF32(buffer, *SavedFloats(c, k));
    for (int32_t value : {c->target, c->beginScript, c->endScript, c->updateScript, int32_t{c->is2D},
                          int32_t{c->viewChanged}})
        ok = ok && WriteS32(buffer, value);
    return ok;
}

bool ReadRecord(IBuffer* buffer, Camera* c)
{
    bool ok = ReadS32(buffer, &c->id);
    Matrix* matrices = SavedMatrices(c);
    for (int32_t k = 0; k < 6 * 16; ++k) ok = ok && ReadF32(buffer, &(&matrices[0].m[0][0])[k]);
    for (int32_t k = 0; k < 9; ++k) ok = ok && ReadF32(buffer, SavedFloats(c, k));
    int32_t is2D = 0, changed = 0;
    ok = ok && ReadS32(buffer, &c->target) && ReadS32(buffer, &c->beginScript) && ReadS32(buffer, &c->endScript) &&
         ReadS32(buffer, &c->updateScript) && ReadS32(buffer, &is2D) && ReadS32(buffer, &changed);
    c->is2D = is2D != 0;
    c->viewChanged = changed != 0;
    return ok;
}

void FreeRecords(Camera** records, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) QS_FREE(records[i]);
    QS_FREE(records);
}
}  // namespace

namespace CameraList {

Camera* CreateCamera()
{
    if (s_list.nextId > INT32_MAX) return nullptr;
    Camera* camera = NewRecord();
    if (!camera) return nullptr;
    if (!Append(camera)) {
        QS_FREE(camera);
        return nullptr;
    }
    camera->id = static_cast<int32_t>(s_list.nextId++);
    return camera;
}

Camera* CreateFromRoomView(const RoomView* view)
{
    if (!view) return nullptr;
    Camera* camera = CreateCamera();
    if (!camera) return nullptr;
    camera->viewX = view->viewX;
    camera->viewY = view->viewY;
    camera->viewWidth = view->viewWidth;
    camera->viewHeight = view->viewHeight;
    camera->speedX = static_cast<float>(view->hspeed);
    camera->speedY = static_cast<float>(view->vspeed);
    camera->borderX = static_cast<float>(view->borderH);
    camera->borderY = static_cast<float>(view->borderV);
    camera->target = view->followObject;
    camera->angle = 0.0f;
    camera->BuildOrthoMatrices(camera->viewX + camera->viewWidth * 0.5f, camera->viewY + camera->viewHeight * 0.5f);
    return camera;
}

Camera* CloneCamera(int32_t id)
{
    const Camera* source = GetCamera(id);
    if (!source) return nullptr;
    Camera* camera = CreateCamera();
    if (!camera) return nullptr;
    camera->viewX = source->viewX;
    camera->viewY = source->viewY;
    camera->viewWidth = source->viewWidth;
    camera->viewHeight = source->viewHeight;
    camera->speedX = source->speedX;
    camera->speedY = source->speedY;
    camera->borderX = source->borderX;
    camera->borderY = source->borderY;
    camera->angle = source->angle;
    camera->target = source->target;
    camera->beginScript = source->beginScript;
    camera->endScript = source->endScript;
    camera->updateScript = source->updateScript;
    camera->SetViewMat(&source->view.m[0][0]);
    camera->SetProjMat(&source->projection.m[0][0]);
    return camera;
}

void DestroyCamera(int32_t id)
{
    const int32_t index = FindIndex(id);
    if (index < 0) return;
    Camera* camera = s_list.items[index];
    if (s_list.active == camera) s_list.active = nullptr;
    QS_FREE(camera);
    std::memmove(s_list.items + index, s_list.items + index + 1,
                 sizeof(Camera*) * static_cast<size_t>(s_list.count - index - 1));
    --s_list.count;
}

int32_t FindIndex(int32_t id)
{
    if (s_list.lastHit < s_list.count && s_list.items[s_list.lastHit] && s_list.items[s_list.lastHit]->id == id)
        return s_list.lastHit;
    for (int32_t i = 0; i < s_list.count; ++i) {
        const Camera* camera = s_list.items[i];
        if (!camera) continue;
        if (camera->id == id) {
            s_list.lastHit = i;
            return i;
        }
        if (camera->id > id) break;
    }
    return -1;
}

Camera* GetCamera(int32_t id)
{
    const int32_t index = FindIndex(id);
    return index < 0 ? nullptr : s_list.items[index];
}

Camera* GetActiveCamera() { return s_list.active; }

void SetActiveCamera(int32_t id)
{
    if (id == -1) {
        s_list.active = nullptr;
        return;
    }
    if (Camera* camera = GetCamera(id)) s_list.active = camera;
}

void Clear()
{
    DestroyAll();
    s_list.nextId = 0;
    // The dummy is ours alone; forgetting it would leak it.
    FreeScriptInstance();
}

int32_t GetCount() { return s_list.count; }

Camera* At(int32_t index) { return index >= 0 && index < s_list.count ? s_list.items[index] : nullptr; }

void CreateScriptInstance()
{
    if (!s_list.scriptInstance) s_list.scriptInstance = new CInstance(0.0f, 0.0f, 0, -1, false);
}

void FreeScriptInstance()
{
    delete s_list.scriptInstance;
    s_list.scriptInstance = nullptr;
}

CInstance* GetScriptInstance() { return s_list.scriptInstance; }

bool Serialise(IBuffer* buffer)
{
    bool ok = WriteS32(buffer, s_list.count);
    for (int32_t i = 0; i < s_list.count && ok; ++i) {
        Camera* camera = s_list.items[i];
        ok = WriteS32(buffer, camera ? 1 : 0) && (!camera || WriteRecord(buffer, camera));
    }
    return ok;
}

bool Deserialise(IBuffer* buffer)
{
    // The whole section is read before the list is touched, so a section cut
    // short leaves the running cameras as they were.
    int32_t count = 0;
    if (!ReadS32(buffer, &count) || count < 0 || static_cast<size_t>(count) > buffer->Remaining() / 4) return false;
    auto* records = static_cast<Camera**>(QS_ALLOC(sizeof(Camera*) * static_cast<size_t>(count ? count : 1), true));
    if (!records) return false;
    int32_t n = 0;
    for (int32_t slot = 0; slot < count; ++slot) {
        int32_t present = 0;
        if (!ReadS32(buffer, &present)) {
            FreeRecords(records, n);
            return false;
        }
        if (!present) continue;
        Camera* camera = NewRecord();
        records[n++] = camera;
        if (!camera || !ReadRecord(buffer, camera)) {
            FreeRecords(records, n);
            return false;
        }
    }
    DestroyAll();
    for (int32_t i = 0; i < n; ++i) {
        if (records[i]->id == -1) {
            if (s_list.nextId > INT32_MAX) {
                QS_FREE(records[i]);
                continue;
            }
            records[i]->id = static_cast<int32_t>(s_list.nextId++);
        }
        // The counter is not saved: new cameras must not take a loaded id.
        if (records[i]->id >= s_list.nextId) s_list.nextId = int64_t{records[i]->id} + 1;
        if (!Append(records[i])) QS_FREE(records[i]);
    }
    QS_FREE(records);
    return true;
}

}  // namespace CameraList

void InitDefaultCamera()
{
    const Camera* camera = CameraList::CreateCamera();
    DefaultCameraId = camera ? camera->id : -1;
}
