#include "FileSizeLimit.h"
#include "GreyPictures.h"
#include "RandomCases.h"
#include "TempFolder.h"

#include "filters/PaletteMatch.h"
#include "filters/PaletteFile.h"
#include "document/ProgramContext.h"
#include "filters/Palette.h"
#include "filters/UserFilterFile.h"
#include "platform/PictureFiles.h"
#include "document/cBitRegion.h"
#include "core/BitsBuffer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace tq {
namespace {

using greypics::Engine;
using greypics::flatPicture;
using greypics::greyPicture;

PaletteRecord palette(std::initializer_list<PaletteEntry> entries)
{
    PaletteRecord p;
    p.entries = entries;
    p.Count = static_cast<int32_t>(p.entries.size());
    return p;
}

// A private folder per test, removed afterwards, and a context of its own
// (so an empty palette).
class PaletteFiles : public ::testing::Test {
protected:
    std::string path(const char* name) const { return (dir_ / name).string(); }
    static std::vector<uint8_t> bytesOf(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void write(const std::string& p, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Runs body in a child process and expects it to return 0; the child's
    // alarm keeps a call that waits for ever from hanging the run.
    void expectZeroFromAChild(const std::function<int()>& body)
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                ::alarm(10);
                const int code = body();
                // The child ran the fixture again and made a folder of its
                // own; exit() leaves the rest of its run's folders to go at
                // the end.
                std::error_code ec;
                std::filesystem::remove_all(dir_, ec);
                std::exit(code);
            },
            ::testing::ExitedWithCode(0), "");
    }
    const testing::TempFolder folder_{"tq-palette"};
    const std::filesystem::path dir_ = folder_.path();
    ScopedContext context_;
};

// A file image: Count, dims, n, lower bound, then the values given.
std::vector<uint8_t> fileBytes(int32_t count, uint16_t dims, int32_t n, int32_t lower, std::vector<int32_t> values)
{
    std::vector<uint8_t> b(14 + 4 * values.size());
    putLE32(b.data(), static_cast<uint32_t>(count));
    putLE16(b.data() + 4, dims);
    putLE32(b.data() + 6, static_cast<uint32_t>(n));
    putLE32(b.data() + 10, static_cast<uint32_t>(lower));
    for (size_t i = 0; i < values.size(); ++i) putLE32(b.data() + 14 + 4 * i, static_cast<uint32_t>(values[i]));
    return b;
}

class PaletteScope {
public:
    explicit PaletteScope(PaletteRecord p) : saved_(CurrentPalette()) { CurrentPalette() = std::move(p); }
    ~PaletteScope() { CurrentPalette() = saved_; }

private:
    PaletteRecord saved_;
};

} // namespace

TEST_F(PaletteFiles, ThreeColoursAreFiftyBytesAsLaidOut)
{
    CurrentPalette() = palette({{1, 2, 3}, {250, 251, 252}, {0, 128, 255}});
    ASSERT_TRUE(Module7::SavePalette(path("three.pal")));
    const std::vector<uint8_t> got = bytesOf(path("three.pal"));
    EXPECT_EQ(got, fileBytes(3, 1, 3, 0, {1, 2, 3, 250, 251, 252, 0, 128, 255}));
    EXPECT_EQ(got.size(), 50u);
    CurrentPalette() = PaletteRecord{};
    ASSERT_TRUE(Module7::LoadPalette(path("three.pal")));
    EXPECT_EQ(CurrentPalette(), palette({{1, 2, 3}, {250, 251, 252}, {0, 128, 255}}));
}

TEST_F(PaletteFiles, SavingFewerColoursKeepsTheOldTail)
{
    CurrentPalette() = palette({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    ASSERT_TRUE(Module7::SavePalette(path("p.pal")));
    CurrentPalette() = palette({{10, 20, 30}, {40, 50, 60}});
    ASSERT_TRUE(Module7::SavePalette(path("p.pal")));
    const std::vector<uint8_t> got = bytesOf(path("p.pal"));
    ASSERT_EQ(got.size(), 50u);
    const std::vector<uint8_t> head = fileBytes(2, 1, 2, 0, {10, 20, 30, 40, 50, 60});
    EXPECT_TRUE(std::equal(head.begin(), head.end(), got.begin()));
    EXPECT_EQ(getLE32(got.data() + 38), 7u);   // the old third entry stays
    CurrentPalette() = PaletteRecord{};
    ASSERT_TRUE(Module7::LoadPalette(path("p.pal")));
    EXPECT_EQ(CurrentPalette(), palette({{10, 20, 30}, {40, 50, 60}}));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()), 1);
}

