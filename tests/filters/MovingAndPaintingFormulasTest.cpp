// The members that move or paint pixels, held against their formulas written
// out plainly: the walk box read from the selection's bounding box, one point
// test per pixel, tiles and cells laid one by one, every value rounded where
// the definition rounds it. Random pictures (border included), selections of
// every shape, random arguments, and a clock that lets every row's report
// through, so the progress reports are compared too.
#include "PositionPictures.h"
#include "RandomCases.h"

#include <cmath>
#include <random>
#include <string>

namespace tq {
namespace {

using namespace randomcases;

using namespace positionpics;

float sgl(double v) { return static_cast<float>(v); }
const double kPiS = static_cast<double>(3.141592f);
const double kTwoPiS = static_cast<double>(6.283184f);

// The state a definition walks with, and the reports it would raise.
struct Plain {
    const BitsBuffer& bits;
    const Region& rg;
    int MaxX, MaxY;
    int left = 0, right = -1, top = 0, bottom = -1;
    std::vector<int32_t> reports;

    Plain(const BitsBuffer& b, const Region& r) : bits(b), rg(r), MaxX(b.width() - 1), MaxY(b.height() - 1)
    {
        const RectI box = rg.boundingBox();
        left = box.left;
        right = box.right - 1;
        top = box.top;
        bottom = box.bottom - 1;
    }
    bool selected(int x, int y) const { return x >= 0 && y >= 0 && x <= MaxX && y <= MaxY && rg.contains(x, y); }
    void afterRow(int y)
    {
        if (MaxY != 0) reports.push_back(y * 100 / MaxY);
    }
    void afterStep(int64_t step, int64_t last)
    {
        if (last != 0) reports.push_back(static_cast<int32_t>(step * 100 / last));
    }
    void copy(BitsBuffer& out, int x, int y, int sx, int sy) const
    {
        for (int c = 0; c < 3; ++c) out.at(c, x, y) = bits.at(c, sx, sy);
    }
};

// Runs a member on an engine holding pic and rg and compares it with the
// definition's buffer and reports.
void expectDefinition(const std::string& what, const BitsBuffer& pic, const Region& rg, const BitsBuffer& want,
                      std::vector<int32_t> wantReports, const std::function<FilterResult(cBitFilter&)>& member)
{
    Engine e(pic, rg);
    e.reportEveryRow();
    const FilterResult got = member(e.f);
    ASSERT_TRUE(got) << what;
    EXPECT_EQ(firstDifference(want, *got), "") << what;
    wantReports.push_back(100);
    EXPECT_EQ(e.reports, wantReports) << what;
}

// The tiles (cells) of a walk from first to last: the first at first, then
// every step while the corner lies strictly before last.
std::vector<int> corners(int first, int last, int step)
{
    std::vector<int> v;
    if (last < first) return v;
    v.push_back(first);
    for (int c = first + step; c < last; c += step) v.push_back(c);
    return v;
}

// The walk of the distortions: every pixel of the box a destination, its
// source tested against the selection.
template <class Map>
BitsBuffer inverseMapped(Plain& p, bool cleanBack, Map map)
{
    BitsBuffer out = p.bits;
    for (int y = p.top; y <= p.bottom; ++y) {
        for (int x = p.left; x <= p.right; ++x) {
            int sx, sy;
            map(x, y, sx, sy);
            if (p.selected(sx, sy))
                p.copy(out, x, y, sx, sy);
            else if (cleanBack)
                for (int c = 0; c < 3; ++c) out.at(c, x, y) = 0;
        }
        p.afterRow(y);
    }
    return out;
}

int between(std::mt19937& g, int lo, int hi) { return lo + static_cast<int>(g() % static_cast<uint32_t>(hi - lo + 1)); }

// A round's picture: its size (sides 1 to 30), pixels and selection, drawn
// in that order from the round's generator, and the words naming it.
struct RoundPicture {
    RoundPicture(std::mt19937& g, int round)
        : w(between(g, 1, 30)), h(between(g, 1, 30)), pic(noisePicture(w, h, g)), rg(anySelection(w, h, g)),
          MaxX(w - 1), MaxY(h - 1),
          at(std::to_string(w) + " x " + std::to_string(h) + ", round " + std::to_string(round))
    {
    }
    const int w, h;
    const BitsBuffer pic;
    const Region rg;
    const int MaxX, MaxY;
    const std::string at;
};

float fraction(std::mt19937& g, double scale) { return sgl(static_cast<double>(g() % 1000) / 999.0 * scale); }

TEST(MovingAndPaintingFormulas, Distortions)
{
    for (int round = 0; round < 150; ++round) {
        randomcases::SeededRound seeded(5, round);
        if (!seeded.wanted()) continue;
        std::mt19937& g = seeded.gen;
        const auto& [w, h, pic, rg, MaxX, MaxY, at] = RoundPicture(g, round);
        const int cx = MaxX / 2, cy = MaxY / 2;
        const bool clean = g() & 1;

        const int bendFactor = between(g, -150, 150);
        {
            Plain p(pic, rg);
            const float k = sgl(bendFactor / 100.0 + 2);
            const BitsBuffer want = inverseMapped(p, clean, [&](int x, int y, int& sx, int& sy) {
                const int dx = x - cx, dy = y - cy;
                const float d = sgl(k * std::sqrt(double(dx * dx + dy * dy)));
                float a = sgl(-double(cBitFilter::GetAngle(dy, dx)));
                if (dy < 0 || dx > 0) a = sgl(a + kTwoPiS);
                sx = rnd(MaxX * double(a) / kTwoPiS);
                sy = rnd(MaxY - double(d));
            });
            expectDefinition("BEND " + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.BEND(bendFactor, clean); });
        }
        const int wf = between(g, -150, 150), hf = between(g, -150, 150);
        if (MaxX > 0 && MaxY > 0) {
            Plain p(pic, rg);
            const BitsBuffer want = inverseMapped(p, clean, [&](int x, int y, int& sx, int& sy) {
                const double dx = x - cx, dy = y - cy;
                sx = rnd(cx + dx * (1 + (dy / 100) * hf / MaxY));
                sy = rnd(cy + dy * (1 + (dx / 100) * wf / MaxX));
            });
            expectDefinition("FOLD " + at, pic, rg, want, p.reports, [&](cBitFilter& f) { return f.FOLD(wf, hf, clean); });
        }
        {
            Plain p(pic, rg);
            const float kx = sgl(1 + wf / 100.0), ky = sgl(1 + hf / 100.0);
            const BitsBuffer want = inverseMapped(p, clean, [&](int x, int y, int& sx, int& sy) {
                sx = rnd((x - cx) * double(kx) + cx);
                sy = rnd((y - cy) * double(ky) + cy);
            });
            expectDefinition("STRETCH " + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.STRETCH(wf, hf, clean); });
        }
        const int twirl = between(g, -100, 100), offsetDeg = between(g, -360, 360);
        if (cx > 0) {
            Plain p(pic, rg);
            const float k = sgl((twirl / 10.0) / cx), off = sgl(offsetDeg * kDegToRad);
            const BitsBuffer want = inverseMapped(p, clean, [&](int x, int y, int& sx, int& sy) {
                const int dx = x - cx, dy = y - cy;
                const int r = rnd(std::sqrt(double(dx * dx + dy * dy)));
                if (r == 0) {
                    sx = cx;
                    sy = cy;
                    return;
                }
                const float a = sgl(double(cBitFilter::GetAngle(dx, dy)) - r * double(k));
                sx = rnd(r * std::cos(double(a) + double(off)) + cx);
                sy = rnd(r * std::sin(double(a) + double(off)) + cy);
            });
            expectDefinition("TWIRL " + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.TWIRL(twirl, offsetDeg, clean); });
        }
        const int degrees = between(g, -400, 400);
        {
            Plain p(pic, rg);
            const float c = sgl(std::cos(degrees * kDegToRad)), s = sgl(std::sin(degrees * kDegToRad));
            const BitsBuffer want = inverseMapped(p, clean, [&](int x, int y, int& sx, int& sy) {
                const int dx = x - cx, dy = y - cy;
                sx = rnd(dx * double(c) - dy * double(s) + cx);
                sy = rnd(dx * double(s) + dy * double(c) + cy);
            });
            expectDefinition("ROTATE " + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.ROTATE(degrees, clean); });
        }
        const int phase = between(g, -100, 100), amplitude = between(g, -100, 100), start = between(g, -360, 360);
        {
            Plain p(pic, rg);
            const float fs = sgl(phase), A = sgl(amplitude * 0.25);
            BitsBuffer want = pic;
            for (int y = p.top; y <= p.bottom; ++y) {
                const int sy = std::clamp(rnd(y + double(A) * std::sin((start + double(fs) * y) * kDegToRad)), 0, MaxY);
                for (int x = p.left; x <= p.right; ++x)
                    if (p.selected(x, y)) p.copy(want, x, y, x, sy);
                p.afterRow(y);
            }
            expectDefinition("WAVES " + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.WAVES(phase, amplitude, start); });
        }
    }
}

