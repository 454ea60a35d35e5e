// The textures window in a main window with documents: its state at load,
// the tile-effect menu and the strength row, rolling up, the From File list
// and its filter, and each tile source through each tile effect laid over
// the selection of the active picture as one undo step; the refusals of a
// tile too small, a file that does not load and a text that fits no size.
#include "toolwindows/ToolWindowFixture.h"

#include "document/cBitRegion.h"
#include "platform/QtImage.h"
#include "widgets/UpDownBar.h"
#include "widgets/cpvSlider.h"
#include "tools/BundledFont.h"
#include "tools/TextureApply.h"
#include "toolwindows/TexturePictures.h"
#include "toolwindows/ToolWindowRegistry.h"
#include "toolwindows/ToolWindows.h"
#include "toolwindows/fToolTextures.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <cstring>
#include <functional>

namespace tq::testing {
namespace {

class TexturesWindowTest : public ToolWindowFixture {
protected:
    void SetUp() override
    {
        ToolWindowFixture::SetUp();
        window = new fToolTextures(main.get());
        window->show();
        QCoreApplication::processEvents();
    }

    // The From File list of a folder, as the browse button shows it.
    void browseTo(const QString& folder)
    {
        window->showFolderChooser = [folder] { PickedFolder() = folder.toStdString(); };
        window->TB_FromFile_ButtonClick(1);
    }
    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < window->ListFile->count(); ++i) out << window->ListFile->item(i)->text();
        return out;
    }
    static void touch(const QString& path, const QByteArray& bytes = "x")
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A picture file of w x h with a pattern of its own.
    static void savePicture(const QString& path, int w, int h)
    {
        QImage img(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(30 + 9 * x, 60 + 11 * y, (37 * x + 23 * y) % 256));
        ASSERT_TRUE(img.save(path, "BMP"));
    }
    void chooseFile(const QString& folder, const QString& name)
    {
        browseTo(folder);
        const auto found = window->ListFile->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        window->ListFile_Click(window->ListFile->row(found.front()));
    }

    QTemporaryDir files;
    fToolTextures* window = nullptr;
};

TEST_F(TexturesWindowTest, LoadsWithItsInitialChoices)
{
    EXPECT_EQ(window->LMessage->text(), "Textures: Emboss");
    EXPECT_EQ(window->TileEffect(), 8);
    EXPECT_EQ(window->BR->Value(), 3);
    EXPECT_EQ(window->brUDT->text(), "3");
    EXPECT_EQ(window->brUD->value(), 3);
    EXPECT_TRUE(window->picBR->isVisibleTo(window));

    ASSERT_EQ(window->cboSize->count(), 114);
    EXPECT_EQ(window->cboSize->itemText(0), "7");
    EXPECT_EQ(window->cboSize->itemText(113), "120");
    EXPECT_EQ(window->cboSize->currentText(), "11");
    EXPECT_EQ(window->cboAlign->count(), 4);
    EXPECT_EQ(window->cboAlign->currentText(), "Left Justify");
    EXPECT_EQ(window->cboShadow->count(), 9);
    EXPECT_EQ(window->cboShadow->currentIndex(), 4);
    EXPECT_EQ(window->cboShadow->currentText(), "No Shadow");
    EXPECT_EQ(window->txtText->toPlainText(), "Type your text here!!!!!\n");
    // The font list is sorted, the second name chosen.
    ASSERT_GT(window->cboFont->count(), 1);
    EXPECT_EQ(window->cboFont->currentIndex(), 1);
    for (int i = 1; i < window->cboFont->count(); ++i)
        EXPECT_LE(QString::compare(window->cboFont->itemText(i - 1), window->cboFont->itemText(i), Qt::CaseInsensitive),
                  0);

    EXPECT_FALSE(window->FileChosen());
    EXPECT_EQ(window->FileFolder(), QDir::currentPath().toStdString());
    EXPECT_EQ(window->ListFile->count(), 0);
    EXPECT_EQ(window->ActiveTab(), 0);
    EXPECT_TRUE(window->FDefined->isVisibleTo(window));
    EXPECT_FALSE(window->FText->isVisibleTo(window));
    EXPECT_FALSE(window->FFromFile->isVisibleTo(window));
    EXPECT_EQ(window->pMmTag(), "0");
    EXPECT_EQ(window->height(), twipsToPx(2800));
    EXPECT_EQ(window->MarkedBox(), 0);
    EXPECT_EQ(window->ppB->pos(), window->pp[0]->pos());

    // The scroll bar reaches the last row: 377 - 113 pixels.
    EXPECT_TRUE(window->V->isEnabled());
    EXPECT_EQ(window->V->maximum(), 264);
    EXPECT_EQ(window->V->singleStep(), 50);
    EXPECT_EQ(window->V->pageStep(), 100);
    window->V->setValue(264);
    EXPECT_EQ(window->picTxt->y(), -264);
    const int frame = window->picFrame->contentsRect().height();
    for (int box : {27, 34, 32}) {
        const QWidget* b = window->pp[static_cast<size_t>(box)];
        EXPECT_LE(window->picTxt->y() + b->y() + b->height(), frame) << box;
        EXPECT_GE(window->picTxt->y() + b->y(), 0) << box;
    }
}