TEST_F(PaletteFiles, CountDecidesHowManyColoursAreKept)
{
    write(path("a.pal"), fileBytes(2, 1, 3, 0, {1, 1, 1, 2, 2, 2, 3, 3, 3}));
    ASSERT_TRUE(Module7::LoadPalette(path("a.pal")));
    EXPECT_EQ(CurrentPalette(), palette({{1, 1, 1}, {2, 2, 2}}));
    // More colours than stored entries: the rest are black.
    write(path("b.pal"), fileBytes(3, 1, 1, 0, {9, 8, 7}));
    ASSERT_TRUE(Module7::LoadPalette(path("b.pal")));
    EXPECT_EQ(CurrentPalette(), palette({{9, 8, 7}, {0, 0, 0}, {0, 0, 0}}));
}

TEST_F(PaletteFiles, BadFilesFailAndKeepThePalette)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> truncated = fileBytes(2, 1, 2, 0, {1, 2, 3, 4, 5, 6});
    truncated.pop_back();
    std::vector<int32_t> many(257 * 3, 1);
    const Case cases[] = {
        {"empty file", {}},
        {"short header", std::vector<uint8_t>(13, 0)},
        {"two dimensions", fileBytes(1, 2, 1, 0, {1, 2, 3})},
        {"no entries", fileBytes(1, 1, 0, 0, {})},
        {"negative entries", fileBytes(1, 1, -1, 0, {1, 2, 3})},
        {"257 entries", fileBytes(1, 1, 257, 0, many)},
        {"count 0", fileBytes(0, 1, 1, 0, {1, 2, 3})},
        {"count -5", fileBytes(-5, 1, 1, 0, {1, 2, 3})},
        {"huge count", fileBytes(0x7FFFFFFF, 1, 1, 0, {1, 2, 3})},
        {"entries missing", truncated},
        {"lower bound 1", fileBytes(1, 1, 1, 1, {1, 2, 3})},
        {"value 256", fileBytes(1, 1, 1, 0, {1, 256, 3})},
        {"value -1", fileBytes(1, 1, 1, 0, {1, 2, -1})},
    };
    const PaletteRecord kept = palette({{5, 6, 7}});
    for (const Case& cs : cases) {
        CurrentPalette() = kept;
        write(path("bad.pal"), cs.bytes);
        EXPECT_FALSE(Module7::LoadPalette(path("bad.pal"))) << cs.name;
        EXPECT_EQ(CurrentPalette(), kept) << cs.name;
    }
    EXPECT_FALSE(Module7::LoadPalette(path("missing.pal")));
    EXPECT_EQ(CurrentPalette(), kept);
}

TEST_F(PaletteFiles, FailedSavesLeaveTheFile)
{
    CurrentPalette() = palette({{1, 2, 3}});
    ASSERT_TRUE(Module7::SavePalette(path("p.pal")));
    const std::vector<uint8_t> before = bytesOf(path("p.pal"));
    CurrentPalette() = PaletteRecord{};   // no colours: nothing worth saving
    EXPECT_FALSE(Module7::SavePalette(path("p.pal")));
    EXPECT_EQ(bytesOf(path("p.pal")), before);
    CurrentPalette() = palette({{4, 5, 6}});
    EXPECT_FALSE(Module7::SavePalette(path("no/such/folder/p.pal")));
    {
        const ScopedFileSizeLimit diskFull(10);   // the file needs 26 bytes
        EXPECT_FALSE(Module7::SavePalette(path("p.pal")));
    }
    EXPECT_EQ(bytesOf(path("p.pal")), before);
}

