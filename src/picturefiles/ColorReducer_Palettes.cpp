// The reducer's palettes, its view of the source rows and its nearest-colour
// search.
#include "picturefiles/ColorReducerParts.h"

#include <FreeImage.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace tq::reduce {

// ---- Source rows ----------------------------------------------------------

RowSource::RowSource(const DibRecord& source, int32_t transformFlags, bool greyscale)
    : src_(source), w_(source.width), h_(source.height)
{
    flipV_ = (transformFlags & 0x10000) != 0;
    flipH_ = (transformFlags & 0x20000) != 0;
    invert_ = (transformFlags & 0x100000) != 0;
    grey_ = greyscale;
}

const uint8_t* RowSource::row(int y, uint8_t* scratch) const
{
    const uint8_t* s = src_.row(flipV_ ? h_ - 1 - y : y);
    if (!flipH_ && !invert_ && !grey_) return s;
    const uint32_t* in = reinterpret_cast<const uint32_t*>(s);
    uint32_t* out = reinterpret_cast<uint32_t*>(scratch);
    if (flipH_) {
        for (int x = 0; x < w_; ++x) out[x] = in[w_ - 1 - x];
    } else {
        std::memcpy(out, in, 4u * size_t(w_));
    }
    if (invert_)
        for (int x = 0; x < w_; ++x) out[x] ^= 0x00FFFFFFu;
    if (grey_) {
        for (int x = 0; x < w_; ++x) {
            uint8_t* p = scratch + 4 * x;
            const uint8_t v = uint8_t((299 * p[2] + 587 * p[1] + 114 * p[0] + 500) / 1000);
            p[0] = p[1] = p[2] = v;
        }
    }
    return scratch;
}

