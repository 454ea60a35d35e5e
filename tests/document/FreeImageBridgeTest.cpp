// The FreeImage glue: conversions both ways, drawing, inspection and the
// failure texts.
#include "document/FreeImageBridge.h"

#include "document/PictureFixtures.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

namespace tq {
namespace {

using testing::makePicture;

DibRecord surface(int w, int h, uint8_t fill)
{
    DibRecord d = makePicture(w, h);
    std::fill(d.bits.begin(), d.bits.end(), fill);
    return d;
}

TEST(mFormat, DibFromBmpOfThreeByTwoIsBottomUp32Bits)
{
    mFormat::InitFreeImage();
    const DibRecord pic = makePicture(3, 2);
    FIBITMAP* dib = nullptr;
    EXPECT_EQ(mFormat::FreeImage_DIB_From_BMP(&pic, dib).error, "");
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(FreeImage_GetWidth(dib), 3u);
    EXPECT_EQ(FreeImage_GetHeight(dib), 2u);
    EXPECT_EQ(FreeImage_GetBPP(dib), 32u);
    // FreeImage's line 0 is the bitmap's bottom row.
    EXPECT_EQ(0, std::memcmp(FreeImage_GetScanLine(dib, 0), pic.row(1), 12));
    EXPECT_EQ(0, std::memcmp(FreeImage_GetScanLine(dib, 1), pic.row(0), 12));

    // And back: the same bitmap.
    std::optional<DibRecord> back;
    ASSERT_TRUE(mFormat::FreeImage_BMP_From_DIB(dib, back));
    EXPECT_EQ(back->bits, pic.bits);
    EXPECT_EQ(back->header, BitsHeader::forDib(3, 2));

    // The reference's old image is unloaded when a new conversion starts.
    EXPECT_FALSE(mFormat::FreeImage_DIB_From_BMP(nullptr, dib));
    EXPECT_EQ(dib, nullptr);
}

TEST(mFormat, BmpFromDibOfEveryDepth)
{
    mFormat::InitFreeImage();
    struct Case {
        FREE_IMAGE_TYPE type;
        int bpp;
    };
    for (const Case c : {Case{FIT_BITMAP, 1}, Case{FIT_BITMAP, 4}, Case{FIT_BITMAP, 8}, Case{FIT_BITMAP, 16},
                         Case{FIT_BITMAP, 24}, Case{FIT_BITMAP, 32}, Case{FIT_UINT16, 16}, Case{FIT_RGB16, 48}, Case{FIT_RGBAF, 128},
                         Case{FIT_RGBA16, 64}, Case{FIT_FLOAT, 32}, Case{FIT_RGBF, 96}}) {
        SCOPED_TRACE(::testing::Message() << c.type << "/" << c.bpp);
        FIBITMAP* dib = FreeImage_AllocateT(c.type, 5, 3, c.bpp);
        ASSERT_NE(dib, nullptr);
        std::optional<DibRecord> bmp = surface(1, 1, 0);
        ASSERT_EQ(mFormat::FreeImage_BMP_From_DIB(dib, bmp).error, "");
        EXPECT_EQ(bmp->width, 5);
        EXPECT_EQ(bmp->height, 3);
        EXPECT_EQ(bmp->bits.size(), 60u);
        FreeImage_Unload(dib);
    }
    // A palette image takes its colours from the palette.
    FIBITMAP* pal = FreeImage_Allocate(2, 1, 8);
    RGBQUAD* p = FreeImage_GetPalette(pal);
    p[3] = RGBQUAD{10, 20, 30, 0};
    FreeImage_GetScanLine(pal, 0)[1] = 3;
    std::optional<DibRecord> bmp;
    ASSERT_TRUE(mFormat::FreeImage_BMP_From_DIB(pal, bmp));
    EXPECT_EQ(bmp->bits, (std::vector<uint8_t>{0, 0, 0, 0, 10, 20, 30, 0}));
    FreeImage_Unload(pal);
}

TEST(mFormat, FailureTextsOfTheConversions)
{
    mFormat::InitFreeImage();
    std::optional<DibRecord> bmp = surface(2, 2, 1);
    EXPECT_EQ(mFormat::FreeImage_BMP_From_DIB(nullptr, bmp).error,
              "[FreeImage_BMP_From_DIB] No DIB specified to convert");
    EXPECT_FALSE(bmp.has_value());   // the old bitmap is gone

    // An image of a header only has no bits.
    testing::PictureTempDir dir;
    FIBITMAP* four = FreeImage_Allocate(4, 4, 24);
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, four, dir.path("h.png").c_str(), 0));
    FreeImage_Unload(four);
    FIBITMAP* header = FreeImage_Load(FIF_PNG, dir.path("h.png").c_str(), FIF_LOAD_NOPIXELS);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(mFormat::FreeImage_BMP_From_DIB(header, bmp).error,
              "[FreeImage_BMP_From_DIB] FreeImage_GetBits failed to get the DIB's bits");
    FreeImage_Unload(header);