TEST_F(TexturesWindowTest, TheDefinedTexturesHaveTheirSizes)
{
    for (int i = 0; i < kDefinedTextureCount; ++i) {
        const QImage& p = definedTexturePicture(i);
        ASSERT_FALSE(p.isNull()) << i;
        if (i < 28) {
            EXPECT_GE(p.width(), 106) << i;
            EXPECT_LE(p.width(), 130) << i;
            EXPECT_GE(p.height(), 95) << i;
            EXPECT_LE(p.height(), 116) << i;
        } else {
            EXPECT_EQ(p.size(), QSize(120, 120)) << i;
        }
        // A texture, not a flat colour.
        QSet<QRgb> colours;
        for (int y = 0; y < p.height(); y += 3)
            for (int x = 0; x < p.width(); x += 3) colours.insert(p.pixel(x, y));
        EXPECT_GT(colours.size(), 1) << i;
        EXPECT_EQ(&definedTexturePicture(i), &definedTexturePicture(i));
    }
    EXPECT_TRUE(definedTexturePicture(35).isNull());
}

TEST_F(TexturesWindowTest, TheEffectMenuGreysTheChoiceAndShowsTheStrengthWhereItCounts)
{
    window->TileEffectItems[10]->trigger();   // Erode
    EXPECT_EQ(window->TileEffect(), 11);
    EXPECT_EQ(window->LMessage->text(), "Textures: Erode");
    EXPECT_FALSE(window->TileEffectItems[10]->isEnabled());
    EXPECT_FALSE(window->picBR->isVisibleTo(window));

    window->TileEffectItems[24]->trigger();   // Rotate
    EXPECT_EQ(window->TileEffect(), 25);
    EXPECT_EQ(window->LMessage->text(), "Textures: Rotate");
    EXPECT_TRUE(window->TileEffectItems[10]->isEnabled());
    EXPECT_FALSE(window->TileEffectItems[24]->isEnabled());
    EXPECT_TRUE(window->picBR->isVisibleTo(window));
    // Choosing changes nothing in the document.
    EXPECT_EQ(openPlain(8, 8, 1, 2, 3)->snapshots, 0);
}

// The menu opens at its button also after the window manager has put the
// window at 0,0 on its own (the window goes back to its place).
TEST_F(TexturesWindowTest, TheEffectMenuOpensAtItsButton)
{
    window->move(300, 200);
    QCoreApplication::processEvents();
    window->windowHandle()->setPosition(0, 0);
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    const QPoint button = window->tbEffects->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(button, window->tbEffects->mapTo(window, QPoint(0, 0)) + QPoint(300, 200));
    QPoint opened;
    QTimer::singleShot(0, window, [&] {
        opened = window->mnuTileEffects->pos();
        window->mnuTileEffects->close();
    });
    window->tbEffects->showMenu();
    EXPECT_EQ(opened.x(), button.x());
}

