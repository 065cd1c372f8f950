#include "engine/core/signal.h"

#include <mutex>
#include <vector>

namespace pentavel {
namespace {

// Blocks are carved from chunks of 32; freed blocks go onto an intrusive free list.
class BlockPool {
public:
    static constexpr std::size_t kBlocksPerChunk = 32;

    ~BlockPool() {
        for (Connection* chunk : chunks_) ::operator delete(chunk);
    }

    Connection* allocate() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (free_ == nullptr) grow();
        Connection* block = free_;
        free_ = block->next;
        ++inUse_;
        return new (block) Connection();
    }

    void release(Connection* block) {
        if (block == nullptr) return;
        std::lock_guard<std::mutex> lock(mutex_);
        block->~Connection();
        block->next = free_;
        free_ = block;
        --inUse_;
    }

    std::size_t inUse() {
        std::lock_guard<std::mutex> lock(mutex_);
        return inUse_;
    }

    std::size_t owned() {
        std::lock_guard<std::mutex> lock(mutex_);
        return chunks_.size() * kBlocksPerChunk;
    }

private:
    void grow() {
        auto* chunk = static_cast<Connection*>(::operator new(sizeof(Connection) * kBlocksPerChunk));
        chunks_.push_back(chunk);
        for (std::size_t i = kBlocksPerChunk; i-- > 0;) {
            Connection* block = new (&chunk[i]) Connection();
            block->next = free_;
            free_ = block;
        }
    }

    std::mutex mutex_;
    std::vector<Connection*> chunks_;
    Connection* free_ = nullptr;
    std::size_t inUse_ = 0;
};

// Made on first use; signals allocate from it in their constructors, so it outlives every static signal.
BlockPool& pool() {
    static BlockPool instance;
    return instance;
}

void unlinkFromTracker(Connection* slot) {
    if (slot->trackerBack == nullptr) return;
    slot->trackerBack->trackerNext = slot->trackerNext;
    if (slot->trackerNext != nullptr) slot->trackerNext->trackerBack = slot->trackerBack;
    slot->trackerBack = nullptr;
    slot->trackerNext = nullptr;
}

}  // namespace

namespace SlotPool {
Connection* allocate() { return pool().allocate(); }
void release(Connection* block) { pool().release(block); }
std::size_t blocksInUse() { return pool().inUse(); }
std::size_t blocksOwned() { return pool().owned(); }
}  // namespace SlotPool

ConnectionTracker* createTracker() {
    ConnectionTracker* tracker = SlotPool::allocate();
    tracker->referenceCount = 1;
    return tracker;
}

void retainTracker(ConnectionTracker* tracker) {
    if (tracker != nullptr) ++tracker->referenceCount;
}

void releaseTracker(ConnectionTracker* tracker) {
    if (tracker == nullptr || --tracker->referenceCount > 0) return;
    // Unlinking from the circular signal list keeps the signal's tail (head->previous) correct.
    for (Connection* slot = tracker->trackerNext; slot != nullptr;) {
        Connection* following = slot->trackerNext;
        slot->next->previous = slot->previous;
        slot->previous->next = slot->next;
        SlotPool::release(slot);
        slot = following;
    }
    SlotPool::release(tracker);
}

std::size_t trackedConnectionCount(const ConnectionTracker* tracker) {
    std::size_t count = 0;
    for (const Connection* slot = tracker->trackerNext; slot != nullptr; slot = slot->trackerNext) ++count;
    return count;
}

namespace detail {

Connection* createHead() {
    Connection* head = SlotPool::allocate();
    head->next = head;
    head->previous = head;
    return head;
}

void destroySignal(Connection* head) {
    for (Connection* node = head->next; node != head;) {
        Connection* following = node->next;
        unlinkFromTracker(node);
        SlotPool::release(node);
        node = following;
    }
    SlotPool::release(head);
}

void appendSlot(Connection* head, Connection* slot, ConnectionTracker* tracker) {
    Connection* tail = head->previous;
    tail->next = slot;
    slot->previous = tail;
    slot->next = head;
    head->previous = slot;
    if (tracker == nullptr) return;
    slot->trackerNext = tracker->trackerNext;
    slot->trackerBack = tracker;
    if (tracker->trackerNext != nullptr) tracker->trackerNext->trackerBack = slot;
    tracker->trackerNext = slot;
}

std::size_t countSlots(const Connection* head) {
    std::size_t count = 0;
    for (const Connection* node = head->next; node != head; node = node->next) ++count;
    return count;
}

}  // namespace detail
}  // namespace pentavel
