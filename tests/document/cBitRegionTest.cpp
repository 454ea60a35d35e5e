#include "document/cBitRegion.h"
#include "document/cBitRegionPaint.h"
#include "filters/cBitFilter.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include "FileSizeLimit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tq {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& p, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> leWords(const std::vector<int32_t>& words)
{
    std::vector<uint8_t> b;
    for (int32_t w : words)
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(w) >> (8 * i)));
    return b;
}

class SelectionFileTest : public ::testing::Test {
protected:
    fs::path path(const char* name) const { return fs::path(dir_.path().toStdString()) / name; }
    QTemporaryDir dir_;
};

TEST_F(SelectionFileTest, RectangleSavesAsFortyEightBytesAndLoadsBackEqual)
{
    cBitRegion sel;
    sel.Init(0, 0, 20, 20);
    sel.CreateRect(2, 3, 10, 8, 2, false);
    ASSERT_TRUE(sel.SaveToFile(path("a.qsf")));
    const std::vector<uint8_t> expected = leWords({32, 1, 1, 16, 2, 3, 10, 8, 2, 3, 10, 8});
    EXPECT_EQ(readBytes(path("a.qsf")), expected);
    ASSERT_EQ(expected.size(), 48u);

    cBitRegion back;
    back.Init(0, 0, 20, 20);
    ASSERT_TRUE(back.LoadFromFile(path("a.qsf")));
    ASSERT_NE(back.Region(), nullptr);
    EXPECT_EQ(*back.Region(), Region::rect(2, 3, 10, 8));
    EXPECT_EQ(back.GetData(), sel.GetData());
    EXPECT_EQ(back.GetDataCount(), 12);
    EXPECT_FALSE(fs::exists(path("a.qsf.part")));
}

TEST_F(SelectionFileTest, ComplexSelectionRoundTrips)
{
    cBitRegion sel;
    sel.Init(0, 0, 300, 200);
    sel.CreateEllipse(10, 10, 290, 190, 2, false);
    sel.CreateRect(100, 50, 200, 150, 4, false);
    sel.CreatePolygon({0, 0, 60, 0, 0, 60}, 3, false);
    ASSERT_TRUE(sel.SaveToFile(path("b.qsf")));
    EXPECT_EQ(readBytes(path("b.qsf")).size(), 4u * static_cast<size_t>(sel.GetDataCount()));
    cBitRegion back;
    ASSERT_TRUE(back.LoadFromFile(path("b.qsf")));
    EXPECT_EQ(*back.Region(), *sel.Region());
    EXPECT_EQ(*back.RegionScaled(), *sel.RegionScaled());
}

TEST_F(SelectionFileTest, BadFilesFailAndKeepTheSelection)
{
    const std::vector<uint8_t> good = leWords({32, 1, 1, 16, 0, 0, 4, 4, 0, 0, 4, 4});
    std::vector<uint8_t> cut = good;
    cut.resize(47);   // last rectangle one byte short
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"short header", leWords({32, 1, 0, 0, 0, 0})},
        {"header size", leWords({16, 1, 1, 16, 0, 0, 4, 4, 0, 0, 4, 4})},
        {"type", leWords({32, 2, 1, 16, 0, 0, 4, 4, 0, 0, 4, 4})},
        {"count too large", leWords({32, 1, 2, 32, 0, 0, 4, 4, 0, 0, 4, 4})},
        {"huge count", leWords({32, 1, 0x7FFFFFFF, 16, 0, 0, 4, 4, 0, 0, 4, 4})},
        {"cut", cut},
        {"inverted rect", leWords({32, 1, 1, 16, 0, 0, 4, 4, 4, 0, 0, 4})},
        {"empty rect", leWords({32, 1, 1, 16, 0, 0, 4, 4, 0, 4, 4, 4})},
    };
    for (const auto& [name, bytes] : cases) {
        cBitRegion sel;
        sel.Init(0, 0, 20, 20);
        sel.CreateRect(1, 1, 5, 5, 2, false);
        const std::vector<int32_t> before = sel.GetData();
        writeBytes(path("bad.qsf"), bytes);
        EXPECT_FALSE(sel.LoadFromFile(path("bad.qsf"))) << name;
        ASSERT_NE(sel.Region(), nullptr) << name;
        EXPECT_EQ(*sel.Region(), Region::rect(1, 1, 5, 5)) << name;
        EXPECT_EQ(sel.GetData(), before) << name;
    }
    cBitRegion none;
    EXPECT_FALSE(none.LoadFromFile(path("missing.qsf")));
    EXPECT_EQ(none.Region(), nullptr);
}

