// What the benchmark programs share: the megapixel rate counter and the
// baseline every whole-picture operation is read against, one memcpy of the
// bytes of a bordered picture.
#pragma once

#include "platform/BitsBuffer.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tq::bench {

inline void setMegapixels(benchmark::State& state, int w, int h)
{
    state.counters["MP/s"] =
        benchmark::Counter(double(w) * h / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Copies the 4 (w + 4) (h + 4) bytes of a bordered w x h picture per iteration.
inline void memcpyBorderedPicture(benchmark::State& state, int w, int h)
{
    std::vector<uint8_t> src(BitsBuffer::byteSizeFor(w, h), 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
    }
    setMegapixels(state, w, h);
}

// A photograph-like w x h picture: smooth gradients with a fine texture.
inline DibRecord photoLikePicture(int w, int h)
{
    DibRecord d;
    d.width = w;
    d.height = h;
    d.header = BitsHeader::forDib(w, h);
    d.bits.resize(4u * static_cast<size_t>(w) * static_cast<size_t>(h));
    uint32_t seed = 12345;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = d.row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 29);
            p[0] = uint8_t((x / 16 + noise) & 0xFF);
            p[1] = uint8_t((y / 12 + noise) & 0xFF);
            p[2] = uint8_t(((x + y) / 28 + noise) & 0xFF);
            p[3] = 0;
        }
    }
    return d;
}

// A w x h engine picture of fast-changing colours: blue x * 7 + y, green
// x + y * 3, red x ^ y (each kept to a byte).
inline BitsBuffer patternPicture(int w, int h)
{
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            p[0] = uint8_t(x * 7 + y);
            p[1] = uint8_t(x + y * 3);
            p[2] = uint8_t(x ^ y);
        }
    }
    return b;
}

// The one application object of a benchmark that makes windows, on the
// offscreen platform unless another was asked for.
inline QApplication& offscreenApp()
{
    static int argc = 1;
    static char name[] = "benchmark";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *a;
}

} // namespace tq::bench
