// The virtual board itself: what it does when setting up fails.

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "virtualboard/virtual_board.h"

namespace {

using virtualboard::VirtualBoard;

std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

TEST(VirtualBoard, AConstructorThatThrowsLeavesNoDescriptorOpen) {
    const std::size_t before = openDescriptors();
    EXPECT_THROW(VirtualBoard("/nonexistent-virtualboard-dir/board"), std::system_error);
    EXPECT_EQ(openDescriptors(), before);
}

}  // namespace
