#pragma once
// The instance and motion group of built-ins ("Game.."): movement, place and
// collision queries, instances, rooms and the game. Results are reals;
// queries give an instance id or -4.
#include "Code/Code_Value.h"

class CInstance;

#define QS_GAME_BUILTIN(name) void name(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args)
QS_GAME_BUILTIN(F_MoveRandom);
QS_GAME_BUILTIN(F_PlaceFree);
QS_GAME_BUILTIN(F_PlaceEmpty);
QS_GAME_BUILTIN(F_PlaceMeeting);
QS_GAME_BUILTIN(F_PlaceSnapped);
QS_GAME_BUILTIN(F_MoveSnap);
QS_GAME_BUILTIN(F_MoveTowardsPoint);
QS_GAME_BUILTIN(F_MoveContact);
QS_GAME_BUILTIN(F_MoveContactSolid);
QS_GAME_BUILTIN(F_MoveContactAll);
QS_GAME_BUILTIN(F_MoveOutsideSolid);
QS_GAME_BUILTIN(F_MoveOutsideAll);
QS_GAME_BUILTIN(F_MoveBounceSolid);
QS_GAME_BUILTIN(F_MoveBounceAll);
QS_GAME_BUILTIN(F_MoveWrap);
QS_GAME_BUILTIN(F_DistanceToPoint);
QS_GAME_BUILTIN(F_DistanceToObject);
QS_GAME_BUILTIN(F_MpLinearStep);
QS_GAME_BUILTIN(F_MpLinearPath);
QS_GAME_BUILTIN(F_MpLinearStepObject);
QS_GAME_BUILTIN(F_MpLinearPathObject);
QS_GAME_BUILTIN(F_MpPotentialSettings);
QS_GAME_BUILTIN(F_MpPotentialStep);
QS_GAME_BUILTIN(F_MpPotentialPath);
QS_GAME_BUILTIN(F_MpPotentialStepObject);
QS_GAME_BUILTIN(F_MpPotentialPathObject);
QS_GAME_BUILTIN(F_MpGridCreate);
QS_GAME_BUILTIN(F_MpGridDestroy);
QS_GAME_BUILTIN(F_MpGridClearAll);
QS_GAME_BUILTIN(F_MpGridClearCell);
QS_GAME_BUILTIN(F_MpGridClearRectangle);
QS_GAME_BUILTIN(F_MpGridAddCell);
QS_GAME_BUILTIN(F_MpGridGetCell);
QS_GAME_BUILTIN(F_MpGridAddRectangle);
QS_GAME_BUILTIN(F_MpGridAddInstances);
QS_GAME_BUILTIN(F_MpGridPath);
QS_GAME_BUILTIN(F_MpGridDraw);
QS_GAME_BUILTIN(F_MpGridToDsGrid);
QS_GAME_BUILTIN(F_CollisionPoint);
QS_GAME_BUILTIN(F_CollisionRectangle);
QS_GAME_BUILTIN(F_CollisionCircle);
QS_GAME_BUILTIN(F_CollisionEllipse);
QS_GAME_BUILTIN(F_CollisionLine);
QS_GAME_BUILTIN(F_InstancePosition);
QS_GAME_BUILTIN(F_InstanceNearest);
QS_GAME_BUILTIN(F_InstanceFurthest);
QS_GAME_BUILTIN(F_InstancePlace);
QS_GAME_BUILTIN(F_PositionEmpty);
QS_GAME_BUILTIN(F_PositionMeeting);
QS_GAME_BUILTIN(F_InstanceCreate);
QS_GAME_BUILTIN(F_InstanceCreateDepth);
QS_GAME_BUILTIN(F_InstanceCreateLayer);
QS_GAME_BUILTIN(F_InstanceCopy);
QS_GAME_BUILTIN(F_InstanceChange);
QS_GAME_BUILTIN(F_InstanceDestroy);
QS_GAME_BUILTIN(F_PositionDestroy);
QS_GAME_BUILTIN(F_PositionChange);
QS_GAME_BUILTIN(F_InstanceExists);
QS_GAME_BUILTIN(F_InstanceNumber);
QS_GAME_BUILTIN(F_InstanceFind);
QS_GAME_BUILTIN(F_InstanceIdGet);
QS_GAME_BUILTIN(F_InstanceSprite);
QS_GAME_BUILTIN(F_InstanceDeactivateAll);
QS_GAME_BUILTIN(F_InstanceDeactivateObject);
QS_GAME_BUILTIN(F_InstanceDeactivateRegion);
QS_GAME_BUILTIN(F_InstanceActivateAll);
QS_GAME_BUILTIN(F_InstanceActivateObject);
QS_GAME_BUILTIN(F_InstanceActivateRegion);
QS_GAME_BUILTIN(F_RoomGoto);
QS_GAME_BUILTIN(F_RoomGotoPrevious);
QS_GAME_BUILTIN(F_RoomGotoNext);
QS_GAME_BUILTIN(F_RoomPrevious);
QS_GAME_BUILTIN(F_RoomNext);
QS_GAME_BUILTIN(F_RoomRestart);
QS_GAME_BUILTIN(F_GameEnd);
QS_GAME_BUILTIN(F_GameRestart);
QS_GAME_BUILTIN(F_TransitionAnswer);
QS_GAME_BUILTIN(F_Sleep);
QS_GAME_BUILTIN(F_PointInRectangle);
QS_GAME_BUILTIN(F_PointInTriangle);
QS_GAME_BUILTIN(F_PointInCircle);
QS_GAME_BUILTIN(F_RectangleInRectangle);
QS_GAME_BUILTIN(F_RectangleInTriangle);
QS_GAME_BUILTIN(F_RectangleInCircle);
#undef QS_GAME_BUILTIN

// Registers the group in its fixed order; instance_create only without the
// layer system. The saved-game rows are registered by their own module.
void InitGameFunctions();
