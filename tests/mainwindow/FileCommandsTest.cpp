// The open dialog's preview panel, the dialog filters, the extension rules
// and the open command's folder handling.
#include "RecordingSink.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/PictureRouting.h"
#include "mainwindow/FileCommands.h"
#include "platform/FileFilters.h"
#include "support/TestPorts.h"
#include "document/OpenPicture.h"
#include "document/PictureRoutines.h"
#include "mainwindow/OpenPreviewDialog.h"
#include "mainwindow/fMain.h"
#include "mainwindow/Startup.h"

#include <QFileDialog>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace tq;
namespace fs = std::filesystem;

TEST(FileFilters, OpenAndSaveEntriesAsTheDialogsShowThem)
{
    const auto open = OpenFileFilterEntries();
    const auto save = SaveFileFilterEntries();
    ASSERT_EQ(open.size(), 34u);
    ASSERT_EQ(save.size(), 14u);
    struct Case { FileFilterEntry got; const char* caption; const char* patterns; };
    const Case cases[] = {
        {open[1], "Bitmap Files (*.BMP;*.DIB;*.RLE)", "*.bmp;*.dib;*.rle"},
        {open[3], "Graphical Interface Format(*.GIF)", "*.gif"},
        {open[15], "Commodore 64 Koala format (*.KOA)", " *.koa"},
        {open[27], "Alias  PIX (*.PIX)", "*.pix"},
        {open[33], "Raw Data (*.RAW)", "*.raw"},
        {save[0], "All Supported graphic formats ",
         "*.bmp;*.dib;*.rle;*.gif;*.jpg;*.jpeg;*.jpe;*.jif;*.png;*.tga;*.vst;*.vda;*.icb;*.pcx;*.tif;*.pbm;"
         "*.pgm;*.ppm;*.psd;*.raw;*.sgi;*.bw;*.rgb;*.rgba"},
        {save[3], "Independent JPEG Group (*.JPG;*.JPEG)", "*.jpg;*.jpeg;"},
        {save[8], "Portable Bitmap(*.PBM)", "*.pbm"},
        {save[13], "Raw Data (RAW)", "*.raw"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.got.caption, c.caption);
        EXPECT_STREQ(c.got.patterns, c.patterns);
    }
    // Every single-format entry of the open list is among the first entry's
    // patterns (".tiff" is the one it does not list).
    const std::string all = std::string(";") + open[0].patterns + ";";
    for (std::size_t i = 1; i < open.size(); ++i) {
        std::string p = open[i].patterns;
        p.erase(0, p.find_first_not_of(' '));
        for (std::size_t s = 0, e; s < p.size(); s = e + 1) {
            e = p.find(';', s);
            if (e == std::string::npos) e = p.size();
            const std::string one = p.substr(s, e - s);
            if (one == "*.tiff") continue;
            EXPECT_NE(all.find(";" + one + ";"), std::string::npos) << one;
        }
    }
    const std::string joined = OpenFileFilter();
    EXPECT_EQ(std::count(joined.begin(), joined.end(), '|'), 67);
    EXPECT_EQ(joined.rfind("Raw Data (*.RAW)|*.raw"), joined.size() - 22);
    const std::vector<std::string> qt = platform::dialogNameFilters(SaveFileFilter());
    ASSERT_EQ(qt.size(), 14u);
    EXPECT_EQ(qt[3], "Independent JPEG Group (*.JPG;*.JPEG) (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])");
}

