// The filter engine: one working pixel buffer (Bits) and a handle of the
// selection region (BitsRegion), and every pixel operation as a member.
//
// Calling convention: the caller assigns Bits and BitsRegion; a filter
// member reads Bits and returns a new buffer (a full copy of Bits in which
// only the walked pixels are rewritten), leaving Bits unchanged; the caller
// assigns the result back. Buffer operations (BitsBlack, BitsCrop, ...)
// replace or edit Bits themselves.
//
// Failure disciplines: an absorbing member skips a failing step (the byte or
// value it would have set keeps its previous value) and returns BitsBuffer;
// a stopping member ends at the first failure and returns std::nullopt, which
// callers absorb by leaving the document as it was.
//
// Members are written in the frame's shape: a short per-row, per-run or
// per-pixel function handed to one of the walks of PixelWalks.h, which own the
// result buffer, the rows, the region's runs, the clipping to the picture and
// the Progress pacing.
#pragma once

#include "core/BitsBuffer.h"
#include "platform/Clock.h"
#include "core/Region.h"
#include "document/Numeric.h"
#include "filters/Kernels.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace tq {

using FilterResult = std::optional<BitsBuffer>;

class cBitFilter {
public:
    cBitFilter() = default;
    explicit cBitFilter(Clock& clock) : clock_(&clock) {}

    // ---- Properties -------------------------------------------------------
    int32_t BitsWidth() const { return MaxX + 1; }
    int32_t BitsHeight() const { return MaxY + 1; }
    const BitsBuffer& Bits() const { return Bits_; }
    // Keeps a copy; takes the size from the buffer.
    void setBits(const BitsBuffer& b);
    void setBits(BitsBuffer&& b);
    // Holds b's block itself, nothing copied (the active document's pixels):
    // filters only read Bits, and a buffer operation that writes Bits in
    // place takes a copy first, so b never changes through the engine. The
    // other holder, in turn, takes a copy before it writes in place.
    void shareBits(const BitsBuffer& b);
    // Lets the point filters write their result into Bits' own block instead
    // of a new one while `owner` is set: the caller is about to make the
    // result owner's pixels and needs the old ones no more. Taken only while
    // owner holds the very block Bits holds and nothing else holds it, so
    // the change is seen by no one else; a filter that can fail half-way
    // always makes a new block. nullptr (the start value) withdraws it.
    void allowResultInBits(const BitsBuffer* owner)
    {
        inPlaceOwner_ = owner;
        wroteOverBits_ = false;
    }
    // A filter wrote its result over Bits since allowResultInBits: the
    // owner's pixels are no longer what they were.
    bool wroteOverBits() const { return wroteOverBits_; }
    void noteWroteOverBits() { wroteOverBits_ = true; }
    // A point filter may write its result over Bits now.
    bool resultMayOverwriteBits() const
    {
        return inPlaceOwner_ && Bits_.allocated() && inPlaceOwner_->data() == Bits_.data() && Bits_.holders() == 2;
    }
    // The selection handle: the caller owns the region and keeps it alive
    // while the engine may walk it; nullptr stands for "no region" (an empty
    // walk). The engine never copies, frees or changes it.
    void setBitsRegion(const Region* region) { BitsRegion_ = region; }
    const Region* BitsRegion() const { return BitsRegion_; }

    // The Progress event: a percentage passed by reference.
    using ProgressHandler = std::function<void(int32_t& percent)>;
    void onProgress(ProgressHandler h) { Progress_ = std::move(h); }
    void setClock(Clock& clock) { clock_ = &clock; }

    // Threads a member may share its rows among, when its rows are
    // independent of one another; results are the same for any number.
    // 0, the start value, stands for every core of the machine; 1 keeps
    // every walk on the calling thread. Progress is always raised on the
    // calling thread.
    void setThreadCount(int threads) { threads_ = threads < 0 ? 0 : threads; }
    int threadCount() const;

    // A drawable bitmap record of a bordered buffer, margin included: header
    // width + 4, height -(height + 4).
    static void BitsToDib(DibRecord& record, const BitsBuffer& source, int32_t width, int32_t height);
    // Direction of (x, y) in radians, with 3.141592 for pi.
    static float GetAngle(int32_t x, int32_t y);

    // ---- Buffer operations ------------------------------------------------