    // Larger than the program's largest picture side.
    FIBITMAP* wide = FreeImage_Allocate(kMaxPictureSide + 1, 1, 8);
    EXPECT_EQ(mFormat::FreeImage_BMP_From_DIB(wide, bmp).error,
              "[FreeImage_BMP_From_DIB] CreateDIBitmap failed to create the BITMAP from the DIB reporting error code 27");
    FreeImage_Unload(wide);

    FIBITMAP* dib = nullptr;
    EXPECT_EQ(mFormat::FreeImage_DIB_From_BMP(nullptr, dib).error,
              "[FreeImage_DIB_From_BMP] No bitmap specified to convert");
    DibRecord bad = makePicture(3, 2);
    bad.bits.pop_back();
    EXPECT_EQ(mFormat::FreeImage_DIB_From_BMP(&bad, dib).error,
              "[FreeImage_DIB_From_BMP] GetObjectAPI failed with error code 22");
    EXPECT_EQ(dib, nullptr);
}

TEST(mFormat, LibraryMessagesGoToEveryWatchInPlace)
{
    mFormat::InitFreeImage();
    // Unwatched, a message goes nowhere.
    mFormat::FreeImageMessageCallback(FIF_PNG, "unheard");
    const mFormat::ReaderMessages outer;
    EXPECT_EQ(FreeImage_Load(FIF_PNG, "/nonexistent/tq-no-such-file.png", 0), nullptr);
    {
        const mFormat::ReaderMessages inner;
        mFormat::FreeImageMessageCallback(FIF_PNG, nullptr);
        mFormat::FreeImageMessageCallback(FIF_TIFF, "library says no");
        EXPECT_EQ(inner.from(FIF_PNG), std::vector<std::string>{""});
        EXPECT_EQ(inner.from(FIF_TIFF), std::vector<std::string>{"library says no"});
    }
    const std::vector<std::string> png = outer.from(FIF_PNG);
    ASSERT_EQ(png.size(), 2u);
    EXPECT_NE(png[0].find("tq-no-such-file.png"), std::string::npos);
    EXPECT_EQ(png[1], "");
    EXPECT_EQ(outer.from(FIF_TIFF), std::vector<std::string>{"library says no"});
}

TEST(mFormat, RenderDibDrawsAtOwnSizeOrItsBottomLeftPart)
{
    mFormat::InitFreeImage();
    const DibRecord pic = makePicture(3, 2);
    FIBITMAP* dib = nullptr;
    ASSERT_TRUE(mFormat::FreeImage_DIB_From_BMP(&pic, dib));
    FIBITMAP* rgb = FreeImage_ConvertTo24Bits(dib);

    DibRecord dc = surface(4, 3, 0xEE);
    ASSERT_TRUE(mFormat::FreeImage_RenderDIB(rgb, &dc, 1, 1, -1, -1));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint8_t* d = dc.row(y) + 4 * x;
            if (x >= 1 && y >= 1) {
                EXPECT_EQ(0, std::memcmp(d, pic.row(y - 1) + 4 * (x - 1), 4)) << x << "," << y;
            } else {
                EXPECT_EQ(d[0], 0xEE);
            }
        }

    // Two by one from the origin of a bottom-up image: the bottom row's left part.
    DibRecord small = surface(3, 2, 0xEE);
    ASSERT_TRUE(mFormat::FreeImage_RenderDIB(rgb, &small, 0, 0, 2, 1));
    EXPECT_EQ(0, std::memcmp(small.row(0), pic.row(1), 8));
    EXPECT_EQ(small.row(0)[8], 0xEE);
    EXPECT_EQ(small.row(1)[0], 0xEE);

    // Partly outside the surface: clipped.
    DibRecord clip = surface(2, 2, 0xEE);
    ASSERT_TRUE(mFormat::FreeImage_RenderDIB(rgb, &clip, -1, -1, -1, -1));
    EXPECT_EQ(0, std::memcmp(clip.row(0), pic.row(1) + 4, 8));

    EXPECT_EQ(mFormat::FreeImage_RenderDIB(nullptr, &dc, 0, 0, -1, -1).error,
              "[FreeImage_RenderDIB] No DIB specified to render");
    EXPECT_EQ(mFormat::FreeImage_RenderDIB(rgb, nullptr, 0, 0, -1, -1).error,
              "[FreeImage_RenderDIB] DC specified was invalid");
    FreeImage_Unload(rgb);
    FreeImage_Unload(dib);
}