TEST(FileFilters, ExtensionRules)
{
    struct Case { const char* path; const char* ext; bool inPlace; const char* folder; };
    const Case cases[] = {
        {"/pics/Photo.JPG", "JPG", true, "/pics/"},
        {"/pics/photo.jpg", "jpg", true, "/pics/"},
        {"/pics/photo.jpeg", "jpeg", false, "/pics/"},
        {"/pics/New.bmp", "bmp", true, "/pics/"},
        {"/pics.d/untitled", "", false, "/pics.d/"},
        {"", "", false, ""},
        {"a.b.PcX", "PcX", true, ""},
        {"/x/y.tiff", "tiff", false, "/x/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileExtension(c.path), c.ext);
        EXPECT_EQ(SavesInPlace(c.path), c.inPlace);
        EXPECT_EQ(FolderWithSlash(c.path), c.folder);
    }
    EXPECT_EQ(ArrangeCode("TILEHORIZONTALLY"), 1);
    EXPECT_EQ(ArrangeCode("TILEVERTICALLY"), 2);
    EXPECT_EQ(ArrangeCode("CASCADE"), 0);
    EXPECT_EQ(ArrangeCode("cascade"), -1);
}

TEST(OpenPreview, SizeLabelAndFit)
{
    struct Size { std::uint64_t bytes; const char* label; };
    const Size sizes[] = {
        {0, "0 KB"}, {512, "0 KB"}, {513, "1 KB"}, {1536, "2 KB"}, {2560, "2 KB"}, {3584, "4 KB"},
        // Past the old 16-bit limit and past 4 GB.
        {33553920ull, "32768 KB"}, {5ull * 1024 * 1024 * 1024, "5242880 KB"},
    };
    for (const Size& s : sizes) EXPECT_EQ(SizeLabel(s.bytes), s.label) << s.bytes;

    struct Fit { QSize pic, room, want; };
    const Fit fits[] = {
        {{50, 40}, {198, 198}, {50, 40}},      // smaller: its own size
        {{640, 480}, {198, 198}, {198, 148}},  // larger: reduced, aspect kept (148.5 to even)
        {{200, 100}, {100, 50}, {100, 50}},   // equal ratios go to the height
        {{100, 400}, {198, 198}, {50, 198}},
        {{198, 198}, {198, 198}, {198, 198}},
        {{0, 10}, {198, 198}, {1, 10}},      // a side is never 0
    };
    for (const Fit& f : fits) {
        int32_t w = 0, h = 0;
        mBitmap::FitSize(f.pic.width(), f.pic.height(), f.room.width(), f.room.height(), w, h);
        EXPECT_EQ(QSize(w, h), f.want) << f.pic.width() << " x " << f.pic.height();
    }
}

TEST(OpenPreview, ShowsAPictureAndClearsItselfForOneItCannotRead)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("big.png");
    QImage(640, 480, QImage::Format_RGB32).save(png);
    const QString small = dir.filePath("small.bmp");
    QImage(3, 2, QImage::Format_RGB32).save(small);
    const QString bad = dir.filePath("broken.png");
    {
        std::ofstream(bad.toStdString(), std::ios::binary) << std::string(1536, 'z');
    }

    frmControls panel;
    panel.show();
    panel.OpenDialogPreview(png);
    EXPECT_EQ(panel.LResolution->text(), "640 x 480");
    EXPECT_TRUE(panel.pic->isVisible());
    EXPECT_EQ(panel.pic->size(), QSize(198, 148));
    EXPECT_EQ(panel.pic->x(), (panel.Fram->width() - 198) / 2);
    EXPECT_FALSE(panel.LType->text().isEmpty());

    panel.OpenDialogPreview(small);
    EXPECT_EQ(panel.LResolution->text(), "3 x 2");
    EXPECT_EQ(panel.pic->size(), QSize(3, 2));
    EXPECT_EQ(panel.pic->pos(), QPoint((panel.Fram->width() - 3) / 2, (panel.Fram->height() - 2) / 2));

    // Undecodable: no picture, no resolution, but the file's own size.
    panel.OpenDialogPreview(bad);
    EXPECT_FALSE(panel.pic->isVisible());
    EXPECT_TRUE(panel.LResolution->text().isEmpty());
    EXPECT_EQ(panel.LSize->text(), "2 KB");
    EXPECT_EQ(panel.ImageWidth, 0);

    // A folder: everything empty.
    panel.OpenDialogPreview(png);
    panel.OpenDialogPreview(dir.path());
    EXPECT_FALSE(panel.pic->isVisible());
    EXPECT_TRUE(panel.LSize->text().isEmpty());
    EXPECT_TRUE(panel.LResolution->text().isEmpty());
}

