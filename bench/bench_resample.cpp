// The smooth (bilinear) geometry members on a 4000 x 3000 picture, beside the
// streaming image library libvips doing the same work and a memcpy of the
// result's bytes:
// - "resample 50%": BitsResample to 2000 x 1500;
// - "resample 150%": BitsResample to 6000 x 4500;
// - "rotate 30": RotateSmooth on the canvas the rotation command prepares
//   (the picture centred on a black square of its diagonal, the part kept
//   after the turn, 4964 x 4598, selected): the kept part is computed, the
//   rest of the square copied.
// Ours run on one thread and on every core ("x 1 thread" on the second line:
// its speed over the first). libvips runs on one thread
// (vips_concurrency_set(1), its operation cache off) on a four-band image of
// the same pixels, its output written to memory: vips_affine with its
// bilinear interpolator samples as ours do; vips_resize with the linear
// kernel (which for a reduction widens the kernel, so does more work) and
// vips_similarity are shown beside it. "x vips" on our lines is the fastest
// libvips line of the same work over ours (above 1: ours is faster), and
// "x memcpy" memcpy's time for the bordered result over the line's.
//
// The machine may be shared: every figure comes from the best call of its
// line (the Time column is Google Benchmark's mean), and the ratios are worth
// more than the times. Built without libvips, only our lines run.
// GLib's headers name a member "signals", which Qt's headers define as a
// keyword: libvips comes first.
#if defined(TQ_HAVE_VIPS)
#include <vips/vips.h>
#endif

#include "filters/cBitFilter.h"
#include "platform/HeapTuning.h"
#include "core/Region.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace {

using tq::BitsBuffer;
using tq::cBitFilter;
using tq::Region;
using Clock = std::chrono::steady_clock;

constexpr int kW = 4000;
constexpr int kH = 3000;
constexpr int kDegrees = 30;
constexpr int kIterations = 8;

const bool kWarmHeap = [] {
    tq::platform::keepLargeBlocksInHeap();   // as the program does at start
    return tq::bench::stateCores();
}();

const BitsBuffer& picture()
{
    static const BitsBuffer b = tq::bench::patternPicture(kW, kH);
    return b;
}

// The rotation command's canvas: the picture centred on a black square of
// its diagonal, and the part of it kept after the turn.
struct TurnCanvas {
    BitsBuffer square;
    Region kept;
    int keptW = 0, keptH = 0;
};
const TurnCanvas& turnCanvas()
{
    static const TurnCanvas t = [] {
        const double a = kDegrees * tq::kDegToRad;
        const int d = static_cast<int>(std::lrint(std::sqrt(double(kW) * kW + double(kH) * kH)));
        const int w = static_cast<int>(std::lrint(kW * std::cos(a) + kH * std::sin(a)));
        const int h = static_cast<int>(std::lrint(kW * std::sin(a) + kH * std::cos(a)));
        const int left = (d - w) / 2, top = (d - h) / 2;
        TurnCanvas c{BitsBuffer(d, d), Region::rect(left, top, left + w, top + h), w, h};
        for (int y = 0; y < kH; ++y)
            std::memcpy(c.square.pixel((d - kW) / 2, (d - kH) / 2 + y), picture().row(y), 4u * kW);
        return c;
    }();
    return t;
}

// The best single-thread seconds of every libvips line, by piece of work.
std::map<std::string, double>& vipsBest()
{
    static std::map<std::string, double> m;
    return m;
}
// Our single-thread best, by piece of work.
std::map<std::string, double>& oursOneThread()
{
    static std::map<std::string, double> m;
    return m;
}

// Times `call` once per iteration (after one untimed call, which maps the
// heap's pages) and returns the best seconds.
double bestOf(benchmark::State& state, const std::function<void()>& call)
{
    call();
    double best = 1e9;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        call();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return best;
}

void countersFor(benchmark::State& state, double best, int outW, int outH)
{
    state.counters["best ms"] = best * 1e3;
    state.counters["MP/s"] = double(outW) * outH / 1e6 / best;
    state.counters["x memcpy"] = tq::bench::memcpySeconds(outW, outH) / best;
}

// One of our members, on one thread and on every core. make(engine) sets up
// an engine and returns its call.
void registerOurs(const std::string& work, int outW, int outH,
                  std::function<std::function<void()>(cBitFilter&)> make)
{
    auto body = [=](benchmark::State& state) {
        const int threads = static_cast<int>(state.range(0));
        cBitFilter engine;
        engine.setThreadCount(threads);
        const double best = bestOf(state, make(engine));
        countersFor(state, best, outW, outH);
        if (threads == 1) {
            oursOneThread()[work] = best;
        } else if (const auto one = oursOneThread().find(work); one != oursOneThread().end()) {
            state.counters["x 1 thread"] = one->second / best;
        }
        if (const auto v = vipsBest().find(work); v != vipsBest().end()) state.counters["x vips"] = v->second / best;
    };
    benchmark::RegisterBenchmark(work.c_str(), body)
        ->ArgName("threads")
        ->Arg(1)
        ->Arg(tq::bench::coreCount())
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(kIterations);
}

