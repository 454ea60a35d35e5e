// The colour picker's field and slider pictures at 256 x 256, beside a
// memcpy of the 256 KB a 256 x 256 picture of 32-bit pixels holds.
//
// A field is re-rendered while the user drags the slider, once per change
// of its value; to keep dragging smooth a field has to be ready well inside
// one 60 Hz frame, and the target is a quarter of it, 4 ms.
//
// - Bits_*: the software renderer's pixel array alone (whole numbers, one
//   row buffer per row, six pixels per computed triple in the hue-circle
//   fields).
// - Field_*: the picture the picker paints: the array, the surface it is
//   drawn onto and the copy made of it, as the update routines do it.
// - Accel_*: the same fields drawn as one gradient per row or column.
// - WebSafe_*: the software picture with every byte snapped through the
//   web-safe table.
// - Bar_*: the 16 x 256 slider pictures.
//
// A field picture costs some 30 to 80 memcpy of its 256 KB (0.1 to 0.3 ms),
// far inside the 4 ms. The hue field is the dearest array: three channels
// of a division-free linear step per pixel where the other fields look up
// or reuse a column value. The picture around an array adds two 256 KB
// surfaces (the drawing surface and the copy the picker keeps); the
// web-safe pictures add one table look-up per byte.
#include "colour/FieldRenderer.h"
#include "platform/HeapTuning.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace tq;

constexpr int32_t kSide = 256;

FieldRenderer& renderer(bool webSafe = false)
{
    static const bool heapTuned = [] {
        tq::platform::keepLargeBlocksInHeap();   // as the program does at start
        return true;
    }();
    (void)heapTuned;
    static FieldRenderer plain = [] {
        FieldRenderer r;
        r.FieldWidth = r.FieldHeight = r.BarHeight = kSide;
        return r;
    }();
    static FieldRenderer safe = [] {
        FieldRenderer r;
        r.FieldWidth = r.FieldHeight = r.BarHeight = kSide;
        r.WebSafe = true;
        return r;
    }();
    return webSafe ? safe : plain;
}

const HSBRecord kHue{200, 100, 100};

void BM_Memcpy(benchmark::State& state)
{
    renderer();
    std::vector<uint8_t> src(size_t(kSide) * kSide * 4, 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

template <class F>
void run(benchmark::State& state, F&& render)
{
    for (auto _ : state) {
        auto result = render();
        benchmark::DoNotOptimize(result);
    }
}

// ---- Pixel arrays --------------------------------------------------------------

// The arrays alone do not go through renderer(): tune the heap for them too.
const bool kHeapTuned = (renderer(), true);

void BM_Bits_Hue(benchmark::State& s) { run(s, [] { return hueFieldBits(kSide, kSide, kHue, nullptr); }); }
void BM_Bits_Saturation(benchmark::State& s) { run(s, [] { return saturationFieldBits(kSide, kSide, 63, nullptr); }); }
void BM_Bits_Brightness(benchmark::State& s) { run(s, [] { return brightnessFieldBits(kSide, kSide, 63, nullptr); }); }
void BM_Bits_Red(benchmark::State& s) { run(s, [] { return rgbFieldBits(kSide, kSide, 120, 0, nullptr); }); }
void BM_Bits_Green(benchmark::State& s) { run(s, [] { return rgbFieldBits(kSide, kSide, 120, 1, nullptr); }); }
void BM_Bits_Blue(benchmark::State& s) { run(s, [] { return rgbFieldBits(kSide, kSide, 120, 2, nullptr); }); }
BENCHMARK(BM_Bits_Hue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bits_Saturation)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bits_Brightness)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bits_Red)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bits_Green)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bits_Blue)->Unit(benchmark::kMicrosecond);

// ---- Field pictures, software ------------------------------------------------------

void BM_Field_Hue(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectHue(kHue); }); }
void BM_Field_Saturation(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectSaturation(63); }); }
void BM_Field_Brightness(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectBrightness(63); }); }
void BM_Field_Red(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectRGB(120, 0); }); }
void BM_Field_Green(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectRGB(120, 1); }); }
void BM_Field_Blue(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectRGB(120, 2); }); }
BENCHMARK(BM_Field_Hue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field_Saturation)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field_Brightness)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field_Red)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field_Green)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field_Blue)->Unit(benchmark::kMicrosecond);

// ---- Field pictures, gradient fill ------------------------------------------------

void BM_Accel_Hue(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectHueAccel(kHue); }); }
void BM_Accel_Saturation(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectSaturationAccel(63); }); }
void BM_Accel_Brightness(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectBrightnessAccel(63); }); }
void BM_Accel_Red(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectRGBAccel(120, 0); }); }
void BM_Accel_Green(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectRGBAccel(120, 1); }); }
void BM_Accel_Blue(benchmark::State& s) { run(s, [] { return renderer().pvCreateRectRGBAccel(120, 2); }); }
BENCHMARK(BM_Accel_Hue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Accel_Saturation)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Accel_Brightness)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Accel_Red)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Accel_Green)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Accel_Blue)->Unit(benchmark::kMicrosecond);

// ---- Web-safe field pictures -------------------------------------------------------

void BM_WebSafe_Hue(benchmark::State& s) { run(s, [] { return renderer(true).pvCreateRectHue(kHue); }); }
void BM_WebSafe_Saturation(benchmark::State& s) { run(s, [] { return renderer(true).pvCreateRectSaturation(63); }); }
void BM_WebSafe_Red(benchmark::State& s) { run(s, [] { return renderer(true).pvCreateRectRGB(120, 0); }); }
BENCHMARK(BM_WebSafe_Hue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WebSafe_Saturation)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WebSafe_Red)->Unit(benchmark::kMicrosecond);

// ---- Slider pictures ----------------------------------------------------------------

void BM_Bar_Hue(benchmark::State& s) { run(s, [] { return renderer().pvCreateBarHue(); }); }
void BM_Bar_Saturation(benchmark::State& s) { run(s, [] { return renderer().pvCreateBarSaturation(200, 63); }); }
void BM_Bar_Brightness(benchmark::State& s) { run(s, [] { return renderer().pvCreateBarBrightness(200, 63); }); }
void BM_Bar_Red(benchmark::State& s) { run(s, [] { return renderer().pvCreateBarRGB(0); }); }
void BM_Bar_Green(benchmark::State& s) { run(s, [] { return renderer().pvCreateBarRGB(1); }); }
void BM_Bar_Blue(benchmark::State& s) { run(s, [] { return renderer().pvCreateBarRGB(2); }); }
BENCHMARK(BM_Bar_Hue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bar_Saturation)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bar_Brightness)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bar_Red)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bar_Green)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bar_Blue)->Unit(benchmark::kMicrosecond);

} // namespace