TEST_F(SelectionFileTest, SavingWithoutDataWritesAnEmptyFileThatDoesNotLoad)
{
    cBitRegion sel;
    sel.Init(0, 0, 10, 10);
    ASSERT_TRUE(sel.SaveToFile(path("e.qsf")));
    EXPECT_TRUE(readBytes(path("e.qsf")).empty());
    EXPECT_FALSE(sel.LoadFromFile(path("e.qsf")));
    EXPECT_TRUE(sel.IsEmptyRegion());
    // A save that cannot be written leaves the old file alone.
    cBitRegion other;
    other.CreateRect(0, 0, 2, 2, 2, false);
    writeBytes(path("locked.qsf"), {1, 2, 3});
    {
        const ScopedFileSizeLimit diskFull(8);
        EXPECT_FALSE(other.SaveToFile(path("locked.qsf")));
    }
    EXPECT_EQ(readBytes(path("locked.qsf")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(cBitRegion, CombineModesOnNoSelection)
{
    struct Case {
        int32_t mode;
        bool selects;
    };
    for (const Case c : {Case{1, true}, Case{2, true}, Case{3, true}, Case{4, false}, Case{5, true}}) {
        cBitRegion sel;
        sel.Init(0, 0, 20, 20);
        sel.CreateRect(2, 3, 10, 8, c.mode, false);
        if (c.selects) {
            ASSERT_NE(sel.Region(), nullptr) << c.mode;
            EXPECT_EQ(*sel.Region(), Region::rect(2, 3, 10, 8)) << c.mode;
            EXPECT_FALSE(sel.IsEmptyRegion());
        } else {
            EXPECT_EQ(sel.Region(), nullptr) << c.mode;
            EXPECT_TRUE(sel.IsEmptyRegion());
            EXPECT_EQ(sel.GetDataCount(), 0);
        }
    }
}

TEST(cBitRegion, CombineModesOnASelection)
{
    const Region a = Region::rect(0, 0, 6, 6), b = Region::rect(4, 4, 10, 10);
    for (int32_t mode = 1; mode <= 5; ++mode) {
        cBitRegion sel;
        sel.Init(0, 0, 8, 8);
        sel.CreateRect(0, 0, 6, 6, 2, false);
        sel.CreateRect(4, 4, 10, 10, mode, false);
        // The selection is the first operand: COPY keeps it.
        EXPECT_EQ(*sel.Region(), Region::combine(a, b, static_cast<CombineMode>(mode))) << mode;
        // With Crop the result is cut to the picture.
        cBitRegion cropped;
        cropped.Init(0, 0, 8, 8);
        cropped.CreateRect(0, 0, 6, 6, 2, false);
        cropped.CreateRect(4, 4, 10, 10, mode, true);
        EXPECT_EQ(*cropped.Region(),
                  Region::combine(Region::combine(a, b, static_cast<CombineMode>(mode)), Region::rect(0, 0, 8, 8),
                                  CombineMode::And))
            << mode;
    }
    // DIFF removing everything leaves an empty selection, which counts as none.
    cBitRegion sel;
    sel.Init(0, 0, 8, 8);
    sel.CreateRect(1, 1, 3, 3, 2, false);
    sel.CreateRect(0, 0, 8, 8, 4, false);
    EXPECT_NE(sel.Region(), nullptr);
    EXPECT_TRUE(sel.IsEmptyRegion());
    int32_t x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    EXPECT_FALSE(sel.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ(x1, -1);
    EXPECT_EQ(sel.GetData(), (std::vector<int32_t>{32, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(cBitRegion, ShapesPolygonsAndBounds)
{
    cBitRegion sel;
    sel.Init(0, 0, 20, 20);
    sel.CreatePolygon({0, 0}, 2, false);   // two words: nothing at all
    EXPECT_EQ(sel.Region(), nullptr);
    sel.CreatePolygon({3, 4, 9}, 2, false);   // one point: a selection without area
    ASSERT_NE(sel.Region(), nullptr);
    EXPECT_TRUE(sel.IsEmptyRegion());

    cBitRegion shapes;
    shapes.Init(0, 0, 20, 20);
    shapes.CreateEllipse(8, 6, 2, 2, 2, false);   // corners in any order
    EXPECT_EQ(*shapes.Region(), Region::ellipse(2, 2, 8, 6));
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(shapes.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ((RectI{x1, y1, x2, y2}), (RectI{2, 2, 8, 6}));
    // A square traced twice stays filled: the polygon uses the winding rule.
    shapes.CreatePolygon({10, 10, 14, 10, 14, 14, 10, 14, 10, 10, 14, 10, 14, 14, 10, 14, 99}, 2, false);
    EXPECT_TRUE(shapes.Region()->contains(12, 12));

    shapes.Offset(-3, 1);
    EXPECT_TRUE(shapes.Region()->contains(9, 13));
    EXPECT_EQ(shapes.GetData(), shapes.Region()->toData());
    shapes.Crop();
    EXPECT_EQ(shapes.Region()->boundingBox().left, 0);
}

TEST(cBitRegion, InvertSelectsThePictureAndInvertingTwiceRestores)
{
    cBitRegion sel;
    sel.Init(0, 0, 12, 9);
    sel.Invert();
    ASSERT_NE(sel.Region(), nullptr);
    EXPECT_EQ(*sel.Region(), *sel.RegionMain());

    cBitRegion inside;
    inside.Init(0, 0, 12, 9);
    inside.CreateEllipse(2, 2, 9, 7, 2, false);
    const Region before = *inside.Region();
    inside.Invert();
    EXPECT_FALSE(inside.Region()->contains(5, 4));
    EXPECT_TRUE(inside.Region()->contains(0, 0));
    inside.Invert();
    EXPECT_EQ(*inside.Region(), before);

    // An empty selection inverts to everything as well.
    cBitRegion empty;
    empty.Init(0, 0, 4, 4);
    empty.CreateRect(0, 0, 2, 2, 2, false);
    empty.CreateRect(0, 0, 2, 2, 4, false);
    empty.Invert();
    EXPECT_EQ(*empty.Region(), Region::rect(0, 0, 4, 4));
}

TEST(cBitRegion, ScaledRegionFollowsTheZoom)
{
    cBitRegion sel;
    sel.Init(0, 0, 20, 20);
    sel.CreateRect(5, 7, 6, 8, 2, false);
    sel.setZoomFactor(3.0f);
    ASSERT_NE(sel.RegionScaled(), nullptr);
    EXPECT_EQ(*sel.RegionScaled(), Region::rect(15, 21, 18, 24));
    // The outline is the edge of that square, moved by the offsets.
    EXPECT_EQ(sel.OutlineRegion(-10, 0), Region::rect(5, 21, 8, 24).frame(1, 1));
    EXPECT_FALSE(sel.OutlineRegion(0, 0).contains(16, 22));

    sel.setZoomFactor(-3.0f);
    EXPECT_FLOAT_EQ(sel.ZoomFactor(), 0.01f);
    sel.setZoomFactor(0.0f);
    EXPECT_EQ(*sel.RegionScaled(), *sel.Region());
    // Halves of a fractional zoom go to the even neighbour: 7 x 1.5 = 10.5 -> 10.
    sel.setZoomFactor(1.5f);
    EXPECT_EQ(*sel.RegionScaled(), Region::rect(8, 10, 9, 12));
    // Later changes keep following the zoom.
    sel.setZoomFactor(2.0f);
    sel.Offset(1, 0);
    EXPECT_EQ(*sel.RegionScaled(), Region::rect(12, 14, 14, 16));
}

TEST(cBitRegion, ClearAndInitDropEverythingButStaleHandlesStaySafe)
{
    cBitRegion sel;
    sel.Init(0, 0, 10, 10);
    sel.CreateRect(1, 1, 4, 4, 2, false);
    const Region* lent = sel.Region();
    sel.Clear();
    EXPECT_EQ(sel.Region(), nullptr);
    EXPECT_EQ(sel.RegionMain(), nullptr);
    EXPECT_EQ(sel.RegionScaled(), nullptr);
    EXPECT_EQ(sel.GetDataCount(), 0);
    EXPECT_TRUE(lent->isEmpty());   // an engine still holding it walks nothing

    // The Region setter copies; a null region changes nothing.
    const Region given = Region::rect(2, 2, 5, 5);
    sel.setRegion(&given);
    sel.setRegion(nullptr);
    EXPECT_EQ(*sel.Region(), given);
    EXPECT_NE(sel.Region(), &given);
    EXPECT_EQ(sel.GetData(), given.toData());
}

TEST(cBitRegion, EightBrushesCycle)
{
    cBitRegion sel;
    EXPECT_EQ(sel.BrushIndex(), 0);
    EXPECT_EQ(sel.Brush(0).rows, (std::array<uint8_t, 8>{240, 120, 60, 30, 15, 135, 195, 225}));
    EXPECT_EQ(sel.Brush(3).rows, (std::array<uint8_t, 8>{30, 15, 135, 195, 225, 240, 120, 60}));
    for (int i = 0; i < 8; ++i) sel.RotateBrush();
    EXPECT_EQ(sel.BrushIndex(), 0);
    sel.RotateBrush();
    EXPECT_EQ(sel.BrushIndex(), 1);
}

TEST(cBitRegion, DrawToDCPaintsTheOutlineWithThePattern)
{
    cBitRegion sel;
    sel.Init(0, 0, 10, 10);
    sel.CreateRect(0, 0, 3, 2, 2, false);
    sel.setZoomFactor(2.0f);   // canvas square (0,0)-(6,4)
    sel.RotateBrush();         // brush 1: rows 120, 60, 30, ...

    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 255));
    DrawToDC(sel, img, 1, 1);   // outline of (1,1)-(7,5)
    const QRgb blue = qRgb(0, 0, 255), black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    auto at = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; };
    EXPECT_EQ(at(0, 0), blue & 0xFFFFFFu);
    EXPECT_EQ(at(3, 3), blue & 0xFFFFFFu);   // inside, not on the frame
    // Device row 1 uses brush row 1 = 60 = 0011 1100: columns 2..5 white.
    EXPECT_EQ(at(1, 1), black & 0xFFFFFFu);
    EXPECT_EQ(at(2, 1), white & 0xFFFFFFu);
    EXPECT_EQ(at(6, 1), black & 0xFFFFFFu);
    EXPECT_EQ(at(7, 1), blue & 0xFFFFFFu);

    // Through a painter the same pixels come out.
    QImage viaPainter(8, 6, QImage::Format_RGB32);
    viaPainter.fill(QColor(0, 0, 255));
    {
        QPainter p(&viaPainter);
        DrawToDC(sel, p, 1, 1);
    }
    EXPECT_EQ(viaPainter, img);
}

TEST(cBitRegion, FilterEngineWalksExactlyTheSelection)
{
    cBitRegion sel;
    sel.Init(0, 0, 9, 7);
    sel.CreateEllipse(-2, 1, 8, 9, 2, true);
    cBitFilter f;
    f.setBits(BitsBuffer(9, 7));
    f.setBitsRegion(sel.IsEmptyRegion() ? sel.RegionMain() : sel.Region());
    std::vector<std::string> seen(7, std::string(9, '.'));
    f.walkSelection(0, [&](int32_t y, int32_t x0, int32_t x1) {
        for (int32_t x = x0; x <= x1; ++x) seen[static_cast<size_t>(y)][static_cast<size_t>(x)] = '#';
    });
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 9; ++x)
            EXPECT_EQ(seen[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#', sel.Region()->contains(x, y))
                << x << "," << y;
}

} // namespace
} // namespace tq
