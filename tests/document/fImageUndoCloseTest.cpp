// The document window's undo steps, clipboard, saving and closing, driven
// through real windows in the main window's MDI area; message boxes, the
// save dialog and the clipboard are answered by the test ports.
#include "document/ProgramContext.h"
#include "document/SettingsFile.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/UndoStore.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "support/TestPorts.h"
#include "platform/TextWidth.h"
#include "FileSizeLimit.h"
#include "document/HistoryModel.h"

#include <QCoreApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/resource.h>

namespace tq {
namespace {

namespace fs = std::filesystem;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

// A picture whose every pixel tells the state apart; the marker byte is set
// too, so a copy that carried it along would show.
void paint(fImage& doc, uint8_t tag)
{
    BitsBuffer b = doc.Bits();
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            b.at(0, x, y) = tag;
            b.at(1, x, y) = static_cast<uint8_t>(x * 9 + 1);
            b.at(2, x, y) = static_cast<uint8_t>(y * 11 + 2);
            b.at(3, x, y) = (x + y) % 2 ? 255 : 0;
        }
    doc.setBits(b);
}

bool shows(const fImage& doc, uint8_t tag)
{
    const BitsBuffer b = doc.Bits();
    return b.allocated() && b.at(0, 0, 0) == tag && b.at(0, b.width() - 1, b.height() - 1) == tag;
}

std::vector<uint8_t> slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RecordingMain : public fMain {
public:
    int navigatorClears = 0;
    void fPanView_Clear() override { ++navigatorClears; }
};

class DocumentSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        programSettings().AskSave = true;
        main = std::make_unique<RecordingMain>();
        main->show();
    }
    void TearDown() override
    {
        // Windows destroyed with the main window take their snapshots along.
        main.reset();
    }

    // A document numbered `number` with its opening snapshot, as a maker
    // leaves it.
    fImage* open(int32_t number, int w, int h, uint8_t tag)
    {
        DocumentCount() = number;
        ImageWidth() = static_cast<int16_t>(w);
        ImageHeight() = static_cast<int16_t>(h);
        auto* doc = new fImage;
        doc->CreateBlank(w, h);
        paint(*doc, tag);
        doc->Tag = "/pictures/doc" + std::to_string(number) + ".png";
        main->addDocument(doc);
        LastActionName() = "Original";
        doc->SaveUndoBits();
        return doc;
    }
    // A finished command on the document: the common end records the step.
    void act(fImage* doc, uint8_t tag, const std::string& name)
    {
        ActiveImage() = doc;
        paint(*doc, tag);
        main->cFilter.setBits(doc->Bits());
        LastActionName() = name;
        main->Update(false, true);
    }
    void activate(fImage* doc) { main->mdiArea()->setActiveSubWindow(window(doc)); }
    static QMdiSubWindow* window(fImage* doc) { return qobject_cast<QMdiSubWindow*>(doc->parentWidget()); }
    static fs::path snapshot(int32_t id, int step) { return UndoSnapshotFile::path(platform::programFolder(), id, step); }
    static std::vector<int> stepsOnDisk(int32_t id)
    {
        std::vector<int> steps;
        for (int i = 0; i <= UndoStore::kMaxSteps + 1; ++i)
            if (fs::exists(snapshot(id, i))) steps.push_back(i);
        return steps;
    }
    static std::vector<std::string> rows()
    {
        std::vector<std::string> r;
        for (const HistoryRow& row : programHistory().rows()) r.push_back(row.Ltext);
        return r;
    }
    // Closes the document's window as its close button does; true when it
    // went.
    bool closeWindow(fImage* doc)
    {
        QPointer<QMdiSubWindow> sub = window(doc);
        const bool closed = sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return closed && sub.isNull();
    }
    static std::string prompt(const std::string& tag)
    {
        return Module8::CompactPath(screenTextWidth(), tag, 400) +
               "\r\n\r\nThis image has changed.\r\nDo you want to save it ?";
    }

    // A fresh context for each test: settings, history, counters.
    ScopedContext context;
    std::unique_ptr<RecordingMain> main;
};

