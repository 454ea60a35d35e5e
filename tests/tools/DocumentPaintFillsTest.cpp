// Tolerance flood fills with a colour and with a texture.
#include "PaintFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace tq::test {
namespace {

// Picture rows given as one grey level a pixel.
BitsBuffer greyPicture(std::initializer_list<std::vector<int>> rows)
{
    const int h = static_cast<int>(rows.size());
    const int w = static_cast<int>(rows.begin()->size());
    BitsBuffer b(w, h);
    int y = 0;
    for (const auto& row : rows) {
        for (int x = 0; x < w; ++x) setPixel(b, x, y, grey(row[x]));
        ++y;
    }
    return b;
}

TEST(Fill, ToleranceIsTheSumOfChannelDifferencesOverFourNeighbours)
{
    Doc doc(5, 3, grey(100));
    setPixel(doc.bits, 1, 0, Rgb{110, 100, 100});   // distance 10: in
    setPixel(doc.bits, 2, 0, Rgb{104, 104, 103});   // 11, though no channel is 10 off: out
    setPixel(doc.bits, 3, 1, Rgb{97, 104, 103});    // 10: in
    setPixel(doc.bits, 3, 0, grey(0));
    setPixel(doc.bits, 4, 1, grey(0));              // (4, 0) now touches the area only diagonally
    doc.paint.BitsFill(0, 0, rgbColor(0, 0, 255), 10, 100);
    const Rgb blue{0, 0, 255};
    EXPECT_EQ(doc.at(0, 0), blue);
    EXPECT_EQ(doc.at(1, 0), blue);
    EXPECT_EQ(doc.at(2, 0), (Rgb{104, 104, 103}));
    EXPECT_EQ(doc.at(3, 1), blue);
    EXPECT_EQ(doc.at(3, 0), grey(0));
    EXPECT_EQ(doc.at(4, 1), grey(0));
    EXPECT_EQ(doc.at(4, 2), blue);
    EXPECT_EQ(doc.at(4, 0), grey(100));   // its neighbours are (3, 0) and (4, 1): only diagonal contact
}

TEST(Fill, ToleranceZeroTakesTheExactColourOnly)
{
    Doc doc(greyPicture({
        {50, 50, 51, 50},
        {50, 51, 50, 50},
        {51, 50, 50, 50},
    }));
    doc.paint.BitsFill(0, 0, 0xFFFFFF, 0, 100);
    EXPECT_EQ(doc.at(0, 0), kWhite);
    EXPECT_EQ(doc.at(1, 0), kWhite);
    EXPECT_EQ(doc.at(0, 1), kWhite);
    EXPECT_EQ(doc.at(2, 0), grey(51));
    EXPECT_EQ(doc.at(2, 1), grey(50));   // cut off by the diagonal of 51s
    EXPECT_EQ(doc.at(3, 2), grey(50));
}

TEST(Fill, ClickedPixelIsBlendedOnce)
{
    // At pressure 50 the clicked white pixel becomes 128, still within
    // tolerance of white; it must not be painted a second time (64).
    Doc doc(4, 4, kWhite);
    doc.paint.BitsFill(1, 1, 0, 400, 50);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(doc.at(x, y), grey(128)) << x << "," << y;
    EXPECT_TRUE(doc.paint.DoneBits(1, 1));
}

TEST(Fill, ColourCloseToTheClickedOneBlendsTheClickedPixelAlone)
{
    Doc doc(4, 4, grey(100));
    doc.paint.BitsFill(1, 1, rgbColor(109, 91, 105), 50, 100);
    EXPECT_EQ(doc.at(1, 1), (Rgb{109, 91, 105}));
    EXPECT_EQ(doc.at(2, 1), grey(100));

    Doc far(4, 4, grey(100));
    far.paint.BitsFill(1, 1, rgbColor(110, 100, 100), 50, 100);
    EXPECT_EQ(far.at(2, 1), (Rgb{110, 100, 100}));
}

TEST(Fill, PressureBlendsThroughTablesHeldAt255)
{
    Doc doc(3, 1, grey(240));
    setPixel(doc.bits, 2, 0, kWhite);
    doc.paint.BitsFill(0, 0, 0xFFFFFF, 50, 50);
    EXPECT_EQ(doc.at(0, 0), grey(248));   // 120 + 127.5 -> 248 (even)
    EXPECT_EQ(doc.at(1, 0), grey(248));   // 120 + rnd(127.5) = 248
    EXPECT_EQ(doc.at(2, 0), kWhite);      // 127.5 + 128 -> 256, held at 255
}

TEST(Fill, ClickOutsideThePictureChangesNothing)
{
    Doc doc(4, 4, kWhite);
    const BitsBuffer before = doc.bits;
    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 4}}) {
        doc.paint.BitsFill(x, y, 0, 100, 100);
        doc.paint.BitsFillTexture(x, y, Stamp(2, 2, kBlack).source(), 100, 100);
    }
    EXPECT_EQ(doc.bits, before);
}

