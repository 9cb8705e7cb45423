#include "player/timing/picture_queue.h"

#include <gtest/gtest.h>

namespace quorvane::player {
namespace {

std::shared_ptr<const Picture> At(double time) {
  auto picture = std::make_shared<Picture>();
  picture->time = time;
  return picture;
}

// Pictures at 0, 0.1 and 0.2 s: the clock a test sets by hand is the now passed in.
PictureQueue ThreeQueued() {
  PictureQueue queue(3);
  EXPECT_TRUE(queue.Push(At(0.0))) << "a picture in an empty queue is news";
  EXPECT_FALSE(queue.Push(At(0.1)));
  EXPECT_FALSE(queue.Push(At(0.2)));
  return queue;
}

TEST(PictureQueue, HandsOutTheNewestDuePictureAndDropsTheOlderOnes) {
  PictureQueue queue = ThreeQueued();
  EXPECT_TRUE(queue.Full());
  EXPECT_EQ(queue.TakeDue(-0.01), nullptr) << "nothing is due before its time";
  EXPECT_EQ(queue.Size(), 3u);
  std::shared_ptr<const Picture> due = queue.TakeDue(0.15);
  ASSERT_NE(due, nullptr);
  EXPECT_DOUBLE_EQ(due->time, 0.1);
  EXPECT_EQ(queue.Size(), 1u);
  EXPECT_FALSE(queue.Full());
  EXPECT_DOUBLE_EQ(queue.TakeDue(0.2)->time, 0.2) << "due at its very time";
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.TakeDue(10), nullptr);
}

TEST(PictureQueue, APictureNobodyTookGoesOnlyOnceTheNextOneIsDue) {
  PictureQueue queue = ThreeQueued();
  queue.DropOverdue(0.05);
  EXPECT_EQ(queue.Size(), 3u) << "the first is due, but nothing newer is: it stays to be shown";
  queue.DropOverdue(0.1);
  EXPECT_EQ(queue.Size(), 2u);
  queue.DropOverdue(5.0);
  EXPECT_EQ(queue.Size(), 1u) << "the newest picture always stays";
  EXPECT_DOUBLE_EQ(queue.TakeDue(5.0)->time, 0.2);
}

TEST(PictureQueue, SaysWhenTheFirstAndSecondPicturesFallDue) {
  PictureQueue queue(3);
  EXPECT_EQ(queue.FirstDueIn(0), std::nullopt);
  queue.Push(At(0.5));
  EXPECT_DOUBLE_EQ(*queue.FirstDueIn(0.2), 0.3);
  EXPECT_DOUBLE_EQ(*queue.FirstDueIn(0.7), -0.2) << "overdue: less than nothing to wait";
  EXPECT_EQ(queue.SecondDueIn(0), std::nullopt);
  queue.Push(At(0.6));
  EXPECT_DOUBLE_EQ(*queue.SecondDueIn(0.5), 0.1);
  queue.Clear();
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.FirstDueIn(0), std::nullopt);
}

}  // namespace
}  // namespace quorvane::player
