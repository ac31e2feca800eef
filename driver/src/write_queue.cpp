#include "write_queue.h"

#include <utility>

namespace krvEBLowLevel {

void WriteQueue::push(Block block) {
    held += block.size();
    blocks.push_back(std::move(block));
}

void WriteQueue::pop() {
    held -= blocks.front().size();
    blocks.pop_front();
}

std::deque<Block> WriteQueue::takeAll() {
    held = 0;
    return std::exchange(blocks, {});
}

}  // namespace krvEBLowLevel
