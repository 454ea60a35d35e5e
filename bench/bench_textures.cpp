// Applying a texture to a 4000 x 3000 picture selected whole, once per tile
// effect, beside a plain memcpy of the picture's bytes in the same run. One
// application is what the textures window does for a click: the 120 x 120
// tile taken into an engine of its own, the tile effect run on it, and the
// tile multiplied into the picture (which copies the whole buffer for its
// result). The tile effect works on 14,400 pixels and costs next to
// nothing; Texturize's pass over the picture, a table lookup per byte, is
// the whole cost, so every effect should stay within a few memcpy times and
// none may take more than 100.
//
// Each result is a fresh 48 MB buffer; as the program does at start, freed
// picture-sized blocks are kept in the heap, so a new result reuses mapped
// pages.
#include "filters/cBitFilter.h"
#include "platform/HeapTuning.h"
#include "platform/QtImage.h"
#include "tools/TextureApply.h"
#include "tools/TileEffects.h"
#include "toolwindows/TexturePictures.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

struct Picture {
    tq::cBitFilter engine;
    tq::Region whole = tq::Region::rect(0, 0, kW, kH);
    tq::DibRecord tile;
    Picture()
    {
        tq::bench::offscreenApp();
        tq::platform::keepLargeBlocksInHeap();
        const tq::DibRecord photo = tq::bench::photoLikePicture(kW, kH);
        engine.BitsTakeFromPicture(photo, kW, kH);
        // Picture 29, a 120 x 120 one.
        tile = tq::platform::dibFromImage(tq::definedTexturePicture(28));
        // One result made and let go before timing, so the first effect
        // measured does not pay for mapping the heap's pages.
        tq::cBitFilter warm;
        tq::TextureApply::makeTile(warm, tile, 1, 50);
        benchmark::DoNotOptimize(tq::TextureApply::texturize(engine, &whole, warm.Bits()));
    }
};

Picture& picture()
{
    static Picture p;
    return p;
}

void BM_Memcpy(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, kW, kH); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_ApplyTexture(benchmark::State& state, int effect)
{
    Picture& p = picture();
    tq::cBitFilter tileFilter;
    for (auto _ : state) {
        tq::TextureApply::makeTile(tileFilter, p.tile, static_cast<int16_t>(effect), 50);
        tq::FilterResult r = tq::TextureApply::texturize(p.engine, &p.whole, tileFilter.Bits());
        benchmark::DoNotOptimize(r);
    }
    tq::bench::setMegapixels(state, kW, kH);
}

const bool kRegistered = [] {
    const auto& table = tq::tileEffectTable<tq::cBitFilter>();
    for (int n = 1; n <= tq::kTileEffectCount; ++n) {
        const std::string name = "BM_ApplyTexture/" + std::to_string(n) + ":" + table[static_cast<size_t>(n - 1)].caption;
        benchmark::RegisterBenchmark(name.c_str(), BM_ApplyTexture, n)->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
