#ifndef BOARDIO_WRITE_QUEUE_H
#define BOARDIO_WRITE_QUEUE_H

#include <atomic>
#include <cstddef>
#include <deque>
#include <vector>

namespace krvEBLowLevel {

using Block = std::vector<unsigned char>;

// Blocks waiting for the port, first in, first out, within a bound in bytes.
//
// Room is claimed on the caller's thread, before the block is even handed to
// the I/O thread, so that nothing on the way to the port can grow without
// bound when the board does not drain the line (or the I/O thread is held
// up). The blocks themselves live on the I/O thread only.
class WriteQueue {
public:
    explicit WriteQueue(std::size_t capacity) : capacity(capacity) {}

    // Any thread: claims room for a block of `bytes`; false when the bytes
    // already claimed and these would pass the bound.
    bool reserve(std::size_t bytes);
    // I/O thread only, for blocks whose room was claimed.
    void push(Block block) { blocks.push_back(std::move(block)); }
    bool empty() const { return blocks.empty(); }
    // The block to write next; it stays in place until pop(), so a write in
    // flight can point into it.
    const Block& front() const { return blocks.front(); }
    void pop();
    void clear();

private:
    const std::size_t capacity;
    std::atomic<std::size_t> reserved{0};
    std::deque<Block> blocks;
};

}  // namespace krvEBLowLevel

#endif
