// Every member gives the same bytes, leaves the same Bits and raises the same
// progress reports whatever number of threads the engine may use, with or
// without the wide vector rows and whether or not its result is streamed;
// the reports are raised on the calling thread, in increasing order.
#include "RandomCases.h"

#include "filters/Kernels.h"
#include "filters/Palette.h"
#include "filters/PixelWalks.h"
#include "platform/Random.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tq {
namespace {

struct Member {
    std::string name;
    std::function<FilterResult(cBitFilter&)> run;
};

KernelMask kernel(int side, std::vector<int> v)
{
    KernelMask k(side);
    for (int i = 0; i < side * side; ++i) k(i / side, i % side) = v[static_cast<size_t>(i)];
    return k;
}

// One call of every member, failing ones among them, on a picture about
// 200 x 170.
const std::vector<Member>& members()
{
    static const BitsBuffer texture = [] {
        std::mt19937 g(3);
        return randomcases::noisePicture(7, 5, g);
    }();
    static const std::vector<Member> all = [] {
        std::vector<Member> m;
        auto add = [&](std::string n, std::function<FilterResult(cBitFilter&)> f) { m.push_back({n, f}); };
        add("BRIGHTNESS", [](cBitFilter& f) { return f.BRIGHTNESS(40); });
        add("Contrast", [](cBitFilter& f) -> FilterResult { return f.Contrast(60); });
        add("GammaCorrection", [](cBitFilter& f) -> FilterResult { return f.GammaCorrection(50); });
        add("GreyScale", [](cBitFilter& f) -> FilterResult { return f.GreyScale(); });
        add("Invert", [](cBitFilter& f) { return f.Invert(); });
        add("SATURATION", [](cBitFilter& f) -> FilterResult { return f.SATURATION(70); });
        add("COLORIZE", [](cBitFilter& f) { return f.COLORIZE(2.5f, 0.6f, 0.9f); });
        add("COLORIZE fails", [](cBitFilter& f) { return f.COLORIZE(7.5f, 0.6f, 0.9f); });
        add("Threshold", [](cBitFilter& f) -> FilterResult { return f.Threshold(120); });
        add("Reduction", [](cBitFilter& f) { return f.Reduction(30); });
        add("Equalize", [](cBitFilter& f) -> FilterResult { return f.Equalize(); });
        add("SwapBanks", [](cBitFilter& f) { return f.SwapBanks(3); });
        add("SwapRGB", [](cBitFilter& f) -> FilterResult { return f.SwapRGB(3, 0, 1, -1, 0, 0, 0, 0, -1); });
        add("ShiftRGB", [](cBitFilter& f) -> FilterResult { return f.ShiftRGB(20, -20, 90); });
        add("KillChannel", [](cBitFilter& f) -> FilterResult { return f.KillChannel(-1, 0, 0); });
        add("GetL", [](cBitFilter& f) -> FilterResult {
            BitsBuffer b(1, 1);
            b.at(0, 0, 0) = static_cast<uint8_t>(f.GetLMax());
            b.at(1, 0, 0) = static_cast<uint8_t>(f.GetLMin());
            b.at(2, 0, 0) = static_cast<uint8_t>(f.GetLMed().value_or(7));
            return b;
        });
        add("REPLACE", [](cBitFilter& f) -> FilterResult { return f.REPLACE(rgbColor(120, 130, 140), 0xFF00FF, 150); });
        add("ReplaceHS", [](cBitFilter& f) { return f.ReplaceHS(rgbColor(120, 130, 140), 0xFF00FF, 40, 60, 150); });
        add("ReplaceL", [](cBitFilter& f) { return f.ReplaceL(rgbColor(120, 130, 140), 0xFF00FF, 40, 150); });
        add("Shift", [](cBitFilter& f) -> FilterResult { return f.Shift(rgbColor(120, 130, 140), -50, 150); });
        add("ISOLATE", [](cBitFilter& f) { return f.ISOLATE(rgbColor(120, 130, 140), 0x123456, 120); });
        add("RotateH", [](cBitFilter& f) { return f.RotateH(40, 80); });
        add("RotateL", [](cBitFilter& f) { return f.RotateL(13, 27); });
        add("StretchH", [](cBitFilter& f) -> FilterResult { return f.StretchH(30, 70, 45); });
        add("ClassyColors", [](cBitFilter& f) { return f.ClassyColors(7); });
        add("OLDPHOTO", [](cBitFilter& f) -> FilterResult { return f.OLDPHOTO(); });
        add("THERMIQUE", [](cBitFilter& f) -> FilterResult { return f.THERMIQUE(); });
        add("XBLACK", [](cBitFilter& f) -> FilterResult { return f.XBLACK(); });
        add("PHOTOCOP", [](cBitFilter& f) -> FilterResult { return f.PHOTOCOP(); });
        add("SpecialColors", [](cBitFilter& f) -> FilterResult { return f.SpecialColors(-1, 0, -1); });
        add("PaletteApply", [](cBitFilter& f) {
            PaletteRecord p;
            for (int i = 0; i < 16; ++i) p.entries.push_back({i * 17, 255 - i * 17, (i * 97) & 0xFF});
            p.Count = 16;
            CurrentPalette() = p;
            return f.PaletteApply();
        });
        add("StuckiBW", [](cBitFilter& f) -> FilterResult { return f.StuckiBW(10); });
        add("MaskFilter blur", [](cBitFilter& f) {
            return f.MaskFilter(kernel(3, {1, 1, 1, 1, 1, 1, 1, 1, 1}), 9, 0, 0, 0, false);
        });
        add("MaskFilter signed", [](cBitFilter& f) {
            return f.MaskFilter(kernel(3, {-1, -2, -1, 0, 0, 0, 1, 2, 1}), -3, 128, 300, -400, false);
        });
        add("MaskFilter 5 x 5", [](cBitFilter& f) {
            return f.MaskFilter(kernel(5, {1, 2, 3, 2, 1, 2, -4, 6, -4, 2, 3, 6, -9, 6, 3, 2, -4, 6, -4, 2, 1, 2, 3, 2, 1}),
                                13, 1, 2, 3, true);
        });
        add("MaskFilter wide sums", [](cBitFilter& f) {
            return f.MaskFilter(kernel(3, {100000, 1, 1, 1, -100000, 1, 1, 1, 7}), 37, 5, 5, 5, false);
        });
        add("MaskFilter fails", [](cBitFilter& f) {
            return f.MaskFilter(kernel(3, {2000000000, 1, 1, 1, 1, 1, 1, 1, 2000000000}), 3, 0, 0, 0, false);
        });
        add("Blurs", [](cBitFilter& f) { return f.Blurs(2); });
        add("SOFTEN", [](cBitFilter& f) { return f.SOFTEN(50); });
        add("SOFTEN out of range", [](cBitFilter& f) { return f.SOFTEN(120); });
        add("SHARPEN", [](cBitFilter& f) { return f.SHARPEN(50); });
        add("EDGEENHANCE", [](cBitFilter& f) { return f.EDGEENHANCE(3); });
        add("RELIEF", [](cBitFilter& f) -> FilterResult { return f.RELIEF(); });
        add("EMBOSS", [](cBitFilter& f) -> FilterResult { return f.EMBOSS(30); });
        add("Engrave", [](cBitFilter& f) -> FilterResult { return f.Engrave(45); });
        add("CONTOUR", [](cBitFilter& f) { return f.CONTOUR(128, 0x123456); });
        add("DILATE", [](cBitFilter& f) -> FilterResult { return f.DILATE(); });
        add("ERODE", [](cBitFilter& f) -> FilterResult { return f.ERODE(); });
        add("RankFilterN4", [](cBitFilter& f) { return f.RankFilterN4(0); });
        add("RankFilterND", [](cBitFilter& f) { return f.RankFilterND(1); });
        add("PAINTING", [](cBitFilter& f) -> FilterResult { return f.PAINTING(); });
        add("Dissolve", [](cBitFilter& f) -> FilterResult { return f.Dissolve(); });
        add("DIFFUSE", [](cBitFilter& f) -> FilterResult { return f.DIFFUSE(10, 6); });
        add("NOISE", [](cBitFilter& f) -> FilterResult { return f.NOISE(40); });
        add("NOISE equalized", [](cBitFilter& f) -> FilterResult { return f.NOISE(20, true); });
        add("SKETCH", [](cBitFilter& f) -> FilterResult { return f.SKETCH(128); });
        add("HALFTONE", [](cBitFilter& f) { return f.HALFTONE(3, 20, 20); });
        add("PIXELIZE", [](cBitFilter& f) { return f.PIXELIZE(7); });
        add("Texturize", [](cBitFilter& f) { return f.Texturize(texture); });
        add("TileMask", [](cBitFilter& f) { return f.TileMask(texture, -3, -7, true, 40, -1); });
        add("TileMask fails", [](cBitFilter& f) { return f.TileMask(texture, 1, 1, true, 300, -1); });
        add("TILE", [](cBitFilter& f) -> FilterResult { return f.TILE(4); });
        add("Grid", [](cBitFilter& f) { return f.Grid(3, 4, true, 0x00FF00, 128); });
        add("Scanlines", [](cBitFilter& f) -> FilterResult { return f.Scanlines(30); });
        add("BEND", [](cBitFilter& f) -> FilterResult { return f.BEND(50); });
        add("FOLD", [](cBitFilter& f) -> FilterResult { return f.FOLD(30, -20, true); });
        add("STRETCH", [](cBitFilter& f) -> FilterResult { return f.STRETCH(10, -30, false); });
        add("TWIRL", [](cBitFilter& f) -> FilterResult { return f.TWIRL(20, 45); });
        add("WAVES", [](cBitFilter& f) -> FilterResult { return f.WAVES(30, 40, 10); });
        add("LENS", [](cBitFilter& f) -> FilterResult { return f.LENS(0.4f, 0.6f, 0.4f, 100); });
        add("ROTATE", [](cBitFilter& f) -> FilterResult { return f.ROTATE(33); });
        add("RotateSmooth", [](cBitFilter& f) -> FilterResult { return f.RotateSmooth(33); });
        for (const char* style : {"slanting", "vertical", "horizontal", "squary", "curtain"})
            for (int16_t v = 0; v < 4; ++v)
                add(std::string("GLASS ") + style + " " + std::to_string(v),
                    [style, v](cBitFilter& f) -> FilterResult { return f.GLASS(style, v); });
        add("GradientLinear", [](cBitFilter& f) -> FilterResult {
            return f.GradientLinear(3, 2, 120, 90, 255, 16711680, 80, 3);
        });
        add("GradientCircular", [](cBitFilter& f) -> FilterResult {
            return f.GradientCircular(100, 80, 150, 100, 255, -1, 80, 1);
        });
        add("Light", [](cBitFilter& f) { return f.Light(0.5f, 0.4f, 0.4f, 120, 30); });
        add("Light fails", [](cBitFilter& f) { return f.Light(0.5f, 0.5f, 0.3f, 2147483647, 200); });
        add("Flip", [](cBitFilter& f) -> FilterResult { return f.Flip(true, true); });
        add("NewDoc", [](cBitFilter& f) { return f.NewDoc(1, 2, 300); });
        add("BitsBlack", [](cBitFilter& f) -> FilterResult {
            f.BitsBlack();
            return f.Bits();
        });
        add("BitsCropMasked", [](cBitFilter& f) -> FilterResult {
            const BitsBuffer s = f.Bits();
            f.BitsCropMasked(s, 5, 3, 190, 160);
            return f.Bits();
        });
        add("BitsResample", [](cBitFilter& f) -> FilterResult {
            if (!f.BitsResample(f.Bits(), 233, 181)) return std::nullopt;
            return f.Bits();
        });
        add("BitsResize", [](cBitFilter& f) -> FilterResult {
            if (!f.BitsResize(f.Bits(), 251, 123)) return std::nullopt;
            return f.Bits();
        });
        add("BitsRotate90", [](cBitFilter& f) -> FilterResult {
            const BitsBuffer s = f.Bits();
            if (!f.BitsRotate90(s)) return std::nullopt;
            return f.Bits();
        });
        return m;
    }();
    return all;
}

// What a call leaves behind.
struct Outcome {
    FilterResult result;
    BitsBuffer bits;
    std::vector<int32_t> reports;
    bool onCallingThread = true;
};

Outcome runOnce(const Member& m, const BitsBuffer& pic, const Region& rg, int threads)
{
    ManualClock clock(1000, 11);   // every row reports
    cBitFilter f(clock);
    f.setThreadCount(threads);
    Outcome o;
    const std::thread::id caller = std::this_thread::get_id();
    f.onProgress([&](int32_t& p) {
        o.reports.push_back(p);
        if (std::this_thread::get_id() != caller) o.onCallingThread = false;
    });
    f.setBits(pic);
    f.setBitsRegion(&rg);
    programRandom().seed(11);
    o.result = m.run(f);
    o.bits = f.Bits();
    return o;
}

void expectSame(const Outcome& want, const Outcome& got, const std::string& what)
{
    ASSERT_EQ(want.result.has_value(), got.result.has_value()) << what;
    if (want.result) {
        EXPECT_EQ(randomcases::firstDifference(*want.result, *got.result), "") << what;
    }
    EXPECT_EQ(randomcases::firstDifference(want.bits, got.bits), "") << what << ": Bits";
    EXPECT_EQ(want.reports, got.reports) << what << ": progress";
}

class ThreadCount : public testing::Test {
protected:
    void TearDown() override
    {
        allowWideVectors(true);
        walkdetail::setStreamedResultBytes(size_t(16) << 20);
    }
};

TEST_F(ThreadCount, EveryMemberGivesTheSameResultOnAnyNumberOfThreads)
{
    randomcases::SeededRound seeded(31, 0);
    const BitsBuffer pic = randomcases::noisePicture(203, 167, seeded.gen);
    const Region regions[] = {Region::rect(0, 0, 203, 167), randomcases::anySelection(203, 167, seeded.gen),
                              Region::fromRects({RectI{-5, 10, 120, 90}, RectI{60, 50, 210, 170}})};
    for (const Member& m : members())
        for (const Region& rg : regions) {
            const Outcome one = runOnce(m, pic, rg, 1);
            for (int threads : {2, 5, 8}) {
                const Outcome many = runOnce(m, pic, rg, threads);
                expectSame(one, many, m.name + " on " + std::to_string(threads) + " threads");
                EXPECT_TRUE(many.onCallingThread) << m.name;
            }
            // A finished walk ends with 100; a failing one raises none.
            if (one.result && !one.reports.empty()) {
                EXPECT_EQ(one.reports.back(), 100) << m.name;
            }
        }
}

TEST_F(ThreadCount, WideRowsAndStreamedResultsGiveThePlainBytes)
{
    randomcases::SeededRound seeded(37, 0);
    const BitsBuffer pic = randomcases::noisePicture(211, 163, seeded.gen);
    const Region rg = randomcases::anySelection(211, 163, seeded.gen);
    for (const Member& m : members()) {
        allowWideVectors(false);
        const Outcome plain = runOnce(m, pic, rg, 1);
        allowWideVectors(true);
        expectSame(plain, runOnce(m, pic, rg, 1), m.name + " with wide rows");
        walkdetail::setStreamedResultBytes(0);
        expectSame(plain, runOnce(m, pic, rg, 4), m.name + " streamed");
        walkdetail::setStreamedResultBytes(size_t(16) << 20);
    }
}

TEST_F(ThreadCount, ProgressOfAWalkSharedAmongThreadsIsPacedByTheCallersClock)
{
    // With a clock that stands still no row reports, only the end; with one
    // that moves 11 ms a reading every row of the picture reports once, in
    // order, as on one thread.
    const BitsBuffer pic(300, 200);
    const Region rg = Region::rect(0, 0, 300, 200);
    for (uint32_t step : {0u, 11u}) {
        ManualClock clock(step == 0 ? 0 : 1000, step);
        cBitFilter f(clock);
        f.setThreadCount(8);
        std::vector<int32_t> reports;
        f.onProgress([&](int32_t& p) { reports.push_back(p); });
        f.setBits(pic);
        f.setBitsRegion(&rg);
        f.Invert();
        std::vector<int32_t> want;
        if (step != 0)
            for (int32_t y = 0; y < 200; ++y) want.push_back(y * 100 / 199);
        want.push_back(100);
        EXPECT_EQ(reports, want) << "step " << step;
    }
}

// Allowed to write its result over the pixels it reads (the document's,
// which the result is about to replace), every member gives the bytes and
// reports it gives otherwise. The document's pixels are then either that
// result itself, with no second block made, or exactly as they were: never
// half changed. The point filters take the block; with any other holder of
// it (the snapshot writer), or for a block that is not the owner's, none does.
TEST_F(ThreadCount, ResultsWrittenOverBitsAreTheSameBytesAndNothingElseChanges)
{
    randomcases::SeededRound seeded(41, 0);
    const BitsBuffer pic = randomcases::noisePicture(197, 171, seeded.gen);
    const Region regions[] = {Region::rect(0, 0, 197, 171), randomcases::anySelection(197, 171, seeded.gen)};
    const std::set<std::string> pointwise = {"BRIGHTNESS", "Contrast", "GammaCorrection", "GreyScale", "Invert",
                                             "SATURATION", "Threshold", "ShiftRGB", "REPLACE", "XBLACK"};
    for (const Region& rg : regions)
        for (const Member& m : members())
            for (int threads : {1, 4}) {
                const std::string what = m.name + " on " + std::to_string(threads) + " threads";
                const Outcome want = runOnce(m, pic, rg, threads);

                ManualClock clock(1000, 11);
                cBitFilter f(clock);
                f.setThreadCount(threads);
                std::vector<int32_t> reports;
                f.onProgress([&](int32_t& p) { reports.push_back(p); });
                BitsBuffer owner = pic;
                f.shareBits(owner);
                f.setBitsRegion(&rg);
                f.allowResultInBits(&owner);
                programRandom().seed(11);
                const FilterResult got = m.run(f);
                f.allowResultInBits(nullptr);

                ASSERT_EQ(want.result.has_value(), got.has_value()) << what;
                EXPECT_EQ(want.reports, reports) << what;
                if (!got) {
                    EXPECT_EQ(randomcases::firstDifference(pic, owner), "") << what << ": owner after a failure";
                    continue;
                }
                EXPECT_EQ(randomcases::firstDifference(*want.result, *got), "") << what;
                const bool tookBlock = got->allocated() && got->data() == owner.data();
                if (tookBlock) {
                    EXPECT_EQ(randomcases::firstDifference(*got, owner), "") << what;
                } else {
                    EXPECT_EQ(randomcases::firstDifference(pic, owner), "") << what << ": owner changed";
                }
                if (pointwise.count(m.name)) {
                    EXPECT_TRUE(tookBlock) << what << " made a second block";
                }
            }

    // Another holder of the block, or an owner whose block the engine does
    // not hold: a new block, and both untouched.
    const Region whole = Region::rect(0, 0, 197, 171);
    for (int threads : {1, 4}) {
        cBitFilter f;
        f.setThreadCount(threads);
        BitsBuffer owner = pic;
        f.shareBits(owner);
        f.setBitsRegion(&whole);
        const BitsBuffer writer = owner.share();
        f.allowResultInBits(&owner);
        const BitsBuffer shared = *f.Invert();
        EXPECT_NE(shared.data(), owner.data());
        EXPECT_EQ(randomcases::firstDifference(pic, owner), "");

        BitsBuffer other = pic;
        f.shareBits(pic);
        f.allowResultInBits(&other);
        const BitsBuffer apart = *f.Invert();
        EXPECT_NE(apart.data(), other.data());
        EXPECT_NE(apart.data(), pic.data());
        EXPECT_EQ(randomcases::firstDifference(pic, other), "");
        EXPECT_EQ(randomcases::firstDifference(shared, apart), "");
    }
}

TEST(EngineThreads, TheCountIsEveryCoreUnlessSet)
{
    cBitFilter f;
    EXPECT_EQ(f.threadCount(), static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    f.setThreadCount(3);
    EXPECT_EQ(f.threadCount(), 3);
    f.setThreadCount(0);
    EXPECT_EQ(f.threadCount(), static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
}

} // namespace
} // namespace tq
