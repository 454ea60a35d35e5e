// Renders every function of the effects library at three settings on one
// photo-like picture into one PNG, for a person to check by eye that each
// effect looks like its name: the sheet is written to the file named by
// TQ_CONTACT_SHEET when that is set, otherwise into the test's temporary
// folder, which goes with it. The test itself checks that every call
// succeeds and that the sheet is written.
#include "EffectPictures.h"

#include "effects/library/EffectsLibrary.h"
#include "effectslib/EffectCalls.h"
#include "platform/Random.h"
#include "support/ZorveliRecorder.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace tq;

constexpr int kTileW = 200;
constexpr int kTileH = 150;

struct Tile {
    std::string label;
    std::function<bool(EffectSurface& dst, const EffectSurface& src)> run;
};

struct Cell {
    std::string caption;
    std::array<Tile, 3> tiles;
};

constexpr int32_t rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }
constexpr int32_t kSky = rgb(120, 160, 215);
constexpr int32_t kWindowBackground = static_cast<int32_t>(0x80000005u);

Tile byId(int16_t id, int32_t v, int32_t c = 0, int32_t r = 0)
{
    return {"v=" + std::to_string(v), [=](EffectSurface& dst, const EffectSurface& src) {
                const auto call = effectCall(id, v, c, r, src.width, src.height);
                int32_t reserved = 0;
                return call && runEffectCall(*call, dst, src, &reserved);
            }};
}

Tile direct(ZorveliFn fn, std::vector<EffectArg> args, std::string label)
{
    return {std::move(label), [=](EffectSurface& dst, const EffectSurface& src) {
                int32_t reserved = 0;
                return callZorveli(fn, args, dst, src, &reserved);
            }};
}

Tile original()
{
    return {"original", [](EffectSurface& dst, const EffectSurface& src) {
                dst = src;
                return true;
            }};
}

// The effect applied to its own result: shows the character of an effect
// that has no setting.
Tile twice(int16_t id)
{
    return {"twice", [=](EffectSurface& dst, const EffectSurface& src) {
                const auto call = effectCall(id, 0, 0, 0, src.width, src.height);
                EffectSurface once;
                return call && runEffectCall(*call, once, src, nullptr) && runEffectCall(*call, dst, once, nullptr);
            }};
}

Cell plain(std::string caption, int16_t id) { return {std::move(caption), {original(), byId(id, 0), twice(id)}}; }

Cell values(std::string caption, int16_t id, int32_t a, int32_t b, int32_t c, int32_t colour = 0, int32_t replace = 0)
{
    return {std::move(caption),
            {byId(id, a, colour, replace), byId(id, b, colour, replace), byId(id, c, colour, replace)}};
}

std::vector<Cell> sheet()
{
    using F = ZorveliFn;
    return {
        values("Brightness", 2, -100, 60, 160),
        values("Contrast", 3, 40, 100, 200),
        values("Sharpening", 4, 20, 40, 60),
        values("Gamma", 5, 10, 25, 60),
        values("ReduceColors", 6, 30, 80, 160),
        plain("ReduceTo8Colors", 7),
        values("Shift", 8, 40, 128, 200),
        values("Saturation", 9, -255, -120, 400),
        values("Hue", 10, 60, 180, 300),
        values("ColorBalance", 11, -150, 80, 200),
        plain("WebColors", 12),
        values("MediumTones", 13, 80, 160, 255),
        {"StretchHistogram",
         {byId(14, 0), direct(F::StretchHistogram, {int32_t(7), 6.0}, "clip 6%"),
          direct(F::StretchHistogram, {int32_t(1), 4.0}, "red only")}},
        values("Cilindrical", 46, -30, 15, 30),
        plain("Blur", 17),
        {"SmartBlur",
         {direct(F::SmartBlur, {int32_t(10)}, "10"), byId(18, 0), direct(F::SmartBlur, {int32_t(60)}, "60")}},
        values("AdvancedBlur (More Blur)", 19, 2, 5, 10),
        plain("SoftnerBlur", 20),
        values("MotionBlur", 21, 0, 45, 120),
        values("FarBlur", 22, 10, 25, 50),
        values("RadialBlur", 23, 5, 15, 30),
        values("ZoomBlur", 24, 40, 100, 200),
        values("UnsharpMask", 25, 3, 6, 10),
        values("GrayScale", 27, -80, 0, 80),
        plain("Sepia", 28),
        values("AmbientLight (warm light)", 29, 100, 180, 255, rgb(255, 200, 140)),
        values("Tone (brown)", 30, 80, 160, 255, rgb(200, 150, 80)),
        plain("Diffuse", 32),
        values("Rock", 33, 2, 4, 6),
        values("ColorRandomize (Noise)", 34, -100, 60, 200),
        plain("Melt", 35),
        plain("FishEye", 36),
        values("FishEyeEx", 37, -200, 120, 255),
        values("Twirl", 38, -60, 30, 100),
        values("TwirlEx", 39, -100, 40, 100),
        values("Swirl", 40, -255, 100, 255),
        {"Make3DEffect",
         {direct(F::Make3DEffect, {int32_t(3)}, "3"), byId(41, 0), direct(F::Make3DEffect, {int32_t(12)}, "12")}},
        plain("FourCorners", 42),
        plain("Caricature", 43),
        plain("Roll", 44),
        {"PolarCoordinates", {original(), byId(45, 0), direct(F::PolarCoordinates, {int32_t(1)}, "mode 1")}},
        values("Mosaic", 47, 4, 10, 20),
        values("Waves", 48, 3, 10, 20),
        values("BlockWaves", 49, 5, 12, 20),
        values("CircularWaves", 50, 5, 10, 20),
        values("CircularWavesEx", 51, 5, 10, 20),
        values("BackDropRemoval (sky to orange)", 53, 30, 60, 100, kSky, rgb(255, 140, 0)),
        values("Emboss", 54, -200, 100, 255),
        values("Neon", 55, 0, 2, 5),
        values("DetectBorders (sky, red)", 56, 30, 60, 90, kSky, rgb(230, 0, 0)),
        values("FindEdges", 57, 0, 2, 5),
        values("NotePaper (ink, paper)", 58, 80, 120, 170, rgb(30, 30, 70), rgb(240, 235, 215)),
        {"Metallic (metal, gold, ice)", {byId(60, 0), byId(61, 60), byId(62, 120)}},
        values("Invert", 64, 0, 100, 180),
        values("Stamp (Monochrome)", 65, 0, 100, 160),
        {"RandomicalPoints",
         {byId(67, 10, kWindowBackground), byId(67, 50, rgb(255, 230, 0)), byId(67, 102, rgb(230, 0, 0))}},
        {"Solarize", {original(), byId(68, 0), direct(F::Solarize, {int32_t(1)}, "mode 1")}},
        values("Canvas", 69, 3, 6, 12),
        plain("Relief", 70),
        values("Tile (dark background)", 71, 3, 8, 20, 0, rgb(40, 40, 40)),
        values("Fragment", 72, 2, 5, 10),
        values("Fog", 73, 40, 80, 127),
        values("OilPaint", 74, 75, 150, 255),
        {"FrostGlass",
         {direct(F::FrostGlass, {int32_t(1)}, "1"), byId(75, 0), direct(F::FrostGlass, {int32_t(6)}, "6")}},
        {"RainDrops",
         {direct(F::RainDrops, {int32_t(20), int32_t(30), int32_t(80)}, "20, 30, 80"), byId(76, 0),
          direct(F::RainDrops, {int32_t(80), int32_t(15), int32_t(20)}, "80, 15, 20")}},
        {"Flip (h, v, both)", {byId(78, 0), byId(79, 0), byId(80, 0)}},
    };
}

