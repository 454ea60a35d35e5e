// Reduced copies of a bordered picture: which source pixel each target
// pixel takes, the margin and marker left out, clipping to the target.
#include "toolwindows/Thumbnail.h"

#include <gtest/gtest.h>

using namespace tq;

namespace {

// Pixel (x, y) of the picture: blue x, green y, red 7, marker 255.
BitsBuffer numbered(int w, int h)
{
    BitsBuffer b(w, h);
    b.fill(99);   // the margin must never show
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.pixel(x, y);
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 7;
            p[3] = 255;
        }
    return b;
}

} // namespace

TEST(Thumbnail, EachPixelTakesTheSourcePixelUnderItsCentre)
{
    const BitsBuffer src = numbered(10, 6);
    const struct {
        int tw, th;
        std::vector<int> xs, ys;   // source column of each target column, row of each row
    } cases[] = {
        {10, 6, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 2, 3, 4, 5}},   // as it is
        {5, 3, {1, 3, 5, 7, 9}, {1, 3, 5}},                             // halved
        {4, 2, {1, 3, 6, 8}, {1, 4}},                                   // (2i + 1) w / 2tw
        {1, 1, {5}, {3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tw);
        QImage img(12, 8, QImage::Format_RGB32);
        img.fill(qRgb(1, 2, 3));
        drawThumbnail(img, 1, 2, c.tw, c.th, src, 10, 6);
        for (int j = 0; j < c.th; ++j)
            for (int i = 0; i < c.tw; ++i)
                ASSERT_EQ(img.pixel(1 + i, 2 + j), qRgba(7, c.ys[j], c.xs[i], 255)) << i << "," << j;
        // Nothing outside the thumbnail is touched.
        EXPECT_EQ(img.pixel(0, 2), qRgb(1, 2, 3));
        EXPECT_EQ(img.pixel(1, 1), qRgb(1, 2, 3));
        EXPECT_EQ(img.pixel(1 + c.tw, 2), qRgb(1, 2, 3));
    }
}

TEST(Thumbnail, WhatFallsOutsideTheTargetIsLeftOut)
{
    const BitsBuffer src = numbered(4, 4);
    QImage img(3, 3, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    drawThumbnail(img, -1, 1, 4, 4, src, 4, 4);
    EXPECT_EQ(img.pixel(0, 1), qRgba(7, 0, 1, 255));
    EXPECT_EQ(img.pixel(2, 2), qRgba(7, 1, 3, 255));
    EXPECT_EQ(img.pixel(0, 0), 0u);
    // Nothing to draw: no crash, nothing changed.
    drawThumbnail(img, 5, 5, 4, 4, src, 4, 4);
    drawThumbnail(img, 0, 0, 0, 3, src, 4, 4);
    drawThumbnail(img, 0, 0, 3, 3, BitsBuffer(), 4, 4);
    EXPECT_EQ(img.pixel(0, 0), 0u);
}
