#include "files/byte_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace virevi {
namespace {

std::string Text(const TByteBuffer& buffer) {
    return std::string(buffer.data(), buffer.size());
}

TEST(ByteBuffer, GrowsInProportionAndKeepsItsBytes) {
    // Growing a byte at a time, by appending or resizing, must neither lose
    // bytes nor let the room run away from what is held.
    TByteBuffer buffer;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        if (i % 3 == 0) {
            buffer.resize(buffer.size() + 1);
            expected.push_back('\0');
        } else {
            const char byte = static_cast<char>('a' + i % 26);
            buffer.append(&byte, 1);
            expected.push_back(byte);
        }
        ASSERT_LE(buffer.capacity(), 2 * buffer.size() + 16) << i;
    }
    EXPECT_EQ(Text(buffer), expected);
    buffer.resize(5);
    EXPECT_EQ(Text(buffer), expected.substr(0, 5));
}

TEST(ByteBuffer, CopiesAreDeepAndMovesTakeTheBytes) {
    TByteBuffer first;
    first.append("abc");
    TByteBuffer copy(first);
    copy.append("d");
    EXPECT_EQ(Text(first), "abc");
    EXPECT_EQ(Text(copy), "abcd");
    TByteBuffer moved(std::move(copy));
    EXPECT_EQ(Text(moved), "abcd");
    first = moved;
    EXPECT_EQ(Text(first), "abcd");
    first = TByteBuffer();
    EXPECT_TRUE(first.empty());
    EXPECT_NE(first.data(), nullptr); // copying no bytes from it is still well defined
}

TEST(ByteBuffer, RoomPastTheEndIsTakenWithSetSize) {
    TByteBuffer buffer;
    buffer.append("ab");
    buffer.reserve(10);
    EXPECT_EQ(Text(buffer), "ab");
    buffer.data()[2] = 'c';
    buffer.SetSize(3);
    EXPECT_EQ(Text(buffer), "abc");
}

} // namespace
} // namespace virevi
