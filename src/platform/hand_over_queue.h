#pragma once

#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

namespace v270::platform {

// Items one side hands to another that a message wakes. The message carries nothing: the items
// wait here, so a message forged by another program finds nothing it did not put. One message
// wakes the taker for each batch: a push tells when the queue was empty. Past `capacity`
// waiting items, new ones are dropped, so a taker that stops taking costs bounded memory.
template <typename Item>
class HandOverQueue {
  public:
    explicit HandOverQueue(size_t capacity) : capacity_(capacity) {}

    // Adds `item`; true when the taker must be woken, false when it already was or the item was
    // dropped.
    bool push(Item item) {
        const std::lock_guard lock(mutex_);
        if (items_.size() >= capacity_)
            return false;
        items_.push_back(std::move(item));
        return items_.size() == 1;
    }

    // Everything handed over and not yet taken, oldest first.
    std::vector<Item> takeAll() {
        const std::lock_guard lock(mutex_);
        return std::exchange(items_, {});
    }

  private:
    const size_t capacity_;
    std::mutex mutex_;
    std::vector<Item> items_;
};

}  // namespace v270::platform