TEST_F(DocumentSteps, CountersPicturesAndRowsFollowActionsUndoAndRedo)
{
    platform::TestPorts ports;
    fImage* doc = open(1, 4, 3, 10);
    struct Expect {
        const char* what;
        int pos, max;
        uint8_t tag;
        std::vector<int> files;
        int marker;
    };
    auto check = [&](const Expect& e) {
        SCOPED_TRACE(e.what);
        EXPECT_EQ(doc->Undopos(), e.pos);
        EXPECT_EQ(doc->UndoMax(), e.max);
        EXPECT_TRUE(shows(*doc, e.tag));
        EXPECT_EQ(stepsOnDisk(1), e.files);
        EXPECT_EQ(programHistory().Pindicator().row, e.marker);
        // The engine works on what the document shows.
        EXPECT_EQ(main->cFilter.Bits(), doc->Bits());
    };
    check({"open", 1, 1, 10, {0}, 0});
    EXPECT_EQ(doc->sbInfo->panelText(2), "Total Actions: 1");

    act(doc, 20, "Invert");
    act(doc, 30, "Blur");
    check({"two actions", 3, 3, 30, {0, 1, 2}, 2});
    EXPECT_EQ(rows(), (std::vector<std::string>{"Original", "Invert", "Blur"}));
    EXPECT_EQ(programHistory().ImageID, 1);

    EXPECT_TRUE(doc->UndoBits());
    check({"undo", 2, 3, 20, {0, 1, 2}, 1});
    EXPECT_EQ(doc->sbInfo->panelText(2), "Total Actions: 2");
    EXPECT_EQ(doc->sbInfo->panelText(QStringLiteral("Pixel")), "4x3");
    EXPECT_TRUE(SaveUndoOnNudge());
    EXPECT_TRUE(doc->UndoBits());
    check({"undo again", 1, 3, 10, {0, 1, 2}, 0});
    EXPECT_FALSE(doc->UndoBits());
    check({"undo at the opening state", 1, 3, 10, {0, 1, 2}, 0});
    EXPECT_EQ(doc->sbInfo->panelText(2), "Total Actions: 1");
    EXPECT_TRUE(doc->RedoBits());
    check({"redo", 2, 3, 20, {0, 1, 2}, 1});
    EXPECT_TRUE(doc->UndoBits());

    act(doc, 50, "Sharpen");
    check({"new action after two undos", 2, 2, 50, {0, 1}, 1});
    EXPECT_EQ(rows(), (std::vector<std::string>{"Original", "Sharpen"}));
    EXPECT_FALSE(doc->RedoBits()) << "the dropped branch never comes back";
    check({"redo at the newest step", 2, 2, 50, {0, 1}, 1});
    EXPECT_TRUE(doc->Changed);
}

TEST_F(DocumentSteps, SnapshotFileIsNamedByDocumentAndStepAndHoldsHeaderAndBuffer)
{
    fImage* doc = open(3, 3, 2, 0);
    for (int k = 1; k <= 7; ++k) act(doc, static_cast<uint8_t>(k), "step");
    const fs::path f = fs::path(platform::programFolder()) / "Temp" / "b000307.dat";
    ASSERT_TRUE(fs::exists(f));
    const std::vector<uint8_t> bytes = slurp(f);
    ASSERT_EQ(bytes.size(), 208u);
    const std::vector<uint8_t> header = {40, 0, 0, 0, 7, 0, 0, 0, 0xFA, 0xFF, 0xFF, 0xFF, 1, 0, 32, 0};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16), header);
    EXPECT_TRUE(std::all_of(bytes.begin() + 16, bytes.begin() + 40, [](uint8_t b) { return b == 0; }));
    const BitsBuffer shown = doc->Bits();
    EXPECT_TRUE(std::equal(bytes.begin() + 40, bytes.end(), shown.data()));
}

