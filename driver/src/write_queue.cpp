#include "write_queue.h"

namespace krvEBLowLevel {

bool WriteQueue::reserve(std::size_t bytes) {
    std::size_t claimed = reserved.load();
    do {
        if (bytes > capacity || claimed > capacity - bytes) return false;
    } while (!reserved.compare_exchange_weak(claimed, claimed + bytes));
    return true;
}

void WriteQueue::pop() {
    reserved -= blocks.front().size();
    blocks.pop_front();
}

void WriteQueue::clear() {
    while (!blocks.empty()) pop();
}

}  // namespace krvEBLowLevel
