#include "core/BitsBuffer.h"

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

// A shared block is read by both holders, and none of the buffer's own
// writers reaches the other holder through it.
TEST(BitsBuffer, SharedBlockIsNeverWrittenForTheOtherHolder)
{
    struct Case {
        const char* name;
        void (*write)(BitsBuffer& b);
    };
    const Case cases[] = {
        {"unshare, then write", [](BitsBuffer& b) { b.unshare(); b.at(0, 0, 0) = 99; }},
        {"assign same size", [](BitsBuffer& b) { BitsBuffer other(2, 2); other.at(0, 0, 0) = 99; b = other; }},
        {"assign its own share", [](BitsBuffer& b) { BitsBuffer again = b.share(); b = again; b.at(0, 0, 0) = 99; }},
        {"fill", [](BitsBuffer& b) { b.fill(99); }},
        {"clear margin", [](BitsBuffer& b) { b.clearMargin(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BitsBuffer a(2, 2);
        a.at(0, 0, 0) = 5;
        a.at(0, -1, -1) = 7;
        BitsBuffer b = a.share();
        EXPECT_TRUE(a.shared());
        EXPECT_EQ(b.data(), a.data());   // nothing copied
        EXPECT_TRUE(b == a);
        c.write(b);
        EXPECT_EQ(a.at(0, 0, 0), 5);
        EXPECT_EQ(a.at(0, -1, -1), 7);
        EXPECT_FALSE(a.shared());
        EXPECT_NE(b.data(), a.data());
    }
}

TEST(BitsBuffer, SharedBlockOutlivesItsFirstHolder)
{
    BitsBuffer b;
    {
        BitsBuffer a(3, 2);
        a.at(2, 1, 1) = 42;
        b = a.share();
        a.clear();
        EXPECT_FALSE(a.allocated());
    }
    ASSERT_TRUE(b.allocated());
    EXPECT_FALSE(b.shared());
    EXPECT_EQ(b.width(), 3);
    EXPECT_EQ(b.at(2, 1, 1), 42);
    // A move carries the block; the buffer moved from holds nothing.
    BitsBuffer c = std::move(b);
    EXPECT_FALSE(b.allocated());
    EXPECT_EQ(b.data(), nullptr);
    EXPECT_EQ(c.at(2, 1, 1), 42);
    // Unsharing an unshared buffer keeps its block.
    const uint8_t* before = c.data();
    c.unshare();
    EXPECT_EQ(c.data(), before);
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