// LENS and Light walk the square of their disc, rows off the picture
// included.
TEST(MovingAndPaintingFormulas, Discs)
{
    for (int round = 0; round < 150; ++round) {
        randomcases::SeededRound seeded(7, round);
        if (!seeded.wanted()) continue;
        std::mt19937& g = seeded.gen;
        const auto& [w, h, pic, rg, MaxX, MaxY, at] = RoundPicture(g, round);
        const float xRel = fraction(g, 1), yRel = fraction(g, 1), dRel = fraction(g, 0.7);
        const int cx = rnd(double(xRel) * MaxX), cy = rnd(double(yRel) * MaxY);
        const int R = MaxX > MaxY ? rnd(double(dRel) * MaxX) : rnd(double(dRel) * MaxY);

        const int strength = between(g, -10, 310);
        {
            Plain p(pic, rg);
            const float hh = sgl(double(R * (150 - strength)) / 150);
            const double under = double(R * R) - double(hh) * double(hh);
            const float s = under >= 0 ? sgl(std::sqrt(under)) : 0.0f;   // a failed root leaves s at 0
            const int s2 = rnd(double(s) * double(s));
            BitsBuffer want = pic;
            for (int Y = -R; Y <= R; ++Y) {
                for (int X = -R; X <= R; ++X) {
                    if (X * X + Y * Y >= s2 || !p.selected(cx + X, cy + Y)) continue;
                    const int z = rnd(std::sqrt(double(R * R - X * X - Y * Y)));
                    const int sx = cx + rnd(X * double(hh)) / z, sy = cy + rnd(Y * double(hh)) / z;
                    if (sx >= 0 && sy >= 0 && sx <= MaxX && sy <= MaxY) p.copy(want, cx + X, cy + Y, sx, sy);
                }
                p.afterStep(Y + R, 2 * R);
            }
            expectDefinition("LENS " + at + ", factor " + std::to_string(strength), pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.LENS(xRel, yRel, dRel, strength); });
        }
        const int iFactor = between(g, -50, 500), dFactor = between(g, 0, 120);
        {
            Plain p(pic, rg);
            const float k = sgl(1 - dFactor / 100.0);
            BitsBuffer want = pic;
            for (int Y = -R; Y <= R; ++Y) {
                for (int X = -R; X <= R; ++X) {
                    const int d2 = X * X + Y * Y;
                    if (d2 >= R * R || !p.selected(cx + X, cy + Y)) continue;
                    const int add = rnd(iFactor * (1 - double(k) * std::sqrt(double(d2)) / R));
                    for (int c = 0; c < 3; ++c)
                        want.at(c, cx + X, cy + Y) = static_cast<uint8_t>(std::clamp(pic.at(c, cx + X, cy + Y) + add, 0, 255));
                }
                p.afterStep(Y + R, 2 * R);
            }
            expectDefinition("Light " + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.Light(xRel, yRel, dRel, iFactor, dFactor); });
        }
    }
}