namespace {

constexpr Rgb rgb(uint32_t hex) { return Rgb{uint8_t(hex), uint8_t(hex >> 8), uint8_t(hex >> 16)}; }

// The desktop's 20 static colours, in the order of its default palette:
// the first ten, then the last ten.
constexpr std::array<uint32_t, 20> kStatic20 = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
    0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

constexpr std::array<uint32_t, 16> kVga16 = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                             0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                             0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

uint8_t evenLevel(int i, int levels) { return uint8_t(std::lrint(255.0 * i / (levels - 1))); }

void addCube(std::vector<Rgb>& pal, int reds, int greens, int blues)
{
    for (int r = 0; r < reds; ++r)
        for (int g = 0; g < greens; ++g)
            for (int b = 0; b < blues; ++b)
                pal.push_back(Rgb{evenLevel(b, blues), evenLevel(g, greens), evenLevel(r, reds)});
}

std::vector<Rgb> msMap(int bits)
{
    std::vector<Rgb> pal;
    switch (bits) {
    case 1: pal = {rgb(0x000000), rgb(0xFFFFFF)}; break;
    case 2: pal = {rgb(0x000000), rgb(0x808080), rgb(0xC0C0C0), rgb(0xFFFFFF)}; break;
    case 3: addCube(pal, 2, 2, 2); break;
    case 4:
        for (size_t i = 0; i < kStatic20.size(); ++i)
            if (i < 8 || i >= 12) pal.push_back(rgb(kStatic20[i]));
        break;
    default:
        for (uint32_t c : kStatic20) pal.push_back(rgb(c));
        break;
    }
    return pal;
}

// Red, green and blue levels of the uniform palette of 2^k colours, k 3..8.
constexpr std::array<std::array<int, 3>, 9> kUniformLevels = {{
    {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {2, 2, 2}, {2, 4, 2}, {4, 4, 2}, {4, 4, 4}, {4, 8, 4}, {8, 8, 4}}};

std::vector<Rgb> uniformPalette(int k)
{
    std::vector<Rgb> pal;
    if (k == 1) return {rgb(0x000000), rgb(0xFFFFFF)};
    if (k == 2) return {rgb(0x000000), rgb(0x00FFFF), rgb(0xFF00FF), rgb(0xFFFFFF)};
    addCube(pal, kUniformLevels[size_t(k)][0], kUniformLevels[size_t(k)][1], kUniformLevels[size_t(k)][2]);
    return pal;
}

std::vector<Rgb> webSafe()
{
    std::vector<Rgb> pal;
    addCube(pal, 6, 6, 6);
    return pal;
}

std::vector<Rgb> ms256()
{
    std::vector<Rgb> pal;
    for (size_t i = 0; i < 10; ++i) pal.push_back(rgb(kStatic20[i]));
    addCube(pal, 6, 6, 6);
    for (int i = 1; i <= 20; ++i) {
        const uint8_t v = uint8_t(std::lrint(255.0 * i / 21));
        pal.push_back(Rgb{v, v, v});
    }
    for (size_t i = 10; i < 20; ++i) pal.push_back(rgb(kStatic20[i]));
    return pal;
}

std::vector<Rgb> greys(int levels)
{
    std::vector<Rgb> pal;
    for (int i = 0; i < levels; ++i) {
        const uint8_t v = evenLevel(i, levels);
        pal.push_back(Rgb{v, v, v});
    }
    return pal;
}

// The picture's own colours, sorted, when there are at most limit of them.
bool exactColours(const RowSource& rows, int limit, std::vector<Rgb>& pal)
{
    // Open addressing over 1024 slots; 0xFFFFFFFF marks a free slot.
    std::array<uint32_t, 1024> slots;
    slots.fill(0xFFFFFFFFu);
    int count = 0;
    std::vector<uint8_t> scratch(4u * size_t(rows.width()));
    uint32_t last = 0xFFFFFFFFu;
    for (int y = 0; y < rows.height(); ++y) {
        const uint32_t* p = reinterpret_cast<const uint32_t*>(rows.row(y, scratch.data()));
        for (int x = 0; x < rows.width(); ++x) {
            const uint32_t c = p[x] & 0x00FFFFFFu;
            if (c == last) continue;
            last = c;
            uint32_t h = (c * 2654435761u) >> 22;
            while (slots[h] != 0xFFFFFFFFu && slots[h] != c) h = (h + 1) & 1023;
            if (slots[h] == c) continue;
            if (++count > limit) return false;
            slots[h] = c;
        }
    }
    std::vector<uint32_t> found;
    for (uint32_t s : slots)
        if (s != 0xFFFFFFFFu) found.push_back(s);
    std::sort(found.begin(), found.end());
    pal.clear();
    for (uint32_t c : found) pal.push_back(Rgb{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    return true;
}

// A 24-bit FreeImage image of every step-th pixel of every step-th row.
FIBITMAP* sampleImage(const RowSource& rows, int step)
{
    const int sw = std::max(1, rows.width() / step);
    const int sh = std::max(1, rows.height() / step);
    FIBITMAP* img = FreeImage_Allocate(sw, sh, 24);
    if (!img) return nullptr;
    std::vector<uint8_t> scratch(4u * size_t(rows.width()));
    for (int y = 0; y < sh; ++y) {
        const uint8_t* s = rows.row(y * step, scratch.data());
        uint8_t* d = FreeImage_GetScanLine(img, y);
        for (int x = 0; x < sw; ++x, d += 3) {
            const uint8_t* p = s + 4 * size_t(x) * size_t(step);
            d[FI_RGBA_BLUE] = p[0];
            d[FI_RGBA_GREEN] = p[1];
            d[FI_RGBA_RED] = p[2];
        }
    }
    return img;
}

// The palette FreeImage's quantiser q gives the image, keeping only the
// entries it gave to some pixel.
bool quantised(FIBITMAP* image, FREE_IMAGE_QUANTIZE method, int n, std::vector<Rgb>& pal)
{
    FIBITMAP* q = FreeImage_ColorQuantizeEx(image, method, n, 0, nullptr);
    bool ok = false;
    if (q && FreeImage_GetBPP(q) == 8 && FreeImage_GetPalette(q)) {
        std::array<bool, 256> used{};
        const unsigned qw = FreeImage_GetWidth(q), qh = FreeImage_GetHeight(q);
        for (unsigned y = 0; y < qh; ++y) {
            const uint8_t* s = FreeImage_GetScanLine(q, int(y));
            for (unsigned x = 0; x < qw; ++x) used[s[x]] = true;
        }
        const RGBQUAD* fp = FreeImage_GetPalette(q);
        pal.clear();
        for (int i = 0; i < n; ++i)
            if (used[size_t(i)]) pal.push_back(Rgb{fp[i].rgbBlue, fp[i].rgbGreen, fp[i].rgbRed});
        ok = !pal.empty();
    }
    if (q) FreeImage_Unload(q);
    return ok;
}

// Sum of the squared distances of the image's pixels to their nearest entries.
double squaredError(FIBITMAP* image, const std::vector<Rgb>& pal)
{
    PaletteLookup lookup(pal);
    double sum = 0;
    const unsigned w = FreeImage_GetWidth(image), h = FreeImage_GetHeight(image);
    for (unsigned y = 0; y < h; ++y) {
        const uint8_t* s = FreeImage_GetScanLine(image, int(y));
        for (unsigned x = 0; x < w; ++x, s += 3) {
            const Rgb& c = lookup.colour(lookup.nearest(s[FI_RGBA_RED], s[FI_RGBA_GREEN], s[FI_RGBA_BLUE]));
            const int dr = s[FI_RGBA_RED] - c.red, dg = s[FI_RGBA_GREEN] - c.green, db = s[FI_RGBA_BLUE] - c.blue;
            sum += dr * dr + dg * dg + db * db;
        }
    }
    return sum;
}

// A palette of at most n colours fitted to the picture. Wu's quantiser works
// on a sample of at most 2^20 pixels (its histogram is coarser than the
// sample). For 256 colours on a picture of at most 2^18 pixels NeuQuant,
// which needs every pixel to learn from, also runs, and the palette of the
// two that lies closer to the picture is kept.
bool fittedPalette(const RowSource& rows, int n, std::vector<Rgb>& pal)
{
    const double pixels = double(rows.width()) * rows.height();
    const double maxSamples = double(1 << 20);
    const int step = pixels <= maxSamples ? 1 : int(std::ceil(std::sqrt(pixels / maxSamples)));
    FIBITMAP* sample = sampleImage(rows, step);
    if (!sample) return false;
    bool ok = quantised(sample, FIQ_WUQUANT, n, pal);
    if (ok && n == 256 && pixels <= double(1 << 18)) {
        std::vector<Rgb> neural;
        if (quantised(sample, FIQ_NNQUANT, n, neural) && squaredError(sample, neural) < squaredError(sample, pal))
            pal = std::move(neural);
    }
    FreeImage_Unload(sample);
    return ok;
}

} // namespace

bool paletteFlagsKnown(int32_t flags)
{
    if (flags == ColorReducer::kPaletteMsMap || flags == ColorReducer::kPaletteOptimal) return true;
    if (!(flags & ColorReducer::kPaletteFixed)) return false;
    const int32_t kinds = flags & (ColorReducer::kPaletteKindSystem | ColorReducer::kPaletteKindWebSafe
                                   | ColorReducer::kPaletteKindGrey);
    if ((flags & ~(ColorReducer::kPaletteFixed | kinds | ColorReducer::kPaletteCountMask)) != 0) return false;
    return kinds == 0 || (kinds & (kinds - 1)) == 0;   // at most one kind
}

bool fixedPalette(int32_t flags, int32_t bits, std::vector<Rgb>& pal)
{
    if (bits < 1 || bits > 8 || !paletteFlagsKnown(flags)) return false;
    if (flags == ColorReducer::kPaletteOptimal) return false;
    const int room = 1 << bits;
    if (flags == ColorReducer::kPaletteMsMap) {
        pal = msMap(bits);
        return true;
    }
    int n = flags & ColorReducer::kPaletteCountMask;
    if (flags & ColorReducer::kPaletteKindGrey) {
        n = n == 0xFF || n == 0 ? room : n;
        if (n < 2 || n > room) return false;
        pal = greys(n);
        return true;
    }
    if (n == 0) n = room;
    if (n > room) return false;
    if (flags & ColorReducer::kPaletteKindSystem) {
        if (n == 16) {
            pal.clear();
            for (uint32_t c : kVga16) pal.push_back(rgb(c));
        } else if (n == 256) {
            pal = ms256();
        } else {
            return false;
        }
        return true;
    }
    if (flags & ColorReducer::kPaletteKindWebSafe) {
        if (n != 216) return false;
        pal = webSafe();
        return true;
    }
    // Fixed Color: a power of two.
    if ((n & (n - 1)) != 0 || n < 2) return false;
    int k = 0;
    while ((1 << k) < n) ++k;
    pal = uniformPalette(k);
    return true;
}

bool paletteFits(int32_t flags, int32_t bits)
{
    if (!paletteFlagsKnown(flags)) return false;
    if (bits > 8 || flags == ColorReducer::kPaletteOptimal) return true;
    std::vector<Rgb> pal;
    return fixedPalette(flags, bits, pal);
}

bool buildPalette(int32_t flags, int32_t bits, const RowSource& rows, std::vector<Rgb>& pal)
{
    if (bits < 1 || bits > 8 || !paletteFlagsKnown(flags)) return false;
    if (flags == ColorReducer::kPaletteOptimal)
        return exactColours(rows, 1 << bits, pal) || fittedPalette(rows, 1 << bits, pal);
    return fixedPalette(flags, bits, pal);
}

// ---- Nearest colour ------------------------------------------------------

PaletteLookup::PaletteLookup(const std::vector<Rgb>& palette) : pal_(palette), cells_(32 * 32 * 32, kUnset)
{
    pool_.reserve(4096);
}

uint32_t PaletteLookup::fillCell(uint32_t cell)
{
    const int lo[3] = {int(cell >> 10) << 3, int((cell >> 5) & 31) << 3, int(cell & 31) << 3};   // red, green, blue
    const size_t n = pal_.size();
    std::array<int, 256> minD{};
    int bound = 0x7FFFFFFF;
    for (size_t i = 0; i < n; ++i) {
        const int v[3] = {pal_[i].red, pal_[i].green, pal_[i].blue};
        int mn = 0, mx = 0;
        for (int c = 0; c < 3; ++c) {
            const int a = lo[c], b = lo[c] + 7;
            const int dIn = v[c] < a ? a - v[c] : (v[c] > b ? v[c] - b : 0);
            const int dOut = std::max(std::abs(v[c] - a), std::abs(v[c] - b));
            mn += dIn * dIn;
            mx += dOut * dOut;
        }
        minD[i] = mn;
        bound = std::min(bound, mx);
    }
    const uint32_t start = uint32_t(pool_.size());
    for (size_t i = 0; i < n; ++i)
        if (minD[i] <= bound) pool_.push_back(uint8_t(i));
    const uint32_t packed = start << 9 | (uint32_t(pool_.size()) - start);
    cells_[cell] = packed;
    return packed;
}

} // namespace tq::reduce
