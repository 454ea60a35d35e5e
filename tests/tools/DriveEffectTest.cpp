// End to end through tq-drive: numbered effects run on an opened picture,
// at once or through their dialog with a strength and colours, the document
// saved and compared with the effects library's own result on the picture.
#include "DriveFixture.h"

#include "effects/library/EffectsLibrary.h"
#include "effectslib/EffectCalls.h"

namespace tq {
namespace {

// One effect as the library is called for it: colours as the program keeps
// them (red in the low byte).
struct EffectStep {
    int16_t id;
    int32_t v;
    int32_t c;
    int32_t r;
};

// 0xRRGGBB as written on the command line, as the program keeps it.
constexpr int32_t rgb(int32_t v) { return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16); }

// The dialog's colours before any is chosen: the colour box's system
// colour (window background) and white.
constexpr int32_t kBox = static_cast<int32_t>(0x80000005u);
constexpr int32_t kWhite = 0xFFFFFF;

class DriveEffect : public DriveFixture {
protected:
    // The steps applied to the input by the library directly.
    BitsBuffer expectedEffects(const std::vector<EffectStep>& steps) const
    {
        effects::registerEffectsLibrary();
        DibRecord pic = DibRecord::fromRows(input.width(), input.height(), [&](int y) {
            return reinterpret_cast<const uint8_t*>(input.constScanLine(y));
        });
        for (const EffectStep& s : steps) {
            const auto call = effectCall(s.id, s.v, s.c, s.r, pic.width, pic.height);
            EXPECT_TRUE(call.has_value()) << s.id;
            if (!call) continue;
            DibRecord out;
            blackPicture(out, pic.width, pic.height);
            int32_t reserved = 0;
            EXPECT_TRUE(runEffectCall(*call, out, pic, &reserved)) << s.id;
            pic = out;
        }
        BitsBuffer bits(pic.width, pic.height);
        for (int y = 0; y < pic.height; ++y) std::memcpy(bits.row(y), pic.row(y), 4u * size_t(pic.width));
        return bits;
    }

    static void blackPicture(DibRecord& d, int w, int h)
    {
        d.header = BitsHeader::forDib(w, h);
        d.width = w;
        d.height = h;
        d.bits.assign(4u * size_t(w) * size_t(h), 0);
    }
};

TEST_F(DriveEffect, EffectsAtOnceAndThroughTheirDialogEndToEnd)
{
    struct Run {
        std::vector<std::string> flags;
        std::vector<EffectStep> steps;
    };
    const Run runs[] = {
        // At once.
        {{"78"}, {{78, 0, 0, 0}}},
        {{"80", "28"}, {{80, 0, 0, 0}, {28, 0, 0, 0}}},
        // The dialog at its start value, and at a strength of our own.
        {{"64"}, {{64, 0, kBox, kWhite}}},
        {{"40,120"}, {{40, 120, kBox, kWhite}}},
        {{"27,-100", "79"}, {{27, -100, kBox, kWhite}, {79, 0, 0, 0}}},
        // The colour to replace (that of pixel 2, 1) and its replacement;
        // the tile's background.
        {{"53,40,0x4646ab,0xFF0000"}, {{53, 40, rgb(0x4646ab), rgb(0xFF0000)}}},
        {{"56,60"}, {{56, 60, kBox, kWhite}}},
        {{"71,3,0x000000,0x00FF00"}, {{71, 3, 0, rgb(0x00FF00)}}},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.flags.front());
        QStringList args = {"--open", path("in.png"), "--save", path("out.bmp")};
        for (const std::string& f : run.flags) args << "--effect" << QString::fromStdString(f);
        const DriveRun r = drive(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        expectPicture(path("out.bmp"), expectedEffects(run.steps));
    }
}

TEST_F(DriveEffect, ABadEffectStepEndsTheRunWithItsReason)
{
    struct Bad {
        const char* flag;
        const char* reason;
    };
    const Bad bad[] = {
        {"15", "no effect has this number"},
        {"81", "no effect has this number"},
        {"14,5", "applied at once"},
        {"33,7", "outside 0..6"},
        {"40,x", "no whole number"},
        {"53,1,0x12", "0xRRGGBB"},
        {"53,1,0x12,0x0,0x0", "expected ID"},
        {"53,1,0x1000000,0x0", "0xRRGGBB"},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.flag);
        const DriveRun r = drive({"--open", path("in.png"), "--effect", b.flag, "--save", path("never.bmp")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(b.reason), std::string::npos) << r.err;
        EXPECT_FALSE(QFile::exists(path("never.bmp")));
    }
}

} // namespace
} // namespace tq
