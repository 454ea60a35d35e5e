// End to end through tq-drive: one stroke of each tool painted by mouse and
// key events on the canvas of the running program, the document saved, and
// the saved file compared with the painting routines called directly.
#include "DriveFixture.h"

#include "document/Numeric.h"
#include "platform/Random.h"
#include "tools/DocumentPaint.h"
#include "tools/PaintSource.h"
#include "tools/StampPictures.h"

#include <functional>

namespace tq {
namespace {

constexpr int kW = 48;
constexpr int kH = 36;
// --colour 0x3366CC as the program keeps it.
constexpr int32_t kInk = rgbColor(0x33, 0x66, 0xCC);

struct PaintRun {
    const char* name;
    QStringList steps;
    // The same strokes with the routines, on the picture as opened.
    std::function<void(BitsBuffer&)> expect;
};

// Routines on a picture whose selection is the whole picture.
struct Direct {
    BitsBuffer& bits;
    cBitRegion whole;
    DocumentPaint paint;
    explicit Direct(BitsBuffer& b) : bits(b), paint(b, whole) { whole.Init(0, 0, b.width(), b.height()); }
};

class DrivePaint : public DriveFixture {
protected:
    void SetUp() override
    {
        DriveFixture::SetUp();
        QImage img(kW, kH, QImage::Format_RGB32);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) img.setPixel(x, y, qRgb((7 * x + 3 * y) % 256, 30 + 5 * y, 250 - 4 * x));
        ASSERT_TRUE(img.save(path("paint.png"), "PNG"));
        start = bitsOf(img);
    }
    BitsBuffer start;
};

std::vector<PaintRun> paintRuns()
{
    return {
        {"pencil",
         {"--tool", "Pencil", "--colour", "0x3366CC", "--drag", "5,5", "20,9", "30,25"},
         [](BitsBuffer& b) {
             Direct d(b);
             d.paint.BitsLine(5, 5, 5, 5, kInk, 100);
             d.paint.BitsLine(5, 5, 20, 9, kInk, 100);
             d.paint.BitsLine(20, 9, 30, 25, kInk, 100);
         }},
        {"brush",
         {"--tool", "Brush", "--set", "BrushMode=0", "--set", "BrushSize=12", "--set", "BrushPressure=60", "--set",
          "BrushContinuous=true", "--colour", "0x3366CC", "--drag", "6,6", "25,10", "40,30"},
         [](BitsBuffer& b) {
             Direct d(b);
             d.paint.CreateDoneBitsTable();
             d.paint.BitsBrushLine(6, 6, 6, 6, 12, 60, kInk, 0);
             d.paint.BitsBrushLine(6, 6, 25, 10, 12, 60, kInk, 0);
             d.paint.BitsBrushLine(25, 10, 40, 30, 12, 60, kInk, 0);
         }},
        {"airbrush",
         {"--tool", "Airbrush", "--set", "AirbrushSize=20", "--set", "AirbrushQuantity=50", "--colour", "0x3366CC",
          "--seed", "4242", "--drag", "10,10", "30,20"},
         [](BitsBuffer& b) {
             Direct d(b);
             programRandom().seed(4242);
             // The other options as a first start has them.
             d.paint.BitsAirbrush(10, 10, 20, 25, 50, 1, kInk);
             d.paint.BitsAirbrush(30, 20, 20, 25, 50, 1, kInk);
         }},
        {"stamp",
         {"--tool", "Stamp", "--set", "StampMask=false", "--set", "StampPressure=100", "--drag", "20,18", "26,20"},
         [](BitsBuffer& b) {
             // Built-in stamp 1, 48 x 48, is current after start-up.
             const DibRecord picture = tools::builtInStampPicture(1);
             const BitsBuffer stamp = tools::StampBitsOf(&picture, picture.width, picture.height);
             Direct d(b);
             for (auto [x, y] : {std::pair{20, 18}, std::pair{26, 20}})
                 d.paint.BitsPaint(x - 24, y - 24, PaintSource::fromBuffer(stamp), -1, 100, true);
         }},
        {"fill",
         {"--tool", "Fill", "--set", "FillTolerance=80", "--colour", "0x3366CC", "--drag", "3,3", "10,10"},
         [](BitsBuffer& b) {
             Direct d(b);
             d.paint.CreateDoneBitsTable();
             d.paint.BitsFill(10, 10, kInk, 80, 100);
         }},
        {"gradient",
         {"--tool", "Gradient", "--set", "GradientMode=1", "--set", "GradientColor1=0x0000FF", "--set",
          "GradientPressure=80", "--drag", "10,10", "20,14", "30,20"},
         [](BitsBuffer& b) {
             const Region whole = Region::rect(0, 0, kW, kH);
             cBitFilter e;
             e.setBits(b);
             e.setBitsRegion(&whole);
             b = e.GradientCircular(10, 10, 30, 20, 0x0000FF, 0, 80, 1);
         }},
        {"shape",
         {"--tool", "Shape", "--set", "ShapeType=6", "--set", "ShapeSides=5", "--colour", "0x3366CC", "--drag",
          "24,18", "40,10", "35,22"},
         [](BitsBuffer& b) {
             Direct d(b);
             d.paint.BitsPolygon(24, 18, 35, 22, 5, kInk, 100);
         }},
        {"selection content moved",
         {"--tool", "Select", "--set", "SelectShape=1", "--drag", "5,5", "20,15", "--tool", "SelectionMove", "--set",
          "MoveSelection=false", "--set", "SelectPressure=100", "--drag", "12,10", "30,25"},
         [](BitsBuffer& b) {
             cBitRegion sel;
             sel.Init(0, 0, kW, kH);
             sel.CreateEllipse(5, 5, 21, 16, 2, true);
             int32_t x1, y1, x2, y2;
             sel.BoundRect(x1, y1, x2, y2);
             cBitFilter lifter;
             lifter.setBitsRegion(sel.Region());
             lifter.BitsCropMasked(b, x1, y1, x2, y2);
             Direct d(b);
             d.paint.BitsPaintPreMasked(30 - (12 - x1), 25 - (10 - y1), PaintSource::fromBuffer(lifter.Bits()), 100,
                                        false);
         }},
        {"floating paste placed, nudged and stamped",
         {"--tool", "Select", "--drag", "2,2", "12,8", "--key", "COPY", "--key", "PASTE", "--drag", "30,20",
          "--key", "PASTE", "--key-press", "Right", "--key-press", "Space", "--key-press", "Down", "--rdrag", "5,30"},
         [](BitsBuffer& b) {
             cBitRegion sel;
             sel.Init(0, 0, kW, kH);
             sel.CreateRect(2, 2, 12, 8, 2, true);
             cBitFilter lifter;
             lifter.setBitsRegion(sel.Region());
             lifter.BitsCropMasked(b, 2, 2, 12, 8);
             const BitsBuffer clip = lifter.Bits();
             Direct d(b);
             // Placed under the pointer (10 x 6: 5 and 3 from its corner),
             // then once more one pixel right by the key, and stamped; the
             // right click drops what floats after that.
             d.paint.BitsPaintPreMasked(30 - 5, 20 - 3, PaintSource::fromBuffer(clip), 80, false);
             d.paint.BitsPaintPreMasked(31 - 5, 20 - 3, PaintSource::fromBuffer(clip), 80, false);
         }},
    };
}

} // namespace

