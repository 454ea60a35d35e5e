// End to end through tq-drive: the geometry dialogs filled and confirmed in
// the running program, the result saved and compared with what the engine
// gives for the same change of the 9 x 6 input picture.
#include "DriveFixture.h"

#include "dialogs/PictureGeometry.h"

namespace tq {
namespace {

class DriveGeometry : public DriveFixture {
protected:
    BitsBuffer inputBits() const { return expected({}); }

    // The engine's result of a computation on the input picture.
    template <class Compute>
    BitsBuffer computed(Compute compute) const
    {
        cBitFilter engine;
        EXPECT_EQ(compute(engine, inputBits()), GeometryOutcome::Done);
        return engine.Bits();
    }
};

} // namespace

TEST_F(DriveGeometry, EachDialogsOkEndToEnd)
{
    struct Case {
        QStringList steps;
        std::function<GeometryOutcome(cBitFilter&, const BitsBuffer&)> compute;
    } cases[] = {
        {{"--size", "18,12"}, [](cBitFilter& e, const BitsBuffer& s) { return resizePicture(e, s, 18, 12, false); }},
        {{"--size", "5,4,smooth"}, [](cBitFilter& e, const BitsBuffer& s) { return resizePicture(e, s, 5, 4, true); }},
        {{"--canvas", "12,4,bottom-right"},
         [](cBitFilter& e, const BitsBuffer& s) { return placeOnCanvas(e, s, 12, 4, 3, -2); }},
        {{"--canvas", "10,9,centre,0x000000"},
         [](cBitFilter& e, const BitsBuffer& s) { return placeOnCanvas(e, s, 10, 9, 0, 2); }},
        {{"--orientation", "90,1,0"},
         [](cBitFilter& e, const BitsBuffer& s) { return orientPicture(e, s, true, true, false); }},
        {{"--rotate", "-180"}, [](cBitFilter& e, const BitsBuffer& s) { return turnPicture(e, s, 180, false); }},
        {{"--rotate", "30,smooth"}, [](cBitFilter& e, const BitsBuffer& s) { return turnPicture(e, s, 30, true); }},
        {{"--rotate", "-45,0x000000"},
         [](cBitFilter& e, const BitsBuffer& s) { return turnPicture(e, s, -45, false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps.join(' ').toStdString());
        const DriveRun r = drive(QStringList{"--open", path("in.png")} + c.steps + QStringList{"--save", path("out.bmp")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        expectPicture(path("out.bmp"), computed(c.compute));
    }

    // A half turn of the even-sized input loses nothing: two of them give
    // the picture back.
    const DriveRun r =
        drive({"--open", path("in.png"), "--rotate", "180", "--rotate", "180", "--save", path("back.bmp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    expectPicture(path("back.bmp"), inputBits());
}

TEST_F(DriveGeometry, NewImagesWithEachBackground)
{
    struct Case {
        const char* background;
        uint8_t b, g, r;
    } cases[] = {{"white", 255, 255, 255}, {"transparent", 0, 0, 0}, {"0x0A141E", 0x1E, 0x14, 0x0A}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.background);
        const DriveRun r = drive({"--open", path("in.png"), "--new", QStringLiteral("4,3,%1").arg(c.background),
                                  "--save", path("new.bmp")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        BitsBuffer want(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                want.at(0, x, y) = c.b;
                want.at(1, x, y) = c.g;
                want.at(2, x, y) = c.r;
            }
        expectPicture(path("new.bmp"), want);
    }
}

TEST_F(DriveGeometry, RefusedValuesFailTheStepWithTheDialogsMessage)
{
    struct Case {
        QStringList steps;
        const char* message;
    } cases[] = {
        {{"--size", "1,6"}, "Minimum size: 2 x 2"},
        {{"--canvas", "9,0,top"}, "Minimum size: 2 x 2"},
        {{"--new", "2,1,white"}, "Minimum size: 2 x 2"},
        {{"--size", "40000,6"}, "Maximum size: 32767 x 32767"},
        {{"--canvas", "12,8,left,0xFF0000"}, "only 0x000000"},
        {{"--rotate", "200"}, "from -180 to 180"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps.join(' ').toStdString());
        const DriveRun r = drive(QStringList{"--open", path("in.png")} + c.steps + QStringList{"--save", path("no.bmp")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(QFile::exists(path("no.bmp")));
    }
}

} // namespace tq
