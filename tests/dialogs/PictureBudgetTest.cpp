// Every way of making a picture of a new size holds it to the memory budget
// opening uses before anything is allocated, and names the refused size. A
// 32767 x 1 picture turned by 45 degrees used to build its 32767 x 32767
// work canvas twice over (8 GB). The budget here is 1 MB, so nothing
// refused ever comes near a real allocation.
#include "DialogFixture.h"
#include "document/PictureFixtures.h"

#include "dialogs/fCanvas.h"
#include "dialogs/fNew.h"
#include "dialogs/fRotate.h"
#include "dialogs/fSize.h"
#include "core/PictureMemory.h"

#include <QCheckBox>
#include <QPushButton>

#include <functional>

namespace tq {
namespace {

using testing::CountingImage;

constexpr uint64_t kBudget = 1u << 20;   // 262144 pixels

class PictureBudget : public testing::DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        setPictureMemoryBudget(kBudget);   // this test's context only
    }

    template <class Dialog>
    void sizeDialogOK(const char* key, const char* caption, const char* w, const char* h)
    {
        auto* dlg = open<Dialog>(key, caption);
        ASSERT_NE(dlg, nullptr);
        dlg->chkKeepProportions->setChecked(false);
        dlg->txtW->setText(QString::fromLatin1(w));   // five digits: more than can be typed
        dlg->txtH->setText(QString::fromLatin1(h));
        dlg->cmdOK->click();
        // Refused like a size too large for a side: the dialog stays.
        EXPECT_TRUE(dlg->isVisible());
        dlg->cmdCancel_Click();
    }
};

} // namespace

TEST_F(PictureBudget, EveryNewSizeIsCheckedBeforeItIsMadeAndNamedWhenRefused)
{
    struct Case {
        const char* what;
        int docW, docH;   // 0: no document
        std::function<void()> act;
        const char* size;   // of the picture refused
    };
    const Case cases[] = {
        {"rotate dialog, 45 degrees", 32767, 1,
         [this] {
             auto* dlg = open<fRotate>("IMAGEROTATE", "Rotation ...");
             ASSERT_NE(dlg, nullptr);
             dlg->setAngle(45);
             dlg->chkAntialiasing->setChecked(true);
             dlg->cmdOK->click();
         },
         "32767 x 32767"},   // the square the picture turns on
        {"rotation key", 32767, 1, [this] { main->MenuExec("A45"); }, "32767 x 32767"},
        {"image size", 20, 10,
         [this] { sizeDialogOK<fSize>("IMAGESIZE", "Image Size ...", "32767", "32767"); },
         "32767 x 32767"},
        {"canvas size", 20, 10,
         [this] { sizeDialogOK<fCanvas>("CANVASSIZE", "Canvas ...", "32767", "32767"); },
         "32767 x 32767"},
        {"new image", 0, 0,
         [this] {
             auto* dlg = open<fNew>("NEW", "New", true);
             ASSERT_NE(dlg, nullptr);
             dlg->txtW->setText(QStringLiteral("32767"));
             dlg->txtH->setText(QStringLiteral("32767"));
             dlg->cmdOK->click();
             EXPECT_TRUE(dlg->isVisible());
             dlg->cmdCancel_Click();
         },
         "32767 x 32767"},
        {"quality zoom in", 300, 300, [this] { main->MenuExec("5x"); }, "1500 x 1500"},
        {"new from the clipboard", 0, 0,
         [this] {
             ports.clipboard.picture = testing::makePicture(600, 600);
             main->MenuExec("CREATEFROMCLIPBOARD");
         },
         "600 x 600"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ports.messageBoxes.shown.clear();
        CountingImage* doc = c.docW ? openDocument(c.docW, c.docH) : nullptr;
        const int documents = documentCount();
        c.act();

        ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
        const platform::MessageBoxRequest& m = ports.messageBoxes.shown[0];
        EXPECT_EQ(m.text.rfind("The new picture would be too large: " + std::string(c.size) + " pixels need ", 0), 0u)
            << m.text;
        EXPECT_NE(m.text.find("more than the 1 MB"), std::string::npos) << m.text;
        EXPECT_EQ(m.icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(m.title, "Talvex Quarlend");
        EXPECT_EQ(documentCount(), documents);
        if (doc) {
            EXPECT_EQ(doc->PictureWidth(), c.docW);
            EXPECT_EQ(doc->PictureHeight(), c.docH);
            EXPECT_EQ(doc->Bits(), testing::patternBits(c.docW, c.docH));
            EXPECT_EQ(doc->snapshots, 0);
            EXPECT_FALSE(doc->Changed);
            EXPECT_TRUE(engineMirrors(*doc));
            closeDocument(doc);
        }
    }
}

// The same operations within the budget are made as ever.
TEST_F(PictureBudget, WithinTheBudgetTheChangeIsMade)
{
    CountingImage* doc = openDocument(100, 100);
    main->MenuExec("5x");   // 500 x 500: 1000000 bytes
    EXPECT_EQ(doc->PictureWidth(), 500);
    EXPECT_EQ(doc->snapshots, 1);
    main->MenuExec("A45");   // a square of 707: 1999396 bytes
    EXPECT_EQ(doc->PictureWidth(), 500);
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
    setPictureMemoryBudget(4u * 707u * 707u);
    main->MenuExec("A45");
    EXPECT_EQ(doc->PictureWidth(), 707);
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
}

} // namespace tq