TEST(OpenPreview, FormatsQtCannotReadGoThroughTheProgramsOwnLoader)
{
    QTemporaryDir dir;
    const QString sgi = dir.filePath("wide.sgi");
    DibRecord picture;
    picture.width = 300;
    picture.height = 150;
    picture.header.biSize = 40;
    picture.header.biWidth = 300;
    picture.header.biHeight = -150;
    picture.header.biPlanes = 1;
    picture.header.biBitCount = 32;
    picture.bits.assign(4u * 300 * 150, 0);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 300; ++x) {
            uint8_t* p = picture.row(y) + 4 * x;
            p[0] = 40;    // blue
            p[1] = 90;    // green
            p[2] = 200;   // red
        }
    ASSERT_TRUE(mBitmap::SaveImageFile(sgi.toStdString(), "sgi", picture));
    ASSERT_FALSE(QImageReader(sgi).canRead()) << "this case needs a format without a Qt reader";
    const QString bad = dir.filePath("broken.sgi");
    {
        std::ofstream(bad.toStdString(), std::ios::binary) << std::string(700, 'q');
    }

    PreloadedBitmap().reset();
    frmControls panel;
    panel.show();
    panel.OpenDialogPreview(sgi);
    EXPECT_EQ(panel.LResolution->text(), "300 x 150");
    EXPECT_EQ(panel.ImageWidth, 300);
    EXPECT_EQ(panel.ImageHeight, 150);
    ASSERT_TRUE(panel.pic->isVisible());
    EXPECT_EQ(panel.pic->size(), QSize(198, 99));
    const QImage shown = panel.pic->pixmap().toImage();
    EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() / 2) & 0xFFFFFFu, qRgb(200, 90, 40) & 0xFFFFFFu);
    // Opening the file takes this decode instead of reading it again.
    ASSERT_NE(PreloadedBitmap(), nullptr);
    EXPECT_EQ(PreloadedBitmap()->sourcePath, sgi.toStdString());

    // Not decodable by either: the panel clears itself and nothing is kept.
    panel.OpenDialogPreview(bad);
    EXPECT_FALSE(panel.pic->isVisible());
    EXPECT_TRUE(panel.LResolution->text().isEmpty());
    EXPECT_EQ(panel.ImageWidth, 0);
    EXPECT_EQ(PreloadedBitmap(), nullptr);
}

TEST(OpenPreview, DialogCarriesThePanelAndPreviewsTheSelection)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("shot.png");
    QImage(64, 32, QImage::Format_RGB32).save(png);
    std::unique_ptr<QFileDialog> dlg(createOpenPreviewDialog(
        {.title = "Talvex Quarlend",
         .filter = OpenFileFilter(),
         .initialDir = dir.path().toStdString(),
         .fileName = {},
         .defaultExt = {}}, nullptr));
    EXPECT_EQ(dlg->windowTitle(), "Talvex Quarlend");
    EXPECT_EQ(dlg->nameFilters().size(), 34);
    EXPECT_EQ(dlg->labelText(QFileDialog::Accept), "Open");
    EXPECT_EQ(dlg->labelText(QFileDialog::FileType), "Select Type");
    auto* panel = dlg->findChild<frmControls*>("frmControls");
    ASSERT_NE(panel, nullptr);
    emit dlg->currentChanged(png);
    EXPECT_EQ(panel->LResolution->text(), "64 x 32");
}

