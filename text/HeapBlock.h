// Heap memory from the C runtime, released when the scope ends.
#pragma once

#include <cstddef>
#include <cstdlib>

class HeapBlock {
public:
    // No memory is asked for a size of 0; get() is then null.
    explicit HeapBlock(size_t size) : block(size != 0 ? std::malloc(size) : nullptr) {}
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    ~HeapBlock() { std::free(block); }
    void* get() const { return block; }

private:
    void* block;
};
