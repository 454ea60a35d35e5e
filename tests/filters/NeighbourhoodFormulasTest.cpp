// The neighbourhood and artistic filters held against their formulas written
// out plainly: the walk box of the member's margin, one point test per
// pixel, every window read from Bits. Random pictures (border included, so
// edge windows read it), selections of every shape, random arguments, the
// random draws replayed from the same seed, and a clock that lets every
// row's report through, so the progress reports are compared too.
#include "GreyPictures.h"
#include "RandomCases.h"

#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace tq {
namespace {

using namespace randomcases;

using greypics::Engine;

// Nearly flat pictures make ties of the block choice and of the rank
// filters likely.
BitsBuffer nearlyFlatPicture(int w, int h, std::mt19937& g)
{
    BitsBuffer b = noisePicture(w, h, g);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) b.at(c, x, y) = static_cast<uint8_t>(100 + g() % 3);
    return b;
}

int between(std::mt19937& g, int lo, int hi) { return lo + static_cast<int>(g() % static_cast<uint32_t>(hi - lo + 1)); }

// One member against its definition on one picture and selection.
struct Check {
    const BitsBuffer& pic;
    const Region& rg;
    std::string at;

    int MaxX() const { return pic.width() - 1; }
    int MaxY() const { return pic.height() - 1; }
    int P(int c, int x, int y) const { return pic.at(c, x, y); }
    int sum8(int c, int x, int y) const
    {
        int s = 0;
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i)
                if (i != 0 || j != 0) s += P(c, x + i, y + j);
        return s;
    }
    bool selected(int x, int y) const
    {
        return x >= 0 && y >= 0 && x <= MaxX() && y <= MaxY() && rg.contains(x, y);
    }

    // The definition: pixel(out, x, y) for every selected pixel of the walk
    // box shrunk by margin, or visit(out, x, y) for every pixel of the box
    // when the member tests its pixels itself.
    void expect(const std::string& name, int margin, const std::function<void(BitsBuffer&, int, int)>& pixel,
                const std::function<FilterResult(cBitFilter&)>& member, bool testsItself = false) const
    {
        const RectI box = rg.boundingBox();
        BitsBuffer want = pic;
        std::vector<int32_t> reports;
        for (int y = box.top + margin; y <= box.bottom - margin - 1; ++y) {
            for (int x = box.left + margin; x <= box.right - margin - 1; ++x)
                if (testsItself || selected(x, y)) pixel(want, x, y);
            if (MaxY() != 0) reports.push_back(y * 100 / MaxY());
        }
        reports.push_back(100);

        ManualClock clock(1000, 11);   // every reading more than 10 ms after the last
        Engine e(pic, rg);
        e.f.setClock(clock);
        std::vector<int32_t> got;
        e.f.onProgress([&](int32_t& p) { got.push_back(p); });
        const FilterResult r = member(e.f);
        ASSERT_TRUE(r) << name << " " << at;
        EXPECT_EQ(firstDifference(want, *r), "") << name << " " << at;
        EXPECT_EQ(got, reports) << name << " " << at;
        EXPECT_EQ(e.f.Bits(), pic) << name << " " << at;
    }
};

