#include "Runner/Run_Room.h"


#include "Base/Array.h"
#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Base/ProcessEnd.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Variable/Code_VariableValue.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/RenderStateCache.h"
#include "IO/IO_Dialog.h"
#include "IO/IO_Main.h"
#include "World/Camera.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Room_Layers.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Runner/Run_Globals.h"
#include "Options/Runner_Options.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Main.h"
#include "Draw/Draw_Frame.h"
#include "Font/Font_Main.h"
#include "Graphics/Graphics_Primitive.h"
#include "IO/IO_Input.h"
#include "Particle/Particle_Main.h"
#include "Platform/Extension_Main.h"
#include "Runner/GameChunks.h"
#include "Sound/Audio_Main.h"
#include "World/Collision.h"


namespace {
// One slot per room index: the live copy while current, kept while persistent.
cARRAY_CLASS<CGameRoom, ArrayForm::Fixed> g_RuntimeRooms;
// Copies of the persistent instances carried out of the room that ended.
cARRAY_CLASS_NO_DELETE<CInstance> g_Persistent;
int32_t g_PersistentCount = 0;

void CarryPersistentInstancesIn(CGameRoom* current)
{
    for (int32_t i = 0; i < g_PersistentCount && i < g_Persistent.length; ++i) {
        CInstance* carried = g_Persistent.items[i];
        if (!carried) continue;
        CInstance* match = nullptr;
        for (CInstance* instance = current->activeInstances.first; instance; instance = instance->m_next) {
            if (instance->id == carried->id) {
                match = instance;
                break;
            }
        }
        if (match) {
            match->CopyFrom(carried, true);
            match->RecreatePhysics(current);
            match->m_skipCreate = true;
        } else {
            auto* instance = new CInstance(carried->x, carried->y, carried->id, carried->object_index, false);
            instance->CopyFrom(carried, true);
            instance->RecreatePhysics(current);
            current->activeInstances.Insert(instance);
            Instance_Insert(instance->id, instance);
            instance->layer = -1;
            if (LayerMode) Layer_AddInstanceToDefault(current, instance);
            instance->m_skipCreate = true;
        }
        delete carried;
        g_Persistent.items[i] = nullptr;
    }
    g_Persistent.SetLength(0);
    g_PersistentCount = 0;
}

void RunCreateEvents(CGameRoom* current)
{
    for (int32_t i = 0; i < current->createdIds.length; ++i) {
        CInstance* instance = Instance_Find(current->createdIds.items[i]);
        if (!instance) continue;
        if (instance->m_skipCreate) {
            instance->m_skipCreate = false;
            continue;
        }
        if (instance->m_marked) continue;
        PerformEventForObject(instance, instance, instance->object_index, EVENT_CREATE, 0);
        if (instance->m_creationCode) {
            ScriptValue result = ScriptValue_Undefined();
            Code_RunReportError(instance, instance, instance->m_creationCode, &result, 1);
            ScriptValue_SetUndefined(&result);
        }
        instance->m_createDone = true;
    }
    current->createdIds.Resize(0);
}

void RunRoomCreationCode(CGameRoom* current)
{
    ScriptValue result = ScriptValue_Undefined();
    if (ObjectMode && Variable_GlobalInstance()) {
        CInstance* global = Variable_GlobalInstance();
        Code_RunReportError(global, global, current->creationCode, &result, 0);
    } else {
        auto* temporary = new CInstance(0, 0, 0, 0, false);
        Code_RunReportError(temporary, temporary, current->creationCode, &result, 0);
        delete temporary;
    }
    ScriptValue_SetUndefined(&result);
    // Headless runs are smoke tests of a game: it started, so the test is done.
    if (HeadlessMode.exitAfterCreationCode) Process_End(0);
}

void CarryPersistentInstancesOut(CGameRoom* current)
{
    g_PersistentCount = 0;
    g_Persistent.SetLength(10);
    for (int32_t i = 0; i < g_Persistent.length; ++i) g_Persistent.items[i] = nullptr;
    for (CInstance* instance = current->activeInstances.first; instance; instance = instance->m_next) {
        if (instance->m_marked || instance->m_deactivated || !instance->persistent) continue;
        ++g_PersistentCount;
        if (g_PersistentCount > g_Persistent.length) {
            const int32_t old = g_Persistent.length;
            g_Persistent.SetLength(g_PersistentCount + 5);
            for (int32_t k = old; k < g_Persistent.length; ++k) g_Persistent.items[k] = nullptr;
        }
        auto* copy = new CInstance(instance->x, instance->y, instance->id, instance->object_index, false);
        copy->CopyFrom(instance, false);
        g_Persistent.items[g_PersistentCount - 1] = copy;
        instance->m_marked = true;
        ++MarkedInstanceCount;
    }
}

void HideDormantInstances(CGameRoom* current)
{
    for (CInstance* instance = current->activeInstances.first; instance; instance = instance->m_next) {
        if (instance->m_marked || instance->m_deactivated || instance->persistent) continue;
        if (instance->m_object) instance->m_object->RemoveInstance(instance);
        Layer_RemoveInstance(current, instance);
        Instance_Delete(instance->id);
    }
}
}  // namespace

