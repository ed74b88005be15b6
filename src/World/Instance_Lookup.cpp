#include "World/Instance_Lookup.h"

#include <cmath>

#include "Code/Code_Profiler.h"
#include "Base/MemoryManager.h"
#include "World/Instance.h"
#include "World/Room_Class.h"

// ---------------------------------------------------------------- id table

namespace {
Hash<CInstance>* s_idTable = nullptr;
}  // namespace

Hash<CInstance>& Instance_IdTable()
{
    if (!s_idTable) s_idTable = new Hash<CInstance>(512);
    return *s_idTable;
}

bool Instance_Insert(int32_t id, CInstance* instance)
{
    Hash<CInstance>& table = Instance_IdTable();
    if (!table.Insert(id, instance)) return false;
    // More than two per bucket: double the buckets (a failed rehash just keeps longer chains).
    const int32_t buckets = table.mask + 1;
    if (table.count > 2 * buckets && buckets < (1 << 24)) table.Rehash(buckets * 2);
    return true;
}

CInstance* Instance_Find(int32_t id)
{
    if (id < 0 || !s_idTable) return nullptr;
    return s_idTable->Find(id);
}

bool Instance_Delete(int32_t id)
{
    return s_idTable && s_idTable->Delete(id, HASH_KEEP_VALUE);
}

void Instance_ClearTable(int32_t mode)
{
    if (s_idTable) s_idTable->Clear(mode);
}

void Instance_DeleteAll()
{
    Instance_ClearTable(HASH_DELETE_VALUE);
}

// ---------------------------------------------------------------- depth lists

void InstanceDepthList::Insert(CInstance* instance)
{
    ++count;
    CInstance* at = last;
    while (at && instance->depth < at->m_listDepth) at = at->m_previous;
    instance->m_previous = at;
    instance->m_next = at ? at->m_next : first;
    if (instance->m_next)
        instance->m_next->m_previous = instance;
    else
        last = instance;
    if (at)
        at->m_next = instance;
    else
        first = instance;
    instance->m_listDepth = instance->depth;
}

bool InstanceDepthList::Remove(CInstance* instance)
{
    if (!instance->m_previous && first != instance) return false;  // not on this list
    if (instance->m_previous)
        instance->m_previous->m_next = instance->m_next;
    else
        first = instance->m_next;
    if (instance->m_next)
        instance->m_next->m_previous = instance->m_previous;
    else
        last = instance->m_previous;
    instance->m_next = instance->m_previous = nullptr;
    --count;
    return true;
}

void InstanceDepthList::Append(CInstance* instance)
{
    instance->m_next = nullptr;
    instance->m_previous = last;
    if (last)
        last->m_next = instance;
    else
        first = instance;
    last = instance;
    ++count;
}

// ---------------------------------------------------------------- deferred changes

List<CInstance*> DepthChangeQueue;
List<CInstance*> ActivationQueue;
List<CInstance*> ObjectChangeQueue;

namespace {
// Below this many re-inserts the walk from the tail is cheapest.
constexpr int32_t kMergeThreshold = 8;

// Stable sort by depth (bottom-up merge sort, scratch from the memory manager).
bool SortByDepth(CInstance** items, int32_t n)
{
    auto** scratch = static_cast<CInstance**>(QS_ALLOC(sizeof(CInstance*) * static_cast<size_t>(n), false));
    if (!scratch) return false;
    CInstance** from = items;
    CInstance** to = scratch;
    for (int32_t width = 1; width < n; width *= 2) {
        for (int32_t lo = 0; lo < n; lo += 2 * width) {
            int32_t mid = lo + width < n ? lo + width : n;
            int32_t hi = lo + 2 * width < n ? lo + 2 * width : n;
            int32_t a = lo, b = mid, k = lo;
            while (a < mid && b < hi) to[k++] = from[b]->depth < from[a]->depth ? from[b++] : from[a++];
            while (a < mid) to[k++] = from[a++];
            while (b < hi) to[k++] = from[b++];
        }
        CInstance** swap = from;
        from = to;
        to = swap;
    }
    if (from != items) {
        for (int32_t i = 0; i < n; ++i) items[i] = from[i];
    }
    QS_FREE(scratch);
    return true;
}

// Inserts many instances in one walk of the list. The result equals inserting
// them one by one in queue order; that holds only for a list in depth order
// and comparable depths, so anything else is left to the caller.
bool MergeInsert(InstanceDepthList& list, CInstance** items, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        if (std::isnan(items[i]->depth)) return false;
    }
    for (CInstance* at = list.first; at; at = at->m_next) {
        if (std::isnan(at->m_listDepth) || (at->m_next && at->m_next->m_listDepth < at->m_listDepth)) return false;
    }
    if (!SortByDepth(items, n)) return false;
    CInstance* at = list.first;
    for (int32_t i = 0; i < n; ++i) {
        CInstance* instance = items[i];
        while (at && at->m_listDepth <= instance->depth) at = at->m_next;
        // Before `at`, or at the tail.
        instance->m_next = at;
        instance->m_previous = at ? at->m_previous : list.last;
        if (instance->m_previous)
            instance->m_previous->m_next = instance;
        else
            list.first = instance;
        if (at)
            at->m_previous = instance;
        else
            list.last = instance;
        instance->m_listDepth = instance->depth;
        ++list.count;
    }
    return true;
}

