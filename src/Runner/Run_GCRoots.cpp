#include "Runner/Run_GCRoots.h"

#include "Code/GCRegistry.h"
#include "DataStructure/DS_Mark.h"
#include "Runner/Run_Room.h"
#include "World/Camera.h"
#include "World/Instance.h"
#include "World/Room_Layers.h"

void Run_MarkGCRoots()
{
    Run_ForEachLiveInstance([](CInstance* instance) { GC_MarkObject(instance); });
    GC_MarkObject(LayerScriptInstance);
    GC_MarkObject(CameraList::GetScriptInstance());
    Ds_MarkAll();
}
