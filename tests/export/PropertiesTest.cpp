// The image properties dialog: which loader reads a file, the texts it
// shows for depths, attributes and sizes, the values it reads back from
// real files of each loader, and when IMAGEPROPERTIES opens it.
#include "export/fProperties.h"
#include "export/fPropertiesValues.h"

#include "document/FormatFixtures.h"
#include "document/PictureFixtures.h"
#include "document/SizeLabel.h"
#include "document/PictureRouting.h"
#include "mainwindow/CommandFixture.h"

#include <FreeImage.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include <filesystem>

namespace tq {
namespace {

using testing::PictureTempDir;
using testing::makePicture;
using testing::writeFile;

TEST(PropertiesTexts, ColourDepths)
{
    const std::pair<int, const char*> known[] = {
        {1, "Black & White"}, {2, "4 Colors"},     {3, "8 Colors"},        {4, "16 Colors"},
        {5, "32 Colors"},     {6, "64 Colors"},    {7, "128 Colors"},      {8, "256 Colors"},
        {15, "32768 Colors"}, {16, "65536 Colors"}, {24, "16777216 Colors (True Color)"},
        {32, "4294967296 Colors (High Color)"},
    };
    for (const auto& [bits, text] : known) EXPECT_EQ(ColorDepthText(bits), text) << bits;
    for (int bits : {0, 9, 12, 48, 64, -1}) EXPECT_EQ(ColorDepthText(bits), "") << bits;
}

TEST(PropertiesTexts, Attributes)
{
    const std::pair<int, const char*> cases[] = {
        {0, "Normal"},
        {1, "Read Only"},
        {2, "Hidden"},
        {3, "Read Only, Hidden"},   // no system mark, so not "System"
        {4, "System"},
        {5, "System"},
        {7, "System"},
        {8, "System"},
        {32, "Normal, Archive"},
        {33, "Archive, Read Only"},
        {35, "Archive, Read Only, Hidden"},
        {36, "Archive, System"},
        {39, "Archive, Read Only, Hidden, System"},
        {40, "System"},
        {128, "System"},
    };
    for (const auto& [bits, text] : cases) EXPECT_EQ(AttributeText(bits), text) << bits;
}

TEST(PropertiesTexts, KilobytesRoundHalvesToEvenAndNeverOverflow)
{
    const std::pair<uint64_t, const char*> cases[] = {
        {100, "0 KB"},   {512, "0 KB"},   {1536, "2 KB"}, {2560, "2 KB"}, {3584, "4 KB"},
        {1535, "1 KB"},  {1537, "2 KB"},  {0, "0 KB"},
        {33553920, "32768 KB"},   // past what a 16-bit count holds
        {uint64_t(5) << 40, "5368709120 KB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(SizeLabel(bytes), text) << bytes;
}

TEST(PropertiesTexts, GeneralDateLeavesOutMidnight)
{
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    const QString day = QLocale::c().toString(QDate(2021, 3, 7), QLocale::ShortFormat);
    EXPECT_EQ(GeneralDateText(2021, 3, 7, 0, 0, 0), day.toStdString());
    const std::string afternoon = GeneralDateText(2021, 3, 7, 14, 5, 9);
    EXPECT_EQ(afternoon.rfind(day.toStdString() + " ", 0), 0u) << afternoon;
    EXPECT_NE(afternoon.find("14:05:09"), std::string::npos) << afternoon;
    QLocale::setDefault(saved);
}

TEST(PropertiesRoutes, ExtensionsGoToTheirLoaders)
{
    struct Case {
        const char* ext;
        PropertiesLoader loader;
        int format, flags;
    } cases[] = {
        {"sgi", PropertiesLoader::DevIL, -1, 0},   // never FreeImage's own SGI reader
        {"SGI", PropertiesLoader::DevIL, -1, 0},
        {"rgba", PropertiesLoader::DevIL, -1, 0},
        {"xpm", PropertiesLoader::DevIL, -1, 0},
        {"rle", PropertiesLoader::PictureLoader, -1, 0},
        {"gif", PropertiesLoader::PictureLoader, -1, 0},
        {"cur", PropertiesLoader::PictureLoader, -1, 0},
        {"dib", PropertiesLoader::PictureLoader, -1, 0},
        {"jpe", PropertiesLoader::FreeImage, FIF_JPEG, JPEG_ACCURATE},
        {"jfif", PropertiesLoader::FreeImage, FIF_JPEG, JPEG_ACCURATE},
        {"sun", PropertiesLoader::FreeImage, FIF_RAS, 0},
        {"targa", PropertiesLoader::FreeImage, FIF_TARGA, TARGA_LOAD_RGB888},
        {"pgm", PropertiesLoader::FreeImage, FIF_PGM, 0},
        {"pdd", PropertiesLoader::FreeImage, FIF_PSD, 0},
        {"jng", PropertiesLoader::FreeImageByFileType, -1, 0},
        {"webp", PropertiesLoader::None, -1, 0},
        {"", PropertiesLoader::None, -1, 0},
    };
    for (const Case& c : cases) {
        const PropertiesRoute r = propertiesRoute(c.ext);
        EXPECT_EQ(r.loader, c.loader) << c.ext;
        EXPECT_EQ(r.format, c.format) << c.ext;
        EXPECT_EQ(r.flags, c.flags) << c.ext;
    }
}

class PropertiesFiles : public ::testing::Test {
protected:
    // A picture written through the program's own writer for the extension.
    std::string save(const std::string& name, int w, int h)
    {
        const std::string path = dir.path(name);
        const std::string ext = std::filesystem::path(name).extension().string().substr(1);
        EXPECT_TRUE(mBitmap::SaveImageFile(path, ext, makePicture(w, h))) << name;
        return path;
    }
    static uint64_t bytes(const std::string& path) { return std::filesystem::file_size(path); }

    PictureTempDir dir;
};

TEST_F(PropertiesFiles, APictureOfEachLoaderShowsItsSizeDepthAndFile)
{
    struct Case {
        const char* name;
        int w, h;
        const char* depth;
        const char* bits;
    } cases[] = {
        {"photo.png", 640, 480, "16777216 Colors (True Color)", "24"},   // FreeImage
        {"photo.jpe", 64, 48, "16777216 Colors (True Color)", "24"},
        {"silicon.sgi", 33, 21, "16777216 Colors (True Color)", "24"},   // DevIL
        {"few.gif", 30, 20, "256 Colors", "8"},                          // the platform's loader
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        std::string path;
        if (name == "photo.jpe") {
            path = dir.path(name);
            std::filesystem::copy_file(save("photo.jpg", c.w, c.h), path);
        } else {
            path = save(name, c.w, c.h);
        }
        const PropertiesTexts t = describePictureFile(path);
        EXPECT_EQ(t.PWidth, std::to_string(c.w)) << name;
        EXPECT_EQ(t.PHeight, std::to_string(c.h)) << name;
        EXPECT_EQ(t.PResolution, std::to_string(c.w) + " x " + std::to_string(c.h)) << name;
        EXPECT_EQ(t.PDepth, c.depth) << name;
        EXPECT_EQ(t.PBits, c.bits) << name;
        EXPECT_EQ(t.PName, name);
        EXPECT_EQ(t.PParent, QFileInfo(QString::fromStdString(path)).absolutePath().toStdString()) << name;
        EXPECT_EQ(t.PSize, SizeLabel(bytes(path))) << name;
        EXPECT_EQ(t.PAttribute, "Normal") << name;
        EXPECT_FALSE(t.PDate.empty()) << name;
        EXPECT_FALSE(t.pType.empty()) << name;
    }
}

// The depth shown is the one the file keeps its picture in, whichever
// loader reads it: the platform's loader widens what it decodes (a GIF or a
// 24-bit bitmap comes out in 32 bits), FreeImage does not.
TEST_F(PropertiesFiles, EveryFormatShowsTheFilesOwnDepth)
{
    // A FreeImage image of the given depth, w x h: palette (grey) below 16 bits.
    auto image = [](int bits, int w, int h) {
        FIBITMAP* dib = FreeImage_Allocate(w, h, bits);
        if (RGBQUAD* pal = FreeImage_GetPalette(dib)) {
            const unsigned n = FreeImage_GetColorsUsed(dib);
            for (unsigned i = 0; i < n; ++i) pal[i] = RGBQUAD{BYTE(i * 255 / (n - 1)), BYTE(i * 255 / (n - 1)), BYTE(i * 255 / (n - 1)), 0};
        }
        for (int y = 0; y < h; ++y) {
            BYTE* line = FreeImage_GetScanLine(dib, y);
            for (unsigned i = 0; i < FreeImage_GetLine(dib); ++i) line[i] = BYTE(i * 29 + y * 7);
        }
        return dib;
    };
    struct Case {
        const char* name;
        FREE_IMAGE_FORMAT format;   // FIF_UNKNOWN: the bytes are built below
        int bits;                   // of the image written
        int flags;
        int shown;                  // the depth the dialog shows
    };
    const Case cases[] = {
        {"grey.gif", FIF_GIF, 8, 0, 8},         {"sixteen.gif", FIF_GIF, 4, 0, 4},
        {"palette.png", FIF_PNG, 8, 0, 8},      {"photo.png", FIF_PNG, 24, 0, 24},
        {"alpha.png", FIF_PNG, 32, 0, 32},      {"two.bmp", FIF_BMP, 1, 0, 1},
        {"sixteen.bmp", FIF_BMP, 4, 0, 4},      {"palette.bmp", FIF_BMP, 8, 0, 8},
        {"high.bmp", FIF_BMP, 16, 0, 16},       {"photo.bmp", FIF_BMP, 24, 0, 24},
        {"alpha.bmp", FIF_BMP, 32, 0, 32},      {"photo.dib", FIF_BMP, 24, 0, 24},
        {"scan.rle", FIF_BMP, 8, BMP_SAVE_RLE, 8},
        {"photo.tif", FIF_TIFF, 24, 0, 24},     {"grey.tif", FIF_TIFF, 8, 0, 8},
        {"photo.jpg", FIF_JPEG, 24, 0, 24},     {"grey.jpg", FIF_JPEG, 8, 0, 8},
        {"icon.ico", FIF_ICO, 32, 0, 32},       {"palette.ico", FIF_ICO, 8, 0, 8},
        {"fields.bmp", FIF_UNKNOWN, 32, 0, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path(c.name);
        // FreeImage writes icons of 16 pixels a side and more only.
        const int w = c.format == FIF_ICO ? 16 : 12, h = c.format == FIF_ICO ? 16 : 9;
        if (c.format == FIF_UNKNOWN) {
            writeFile(path, testing::bitfieldBmpFile(w, h, 32, 124, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}));
        } else {
            FIBITMAP* dib = image(c.bits, w, h);
            ASSERT_TRUE(FreeImage_Save(c.format, dib, path.c_str(), c.flags));
            FreeImage_Unload(dib);
        }
        const PropertiesTexts t = describePictureFile(path);
        EXPECT_EQ(t.PBits, std::to_string(c.shown));
        EXPECT_EQ(t.PDepth, ColorDepthText(c.shown));
        EXPECT_EQ(t.PResolution, std::to_string(w) + " x " + std::to_string(h));
    }
}

TEST_F(PropertiesFiles, TheFileSizeIsInWholeKilobytes)
{
    for (const auto& [size, text] : {std::pair<size_t, const char*>{1536, "2 KB"}, {2560, "2 KB"}, {100, "0 KB"}}) {
        const std::string path = dir.path("data" + std::to_string(size) + ".bin");
        writeFile(path, std::vector<uint8_t>(size, 0x5A));
        EXPECT_EQ(readFileValues(path).sizeText, text) << size;
    }
}

TEST_F(PropertiesFiles, AnUnreadablePictureStillShowsItsFileValues)
{
    // Not a JPEG, whatever its name says.
    const std::string path = dir.path("broken.jpg");
    writeFile(path, std::vector<uint8_t>(700, 0x42));
    const PropertiesTexts t = describePictureFile(path);
    for (const std::string* image : {&t.PWidth, &t.PHeight, &t.PResolution, &t.PDepth, &t.PBits})
        EXPECT_EQ(*image, "");
    EXPECT_EQ(t.PName, "broken.jpg");
    EXPECT_EQ(t.PSize, "1 KB");
    EXPECT_FALSE(t.PParent.empty());
    EXPECT_FALSE(t.PDate.empty());
    EXPECT_EQ(t.PAttribute, "Normal");
}

// A TIFF whose strip is cut: the library would make up the missing part.
TEST_F(PropertiesFiles, ACutTiffShowsNoPictureValues)
{
    const std::string path = dir.path("cut.tif");
    writeFile(path, testing::tiffWithCutStrip(12, 9));
    const PropertiesTexts t = describePictureFile(path);
    for (const std::string* image : {&t.PWidth, &t.PHeight, &t.PResolution, &t.PDepth, &t.PBits})
        EXPECT_EQ(*image, "");
    EXPECT_EQ(t.PName, "cut.tif");
}

TEST_F(PropertiesFiles, AFileDevilCannotReadShowsNothingAtAll)
{
    // A sound PNG under a name of DevIL's: DevIL reads it as SGI and fails;
    // FreeImage, which would read it, is never asked.
    const std::string png = save("real.png", 12, 9);
    const std::string path = dir.path("not-really.sgi");
    std::filesystem::copy_file(png, path);
    PictureValues values;
    EXPECT_EQ(readPictureValues(path, values), PictureRead::DevilFailed);
    const PropertiesTexts t = describePictureFile(path);
    for (const std::string* label : {&t.PName, &t.pType, &t.PSize, &t.PWidth, &t.PHeight, &t.PDepth, &t.PBits,
                                     &t.PResolution, &t.PParent, &t.PDate, &t.PAttribute})
        EXPECT_EQ(*label, "");
}

TEST_F(PropertiesFiles, ReadOnlyAndHiddenFiles)
{
    const std::string plain = save("plain.png", 4, 4);
    const std::string hidden = dir.path(".hidden.png");
    std::filesystem::copy_file(plain, hidden);
    std::filesystem::permissions(plain, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    EXPECT_EQ(readFileValues(plain).attributes, "Read Only");
    EXPECT_EQ(readFileValues(hidden).attributes, "Hidden");
    std::filesystem::permissions(hidden, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    EXPECT_EQ(readFileValues(hidden).attributes, "Read Only, Hidden");
}

// ---- The command -----------------------------------------------------------------

class PropertiesCommand : public testing::CommandFixture {
protected:
    fProperties* shown() const
    {
        for (fProperties* d : main->findChildren<fProperties*>())
            if (d->isVisible()) return d;
        return nullptr;
    }
    PictureTempDir dir;
};

TEST_F(PropertiesCommand, DescribesTheFileBehindTheActiveDocument)
{
    const std::string path = dir.path("scene.png");
    ASSERT_TRUE(mBitmap::SaveImageFile(path, "png", makePicture(640, 480)));
    openDocument(8, 6, path);
    main->MenuExec("IMAGEPROPERTIES");
    fProperties* dlg = shown();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Image Properties"));
    EXPECT_TRUE(dlg->isModal());
    EXPECT_EQ(dlg->FileName, path);
    // The file is read again: its own size, not the document's.
    EXPECT_EQ(dlg->PWidth->text(), QStringLiteral("640"));
    EXPECT_EQ(dlg->PHeight->text(), QStringLiteral("480"));
    EXPECT_EQ(dlg->PResolution->text(), QStringLiteral("640 x 480"));
    EXPECT_EQ(dlg->PDepth->text(), QStringLiteral("16777216 Colors (True Color)"));
    EXPECT_EQ(dlg->PBits->text(), QStringLiteral("24"));
    EXPECT_EQ(dlg->PName->text(), QStringLiteral("scene.png"));
    EXPECT_EQ(dlg->PSize->text().toStdString(), SizeLabel(std::filesystem::file_size(path)));
    EXPECT_EQ(dlg->PAttribute->text(), QStringLiteral("Normal"));
    EXPECT_FALSE(dlg->PDate->text().isEmpty());

    // Opened again, the earlier one gives way to a fresh one.
    main->MenuExec("IMAGEPROPERTIES");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->findChildren<fProperties*>().size(), 1);

    QPointer<fProperties> last = shown();
    ASSERT_TRUE(last);
    last->cmdExit->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(last.isNull());
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

TEST_F(PropertiesCommand, NothingOpensWithoutAFileBehindTheDocument)
{
    openDocument(5, 5);   // never saved: no file
    main->MenuExec("IMAGEPROPERTIES");
    EXPECT_EQ(shown(), nullptr);

    const std::string gone = dir.path("gone.png");
    ASSERT_TRUE(mBitmap::SaveImageFile(gone, "png", makePicture(5, 5)));
    openDocument(5, 5, gone);
    std::filesystem::remove(gone);
    main->MenuExec("IMAGEPROPERTIES");
    EXPECT_EQ(shown(), nullptr);

    openDocument(5, 5, dir.path(""));   // a folder is no file
    main->MenuExec("IMAGEPROPERTIES");
    EXPECT_EQ(shown(), nullptr);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

} // namespace
} // namespace tq
