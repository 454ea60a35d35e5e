// The Photoshop structure check in front of the library's decoder.
#include "document/PsdCheck.h"
#include "document/PictureRouting.h"
#include "document/FreeImageBridge.h"

#include "document/PictureFixtures.h"
#include "TestSeed.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>

namespace tq {
namespace {

void be16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(uint8_t(x >> 8));
    v.push_back(uint8_t(x));
}
void be32(std::vector<uint8_t>& v, uint32_t x)
{
    be16(v, x >> 16);
    be16(v, x & 0xFFFF);
}

// A 3 x 2 RGB picture, run-length rows: red rows 10,20,30 / 40,50,60, green
// a run of 7s, blue literal 1,2,3; one resource block.
std::vector<uint8_t> makeRlePsd()
{
    std::vector<uint8_t> v = {'8', 'B', 'P', 'S'};
    be16(v, 1);
    v.insert(v.end(), 6, 0);
    be16(v, 3);   // channels
    be32(v, 2);   // height
    be32(v, 3);   // width
    be16(v, 8);   // depth
    be16(v, 3);   // RGB
    be32(v, 0);   // colour mode data
    std::vector<uint8_t> res = {'8', 'B', 'I', 'M'};
    be16(res, 4000);   // a plug-in resource the reader skips
    res.push_back(0);
    res.push_back(0);   // empty name, padded
    be32(res, 2);
    res.push_back(9);
    res.push_back(9);
    be32(v, uint32_t(res.size()));
    v.insert(v.end(), res.begin(), res.end());
    be32(v, 0);   // layers
    be16(v, 1);   // run-length
    const std::vector<std::vector<uint8_t>> rows = {{2, 10, 20, 30}, {2, 40, 50, 60}, {0xFE, 7}, {0xFE, 7}, {2, 1, 2, 3}, {2, 1, 2, 3}};
    for (const auto& r : rows) be16(v, uint32_t(r.size()));
    for (const auto& r : rows) v.insert(v.end(), r.begin(), r.end());
    return v;
}

TEST(PsdCheck, SoundFileOpensDamagedOnesAreRefused)
{
    testing::PictureTempDir dir;
    const std::vector<uint8_t> good = makeRlePsd();
    ASSERT_TRUE(psdStructureSound(good));
    testing::writeFile(dir.path("good.psd"), good);
    const BitmapHandle h = mBitmap::LoadImageFile(dir.path("good.psd"), "psd");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(h->dib.width, 3);
    EXPECT_EQ(std::vector<uint8_t>(h->dib.bits.begin(), h->dib.bits.begin() + 4), (std::vector<uint8_t>{1, 7, 10, 0}));
    EXPECT_EQ(std::vector<uint8_t>(h->dib.row(1) + 8, h->dib.row(1) + 12), (std::vector<uint8_t>{3, 7, 60, 0}));

    struct Damage {
        const char* what;
        size_t offset;
        uint8_t value;
    };
    const size_t data = good.size() - 20;   // first run-length row
    for (const Damage d : {Damage{"signature", 0, 'X'}, Damage{"version", 5, 2}, Damage{"channels", 13, 0},
                           Damage{"depth", 23, 0xEA}, Damage{"mode", 25, 5}, Damage{"colour data length", 29, 9},
                           Damage{"resource signature", 34, 'X'}, Damage{"resource size", 43, 0x7F},
                           Damage{"compression", data - 13, 3}, Damage{"row count", data - 11, 9},
                           Damage{"run too long", data, 5}, Damage{"repeat too long", data + 8, 0xF0}}) {
        std::vector<uint8_t> bad = good;
        bad[d.offset] = d.value;
        EXPECT_FALSE(psdStructureSound(bad)) << d.what;
        testing::writeFile(dir.path("bad.psd"), bad);
        EXPECT_EQ(mBitmap::LoadImageFile(dir.path("bad.psd"), "psd"), nullptr) << d.what;
    }
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(psdStructureSound(std::vector<uint8_t>(good.begin(), good.begin() + cut))) << cut;
    EXPECT_FALSE(psdFileStructureSound(dir.path("missing.psd")));
}

// Random damage to a run-length file never reaches the decoder unchecked.
TEST(PsdCheck, MutatedRunLengthFilesFailCleanly)
{
    testing::PictureTempDir dir;
    const std::vector<uint8_t> good = makeRlePsd();
    const char* env = std::getenv("TQ_FUZZ_ROUNDS");
    const int rounds = env ? std::max(1, std::atoi(env)) : 300;
    const unsigned seed = testing::testSeed(7u, true);
    TQ_SEED_TRACE(seed);
    std::mt19937 rng(seed);
    for (int i = 0; i < rounds; ++i) {
        std::vector<uint8_t> bad = good;
        for (int k = 0; k < 1 + i % 4; ++k) bad[std::uniform_int_distribution<size_t>(0, bad.size() - 1)(rng)] = uint8_t(rng());
        testing::writeFile(dir.path("m.psd"), bad);
        const BitmapHandle h = mBitmap::LoadImageFile(dir.path("m.psd"), "psd");
        if (h) {
            EXPECT_EQ(h->dib.bits.size(), 4u * size_t(h->dib.width) * size_t(h->dib.height));
        }
    }
}

} // namespace
} // namespace tq