TEST_F(DocumentSteps, TwoHundredStepsAtMost)
{
    fImage* doc = open(4, 3, 2, 0);
    for (int k = 1; k <= 205; ++k) act(doc, static_cast<uint8_t>(k), "step " + std::to_string(k));
    EXPECT_EQ(doc->Undopos(), 200);
    EXPECT_EQ(doc->UndoMax(), 200);
    EXPECT_EQ(doc->sbInfo->panelText(2), "Total Actions: 200");
    std::vector<int> expected(200);
    for (int i = 0; i < 200; ++i) expected[static_cast<size_t>(i)] = i;
    EXPECT_EQ(stepsOnDisk(4), expected);
    // The oldest snapshot there is (state 6) is the one "Original" names.
    EXPECT_EQ(UndoSnapshotFile::read(snapshot(4, 0))->at(0, 0, 0), 6);
    ASSERT_EQ(programHistory().rowCount(), 200);
    EXPECT_EQ(programHistory().row(1).Ltext, "step 7");
    EXPECT_EQ(programHistory().row(199).Ltext, "step 205");
}

TEST_F(DocumentSteps, UndoAcrossASizeChangeTakesTheSizeAndEmptiesTheSelection)
{
    fImage* doc = open(5, 6, 4, 10);
    act(doc, 20, "Invert");
    // A crop: the document takes a smaller picture.
    doc->CreateBlank(2, 3);
    paint(*doc, 30);
    doc->BitsRegion.Init(0, 0, 2, 3);
    act(doc, 30, "Crop");

    doc->BitsRegion.CreateRect(0, 0, 1, 1, 2, true);
    ASSERT_FALSE(doc->BitsRegion.IsEmptyRegion());
    ASSERT_TRUE(doc->UndoBits());
    EXPECT_EQ(doc->PictureWidth(), 6);
    EXPECT_EQ(doc->PictureHeight(), 4);
    EXPECT_TRUE(shows(*doc, 20));
    EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
    EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.RegionMain());
    EXPECT_EQ(doc->sbInfo->panelText(QStringLiteral("Pixel")), "6x4");

    // Without a size change the selection stays.
    doc->BitsRegion.CreateRect(1, 1, 3, 3, 2, true);
    ASSERT_TRUE(doc->UndoBits());
    EXPECT_TRUE(shows(*doc, 10));
    EXPECT_FALSE(doc->BitsRegion.IsEmptyRegion());
    EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.Region());

    ASSERT_TRUE(doc->RedoBits());
    ASSERT_TRUE(doc->RedoBits());
    EXPECT_EQ(doc->PictureWidth(), 2);
    EXPECT_EQ(doc->PictureHeight(), 3);
    EXPECT_EQ(doc->Bits().width(), 2);
}

TEST_F(DocumentSteps, DamagedSnapshotLeavesPictureAndCounters)
{
    fImage* doc = open(6, 3, 2, 10);
    act(doc, 20, "Invert");
    { std::ofstream(snapshot(6, 0), std::ios::binary | std::ios::trunc) << "not a snapshot"; }
    platform::TestPorts ports;
    EXPECT_FALSE(doc->UndoBits());
    EXPECT_EQ(doc->Undopos(), 2);
    EXPECT_TRUE(shows(*doc, 20));
    EXPECT_EQ(doc->PictureWidth(), 3);
    // Not in silence: the user is told why Undo did nothing.
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, fImage::kStepMissing);
    EXPECT_EQ(ports.messageBoxes.shown[0].title, "Talvex Quarlend");
}

