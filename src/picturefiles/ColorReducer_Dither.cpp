// The reducer's eleven dither modes, over a palette or over the 32 levels
// per channel of 555 colour. Which algorithm each mode is: ColorReducer.h.
#include "picturefiles/ColorReducerParts.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tq::reduce {

namespace {

// ---- Output colours -----------------------------------------------------
// A quantiser gives the nearest output colour of a pixel (and that colour),
// and for the ordered modes chooses between the nearest colour and the next
// one beyond it by a threshold.

struct PaletteQuantiser {
    using Out = uint8_t;
    PaletteLookup& lookup;

    Out nearest(int r, int g, int b, int& cr, int& cg, int& cb)
    {
        const int i = lookup.nearest(r, g, b);
        const Rgb& c = lookup.colour(i);
        cr = c.red;
        cg = c.green;
        cb = c.blue;
        return Out(i);
    }
    // threshold2 = 2 m + 1 for the matrix value m (0..63): the pixel lies a
    // share t of the way from its nearest colour A towards B, the nearest
    // colour to the point as far beyond the pixel as A lies before it; B is
    // taken when t > (m + 1/2) / 64.
    Out mix(int r, int g, int b, int threshold2)
    {
        const int a = lookup.nearest(r, g, b);
        const Rgb& A = lookup.colour(a);
        const int er = r - A.red, eg = g - A.green, eb = b - A.blue;
        if ((er | eg | eb) == 0) return Out(a);
        const int bi = lookup.nearest(std::clamp(r + er, 0, 255), std::clamp(g + eg, 0, 255),
                                      std::clamp(b + eb, 0, 255));
        if (bi == a) return Out(a);
        const Rgb& B = lookup.colour(bi);
        const int dr = B.red - A.red, dg = B.green - A.green, db = B.blue - A.blue;
        const int num = er * dr + eg * dg + eb * db;
        const int den = dr * dr + dg * dg + db * db;
        if (num <= 0 || den == 0) return Out(a);
        return num * 128 > threshold2 * den ? Out(bi) : Out(a);
    }
};

struct LevelTables {
    std::array<uint8_t, 256> nearest{};   // nearest 5-bit level
    std::array<uint8_t, 256> below{};     // highest level whose value is at most v
    LevelTables()
    {
        for (int v = 0; v < 256; ++v) {
            int best = 0;
            for (int l = 0; l < 32; ++l)
                if (std::abs(expand5(l) - v) < std::abs(expand5(best) - v)) best = l;
            nearest[size_t(v)] = uint8_t(best);
            int lo = 0;
            while (lo < 31 && expand5(lo + 1) <= v) ++lo;
            below[size_t(v)] = uint8_t(lo);
        }
    }
};

struct Quantiser555 {
    using Out = uint16_t;
    const LevelTables& t;

    Out nearest(int r, int g, int b, int& cr, int& cg, int& cb)
    {
        const int lr = t.nearest[size_t(r)], lg = t.nearest[size_t(g)], lb = t.nearest[size_t(b)];
        cr = expand5(lr);
        cg = expand5(lg);
        cb = expand5(lb);
        return Out(lr << 10 | lg << 5 | lb);
    }
    int mixChannel(int v, int threshold2) const
    {
        const int lo = t.below[size_t(v)];
        const int num = v - expand5(lo);
        if (lo == 31 || num == 0) return lo;
        const int den = expand5(lo + 1) - expand5(lo);
        return num * 128 > threshold2 * den ? lo + 1 : lo;
    }
    Out mix(int r, int g, int b, int threshold2)
    {
        return Out(mixChannel(r, threshold2) << 10 | mixChannel(g, threshold2) << 5 | mixChannel(b, threshold2));
    }
};

// ---- Threshold matrices --------------------------------------------------

using Matrix = std::array<std::array<uint8_t, 8>, 8>;

constexpr Matrix bayer8()
{
    Matrix m{};
    m[0][0] = 0;
    for (int n = 1; n < 8; n *= 2)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const uint8_t v = uint8_t(4 * m[size_t(y)][size_t(x)]);
                m[size_t(y)][size_t(x)] = v;
                m[size_t(y)][size_t(x + n)] = uint8_t(v + 2);
                m[size_t(y + n)][size_t(x)] = uint8_t(v + 3);
                m[size_t(y + n)][size_t(x + n)] = uint8_t(v + 1);
            }
    return m;
}

// Two interleaved dots per tile, one growing from the centre of the upper
// left and lower right quarters, the other from the remaining quarters.
constexpr Matrix kHalftone = {{{24, 10, 12, 26, 35, 47, 49, 37},
                               {8, 0, 2, 14, 45, 59, 61, 51},
                               {22, 6, 4, 16, 43, 57, 63, 53},
                               {30, 20, 18, 28, 33, 41, 55, 39},
                               {34, 46, 48, 36, 25, 11, 13, 27},
                               {44, 58, 60, 50, 9, 1, 3, 15},
                               {42, 56, 62, 52, 23, 7, 5, 17},
                               {32, 40, 54, 38, 31, 21, 19, 29}}};

