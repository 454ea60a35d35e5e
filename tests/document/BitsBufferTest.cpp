#include "platform/BitsBuffer.h"

#include <gtest/gtest.h>

namespace tq {

TEST(BitsBuffer, LayoutOfOneByOne)
{
    BitsBuffer b(1, 1);
    EXPECT_TRUE(b.allocated());
    EXPECT_EQ(b.byteSize(), 100u);
    EXPECT_EQ(b.stride(), 20);
    for (size_t i = 0; i < b.byteSize(); ++i) EXPECT_EQ(b.data()[i], 0);
    EXPECT_EQ(b.offset(0, -2, -2), 0u);
    EXPECT_EQ(b.offset(3, 2, 2), 99u);
    EXPECT_EQ(b.offset(0, 0, 0), 4u * (2 * 5 + 2));
}

TEST(BitsBuffer, LayoutOfThreeByTwo)
{
    BitsBuffer b(3, 2);
    EXPECT_EQ(b.byteSize(), 4u * 7 * 6);
    // Channel fastest, then x, then y, rows top-down.
    EXPECT_EQ(b.offset(1, 0, 0) - b.offset(0, 0, 0), 1u);
    EXPECT_EQ(b.offset(0, 1, 0) - b.offset(0, 0, 0), 4u);
    EXPECT_EQ(b.offset(0, 0, 1) - b.offset(0, 0, 0), 28u);
    b.at(2, 2, 1) = 9;
    EXPECT_EQ(b.row(1)[4 * 2 + 2], 9);
    EXPECT_EQ(b.pixel(-2, -2), b.data());
}

TEST(BitsBuffer, ZeroByZeroIsAllocatedAndDefaultIsNot)
{
    BitsBuffer none;
    EXPECT_FALSE(none.allocated());
    BitsBuffer empty(0, 0);
    EXPECT_TRUE(empty.allocated());
    EXPECT_EQ(empty.byteSize(), 64u);
}

TEST(BitsBuffer, IsAValue)
{
    BitsBuffer a(2, 2);
    a.at(0, 0, 0) = 5;
    BitsBuffer b = a;
    b.at(0, 0, 0) = 6;
    EXPECT_EQ(a.at(0, 0, 0), 5);
    EXPECT_FALSE(a == b);
}

TEST(BitsBuffer, RefusesImpossibleSizes)
{
    EXPECT_THROW(BitsBuffer(-1, 3), std::length_error);
    EXPECT_THROW(BitsBuffer(3, kMaxPictureSide + 1), std::length_error);
}

TEST(BitsHeader, WritesLittleEndianFields)
{
    const BitsHeader h = BitsHeader::forBuffer(1, 1);
    EXPECT_EQ(h.biSize, 40);
    EXPECT_EQ(h.biWidth, 5);
    EXPECT_EQ(h.biHeight, -5);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 32);
    uint8_t raw[40];
    h.writeTo(raw);
    const uint8_t want[16] = {40, 0, 0, 0, 5, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF, 1, 0, 32, 0};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(raw[i], want[i]) << i;
    for (int i = 16; i < 40; ++i) EXPECT_EQ(raw[i], 0) << i;
    EXPECT_EQ(BitsHeader::readFrom(raw), h);
}

} // namespace tq
