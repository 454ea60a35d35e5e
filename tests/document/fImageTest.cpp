#include "document/CountingImage.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"

#include <QProgressBar>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace tq {
namespace {

using testing::CountingImage;

// A 3 x 2 picture as Qt holds it, alpha 0xFF everywhere.
QImage picture3x2()
{
    QImage img(3, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) img.setPixel(x, y, qRgba(10 * x + 1, 20 * y + 2, 100 + x + 3 * y, 255));
    return img;
}

void expectMarginZero(const BitsBuffer& b)
{
    for (int y = -2; y <= b.height() + 1; ++y)
        for (int x = -2; x <= b.width() + 1; ++x) {
            if (x >= 0 && x < b.width() && y >= 0 && y < b.height()) continue;
            for (int c = 0; c < 4; ++c) ASSERT_EQ(b.at(c, x, y), 0) << c << "," << x << "," << y;
        }
}

} // namespace

TEST(fImagePixels, CreateBlankOneByOne)
{
    fImage doc;
    EXPECT_FALSE(doc.BMExists);
    doc.CreateBlank(1, 1);
    EXPECT_TRUE(doc.BMExists);
    const BitsBuffer b = doc.Bits();
    ASSERT_TRUE(b.allocated());
    EXPECT_EQ(b.width(), 1);
    EXPECT_EQ(b.height(), 1);
    EXPECT_EQ(b.byteSize(), 100u);
    for (size_t i = 0; i < b.byteSize(); ++i) ASSERT_EQ(b.data()[i], 0);
    const BitsHeader& h = doc.Header();
    EXPECT_EQ(h.biSize, 40);
    EXPECT_EQ(h.biWidth, 5);
    EXPECT_EQ(h.biHeight, -5);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(doc.ImageRect(), (RectI{0, 0, 1, 1}));
    EXPECT_EQ(doc.PictureWidth(), 1);
    EXPECT_EQ(doc.PictureHeight(), 1);
}

TEST(fImagePixels, CreateBlankRefusesSidesBelowOne)
{
    fImage doc;
    doc.CreateBlank(0, 10);
    EXPECT_FALSE(doc.BMExists);
    doc.CreateBlank(4, 3);
    BitsBuffer b = doc.Bits();
    b.at(2, 1, 1) = 99;
    doc.setBits(b);
    const struct {
        int w, h;
    } bad[] = {{0, 10}, {10, -1}, {-3, -3}, {0, 0}, {40000, 2}};
    for (const auto& s : bad) {
        doc.CreateBlank(s.w, s.h);
        EXPECT_TRUE(doc.BMExists);
        EXPECT_EQ(doc.Bits(), b) << s.w << "x" << s.h;
        EXPECT_EQ(doc.PictureWidth(), 4);
        EXPECT_EQ(doc.PictureHeight(), 3);
        EXPECT_EQ(doc.Header(), BitsHeader::forBuffer(4, 3));
    }
}

TEST(fImagePixels, BitsWithoutAPicture)
{
    fImage doc;
    EXPECT_FALSE(doc.Bits().allocated());
    doc.setBits(BitsBuffer(2, 2));
    EXPECT_FALSE(doc.BMExists);
    EXPECT_FALSE(doc.Bits().allocated());
    EXPECT_EQ(doc.PictureWidth(), 0);
}

TEST(fImagePixels, BitsAreCopiesAndAnotherSizeIsRefused)
{
    fImage doc;
    doc.CreateBlank(3, 2);
    BitsBuffer b = doc.Bits();
    b.at(0, 0, 0) = 7;
    EXPECT_EQ(doc.Bits().at(0, 0, 0), 0);   // reading gave a copy
    doc.setBits(b);
    b.at(0, 0, 0) = 8;
    EXPECT_EQ(doc.Bits().at(0, 0, 0), 7);   // writing kept a copy

    EXPECT_FALSE(doc.setBits(BitsBuffer(5, 5)));
    EXPECT_EQ(doc.Bits().width(), 3);
    EXPECT_EQ(doc.Header(), BitsHeader::forBuffer(3, 2));
    EXPECT_EQ(doc.PictureWidth(), 3);
    EXPECT_EQ(doc.PictureHeight(), 2);
}

// Pixels of another size never become the document's: its size lives in the
// holder and the header, which only TakeNewPicture changes.
TEST(fImagePixels, SetBitsRefusesAnotherSize)
{
    fImage doc;
    EXPECT_FALSE(doc.setBits(BitsBuffer(5, 4)));   // no picture yet
    doc.CreateBlank(5, 4);
    BitsBuffer same(5, 4);
    same.fill(9);
    EXPECT_TRUE(doc.setBits(same));
    for (const auto& [w, h] : {std::pair{9, 9}, std::pair{4, 4}, std::pair{5, 5}, std::pair{0, 0}})
        EXPECT_FALSE(doc.setBits(BitsBuffer(w, h))) << w << " x " << h;
    EXPECT_FALSE(doc.setBits(BitsBuffer()));
    EXPECT_EQ(doc.Bits(), same);
    EXPECT_EQ(doc.PictureWidth(), 5);
}