void Run_SetCurrentRoom(CGameRoom* current)
{
    Run_Room = current;
}

int32_t PersistentInstances_Count()
{
    return g_PersistentCount;
}

CGameRoom* Run_RuntimeRoom(int32_t index)
{
    return index >= 0 && index < g_RuntimeRooms.length ? g_RuntimeRooms.items[index] : nullptr;
}

int32_t Run_RuntimeRoomCount() { return g_RuntimeRooms.length; }

void Run_ReplaceRuntimeRooms(CGameRoom** rooms, int32_t count, int32_t current)
{
    // The loaded cameras replaced the ones the old rooms' views named.
    for (int32_t i = 0; i < g_RuntimeRooms.length; ++i) {
        CGameRoom* old = g_RuntimeRooms.items[i];
        if (old && LayerMode) {
            for (RoomView& view : old->views) view.camera = -1;
        }
    }
    Run_SetCurrentRoom(nullptr);
    g_RuntimeRooms.SetLength(0);
    g_RuntimeRooms.SetLength(count);
    for (int32_t i = 0; i < count; ++i) g_RuntimeRooms.items[i] = rooms[i];
    Run_SetCurrentRoom(Run_RuntimeRoom(current));
}

void Run_ForEachLiveInstance(void (*visit)(CInstance*))
{
    auto walk = [visit](CGameRoom* live) {
        for (CInstance* i = live->activeInstances.first; i; i = i->m_next) visit(i);
        for (CInstance* i = live->deactivatedInstances.first; i; i = i->m_next) visit(i);
    };
    bool currentListed = false;
    for (int32_t i = 0; i < g_RuntimeRooms.length; ++i) {
        if (CGameRoom* live = g_RuntimeRooms.items[i]) {
            walk(live);
            currentListed = currentListed || live == Run_Room;
        }
    }
    if (Run_Room && !currentListed) walk(Run_Room);
    for (int32_t i = 0; i < g_Persistent.length; ++i) {
        if (g_Persistent.items[i]) visit(g_Persistent.items[i]);
    }
}

void Run_StartGame()
{
    if (LayerMode) DrawColour = GameOptions.drawColour;
    Object_BuildEventLists();
    Run_ResetGameGlobals();
    if (!Extension_CallInitFunctions()) return;
    Win32Window_SetCursor(GameOptions.showCursor ? 0 : -1);
    GR_SetTextureInterpolation(GR_D3D_InterpolatePixels);
    g_RuntimeRooms.SetLength(0);
    g_RuntimeRooms.SetLength(Room_Count());
    PersistentInstances_DeleteAll();
    const int32_t first = Room_First();
    PendingRoomCode = first;
    if (Room_Exists(first)) {
        Run_StartRoom(first, true);
        if (PendingRoomCode >= 0) SwitchRoom(PendingRoomCode);
    } else {
        // Without a first room there is nothing to run: an empty room would
        // wait for input that never comes, and a game that cannot start must
        // not end as one that ran.
        ShowMessageBox("No room to start the game in");
        FatalErrorShown = true;
        PendingRoomCode = ROOMCODE_END;
    }
    MemoryManager::ReportUsage();
}

