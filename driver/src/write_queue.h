#ifndef BOARDIO_WRITE_QUEUE_H
#define BOARDIO_WRITE_QUEUE_H

#include <cstddef>
#include <deque>
#include <vector>

namespace krvEBLowLevel {

using Block = std::vector<unsigned char>;

// Blocks waiting for the port, first in, first out, within a bound in bytes,
// so that nothing on the way to the port grows without bound when the board
// does not drain the line. Not thread-safe: its owner guards it.
class WriteQueue {
public:
    explicit WriteQueue(std::size_t capacity) : capacity(capacity) {}

    // Whether a block of `bytes` still fits within the bound.
    bool fits(std::size_t bytes) const { return bytes <= capacity && held <= capacity - bytes; }
    void push(Block block);
    bool empty() const { return blocks.empty(); }
    // The block to write next; it stays in place until pop(), so a write in
    // flight can point into it, and blocks pushed meanwhile do not move it.
    const Block& front() const { return blocks.front(); }
    void pop();
    // Empties the queue: the blocks it held.
    std::deque<Block> takeAll();

private:
    const std::size_t capacity;
    std::size_t held = 0;
    std::deque<Block> blocks;
};

}  // namespace krvEBLowLevel

#endif