TEST_F(DrivePaint, OneStrokeOfEachToolEndToEnd)
{
    for (const PaintRun& run : paintRuns()) {
        SCOPED_TRACE(run.name);
        // Each run starts from a first start's settings, not the last run's.
        QFile::remove(dir.filePath("program/tqStart.up"));
        QStringList args = {"--open", path("paint.png")};
        args += run.steps;
        args += QStringList{"--save", path("painted.bmp")};
        const DriveRun r = drive(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        BitsBuffer want = start;
        run.expect(want);
        expectPicture(path("painted.bmp"), want);
    }
}

TEST_F(DrivePaint, BadPaintingStepsAreRefused)
{
    const struct {
        QStringList steps;
        const char* message;
    } cases[] = {
        {{"--set", "BrushSize"}, "FIELD=VALUE"},
        {{"--set", "NoSuchField=3"}, "no settings field NoSuchField"},
        {{"--set", "BrushSize=70000"}, "bad value for BrushSize"},
        {{"--set", "ColorTable[16]=1"}, "bad value for ColorTable"},
        {{"--tool", "Eraser"}, "no tool Eraser"},
        {{"--colour", "red"}, "0xRRGGBB"},
        {{"--drag", "3;4"}, "expected X,Y"},
        {{"--key-press", "Escape"}, "no key Escape"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        QStringList args = {"--open", path("paint.png")};
        args += c.steps;
        const DriveRun r = drive(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    // Any field by its name, list entries by index.
    const DriveRun r = drive({"--open", path("paint.png"), "--set", "ColorTable[15]=0xFF", "--set", "ToolName=Brush",
                              "--set", "StampUseMaskColor=-1", "--set", "MainWidth=40000"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

} // namespace tq
