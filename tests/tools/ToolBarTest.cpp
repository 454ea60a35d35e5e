// The tool bar of the real main window, clicked with QTest: the current tool,
// the pressed buttons, the option frame, hand scrolling, zoom, the floating
// paste and the pending pencil snapshot.
#include "mainwindow/CommandFixture.h"

#include "document/StatusPanels.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolIcons.h"
#include "tools/ToolKeys.h"
#include "tools/ToolOptionPanel.h"

#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <set>

namespace tq::testing {
namespace {

using tools::kHandScrollButton;

struct ToolBar : CommandFixture {
    void click(int16_t index) { QTest::mouseClick(main->tbTool->button(index), Qt::LeftButton); }
    std::set<int> pressed() const
    {
        std::set<int> p;
        for (int16_t i = 1; i <= 15; ++i)
            if (main->tbTool->ButtonValue(i)) p.insert(i);
        return p;
    }
    std::string tool() const { return programSettings().ToolName.text(); }
    // The option frame on show, "" for none.
    std::string shownFrame() const
    {
        tools::ToolOptionPanel& bar = *main->picStatus;
        if (bar.PicDescription->isHidden()) return "";
        std::string name;
        for (QFrame* f : bar.frames())
            if (!f->isHidden()) name += (name.empty() ? "" : "+") + f->objectName().toStdString();
        return name;
    }
    std::string lastHistoryLabel() const
    {
        return programHistory().row(programHistory().rowCount() - 1).Ltext;
    }
};

} // namespace

TEST_F(ToolBar, EveryButtonChoosesItsToolFrameAndPressedState)
{
    struct Case {
        int16_t index;
        const char* tool;          // the tool after the click
        std::set<int> pressed;     // the buttons shown pressed
        const char* frame;         // the option frame shown
        bool labels;               // the click sets the next step's label
    };
    // Each click follows the one before it on the same document.
    const Case cases[] = {
        {1, "Pointer", {1}, "", true},
        {2, "SelectionMove", {2}, "SelectionMove", true},
        {3, "Select", {3}, "Selection", true},
        {5, "Brush", {5}, "Brush", true},
        {6, "Airbrush", {6}, "AirBrush", true},
        {7, "Fill", {7}, "Fill", true},
        {8, "Gradient", {8}, "Gradient", true},
        {9, "Stamp", {9}, "Stamp", true},
        {10, "Shape", {10}, "Shape", true},
        {11, "Layers", {11}, "", true},
        {12, "GetColor", {12}, "", false},        // the frame of "Layers" stays
        {4, "Pencil", {4, 12}, "", true},         // the colour picker stays pressed
        {13, "Pencil", {4, 12}, "", false},       // zoom: the tool stays
        {15, "MouseScroll", {15}, "", false},
        {14, "MouseScroll", {15}, "", false},
        {12, "GetColor", {12}, "", false},
        {12, "", {}, "", false},                  // released: no tool
    };
    openDocument(8, 6);
    for (const Case& c : cases) {
        LastActionName() = "before";
        click(c.index);
        EXPECT_EQ(tool(), c.tool) << c.index;
        EXPECT_EQ(pressed(), c.pressed) << c.index;
        EXPECT_EQ(shownFrame(), c.frame) << c.index;
        EXPECT_EQ(LastActionName(), c.labels ? c.tool : "before") << c.index;
        // The icon shows the clicked button's picture.
        EXPECT_EQ(main->picStatus->iCurrentTool->pixmap().toImage(),
                  QPixmap::fromImage(tools::toolPicture(c.index)).toImage())
            << c.index;
    }
    // "SelectionMove" forgets that the floating pixels came from a paste.
    programSettings().SelectionMoveFromClip = true;
    click(2);
    EXPECT_FALSE(programSettings().SelectionMoveFromClip);
}

TEST_F(ToolBar, HandScrollingIsOnOnlyWhileTheToolIsMouseScroll)
{
    programSettings().ToolName.assign("Brush");
    CountingImage* doc = openDocument(8, 6);
    // A new document starts with the hand tool: its own button pressed.
    EXPECT_EQ(pressed(), (std::set<int>{kHandScrollButton}));
    EXPECT_TRUE(main->HandScrollButtonPressed());
    EXPECT_EQ(tool(), "MouseScroll");
    EXPECT_TRUE(doc->MouseScroll());

    // Every other tool choice releases the hand, the pencil included.
    for (int16_t index : std::initializer_list<int16_t>{4, 5, 12, 1}) {
        click(kHandScrollButton);
        if (!main->HandScrollButtonPressed()) click(kHandScrollButton);
        ASSERT_TRUE(doc->MouseScroll()) << index;
        click(index);
        EXPECT_FALSE(main->HandScrollButtonPressed()) << index;
        EXPECT_FALSE(doc->MouseScroll()) << index;
        EXPECT_NE(tool(), "MouseScroll") << index;
    }

    // Releasing the hand keeps the tool with hand scrolling off.
    click(kHandScrollButton);
    click(kHandScrollButton);
    EXPECT_EQ(tool(), "MouseScroll");
    EXPECT_FALSE(main->HandScrollButtonPressed());
    EXPECT_FALSE(doc->MouseScroll());

    // A document activated later follows the hand button.
    CountingImage* second = openDocument(5, 5);
    click(5);
    activate(doc);
    EXPECT_FALSE(doc->MouseScroll());
    EXPECT_FALSE(second->MouseScroll());
}

TEST_F(ToolBar, DisableToolsReleasesAllButTheOneKept)
{
    main->tbTool->setButtonValue(3, true);
    main->tbTool->setButtonValue(12, true);
    main->tbTool->setButtonValue(15, true);
    main->DisableTools(3);
    EXPECT_EQ(pressed(), (std::set<int>{3}));
    main->DisableTools(-1);
    EXPECT_TRUE(pressed().empty());
}

TEST_F(ToolBar, ZoomButtonsZoomTheActiveDocumentAndShowTheFactor)
{
    CountingImage* doc = openDocument(8, 6);
    click(5);
    click(13);
    click(13);
    EXPECT_EQ(doc->ZoomFactor(), 3);
    EXPECT_EQ(doc->sbInfo->panelText(QStringLiteral("Zoom")), QStringLiteral("3 : 1"));
    click(14);
    EXPECT_EQ(doc->sbInfo->panelText(QStringLiteral("Zoom")), QStringLiteral("2 : 1"));
    EXPECT_EQ(tool(), "Brush");
    EXPECT_EQ(pressed(), (std::set<int>{5}));
    EXPECT_EQ(shownFrame(), "Brush");
    EXPECT_EQ(doc->snapshots, 0);
}

TEST_F(ToolBar, WithoutADocumentAClickChangesOnlyTheBar)
{
    programSettings().ToolName.assign("Fill");
    UndoPending() = true;
    click(13);   // zoom in: only the icon
    EXPECT_EQ(main->picStatus->iCurrentTool->pixmap().toImage(),
              QPixmap::fromImage(tools::toolPicture(13)).toImage());
    EXPECT_EQ(tool(), "Fill");
    EXPECT_EQ(shownFrame(), "");

    SaveUndoOnNudge() = false;
    click(10);
    EXPECT_EQ(tool(), "Fill");          // no tool key without a document
    EXPECT_EQ(shownFrame(), "Shape");
    EXPECT_EQ(LastActionName(), "Shape");
    EXPECT_TRUE(SaveUndoOnNudge());
    EXPECT_TRUE(UndoPending());          // the pencil's request waits
}

TEST_F(ToolBar, PendingPencilSnapshotIsTakenWithTheNewToolsLabel)
{
    CountingImage* doc = openDocument(8, 6);
    click(4);
    EXPECT_EQ(doc->snapshots, 0);
    // The pencil's stroke asks for a snapshot at the next tool choice.
    UndoPending() = true;
    click(13);   // not a tool choice
    EXPECT_EQ(doc->snapshots, 0);
    click(7);
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(lastHistoryLabel(), "Fill");
    EXPECT_FALSE(UndoPending());
    click(5);
    EXPECT_EQ(doc->snapshots, 1);
}

TEST_F(ToolBar, AnyClickDropsAFloatingPaste)
{
    CountingImage* doc = openDocument(6, 5);
    const BitsBuffer committed = doc->Bits();
    main->MenuExec("PASTE");
    ASSERT_TRUE(PasteFloating());
    EXPECT_TRUE(pressed().empty());
    // The floating pixels drawn into the document, not merged.
    BitsBuffer floating = committed;
    floating.at(2, 1, 1) ^= 0xFF;
    doc->setBits(floating);

    click(13);   // even a zoom click
    EXPECT_FALSE(PasteFloating());
    EXPECT_EQ(doc->Bits(), committed);
    EXPECT_EQ(doc->snapshots, 0);
}

TEST(ToolKeys, KeyNumPassesDigitsAndBackspaceOnly)
{
    const std::pair<int16_t, int16_t> cases[] = {{57, 57}, {48, 48}, {8, 8}, {65, 0}, {47, 0}, {58, 0}, {13, 0}};
    for (auto [k, expected] : cases) EXPECT_EQ(fMain::KeyNum(k), expected) << k;
}

} // namespace tq::testing