// A window that goes away while it has the keyboard hands it to the main
// window; a window of the program that takes it over keeps it.
TEST_F(TexturesWindowTest, LosingTheKeyboardHandsItToTheMainWindow)
{
    const auto activate = [](QWidget* w) {
        w->activateWindow();
        return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }, 2000);
    };
    ASSERT_TRUE(activate(window));
    window->hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == main.get(); }, 2000));

    window->show();
    ASSERT_TRUE(activate(window));
    QWidget other;
    other.show();
    ASSERT_TRUE(activate(&other));
    QTest::qWait(20);
    EXPECT_EQ(QApplication::activeWindow(), &other);
}

TEST_F(TexturesWindowTest, RollsUpTo655TwipsAndATabUnrollsIt)
{
    const int width = window->width();
    window->pMm_Click();
    EXPECT_EQ(fToolTextures::rolledUpHeightTwips(), 655);
    EXPECT_EQ(window->height(), twipsToPx(655));
    EXPECT_EQ(window->width(), width);
    EXPECT_EQ(window->pMmTag(), "1");
    EXPECT_TRUE(programSettings().TexturesBoxCollapsed);
    window->pMm_Click();
    EXPECT_EQ(window->height(), twipsToPx(2800));
    EXPECT_FALSE(programSettings().TexturesBoxCollapsed);

    // A tab brings the full height back but keeps the saved flag.
    window->pMm_Click();
    window->tab_Click(2);
    EXPECT_EQ(window->height(), twipsToPx(2800));
    EXPECT_EQ(window->pMmTag(), "0");
    EXPECT_TRUE(programSettings().TexturesBoxCollapsed);
    EXPECT_TRUE(window->FFromFile->isVisibleTo(window));
    EXPECT_FALSE(window->FDefined->isVisibleTo(window));
}

TEST_F(TexturesWindowTest, TheStrengthRowKeepsItsThreeControlsInStep)
{
    window->brUDT->setText("250");
    EXPECT_EQ(window->brUDT->text(), "100");
    EXPECT_EQ(window->BR->Value(), 100);
    EXPECT_EQ(window->brUD->value(), 100);
    // The lower arrow at 100 does nothing.
    window->brUD->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window->BR->Value(), 100);

    window->brUDT->setText("");
    EXPECT_EQ(window->brUDT->text(), "1");
    EXPECT_EQ(window->brUDT->selectedText(), "1");
    EXPECT_EQ(window->BR->Value(), 1);

    window->brUD->setValue(57);
    EXPECT_EQ(window->BR->Value(), 57);
    EXPECT_EQ(window->brUDT->text(), "57");
    window->BR->setValue(12);
    EXPECT_EQ(window->brUDT->text(), "12");
    EXPECT_EQ(window->brUD->value(), 12);

    // Only digits and Backspace reach the text box.
    window->brUDT->setFocus();
    window->brUDT->selectAll();
    QTest::keyClicks(window->brUDT, "a4-");
    EXPECT_EQ(window->brUDT->text(), "4");
    EXPECT_EQ(window->BR->Value(), 4);
}

TEST_F(TexturesWindowTest, TheFileListShowsOnlyPicturesOfTheFourKinds)
{
    const QString dir = files.path();
    for (const char* name : {"a.JPG", "b.jpeg", "c.png", "d.Bmp", "e", "f.tar.gif"})
        touch(dir + "/" + QString::fromLatin1(name));
    touch(dir + "/.hidden.bmp");
    browseTo(dir);
    EXPECT_EQ(window->FileFolder(), dir.toStdString());
    EXPECT_EQ(listed(), (QStringList{"a.JPG", "d.Bmp", "f.tar.gif"}));

    // Cancel hands over "": the folder and the list stay.
    browseTo(QString());
    EXPECT_EQ(window->FileFolder(), dir.toStdString());
    EXPECT_EQ(listed(), (QStringList{"a.JPG", "d.Bmp", "f.tar.gif"}));

    // A folder without files keeps the list; one whose files are of other
    // kinds empties it.
    ASSERT_TRUE(QDir(dir).mkdir("empty"));
    browseTo(dir + "/empty");
    EXPECT_EQ(listed(), (QStringList{"a.JPG", "d.Bmp", "f.tar.gif"}));
    ASSERT_TRUE(QDir(dir).mkdir("others"));
    touch(dir + "/others/x.png");
    browseTo(dir + "/others");
    EXPECT_TRUE(listed().isEmpty());

    // A click builds the path in the listing's folder; an entry that does
    // not load leaves the preview empty but is chosen all the same.
    browseTo(dir);
    window->ListFile_Click(1);
    EXPECT_TRUE(window->FileChosen());
    EXPECT_EQ(window->ChosenFilePath(), (dir + "/d.Bmp").toStdString());
    EXPECT_TRUE(window->pic->pixmap().isNull());
}