TEST_F(DocumentSteps, StepWhoseSnapshotCannotBeWrittenStillCountsAndIsToldOnce)
{
    platform::TestPorts ports;
    fImage* doc = open(16, 6, 5, 10);
    act(doc, 20, "A");
    act(doc, 30, "B");
    ASSERT_TRUE(doc->UndoBits());
    ASSERT_TRUE(doc->UndoBits());
    ASSERT_EQ(doc->UndoMax(), 3);
    doc->Changed = false;
    {
        // A full disk: every snapshot write fails from here on.
        ScopedFileSizeLimit full(64);
        act(doc, 50, "N");
        // The step counts as the undo rules say: redo branch dropped,
        // counters advanced, document changed.
        EXPECT_EQ(doc->Undopos(), 2);
        EXPECT_EQ(doc->UndoMax(), 2);
        EXPECT_TRUE(doc->Changed);
        EXPECT_EQ(rows(), (std::vector<std::string>{"Original", "N"}));
        EXPECT_EQ(stepsOnDisk(16), (std::vector<int>{0})) << "no stale step is left under the new step's number";
        ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
        const std::string& told = ports.messageBoxes.shown[0].text;
        EXPECT_NE(told.find(UndoSnapshotFile::folder(platform::programFolder()).string()), std::string::npos) << told;
        EXPECT_NE(told.find(std::strerror(EFBIG)), std::string::npos) << told;
        EXPECT_EQ(ports.messageBoxes.shown[0].title, "Talvex Quarlend");

        // Redo has nothing to bring back over the newest change.
        EXPECT_FALSE(doc->RedoBits());
        EXPECT_TRUE(shows(*doc, 50));

        act(doc, 60, "M");
        EXPECT_EQ(doc->Undopos(), 3);
        EXPECT_EQ(ports.messageBoxes.shown.size(), 1u) << "told once per run";
    }
    // Undo to the step without a snapshot says so and changes nothing.
    EXPECT_FALSE(doc->UndoBits());
    EXPECT_EQ(doc->Undopos(), 3);
    EXPECT_TRUE(shows(*doc, 60));
    ASSERT_EQ(ports.messageBoxes.shown.size(), 2u);
    EXPECT_EQ(ports.messageBoxes.shown[1].text, fImage::kStepMissing);

    // Closing still asks about the unsaved change.
    ports.messageBoxes.answers.push_back(MsgResult::Cancel);
    EXPECT_FALSE(closeWindow(doc));
    ASSERT_EQ(ports.messageBoxes.shown.size(), 3u);
    EXPECT_EQ(ports.messageBoxes.shown[2].text, prompt(doc->Tag));
    doc->Changed = false;
}

TEST_F(DocumentSteps, ActivationShowsTheDocumentsHistory)
{
    fImage* a = open(7, 3, 2, 10);
    act(a, 11, "A1");
    act(a, 12, "A2");
    fImage* b = open(8, 3, 2, 20);
    act(b, 21, "B1");
    EXPECT_EQ(programHistory().ImageID, 8);
    EXPECT_EQ(rows(), (std::vector<std::string>{"Original", "B1"}));

    activate(a);
    EXPECT_EQ(programHistory().ImageID, 7);
    EXPECT_EQ(rows(), (std::vector<std::string>{"Original", "A1", "A2"}));
    EXPECT_EQ(programHistory().Pindicator().row, 2);
    activate(b);
    EXPECT_EQ(rows(), (std::vector<std::string>{"Original", "B1"}));

    // Closing a document whose history is not shown leaves the shown rows.
    a->Changed = false;
    ASSERT_TRUE(closeWindow(a));
    EXPECT_EQ(rows(), (std::vector<std::string>{"Original", "B1"}));
    EXPECT_TRUE(stepsOnDisk(7).empty());
    EXPECT_EQ(stepsOnDisk(8), (std::vector<int>{0, 1}));
    EXPECT_EQ(main->navigatorClears, 0) << "one document is still open";

    b->Changed = false;
    ASSERT_TRUE(closeWindow(b));
    EXPECT_EQ(programHistory().rowCount(), 1);
    EXPECT_FALSE(programHistory().row(0).visible);
    EXPECT_EQ(main->navigatorClears, 1) << "the last document clears the navigator";
}