void Run_EndGame()
{
    Run_EndRoom(true);
    g_RuntimeRooms.SetLength(0);
    Run_SetCurrentRoom(nullptr);
    if (!Extension_CallFinalFunctions()) return;
    Win32Window_SetCursor(0);
    Audio_StopAll(1);
    Text_Reset();
    g_RenderStateCache.Reset();
    GC_Collect();
}

void SwitchRoom(int32_t index)
{
    MemoryManager::TraceEvent("SwitchRoom to %s", Room_Name(index));
    Run_EndRoom(false);
    Run_StartRoom(index, false);
}

void Run_StartRoom(int32_t index, bool gameStart)
{
    PendingRoomCode = -1;
    if (gameStart) IO_Clear();
    Effect_Clear();
    if (index >= g_RuntimeRooms.length) g_RuntimeRooms.SetLength(index + 1);
    room = index;
    CGameRoom* current = g_RuntimeRooms.items[index];
    const bool fresh = current == nullptr;
    if (!fresh) {
        Run_SetCurrentRoom(current);
        for (CInstance* instance = current->activeInstances.first; instance; instance = instance->m_next) {
            if (instance->m_object) instance->m_object->AddInstance(instance);
            Instance_Insert(instance->id, instance);
        }
    } else {
        current = new CGameRoom();
        g_RuntimeRooms.items[index] = current;
        // The room becomes current first: creating its instances places them on its layers.
        Run_SetCurrentRoom(current);
        Room_CopyDefinition(current, Room_Get(index), true);
    }
    if (LayerMode) CameraList::CreateScriptInstance();
    Layer_StartRoom(current);
    ParticleSystem_RoomStart();
    UpdateWindowSizeForRoom();
    CarryPersistentInstancesIn(current);
    if (fresh) RunCreateEvents(current);
    current->RemoveMarkedInstances();
    if (gameStart) {
        PerformEventAll(EVENT_OTHER, 2);
        current->RemoveMarkedInstances();
    }
    if (fresh && current->creationCode) RunRoomCreationCode(current);
    PerformEventAll(EVENT_OTHER, 4);
    current->RemoveMarkedInstances();
}

void Run_EndRoom(bool gameEnd)
{
    CGameRoom* current = Run_Room;
    Layer_UnresolveAll(current);
    if (LayerMode) CameraList::FreeScriptInstance();
    if (!current) return;
    current->RemoveMarkedInstances();
    const int32_t saved = PendingRoomCode;
    PendingRoomCode = -1;
    PerformEventAll(EVENT_OTHER, 5);
    current->RemoveMarkedInstances();
    if (gameEnd) {
        current->CleanUpPersistent();
        PerformEventAll(EVENT_OTHER, 3);
        current->RemoveMarkedInstances();
    }
    PendingRoomCode = saved;
    ParticleSystem_RoomEnd();
    IO_ClearVirtualButtons();
    CarryPersistentInstancesOut(current);
    current->RemoveMarkedInstances();
    if (current->persistent) {
        HideDormantInstances(current);
    } else {
        for (int32_t i = 0; i < g_RuntimeRooms.length; ++i) {
            if (g_RuntimeRooms.items[i] == current) g_RuntimeRooms.items[i] = nullptr;
        }
        // The room being run is never destroyed under the caller: the current
        // pointer is replaced by the next start, so it is cleared here.
        Run_SetCurrentRoom(nullptr);
        delete current;
    }
    ActivationQueue.count = 0;
}

void PersistentInstances_DeleteAll()
{
    for (int32_t i = 0; i < g_Persistent.length; ++i) {
        delete g_Persistent.items[i];
        g_Persistent.items[i] = nullptr;
    }
    g_Persistent.SetLength(0);
    g_PersistentCount = 0;
}

void Run_FreeRooms()
{
    g_RuntimeRooms.SetLength(0);
    PersistentInstances_DeleteAll();
}
