// The current stamp: the built-in pictures, the Stamps folder listing and
// choice, StampBits, and the mask colour swatch.
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/PictureRouting.h"
#include "platform/Folders.h"
#include "platform/QtImage.h"
#include "support/TestPorts.h"
#include "widgets/ColourSwatch.h"
#include "tools/StampPictures.h"
#include "tools/ToolOptionPanel.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tq::tools {
namespace {

namespace fs = std::filesystem;

// A w x h picture in one colour with a mark at its top-left pixel.
QImage picture(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    return img;
}

void writeGif(const fs::path& path, const QImage& img)
{
    ASSERT_TRUE(mBitmap::SaveImageFile(path.string(), "gif", platform::dibFromImage(img)));
}

void writeText(const fs::path& path, const char* text) { std::ofstream(path) << text; }

// Stamp pixel (x, y) as a colour, red in the low byte.
int32_t stampPixel(int x, int y)
{
    const BitsBuffer& b = StampBits();
    return b.at(2, x, y) + 256 * b.at(1, x, y) + 65536 * b.at(0, x, y);
}

struct Stamps : ::testing::Test {
    QTemporaryDir programDir;
    fs::path program{programDir.path().toStdString()};
    fs::path stamps{program / "Stamps"};
    ScopedContext context;
    platform::TestPorts ports;
    std::unique_ptr<ToolOptionPanel> panel;

    void SetUp() override
    {
        platform::setProgramFolder(program.string());
        programSettings() = defaultSettings(program);
    }
    void makePanel()
    {
        panel = std::make_unique<ToolOptionPanel>();
        panel->show();
    }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> e;
        for (int i = 0; i < panel->cbStamps->count(); ++i) e.push_back(panel->cbStamps->itemText(i).toStdString());
        return e;
    }
};

} // namespace

TEST_F(Stamps, BuiltInStampsHaveTheirSizes)
{
    makePanel();
    // The window's load makes built-in stamp 1 current.
    EXPECT_EQ(StampBits().width(), 48);
    EXPECT_EQ(StampBits().height(), 48);
    ASSERT_EQ(panel->icStamp->count(), 9);
    for (int n = 1; n <= 9; ++n) {
        panel->icStamp->setCurrentIndex(n - 1);
        panel->icStamp_Click();
        const int side = n == 2 || n == 3 ? 100 : 48;
        EXPECT_EQ(StampBits().width(), side) << n;
        EXPECT_EQ(StampBits().height(), side) << n;
        // The pixels are the picture's; a corner of every stamp is white
        // background, and the picture is not blank.
        EXPECT_EQ(stampPixel(0, 0), 0xFFFFFF) << n;
        const QImage img = builtInStamp(n);
        EXPECT_EQ(stampPixel(side / 2, side / 2),
                  qRed(img.pixel(side / 2, side / 2)) + 256 * qGreen(img.pixel(side / 2, side / 2)) +
                      65536 * qBlue(img.pixel(side / 2, side / 2)))
            << n;
        EXPECT_EQ(panel->GetStampBits(), StampBits()) << n;
    }
}

TEST_F(Stamps, FolderListsItsDecodablePicturesAndTheFirstBecomesCurrent)
{
    fs::create_directories(stamps / "dir.gif");
    ASSERT_TRUE(picture(30, 20, qRgb(200, 0, 0)).save(QString::fromStdString((stamps / "rose.bmp").string()), "BMP"));
    writeGif(stamps / "star.gif", picture(12, 16, qRgb(0, 0, 255)));
    writeText(stamps / "broken.bmp", "not a picture at all");
    writeText(stamps / "notes.txt", "stamps");
    makePanel();
    panel->Stamp_Init();
    EXPECT_EQ(entries(), (std::vector<std::string>{"rose", "star"}));
    // rose replaced built-in stamp 1.
    EXPECT_EQ(StampBits().width(), 30);
    EXPECT_EQ(StampBits().height(), 20);
    EXPECT_EQ(stampPixel(5, 5), 200);
    EXPECT_EQ(stampPixel(0, 0), 1 + 256 * 2 + 65536 * 3);
    // The "Defined" list still shows item 1.
    EXPECT_EQ(panel->icStamp->currentIndex(), 0);

    panel->cbStamps->setCurrentIndex(1);
    panel->cbStamps_Click();
    EXPECT_EQ(StampBits().width(), 12);
    EXPECT_EQ(stampPixel(4, 4), 0xFF0000);

    // A file spoilt after the listing keeps the stamp as it was and leaves
    // the list, which shows the stamp's entry again.
    writeText(stamps / "rose.bmp", "spoilt");
    panel->cbStamps->setCurrentIndex(0);
    panel->cbStamps_Click();
    EXPECT_EQ(StampBits().width(), 12);
    EXPECT_EQ(stampPixel(4, 4), 0xFF0000);
    EXPECT_EQ(entries(), std::vector<std::string>{"star"});
    EXPECT_EQ(panel->cbStamps->currentIndex(), 0);
    EXPECT_EQ(panel->flStamps, std::vector<std::string>{"star.gif"});
}