TEST(MovingAndPaintingFormulas, TilesCellsAndGrid)
{
    for (int round = 0; round < 150; ++round) {
        randomcases::SeededRound seeded(9, round);
        if (!seeded.wanted()) continue;
        std::mt19937& g = seeded.gen;
        const auto& [w, h, pic, rg, MaxX, MaxY, at] = RoundPicture(g, round);

        const int factor = between(g, 0, 5);
        {
            Plain p(pic, rg);
            int tw = factor == 0 ? 0 : rnd(double(MaxX) / factor), th = factor == 0 ? 0 : rnd(double(MaxY) / factor);
            tw = std::max(tw, 1);
            th = std::max(th, 1);
            const float fx = sgl(double(MaxX) / tw), fy = sgl(double(MaxY) / th);
            BitsBuffer want = pic;
            for (int y0 : corners(p.top, p.bottom, th)) {
                for (int x0 : corners(p.left, p.right, tw))
                    for (int i = 0; i <= th; ++i)
                        for (int j = 0; j <= tw; ++j)
                            if (p.selected(x0 + j, y0 + i)) p.copy(want, x0 + j, y0 + i, rnd(j * double(fx)), rnd(i * double(fy)));
                p.afterRow(y0);
            }
            expectDefinition("TILE " + at, pic, rg, want, p.reports, [&](cBitFilter& f) { return f.TILE(factor); });
        }
        const BitsBuffer tex = noisePicture(between(g, 2, 7), between(g, 2, 7), g);
        {
            Plain p(pic, rg);
            BitsBuffer want = pic;
            for (int y0 : corners(p.top, p.bottom, tex.height() - 1)) {
                for (int x0 : corners(p.left, p.right, tex.width() - 1))
                    for (int j = 0; j < tex.height(); ++j)
                        for (int i = 0; i < tex.width(); ++i) {
                            if (!p.selected(x0 + i, y0 + j)) continue;
                            const float t = sgl(tex.at(0, i, j) / 128.0);
                            for (int c = 0; c < 3; ++c)
                                want.at(c, x0 + i, y0 + j) = static_cast<uint8_t>(std::min(rnd(pic.at(c, x0 + i, y0 + j) * double(t)), 255));
                        }
                p.afterRow(y0);
            }
            expectDefinition("Texturize " + at, pic, rg, want, p.reports, [&](cBitFilter& f) { return f.Texturize(tex); });
        }
        const int radius = between(g, 1, 4), definition = between(g, 0, 100), intensity = between(g, 0, 100);
        {
            Plain p(pic, rg);
            const float k = sgl((intensity + 100) / 100.0);
            const int R2 = rnd(((double(radius) + definition) / radius) * radius * radius);
            BitsBuffer want = pic;
            for (int y0 : corners(p.top, p.bottom, 2 * radius)) {
                for (int x0 : corners(p.left, p.right, 2 * radius)) {
                    int64_t sum[3] = {0, 0, 0};
                    int n = 0;
                    for (int y = y0; y <= y0 + 2 * radius; ++y)
                        for (int x = x0; x <= x0 + 2 * radius; ++x)
                            if (p.selected(x, y)) {
                                for (int c = 0; c < 3; ++c) sum[c] += pic.at(c, x, y);
                                ++n;
                            }
                    const int m = rnd(n / double(k));
                    double mean[3];
                    for (int c = 0; c < 3; ++c) mean[c] = m > 0 ? std::min(rnd(double(sum[c]) / m), 255) : double(sum[c]);
                    for (int dy = -radius; dy <= radius; ++dy)
                        for (int dx = -radius; dx <= radius; ++dx) {
                            const int x = x0 + radius + dx, y = y0 + radius + dy, d2 = dx * dx + dy * dy;
                            if (!p.selected(x, y)) continue;
                            const float u = d2 > R2 ? 0.0f : sgl(1 - double(d2) / R2);
                            for (int c = 0; c < 3; ++c) want.at(c, x, y) = static_cast<uint8_t>(rnd(double(u) * mean[c]));
                        }
                }
                p.afterRow(y0);
            }
            expectDefinition("HALFTONE " + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.HALFTONE(radius, definition, intensity); });
        }
        const int xOffset = between(g, -15, w + 5), yOffset = between(g, -15, h + 5), transparency = between(g, 0, 100);
        const bool tiled = g() & 1;
        const BitsBuffer place = noisePicture(between(g, 1, 8), between(g, 1, 8), g);
        const int maskColor = g() & 1 ? -1 : rgbColor(place.at(2, 0, 0), place.at(1, 0, 0), place.at(0, 0, 0));
        {
            Plain p(pic, rg);
            const float d = sgl(transparency / 100.0), e = sgl(1 - double(d));
            const int wt = place.width(), ht = place.height();
            std::vector<int> xs{xOffset}, ys{yOffset};
            if (tiled) {
                for (int x0 = xOffset + wt; x0 <= MaxX; x0 += wt) xs.push_back(x0);
                for (int y0 = yOffset + ht; y0 <= MaxY; y0 += ht) ys.push_back(y0);
                if (xOffset > MaxX) xs.clear();
                if (yOffset > MaxY) ys.clear();
            }
            BitsBuffer want = pic;
            for (int y0 : ys) {
                for (int x0 : xs)
                    for (int y = y0; y < y0 + ht; ++y)
                        for (int x = x0; x < x0 + wt; ++x) {
                            if (!p.selected(x, y)) continue;
                            const uint8_t* t = place.pixel(x - x0, y - y0);
                            if (maskColor != -1 && rgbColor(t[2], t[1], t[0]) == maskColor) continue;
                            for (int c = 0; c < 3; ++c)
                                want.at(c, x, y) = static_cast<uint8_t>(rnd(pic.at(c, x, y) * double(d) + t[c] * double(e)));
                        }
                if (yOffset != MaxY) p.afterStep(y0 - yOffset, MaxY - yOffset);
            }
            expectDefinition("TileMask " + at + (tiled ? ", tiled" : ""), pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.TileMask(place, xOffset, yOffset, tiled, transparency, maskColor); });
        }
        const int hStep = between(g, 1, 6), vStep = between(g, 1, 6), opacity = between(g, 0, 255);
        const int color = static_cast<int>(g() & 0xFFFFFF);
        const bool margins = g() & 1;
        {
            Plain p(pic, rg);
            const float a = sgl(opacity / 255.0), e = sgl(1 - double(a));
            const int part[3] = {colorBlue(color), colorGreen(color), colorRed(color)};
            BitsBuffer want = pic;
            const auto paint = [&](int x, int y) {
                if (!p.selected(x, y)) return;
                for (int c = 0; c < 3; ++c)
                    want.at(c, x, y) = static_cast<uint8_t>(rnd(double(a) * part[c] + pic.at(c, x, y) * double(e)));
            };
            for (int y = p.top; y <= p.bottom; y += vStep) {
                for (int x = p.left; x <= p.right; ++x) paint(x, y);
                p.afterRow(y);
            }
            if (margins)
                for (int x = p.left; x <= p.right; ++x) paint(x, MaxY);
            for (int x = p.left; x <= p.right; x += hStep) {
                for (int y = p.top; y <= p.bottom; ++y) paint(x, y);
                p.afterStep(x, MaxX);
            }
            if (margins)
                for (int y = p.top; y <= p.bottom; ++y) paint(MaxX, y);
            expectDefinition("Grid " + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) { return f.Grid(hStep, vStep, margins, color, opacity); });
        }
    }
}