// Loading a palette, a kernel or a selection from a FIFO used to wait for
// a writer for ever; a folder is refused the same way.
TEST_F(PaletteFiles, LoadsFromAFifoOrAFolderAreRefusedWithoutWaiting)
{
    const std::string fifo = path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CurrentPalette() = palette({{1, 2, 3}});
    expectZeroFromAChild([&] {
        int loaded = 0;
        for (const std::string& from : {fifo, dir_.string()}) {
            KernelRecord kernel;
            cBitRegion selection;
            loaded += Module7::LoadPalette(from);
            loaded += UserFilterFile::load(from, kernel) != UserFilterFile::LoadStatus::Unreadable;
            loaded += selection.LoadFromFile(from);
        }
        return loaded + (CurrentPalette().entries.size() != 1);
    });
}

// A reader asked for the first bytes of a longer file gets them; one that
// refuses longer files gets nothing, and the selection loader refuses a file
// larger than any selection without reading it.
TEST_F(PaletteFiles, LongerFilesAreCutOrRefusedAsAsked)
{
    const std::string big = path("big.sel");
    { std::ofstream(big, std::ios::binary) << "abcdefghijkl"; }
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(readRegularFile(big, bytes, 5));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abcde");
    EXPECT_FALSE(readRegularFile(big, bytes, 5, true));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(readRegularFile(big, bytes, 12, true));
    EXPECT_EQ(bytes.size(), 12u);

    std::filesystem::resize_file(big, cBitRegion::kMaxFileBytes + 1);   // sparse: no disk used
    cBitRegion selection;
    EXPECT_FALSE(selection.LoadFromFile(big));
}

// The save reads the old file for its tail first: a FIFO there used to hold
// it for ever, waiting for a writer. It is refused before anything is read.
TEST_F(PaletteFiles, SaveOntoAFifoIsRefusedWithoutWaitingOnIt)
{
    const std::string fifo = path("pipe.pal");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CurrentPalette() = palette({{1, 2, 3}});
    expectZeroFromAChild([&] { return Module7::SavePalette(fifo) ? 1 : 0; });
    EXPECT_EQ(std::filesystem::symlink_status(fifo).type(), std::filesystem::file_type::fifo);
}

TEST(Palettes, NearestColour)
{
    struct Case {
        PaletteRecord pal;
        int r, g, b;
        PaletteEntry want;
    };
    const PaletteRecord bw = palette({{0, 0, 0}, {255, 255, 255}});
    const Case cases[] = {
        {bw, 128, 128, 128, {255, 255, 255}},   // 381 against 384
        {bw, 127, 127, 127, {0, 0, 0}},         // 381 against 384
        {palette({{10, 10, 10}, {10, 10, 10}}), 0, 0, 0, {10, 10, 10}},
        {palette({{0, 0, 9}, {0, 9, 0}, {9, 0, 0}}), 0, 0, 0, {0, 0, 9}},       // ties: the first
        {palette({{0, 0, 9}, {1, 2, 3}, {1, 2, 3}}), 1, 2, 3, {1, 2, 3}},       // exact match
        {palette({{255, 255, 255}}), 0, 0, 0, {255, 255, 255}},                 // distance 765 still wins
    };
    for (const Case& cs : cases) {
        PaletteScope scope(cs.pal);
        int32_t r = -1, g = -1, b = -1;
        ASSERT_TRUE(Module6::NearestPaletteColor(cs.r, cs.g, cs.b, r, g, b));
        EXPECT_EQ((PaletteEntry{r, g, b}), cs.want) << cs.r;
    }
    PaletteScope empty(PaletteRecord{});
    int32_t r = -1, g = -1, b = -1;
    EXPECT_FALSE(Module6::NearestPaletteColor(1, 2, 3, r, g, b));
    EXPECT_EQ(r, -1);
}

TEST(Palettes, ApplyWithEveryColourChangesNothing)
{
    std::mt19937 gen(12);
    BitsBuffer pic = greypics::randomPicture(6, 5, gen);
    PaletteRecord all;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) all.entries.push_back({pic.at(2, x, y), pic.at(1, x, y), pic.at(0, x, y)});
    all.Count = static_cast<int32_t>(all.entries.size());
    PaletteScope scope(all);
    Engine e(pic);
    const FilterResult r = e.f.PaletteApply();
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, pic);
    EXPECT_EQ(e.f.Bits(), pic);
}