TEST_F(DocumentSteps, PromptOnlyForAChangedDocumentWithARecordedAction)
{
    struct Case {
        const char* what;
        bool askSave, changed;
        int actions, undos;
        bool asks;
    };
    const Case cases[] = {
        {"changed with an action", true, true, 1, 0, true},
        {"not asked for", false, true, 1, 0, false},
        {"not changed", true, false, 1, 0, false},
        {"only the opening state", true, true, 0, 0, false},
        {"undone back to the opening state", true, true, 2, 2, false},
    };
    int32_t number = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::TestPorts ports;
        ports.messageBoxes.answers.push_back(MsgResult::No);
        programSettings().AskSave = c.askSave;
        fImage* doc = open(++number, 3, 2, 1);
        for (int k = 0; k < c.actions; ++k) act(doc, static_cast<uint8_t>(k + 2), "x");
        for (int k = 0; k < c.undos; ++k) doc->UndoBits();
        doc->Changed = c.changed;
        EXPECT_TRUE(closeWindow(doc));
        EXPECT_EQ(ports.messageBoxes.shown.size(), c.asks ? 1u : 0u);
        EXPECT_TRUE(stepsOnDisk(number).empty());
    }
}

TEST_F(DocumentSteps, PromptTextAndCancelKeepsTheWindow)
{
    platform::TestPorts ports;
    fImage* doc = open(30, 3, 2, 1);
    act(doc, 2, "Invert");
    doc->Tag = "/home/ann/" + std::string(120, 'p') + "/holiday/beach.png";

    ports.messageBoxes.answers.push_back(MsgResult::Cancel);
    EXPECT_FALSE(closeWindow(doc));
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    const platform::MessageBoxRequest& asked = ports.messageBoxes.shown[0];
    EXPECT_EQ(asked.text, prompt(doc->Tag));
    EXPECT_NE(asked.text.find("..."), std::string::npos) << "a long path is shortened";
    EXPECT_EQ(asked.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(asked.icon, MsgIcon::Information);
    EXPECT_EQ(asked.title, "Talvex Quarlend");
    EXPECT_EQ(stepsOnDisk(30), (std::vector<int>{0, 1}));
    EXPECT_TRUE(doc->isVisible());
    EXPECT_EQ(doc->sbInfo->panelText(2), "Total Actions: 2");

    doc->Tag = "/pics/a.png";
    ports.messageBoxes.answers.push_back(MsgResult::No);
    EXPECT_TRUE(closeWindow(doc));
    EXPECT_EQ(ports.messageBoxes.shown.back().text,
              "/pics/a.png\r\n\r\nThis image has changed.\r\nDo you want to save it ?");
    EXPECT_TRUE(stepsOnDisk(30).empty());
}

TEST_F(DocumentSteps, YesSavesTheDocumentThatAskedAndKeepsItWhenTheSaveDoesNotHappen)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("kept.bmp")).toStdString();
    platform::TestPorts ports;
    fImage* other = open(40, 3, 2, 90);
    fImage* doc = open(41, 5, 3, 1);
    act(doc, 2, "Invert");
    activate(other);
    ActiveImage() = other;

    // Yes, then the save dialog is cancelled: the window stays.
    ports.messageBoxes.answers.push_back(MsgResult::Yes);
    ports.fileDialogs.answerCancel();
    EXPECT_FALSE(closeWindow(doc));
    EXPECT_TRUE(doc->Changed);
    EXPECT_EQ(stepsOnDisk(41), (std::vector<int>{0, 1}));
    EXPECT_EQ(ports.fileDialogs.saveRequests.size(), 1u);
    EXPECT_EQ(main->mdiArea()->activeSubWindow(), window(doc)) << "the document that asked is the active one";

    // Yes, then the write fails: the message, and the file that was there
    // stays whole.
    const std::vector<uint8_t> old(5000, 0x5A);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(old.data()), old.size());
    ports.messageBoxes.answers.push_back(MsgResult::Yes);
    ports.messageBoxes.answers.push_back(MsgResult::OK);
    ports.fileDialogs.answerPath(path);
    {
        // Writes stop after 100 bytes.
        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 100;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool closed = closeWindow(doc);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(closed);
    }
    ASSERT_EQ(ports.messageBoxes.shown.size(), 3u);
    EXPECT_EQ(ports.messageBoxes.shown[2].text, "Unexpected error saving image");
    EXPECT_TRUE(doc->Changed);
    EXPECT_EQ(slurp(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path().toStdString()), fs::directory_iterator()), 1)
        << "no temporary is left behind";

    // Yes and a good save: the file holds the picture and the window goes.
    ports.messageBoxes.answers.push_back(MsgResult::Yes);
    ports.fileDialogs.answerPath(path);
    const BitsBuffer shown = doc->Bits();
    EXPECT_TRUE(closeWindow(doc));
    EXPECT_TRUE(stepsOnDisk(41).empty());
    QImage written(QString::fromStdString(path));
    ASSERT_EQ(written.size(), QSize(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const QRgb p = written.pixel(x, y);
            EXPECT_EQ(qBlue(p), shown.at(0, x, y));
            EXPECT_EQ(qGreen(p), shown.at(1, x, y));
            EXPECT_EQ(qRed(p), shown.at(2, x, y));
        }
    EXPECT_EQ(stepsOnDisk(40), (std::vector<int>{0}));
}

