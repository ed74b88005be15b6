// Stacks, queues and priority queues.
#include <gtest/gtest.h>

#include "DataStructure/DS_Priority.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DS_Stack.h"
#include "DataStructure/DsTestSupport.h"

namespace {
using DsSequenceTest = DsFixture;

TEST_F(DsSequenceTest, StackPopsInReverseAndCopiesSlotForSlot)
{
    CDS_Stack stack;
    EXPECT_EQ(stack.Pop(), nullptr);
    EXPECT_EQ(stack.Top(), nullptr);
    for (int i = 0; i < 20; ++i) stack.Push(&Val(std::to_string(i).c_str()));
    EXPECT_EQ(StringOf(stack.Pop()), "19");
    EXPECT_EQ(StringOf(stack.Top()), "18");
    CDS_Stack copy;
    copy.Push(&Val("old"));
    copy.Copy(&stack);
    copy.Copy(&copy);
    EXPECT_EQ(copy.Size(), 19);
    EXPECT_EQ(StringOf(copy.Pop()), "18");
    // Popped strings keep their references until cleared; the sanitizer's
    // leak check sees whether Clear releases them.
    stack.Clear();
    EXPECT_TRUE(stack.Empty());
}

TEST_F(DsSequenceTest, QueueCompactsOnceMoreThanHalfLiesBeforeTheHead)
{
    CDS_Queue queue;
    EXPECT_EQ(queue.Dequeue(), nullptr);
    for (int i = 0; i < 40; ++i) queue.Enqueue(&Val(i));
    for (int i = 0; i < 20; ++i) ASSERT_EQ(queue.Dequeue()->real, i);
    EXPECT_EQ(queue.HeadIndex(), 20);
    EXPECT_EQ(queue.TailIndex(), 40);
    EXPECT_EQ(queue.Dequeue()->real, 20);
    EXPECT_EQ(queue.HeadIndex(), 0);
    EXPECT_EQ(queue.TailIndex(), 19);
    EXPECT_EQ(queue.Head()->real, 21);
    EXPECT_EQ(queue.Tail()->real, 39);
    EXPECT_EQ(queue.Size(), 19);
    queue.Clear();
    EXPECT_TRUE(queue.Empty());
    queue.Enqueue(&Val("again"));
    EXPECT_EQ(StringOf(queue.Head()), "again");
}

TEST_F(DsSequenceTest, QueueCopyIncludesTheSlotAtFullCapacity)
{
    CDS_Queue queue, copy;
    for (int i = 0; i < 16; ++i) queue.Enqueue(&Val(std::to_string(i).c_str()));
    queue.Dequeue();
    copy.Copy(&queue);
    EXPECT_EQ(copy.Size(), 15);
    EXPECT_EQ(StringOf(copy.Head()), "1");
    EXPECT_EQ(StringOf(copy.Tail()), "15");
}

TEST_F(DsSequenceTest, PriorityRemovalsTakeTheEarliestBestAndMoveTheLastEntry)
{
    CDS_Priority queue;
    Val result("held");
    queue.DeleteMin(&result);  // the string is released, not overwritten
    EXPECT_EQ(result.v.kind, VALUE_REAL);
    EXPECT_EQ(result.v.real, 0);
    queue.Add(&Val("a"), &Val(5));
    queue.Add(&Val("b"), &Val(7));
    queue.Add(&Val("c"), &Val(7));
    queue.Add(&Val("d"), &Val(6));
    EXPECT_EQ(StringOf(queue.FindMax()), "b");
    queue.DeleteMax(&result);
    EXPECT_EQ(StringOf(&result), "b");
    EXPECT_EQ(StringOf(queue.FindMax()), "c");  // "d" moved into position 1
    queue.ChangePriority(&Val("d"), &Val(1));
    EXPECT_EQ(queue.FindPriority(&Val("d"))->real, 1);
    EXPECT_EQ(queue.FindPriority(&Val("z")), nullptr);
    queue.DeleteMin(&result);
    EXPECT_EQ(StringOf(&result), "d");
    queue.DeleteValue(&Val("a"));
    EXPECT_EQ(queue.Size(), 1);
    EXPECT_EQ(StringOf(queue.FindMin()), "c");
    CDS_Priority copy;
    copy.Copy(&queue);
    queue.Clear();
    EXPECT_EQ(StringOf(copy.FindMin()), "c");
    EXPECT_EQ(queue.FindMin(), nullptr);
}
}  // namespace