TEST_F(TexturesWindowTest, EachSourceThroughEachEffectTexturesOnlyTheSelection)
{
    TQ_REQUIRE_BUNDLED_FONT();
    CountingImage* doc = openDocument(40, 30);
    doc->BitsRegion.CreateRect(5, 4, 31, 23, 2, false);
    const Region* selection = doc->BitsRegion.walkRegion();
    ASSERT_NE(selection, nullptr);

    const QString dir = files.path();
    savePicture(dir + "/tile.bmp", 23, 17);
    chooseFile(dir, "tile.bmp");
    window->cboFont->setCurrentText(bundledFontFamily());
    ASSERT_EQ(window->cboFont->currentText(), bundledFontFamily());
    window->cboSize->setCurrentText("20");
    window->txtText->setPlainText("Hi there");
    window->BR->setValue(7);

    struct Source {
        const char* label;
        std::function<void()> apply;
    };
    const std::vector<Source> sources = {
        {"Texture : Defined", [&] { window->pp_Click(6); }},
        {"Texture : Text", [&] { window->TB_Tools_ButtonClick(7); }},
        {"Texture : from File", [&] { window->TB_FromFile_ButtonClick(2); }},
    };
    for (int effect = 1; effect <= kTileEffectCount; ++effect) {
        window->TileEffectItems[static_cast<size_t>(effect - 1)]->trigger();
        for (const Source& source : sources) {
            SCOPED_TRACE(std::string(source.label) + " / " + window->LMessage->text().toStdString());
            const BitsBuffer before = doc->Bits();
            const int steps = doc->snapshots;
            LastActionName() = "Step";
            source.apply();
            EXPECT_EQ(doc->snapshots, steps + 1);
            EXPECT_EQ(LastActionName(), source.label);
            // The tile after its effect, laid over the selection only.
            cBitFilter engine;
            engine.setBits(before);
            const FilterResult want = TextureApply::texturize(engine, selection, window->TileBits());
            ASSERT_TRUE(want.has_value());
            ASSERT_EQ(doc->Bits(), *want);
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 40; ++x)
                    if (!selection->contains(x, y)) {
                        ASSERT_EQ(std::memcmp(doc->Bits().pixel(x, y), before.pixel(x, y), 4), 0) << x << "," << y;
                    }
            EXPECT_TRUE(engineMirrors(*doc));
        }
    }
    // The tile of a defined texture is that picture after the effect (the
    // last effect, XBlack, draws no random numbers).
    cBitFilter tile;
    ASSERT_TRUE(TextureApply::makeTile(tile, platform::dibFromImage(definedTexturePicture(6)), 33, 7));
    window->pp_Click(6);
    EXPECT_EQ(window->TileBits(), tile.Bits());
    EXPECT_EQ(window->pT().width, definedTexturePicture(6).width());
}

TEST_F(TexturesWindowTest, WithoutASelectionTheWholePictureIsTextured)
{
    CountingImage* doc = openDocument(20, 12);
    const BitsBuffer before = doc->Bits();
    window->pp_Click(3);
    ASSERT_EQ(doc->snapshots, 1);
    cBitFilter engine;
    engine.setBits(before);
    const Region whole = Region::rect(0, 0, 20, 12);
    EXPECT_EQ(doc->Bits(), *TextureApply::texturize(engine, &whole, window->TileBits()));
    EXPECT_EQ(window->MarkedBox(), 3);
    EXPECT_EQ(window->ppB->pos(), window->pp[3]->pos());
}