TEST(fImagePixels, SetPictureTakesThreeByTwoWithZeroMarginAndMarker)
{
    CountingImage doc;
    doc.writeSnapshots = false;
    { const Region r = Region::rect(0, 0, 1, 1); doc.BitsRegion.setRegion(&r); }
    doc.iSrc.AutoRedraw = true;
    doc.iSrc.setPicture(picture3x2());
    bool saveundo = false;
    doc.hSB->show();
    doc.SetPicture(saveundo);

    EXPECT_TRUE(doc.BMExists);
    EXPECT_EQ(doc.PictureWidth(), 3);
    EXPECT_EQ(doc.PictureHeight(), 2);
    EXPECT_EQ(doc.Header(), BitsHeader::forBuffer(3, 2));
    EXPECT_EQ(doc.ImageRect(), (RectI{0, 0, 3, 2}));
    EXPECT_TRUE(doc.hSB->isHidden());
    const BitsBuffer b = doc.Bits();
    ASSERT_EQ(b.width(), 3);
    ASSERT_EQ(b.height(), 2);
    expectMarginZero(b);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(b.at(0, x, y), 100 + x + 3 * y);
            EXPECT_EQ(b.at(1, x, y), 20 * y + 2);
            EXPECT_EQ(b.at(2, x, y), 10 * x + 1);
            EXPECT_EQ(b.at(3, x, y), 0) << "marker at " << x << "," << y;
        }
    // The selection is reset to the whole picture with nothing selected.
    EXPECT_TRUE(doc.BitsRegion.IsEmptyRegion());
    EXPECT_EQ(doc.BitsRegion.RegionMain()->boundingBox(), (RectI{0, 0, 3, 2}));
    // The holder's picture is emptied but it keeps its size.
    EXPECT_TRUE(doc.iSrc.Picture.isNull());
    EXPECT_EQ(doc.iSrc.Width, 3);
    EXPECT_EQ(doc.snapshots, 0);
}

TEST(fImagePixels, SetPictureWithUndoLabelsTheStep)
{
    CountingImage doc;
    doc.writeSnapshots = false;
    doc.iSrc.setPicture(picture3x2());
    bool saveundo = true;
    doc.SetPicture(saveundo);
    EXPECT_EQ(doc.snapshots, 1);
    EXPECT_EQ(doc.label, "Update from Layers");
}

TEST(fImagePixels, SetPictureOfAnEmptyHolderGivesBlackOfItsSize)
{
    fImage doc;
    doc.iSrc.move(0, 0, 4, 3);
    bool saveundo = false;
    doc.SetPicture(saveundo);
    EXPECT_TRUE(doc.BMExists);
    EXPECT_EQ(doc.Bits(), BitsBuffer(4, 3));

    fImage none;   // a holder without a size holds nothing to take
    none.SetPicture(saveundo);
    EXPECT_FALSE(none.BMExists);
}

TEST(fImagePixels, SelectionSurvivesCreateBlankButNotPPicture)
{
    fImage doc;
    doc.CreateBlank(5, 5);
    doc.BitsRegion.Init(0, 0, 5, 5);
    { const Region r = Region::rect(1, 1, 3, 3); doc.BitsRegion.setRegion(&r); }
    doc.CreateBlank(6, 6);
    EXPECT_FALSE(doc.BitsRegion.IsEmptyRegion());
    doc.PPicture(picture3x2());
    EXPECT_TRUE(doc.BitsRegion.IsEmptyRegion());
    EXPECT_EQ(doc.BitsRegion.RegionMain()->boundingBox(), (RectI{0, 0, 3, 2}));
    EXPECT_EQ(doc.BitsRegion.walkRegion(), doc.BitsRegion.RegionMain());
    EXPECT_EQ(doc.PictureWidth(), 3);
    EXPECT_EQ(doc.Bits().at(2, 2, 1), 21);
    EXPECT_EQ(doc.Bits().at(3, 2, 1), 0);
}

TEST(fImagePixels, PPictureOfAnEmptyPictureClearsTheDocument)
{
    fImage doc;
    doc.CreateBlank(3, 3);
    doc.PPicture(QImage());
    EXPECT_FALSE(doc.BMExists);
    EXPECT_FALSE(doc.PictureExists());
    EXPECT_EQ(doc.PictureWidth(), 0);
    EXPECT_FALSE(doc.Bits().allocated());
}

TEST(fImagePixels, ProgressBoxStartsHiddenWithAnEmptyBar)
{
    fImage doc;
    EXPECT_TRUE(doc.picPb->isHidden());
    EXPECT_EQ(doc.cFilterProgress->value(), 0);
    EXPECT_EQ(doc.cFilterProgress->maximum(), 100);
    EXPECT_EQ(doc.cFilterProgress->parentWidget(), doc.picPb);
}

} // namespace tq
