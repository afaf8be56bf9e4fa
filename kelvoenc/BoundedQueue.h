#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>

// A queue between two stages of the pipeline. Push blocks while the queue is
// full, which keeps a fast stage from running ahead of a slow one. Full
// means as many items as its capacity, or, when it measures its items, as
// many bytes as its byte capacity (one item is always let in, however big). The queue
// finishes when each of its producers has called Finish and it has been
// emptied; Abort ends it at once for everyone, dropping what it holds.
//
// A stage that waits is woken for a batch of items, not for each: a consumer
// waiting on an empty queue once `batch` items wait (or a producer waits for
// room), a producer waiting on a full queue once `batch` places are free (or
// the queue is empty). Waking a thread costs two context switches, which
// per packet or picture came to a few percent of a conversion's CPU time.
template <typename T>
class BoundedQueue {
public:
    using Measure = std::function<std::size_t(const T&)>;

    struct Limits {
        std::size_t capacity = 1;
        std::size_t byteCapacity = std::numeric_limits<std::size_t>::max();
        std::size_t batch = 1;
    };

    BoundedQueue(std::size_t capacity, int producers) : BoundedQueue(Limits{capacity}, producers) {}
    BoundedQueue(Limits limits, int producers, Measure measure = {})
        : m_capacity(limits.capacity),
          m_byteCapacity(limits.byteCapacity),
          m_batch(std::clamp<std::size_t>(limits.batch, 1, limits.capacity)),
          m_measure(std::move(measure)),
          m_producers(producers) {}

    // False when the queue was aborted; the item is dropped then.
    bool Push(T item) {
        const std::size_t bytes = m_measure ? m_measure(item) : 0;
        std::unique_lock lock(m_mutex);
        if (!m_aborted && !HasRoomFor(bytes)) WaitForRoom(lock, bytes);
        if (m_aborted) return false;
        m_bytes += bytes;
        m_items.push_back(std::move(item));
        if (m_items.size() >= m_batch) m_notEmpty.notify_one();
        return true;
    }

    void Finish() {
        std::lock_guard lock(m_mutex);
        --m_producers;
        m_notEmpty.notify_all();
    }

    void Abort() {
        std::lock_guard lock(m_mutex);
        m_aborted = true;
        m_items.clear();
        m_bytes = 0;
        m_notEmpty.notify_all();
        m_notFull.notify_all();
    }

    bool Aborted() {
        std::lock_guard lock(m_mutex);
        return m_aborted;
    }

    // The next item; nothing when the queue has finished or was aborted.
    std::optional<T> Pop() {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [this] { return Ready(); });
        std::optional<T> item;
        TakeFront(item);
        return item;
    }

    enum class Wait { Item, TimedOut, Ended };

    // Waits for the next item at most until the deadline.
    Wait PopUntil(std::chrono::steady_clock::time_point deadline, std::optional<T>& item) {
        std::unique_lock lock(m_mutex);
        bool ready = m_notEmpty.wait_until(lock, deadline, [this] { return Ready(); });
        if (!ready) return Wait::TimedOut;
        return TakeFront(item) ? Wait::Item : Wait::Ended;
    }

private:
    // With the lock held and Ready() true.
    bool TakeFront(std::optional<T>& item) {
        if (m_aborted || m_items.empty()) return false;
        item = std::move(m_items.front());
        m_items.pop_front();
        if (m_measure) m_bytes -= m_measure(*item);
        if (m_waitingProducers > 0 && (m_items.empty() || m_items.size() + m_batch <= m_capacity))
            m_notFull.notify_all();
        return true;
    }

    // With the lock held, until the bytes fit and a batch of places is free
    // (or the queue is empty), or the queue is aborted. A consumer waiting
    // for a whole batch is woken first: this queue will hold no more.
    void WaitForRoom(std::unique_lock<std::mutex>& lock, std::size_t bytes) {
        ++m_waitingProducers;
        m_notEmpty.notify_all();
        m_notFull.wait(lock, [this, bytes] {
            return m_aborted || (HasRoomFor(bytes) && (m_items.empty() || m_items.size() + m_batch <= m_capacity));
        });
        --m_waitingProducers;
    }

    bool HasRoomFor(std::size_t bytes) const {
        return m_items.empty() || (m_items.size() < m_capacity && m_bytes + bytes <= m_byteCapacity);
    }

    // A consumer takes what is there without waiting; Push wakes one that
    // waits only once a batch is there.
    bool Ready() const { return m_aborted || !m_items.empty() || m_producers <= 0; }

    std::mutex m_mutex;
    std::condition_variable m_notEmpty;
    std::condition_variable m_notFull;
    std::deque<T> m_items;
    const std::size_t m_capacity;
    const std::size_t m_byteCapacity;
    const std::size_t m_batch;
    const Measure m_measure;
    std::size_t m_bytes = 0;
    int m_producers;
    int m_waitingProducers = 0;
    bool m_aborted = false;
};