TEST(MovingAndPaintingFormulas, GlassAndGradients)
{
    for (int round = 0; round < 100; ++round) {
        randomcases::SeededRound seeded(11, round);
        if (!seeded.wanted()) continue;
        std::mt19937& g = seeded.gen;
        const auto& [w, h, pic, rg, MaxX, MaxY, at] = RoundPicture(g, round);

        // Every variant's source point, from the walk counter n or the
        // pixel's own coordinates; a point too far out for a whole number is
        // outside the picture anyway.
        using Source = std::function<void(double x, double y, double n, double& sx, double& sy)>;
        const std::pair<std::string, std::vector<Source>> styles[] = {
            {"slanting",
             {[](double x, double, double n, double& sx, double&) { sx = x - 3 * std::sin(n); },
              [](double, double y, double n, double&, double& sy) { sy = y - 10 * std::sin(n); }}},
            {"vertical",
             {[](double x, double, double, double& sx, double&) { sx = x + 2 * std::tan(x); },
              [](double x, double, double, double& sx, double&) { sx = x - 3 * std::sin(x); },
              [](double x, double, double, double& sx, double&) { sx = x - 10 * std::cos(x); }}},
            {"horizontal",
             {[](double, double y, double, double&, double& sy) { sy = y + 2 * std::tan(y); },
              [](double, double y, double, double&, double& sy) { sy = y - 3 * std::sin(y); },
              [](double, double y, double, double&, double& sy) { sy = y - 10 * std::cos(y); }}},
            {"squary",
             {[](double x, double y, double, double& sx, double& sy) { sx = x + 2 * std::tan(x); sy = y + 2 * std::tan(y); },
              [](double x, double y, double, double& sx, double& sy) { sx = x - 5 * std::sin(x); sy = y - 5 * std::sin(y); },
              [](double x, double y, double, double& sx, double& sy) { sx = x - 10 * std::cos(x); sy = y - 10 * std::cos(y); }}},
            {"curtain",
             {[](double, double y, double, double& sx, double&) { sx = std::tan(y); },
              [](double x, double, double, double& sx, double&) { sx = std::tan(x); },
              [](double x, double y, double, double& sx, double&) { sx = std::tan(x) * std::tan(y); },
              [](double x, double y, double, double&, double& sy) { sy = std::tan(y) + std::tan(x); }}},
        };
        for (const auto& [style, variants] : styles)
            for (size_t v = 0; v < variants.size(); ++v) {
                Plain p(pic, rg);
                BitsBuffer want = pic;
                int n = 0;
                for (int y = p.top; y <= p.bottom; ++y) {
                    for (int x = p.left; x <= p.right; ++x) {
                        ++n;
                        double sx = x, sy = y;
                        variants[v](x, y, n, sx, sy);
                        sx = std::nearbyint(sx);
                        sy = std::nearbyint(sy);
                        if (std::fabs(sx) < 1e9 && std::fabs(sy) < 1e9 && p.selected(int(sx), int(sy)))
                            p.copy(want, x, y, int(sx), int(sy));
                    }
                    p.afterRow(y);
                }
                expectDefinition("GLASS " + style + " " + std::to_string(v) + ", " + at, pic, rg, want, p.reports,
                                 [&](cBitFilter& f) { return f.GLASS(style, static_cast<int16_t>(v)); });
            }

        for (bool linear : {true, false}) {
            const int X1 = between(g, -5, w + 5), Y1 = between(g, -5, h + 5);
            const int X2 = between(g, -5, w + 5), Y2 = between(g, -5, h + 5);
            const int color1 = g() % 5 == 0 ? -1 : static_cast<int>(g() & 0xFFFFFF);
            const int color2 = g() % 5 == 0 ? -1 : static_cast<int>(g() & 0xFFFFFF);
            const int pressure = between(g, 0, 100), frequency = between(g, -1, 5);
            const int dx = X2 - X1, dy = Y2 - Y1;
            if (dx == 0 && dy == 0) continue;
            Plain p(pic, rg);
            const int len = rnd(std::sqrt(double(dx * dx + dy * dy)));
            const float pr = sgl(pressure / 100.0), q = sgl(1 - double(pr));
            float fr = sgl((frequency - 1) * kPiS);
            if (static_cast<float>(len) < fr) fr = sgl(len);
            float ang = dx != 0 ? sgl(std::atan(double(dy) / dx)) : sgl((dy > 0 ? 1 : -1) * 90 * kDegToRad);
            if (dx < 0)
                ang = sgl(ang + 180 * kDegToRad);
            else if (dy < 0)
                ang = sgl(ang + 360 * kDegToRad);
            const float cl = sgl(std::cos(ang) / static_cast<float>(len)), sl = sgl(std::sin(ang) / static_cast<float>(len));
            BitsBuffer want = pic;
            for (int py = 0; py <= MaxY; ++py) {
                for (int px = 0; px <= MaxX; ++px) {
                    if (!p.selected(px, py)) continue;
                    const int X = px - X1, Y = py - Y1;
                    float t = linear ? sgl(X * double(cl) + Y * double(sl)) : sgl(std::sqrt(double(X * X + Y * Y)) / len);
                    if (fr > 0) {
                        t = sgl(std::sin(double(t) * fr));
                        t = sgl(double(t) * t);
                    }
                    if (t > 1) t = 1;
                    if (linear && t < 0) t = 0;
                    const float u = sgl(1 - double(t));
                    const int start[3] = {colorBlue(color1), colorGreen(color1), colorRed(color1)};
                    const int end[3] = {colorBlue(color2), colorGreen(color2), colorRed(color2)};
                    for (int c = 0; c < 3; ++c) {
                        const int own = pic.at(c, px, py);
                        const double sv = color1 == -1 ? own : start[c], ev = color2 == -1 ? own : end[c];
                        const double v = std::nearbyint(double(pr) * (double(t) * ev + double(u) * sv) + double(q) * own);
                        if (v >= 0 && v <= 255) want.at(c, px, py) = static_cast<uint8_t>(v);
                    }
                }
                p.afterRow(py);
            }
            expectDefinition(std::string(linear ? "GradientLinear " : "GradientCircular ") + at, pic, rg, want, p.reports,
                             [&](cBitFilter& f) {
                                 return linear ? f.GradientLinear(X1, Y1, X2, Y2, color1, color2, pressure, frequency)
                                               : f.GradientCircular(X1, Y1, X2, Y2, color1, color2, pressure, frequency);
                             });
        }
    }
}

} // namespace
} // namespace tq
