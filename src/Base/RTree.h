#pragma once
// A two-dimensional R-tree of integer rectangles (inclusive edges) holding one
// data value per leaf entry, with quadratic split. Areas are single precision
// and have no +1, so a one-pixel rectangle has area 0. Nodes come from blocks
// of zero-filled nodes with a free list: once the blocks exist, inserting and
// removing allocate nothing.
#include <cstdint>
#include <cstring>

#include "Base/MemoryManager.h"

struct RTreeRect {
    int32_t minX, minY, maxX, maxY;
};

inline bool RTreeRect_Overlap(const RTreeRect& a, const RTreeRect& b)
{
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

template <typename Data, int MaxNodes = 6, int MinNodes = 2>
class RTree {
public:
    struct Node;
    struct Branch {
        RTreeRect rect;
        Node* child;  // internal nodes
        Data data;    // leaves
    };
    struct Node {
        int32_t count;
        int32_t level;  // 0 leaf; -1 while not yet placed
        Branch branches[MaxNodes];
        Node* nextFree;
    };

    explicit RTree(int32_t nodesPerBlock) : m_perBlock(nodesPerBlock < 1 ? 1 : nodesPerBlock)
    {
        m_root = AllocNode();
        m_root->level = 0;
    }
    virtual ~RTree()
    {
        for (int32_t i = 0; i < m_blockCount; ++i) QS_FREE(m_blocks[i]);
        QS_FREE(m_blocks);
    }
    RTree(const RTree&) = delete;
    RTree& operator=(const RTree&) = delete;

    const Node* Root() const { return m_root; }
    int32_t RootLevel() const { return m_root->level; }

    void Insert(const RTreeRect& rect, Data data)
    {
        Branch branch{rect, nullptr, data};
        InsertRect(branch, 0);
    }

    // Finds the leaf entry by data alone below the branches that overlap rect;
    // with retry, a miss is searched again below the root's cover, which
    // reaches every leaf. True when the entry was removed.
    bool Remove(const RTreeRect& rect, Data data, bool retry)
    {
        if (RemoveRect(rect, data)) return true;
        return retry && m_root->count > 0 && RemoveRect(NodeCover(m_root), data);
    }

    // Descends into every branch whose rectangle passes test and calls visit
    // with the data of every leaf entry that passes it, counting them in
    // *found; a false from visit ends the walk, and then the result is false.
    template <typename Test, typename Visit>
    bool Walk(Test&& test, Visit&& visit, int32_t* found) const
    {
        return WalkNode(m_root, test, visit, found);
    }

    bool Search(const RTreeRect& rect, bool (*callback)(Data data, void* user), void* user, int32_t* found) const
    {
        return Walk([&rect](const RTreeRect& r) { return RTreeRect_Overlap(rect, r); },
                    [&](Data data) { return !callback || callback(data, user); }, found);
    }

private:
    static constexpr int32_t kAll = MaxNodes + 1;
    // The deepest tree has one node per level in the way of a removal; 64
    // levels need far more entries than memory can hold.
    static constexpr int32_t kMaxReinsert = 64;

    static float Area(const RTreeRect& r)
    {
        return (static_cast<float>(r.maxX) - static_cast<float>(r.minX)) *
               (static_cast<float>(r.maxY) - static_cast<float>(r.minY));
    }
    static RTreeRect Combine(const RTreeRect& a, const RTreeRect& b)
    {
        return RTreeRect{a.minX < b.minX ? a.minX : b.minX, a.minY < b.minY ? a.minY : b.minY,
                         a.maxX > b.maxX ? a.maxX : b.maxX, a.maxY > b.maxY ? a.maxY : b.maxY};
    }
    static RTreeRect NodeCover(const Node* node)
    {
        RTreeRect cover = node->branches[0].rect;
        for (int32_t i = 1; i < node->count; ++i) cover = Combine(cover, node->branches[i].rect);
        return cover;
    }

    Node* AllocNode()
    {
        Node* node = m_free;
        if (node) {
            m_free = node->nextFree;
        } else {
            if (m_blockCount == 0 || m_usedInBlock == m_perBlock) {
                void* grown = QS_REALLOC(m_blocks, sizeof(Node*) * static_cast<size_t>(m_blockCount + 1));
                m_blocks = static_cast<Node**>(grown);
                m_blocks[m_blockCount++] = static_cast<Node*>(QS_ALLOC(sizeof(Node) * static_cast<size_t>(m_perBlock), true));
                m_usedInBlock = 0;
            }
            node = &m_blocks[m_blockCount - 1][m_usedInBlock++];
        }
        node->count = 0;
        node->level = -1;
        node->nextFree = nullptr;
        return node;
    }
    void FreeNode(Node* node)
    {
        node->nextFree = m_free;
        m_free = node;
    }

    template <typename Test, typename Visit>
    static bool WalkNode(const Node* node, Test& test, Visit& visit, int32_t* found)
    {
        for (int32_t i = 0; i < node->count; ++i) {
            const Branch& branch = node->branches[i];
            if (!test(branch.rect)) continue;
            if (node->level > 0) {
                if (!WalkNode(branch.child, test, visit, found)) return false;
            } else {
                if (found) ++*found;
                if (!visit(branch.data)) return false;
            }
        }
        return true;
    }

    // True when node split; *split is then the new sibling.
    bool AddBranch(const Branch& branch, Node* node, Node** split)
    {
        if (node->count < MaxNodes) {
            node->branches[node->count++] = branch;
            return false;
        }
        SplitNode(node, branch, split);
        return true;
    }

    int32_t PickBranch(const RTreeRect& rect, const Node* node) const
    {
        int32_t best = 0;
        float bestGrowth = 0, bestArea = 0;
        for (int32_t i = 0; i < node->count; ++i) {
            const float area = Area(node->branches[i].rect);
            const float growth = Area(Combine(rect, node->branches[i].rect)) - area;
            if (i == 0 || growth < bestGrowth || (growth == bestGrowth && area < bestArea)) {
                best = i;
                bestGrowth = growth;
                bestArea = area;
            }
        }
        return best;
    }

    bool InsertRectRec(const Branch& branch, Node* node, Node** split, int32_t level)
    {
        if (node->level > level) {
            const int32_t index = PickBranch(branch.rect, node);
            Node* other = nullptr;
            Branch& chosen = node->branches[index];
            if (!InsertRectRec(branch, chosen.child, &other, level)) {
                chosen.rect = Combine(branch.rect, chosen.rect);
                return false;
            }
            chosen.rect = NodeCover(chosen.child);
            return AddBranch(Branch{NodeCover(other), other, Data{}}, node, split);
        }
        return AddBranch(branch, node, split);
    }

    void InsertRect(const Branch& branch, int32_t level)
    {
        Node* split = nullptr;
        if (!InsertRectRec(branch, m_root, &split, level)) return;
        Node* root = AllocNode();
        root->level = m_root->level + 1;
        root->branches[0] = Branch{NodeCover(m_root), m_root, Data{}};
        root->branches[1] = Branch{NodeCover(split), split, Data{}};
        root->count = 2;
        m_root = root;
    }

    struct Partition {
        Branch buffer[kAll];
        int32_t group[kAll];
        int32_t count[2];
        RTreeRect cover[2];
        float area[2];
    };

    static void Classify(Partition& p, int32_t index, int32_t group)
    {
        p.group[index] = group;
        p.cover[group] = p.count[group] == 0 ? p.buffer[index].rect : Combine(p.buffer[index].rect, p.cover[group]);
        p.area[group] = Area(p.cover[group]);
        ++p.count[group];
    }

    static void PickSeeds(Partition& p, const RTreeRect& cover)
    {
        float areas[kAll];
        for (int32_t i = 0; i < kAll; ++i) areas[i] = Area(p.buffer[i].rect);
        float worst = -Area(cover) - 1.0f;
        int32_t seed0 = 0, seed1 = 1;
        for (int32_t i = 0; i < kAll - 1; ++i) {
            for (int32_t j = i + 1; j < kAll; ++j) {
                const float waste = Area(Combine(p.buffer[i].rect, p.buffer[j].rect)) - areas[i] - areas[j];
                if (waste > worst) {
                    worst = waste;
                    seed0 = i;
                    seed1 = j;
                }
            }
        }
        Classify(p, seed0, 0);
        Classify(p, seed1, 1);
    }

    static void ChoosePartition(Partition& p)
    {
        const int32_t full = kAll - MinNodes;
        while (p.count[0] + p.count[1] < kAll && p.count[0] < full && p.count[1] < full) {
            float biggest = -1.0f;
            int32_t chosen = -1, chosenGroup = 0;
            for (int32_t i = 0; i < kAll; ++i) {
                if (p.group[i] >= 0) continue;
                const float growth0 = Area(Combine(p.buffer[i].rect, p.cover[0])) - p.area[0];
                const float growth1 = Area(Combine(p.buffer[i].rect, p.cover[1])) - p.area[1];
                float diff = growth1 - growth0;
                int32_t group = 0;
                if (diff < 0) {
                    diff = -diff;
                    group = 1;
                }
                if (diff > biggest) {
                    biggest = diff;
                    chosen = i;
                    chosenGroup = group;
                } else if (diff == biggest && p.count[group] < p.count[chosenGroup]) {
                    chosen = i;
                    chosenGroup = group;
                }
            }
            Classify(p, chosen, chosenGroup);
        }
        if (p.count[0] + p.count[1] < kAll) {
            const int32_t group = p.count[0] >= full ? 1 : 0;
            for (int32_t i = 0; i < kAll; ++i) {
                if (p.group[i] < 0) Classify(p, i, group);
            }
        }
    }

    void SplitNode(Node* node, const Branch& branch, Node** split)
    {
        const int32_t level = node->level;
        Partition p;
        for (int32_t i = 0; i < MaxNodes; ++i) p.buffer[i] = node->branches[i];
        p.buffer[MaxNodes] = branch;
        RTreeRect cover = p.buffer[0].rect;
        for (int32_t i = 1; i < kAll; ++i) cover = Combine(cover, p.buffer[i].rect);
        for (int32_t& g : p.group) g = -1;
        p.count[0] = p.count[1] = 0;
        p.area[0] = p.area[1] = 0;
        node->count = 0;
        PickSeeds(p, cover);
        ChoosePartition(p);
        Node* sibling = AllocNode();
        node->level = sibling->level = level;
        for (int32_t i = 0; i < kAll; ++i) {
            Node* target = p.group[i] == 0 ? node : sibling;
            target->branches[target->count++] = p.buffer[i];
        }
        *split = sibling;
    }

    static void Disconnect(Node* node, int32_t index)
    {
        node->branches[index] = node->branches[node->count - 1];
        --node->count;
    }

    // True when the entry was found; nodes left too small go on the list.
    bool RemoveRectRec(const RTreeRect& rect, Data data, Node* node, Node** list, int32_t* listed)
    {
        if (node->level > 0) {
            for (int32_t i = 0; i < node->count; ++i) {
                if (!RTreeRect_Overlap(rect, node->branches[i].rect)) continue;
                Node* child = node->branches[i].child;
                if (!RemoveRectRec(rect, data, child, list, listed)) continue;
                if (child->count >= MinNodes) {
                    node->branches[i].rect = NodeCover(child);
                } else {
                    if (*listed < kMaxReinsert) list[(*listed)++] = child;
                    Disconnect(node, i);
                }
                return true;
            }
            return false;
        }
        for (int32_t i = 0; i < node->count; ++i) {
            if (node->branches[i].data != data) continue;
            Disconnect(node, i);
            return true;
        }
        return false;
    }

    bool RemoveRect(const RTreeRect& rect, Data data)
    {
        Node* list[kMaxReinsert];
        int32_t listed = 0;
        if (!RemoveRectRec(rect, data, m_root, list, &listed)) return false;
        for (int32_t n = 0; n < listed; ++n) {
            Node* node = list[n];
            for (int32_t i = 0; i < node->count; ++i) InsertRect(node->branches[i], node->level);
            FreeNode(node);
        }
        if (m_root->level > 0 && m_root->count == 1) {
            Node* only = m_root->branches[0].child;
            FreeNode(m_root);
            m_root = only;
        }
        return true;
    }

    int32_t m_perBlock;
    Node** m_blocks = nullptr;
    int32_t m_blockCount = 0;
    int32_t m_usedInBlock = 0;
    Node* m_free = nullptr;
    Node* m_root = nullptr;
};
