// End to end through tq-drive: every one of the 24 optimised save presets
// written through the dialog of a running program, and each file read back
// by FreeImage and by Qt at the depth the preset names, with no more colours
// than its palette allows.
#include "DriveFixture.h"

#include "export/WebSave.h"

#include <FreeImage.h>

#include <QFileInfo>
#include <QImageReader>

#include <filesystem>
#include <fstream>
#include <set>

#include <sys/stat.h>

namespace tq {
namespace {

class DriveWebSave : public DriveFixture {
protected:
    void SetUp() override
    {
        DriveFixture::SetUp();
        // A picture of 3072 colours, so every palette is full.
        photo = QImage(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) photo.setPixel(x, y, qRgb(4 * x, 5 * y, (x * y) % 256));
        ASSERT_TRUE(photo.save(path("photo.png"), "PNG"));
    }
    QString out(int preset) const { return path(("preset" + std::to_string(preset)).c_str()); }

    QImage photo;
};

size_t distinctColours(const QImage& image)
{
    std::set<QRgb> s;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) s.insert(image.pixel(x, y) & 0xFFFFFF);
    return s.size();
}

// The distinct values of each channel, the largest of the three counts.
size_t channelLevels(const QImage& image)
{
    std::set<int> r, g, b;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            r.insert(qRed(c));
            g.insert(qGreen(c));
            b.insert(qBlue(c));
        }
    return std::max({r.size(), g.size(), b.size()});
}

// What each preset's file is.
enum class Kind { Palette, Direct16, Exact24, Jpeg };
struct Expect {
    FREE_IMAGE_FORMAT format;
    const char* qtFormat;
    int bits;              // the depth the preset names (a GIF's colour table, a file's bits per pixel)
    int freeImageBits;     // FreeImage reads a GIF at 1, 4 or 8 bits
    Kind kind;
};

const Expect kExpect[24] = {
    {FIF_GIF, "gif", 1, 1, Kind::Palette},    {FIF_GIF, "gif", 2, 4, Kind::Palette},
    {FIF_GIF, "gif", 3, 4, Kind::Palette},    {FIF_GIF, "gif", 4, 4, Kind::Palette},
    {FIF_GIF, "gif", 5, 8, Kind::Palette},    {FIF_GIF, "gif", 6, 8, Kind::Palette},
    {FIF_GIF, "gif", 7, 8, Kind::Palette},    {FIF_GIF, "gif", 8, 8, Kind::Palette},
    {FIF_BMP, "bmp", 1, 1, Kind::Palette},    {FIF_BMP, "bmp", 4, 4, Kind::Palette},
    {FIF_BMP, "bmp", 8, 8, Kind::Palette},    {FIF_BMP, "bmp", 16, 16, Kind::Direct16},
    {FIF_BMP, "bmp", 24, 24, Kind::Exact24},  {FIF_PNG, "png", 8, 8, Kind::Palette},
    {FIF_PNG, "png", 24, 24, Kind::Exact24},  {FIF_JPEG, "jpeg", 24, 24, Kind::Jpeg},
    {FIF_JPEG, "jpeg", 24, 24, Kind::Jpeg},   {FIF_JPEG, "jpeg", 24, 24, Kind::Jpeg},
    {FIF_JPEG, "jpeg", 24, 24, Kind::Jpeg},   {FIF_JPEG, "jpeg", 24, 24, Kind::Jpeg},
    {FIF_JPEG, "jpeg", 24, 24, Kind::Jpeg},   {FIF_TARGA, "tga", 16, 16, Kind::Direct16},
    {FIF_TARGA, "tga", 24, 24, Kind::Exact24}, {FIF_TIFF, "tiff", 24, 24, Kind::Exact24},
};

