#include "platform/QtImage.h"

#include <gtest/gtest.h>

namespace tq::platform {

TEST(QtImage, PicturesFromQtGetZeroMarkersAndKeepTheirColours)
{
    // 3 x 2, every pixel distinct; Qt stores 0xFF in the fourth byte.
    QImage img(3, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) img.setPixel(x, y, qRgba(10 * x + 1, 20 * y + 2, 30 + x + y, 255));
    const DibRecord r = dibFromImage(img);
    ASSERT_EQ(r.width, 3);
    ASSERT_EQ(r.height, 2);
    EXPECT_EQ(r.header, BitsHeader::forDib(3, 2));
    ASSERT_EQ(r.bits.size(), 24u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const uint8_t* p = r.row(y) + 4 * x;
            EXPECT_EQ(p[0], 30 + x + y);    // blue
            EXPECT_EQ(p[1], 20 * y + 2);    // green
            EXPECT_EQ(p[2], 10 * x + 1);    // red
            EXPECT_EQ(p[3], 0);             // marker
        }
    const QImage back = imageFromDib(r);
    ASSERT_EQ(back.size(), img.size());
    EXPECT_EQ(back.pixel(2, 1), img.pixel(2, 1));
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 255);
}

TEST(QtImage, NullAndIndexedImages)
{
    EXPECT_EQ(dibFromImage(QImage()).width, 0);
    EXPECT_TRUE(dibFromImage(QImage()).bits.empty());
    EXPECT_TRUE(imageFromDib(DibRecord{}).isNull());

    QImage mono(2, 1, QImage::Format_Indexed8);
    mono.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    mono.setPixel(0, 0, 0);
    mono.setPixel(1, 0, 1);
    const DibRecord r = dibFromImage(mono);
    EXPECT_EQ(r.bits, (std::vector<uint8_t>{0, 0, 255, 0, 255, 0, 0, 0}));
}

} // namespace tq::platform