TEST(Palettes, ApplyDiffusesRightAndDown)
{
    // Palette: black, and pure red at 100. A pixel of red 10 maps to black
    // with error (red 10): 70 \ 16 = 4 to the right, nothing below from the
    // first column; from an inner column 40 \ 16 = 2 goes below.
    PaletteScope scope(palette({{0, 0, 0}, {100, 0, 0}}));
    BitsBuffer b(3, 2);
    b.at(2, 0, 0) = 10;
    b.at(3, 1, 0) = 255;   // marker bytes are never touched
    Engine e(b, Region::rect(0, 0, 1, 1));
    const FilterResult r = e.f.PaletteApply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(2, 0, 0), 0);
    EXPECT_EQ(e.f.Bits().at(2, 1, 0), 4);
    EXPECT_EQ(e.f.Bits().at(2, 0, 1), 0);
    EXPECT_EQ(e.f.Bits().at(3, 1, 0), 255);
    EXPECT_EQ(r->at(2, 1, 0), 0);   // outside the selection: unmapped in the result

    BitsBuffer c(3, 2);
    c.at(2, 1, 0) = 10;
    Engine m(c, Region::rect(1, 0, 2, 1));
    ASSERT_TRUE(m.f.PaletteApply());
    EXPECT_EQ(m.f.Bits().at(2, 2, 0), 4);
    EXPECT_EQ(m.f.Bits().at(2, 1, 1), 2);
    // The diffused error is read by the next pixel: 46 + 4 = 50 ties... no:
    // 50 is 50 from black and 50 from red; the first (black) wins.
    BitsBuffer d(2, 1);
    d.at(2, 0, 0) = 10;
    d.at(2, 1, 0) = 46;
    Engine n(d);
    const FilterResult q = n.f.PaletteApply();
    ASSERT_TRUE(q);
    EXPECT_EQ(n.f.Bits().at(2, 1, 0), 50);
    EXPECT_EQ(q->at(2, 1, 0), 0);
    // Error is limited to 0..255 in the neighbour.
    BitsBuffer k(2, 1);
    k.at(2, 0, 0) = 255;
    k.at(2, 1, 0) = 250;
    PaletteScope blacks(palette({{0, 0, 0}}));
    Engine o(k);
    ASSERT_TRUE(o.f.PaletteApply());
    EXPECT_EQ(o.f.Bits().at(2, 1, 0), 255);
}

TEST(Palettes, ApplyWithoutColoursFailsBeforeTouchingBits)
{
    PaletteScope scope(PaletteRecord{});
    std::mt19937 gen(2);
    const BitsBuffer pic = greypics::randomPicture(4, 3, gen);
    Engine e(pic);
    EXPECT_FALSE(e.f.PaletteApply());
    EXPECT_EQ(e.f.Bits(), pic);
}

TEST(Palettes, StuckiWithoutErrorThresholdsAtTheMean)
{
    Engine e(flatPicture(5, 4, 77));
    const BitsBuffer r = e.f.StuckiBW(0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(r.at(0, x, y), 255);
    Engine g(greyPicture({{10, 200}, {90, 100}}));   // mean (10 + 200 + 90 + 100) \ 4 = 100
    const BitsBuffer q = g.f.StuckiBW(0);
    EXPECT_EQ(q.at(1, 0, 0), 0);
    EXPECT_EQ(q.at(1, 1, 0), 255);
    EXPECT_EQ(q.at(1, 0, 1), 0);
    EXPECT_EQ(q.at(1, 1, 1), 255);
    EXPECT_EQ(q.at(3, 0, 0), 7);
}

TEST(Palettes, StuckiFeedsTheErrorForward)
{
    // One row of 100s: mean 100. x0: 255, e -155 -> +(-29) at x1, +(-14)
    // at x2. x1: 71 -> 0, e 71 -> +13 at x2, +6 at x3. x2: 99 -> 0, e 99 ->
    // +18 at x3 (x2 is not below MaxX - 2). x3: 124 -> 255. x4: 100 -> 255.
    Engine e(flatPicture(5, 1, 100));
    const BitsBuffer r = e.f.StuckiBW(10);
    const int want[5] = {255, 0, 0, 255, 255};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(r.at(0, x, 0), want[x]) << x;
    // PalWeight 20 feeds back half: x1 gets 100 + (-290 \ 20) = 86 -> 0.
    const BitsBuffer h = e.f.StuckiBW(20);
    EXPECT_EQ(h.at(0, 1, 0), 0);
    // Error reaches the next row only while y < MaxY - 1: in a picture of
    // three rows of 100 with a white first row, row 1 gets error and row 2
    // none.
    Engine t(greyPicture({{100, 100, 100, 100, 100}, {100, 100, 100, 100, 100}, {100, 100, 100, 100, 100}}));
    const BitsBuffer s = t.f.StuckiBW(10);
    EXPECT_EQ(s.at(0, 0, 0), 255);
    EXPECT_EQ(s.at(0, 0, 1), 0);    // 100 + (-155 x 8 \ 42 = -29) = 71
    EXPECT_EQ(s.at(0, 4, 2), 255);
}

} // namespace tq

