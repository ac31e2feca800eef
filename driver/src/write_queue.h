#ifndef BOARDIO_WRITE_QUEUE_H
#define BOARDIO_WRITE_QUEUE_H

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

namespace krvEBLowLevel {

// A block of bytes for the board, shared with the write that is putting it
// on a port: a write abandoned when its port closed may still read it.
using Block = std::shared_ptr<const std::vector<unsigned char>>;

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
    const Block& front() const { return blocks.front(); }
    void pop();
    // Empties the queue: how many blocks it held.
    std::size_t clear();

private:
    const std::size_t capacity;
    std::size_t held = 0;
    std::deque<Block> blocks;
};

}  // namespace krvEBLowLevel

#endif