TEST_F(TexturesWindowTest, AThumbnailClickMarksItAndApplies)
{
    CountingImage* doc = openDocument(16, 16);
    PictureBox* box = window->pp[9];
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->MarkedBox(), 9);
    EXPECT_FALSE(box->hasBorder());
    EXPECT_EQ(doc->snapshots, 0);
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(box->hasBorder());
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(LastActionName(), "Texture : Defined");
}

TEST_F(TexturesWindowTest, RefusedTilesRecordNoStep)
{
    CountingImage* doc = openDocument(12, 10);
    const BitsBuffer before = doc->Bits();
    const QString dir = files.path();
    savePicture(dir + "/thin.bmp", 1, 5);
    touch(dir + "/broken.bmp", "not a picture");

    struct Case {
        QString file;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"thin.bmp", TextureApply::kTileTooSmall},
        {"broken.bmp", TextureApply::fileNotLoaded((dir + "/broken.bmp").toStdString())},
    };
    for (const Case& c : cases) {
        chooseFile(dir, c.file);
        const size_t shown = ports.messageBoxes.shown.size();
        window->TB_FromFile_ButtonClick(2);
        ASSERT_EQ(ports.messageBoxes.shown.size(), shown + 1);
        EXPECT_EQ(ports.messageBoxes.shown.back().text, c.message);
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_EQ(doc->Bits(), before);
    }
}

TEST_F(TexturesWindowTest, TextThatFitsNoSizeIsNotApplied)
{
    TQ_REQUIRE_BUNDLED_FONT();
    CountingImage* doc = openDocument(12, 10);
    const BitsBuffer before = doc->Bits();
    window->cboFont->setCurrentText(bundledFontFamily());
    window->cboSize->setCurrentText("7");
    window->txtText->setPlainText("abc");
    window->TB_Tools_ButtonClick(7);
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, "Unable to find suitable font size for text");
    EXPECT_EQ(ports.messageBoxes.shown[0].icon, platform::MsgIcon::None);
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_EQ(doc->Bits(), before);

    // An empty text does nothing at all.
    window->txtText->setPlainText("");
    window->TB_Tools_ButtonClick(7);
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(doc->snapshots, 0);
}

TEST_F(TexturesWindowTest, NothingHappensWithoutADocumentOrAChosenFile)
{
    window->pp_Click(2);
    window->TB_Tools_ButtonClick(7);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_EQ(window->MarkedBox(), 2);

    CountingImage* doc = openDocument(8, 8);
    window->TB_FromFile_ButtonClick(2);   // no entry clicked yet
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

TEST_F(TexturesWindowTest, TheStyleButtonsToggle)
{
    window->TB_Tools_ButtonClick(1);
    EXPECT_TRUE(window->StyleBold());
    EXPECT_TRUE(window->TB_ToolsButtons[1]->isChecked());
    window->TB_Tools_ButtonClick(1);
    EXPECT_FALSE(window->StyleBold());
    EXPECT_FALSE(window->TB_ToolsButtons[1]->isChecked());
    window->TB_ToolsButtons[4]->trigger();
    EXPECT_TRUE(window->StyleStrikethru());
    EXPECT_TRUE(window->TB_ToolsButtons[4]->isChecked());
    EXPECT_FALSE(window->StyleItalic());
    EXPECT_FALSE(window->StyleUnderline());
}

TEST_F(TexturesWindowTest, TheRegistryMakesTheWindow)
{
    registerBuiltToolWindows();
    ToolWindowSlot* slot = toolWindowByName("fToolTextures");
    ASSERT_NE(slot, nullptr);
    ASSERT_TRUE(static_cast<bool>(slot->create));
    QWidget* made = slot->create(main.get());
    EXPECT_NE(qobject_cast<fToolTextures*>(made), nullptr);
    EXPECT_EQ(made->objectName(), "fToolTextures");
    unregisterBuiltToolWindows();
    delete made;
}

} // namespace
} // namespace tq::testing
