// Every block carries a small header in front of the caller's bytes; the
// allocator keeps the live root and chained blocks in sets, so a bad or
// repeated free is recognised without reading memory it does not own.
#include "MapiAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace mapi_allocator {
namespace {

// Keeps the caller's bytes aligned for any MAPI record (doubles, pointers).
struct alignas(16) Block {
    Block* root;      // null for a root block
    Block* nextMore;  // next block chained to the same root
    ULONG size;
};

// Fresh blocks are filled with this byte so that a caller who forgets to
// initialise a record reads garbage visibly rather than lucky zeroes.
constexpr unsigned char kFreshFill = 0xA5;

struct State {
    std::mutex mutex;
    std::unordered_set<Block*> roots;
    std::unordered_set<Block*> mores;
    Counts counts;
};

State& TheState() {
    // Never destroyed: blocks may be freed during static destruction.
    static State* state = new State;
    return *state;
}

Block* HeaderOf(LPCVOID buffer) {
    return reinterpret_cast<Block*>(const_cast<void*>(buffer)) - 1;
}

Block* NewBlock(ULONG size) {
    void* memory = std::malloc(sizeof(Block) + size);
    if (memory == nullptr) return nullptr;
    Block* block = static_cast<Block*>(memory);
    block->root = nullptr;
    block->nextMore = nullptr;
    block->size = size;
    std::memset(block + 1, kFreshFill, size);
    return block;
}

}  // namespace

SCODE Allocate(ULONG size, LPVOID* buffer) {
    if (buffer == nullptr) return E_INVALIDARG;
    *buffer = nullptr;
    Block* block = NewBlock(size);
    if (block == nullptr) return E_OUTOFMEMORY;
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    // Out of memory for the accounting is out of memory for the caller:
    // an error result, never an exception.
    try {
        state.roots.insert(block);
    } catch (...) {
        std::free(block);
        return E_OUTOFMEMORY;
    }
    ++state.counts.allocations;
    ++state.counts.outstanding;
    *buffer = block + 1;
    return S_OK;
}

SCODE AllocateMore(ULONG size, LPVOID object, LPVOID* buffer) {
    if (buffer == nullptr) return E_INVALIDARG;
    *buffer = nullptr;
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    Block* root = nullptr;
    if (object != nullptr) {
        Block* header = HeaderOf(object);
        if (state.roots.count(header) != 0) {
            root = header;
        } else if (state.mores.count(header) != 0) {
            root = header->root;
        }
    }
    if (root == nullptr) {
        ++state.counts.invalidMore;
        return E_INVALIDARG;
    }
    Block* block = NewBlock(size);
    if (block == nullptr) return E_OUTOFMEMORY;
    try {
        state.mores.insert(block);
    } catch (...) {
        std::free(block);
        return E_OUTOFMEMORY;
    }
    block->root = root;
    block->nextMore = root->nextMore;
    root->nextMore = block;
    ++state.counts.moreBlocks;
    *buffer = block + 1;
    return S_OK;
}

ULONG Free(LPVOID buffer) {
    if (buffer == nullptr) return S_OK;
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    Block* root = HeaderOf(buffer);
    if (state.roots.erase(root) == 0) {
        ++state.counts.invalidFrees;
        return static_cast<ULONG>(E_INVALIDARG);
    }
    for (Block* more = root->nextMore; more != nullptr;) {
        Block* next = more->nextMore;
        state.mores.erase(more);
        std::free(more);
        more = next;
    }
    std::free(root);
    ++state.counts.frees;
    --state.counts.outstanding;
    return S_OK;
}

Counts GetCounts() {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.counts;
}

bool IsLiveRoot(LPCVOID buffer) {
    if (buffer == nullptr) return false;
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.roots.count(HeaderOf(buffer)) != 0;
}

}  // namespace mapi_allocator