// The preview goes through the loader Open uses, chosen by extension: a PNG
// named .jpg, which Open refuses, gets no preview; a typed name gets one.
TEST(OpenPreview, UsesTheLoaderOpenUsesAndPreviewsATypedName)
{
    QTemporaryDir dir;
    const QString disguised = dir.filePath("photo.jpg");
    ASSERT_TRUE(QImage(40, 30, QImage::Format_RGB32).save(disguised, "PNG"));
    const QString real = dir.filePath("real.jpg");
    ASSERT_TRUE(QImage(50, 20, QImage::Format_RGB32).save(real, "JPG"));
    ASSERT_FALSE(decodePictureForOpening(disguised.toStdString(), "jpg").ok) << "Open refuses it";

    std::unique_ptr<QFileDialog> dlg(createOpenPreviewDialog(
        {.title = "Talvex Quarlend",
         .filter = OpenFileFilter(),
         .initialDir = dir.path().toStdString(),
         .fileName = {},
         .defaultExt = {}}, nullptr));
    auto* panel = dlg->findChild<frmControls*>("frmControls");
    ASSERT_NE(panel, nullptr);
    emit dlg->currentChanged(disguised);
    EXPECT_TRUE(panel->LResolution->text().isEmpty());
    EXPECT_EQ(panel->ImageWidth, 0);
    EXPECT_FALSE(panel->pic->isVisible());

    auto* name = dlg->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    dlg->show();
    name->setFocus();
    QTest::keyClicks(name, "real.jpg");
    EXPECT_EQ(panel->LResolution->text(), "50 x 20");
    dlg->hide();
}

namespace {

} // namespace

TEST(OpenCommand, FolderFallbackPathAndFolderKept)
{
    QTemporaryDir programDir, runtimeDir, pictures;
    ScopedContext context;
    programSettings().OpenFolder.assign("/no/such/folder");
    platform::TestPorts ports;
    platform::FakeFileDialogs& dialog = ports.pictureDialogs;
    StartOptions o;
    o.programFolder = programDir.path().toStdString();
    o.runtimeFolder = runtimeDir.path().toStdString();
    mStart shell(o);
    ASSERT_TRUE(shell.StartApplication());
    std::vector<std::pair<std::string, std::string>> loaded;
    shell.handlers.loadBitmap = [&](const std::string& p, const std::string& e) { loaded.push_back({p, e}); };

    // Cancelled: nothing opens; the missing folder became the program folder.
    programSettings().OpenFolder.assign("/no/such/folder");
    shell.menus().item("FILE", 1)->trigger();
    ASSERT_EQ(dialog.openRequests.size(), 1u);
    EXPECT_EQ(dialog.openRequests[0].initialDir, programDir.path().toStdString());
    EXPECT_EQ(dialog.openRequests[0].title, "Talvex Quarlend");
    EXPECT_EQ(dialog.openRequests[0].filter, OpenFileFilter());
    EXPECT_TRUE(loaded.empty());

    const std::string photo = pictures.filePath("Photo.JPG").toStdString();
    std::ofstream(photo) << "x";
    dialog.answers.push_back(platform::FileDialogAnswer{photo, 1, pictures.path().toStdString()});
    shell.MenuStatic("OPEN");
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].first, photo);     // the name as it is
    EXPECT_EQ(loaded[0].second, "jpg");    // the extension compared in lower case
    EXPECT_EQ(programSettings().OpenFolder.text(), pictures.path().toStdString());
    EXPECT_EQ(dialog.openRequests.back().initialDir, programDir.path().toStdString());

    // A typed name that names no file loses its last four characters (the
    // extension the dialog put on it) before it is opened.
    dialog.answers.push_back(platform::FileDialogAnswer{photo + ".bmp", 1, pictures.path().toStdString()});
    shell.MenuStatic("OPEN");
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[1].first, photo);
    EXPECT_EQ(dialog.openRequests.back().initialDir, pictures.path().toStdString());
    shell.main()->close();
}
