#pragma once
// STAND-IN for the live room until rooms exist: its two instance lists, its
// physics world and the move between the lists that activation changes make.
#include "Object/Instance_Lookup.h"

class PhysicsWorld;

class CGameRoom {
public:
    // Deactivated instances whose flag was cleared go back into the active
    // list by depth and join their object; active ones whose flag was set
    // move to the tail of the deactivated list and leave their object.
    void UpdateActiveLists();

    InstanceDepthList activeInstances;
    InstanceDepthList deactivatedInstances;
    PhysicsWorld* physics = nullptr;  // owned by the room
};

extern CGameRoom* Run_Room;  // the current room, null before the game starts
