// The "Total Actions" panel of a document counts the steps up to the state
// shown, whichever way the step came: a command key, a texture from each
// tab, an effect, a paste, a brush stroke, a crop, a jump in the history,
// undo and redo, a capture. It always says what the history rows say.
#include "toolwindows/ToolWindowFixture.h"

#include "document/HistoryModel.h"
#include "document/ImageCanvas.h"
#include "document/StatusPanels.h"
#include "effects/library/EffectsLibrary.h"
#include "tools/BundledFont.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolKeys.h"
#include "toolwindows/fToolTextures.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QToolButton>

#include <functional>

namespace tq::testing {
namespace {

class ActionCount : public HistoryWindowFixture {
protected:
    void SetUp() override
    {
        HistoryWindowFixture::SetUp();
        textures = new fToolTextures(main.get());
        textures->show();
        QCoreApplication::processEvents();
    }

    // The counter, the panel and the history rows agree on n.
    static ::testing::AssertionResult counts(const fImage& doc, int n)
    {
        const std::string panel = doc.sbInfo->panelText(2).toStdString();
        const std::string want = "Total Actions: " + std::to_string(n);
        if (doc.Undopos() != n || panel != want || programHistory().ImageID != doc.MeID ||
            programHistory().Pindicator().row != n - 1)
            return ::testing::AssertionFailure()
                   << "Undopos " << doc.Undopos() << ", panel \"" << panel << "\", marker on row "
                   << programHistory().Pindicator().row << ", want " << n;
        return ::testing::AssertionSuccess();
    }

    void chooseTool(const std::string& key)
    {
        for (const tools::ToolButtonSpec& b : tools::kToolButtons)
            if (key == b.key) QTest::mouseClick(main->tbTool->button(b.index), Qt::LeftButton);
    }

    fToolTextures* textures = nullptr;
};

TEST_F(ActionCount, EveryWayOfRecordingAStepShowsItsCount)
{
    CountingImage* doc = openDocument(40, 30);
    ASSERT_TRUE(counts(*doc, 1));
    const QString font = bundledFontFamily();
    ASSERT_FALSE(font.isEmpty());
    textures->cboFont->setCurrentText(font);
    textures->cboSize->setCurrentText("20");
    textures->txtText->setPlainText("Hi");
    const auto canvasPoint = [&](int x, int y) { return QPoint(x - doc->hSB->Value(), y - doc->vSB->Value()); };

    struct Way {
        const char* name;
        std::function<void()> run;
        int count;
        bool recorded = true;   // false: moves among the steps there are
    };
    const std::vector<Way> ways = {
        {"command key", [&] { main->MenuExec("INVERT"); }, 2},
        {"text texture", [&] { textures->TB_Tools_ButtonClick(7); }, 3},
        {"defined texture", [&] { textures->pp_Click(6); }, 4},
        {"effect at once",
         [&] {
             effects::registerEffectsLibrary();
             LastActionName() = "WebColors Mode";
             main->ApplyLayerEffects(12);
         },
         5},
        {"history jump", [&] { history->Ltext_Click(2); }, 3, false},
        {"undo", [&] { main->MenuExec("UNDO"); }, 2, false},
        {"redo", [&] { main->MenuExec("REDO"); }, 3, false},
        {"paste",
         [&] {
             doc->BitsRegion.CreateRect(2, 2, 12, 12, 2, false);
             main->MenuExec("COPY");
             main->MenuExec("PASTE");
             QTest::mouseClick(doc->iDst, Qt::LeftButton, {}, canvasPoint(25, 20));
         },
         4},
        {"brush stroke",
         [&] {
             chooseTool("Brush");
             QTest::mousePress(doc->iDst, Qt::LeftButton, {}, canvasPoint(5, 5));
             QTest::mouseMove(doc->iDst, canvasPoint(15, 9));
             QTest::mouseRelease(doc->iDst, Qt::LeftButton, {}, canvasPoint(15, 9));
         },
         5},
        {"crop",
         [&] {
             doc->BitsRegion.CreateRect(1, 1, 31, 21, 2, false);
             main->MenuExec("CROP");
         },
         6},
    };
    for (const Way& w : ways) {
        const int before = doc->snapshots;
        w.run();
        QCoreApplication::processEvents();
        EXPECT_TRUE(counts(*doc, w.count)) << w.name;
        EXPECT_EQ(doc->snapshots - before, w.recorded ? 1 : 0) << w.name;
        EXPECT_TRUE(ports.messageBoxes.shown.empty()) << w.name << ": " << ports.messageBoxes.shown.front().text;
    }
    EXPECT_EQ(doc->UndoMax(), 6);

    // A capture is a new document with its first step.
    ports.screenGrab.screen = DibRecord::fromRows(8, 6, [](int) {
        static const std::vector<uint8_t> row(4 * 8, 90);
        return row.data();
    });
    main->capturePicture(1);
    fImage* captured = main->currentDocument();
    ASSERT_NE(captured, nullptr);
    ASSERT_NE(captured, doc);
    EXPECT_TRUE(counts(*captured, 1));
    captured->Changed = false;
}

} // namespace
} // namespace tq::testing