// Listing reads a few bytes of each file; a picture is decoded when it is
// chosen. A 4000 x 4000 stamp used to be decoded twice at start-up.
TEST_F(Stamps, ListingDecodesNothingAndABadPictureLeavesWhenChosen)
{
    fs::create_directories(stamps);
    writeText(stamps / "a-cut.gif", "GIF89a and then nothing a decoder could use");
    ASSERT_TRUE(picture(30, 20, qRgb(200, 0, 0)).save(QString::fromStdString((stamps / "b-rose.bmp").string()), "BMP"));
    writeText(stamps / "c-cut.bmp", "BM.............\x28 but no picture");
    writeGif(stamps / "d-star.gif", picture(12, 16, qRgb(0, 0, 255)));
    makePanel();
    panel->Stamp_Init();
    // The header is all the listing looks at.
    EXPECT_EQ(entries(), (std::vector<std::string>{"a-cut", "b-rose", "d-star"}));
    // Nothing decoded yet: built-in stamp 1 is the picture until the stamp
    // is needed, and the first entry is shown chosen.
    EXPECT_TRUE(programContext().PendingStamp);
    EXPECT_EQ(panel->iStamp.width, 48);
    EXPECT_EQ(panel->cbStamps->currentIndex(), 0);

    // Needed: the first entry does not decode and leaves; the next is taken.
    EXPECT_EQ(StampBits().width(), 30);
    EXPECT_FALSE(programContext().PendingStamp);
    EXPECT_EQ(entries(), (std::vector<std::string>{"b-rose", "d-star"}));
    EXPECT_EQ(panel->cbStamps->currentIndex(), 0);

    // A built-in choice, then a file that no longer decodes: the built-in
    // stamp stays, the file leaves, the list shows the entry it showed.
    panel->icStamp->setCurrentIndex(1);
    panel->icStamp_Click();
    writeText(stamps / "d-star.gif", "GIF89a spoilt");
    panel->cbStamps->setCurrentIndex(1);
    panel->cbStamps_Click();
    EXPECT_EQ(StampBits().width(), 100);
    EXPECT_EQ(entries(), std::vector<std::string>{"b-rose"});
    EXPECT_EQ(panel->cbStamps->currentIndex(), 0);
}

// The stamp waiting at start-up is made current when its preview is shown,
// and dropped unread when another stamp is chosen first.
TEST_F(Stamps, TheStartUpStampIsDecodedWhenFirstNeeded)
{
    fs::create_directories(stamps);
    ASSERT_TRUE(picture(30, 20, qRgb(200, 0, 0)).save(QString::fromStdString((stamps / "rose.bmp").string()), "BMP"));
    makePanel();
    panel->Stamp_Init();
    ASSERT_TRUE(programContext().PendingStamp);
    panel->Tool_Frame();
    panel->Stamp->show();
    EXPECT_FALSE(programContext().PendingStamp);
    EXPECT_EQ(panel->iStamp.width, 30);
    EXPECT_EQ(programContext().StampBits.width(), 30);
    ASSERT_FALSE(panel->iStampD->pixmap().isNull());
    EXPECT_EQ(panel->iStampD->pixmap().size(), panel->iStampD->size());

    ScopedContext next;
    platform::TestPorts nextPorts;
    programSettings() = defaultSettings(program);
    ToolOptionPanel again;
    again.Stamp_Init();
    ASSERT_TRUE(programContext().PendingStamp);
    again.icStamp->setCurrentIndex(2);
    again.icStamp_Click();
    EXPECT_FALSE(programContext().PendingStamp);
    EXPECT_EQ(again.iStamp.width, 100);
    EXPECT_EQ(StampBits().width(), 100);
}

