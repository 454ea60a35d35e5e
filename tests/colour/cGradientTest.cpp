#include "colour/cGradient.h"
#include "gdi/GradientFill.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <vector>

namespace tq {

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kGreen = 0x00FF00;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kMagenta = 0xFF00FF;

// Every drawing object made during a test is released by its end.
class cGradientTest : public ::testing::Test {
protected:
    void SetUp() override { live_ = gdi::liveObjects(); }
    void TearDown() override { EXPECT_EQ(gdi::liveObjects(), live_); }
    size_t live_ = 0;
};

// A white memory surface of w x h.
void whiteSurface(cGradient& g, int32_t w, int32_t h)
{
    ASSERT_NE(g.Init(w, h), nullptr);
    g.Cls(kWhite);
}

// The rows of a surface as one character per pixel: '#' for the colour,
// '.' for anything else.
std::vector<std::string> rowsOf(const cGradient& g, int32_t colour)
{
    std::vector<std::string> rows;
    for (int32_t y = 0; y < g.Height(); ++y) {
        std::string row;
        for (int32_t x = 0; x < g.Width(); ++x) row += g.GetPixel(x, y) == colour ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST_F(cGradientTest, FillRectToTheFarEdges)
{
    cGradient g;
    whiteSurface(g, 40, 30);
    g.FillRect(10, 10, -1, -1, kRed);
    EXPECT_EQ(g.GetPixel(10, 10), kRed);
    EXPECT_EQ(g.GetPixel(39, 29), kRed);
    EXPECT_EQ(g.GetPixel(9, 29), kWhite);
    EXPECT_EQ(g.GetPixel(39, 9), kWhite);
    // A rectangle given in order excludes its right and bottom edges.
    g.FillRect(0, 0, 5, 5, kBlue);
    EXPECT_EQ(g.GetPixel(4, 4), kBlue);
    EXPECT_EQ(g.GetPixel(5, 4), kWhite);
    EXPECT_EQ(g.GetPixel(4, 5), kWhite);
}

TEST_F(cGradientTest, FillRectWithTheCallersBrushOrNothing)
{
    cGradient g;
    whiteSurface(g, 10, 10);
    gdi::Brush* brush = g.CreateBrush(kGreen);
    g.FillRect(0, 0, 3, 3, -1, brush);
    EXPECT_EQ(g.GetPixel(2, 2), kGreen);
    EXPECT_TRUE(gdi::isLiveObject(brush));   // only used, still the caller's
    g.FillRect(0, 0, -1, -1, -1, nullptr);
    EXPECT_EQ(g.GetPixel(5, 5), kWhite);
    g.FrameRect(4, 4, 8, 8, -1, brush);
    EXPECT_EQ(rowsOf(g, kGreen)[4], "....####..");
    EXPECT_EQ(rowsOf(g, kGreen)[5], "....#..#..");
    EXPECT_TRUE(gdi::deleteObject(brush));
}

TEST_F(cGradientTest, DrawLinePens)
{
    cGradient g;
    whiteSurface(g, 12, 9);
    g.DrawLine(2, 2, 10, 2, -1, nullptr);   // the context's first pen: black
    EXPECT_EQ(rowsOf(g, 0)[2], "..########..");   // the end point is not drawn

    const size_t before = gdi::liveObjects();
    g.DrawLine(2, 4, 10, 4, kRed);
    EXPECT_EQ(gdi::liveObjects(), before + 1);
    gdi::Pen* redPen = g.Pen();
    g.DrawLine(2, 6, 10, 6, kBlue);
    EXPECT_EQ(gdi::liveObjects(), before + 1);    // the red pen went with the next colour
    EXPECT_FALSE(gdi::isLiveObject(redPen));
    EXPECT_EQ(rowsOf(g, kRed)[4], "..########..");
    EXPECT_EQ(rowsOf(g, kBlue)[6], "..########..");

    g.DrawLine(-1, 0, 10, 8, kGreen);             // continues from (10, 6)
    EXPECT_EQ(g.GetPixel(10, 6), kGreen);
    EXPECT_EQ(g.GetPixel(10, 7), kGreen);
    EXPECT_EQ(g.GetPixel(10, 8), kWhite);

    g.DrawLine(0, 0, 3, 3, -1, nullptr);          // back to the first pen, the green one deleted
    EXPECT_EQ(gdi::liveObjects(), before);
    EXPECT_EQ(g.GetPixel(1, 1), 0);
}

TEST_F(cGradientTest, XorMixUndoesItself)
{
    cGradient g;
    whiteSurface(g, 8, 3);
    g.FillRect(0, 0, 4, 3, kRed);
    g.DrawMode(gdi::kMixXorPen);
    EXPECT_EQ(g.DrawMode(), gdi::kMixXorPen);
    g.DrawLine(0, 1, 8, 1, 0x00FFFF);
    EXPECT_EQ(g.GetPixel(1, 1), 0x00FF00);   // red XOR yellow
    EXPECT_EQ(g.GetPixel(6, 1), 0xFF0000);   // white XOR yellow
    g.DrawLine(0, 1, 8, 1, 0x00FFFF);
    EXPECT_EQ(g.GetPixel(1, 1), kRed);
    EXPECT_EQ(g.GetPixel(6, 1), kWhite);
}

TEST_F(cGradientTest, ClipRectangleIsPutInOrderAndRemoved)
{
    cGradient g;
    whiteSurface(g, 40, 40);
    g.SetClipRect(30, 30, 10, 10);
    g.Cls(kRed);
    EXPECT_EQ(g.GetPixel(10, 10), kRed);
    EXPECT_EQ(g.GetPixel(29, 29), kRed);
    EXPECT_EQ(g.GetPixel(30, 30), -1);   // outside the clipping: no pixel to read
    g.SetClipRect(-1, 0, 0, 0);
    EXPECT_EQ(g.GetPixel(30, 30), kWhite);
    EXPECT_EQ(g.GetPixel(9, 9), kWhite);
    g.Cls(kBlue);
    EXPECT_EQ(g.GetPixel(0, 0), kBlue);
}

TEST_F(cGradientTest, ExtractIconMakesTheMaskColourTransparent)
{
    cGradient g;
    ASSERT_NE(g.Init(29, 7), nullptr);
    g.Cls(kMagenta, nullptr);
    for (int32_t i = 0; i <= 3; ++i) {
        g.DrawLine(i, i, i, 7 - i, 0);
        g.DrawLine(28 - i, i, 28 - i, 7 - i, 0);
    }
    const Picture icon = g.ExtractIcon(kMagenta);
    ASSERT_EQ(icon.type(), Picture::kIcon);
    const QImage& image = icon.image();
    ASSERT_EQ(image.size(), QSize(29, 7));
    // Two triangles 7, 5, 3 and 1 pixels tall, everything else transparent.
    int opaque = 0;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 29; ++x)
            if (qAlpha(image.pixel(x, y))) {
                ++opaque;
                EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, 0u);
            }
    EXPECT_EQ(opaque, 2 * (7 + 5 + 3 + 1));
    EXPECT_NE(qAlpha(image.pixel(3, 3)), 0);
    EXPECT_EQ(qAlpha(image.pixel(3, 2)), 0);
    EXPECT_EQ(qAlpha(image.pixel(14, 3)), 0);
}

TEST_F(cGradientTest, ExtractIconTranslatesASystemMaskColour)
{
    cGradient g;
    ASSERT_NE(g.Init(4, 4), nullptr);
    g.Cls(static_cast<int32_t>(0x8000000F));
    g.SetPixel(1, 1, kRed);
    const QImage image = g.ExtractIcon(static_cast<int32_t>(0x8000000F)).image();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_NE(qAlpha(image.pixel(1, 1)), 0);
}

TEST_F(cGradientTest, DestroyLeavesAWrappedContextInUse)
{
    QImage window(20, 10, QImage::Format_RGB32);
    window.fill(Qt::white);
    gdi::DeviceContext dc(&window);
    {
        cGradient g;
        EXPECT_EQ(g.Init(20, 10, nullptr, &dc), &dc);
        EXPECT_FALSE(g.IsMemoryDC());
        g.DrawLine(0, 0, 5, 0, kRed);
        g.Rectangle(0, 2, 4, 4, kGreen, nullptr, kBlue);
        g.Destroy();
        EXPECT_TRUE(g.IsCreated());
        EXPECT_EQ(g.hdc(), &dc);
        // What the object selected is put back and released.
        EXPECT_EQ(dc.pen(), gdi::stockBlackPen());
        EXPECT_EQ(dc.brush(), gdi::stockWhiteBrush());
        g.FillRect(10, 5, 12, 7, kBlue);   // still draws into the window's image
    }
    EXPECT_EQ(window.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(window.pixel(10, 5), qRgb(0, 0, 255));

    cGradient owned;
    gdi::DeviceContext* hdc = owned.Init(5, 5);
    ASSERT_NE(hdc, nullptr);
    EXPECT_TRUE(owned.IsMemoryDC());
    EXPECT_TRUE(gdi::DeviceContext::isLive(hdc));
    owned.Destroy();
    EXPECT_FALSE(owned.IsCreated());
    EXPECT_FALSE(gdi::DeviceContext::isLive(hdc));
    // Drawing members of an object that is not created do nothing.
    owned.Cls(kRed);
    owned.DrawLine(0, 0, 4, 4, kRed);
    EXPECT_EQ(owned.GetPixel(0, 0), -1);
    EXPECT_TRUE(owned.IMAGE().isNothing());
    EXPECT_EQ(owned.DotBrush(), nullptr);
}

TEST_F(cGradientTest, InitRefusesAnImpossibleSurface)
{
    cGradient g;
    EXPECT_EQ(g.Init(0, 10), nullptr);
    EXPECT_FALSE(g.IsCreated());
    EXPECT_EQ(g.Init(40000, 10), nullptr);
    EXPECT_FALSE(g.IsCreated());
}

TEST_F(cGradientTest, TranslateColor)
{
    const QPalette saved = QApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    QApplication::setPalette(p);
    EXPECT_EQ(cGradient::TranslateColor(-1), -1);
    EXPECT_EQ(cGradient::TranslateColor(static_cast<int32_t>(0x8000000F)), 0x030201);
    EXPECT_EQ(cGradient::TranslateColor(0x123456), 0x123456);
    EXPECT_EQ(cGradient::TranslateColor(static_cast<int32_t>(0x80FF0000)), 0);   // cannot be translated
    QApplication::setPalette(saved);
}

TEST_F(cGradientTest, DotBrushIsOneCheckerboard)
{
    cGradient g;
    whiteSurface(g, 4, 2);
    gdi::Brush* dots = g.DotBrush();
    ASSERT_NE(dots, nullptr);
    EXPECT_EQ(g.DotBrush(), dots);
    g.ForeColor(kRed);
    g.BackColor(kBlue);
    g.FillRect(0, 0, -1, -1, -1, dots);
    EXPECT_EQ(rowsOf(g, kBlue), (std::vector<std::string>{"#.#.", ".#.#"}));
    EXPECT_EQ(rowsOf(g, kRed), (std::vector<std::string>{".#.#", "#.#."}));
    // Handed to Brush it stays the object's own until Destroy.
    g.Brush(dots);
    g.Brush(nullptr);
    EXPECT_TRUE(gdi::isLiveObject(dots));
}

TEST_F(cGradientTest, BrushAndPenOwnership)
{
    cGradient g;
    whiteSurface(g, 6, 6);
    gdi::Brush* first = g.CreateBrush(kRed);
    gdi::Brush* second = g.CreateBrush(kBlue, gdi::kBrushHatched, gdi::kHatchDiagonalCross);
    g.Brush(first);
    EXPECT_EQ(g.Brush(), first);
    g.Brush(second);
    EXPECT_FALSE(gdi::isLiveObject(first));
    g.Rectangle(0, 0, -1, -1);
    EXPECT_EQ(g.GetPixel(1, 1), kBlue);     // hatch line
    EXPECT_EQ(g.GetPixel(1, 2), kWhite);    // gap in the background colour
    g.Brush(nullptr);
    EXPECT_FALSE(gdi::isLiveObject(second));
    EXPECT_EQ(g.hdc()->brush(), gdi::stockWhiteBrush());

    gdi::Pen* pen = g.CreatePen(kGreen, gdi::kPenSolid, 1);
    g.Pen(pen);
    g.Pen(pen);   // the same pen again stays usable
    EXPECT_TRUE(gdi::isLiveObject(pen));
    g.DrawLine(0, 5, 3, 5, -1, pen);
    EXPECT_EQ(g.GetPixel(2, 5), kGreen);
    g.DrawLine(0, 4, 3, 4);                 // no pen: the first one again, this one released
    EXPECT_EQ(g.GetPixel(2, 4), 0);
    EXPECT_FALSE(gdi::isLiveObject(pen));
}

TEST_F(cGradientTest, SetDIBitsReadsBottomUpRows)
{
    cGradient g;
    whiteSurface(g, 3, 3);
    // 2 x 2: bottom row blue, green; top row red, white; rows padded to 8 bytes.
    const std::vector<uint8_t> bits = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    g.SetDIBits(1, 1, 2, 2, bits, gdi::kSrcCopy);
    EXPECT_EQ(g.GetPixel(1, 1), kRed);
    EXPECT_EQ(g.GetPixel(2, 1), kWhite);
    EXPECT_EQ(g.GetPixel(1, 2), kBlue);
    EXPECT_EQ(g.GetPixel(2, 2), kGreen);
    EXPECT_EQ(g.GetPixel(0, 0), kWhite);

    cGradient h;
    whiteSurface(h, 3, 3);
    h.SetDIBits(0, 0, 2, 2, std::span(bits).first(15), gdi::kSrcCopy);   // one byte short
    EXPECT_EQ(h.GetPixel(0, 0), kWhite);
    h.SetDIBits(0, 0, 2, 2, bits, gdi::kSrcInvert);
    EXPECT_EQ(h.GetPixel(0, 0), 0xFFFF00);   // white XOR red
}

TEST_F(cGradientTest, ImageIsACopyOfTheWholeSurface)
{
    cGradient g;
    whiteSurface(g, 216, 3);
    g.SetPixel(0, 0, kRed);
    const Picture picture = g.IMAGE();
    g.Cls(kBlue);
    ASSERT_EQ(picture.type(), Picture::kBitmap);
    EXPECT_EQ(picture.image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(picture.image().pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(picture.Width(), 5715);
    EXPECT_EQ(picture.Height(), 79);
}

TEST_F(cGradientTest, PaintPictureByKind)
{
    cGradient source;
    whiteSurface(source, 4, 4);
    source.FillRect(0, 0, 2, 2, kRed);
    const Picture bitmap = source.IMAGE();
    const Picture icon = source.ExtractIcon(kWhite);

    cGradient g;
    whiteSurface(g, 10, 10);
    g.Cls(kBlue);
    g.PaintPicture(bitmap, 1, 1);
    EXPECT_EQ(g.GetPixel(1, 1), kRed);
    EXPECT_EQ(g.GetPixel(4, 4), kWhite);
    EXPECT_EQ(g.GetPixel(5, 5), kBlue);
    g.Cls(kBlue);
    g.PaintPicture(bitmap, 1, 1, 0, 0, 0, 0, gdi::kSrcCopy, kWhite);   // white transparent
    EXPECT_EQ(g.GetPixel(2, 2), kRed);
    EXPECT_EQ(g.GetPixel(4, 4), kBlue);
    g.Cls(kBlue);
    g.PaintPicture(icon, 0, 0, 8, 8);   // icons scale to the size asked
    EXPECT_EQ(g.GetPixel(3, 3), kRed);
    EXPECT_EQ(g.GetPixel(4, 4), kBlue);

    // Not created: the object takes the picture's size first.
    cGradient fresh;
    fresh.PaintPicture(bitmap, 0, 0);
    EXPECT_EQ(fresh.Width(), 4);
    EXPECT_EQ(fresh.GetPixel(1, 1), kRed);
}

TEST_F(cGradientTest, BlitsCombineByRasterCode)
{
    cGradient source;
    whiteSurface(source, 2, 1);
    source.SetPixel(1, 0, 0x00FFFF);   // white, yellow

    cGradient dest;
    whiteSurface(dest, 4, 1);
    dest.Cls(0x0000FF);
    struct Case { uint32_t rop; int32_t first, second; };
    const Case cases[] = {
        {gdi::kSrcCopy, 0xFFFFFF, 0x00FFFF},  {gdi::kSrcAnd, 0x0000FF, 0x0000FF},
        {gdi::kSrcInvert, 0xFFFF00, 0x00FF00}, {gdi::kSrcPaint, 0xFFFFFF, 0x00FFFF},
        {gdi::kDstInvert, 0xFFFF00, 0xFFFF00}, {gdi::kNotSrcCopy, 0, 0xFF0000},
        {gdi::kBlackness, 0, 0},               {0x220326, 0, 0},   // destination AND NOT source
    };
    for (const Case& c : cases) {
        dest.Cls(0x0000FF);
        ASSERT_TRUE(source.BitBlt(dest.hdc(), 1, 0, 2, 1, 0, 0, c.rop)) << std::hex << c.rop;
        EXPECT_EQ(dest.GetPixel(1, 0), c.first) << std::hex << c.rop;
        EXPECT_EQ(dest.GetPixel(2, 0), c.second) << std::hex << c.rop;
        EXPECT_EQ(dest.GetPixel(0, 0), 0x0000FF) << std::hex << c.rop;
    }
    // Without a destination and without a parent there is nothing to copy to.
    EXPECT_FALSE(source.BitBlt(nullptr, 0, 0));
    // A parent given to Init stands in for a missing destination.
    cGradient child;
    ASSERT_NE(child.Init(2, 1, dest.hdc()), nullptr);
    child.Cls(kGreen);
    EXPECT_TRUE(child.BitBlt(nullptr, 2, 0));
    EXPECT_EQ(dest.GetPixel(3, 0), kGreen);
}

TEST_F(cGradientTest, StretchBltScalesAndMirrors)
{
    cGradient source;
    whiteSurface(source, 2, 1);
    source.SetPixel(0, 0, kRed);
    source.SetPixel(1, 0, kBlue);
    cGradient dest;
    whiteSurface(dest, 6, 2);
    ASSERT_TRUE(source.StretchBlt(dest.hdc(), 0, 0, 4, 1, 0, 0, 2, 1));
    EXPECT_EQ(rowsOf(dest, kRed)[0], "##....");
    EXPECT_EQ(rowsOf(dest, kBlue)[0], "..##..");
    ASSERT_TRUE(source.StretchBlt(dest.hdc(), 6, 1, -2, 1, 0, 0, 0, 0));   // mirrored into 4..5
    EXPECT_EQ(rowsOf(dest, kBlue)[1], "....#.");
    EXPECT_EQ(rowsOf(dest, kRed)[1], ".....#");
}

TEST_F(cGradientTest, TransBltAndDisabledBlt)
{
    cGradient source;
    whiteSurface(source, 6, 6);
    source.FillRect(1, 1, 3, 3, 0);                 // a black square
    source.SetPixel(4, 4, 0xC8C8C8);                // light grey: not part of the shape
    source.SetPixel(0, 5, 0x303030);                // dark grey: part of it

    cGradient dest;
    whiteSurface(dest, 6, 6);
    dest.Cls(kBlue);
    source.TransBlt(dest.hdc(), 0, 0, 6, 6, 0, 0, kWhite);
    EXPECT_EQ(dest.GetPixel(0, 0), kBlue);
    EXPECT_EQ(dest.GetPixel(1, 1), 0);
    EXPECT_EQ(dest.GetPixel(4, 4), 0xC8C8C8);

    dest.Cls(kBlue);
    source.DisabledBlt(dest.hdc(), 0, 0, 6, 6, 0, 0, kWhite, kWhite, 0x808080);
    EXPECT_EQ(rowsOf(dest, 0x808080),
              (std::vector<std::string>{"......", ".##...", ".##...", "......", "......", "#....."}));
    EXPECT_EQ(rowsOf(dest, kWhite),
              (std::vector<std::string>{"......", "......", "...#..", "..##..", "......", "......"}));
    EXPECT_EQ(dest.GetPixel(4, 4), kBlue);
}

TEST_F(cGradientTest, PaintDisabledPicture)
{
    cGradient source;
    whiteSurface(source, 3, 3);
    source.SetPixel(0, 0, 0);
    const Picture picture = source.IMAGE();
    cGradient dest;
    whiteSurface(dest, 4, 4);
    dest.Cls(kBlue);
    dest.PaintDisabledPicture(picture, 1, 1, 0, 0, 0, 0, kWhite, kWhite, 0x808080);
    EXPECT_EQ(dest.GetPixel(1, 1), 0x808080);
    EXPECT_EQ(dest.GetPixel(2, 2), kWhite);
    EXPECT_EQ(dest.GetPixel(3, 3), kBlue);
    EXPECT_EQ(dest.GetPixel(0, 0), kBlue);
}

TEST_F(cGradientTest, DrawEdgeSunkenOuter)
{
    const QPalette saved = QApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Active, QPalette::Dark, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Active, QPalette::Light, QColor(0xFF, 0xFF, 0xFF));
    QApplication::setPalette(p);
    cGradient g;
    ASSERT_NE(g.Init(6, 5), nullptr);
    g.Cls(kBlue);
    g.DrawEdge(0, 0, -1, -1, gdi::kEdgeSunkenOuter, gdi::kBorderRect);
    EXPECT_EQ(rowsOf(g, 0x808080), (std::vector<std::string>{"#####.", "#.....", "#.....", "#.....", "......"}));
    EXPECT_EQ(rowsOf(g, kWhite), (std::vector<std::string>{".....#", ".....#", ".....#", ".....#", "######"}));
    QApplication::setPalette(saved);
}

TEST_F(cGradientTest, RectangleAndEllipseOutlines)
{
    cGradient g;
    whiteSurface(g, 10, 8);
    g.Rectangle(2, 2, 8, 6, kRed, nullptr, kBlue);
    EXPECT_EQ(rowsOf(g, kBlue)[2], "..######..");
    EXPECT_EQ(rowsOf(g, kBlue)[3], "..#....#..");
    EXPECT_EQ(rowsOf(g, kRed)[3], "...####...");
    EXPECT_EQ(rowsOf(g, kBlue)[5], "..######..");
    EXPECT_EQ(g.GetPixel(8, 6), kWhite);

    cGradient e;
    whiteSurface(e, 20, 20);
    e.DrawEllipse(2, 2, 13, 13, 0);
    const std::vector<std::string> rows = rowsOf(e, 0);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 20; ++x) {
            if (rows[size_t(y)][size_t(x)] != '#') continue;
            EXPECT_TRUE(x >= 2 && x <= 12 && y >= 2 && y <= 12) << x << "," << y;
            // Symmetric about the box's centre pixel (7, 7).
            EXPECT_EQ(rows[size_t(y)][size_t(14 - x)], '#') << x << "," << y;
            EXPECT_EQ(rows[size_t(14 - y)][size_t(x)], '#') << x << "," << y;
        }
    EXPECT_EQ(rows[7].find('#'), 2u);      // touches the left of the box
    EXPECT_EQ(rows[7].rfind('#'), 12u);    // and its right
    EXPECT_EQ(rows[2].find('#') + rows[2].rfind('#'), 14u);   // centred on 7
    EXPECT_EQ(e.GetPixel(7, 7), kWhite);   // not filled
}

TEST_F(cGradientTest, FontsAndText)
{
    cGradient parent;
    whiteSurface(parent, 50, 20);
    FontObject f;
    f.Name = "Sans Serif";
    f.Size = 12;
    f.Weight = 700;
    parent.Font(f);
    parent.ForeColor(kRed);
    parent.BackColor(kGreen);
    parent.BackStyle(gdi::kTransparent);
    const std::optional<FontObject> described = parent.Font();
    ASSERT_TRUE(described.has_value());
    EXPECT_DOUBLE_EQ(described->Size, 12.0);     // 16 pixels of character height
    EXPECT_EQ(described->Weight, 700);
    EXPECT_GT(parent.FontHeight(), 0);
    EXPECT_LT(parent.TextWidth("ab"), parent.TextWidth("abcd"));

    // A child takes the parent's colours, background mode and font at the
    // parent's own size.
    cGradient child;
    ASSERT_NE(child.Init(10, 10, parent.hdc()), nullptr);
    EXPECT_EQ(child.ForeColor(), kRed);
    EXPECT_EQ(child.BackColor(), kGreen);
    EXPECT_EQ(child.BackStyle(), gdi::kTransparent);
    ASSERT_TRUE(child.Font().has_value());
    EXPECT_DOUBLE_EQ(child.Font()->Size, 12.0);
    EXPECT_EQ(child.FontHeight(), parent.FontHeight());

    // Measuring writes nothing and gives the rectangle the text needs.
    int32_t l = 3, t = 4, r = 3, b = 4;
    const int32_t height = parent.DrawText("Hello", l, t, r, b, static_cast<int32_t>(gdi::kTextCalcRect));
    EXPECT_GT(height, 0);
    EXPECT_EQ(b - t, height);
    EXPECT_GT(r, l);
    EXPECT_TRUE(rowsOf(parent, kWhite) == std::vector<std::string>(20, std::string(50, '#')));
    parent.DrawText("Hello", l, t, r, b, 0);
    EXPECT_FALSE(rowsOf(parent, kWhite) == std::vector<std::string>(20, std::string(50, '#')));
}

TEST_F(cGradientTest, GradientFillRuns)
{
    cGradient g;
    whiteSurface(g, 256, 4);
    TriVertex v[2];
    v[0].x = 0;
    v[0].y = 0;
    v[1].x = 256;
    v[1].y = 2;
    v[1].Red = 0xFF00;
    v[1].Blue = 0x8000;
    const GradientRect rect{0, 1};
    ASSERT_TRUE(GradientFill(g.hdc(), v, 2, &rect, 1, kGradientFillRectH));
    EXPECT_EQ(g.GetPixel(0, 0), 0);
    EXPECT_EQ(g.GetPixel(128, 1), 127 + 65536 * 64);
    EXPECT_EQ(g.GetPixel(255, 0), 254 + 65536 * 127);
    EXPECT_EQ(g.GetPixel(0, 2), kWhite);
    // Clipped, a run starts part way and still lands on the same values.
    g.Cls(kWhite);
    g.SetClipRect(100, 0, 200, 4);
    ASSERT_TRUE(GradientFill(g.hdc(), v, 2, &rect, 1, kGradientFillRectH));
    EXPECT_EQ(g.GetPixel(99, 0), -1);
    EXPECT_EQ(g.GetPixel(128, 1), 127 + 65536 * 64);
    EXPECT_EQ(g.GetPixel(199, 0), 198 + 65536 * 99);
    g.SetClipRect(-1, 0, 0, 0);
    EXPECT_EQ(g.GetPixel(99, 0), kWhite);

    v[1].y = 4;
    v[1].x = 1;
    v[0].Green = 0xFF00;
    ASSERT_TRUE(GradientFill(g.hdc(), v, 2, &rect, 1, kGradientFillRectV));
    EXPECT_EQ(g.GetPixel(0, 0), 0x00FF00);
    EXPECT_EQ(g.GetPixel(0, 2), 127 + 256 * 127 + 65536 * 64);

    const GradientRect bad{0, 2};
    EXPECT_FALSE(GradientFill(g.hdc(), v, 2, &bad, 1, kGradientFillRectH));
    EXPECT_FALSE(GradientFill(nullptr, nullptr, 0, nullptr, 0, 0));   // the probe call
}

TEST_F(cGradientTest, NormalizeRect)
{
    int32_t l = 30, t = 30, r = 10, b = 10;
    cGradient::NormalizeRect(l, t, r, b);
    EXPECT_EQ(l, 10);
    EXPECT_EQ(t, 10);
    EXPECT_EQ(r, 30);
    EXPECT_EQ(b, 30);
}

} // namespace tq