constexpr bool isPermutation(const Matrix& m)
{
    bool seen[64] = {};
    for (const auto& row : m)
        for (uint8_t v : row) {
            if (v > 63 || seen[v]) return false;
            seen[v] = true;
        }
    return true;
}
constexpr Matrix kBayer = bayer8();
static_assert(isPermutation(kBayer) && isPermutation(kHalftone));

// ---- The modes -----------------------------------------------------------

template <class Q>
void plain(const RowSource& rows, Q& q, bool binary, typename Q::Out* out)
{
    std::vector<uint8_t> scratch(4u * size_t(rows.width()));
    const int w = rows.width();
    int cr, cg, cb;
    for (int y = 0; y < rows.height(); ++y) {
        const uint8_t* p = rows.row(y, scratch.data());
        typename Q::Out* o = out + size_t(y) * size_t(w);
        uint32_t lastColour = 0xFFFFFFFFu;
        typename Q::Out last{};
        for (int x = 0; x < w; ++x, p += 4) {
            const uint32_t c = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
            if (c != lastColour) {
                lastColour = c;
                if (binary)
                    last = q.nearest(p[2] < 128 ? 0 : 255, p[1] < 128 ? 0 : 255, p[0] < 128 ? 0 : 255, cr, cg, cb);
                else
                    last = q.nearest(p[2], p[1], p[0], cr, cg, cb);
            }
            o[x] = last;
        }
    }
}

template <class Q>
void ordered(const RowSource& rows, Q& q, const Matrix& m, typename Q::Out* out)
{
    std::vector<uint8_t> scratch(4u * size_t(rows.width()));
    const int w = rows.width();
    for (int y = 0; y < rows.height(); ++y) {
        const uint8_t* p = rows.row(y, scratch.data());
        typename Q::Out* o = out + size_t(y) * size_t(w);
        const auto& mrow = m[size_t(y & 7)];
        for (int x = 0; x < w; ++x, p += 4) o[x] = q.mix(p[2], p[1], p[0], 2 * mrow[size_t(x & 7)] + 1);
    }
}