TEST_F(Stamps, HeaderChecksByKind)
{
    fs::create_directories(stamps);
    const auto file = [&](const char* name, const std::string& bytes) {
        std::ofstream(stamps / name, std::ios::binary) << bytes;
        return (stamps / name).string();
    };
    const std::string bmpHeader = std::string("BM") + std::string(12, '\0') + std::string("\x28\0\0\0", 4);
    struct Case {
        const char* name;
        std::string bytes;
        const char* ext;
        bool sound;
    };
    const Case cases[] = {
        {"a.bmp", bmpHeader, "bmp", true},
        {"b.bmp", std::string("BM") + std::string(12, '\0') + std::string("\x29\0\0\0", 4), "bmp", false},
        {"c.bmp", "BM", "bmp", false},   // shorter than a header
        {"d.gif", "GIF87a" + std::string(12, 'x'), "gif", true},
        {"e.gif", "GIF88a" + std::string(12, 'x'), "gif", false},
        {"f.ico", std::string("\0\0\1\0\1\0", 6) + std::string(12, '\0'), "ico", true},
        {"g.ico", std::string("\0\0\2\0\1\0", 6) + std::string(12, '\0'), "ico", false},   // a cursor
        {"h.ico", std::string("\0\0\1\0\0\0", 6) + std::string(12, '\0'), "ico", false},   // no image
        {"i.gif", bmpHeader, "gif", false},   // the kind goes by the extension
    };
    for (const Case& c : cases) EXPECT_EQ(stampHeaderSound(file(c.name, c.bytes), c.ext), c.sound) << c.name;
}

TEST_F(Stamps, ListingComparesExtensionsWithoutCase)
{
    fs::create_directories(stamps);
    ASSERT_TRUE(picture(4, 4, qRgb(9, 9, 9)).save(QString::fromStdString((stamps / "Moon.BMP").string()), "BMP"));
    ASSERT_TRUE(picture(4, 4, qRgb(9, 9, 9)).save(QString::fromStdString((stamps / "sun.Ico").string()), "ICO"));
    ASSERT_TRUE(picture(4, 4, qRgb(9, 9, 9)).save(QString::fromStdString((stamps / "leaf.png").string()), "PNG"));
    writeGif(stamps / "apple.GIF", picture(3, 3, qRgb(1, 1, 1)));
    EXPECT_EQ(ListStampFiles(stamps.string()), (std::vector<std::string>{"apple.GIF", "Moon.BMP", "sun.Ico"}));
    EXPECT_EQ(stampEntryCaption("Moon.BMP"), "Moon");
}

TEST_F(Stamps, WithoutStampPicturesBuiltInStampOneStays)
{
    makePanel();
    panel->Stamp_Init();   // no Stamps folder
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(StampBits().width(), 48);

    fs::create_directories(stamps);
    writeText(stamps / "broken.gif", "GIF89a but nothing more");
    ScopedContext next;
    platform::TestPorts nextPorts;
    programSettings() = defaultSettings(program);
    ToolOptionPanel again;
    again.Stamp_Init();
    // Listed by its header, dropped when it is needed and does not decode.
    EXPECT_EQ(StampBits().width(), 48);
    EXPECT_EQ(again.cbStamps->count(), 0);
}

TEST_F(Stamps, MaskColourSwatchAsksThePickerAndKeepsACancel)
{
    makePanel();
    programSettings().StampMaskColor = 0x00FF00;
    panel->Stamp_Init();
    panel->Tool_Frame();
    panel->Stamp->show();
    EXPECT_EQ(panel->MaskColor->BackColor(), 0x00FF00);

    ports.colourPicker.answers = {std::nullopt, 255};
    QTest::mouseClick(panel->MaskColor, Qt::LeftButton);
    EXPECT_EQ(ports.colourPicker.asked, (std::vector<int32_t>{0x00FF00}));
    EXPECT_EQ(panel->MaskColor->BackColor(), 0x00FF00);
    EXPECT_EQ(programSettings().StampMaskColor, 0x00FF00);
    QTest::mouseClick(panel->MaskColor, Qt::LeftButton);
    EXPECT_EQ(panel->MaskColor->BackColor(), 255);
    EXPECT_EQ(programSettings().StampMaskColor, 255);
}

} // namespace tq::tools
