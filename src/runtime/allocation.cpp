#include "runtime/allocation.h"

#include <cstdlib>
#include <utility>

namespace virevi {

namespace {
TAllocationHook& Hook() {
    static TAllocationHook hook;
    return hook;
}
} // namespace

void SetAllocationHook(TAllocationHook hook) {
    Hook() = std::move(hook);
}

void* AllocateBytes(std::size_t bytes) {
    if (Hook() && Hook()(bytes)) {
        throw std::bad_alloc();
    }
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* ShrinkBytes(void* block, std::size_t bytes) noexcept {
    void* shrunk = std::realloc(block, bytes);
    return shrunk != nullptr ? shrunk : block;
}

void FreeBytes(void* block) noexcept {
    std::free(block);
}

} // namespace virevi