namespace tq {
namespace {

Region randomRegion(int w, int h, std::mt19937& gen)
{
    std::vector<Region::Band> bands;
    for (int y = static_cast<int>(gen() % 3); y < h; y += 1 + static_cast<int>(gen() % 3)) {
        const int x0 = static_cast<int>(gen() % w);
        const int x1 = x0 + 1 + static_cast<int>(gen() % 4);
        const int x2 = x1 + 1 + static_cast<int>(gen() % 3);
        bands.push_back({y, y + 1, {{x0, x1}, {x2, x2 + 1 + static_cast<int>(gen() % 5)}}});
    }
    return Region::fromBands(bands);
}

// The dither as its definition reads, one pixel and one point test at a time.
BitsBuffer referenceStucki(const BitsBuffer& bits, const Region& rg, int32_t palWeight)
{
    const int W = bits.width(), H = bits.height(), maxX = W - 1, maxY = H - 1;
    int64_t total = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) total += (bits.at(0, x, y) + bits.at(1, x, y) + bits.at(2, x, y)) / 3;
    const int32_t mean = static_cast<int32_t>(total / (int64_t(W) * H));
    std::vector<std::vector<int32_t>> err(3, std::vector<int32_t>(static_cast<size_t>(W), 0));
    BitsBuffer out = bits;
    const RectI box = rg.boundingBox();
    for (int y = std::max(box.top, 0); y <= std::min(box.bottom - 1, maxY); ++y) {
        for (int x = std::max(box.left, 0); x <= std::min(box.right - 1, maxX); ++x) {
            if (!rg.contains(x, y)) continue;
            int32_t g = (bits.at(0, x, y) + bits.at(1, x, y) + bits.at(2, x, y)) / 3;
            if (palWeight != 0) g += err[0][static_cast<size_t>(x)] * 10 / palWeight;
            g = std::clamp(g, 0, 255);
            const int32_t o = g < mean ? 0 : 255;
            for (int c = 0; c < 3; ++c) out.at(c, x, y) = static_cast<uint8_t>(o);
            const int32_t e = g - o;
            struct T {
                int dx, row, w;
                bool ok;
            };
            const T taps[] = {
                {1, 0, 8, x < maxX - 1},
                {2, 0, 4, x < maxX - 2},
                {-2, 1, 2, y < maxY - 1 && x > 1},
                {-1, 1, 4, y < maxY - 1 && x > 0},
                {0, 1, 8, y < maxY - 1},
                {1, 1, 4, y < maxY - 1 && x < maxX - 1},
                {2, 1, 2, y < maxY - 1 && x < maxX - 2},
                {-2, 2, 1, y < maxY - 2 && x > 1},
                {-1, 2, 2, y < maxY - 2 && x > 0},
                {0, 2, 4, y < maxY - 2},
                {1, 2, 2, y < maxY - 2 && x < maxX - 1},
                {2, 2, 1, y < maxY - 2 && x < maxX - 2},
            };
            for (const T& t : taps)
                if (t.ok) err[static_cast<size_t>(t.row)][static_cast<size_t>(x + t.dx)] += e * t.w / 42;
        }
        err[0] = err[1];
        err[1] = err[2];
        std::fill(err[2].begin(), err[2].end(), 0);
    }
    return out;
}

} // namespace

