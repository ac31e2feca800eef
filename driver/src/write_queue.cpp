#include "write_queue.h"

#include <utility>

namespace krvEBLowLevel {

void WriteQueue::push(Block block) {
    held += block->size();
    blocks.push_back(std::move(block));
}

void WriteQueue::pop() {
    held -= blocks.front()->size();
    blocks.pop_front();
}

std::size_t WriteQueue::clear() {
    held = 0;
    return std::exchange(blocks, {}).size();
}

}  // namespace krvEBLowLevel