struct Tap {
    int dx, dy, weight;   // weights in sixteenths; dx for a left-to-right row
};
struct FloydSteinberg {
    static constexpr Tap taps[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
};
struct EqualShares {
    static constexpr Tap taps[] = {{1, 0, 4}, {-1, 1, 4}, {0, 1, 4}, {1, 1, 4}};
};
struct MostlyAlongRow {
    static constexpr Tap taps[] = {{1, 0, 12}, {0, 1, 4}};
};
struct MostlyDownColumn {
    static constexpr Tap taps[] = {{1, 0, 4}, {0, 1, 12}};
};

enum class Scan { Forward, Backward, OddRowsBack, EvenRowsBack };

// Error diffusion. Errors are kept in sixteenths of a level. A share that
// would leave the picture goes to the pixel's other neighbours: every share
// but the last is the error times its weight over the weights inside the
// picture (truncated), the last takes what is left, so the error a pixel
// hands on is kept whole; only the last pixel's error and what lies beyond
// 0..255 is lost.
// How far past 0..255 a pixel with the error it received may go (in
// sixteenths): its colour is looked up at the nearest end of the range but
// the error keeps counting, so the area near white or black still receives
// its share of the palette's outermost colours instead of losing the error.
constexpr int32_t kReach = 16 * 64;
inline int level(int32_t sixteenths) { return std::clamp((sixteenths + 8) >> 4, 0, 255); }

template <class Q, class Kernel>
void diffuse(const RowSource& rows, Q& q, Scan scan, typename Q::Out* out)
{
    constexpr size_t N = std::size(Kernel::taps);
    const int w = rows.width();
    const int h = rows.height();
    std::vector<uint8_t> scratch(4u * size_t(w));
    // Two rows of errors (red, green, blue), with a pixel of room at each end.
    std::vector<int32_t> errors(2u * 3u * size_t(w + 2), 0);
    for (int y = 0; y < h; ++y) {
        int32_t* cur = errors.data() + size_t(y & 1) * 3u * size_t(w + 2);
        int32_t* next = errors.data() + size_t((y + 1) & 1) * 3u * size_t(w + 2);
        std::fill(next, next + 3 * (w + 2), 0);
        const uint8_t* p = rows.row(y, scratch.data());
        typename Q::Out* o = out + size_t(y) * size_t(w);
        const bool back = scan == Scan::Backward || (scan == Scan::OddRowsBack && (y & 1))
                          || (scan == Scan::EvenRowsBack && !(y & 1));
        const int step = back ? -1 : 1;
        const bool lastRow = y + 1 >= h;
        for (int i = 0, x = back ? w - 1 : 0; i < w; ++i, x += step) {
            const uint8_t* px = p + 4 * x;
            int32_t* e = cur + 3 * (x + 1);
            const int32_t tr = std::clamp(16 * px[2] + e[0], -kReach, 4080 + kReach);
            const int32_t tg = std::clamp(16 * px[1] + e[1], -kReach, 4080 + kReach);
            const int32_t tb = std::clamp(16 * px[0] + e[2], -kReach, 4080 + kReach);
            int cr, cg, cb;
            o[x] = q.nearest(level(tr), level(tg), level(tb), cr, cg, cb);
            const int32_t err[3] = {tr - 16 * cr, tg - 16 * cg, tb - 16 * cb};
            if (!lastRow && x > 0 && x + 1 < w) {
                // Every neighbour inside: the weights add up to 16.
                for (int c = 0; c < 3; ++c) {
                    int32_t left = err[c];
                    for (size_t k = 0; k < N; ++k) {
                        const Tap& t = Kernel::taps[k];
                        const int32_t share = k + 1 == N ? left : err[c] * t.weight / 16;
                        (t.dy ? next : cur)[3 * (x + step * t.dx + 1) + c] += share;
                        left -= share;
                    }
                }
                continue;
            }
            // At an edge the neighbours inside the picture share the whole error.
            int32_t* target[N];
            int weight[N];
            int total = 0;
            size_t inside = 0;
            for (size_t k = 0; k < N; ++k) {
                const Tap& t = Kernel::taps[k];
                const int tx = x + step * t.dx;
                if (tx < 0 || tx >= w || (t.dy && lastRow)) continue;
                target[inside] = (t.dy ? next : cur) + 3 * (tx + 1);
                weight[inside] = t.weight;
                total += t.weight;
                ++inside;
            }
            for (int c = 0; c < 3; ++c) {
                int32_t left = err[c];
                for (size_t k = 0; k < inside; ++k) {
                    const int32_t share = k + 1 == inside ? left : err[c] * weight[k] / total;
                    target[k][c] += share;
                    left -= share;
                }
            }
        }
    }
}

template <class Q>
bool run(const RowSource& rows, Q& q, int32_t mode, typename Q::Out* out)
{
    switch (mode) {
    case ColorReducer::kDitherNone: plain(rows, q, false, out); return true;
    case ColorReducer::kDitherBinary: plain(rows, q, true, out); return true;
    case ColorReducer::kDitherOrdered: ordered(rows, q, kBayer, out); return true;
    case ColorReducer::kDitherHalftone: ordered(rows, q, kHalftone, out); return true;
    case ColorReducer::kDitherForwardDiagonal: diffuse<Q, FloydSteinberg>(rows, q, Scan::Forward, out); return true;
    case ColorReducer::kDitherBackwardDiagonal: diffuse<Q, FloydSteinberg>(rows, q, Scan::Backward, out); return true;
    case ColorReducer::kDitherHorizontal: diffuse<Q, MostlyAlongRow>(rows, q, Scan::Forward, out); return true;
    case ColorReducer::kDitherVertical: diffuse<Q, MostlyDownColumn>(rows, q, Scan::Forward, out); return true;
    case ColorReducer::kDitherOdd: diffuse<Q, FloydSteinberg>(rows, q, Scan::OddRowsBack, out); return true;
    case ColorReducer::kDitherEven: diffuse<Q, FloydSteinberg>(rows, q, Scan::EvenRowsBack, out); return true;
    case ColorReducer::kDitherEqual: diffuse<Q, EqualShares>(rows, q, Scan::Forward, out); return true;
    default: return false;
    }
}

} // namespace

bool ditherModeKnown(int32_t mode)
{
    switch (mode) {
    case ColorReducer::kDitherNone:
    case ColorReducer::kDitherBinary:
    case ColorReducer::kDitherOrdered:
    case ColorReducer::kDitherHalftone:
    case ColorReducer::kDitherForwardDiagonal:
    case ColorReducer::kDitherBackwardDiagonal:
    case ColorReducer::kDitherHorizontal:
    case ColorReducer::kDitherVertical:
    case ColorReducer::kDitherOdd:
    case ColorReducer::kDitherEven:
    case ColorReducer::kDitherEqual: return true;
    default: return false;
    }
}

bool ditherToPalette(const RowSource& rows, const std::vector<Rgb>& palette, int32_t mode, uint8_t* out)
{
    if (palette.empty() || palette.size() > 256) return false;
    PaletteLookup lookup(palette);
    PaletteQuantiser q{lookup};
    return run(rows, q, mode, out);
}

bool ditherTo555(const RowSource& rows, int32_t mode, uint16_t* out)
{
    static const LevelTables tables;
    Quantiser555 q{tables};
    return run(rows, q, mode, out);
}

} // namespace tq::reduce
