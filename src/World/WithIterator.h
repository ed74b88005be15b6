#pragma once
// Turns a target as game code names it (self, other, all, an instance id, an
// object with its descendants) into a fixed-order sequence of instances. A
// small value kept on the caller's stack; it allocates and owns nothing.
// Instances created after Init are not visited (ids only grow), so a body that
// creates instances of the target neither loops forever nor changes the set.
//
//   WithIterator it;
//   it.Init(target, self, other, false);
//   while (CInstance* instance = it.Current()) { ...; it.Advance(); }
#include <cstdint>

#include "Base/LinkedList.h"

class CGameObject;
class CInstance;

enum : int32_t {
    TARGET_SELF = -1,
    TARGET_OTHER = -2,
    TARGET_ALL = -3,
    TARGET_NOONE = -4,
};

struct WithIterator {
    void Init(int32_t target, CInstance* self, CInstance* other, bool includeDeactivated);
    // The current instance, or null at the end; may move past entries that do not match.
    CInstance* Current();
    void Advance();

    SLinkedList<CInstance>::Node* objectCursor;
    CInstance* roomCursor;
    CInstance* deactivatedCursor;
    CGameObject* object;
    CInstance* single;
    int32_t target;
    int32_t state;  // -2 room list, -1 single, 0 object list, 1 object-change queue, 2 activation queue, 3 deactivated
    int32_t queueIndex;
    bool includeDeactivated;
    int32_t lastId;  // the last instance id handed out before Init

private:
    CInstance* FromQueue(int32_t queue);
};