TEST(mFormat, RenderBitmapCopiesOrInverts)
{
    const DibRecord pic = makePicture(3, 2);
    DibRecord dc = surface(3, 2, 0);
    ASSERT_TRUE(mFormat::FreeImage_RenderBitmap(&pic, &dc, 0, 0, -1, -1, false));
    EXPECT_EQ(dc.bits, pic.bits);
    ASSERT_TRUE(mFormat::FreeImage_RenderBitmap(&pic, &dc, 0, 0, -1, -1, true));
    for (size_t i = 0; i < dc.bits.size(); ++i)
        EXPECT_EQ(dc.bits[i], i % 4 == 3 ? 0 : uint8_t(255 - pic.bits[i]));

    DibRecord bad = pic;
    bad.width = 0;
    EXPECT_EQ(mFormat::FreeImage_RenderBitmap(nullptr, &dc, 0, 0, -1, -1, false).error,
              "[FreeImage_RenderBitmap] No bitmap specified to render");
    EXPECT_EQ(mFormat::FreeImage_RenderBitmap(&bad, &dc, 0, 0, -1, -1, false).error,
              "[FreeImage_RenderBitmap] Handle specified is not a valid BITMAP");
    EXPECT_EQ(mFormat::FreeImage_RenderBitmap(&pic, &bad, 0, 0, -1, -1, false).error,
              "[FreeImage_RenderBitmap] DC specified is not valid");
}

TEST(mFormat, BitmapInspection)
{
    const DibRecord pic = makePicture(3, 2);
    EXPECT_EQ(mFormat::FreeImage_GetBitmapWidth(&pic).value, 3);
    EXPECT_EQ(mFormat::FreeImage_GetBitmapHeight(&pic).value, 2);
    EXPECT_EQ(mFormat::FreeImage_GetBitmapHeight(&pic).error, "");
    const mFormat::GlueSide none = mFormat::FreeImage_GetBitmapWidth(nullptr);
    EXPECT_EQ(none.value, 0);
    EXPECT_EQ(none.error, "[FreeImage_GetBitmapWidth] No bitmap specified to get the info for");
    DibRecord bad = pic;
    bad.bits.clear();
    const mFormat::GlueSide invalid = mFormat::FreeImage_GetBitmapHeight(&bad);
    EXPECT_EQ(invalid.value, 0);
    EXPECT_EQ(invalid.error, "[FreeImage_GetBitmapHeight] Handle specified is not a valid BITMAP");

    int32_t w = 0, h = 0, type = 0;
    int16_t depth = 0, planes = 0;
    const uint8_t* bits = pic.bits.data();
    EXPECT_EQ(mFormat::FreeImage_GetBitmapInfo(nullptr, w, h, type, depth, planes, bits).error,
              "[FreeImage_GetBitmapInfo] No bitmap specified to get the info for");
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(type, -1);
    EXPECT_EQ(depth, -1);
    EXPECT_EQ(planes, -1);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(mFormat::FreeImage_GetBitmapInfo(&bad, w, h, type, depth, planes, bits).error,
              "[FreeImage_GetBitmapInfo] Handle specified is not a valid bitmap");
    ASSERT_TRUE(mFormat::FreeImage_GetBitmapInfo(&pic, w, h, type, depth, planes, bits));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(depth, 32);
    EXPECT_EQ(planes, 1);
    EXPECT_EQ(bits, pic.bits.data());
}

} // namespace
} // namespace tq