#if defined(TQ_HAVE_VIPS)

// The picture as a plain four-band libvips image (no border), made once.
VipsImage* vipsPicture()
{
    static VipsImage* image = [] {
        static std::vector<uint8_t> pixels(4u * kW * kH);
        for (int y = 0; y < kH; ++y) std::memcpy(pixels.data() + 4u * kW * y, picture().row(y), 4u * kW);
        return vips_image_new_from_memory(pixels.data(), pixels.size(), kW, kH, 4, VIPS_FORMAT_UCHAR);
    }();
    return image;
}

VipsInterpolate* bilinear()
{
    static VipsInterpolate* b = vips_interpolate_new("bilinear");
    return b;
}

// One libvips line: op(in, &out) builds the pipeline, which is then
// computed into memory on one thread.
void registerVips(const std::string& work, const std::string& name, std::function<int(VipsImage*, VipsImage**)> op)
{
    auto body = [=](benchmark::State& state) {
        int outW = 0, outH = 0;
        bool failed = false;
        const double best = bestOf(state, [&] {
            VipsImage* out = nullptr;
            VipsImage* mem = vips_image_new_memory();
            if (op(vipsPicture(), &out) || vips_image_write(out, mem)) failed = true;
            if (out) {
                outW = vips_image_get_width(out);
                outH = vips_image_get_height(out);
                g_object_unref(out);
            }
            benchmark::DoNotOptimize(mem);
            g_object_unref(mem);
        });
        if (failed) {
            state.SkipWithError(vips_error_buffer());
            return;
        }
        countersFor(state, best, outW, outH);
        double& known = vipsBest().try_emplace(work, best).first->second;
        known = std::min(known, best);
        state.SetLabel(std::to_string(outW) + " x " + std::to_string(outH));
    };
    benchmark::RegisterBenchmark((work + " " + name).c_str(), body)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(kIterations);
}

const bool kVipsLines = [] {
    if (VIPS_INIT("bench_resample")) return false;
    vips_concurrency_set(1);
    vips_cache_set_max(0);
    registerVips("resample 50%", "vips_affine bilinear", [](VipsImage* in, VipsImage** out) {
        return vips_affine(in, out, 0.5, 0.0, 0.0, 0.5, "interpolate", bilinear(), nullptr);
    });
    registerVips("resample 50%", "vips_resize linear", [](VipsImage* in, VipsImage** out) {
        return vips_resize(in, out, 0.5, "kernel", VIPS_KERNEL_LINEAR, nullptr);
    });
    registerVips("resample 150%", "vips_affine bilinear", [](VipsImage* in, VipsImage** out) {
        return vips_affine(in, out, 1.5, 0.0, 0.0, 1.5, "interpolate", bilinear(), nullptr);
    });
    registerVips("resample 150%", "vips_resize linear", [](VipsImage* in, VipsImage** out) {
        return vips_resize(in, out, 1.5, "kernel", VIPS_KERNEL_LINEAR, nullptr);
    });
    const double a = kDegrees * tq::kDegToRad;
    registerVips("rotate 30", "vips_affine bilinear", [a](VipsImage* in, VipsImage** out) {
        return vips_affine(in, out, std::cos(a), -std::sin(a), std::sin(a), std::cos(a), "interpolate", bilinear(),
                           nullptr);
    });
    registerVips("rotate 30", "vips_similarity bilinear", [](VipsImage* in, VipsImage** out) {
        return vips_similarity(in, out, "angle", double(kDegrees), "interpolate", bilinear(), nullptr);
    });
    return true;
}();

#endif

const bool kOurLines = [] {
    registerOurs("resample 50%", kW / 2, kH / 2, [](cBitFilter& e) -> std::function<void()> {
        return [&e] { e.BitsResample(picture(), kW / 2, kH / 2); };
    });
    registerOurs("resample 150%", kW * 3 / 2, kH * 3 / 2, [](cBitFilter& e) -> std::function<void()> {
        return [&e] { e.BitsResample(picture(), kW * 3 / 2, kH * 3 / 2); };
    });
    const TurnCanvas& t = turnCanvas();
    registerOurs("rotate 30", t.keptW, t.keptH, [&t](cBitFilter& e) -> std::function<void()> {
        e.setBits(t.square);
        e.setBitsRegion(&t.kept);
        return [&e] { benchmark::DoNotOptimize(e.RotateSmooth(kDegrees)); };
    });
    tq::bench::registerMemcpy(kW, kH);
    return true;
}();

} // namespace
