// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mutex-guarded pool of fixed-size blocks for one type: carves blocks 32 at a time from chunks that it
// keeps until it is destroyed, and recycles freed blocks through an intrusive free list. Small objects that
// come and go (signal blocks, sprite states) never touch the general heap after warm-up.

#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace pentavel {

template <class T>
class BlockPool {
public:
    static constexpr std::size_t kBlocksPerChunk = 32;

    BlockPool() = default;
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    // A value-initialised T in a pool block; throws std::bad_alloc like new when memory runs out.
    T* allocate() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (free_ == nullptr)
            grow();
        Block* block = free_;
        free_ = block->nextFree;
        ++inUse_;
        return new (block->bytes) T();
    }

    // Destroys the object and returns its block. Null is ignored.
    void release(T* object) {
        if (object == nullptr)
            return;
        std::lock_guard<std::mutex> lock(mutex_);
        object->~T();
        auto* block = reinterpret_cast<Block*>(object);
        block->nextFree = free_;
        free_ = block;
        --inUse_;
    }

    // Blocks handed out.
    std::size_t inUse() {
        std::lock_guard<std::mutex> lock(mutex_);
        return inUse_;
    }

    // Blocks owned, free or handed out.
    std::size_t owned() {
        std::lock_guard<std::mutex> lock(mutex_);
        return chunks_.size() * kBlocksPerChunk;
    }

private:
    union Block {
        Block* nextFree;
        alignas(T) unsigned char bytes[sizeof(T)];
    };

    void grow() {
        chunks_.push_back(std::make_unique<Block[]>(kBlocksPerChunk));
        Block* chunk = chunks_.back().get();
        for (std::size_t i = kBlocksPerChunk; i-- > 0;) {
            chunk[i].nextFree = free_;
            free_ = &chunk[i];
        }
    }

    std::mutex mutex_;
    std::vector<std::unique_ptr<Block[]>> chunks_;
    Block* free_ = nullptr;
    std::size_t inUse_ = 0;
};

}  // namespace pentavel
