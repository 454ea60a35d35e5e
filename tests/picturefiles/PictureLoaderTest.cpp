// The platform's picture loader reads by content and refuses what it cannot.
#include "picturefiles/PictureLoader.h"
#include "document/FreeImageBridge.h"

#include "document/PictureFixtures.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

namespace tq {
namespace {

using testing::PictureTempDir;
using testing::writeFile;

TEST(PictureLoader, ReadsBmpUnderAnyNameAndRefusesTheRest)
{
    PictureTempDir dir;
    mFormat::InitFreeImage();
    FIBITMAP* dib = FreeImage_Allocate(3, 2, 24);
    BYTE* top = FreeImage_GetScanLine(dib, 1);
    top[0] = 1;
    top[1] = 2;
    top[2] = 3;
    ASSERT_TRUE(FreeImage_Save(FIF_BMP, dib, dir.path("a.bmp").c_str(), 0));
    ASSERT_TRUE(FreeImage_Save(FIF_BMP, dib, dir.path("a.dib").c_str(), 0));
    FreeImage_Unload(dib);
    for (const char* name : {"a.bmp", "a.dib"}) {
        const auto pic = loadPlatformPicture(dir.path(name));
        ASSERT_TRUE(pic.has_value()) << name;
        EXPECT_EQ(pic->width, 3);
        EXPECT_EQ(pic->height, 2);
        EXPECT_EQ(pic->header, BitsHeader::forDib(3, 2));
        EXPECT_EQ(std::vector<uint8_t>(pic->bits.begin(), pic->bits.begin() + 4), (std::vector<uint8_t>{1, 2, 3, 0}));
    }
    writeFile(dir.path("m.wmf"), {0xD7, 0xCD, 0xC6, 0x9A, 0, 0});
    writeFile(dir.path("cut.bmp"), {'B', 'M', 0, 0});
    EXPECT_FALSE(loadPlatformPicture(dir.path("m.wmf")).has_value());
    EXPECT_FALSE(loadPlatformPicture(dir.path("cut.bmp")).has_value());
    EXPECT_FALSE(loadPlatformPicture(dir.path("missing.gif")).has_value());
    EXPECT_FALSE(loadPlatformPicture(dir.path("")).has_value());
}

} // namespace
} // namespace tq