TEST(Palettes, StuckiEqualsItsDefinitionOnSelectionsWithHoles)
{
    for (int round = 0; round < 60; ++round) {
        randomcases::SeededRound seeded(77, round);
        if (!seeded.wanted()) continue;
        std::mt19937& gen = seeded.gen;
        const int w = 1 + static_cast<int>(gen() % 11), h = 1 + static_cast<int>(gen() % 9);
        const BitsBuffer pic = greypics::randomPicture(w, h, gen);
        const Region rg = round % 5 == 0 ? Region::rect(0, 0, w, h) : randomRegion(w, h, gen);
        const int32_t weights[] = {10, 0, 7, 25, -10};
        const int32_t pw = weights[round % 5];
        Engine e(pic, rg);
        ASSERT_EQ(e.f.StuckiBW(pw), referenceStucki(pic, rg, pw)) << "round " << round;
    }
}

TEST(Palettes, StuckiReportsTheEndOfBothPasses)
{
    ManualClock clock(0, 0);
    cBitFilter f(clock);
    std::vector<int32_t> reports;
    f.onProgress([&](int32_t& p) { reports.push_back(p); });
    f.setBits(flatPicture(3, 3, 9));
    const Region rg = Region::rect(0, 0, 3, 3);
    f.setBitsRegion(&rg);
    f.StuckiBW(10);
    EXPECT_EQ(reports, (std::vector<int32_t>{100, 100}));
}

} // namespace tq

namespace tq {

TEST(Palettes, ApplyEqualsItsDefinitionOnSelectionsWithHoles)
{
    for (int round = 0; round < 40; ++round) {
        randomcases::SeededRound seeded(91, round);
        if (!seeded.wanted()) continue;
        std::mt19937& gen = seeded.gen;
        const int w = 1 + static_cast<int>(gen() % 10), h = 1 + static_cast<int>(gen() % 8);
        const BitsBuffer pic = greypics::randomPicture(w, h, gen);
        PaletteRecord pal;
        const int n = 1 + static_cast<int>(gen() % 6);
        for (int i = 0; i < n; ++i)
            pal.entries.push_back({static_cast<int32_t>(gen() % 256), static_cast<int32_t>(gen() % 256),
                                   static_cast<int32_t>(gen() % 256)});
        pal.Count = n;
        PaletteScope scope(pal);
        std::vector<Region::Band> bands;
        for (int y = 0; y < h; y += 2) bands.push_back({y, y + 1, {{static_cast<int>(gen() % w), w}}});
        const Region rg = round % 4 == 0 ? Region::rect(0, 0, w, h) : Region::fromBands(bands);
        // The definition: nearest colour of Bits (holding the error passed
        // so far), error to the right and below whether selected or not.
        BitsBuffer work = pic, want = pic;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (!rg.contains(x, y)) continue;
                const int B = work.at(0, x, y), G = work.at(1, x, y), R = work.at(2, x, y);
                int32_t r, g, b;
                ASSERT_TRUE(Module6::NearestPaletteColor(R, G, B, r, g, b));
                want.at(0, x, y) = static_cast<uint8_t>(b);
                want.at(1, x, y) = static_cast<uint8_t>(g);
                want.at(2, x, y) = static_cast<uint8_t>(r);
                const int e[3] = {B - b, G - g, R - r};
                if (std::abs(e[0]) + std::abs(e[1]) + std::abs(e[2]) <= 3) continue;
                for (int c = 0; c < 3; ++c) {
                    if (x < w - 1) work.at(c, x + 1, y) = static_cast<uint8_t>(std::clamp(work.at(c, x + 1, y) + e[c] * 7 / 16, 0, 255));
                    if (y < h - 1 && x != 0 && x != w - 1)
                        work.at(c, x, y + 1) = static_cast<uint8_t>(std::clamp(work.at(c, x, y + 1) + e[c] * 4 / 16, 0, 255));
                }
            }
        Engine eng(pic, rg);
        const FilterResult got = eng.f.PaletteApply();
        ASSERT_TRUE(got);
        ASSERT_EQ(*got, want) << "round " << round;
        ASSERT_EQ(eng.f.Bits(), work) << "round " << round;
    }
}

} // namespace tq