TEST(Fill, ClickOutsideTheSelectionSpreadsIntoIt)
{
    Doc doc(6, 3, kWhite);
    doc.selection.CreateRect(3, 0, 6, 3, 2, true);
    doc.paint.BitsFill(2, 1, 0, 10, 100);
    EXPECT_EQ(doc.at(2, 1), kWhite);   // clicked, but not in the selection
    EXPECT_EQ(doc.at(1, 1), kWhite);
    for (int y = 0; y < 3; ++y)
        for (int x = 3; x < 6; ++x) EXPECT_EQ(doc.at(x, y), kBlack) << x << "," << y;
}

TEST(Fill, PixelsAlreadyMarkedInTheStrokeCountAsVisited)
{
    Doc doc(9, 3, kWhite);
    doc.paint.BitsBrush(4, 1, 1, 1, 0);   // marks (4, 1), changes it to 252
    setPixel(doc.bits, 4, 0, grey(0));
    setPixel(doc.bits, 4, 2, grey(0));
    doc.paint.BitsFill(0, 1, rgbColor(255, 0, 0), 20, 100);
    EXPECT_EQ(doc.at(3, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(doc.at(4, 1), grey(252));
    EXPECT_EQ(doc.at(5, 1), kWhite);
}

TEST(FillTexture, RepeatsFromThePictureOriginWhateverPixelIsClicked)
{
    Stamp tex(3, 2, Rgb{10, 20, 30});
    tex.set(1, 0, Rgb{40, 50, 60});
    tex.set(2, 1, Rgb{70, 80, 90});
    for (auto [cx, cy] : {std::pair{0, 0}, {4, 3}, {6, 5}}) {
        Doc doc(7, 6, kWhite);
        doc.paint.BitsFillTexture(cx, cy, tex.source(), 10, 100);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 7; ++x) ASSERT_EQ(doc.at(x, y), tex.at(x % 3, y % 2)) << x << "," << y;
    }
}

TEST(FillTexture, PressureAndEarlyEnd)
{
    // Half the texture plus half the old colour: rnd(0.5 x 10) + rnd(0.5 x 255).
    Doc doc(2, 1, kWhite);
    doc.paint.BitsFillTexture(0, 0, Stamp(1, 1, grey(10)).source(), 10, 50);
    EXPECT_EQ(doc.at(0, 0), grey(132));   // the clicked pixel: rnd(127.5 + 5) = 132
    EXPECT_EQ(doc.at(1, 0), grey(133));   // 5 + 128

    // A texture within 9 of the clicked colour changes the clicked pixel alone.
    Doc close(3, 1, grey(100));
    close.paint.BitsFillTexture(1, 0, Stamp(1, 1, Rgb{109, 91, 100}).source(), 10, 100);
    EXPECT_EQ(close.at(1, 0), (Rgb{109, 91, 100}));
    EXPECT_EQ(close.at(0, 0), grey(100));

    // No texture: nothing at all.
    Doc none(3, 1, grey(100));
    none.paint.BitsFillTexture(1, 0, PaintSource{}, 10, 100);
    EXPECT_EQ(none.at(1, 0), grey(100));
}

// The pixels a fill must visit and those it must paint, worked out pixel by
// pixel in passes over a list of painted pixels (the clicked pixel already
// visited).
struct Area {
    std::vector<bool> visited, painted;
};
Area expectedArea(const BitsBuffer& b, const Region* rgn, int xs, int ys, int tol)
{
    const int w = b.width(), h = b.height();
    std::vector<bool> visited(static_cast<size_t>(w) * h), painted(visited.size());
    const Rgb s = pixelOf(b, xs, ys);
    visited[static_cast<size_t>(ys) * w + xs] = true;
    std::vector<std::pair<int, int>> front{{xs, ys}};
    size_t first = 0;
    while (first < front.size()) {
        const size_t last = front.size();
        for (size_t i = first; i < last; ++i) {
            const auto [x, y] = front[i];
            for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                if (rgn && !rgn->contains(nx, ny)) continue;
                const size_t k = static_cast<size_t>(ny) * w + nx;
                if (visited[k]) continue;
                visited[k] = true;
                const Rgb p = pixelOf(b, nx, ny);
                if (std::abs(p.r - s.r) + std::abs(p.g - s.g) + std::abs(p.b - s.b) > tol) continue;
                painted[k] = true;
                front.emplace_back(nx, ny);
            }
        }
        first = last;
    }
    return Area{visited, painted};
}

