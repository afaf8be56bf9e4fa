#include "kelvoenc/BoundedQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;

TEST(BoundedQueue, EndsOnlyWhenEveryProducerHasFinished) {
    BoundedQueue<int> queue(4, 2);
    queue.Push(1);
    queue.Finish();
    EXPECT_EQ(queue.Pop(), 1);
    std::optional<int> item;
    EXPECT_EQ(queue.PopUntil(std::chrono::steady_clock::now() + 10ms, item), BoundedQueue<int>::Wait::TimedOut);
    queue.Finish();
    EXPECT_EQ(queue.PopUntil(std::chrono::steady_clock::now() + 10s, item), BoundedQueue<int>::Wait::Ended);
}

TEST(BoundedQueue, AbortReleasesABlockedProducerAndConsumer) {
    BoundedQueue<int> full(1, 1);
    full.Push(1);
    bool pushed = true;
    std::thread producer([&] { pushed = full.Push(2); });
    BoundedQueue<int> empty(1, 1);
    std::optional<int> popped = 0;
    std::thread consumer([&] { popped = empty.Pop(); });
    full.Abort();
    empty.Abort();
    producer.join();
    consumer.join();
    EXPECT_FALSE(pushed);
    EXPECT_FALSE(popped);
    EXPECT_FALSE(full.Pop());
}

TEST(BoundedQueue, KeepsOrderAcrossAFullQueue) {
    // Single steps; batches; batches where the bytes fill the queue first.
    for (BoundedQueue<int>::Limits limits :
         {BoundedQueue<int>::Limits{2}, BoundedQueue<int>::Limits{8, 1000, 3}, BoundedQueue<int>::Limits{8, 25, 4}}) {
        BoundedQueue<int> queue(limits, 1, [](const int&) { return std::size_t{10}; });
        std::thread producer([&] {
            for (int i = 0; i < 100; ++i) queue.Push(i);
            queue.Finish();
        });
        int expected = 0;
        while (std::optional<int> item = queue.Pop()) EXPECT_EQ(*item, expected++);
        producer.join();
        EXPECT_EQ(expected, 100) << "capacity " << limits.capacity << ", batch " << limits.batch;
    }
}

TEST(BoundedQueue, AWaitingConsumerIsWokenForABatchOrTheEnd) {
    BoundedQueue<int> queue({4, 1000, 3}, 1);
    std::atomic<bool> started = false;
    std::atomic<int> popped = 0;
    std::thread consumer([&] {
        started = true;
        while (std::optional<int> item = queue.Pop()) popped = *item;
    });
    while (!started) std::this_thread::yield();
    std::this_thread::sleep_for(50ms);  // the consumer waits on the empty queue
    queue.Push(1);
    queue.Push(2);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(popped, 0) << "woken before a batch was there";
    queue.Push(3);
    queue.Push(4);
    queue.Finish();
    consumer.join();
    EXPECT_EQ(popped, 4) << "an item was left behind";
}

TEST(BoundedQueue, ByteLimitHoldsBackASecondItemButAlwaysLetsOneIn) {
    BoundedQueue<int> queue({8, 100}, 1, [](const int& bytes) { return static_cast<std::size_t>(bytes); });
    queue.Push(150);  // larger than the whole limit, yet alone it goes in
    std::atomic<bool> pushed = false;
    std::thread producer([&] { pushed = queue.Push(60); });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(pushed) << "the byte limit did not hold the second item back";
    EXPECT_EQ(queue.Pop(), 150);
    producer.join();
    EXPECT_TRUE(pushed);
    EXPECT_TRUE(queue.Push(40)) << "60 + 40 bytes fit the limit of 100";
}
