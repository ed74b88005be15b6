#pragma once
// The room resource built-ins (part of the "Resource.." group): room
// definitions added, copied and edited at run time (size, caption, code,
// backgrounds, views, cameras, instance and tile definitions).
void InitRoomFunctions();
