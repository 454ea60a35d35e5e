// End to end through tq-drive: a tile from each source, changed by a tile
// effect, laid over the selection of the picture by the textures window, the
// document saved, and the saved file compared with the tile laid directly on
// an engine of our own.
#include "DriveFixture.h"

#include "document/cBitRegion.h"
#include "picturefiles/PictureLoader.h"
#include "platform/QtImage.h"
#include "tools/TextureApply.h"
#include "toolwindows/TexturePictures.h"

namespace tq {
namespace {

class DriveTexture : public DriveFixture {
protected:
    BitsBuffer inputBits() const { return expected({}); }
    // The tile picture with the effect, laid over the rectangle.
    BitsBuffer textured(const DibRecord& picture, int effect, int strength, int x1, int y1, int x2, int y2) const
    {
        cBitFilter tile;
        EXPECT_TRUE(TextureApply::makeTile(tile, picture, static_cast<int16_t>(effect), strength));
        cBitRegion selection;
        selection.Init(0, 0, input.width(), input.height());
        selection.CreateRect(x1, y1, x2, y2, 2, true);
        cBitFilter engine;
        engine.setBits(inputBits());
        FilterResult r = TextureApply::texturize(engine, selection.walkRegion(), tile.Bits());
        EXPECT_TRUE(r.has_value());
        return r ? std::move(*r) : BitsBuffer();
    }
    void saveTile(const char* name, int w, int h) const
    {
        QImage img(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(15 * x, 25 * y, 90 + 20 * x - 9 * y));
        ASSERT_TRUE(img.save(path(name), "BMP"));
    }
};

TEST_F(DriveTexture, TilesAndFilesAreLaidOverTheSelection)
{
    saveTile("tile.bmp", 4, 3);
    const DibRecord file = *loadPlatformPicture(path("tile.bmp").toStdString());
    struct Case {
        QString texture;
        DibRecord picture;
        int effect, strength;
    };
    const std::vector<Case> cases = {
        {"Emboss,3,tile:0", platform::dibFromImage(definedTexturePicture(0)), 8, 3},
        {"25,100,tile:34", platform::dibFromImage(definedTexturePicture(34)), 25, 100},
        {"invert,50,tile:17", platform::dibFromImage(definedTexturePicture(17)), 18, 50},
        {"Flip Horizontal,1,file:" + path("tile.bmp"), file, 12, 1},
        {"Pixelize,2,file:" + path("tile.bmp"), file, 23, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texture.toStdString());
        const DriveRun r = drive({"--open", path("in.png"), "--texture", c.texture, "--select", "2,1,8,5", "--save",
                                  path("out.bmp")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const BitsBuffer want = textured(c.picture, c.effect, c.strength, 2, 1, 8, 5);
        EXPECT_NE(want, inputBits()) << "the case changes the picture";
        expectPicture(path("out.bmp"), want);
    }
}

TEST_F(DriveTexture, TextIsRenderedAndLaidOverTheWholePicture)
{
    const DriveRun r = drive({"--open", path("in.png"), "--texture", "Invert,3,text:Hi\\nthere", "--save",
                              path("out.bmp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QImage got(path("out.bmp"));
    ASSERT_EQ(got.size(), input.size());
    EXPECT_NE(got.convertToFormat(QImage::Format_RGB32), input.convertToFormat(QImage::Format_RGB32));
}

TEST_F(DriveTexture, RefusedStepsFailWithTheirReason)
{
    saveTile("thin.bmp", 1, 4);
    saveTile("tile.png", 4, 4);
    struct Case {
        QString texture;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"Emboss,3,file:" + path("thin.bmp"), TextureApply::kTileTooSmall},
        {"Emboss,3,file:" + path("tile.png"), "the From File list does not hold tile.png"},
        {"Sparkle,3,tile:1", "no tile effect Sparkle"},
        {"34,3,tile:1", "no tile effect 34"},
        {"Emboss,0,tile:1", "the strength is 1 to 100"},
        {"Emboss,3,tile:35", "no defined texture 35"},
        {"Emboss,3,tiles", "the source is tile:N, text:STRING or file:PATH"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const DriveRun r = drive({"--open", path("in.png"), "--texture", c.texture, "--save", path("no.bmp")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(QFile::exists(path("no.bmp")));
    }
}

} // namespace
} // namespace tq