QImage toImage(const EffectSurface& s)
{
    QImage img(s.width, s.height, QImage::Format_RGB32);
    for (int y = 0; y < s.height; ++y)
        std::memcpy(img.scanLine(y), s.bits.data() + 4u * size_t(y) * s.width, 4u * size_t(s.width));
    return img;
}

TEST(EffectsContactSheet, EveryFunctionAtThreeSettingsIsDrawnOnOneSheet)
{
    effects::registerEffectsLibrary();
    const EffectSurface photo = fx::photoLike(kTileW, kTileH);
    const std::vector<Cell> cells = sheet();

    // Every library function appears on the sheet.
    std::set<ZorveliFn> shown;
    for (const Cell& cell : cells)
        for (const Tile& t : cell.tiles) {
            const auto call = [&]() -> std::optional<ZorveliFn> {
                // The function a tile calls is found by running it against
                // the recording double.
                ZorveliRecorder rec;
                EffectSurface out;
                t.run(out, photo);
                if (rec.calls().empty()) return std::nullopt;
                return rec.calls().front().function;
            }();
            if (call) shown.insert(*call);
        }
    EXPECT_EQ(int(shown.size()), kZorveliFunctionCount);

    constexpr int kPerRow = 3, kGap = 6, kLabel = 16, kCaption = 18;
    const int cellW = 3 * kTileW + 2 * kGap, cellH = kCaption + kTileH + kLabel;
    const int rows = (int(cells.size()) + kPerRow - 1) / kPerRow;
    QImage sheetImage(kPerRow * cellW + (kPerRow + 1) * 3 * kGap, rows * (cellH + 2 * kGap) + 2 * kGap,
                      QImage::Format_RGB32);
    sheetImage.fill(QColor(236, 236, 236));
    QPainter painter(&sheetImage);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    for (size_t i = 0; i < cells.size(); ++i) {
        const int cx = 3 * kGap + int(i % kPerRow) * (cellW + 3 * kGap);
        const int cy = 2 * kGap + int(i / kPerRow) * (cellH + 2 * kGap);
        painter.setPen(Qt::black);
        painter.drawText(cx, cy + kCaption - 5, QString::fromStdString(cells[i].caption));
        for (int k = 0; k < 3; ++k) {
            const Tile& t = cells[i].tiles[k];
            programRandom().seed(20240601);
            EffectSurface out;
            ASSERT_TRUE(t.run(out, photo)) << cells[i].caption << " " << t.label;
            ASSERT_EQ(out.width, photo.width);
            ASSERT_EQ(out.height, photo.height);
            const int tx = cx + k * (kTileW + kGap);
            painter.drawImage(tx, cy + kCaption, toImage(out));
            painter.setPen(QColor(60, 60, 60));
            painter.drawText(tx, cy + kCaption + kTileH + kLabel - 4, QString::fromStdString(t.label));
        }
    }
    painter.end();
    QTemporaryDir folder;
    const char* wanted = std::getenv("TQ_CONTACT_SHEET");
    const QString path = wanted && *wanted ? QString::fromLocal8Bit(wanted) : folder.filePath("effects_contact_sheet.png");
    ASSERT_TRUE(sheetImage.save(path, "PNG")) << path.toStdString();
}

} // namespace