TEST(Fill, AreaMatchesAPixelByPixelWalkOnRandomPictures)
{
    // Pictures of few grey levels make ragged areas with holes, pockets and
    // long winding runs; the selections add holes of their own.
    uint32_t v = 99;
    const auto next = [&](uint32_t n) {
        v = v * 1664525u + 1013904223u;
        return static_cast<int>((v >> 8) % n);
    };
    for (int round = 0; round < 60; ++round) {
        const int w = 5 + next(40), h = 5 + next(30);
        BitsBuffer b(w, h);
        const int levels = 2 + next(3);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) setPixel(b, x, y, grey(60 * next(levels)));
        Doc doc(b);
        if (round % 3 != 0) {
            doc.selection.CreateRect(next(w / 2), next(h / 2), w / 2 + next(w / 2 + 1), h / 2 + next(h / 2 + 1), 2,
                                     true);
            doc.selection.CreateEllipse(next(w), next(h), next(w), next(h), 4, true);
            doc.selection.CreateRect(next(w), next(h), next(w), next(h), 3, true);
        }
        const int xs = next(w), ys = next(h);
        const int tol = next(2) * 60;
        const Region* rgn = doc.selection.IsEmptyRegion() ? nullptr : doc.selection.Region();
        const Area area = expectedArea(b, rgn, xs, ys, tol);

        const Rgb fillColour{30, 90, 150};
        doc.paint.BitsFill(xs, ys, colorOf(fillColour), tol, 100);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (x == xs && y == ys) continue;
                const size_t k = static_cast<size_t>(y) * w + x;
                ASSERT_EQ(doc.at(x, y) == fillColour, area.painted[k])
                    << "round " << round << " pixel " << x << "," << y << " seed " << xs << "," << ys;
                ASSERT_EQ(doc.paint.DoneBits(x, y), area.visited[k])
                    << "round " << round << " pixel " << x << "," << y << " seed " << xs << "," << ys;
            }
        const bool seedIn = rgn == nullptr || rgn->contains(xs, ys);
        EXPECT_EQ(doc.at(xs, ys) == fillColour, seedIn) << "round " << round;
    }
}

TEST(Fill, LargeWindingAreaNeedsNoDeepStack)
{
    // A serpentine corridor one pixel wide through a 601 x 601 picture.
    const int n = 601;
    BitsBuffer b = flatPicture(n, n, kBlack);
    for (int y = 0; y < n; y += 2)
        for (int x = 0; x < n; ++x) setPixel(b, x, y, kWhite);
    for (int y = 1; y < n; y += 2) setPixel(b, (y / 2) % 2 == 0 ? n - 1 : 0, y, kWhite);
    Doc doc(b);
    doc.paint.BitsFill(0, 0, rgbColor(255, 0, 0), 0, 100);
    EXPECT_EQ(doc.at(n - 1, n - 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(doc.at(0, n - 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(doc.at(5, 1), kBlack);
}

} // namespace
} // namespace tq::test