uint8_t clamped(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

TEST(NeighbourhoodFormulas, NeighbourhoodFilters)
{
    for (int round = 0; round < 120; ++round) {
        randomcases::SeededRound seeded(13, round);
        if (!seeded.wanted()) continue;
        std::mt19937& g = seeded.gen;
        const int w = between(g, 1, 20), h = between(g, 1, 20);
        const BitsBuffer pic = round % 3 == 0 ? nearlyFlatPicture(w, h, g) : noisePicture(w, h, g);
        const Region rg = anySelection(w, h, g);
        const Check k{pic, rg, std::to_string(w) + " x " + std::to_string(h) + ", round " + std::to_string(round)};

        const int F = between(g, 0, 2);
        k.expect("Blurs", 0, [&](BitsBuffer& o, int x, int y) {
            for (int c = 0; c < 3; ++c) {
                const int s = k.P(c, x - F, y) + k.P(c, x + F, y) + k.P(c, x, y - F) + k.P(c, x, y + F) +
                              k.P(c, x - F, y - F) + k.P(c, x + F, y - F) + k.P(c, x - F, y + F) + k.P(c, x + F, y + F);
                o.at(c, x, y) = static_cast<uint8_t>(s / 8);
            }
        }, [&](cBitFilter& f) { return f.Blurs(F); });

        const int S = between(g, 0, 100);
        k.expect("SOFTEN", 1, [&](BitsBuffer& o, int x, int y) {
            for (int c = 0; c < 3; ++c)
                o.at(c, x, y) = static_cast<uint8_t>(((101 - S) * k.P(c, x, y) + k.P(c, x - 1, y) + k.P(c, x + 1, y) +
                                                      k.P(c, x, y - 1) + k.P(c, x, y + 1)) / (105 - S));
        }, [&](cBitFilter& f) { return f.SOFTEN(S); });
        k.expect("SHARPEN", 1, [&](BitsBuffer& o, int x, int y) {
            for (int c = 0; c < 3; ++c)
                o.at(c, x, y) = clamped(((124 - S) * k.P(c, x, y) - 2 * k.sum8(c, x, y)) / (108 - S));
        }, [&](cBitFilter& f) { return f.SHARPEN(S); });

        const int E = between(g, 0, 20);
        k.expect("EDGEENHANCE", 0, [&](BitsBuffer& o, int x, int y) {
            for (int c = 0; c < 3; ++c) o.at(c, x, y) = clamped(((E + 9) * k.P(c, x, y) - k.sum8(c, x, y)) / (E + 1));
        }, [&](cBitFilter& f) { return f.EDGEENHANCE(E); });

        k.expect("RELIEF", 0, [&](BitsBuffer& o, int x, int y) {
            for (int c = 0; c < 3; ++c) {
                const int e = 2 * k.P(c, x - 1, y - 1) + k.P(c, x, y - 1) + k.P(c, x - 1, y) - k.P(c, x + 1, y) -
                              k.P(c, x, y + 1) - 2 * k.P(c, x + 1, y + 1);
                o.at(c, x, y) = clamped((k.P(c, x, y) + e) / 2 + 50);
            }
        }, [&](cBitFilter& f) { return FilterResult(f.RELIEF()); });

        const int depth = between(g, 0, 50);
        for (int sign : {1, -1}) {
            const float fd = static_cast<float>(depth / 10.0);
            k.expect(sign > 0 ? "EMBOSS" : "Engrave", 0, [&](BitsBuffer& o, int x, int y) {
                if (x == k.MaxX() || y == k.MaxY()) {   // copied from the result, left or above
                    const int fx = x == k.MaxX() ? x - 1 : x, fy = x == k.MaxX() ? y : y - 1;
                    for (int c = 0; c < 3; ++c) o.at(c, x, y) = o.at(c, fx, fy);
                    return;
                }
                int total = 0;
                for (int c = 0; c < 3; ++c)
                    total += rnd(std::fabs(sign * (k.P(c, x, y) - k.P(c, x + 1, y + 1)) * double(fd) + 128));
                for (int c = 0; c < 3; ++c) o.at(c, x, y) = clamped(total / 3);
            }, [&](cBitFilter& f) { return FilterResult(sign > 0 ? f.EMBOSS(depth) : f.Engrave(depth)); });
        }

        const int level = between(g, 0, 300);
        const int back = static_cast<int>(g() & 0xFFFFFF);
        k.expect("CONTOUR", 0, [&](BitsBuffer& o, int x, int y) {
            int c3[3];
            for (int c = 0; c < 3; ++c) c3[c] = clamped(8 * k.P(c, x, y) - k.sum8(c, x, y) + 255);
            const bool edge = (c3[0] + c3[1] + c3[2]) / 3 < level;
            o.at(0, x, y) = static_cast<uint8_t>(edge ? c3[0] : colorBlue(back));
            o.at(1, x, y) = static_cast<uint8_t>(edge ? c3[1] : colorGreen(back));
            o.at(2, x, y) = static_cast<uint8_t>(edge ? c3[2] : colorRed(back));
        }, [&](cBitFilter& f) { return f.CONTOUR(level, back); });

        for (int t : {0, 1}) {
            const auto rank = [t](std::vector<int> v) { return t ? *std::max_element(v.begin(), v.end()) : *std::min_element(v.begin(), v.end()); };
            k.expect(t ? "DILATE" : "ERODE", 0, [&](BitsBuffer& o, int x, int y) {
                for (int c = 0; c < 3; ++c) {
                    std::vector<int> v;
                    for (int j = -1; j <= 1; ++j)
                        for (int i = -1; i <= 1; ++i) v.push_back(k.P(c, x + i, y + j));
                    o.at(c, x, y) = static_cast<uint8_t>(rank(v));
                }
            }, [&](cBitFilter& f) { return FilterResult(t ? f.DILATE() : f.ERODE()); });
            k.expect("RankFilterN4", 1 - t, [&](BitsBuffer& o, int x, int y) {
                for (int c = 0; c < 3; ++c)
                    o.at(c, x, y) = static_cast<uint8_t>(
                        rank({k.P(c, x, y), k.P(c, x - 1, y), k.P(c, x + 1, y), k.P(c, x, y - 1), k.P(c, x, y + 1)}));
            }, [&](cBitFilter& f) { return f.RankFilterN4(t); });
            k.expect("RankFilterND", 1 - t, [&](BitsBuffer& o, int x, int y) {
                for (int c = 0; c < 3; ++c)
                    o.at(c, x, y) = static_cast<uint8_t>(rank({k.P(c, x, y), k.P(c, x - 1, y - 1), k.P(c, x + 1, y - 1),
                                                              k.P(c, x - 1, y + 1), k.P(c, x + 1, y + 1)}));
            }, [&](cBitFilter& f) { return f.RankFilterND(t); });
        }
    }
}

TEST(NeighbourhoodFormulas, ArtisticFilters)
{
    for (int round = 0; round < 120; ++round) {
        randomcases::SeededRound seeded(17, round);
        if (!seeded.wanted()) continue;
        std::mt19937& g = seeded.gen;
        const int w = between(g, 1, 20), h = between(g, 1, 20);
        const BitsBuffer pic = round % 3 == 0 ? nearlyFlatPicture(w, h, g) : noisePicture(w, h, g);
        const Region rg = anySelection(w, h, g);
        const Check k{pic, rg, std::to_string(w) + " x " + std::to_string(h) + ", round " + std::to_string(round)};

        for (int candidates : {3, 4}) {
            k.expect(candidates == 3 ? "PAINTING" : "Dissolve", 0, [&](BitsBuffer& o, int x, int y) {
                const int left[4] = {x - 2, x, x - 2, x}, top[4] = {y - 2, y - 2, y, y};
                for (int c = 0; c < 3; ++c) {
                    int best = 1 << 30, bestMean = 0;
                    for (int b = 0; b < candidates; ++b) {
                        int sum = 0, deviation = 0;
                        for (int j = 0; j < 3; ++j)
                            for (int i = 0; i < 3; ++i) sum += k.P(c, left[b] + i, top[b] + j);
                        for (int j = 0; j < 3; ++j)
                            for (int i = 0; i < 3; ++i) deviation += std::abs(k.P(c, left[b] + i, top[b] + j) - sum / 9);
                        if (deviation < best) {
                            best = deviation;
                            bestMean = sum / 9;
                        }
                    }
                    o.at(c, x, y) = static_cast<uint8_t>(bestMean);
                }
            }, [&](cBitFilter& f) { return FilterResult(candidates == 3 ? f.PAINTING() : f.Dissolve()); });
        }

        const int level = between(g, -20, 280);
        const int back = static_cast<int>(g() & 0xFFFFFF);
        const bool bw = g() & 1;
        k.expect("SKETCH", 0, [&](BitsBuffer& o, int x, int y) {
            int total = 0;
            for (int c = 0; c < 3; ++c) total += 8 * k.P(c, x, y) - k.sum8(c, x, y) + 255;
            const bool light = total / 3 > level;
            if (bw) {
                for (int c = 0; c < 3; ++c) o.at(c, x, y) = light ? 255 : 0;
            } else if (light) {
                o.at(0, x, y) = static_cast<uint8_t>((back & 0xFF0000) / 65536);
                o.at(1, x, y) = static_cast<uint8_t>((back & 0xFF00) / 256);
                o.at(2, x, y) = static_cast<uint8_t>(back & 0xFF);
            }
        }, [&](cBitFilter& f) { return FilterResult(f.SKETCH(level, bw, back)); });

        const int size = between(g, 1, 6);
        k.expect("PIXELIZE", 0, [&](BitsBuffer& o, int x, int y) {
            const int xs = x / size * size, ys = y / size * size;
            const int xe = std::min(xs + size - 1, k.MaxX()), ye = std::min(ys + size - 1, k.MaxY());
            for (int c = 0; c < 3; ++c) {
                int sum = 0, n = 0;
                for (int yy = ys; yy <= ye; ++yy)
                    for (int xx = xs; xx <= xe; ++xx) sum += k.P(c, xx, yy), ++n;
                o.at(c, x, y) = static_cast<uint8_t>(sum / n);
            }
        }, [&](cBitFilter& f) { return f.PIXELIZE(size); });

        // The draws: red, green, blue per selected pixel (one for all three
        // when equalized); two per pixel of the box for DIFFUSE, selected
        // or not.
        const int amount = between(g, 0, 100);
        const bool equalized = g() & 1;
        const uint32_t seed = static_cast<uint32_t>(g());
        Random replay(seed);
        programRandom().seed(seed);
        k.expect("NOISE", 0, [&](BitsBuffer& o, int x, int y) {
            float r[3];
            if (equalized) {
                r[0] = r[1] = r[2] = replay.next();
            } else {
                r[2] = replay.next();
                r[1] = replay.next();
                r[0] = replay.next();
            }
            for (int c = 0; c < 3; ++c)
                o.at(c, x, y) = clamped(rnd(k.P(c, x, y) + ((2 * amount + 1) * double(r[c]) - amount)));
        }, [&](cBitFilter& f) { return FilterResult(f.NOISE(amount, equalized)); });

        const int wRange = between(g, 0, 50), hRange = between(g, 0, 50);
        const float w2 = static_cast<float>(wRange / 2.0), h2 = static_cast<float>(hRange / 2.0);
        replay.seed(seed + 1);
        programRandom().seed(seed + 1);
        k.expect("DIFFUSE", 0, [&](BitsBuffer& o, int x, int y) {
            const float r1 = replay.next(), r2 = replay.next();
            const int sx = rnd(x + double(r1) * wRange - double(w2)), sy = rnd(y + double(r2) * hRange - double(h2));
            if (k.selected(sx, sy))
                for (int c = 0; c < 3; ++c) o.at(c, x, y) = pic.at(c, sx, sy);
        }, [&](cBitFilter& f) { return FilterResult(f.DIFFUSE(wRange, hRange)); }, true);
    }
}

} // namespace
} // namespace tq
