// End to end through tq-drive: a kernel file and a palette file loaded into
// their dialogs in the running program and applied, the result saved and
// compared with MaskFilter and PaletteApply called on the 9 x 6 input.
#include "DriveFixture.h"
#include "filters/KernelRecords.h"
#include "filters/WholePicture.h"

#include "dialogs/fPaletteApply.h"
#include "dialogs/fUserFilter.h"
#include "filters/Palette.h"
#include "filters/UserFilterFile.h"

#include <QDir>

namespace tq {
namespace {

class DriveKernelPalette : public DriveFixture {
protected:
    void SetUp() override
    {
        DriveFixture::SetUp();
        saved_ = CurrentPalette();
    }
    void TearDown() override { CurrentPalette() = saved_; }

    BitsBuffer applied(const BitsBuffer& source, const std::function<FilterResult(cBitFilter&)>& change) const
    {
        FilterResult r = runOnWholePicture(source, change);
        EXPECT_TRUE(r);
        return r ? *r : BitsBuffer();
    }

    static FilterResult filter(cBitFilter& e, const KernelRecord& k)
    {
        // The editor starts with "Keep margins" ticked.
        return e.MaskFilter(k.Mask, k.Weight, k.rFactor, k.gFactor, k.bFactor, true);
    }

    std::string palettePath()
    {
        EXPECT_TRUE(QDir().mkpath(dir.filePath("program/Palettes")));
        PaletteRecord p;
        p.Count = 4;
        p.entries = {{0, 0, 0}, {255, 255, 255}, {230, 60, 20}, {30, 120, 220}};
        palette_ = p;
        const std::vector<uint8_t> bytes = PaletteFile::encode(p);
        QFile f(path("four.pal"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path("four.pal").toStdString();
    }

    FilterResult paletteApplied(cBitFilter& e)
    {
        CurrentPalette() = palette_;
        return e.PaletteApply();
    }

    PaletteRecord palette_;

private:
    PaletteRecord saved_;
};

} // namespace

TEST_F(DriveKernelPalette, SavedKernelsApplyAsMaskFilterDoes)
{
    const KernelRecord cases[] = {
        kernelRows(3, {0, -1, 0, -1, 6, -1, 0, -1, 0}, 2, 5, 0, 10),
        kernelRows(5, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1}, 2, 0, 40, 0),
    };
    for (const KernelRecord& k : cases) {
        SCOPED_TRACE(k.Mask.side());
        const QString qif = path("k.qif");
        ASSERT_TRUE(UserFilterFile::save(qif.toStdString(), k));
        const DriveRun r = drive({"--open", path("in.png"), "--user-filter", qif, "--save", path("out.bmp")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        expectPicture(path("out.bmp"), applied(expected({}), [&](cBitFilter& e) { return filter(e, k); }));
    }
}

TEST_F(DriveKernelPalette, PaletteAppliesAsPaletteApplyDoesAfterAKernel)
{
    const std::string pal = palettePath();
    DriveRun r = drive({"--open", path("in.png"), "--palette", QString::fromStdString(pal), "--dither", "1", "--save",
                        path("pal.bmp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    expectPicture(path("pal.bmp"), applied(expected({}), [&](cBitFilter& e) { return paletteApplied(e); }));

    const KernelRecord k = kernelRows(3, {1, 1, 1, 1, 1, 1, 1, 1, 1}, 9, 0, 0, 0);
    ASSERT_TRUE(UserFilterFile::save(path("blur.qif").toStdString(), k));
    r = drive({"--open", path("in.png"), "--user-filter", path("blur.qif"), "--palette", QString::fromStdString(pal),
               "--save", path("both.bmp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const BitsBuffer blurred = applied(expected({}), [&](cBitFilter& e) { return filter(e, k); });
    expectPicture(path("both.bmp"), applied(blurred, [&](cBitFilter& e) { return paletteApplied(e); }));
}

TEST_F(DriveKernelPalette, RefusedFilesAndAsksFailTheStepWithTheMessage)
{
    QFile bad(path("bad.qif"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a kernel at all, only text");
    bad.close();
    struct Case {
        QStringList steps;
        std::string says;
    } cases[] = {
        {{"--user-filter", path("bad.qif")}, kFilterNotLoadedText},
        {{"--user-filter", path("missing.qif")}, "The file could not be read."},
        // No "Palettes" folder yet.
        {{"--palette", path("four.pal")}, kPalettesMissingText},
        {{"--palette", path("four.pal"), "--dither", "0"}, "only --dither 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps.join(' ').toStdString());
        const DriveRun r = drive(QStringList{"--open", path("in.png")} + c.steps + QStringList{"--save", path("x.bmp")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    palettePath();
    const DriveRun r = drive({"--open", path("in.png"), "--palette", path("bad.qif")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(kPaletteNotLoadedText), std::string::npos) << r.err;
}

} // namespace tq