TEST_F(DriveWebSave, EveryPresetWritesItsFormatAtItsDepth)
{
    // One run of the program writes all 24, each through the dialog opened
    // afresh; the custom JPEG quality is typed in.
    QStringList args = {"--open", path("photo.png")};
    for (int i = 0; i < 24; ++i) {
        args << "--optimised-save" << QString::number(i) << out(i);
        if (i == 20) args << "--jpeg-quality" << "55";
    }
    const DriveRun r = drive(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    for (int i = 0; i < 24; ++i) {
        SCOPED_TRACE(WebSavePresets[size_t(i)].caption);
        const Expect& e = kExpect[i];
        const std::string file = out(i).toStdString();

        // FreeImage: the format by content, the size, the bits per pixel.
        ASSERT_EQ(FreeImage_GetFileType(file.c_str(), 0), e.format);
        FIBITMAP* dib = FreeImage_Load(e.format, file.c_str(), 0);
        ASSERT_NE(dib, nullptr);
        EXPECT_EQ(int(FreeImage_GetWidth(dib)), 64);
        EXPECT_EQ(int(FreeImage_GetHeight(dib)), 48);
        EXPECT_EQ(int(FreeImage_GetBPP(dib)), e.freeImageBits);
        FreeImage_Unload(dib);
        if (e.format == FIF_GIF) {
            std::ifstream f(file, std::ios::binary);
            char header[13] = {};
            f.read(header, 13);
            EXPECT_EQ((header[10] & 7) + 1, e.bits) << "the colour table's size";
        }

        // Qt, by the format's name (a TGA has no signature to be told by).
        QImageReader reader(out(i), e.qtFormat);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        ASSERT_EQ(image.size(), QSize(64, 48));
        switch (e.kind) {
        case Kind::Palette: {
            // As many colours as the palette holds, and more than half of
            // them: the depth is the one named, not a smaller one.
            const size_t palette = size_t(1) << e.bits;
            const size_t colours = distinctColours(image);
            EXPECT_LE(colours, palette);
            EXPECT_GT(colours, palette / 2);
            if (image.colorCount() > 0) {
                EXPECT_LE(size_t(image.colorCount()), std::max<size_t>(palette, 2));
            }
            break;
        }
        case Kind::Direct16:
            // Five bits of each channel.
            EXPECT_LE(channelLevels(image), 32u);
            EXPECT_GT(distinctColours(image), 256u);
            break;
        case Kind::Exact24:
            EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), photo);
            break;
        case Kind::Jpeg:
            EXPECT_GT(distinctColours(image), 256u);
            break;
        }
    }

    // The JPEG presets pass their quality: the better, the larger the file,
    // the custom 55 between "Normal" (50) and "Good" (75).
    const auto size = [&](int i) { return QFileInfo(out(i)).size(); };
    EXPECT_LT(size(15), size(16));
    EXPECT_LT(size(16), size(17));
    EXPECT_LT(size(17), size(20));
    EXPECT_LT(size(20), size(18));
    EXPECT_LT(size(18), size(19));
}

TEST_F(DriveWebSave, RefusedStepsSayWhy)
{
    struct Case {
        QStringList args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--optimised-save", "24", path("x.gif")}, "no preset has this number or caption"},
        {{"--optimised-save", "GIF-3 Colors", path("x.gif")}, "no preset has this number or caption"},
        {{"--optimised-save", "17", path("x.jpg"), "--jpeg-quality", "55"}, "--jpeg-quality goes with"},
        {{"--optimised-save", "20", path("x.jpg"), "--jpeg-quality", "0"}, "from 1 to 100"},
        {{"--optimised-save", "5", path("missing/x.gif")}, kWebSaveWriteFailed},
        // A FIFO used to be replaced by the file; a link to one likewise.
        {{"--optimised-save", "5", path("pipe.gif")}, "pipe.gif is not a regular file"},
        {{"--optimised-save", "12", path("pipe-link.bmp")}, "pipe-link.bmp is not a regular file"},
        {{"--optimised-save", "16", path("pipe-link.bmp")}, "pipe-link.bmp is not a regular file"},
    };
    ASSERT_EQ(::mkfifo(path("pipe.gif").toLocal8Bit().constData(), 0600), 0);
    std::filesystem::create_symlink(path("pipe.gif").toStdString(), path("pipe-link.bmp").toStdString());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const DriveRun r = drive(QStringList{"--open", path("in.png")} + c.args);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    struct stat st {};
    ASSERT_EQ(::lstat(path("pipe.gif").toLocal8Bit().constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(std::filesystem::is_symlink(path("pipe-link.bmp").toStdString()));

    // By caption, as the list shows it.
    const DriveRun r = drive({"--open", path("in.png"), "--optimised-save", "GIF-64 Colors", path("x.gif")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FreeImage_GetFileType(path("x.gif").toStdString().c_str(), 0), FIF_GIF);
}

// What is at OUT before the save is the program's to deal with: a link
// there stays a link, and the file it points to takes the picture.
TEST_F(DriveWebSave, TheFileAtOutIsLeftToTheProgram)
{
    QFile old(path("target.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older file");
    old.close();
    ASSERT_TRUE(QFile::link(path("target.png"), path("link.png")));

    const DriveRun r = drive({"--open", path("photo.png"), "--optimised-save", "PNG-24 bit", path("link.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(QFileInfo(path("link.png")).isSymLink());
    EXPECT_EQ(QImage(path("target.png")).convertToFormat(QImage::Format_RGB32),
              photo.convertToFormat(QImage::Format_RGB32));
}

} // namespace
} // namespace tq
