// The R-tree answers every search exactly like a scan of its entries, through
// inserts, moves and removals, and splits and shrinks as a quadratic R-tree does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "Base/RTree.h"

namespace {
using Tree = RTree<intptr_t, 6, 2>;

std::vector<intptr_t> Found(const Tree& tree, const RTreeRect& rect)
{
    std::vector<intptr_t> found;
    int32_t count = 0;
    tree.Walk([&rect](const RTreeRect& r) { return RTreeRect_Overlap(rect, r); },
              [&found](intptr_t data) {
                  found.push_back(data);
                  return true;
              },
              &count);
    EXPECT_EQ(count, static_cast<int32_t>(found.size()));
    std::sort(found.begin(), found.end());
    return found;
}

RTreeRect RandomRect(std::mt19937& random)
{
    std::uniform_int_distribution<int32_t> position(-500, 500), size(0, 40);
    const int32_t x = position(random), y = position(random);
    return RTreeRect{x, y, x + size(random), y + size(random)};
}

TEST(RTree, SearchesMatchAScanThroughInsertsMovesAndRemovals)
{
    std::mt19937 random(7);
    Tree tree(16);  // small blocks: the pool grows many times
    std::vector<RTreeRect> boxes(600);
    std::vector<bool> present(boxes.size(), false);
    std::uniform_int_distribution<size_t> pick(0, boxes.size() - 1);
    for (int round = 0; round < 6000; ++round) {
        const size_t i = pick(random);
        if (!present[i]) {
            boxes[i] = RandomRect(random);
            tree.Insert(boxes[i], static_cast<intptr_t>(i));
            present[i] = true;
        } else if (round % 3 == 0) {
            ASSERT_TRUE(tree.Remove(boxes[i], static_cast<intptr_t>(i), false));
            present[i] = false;
        } else {
            // A move whose old box the caller no longer knows: found through the retry.
            ASSERT_TRUE(tree.Remove(RTreeRect{9000, 9000, 9001, 9001}, static_cast<intptr_t>(i), true));
            boxes[i] = RandomRect(random);
            tree.Insert(boxes[i], static_cast<intptr_t>(i));
        }
        if (round % 50 != 0) continue;
        const RTreeRect query = RandomRect(random);
        std::vector<intptr_t> expected;
        for (size_t k = 0; k < boxes.size(); ++k) {
            if (present[k] && RTreeRect_Overlap(query, boxes[k])) expected.push_back(static_cast<intptr_t>(k));
        }
        ASSERT_EQ(Found(tree, query), expected) << "round " << round;
    }
    // Everything out again: the root is an empty leaf.
    for (size_t k = 0; k < boxes.size(); ++k) {
        if (present[k]) {
            ASSERT_TRUE(tree.Remove(boxes[k], static_cast<intptr_t>(k), false));
        }
    }
    EXPECT_EQ(tree.RootLevel(), 0);
    EXPECT_EQ(tree.Root()->count, 0);
    EXPECT_FALSE(tree.Remove(RTreeRect{0, 0, 0, 0}, 1, true));
}

TEST(RTree, TheSeventhEntrySplitsTheRootIntoTwoLeaves)
{
    Tree tree(1024);
    for (int32_t i = 0; i < 6; ++i) tree.Insert(RTreeRect{i * 10, 0, i * 10 + 5, 5}, i);
    EXPECT_EQ(tree.RootLevel(), 0);
    tree.Insert(RTreeRect{60, 0, 65, 5}, 6);
    ASSERT_EQ(tree.RootLevel(), 1);
    ASSERT_EQ(tree.Root()->count, 2);
    const int32_t a = tree.Root()->branches[0].child->count, b = tree.Root()->branches[1].child->count;
    EXPECT_GE(a, 2);
    EXPECT_GE(b, 2);
    EXPECT_EQ(a + b, 7);
    // Emptying one leaf below the minimum reinserts its last entry and the root collapses.
    for (intptr_t i = 0; i < 5; ++i) ASSERT_TRUE(tree.Remove(RTreeRect{static_cast<int32_t>(i) * 10, 0, 0, 5}, i, true));
    EXPECT_EQ(tree.RootLevel(), 0);
    EXPECT_EQ(Found(tree, RTreeRect{-100, -100, 100, 100}), (std::vector<intptr_t>{5, 6}));
}

TEST(RTree, ACallbackThatAnswersFalseEndsTheSearch)
{
    Tree tree(1024);
    for (intptr_t i = 0; i < 50; ++i) tree.Insert(RTreeRect{0, 0, 10, 10}, i);
    int32_t found = 0;
    const bool complete = tree.Search(RTreeRect{5, 5, 5, 5}, [](intptr_t, void*) { return false; }, nullptr, &found);
    EXPECT_FALSE(complete);
    EXPECT_EQ(found, 1);
    found = 0;
    EXPECT_TRUE(tree.Search(RTreeRect{10, 10, 20, 20}, nullptr, nullptr, &found));  // inclusive edges
    EXPECT_EQ(found, 50);
}
}  // namespace