TEST_F(DocumentSteps, ClipboardRoundTripKeepsThePixels)
{
    platform::TestPorts ports;
    int32_t number = 50;
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{5, 3}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        fImage* from = open(++number, w, h, 77);
        from->BitsCopyToClipboard();
        ASSERT_TRUE(ports.clipboard.picture);
        const DibRecord& copied = *ports.clipboard.picture;
        ASSERT_EQ(copied.width, w);
        ASSERT_EQ(copied.height, h);
        ASSERT_EQ(copied.bits.size(), 4u * size_t(w) * size_t(h)) << "no margin";
        const BitsBuffer source = from->Bits();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 4; ++c)
                    EXPECT_EQ(copied.row(y)[4 * x + c], c == 3 ? 0 : source.at(c, x, y)) << x << "," << y << "," << c;

        // A new, empty window takes the picture.
        DocumentCount() = ++number;
        auto* to = new fImage;
        main->addDocument(to);
        to->PasteFromClipboard();
        ASSERT_TRUE(to->PictureExists());
        EXPECT_EQ(to->PictureWidth(), w);
        EXPECT_EQ(to->PictureHeight(), h);
        EXPECT_TRUE(to->BitsRegion.IsEmptyRegion());
        EXPECT_EQ(to->Undopos(), 0) << "a paste records no step";
        const BitsBuffer pasted = to->Bits();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 4; ++c) EXPECT_EQ(pasted.at(c, x, y), c == 3 ? 0 : source.at(c, x, y));
    }

    // Nothing to copy from a window without a picture; nothing to paste
    // from an empty clipboard.
    const int copies = ports.clipboard.setCount;
    fImage empty;
    empty.BitsCopyToClipboard();
    EXPECT_EQ(ports.clipboard.setCount, copies);
    EXPECT_FALSE(empty.save((fs::path(platform::programFolder()) / "none.bmp").string(), "bmp"));
    EXPECT_FALSE(fs::exists(fs::path(platform::programFolder()) / "none.bmp"));
    ports.clipboard.clear();
    empty.PasteFromClipboard();
    EXPECT_FALSE(empty.PictureExists());
}

TEST(fImageClose, OnlyTheLastDocumentEmptiesItsStatusPanels)
{
    auto setPanels = [](fImage& d) {
        for (int i = 1; i <= 5; ++i) d.sbInfo->setPanelText(i, QStringLiteral("text"));
    };
    int16_t cancel = 0;
    auto first = std::make_unique<fImage>();
    auto second = std::make_unique<fImage>();
    setPanels(*first);
    setPanels(*second);
    first->Form_Unload(cancel);
    EXPECT_EQ(first->sbInfo->panelText(3), "text") << "another document is open";
    // The first is unloaded though not yet destroyed: it no longer counts.
    second->Form_Unload(cancel);
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(second->sbInfo->panelText(i), "") << i;
}

} // namespace
} // namespace tq