    // Sets all four bytes of every selected pixel of Bits to 0. No progress.
    void BitsBlack();
    // Bits becomes the rectangle X1 <= x < X2, Y1 <= y < Y2 of srcBits,
    // clipped to the current picture; four bytes per pixel. srcBits must be
    // the current Bits (same size): otherwise false and Bits unchanged.
    bool BitsCrop(const BitsBuffer& srcBits, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
    // The same rectangle clipped to srcBits; pixels outside the selection
    // come out black with marker byte 255.
    void BitsCropMasked(const BitsBuffer& srcBits, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
    // srcBits scaled to NewWidth x NewHeight, bilinear. False (Bits
    // unchanged) for a size outside 1..32767 or no source.
    bool BitsResample(const BitsBuffer& srcBits, int32_t NewWidth, int32_t NewHeight);
    // The same by nearest sample.
    bool BitsResize(const BitsBuffer& srcBits, int32_t NewWidth, int32_t NewHeight);
    // A quarter turn counter-clockwise. srcBits must be the current Bits
    // (same size): otherwise false and Bits unchanged.
    bool BitsRotate90(const BitsBuffer& srcBits);
    // Bits becomes the srcWidth x srcHeight pixels of a margin-less 32-bit
    // picture (its fourth byte cleared). False (Bits unchanged) for a size
    // outside 0..32767.
    bool BitsTakeFromPicture(const DibRecord& srcPicture, int32_t srcWidth, int32_t srcHeight);
    // The whole picture mirrored: fH left-right, fV top-bottom.
    BitsBuffer Flip(bool fH = false, bool fV = false);
    // The selection's bounding box filled with one colour (low eight bits
    // of each value). Reports no progress.
    FilterResult NewDoc(int32_t R, int32_t G, int32_t b);

    // ---- Colour-space routines, tone and channel filters -----------------

    FilterResult BRIGHTNESS(int32_t Factor);
    BitsBuffer Contrast(int32_t Factor);
    BitsBuffer GammaCorrection(int32_t Factor);
    BitsBuffer GreyScale();
    FilterResult Invert();
    BitsBuffer SATURATION(int32_t Factor);
    // SATURATION's table: entry 256 g + c is channel value c of a pixel
    // whose grey (B + G + R) / 3 is g.
    static std::vector<uint8_t> saturationTable(int32_t Factor);
    FilterResult COLORIZE(float Hue, float SATURATION = 0.5f, float Luminosity = 1.0f);
    BitsBuffer Threshold(int32_t Factor);
    FilterResult Reduction(int32_t Factor);
    BitsBuffer Equalize();
    FilterResult SwapBanks(int32_t Modo);
    BitsBuffer SwapRGB(int32_t rBank, int32_t gBank, int32_t bBank, int16_t rInv, int16_t gInv, int16_t bInv,
                       int16_t rKill, int16_t gKill, int16_t bKill);
    BitsBuffer ShiftRGB(int32_t rFactor, int32_t gFactor, int32_t bFactor);
    BitsBuffer KillChannel(int16_t rChannel, int16_t gChannel, int16_t bChannel);
    // A channel survives only when its flag is exactly true (-1).
    BitsBuffer SpecialColors(int16_t R, int16_t G, int16_t b);
    // Luminance statistics of the whole picture; they change nothing.
    int32_t GetLMax();
    int32_t GetLMin();
    // nullopt for a picture without pixels.
    std::optional<int32_t> GetLMed();

    // ---- Colour replacement and hue filters -------------------------------

    BitsBuffer REPLACE(int32_t ColorFrom, int32_t ColorTo, int32_t Tolerance);
    FilterResult ReplaceHS(int32_t ColorFrom, int32_t ColorTo, int32_t HTolerance, int32_t STolerance,
                           int32_t Tolerance);
    FilterResult ReplaceL(int32_t ColorFrom, int32_t ColorTo, int32_t LTolerance, int32_t Tolerance);
    BitsBuffer Shift(int32_t ColorFrom, int32_t Inc, int32_t Tolerance);
    FilterResult ISOLATE(int32_t Color, int32_t EraseColor, int32_t Tolerance);
    FilterResult RotateH(int32_t HOffset, int32_t SATURATION);
    FilterResult RotateL(int32_t lOffset, int32_t LStep);
    BitsBuffer StretchH(int32_t HOffset, int32_t SATURATION, int32_t HStep);

    // ---- Colour effects ---------------------------------------------------

    FilterResult ClassyColors(int16_t Effect);
    BitsBuffer OLDPHOTO();
    BitsBuffer THERMIQUE();
    BitsBuffer XBLACK();
    BitsBuffer PHOTOCOP();

    // ---- Palettes and dithering -------------------------------------------
    // Maps the selection to CurrentPalette, diffusing each pixel's error into
    // its right neighbour (7/16) and the pixel below (4/16). The diffusion
    // runs on a working copy that replaces Bits only when the walk finished,
    // so Bits then holds the error-adjusted picture. Fails (nullopt, Bits
    // untouched) when the palette is empty.
    FilterResult PaletteApply();
    // Black-and-white dither with the Stucki weights around the mean grey;
    // PalWeight 10 feeds the error back whole, larger values less, 0 none.
    BitsBuffer StuckiBW(int32_t PalWeight);

    // ---- Convolution and preset kernels -----------------------------------
    // Each selected pixel becomes (weighted sum of its window) \ Weight plus
    // the channel's offset, clamped. KeepMargins skips the pixels whose
    // window would leave the picture. Fails for Weight 0 (at the first
    // selected pixel), for an empty kernel or one larger than 5 x 5.
    FilterResult MaskFilter(const KernelMask& mskBits, int32_t Weight, int32_t rFactor, int32_t gFactor,
                            int32_t bFactor, bool KeepMargins);

    // ---- Neighbourhood filters --------------------------------------------
    // Mean of the eight pixels at distance Factor (0 to 2; more fails).
    FilterResult Blurs(int32_t Factor);
    // Factor 0 to 100; fails where the divisor would be 0 (105 / 108 / -1).
    FilterResult SOFTEN(int32_t Factor);
    FilterResult SHARPEN(int32_t Factor);
    FilterResult EDGEENHANCE(int32_t Factor);
    BitsBuffer RELIEF();
    // Factor 0 to 50, the depth in tenths.
    BitsBuffer EMBOSS(int32_t Factor);
    BitsBuffer Engrave(int32_t Factor);
    FilterResult CONTOUR(int32_t Factor, int32_t BackColor = 0xFFFFFF);
    BitsBuffer DILATE();
    BitsBuffer ERODE();
    // fltType 0 = minimum, 1 = maximum; anything else fails.
    FilterResult RankFilterN4(int32_t fltType);
    FilterResult RankFilterND(int32_t fltType);

    // ---- Artistic filters -------------------------------------------------
    BitsBuffer PAINTING();
    BitsBuffer Dissolve();
    // Random displacement of up to wFactor / hFactor pixels (programRandom).
    BitsBuffer DIFFUSE(int32_t wFactor, int32_t hFactor);
    BitsBuffer NOISE(int32_t Factor, bool Equalized = false);
    BitsBuffer SKETCH(int32_t Factor, bool BW = false, int32_t BackColor = 0xFFFFFF);
    // Radius 1 to 25 (below 1 fails), Definition and Intensity 0 to 100.
    FilterResult HALFTONE(int32_t Radius, int32_t Definition, int32_t Intensity);
    // PixSize 1 to 25; below 1 fails.
    FilterResult PIXELIZE(int32_t PixSize);

    // ---- Textures, tiles and overlays -------------------------------------
    // Modulates the selection by a tiled texture (its blue byte / 128); tiles
    // step by the texture's size minus 1. Fails for a texture below 2 x 2.
    FilterResult Texturize(const BitsBuffer& mskBits);
    // Places mskBits once or tiled from (xOffset, yOffset) over the selected
    // pixels, keeping Transparency percent of the picture; pixels of
    // MaskColor (-1: none) are not placed.
    FilterResult TileMask(const BitsBuffer& mskBits, int32_t xOffset, int32_t yOffset, bool Tiled,
                          int32_t Transparency, int32_t MaskColor);
    // About Factor shrunken copies of the picture across and down.
    BitsBuffer TILE(int32_t Factor);
    // Lines every HStep columns and VStep rows, blended with Opacity / 255.
    // Fails for a step below 1.
    FilterResult Grid(int32_t HStep, int32_t VStep, bool ForceMargins, int32_t Color, int32_t Opacity);
    // Every second row of the selection darkened by Factor.
    BitsBuffer Scanlines(int32_t Factor);

    // ---- Geometric distortions --------------------------------------------
    // Each destination pixel of the walk box takes one source pixel; a source
    // outside the selection gives black with CleanBack, else no change.
    BitsBuffer BEND(int32_t RadiusFactor, bool CleanBack = true);
    BitsBuffer FOLD(int32_t wFactor, int32_t hFactor, bool CleanBack);
    BitsBuffer STRETCH(int32_t wFactor, int32_t hFactor, bool CleanBack = true);
    BitsBuffer TWIRL(int32_t Factor, int32_t OffsetDeg, bool CleanBack = true);
    // Moves whole rows along a sine; only selected destinations change.
    BitsBuffer WAVES(int32_t fFactor, int32_t AFactor, int32_t Start = 0);
    // A magnifying sphere over a disc; only selected destinations change.
    BitsBuffer LENS(float xRel, float yRel, float dRel, int32_t Factor);

    // ---- Rotation by any angle --------------------------------------------
    // Turn about the centre, counter-clockwise on the screen for a positive
    // angle; the picture keeps its size (callers enlarge the canvas first).
    BitsBuffer ROTATE(int32_t Degrees, bool CleanBack = true);
    BitsBuffer RotateSmooth(int32_t Degrees);

    // ---- Glass and curtain effects ----------------------------------------
    // style: "slanting", "vertical", "horizontal", "squary" or "curtain"
    // (exact, case-sensitive); Intensity picks the variant. An unknown style
    // or variant returns an unchanged copy.
    BitsBuffer GLASS(std::string_view style, int16_t Intensity);

    // ---- Gradient fills and light spot ------------------------------------
    // Blend Color1 -> Color2 (-1: the pixel's own colour) along the segment
    // (X1, Y1) -> (X2, Y2), or about (X1, Y1) out to (X2, Y2), laid over the
    // selected pixels with Pressure percent.
    BitsBuffer GradientLinear(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Color1, int32_t Color2,
                              int32_t Pressure, int32_t Frequency);
    BitsBuffer GradientCircular(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Color1, int32_t Color2,
                                int32_t Pressure, int32_t Frequency);
    // Brightens a disc by iFactor at its centre, dFactor percent of that at
    // its rim; each byte is kept within 0..255.
    FilterResult Light(float xRel, float yRel, float dRel, int32_t iFactor, int32_t dFactor);

    // ---- The frame that members are written in ----------------------------

    // Sets the walk box from the region's bounding box: left = box left +
    // margin, right = box right - margin - 1, and likewise top and bottom
    // (inclusive limits), then clips it to the picture so no member ever
    // writes outside the buffer. No region gives an empty box.
    void SetRegionBounds(int32_t margin);
    int32_t walkLeft() const { return wLeft_; }
    int32_t walkRight() const { return wRight_; }
    int32_t walkTop() const { return wTop_; }
    int32_t walkBottom() const { return wBottom_; }

    // The walks open to callers, in the order of the rows. walkSelection:
    // fn(y, x0, x1) for each run of selected pixels x0..x1 (inclusive) of the
    // walk box shrunk by margin; after each row the progress rule, after the
    // last Progress(100). fn may return bool: false is a failure that ends
    // the walk at once, without the final report, and the walk returns
    // false. walkWhole: fn(y) for every picture row, y 0..MaxY, with no
    // region test, the same progress rule and Progress(100) at the end.
    // (Defined with the other walks in PixelWalks.h.)
    template <class RowFn>
    bool walkSelection(int32_t margin, RowFn&& fn);
    template <class RowFn>
    void walkWhole(RowFn&& fn);

    // The progress rule after a finished buffer row y: when more than 10 ms
    // have passed since the last report, read the clock again, keep that
    // reading and raise Progress(y * 100 \ MaxY). A one-row buffer raises
    // nothing here.
    void progressAfterRow(int32_t y)
    {
        const uint32_t now = clock_->timeGetTime();
        if (static_cast<int32_t>(now - lastReport_) <= 10) return;
        lastReport_ = clock_->timeGetTime();
        if (MaxY == 0) return;
        raiseProgress(y * 100 / MaxY);
    }
    // The same pacing for a walk counted in its own steps (rows of tiles,
    // columns of a grid, rows of a disc): Progress(step * 100 \ last), and
    // nothing but the kept time when last is 0.
    void progressAfterStep(int64_t step, int64_t last)
    {
        const uint32_t now = clock_->timeGetTime();
        if (static_cast<int32_t>(now - lastReport_) <= 10) return;
        lastReport_ = clock_->timeGetTime();
        if (last == 0) return;
        raiseProgress(static_cast<int32_t>(step * 100 / last));
    }
    // Only keeps the time, as a walk that reports nothing does.
    void touchProgressClock()
    {
        const uint32_t now = clock_->timeGetTime();
        if (static_cast<int32_t>(now - lastReport_) > 10) lastReport_ = clock_->timeGetTime();
    }
    void raiseProgress(int32_t percent)
    {
        if (Progress_) Progress_(percent);
    }

protected:
    // Keeps MaxX, MaxY and bounds in step with the buffer held.
    void syncSize();

    BitsBuffer Bits_;
    int32_t MaxX = 0;
    int32_t MaxY = 0;
    RectI bounds_{};
    const Region* BitsRegion_ = nullptr;

private:
    int32_t wLeft_ = 0;
    int32_t wRight_ = -1;
    int32_t wTop_ = 0;
    int32_t wBottom_ = -1;
    uint32_t lastReport_ = 0;
    int threads_ = 0;
    const BitsBuffer* inPlaceOwner_ = nullptr;
    bool wroteOverBits_ = false;
    Clock* clock_ = &systemClock();
    ProgressHandler Progress_;
};

} // namespace tq

#include "filters/PixelWalks.h"
