#include "engine/graphics/internal/sprite_state.h"

#include <cstddef>
#include <mutex>
#include <new>
#include <type_traits>
#include <vector>

namespace pentavel {
namespace graphics {
namespace internal {

static_assert(std::is_standard_layout<SpriteState>::value && offsetof(SpriteState, listPosition) == 0,
              "the draw list turns a node pointer back into its state");

namespace {

// One block holds a state while in use and a free-list link while free.
union StateBlock {
    StateBlock* nextFree;
    alignas(SpriteState) unsigned char bytes[sizeof(SpriteState)];
};

// Fixed-size blocks carved 32 at a time from chunks that are kept until exit.
class SpriteStatePool {
public:
    static constexpr std::size_t kBlocksPerChunk = 32;

    SpriteState* allocate() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (free_ == nullptr)
            grow();
        StateBlock* block = free_;
        free_ = block->nextFree;
        ++inUse_;
        return new (block->bytes) SpriteState();
    }

    void release(SpriteState* state) {
        std::lock_guard<std::mutex> lock(mutex_);
        state->~SpriteState();
        auto* block = reinterpret_cast<StateBlock*>(state);
        block->nextFree = free_;
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
        chunks_.emplace_back(new StateBlock[kBlocksPerChunk]);
        StateBlock* chunk = chunks_.back();
        for (std::size_t i = kBlocksPerChunk; i-- > 0;) {
            chunk[i].nextFree = free_;
            free_ = &chunk[i];
        }
    }

    std::mutex mutex_;
    std::vector<StateBlock*> chunks_;
    StateBlock* free_ = nullptr;
    std::size_t inUse_ = 0;
};

// Never destroyed: handles held by static objects may release their states during exit.
SpriteStatePool& pool() {
    static SpriteStatePool* instance = new SpriteStatePool;
    return *instance;
}

}  // namespace

SpriteState* allocateSpriteState() {
    return pool().allocate();
}

void releaseSpriteState(SpriteState* state) {
    if (state != nullptr)
        pool().release(state);
}

std::size_t spriteStatesInUse() {
    return pool().inUse();
}

std::size_t spriteStateBlocksOwned() {
    return pool().owned();
}

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
