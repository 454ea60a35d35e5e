#include "document/Numeric.h"

#include <gtest/gtest.h>

namespace tq {

TEST(Numeric, RoundsHalvesToEven)
{
    struct Case { double v; int32_t want; };
    const Case cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {127.5, 128}, {254.5, 254}, {255.5, 256}, {0.49999, 0}, {2.500001, 3},
    };
    for (const Case& c : cases) EXPECT_EQ(rnd(c.v), c.want) << c.v;
}

TEST(Numeric, ByteConversionFailsOutsideRange)
{
    struct Case { double v; bool ok; uint8_t want; };
    const Case cases[] = {
        {0.5, true, 0}, {-0.5, true, 0}, {-0.51, false, 0}, {127.5, true, 128},
        {254.5, true, 254}, {255.49, true, 255}, {255.5, false, 0}, {300.0, false, 0},
        {-2.5, false, 0}, {std::nan(""), false, 0},
    };
    for (const Case& c : cases) {
        uint8_t out = 77;
        EXPECT_EQ(toByte(c.v, out), c.ok) << c.v;
        EXPECT_EQ(out, c.ok ? c.want : 77) << c.v;   // a failure leaves the byte alone
    }
}

TEST(Numeric, SingleStoreAndTruncatingDivision)
{
    EXPECT_EQ(single(0.1), 0.1f);
    EXPECT_NE(static_cast<double>(single(0.1)), 0.1);
    EXPECT_EQ(idiv(7, 2), 3);
    EXPECT_EQ(idiv(-7, 2), -3);
    EXPECT_EQ(lowByte(256 + 7), 7);
    EXPECT_EQ(lowByte(-1), 255);
}

TEST(Numeric, ValReadsTheLeadingNumber)
{
    struct Case { const char* text; double want; };
    const Case cases[] = {
        {"42abc", 42}, {"42.5", 42.5}, {"  17", 17}, {"-3x", -3}, {"abc", 0}, {"", 0},
        {".5", 0.5}, {"1e2", 100}, {"1e", 1}, {"+8", 8}, {"-", 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.want) << c.text;
    // Text boxes then round the value half to even.
    EXPECT_EQ(rnd(Val("42.5")), 42);
    EXPECT_EQ(rnd(Val("43.5")), 44);
}

} // namespace tq