void Forget(List<CInstance*>& queue, CInstance* instance)
{
    int32_t kept = 0;
    for (int32_t i = 0; i < queue.count; ++i) {
        if (queue.items[i] != instance) queue.items[kept++] = queue.items[i];
    }
    queue.count = kept;
}
}  // namespace

void ObjectChangeQueue_Apply()
{
    for (int32_t i = 0; i < ObjectChangeQueue.count; ++i) ObjectChangeQueue.items[i]->RelinkToObject();
    ObjectChangeQueue.count = 0;
}

void DepthChangeQueue_Apply()
{
    if (Run_Room) {
        InstanceDepthList& list = Run_Room->activeInstances;
        // Only instances actually taken out go back in, each once.
        CInstance** items = DepthChangeQueue.items;
        int32_t n = 0;
        for (int32_t i = 0; i < DepthChangeQueue.count; ++i) {
            CInstance* instance = items[i];
            if (!instance->m_deactivated && list.Remove(instance)) items[n++] = instance;
        }
        if (n < kMergeThreshold || !MergeInsert(list, items, n)) {
            for (int32_t i = 0; i < n; ++i) list.Insert(items[i]);
        }
    }
    DepthChangeQueue.count = 0;
}

void UpdateActiveLists()
{
    const ProfilerSection section(SECTION_UPDATE_ACTIVE_LISTS);
    if (ActivationQueue.count > 0) {
        if (Run_Room) Run_Room->UpdateActiveLists();
        ActivationQueue.count = 0;
    }
    if (ObjectChangeQueue.count > 0) ObjectChangeQueue_Apply();
    if (DepthChangeQueue.count > 0) DepthChangeQueue_Apply();
}

void InstanceQueues_Forget(CInstance* instance)
{
    Forget(DepthChangeQueue, instance);
    Forget(ActivationQueue, instance);
    Forget(ObjectChangeQueue, instance);
}

// ---------------------------------------------------------------- with-blocks

namespace {
InstanceLink s_withHead = {&s_withHead, &s_withHead, nullptr, nullptr};

void UnlinkFromWith(InstanceLink& link)
{
    link.prev->next = link.next;
    link.next->prev = link.prev;
    link.Reset();
}
}  // namespace

void WithInstanceList::Add(CInstance* instance)
{
    AddOnce(instance);
}

bool WithInstanceList::AddOnce(CInstance* instance)
{
    InstanceLink& link = instance->m_withLink;
    const bool present = link.list == &s_withHead;
    if (present) UnlinkFromWith(link);
    link.prev = s_withHead.prev;
    link.next = &s_withHead;
    s_withHead.prev->next = &link;
    s_withHead.prev = &link;
    link.list = &s_withHead;
    return present;
}

CInstance** WithInstanceList::Drain(CInstance** output, CInstance** current)
{
    CInstance* previous = nullptr;
    InstanceLink* link = s_withHead.next;
    while (link != &s_withHead) {
        InstanceLink* next = link->next;
        *output++ = previous;
        previous = link->owner;
        *current = previous;
        link->Reset();
        link = next;
    }
    s_withHead.next = s_withHead.prev = &s_withHead;
    return output;
}

bool WithInstanceList::IsEmpty() { return s_withHead.next == &s_withHead; }

void WithInstanceList::Unlink(CInstance* instance)
{
    if (instance->m_withLink.list == &s_withHead) UnlinkFromWith(instance->m_withLink);
}
