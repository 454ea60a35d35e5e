#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "platform/Clock.h"

#include <QProgressBar>

#include <memory>

#include <gtest/gtest.h>

namespace tq {
namespace {

// Records the order of the view, undo and navigator calls.
std::vector<std::string>* g_calls = nullptr;

class RecordingImage : public fImage {
public:
    void UpdateImage() override { g_calls->push_back("UpdateImage"); }
    // The snapshot as the document is asked for it.
    void snapshotTaken(const std::string&) override
    {
        g_calls->push_back(Changed ? "SaveUndoBits(changed)" : "SaveUndoBits");
    }
};

class RecordingMain : public fMain {
public:
    void fPanView_UpdateImage() override { g_calls->push_back("Navigator"); }
};

class UpdateFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls = &calls;
        main = std::make_unique<RecordingMain>();
        main->show();
    }
    void TearDown() override
    {
        main.reset();
        g_calls = nullptr;
    }
    RecordingImage* openDocument()
    {
        auto* doc = new RecordingImage;
        doc->CreateBlank(4, 4);
        main->addDocument(doc);
        ActiveImage() = doc;
        return doc;
    }
    std::vector<std::string> calls;
    ScopedContext context;
    std::unique_ptr<RecordingMain> main;
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(UpdateFixture, ArgumentPairs)
{
    RecordingImage* doc = openDocument();
    const struct {
        bool onlyPan, saveundo;
        Calls calls;
        bool changed;
    } cases[] = {
        {true, false, {"Navigator"}, false},
        {false, false, {"UpdateImage", "Navigator"}, false},
        {true, true, {"Navigator", "SaveUndoBits"}, true},
        {false, true, {"UpdateImage", "Navigator", "SaveUndoBits"}, true},
    };
    for (const auto& c : cases) {
        calls.clear();
        doc->Changed = false;
        doc->cFilterProgress->setValue(60);
        doc->image_is_zoomed = true;
        main->Update(c.onlyPan, c.saveundo);
        EXPECT_EQ(calls, c.calls) << c.onlyPan << c.saveundo;
        EXPECT_EQ(doc->Changed, c.changed) << c.onlyPan << c.saveundo;
        EXPECT_EQ(doc->cFilterProgress->value(), 0);
        EXPECT_FALSE(doc->image_is_zoomed);
    }
}

TEST_F(UpdateFixture, AnEngineResultOfAnotherShapeChangesNothing)
{
    RecordingImage* doc = openDocument();
    Document empty;   // no picture at all
    const BitsBuffer before = doc->Bits();
    const struct {
        Document* target;
        BitsBuffer result;
        const char* what;
    } cases[] = {
        {&doc->document(), BitsBuffer(5, 4), "another width"},
        {&doc->document(), BitsBuffer(4, 3), "another height"},
        {&doc->document(), BitsBuffer(), "no pixels"},
        {&empty, BitsBuffer(4, 4), "no picture"},
    };
    calls.clear();
    for (const auto& c : cases) {
        EXPECT_FALSE(main->applyToDocument(*c.target, c.result)) << c.what;
        EXPECT_TRUE(calls.empty()) << c.what;
    }
    EXPECT_EQ(doc->Bits(), before);
    EXPECT_FALSE(doc->Changed);
    EXPECT_FALSE(empty.Changed);
    EXPECT_EQ(doc->Undopos(), 0);
}

TEST_F(UpdateFixture, AnEngineResultBecomesTheDocumentsStepAndItsWindowRedraws)
{
    RecordingImage* first = openDocument();
    RecordingImage* second = openDocument();
    ActiveImage() = second;
    BitsBuffer result(4, 4);
    result.fill(33);
    LastActionName() = "Blur";
    calls.clear();

    ASSERT_TRUE(main->applyToDocument(first->document(), result));
    EXPECT_EQ(first->Bits(), result);
    // The window showing the document becomes the active one and redraws
    // before the step is recorded.
    EXPECT_EQ(ActiveImage().data(), first);
    EXPECT_EQ(calls, (Calls{"UpdateImage", "Navigator", "SaveUndoBits"}));
    EXPECT_TRUE(first->Changed);
    EXPECT_EQ(first->Undopos(), 1);
    EXPECT_EQ(main->cFilter.Bits(), result);
    EXPECT_FALSE(second->Changed);

    // A document no window shows takes the result and the step all the same.
    Document alone{99};
    ASSERT_TRUE(alone.CreateBlank(4, 4));
    calls.clear();
    ASSERT_TRUE(main->applyToDocument(alone, result));
    EXPECT_EQ(alone.Bits(), result);
    EXPECT_TRUE(alone.Changed);
    EXPECT_EQ(alone.Undopos(), 1);
    EXPECT_EQ(ActiveImage().data(), first);
    EXPECT_EQ(calls, Calls{"Navigator"});
    alone.DeleteUndoFiles();
}

TEST_F(UpdateFixture, WithoutADocumentOnlyTheNavigator)
{
    main->Update(false, true);
    EXPECT_EQ(calls, Calls{"Navigator"});
}

TEST_F(UpdateFixture, ProgressShowsTheBoxAndNeverHidesIt)
{
    RecordingImage* doc = openDocument();
    const struct {
        int32_t percent;
        bool visible;
        int value;
    } steps[] = {
        {-1, false, 0},   // ignored
        {0, true, 0},
        {37, true, 37},
        {150, true, 37},  // refused by the bar
        {100, true, 100},
        {-5, true, 100},
    };
    for (const auto& s : steps) {
        int32_t p = s.percent;
        main->cFilter_Progress(p);
        EXPECT_EQ(!doc->picPb->isHidden(), s.visible) << s.percent;
        EXPECT_EQ(doc->cFilterProgress->value(), s.value) << s.percent;
    }
    main->Update(true, false);
    EXPECT_FALSE(doc->picPb->isHidden());   // Update empties the bar, leaves the box
    EXPECT_EQ(doc->cFilterProgress->value(), 0);
}

TEST_F(UpdateFixture, TheEnginesProgressReachesTheActiveDocument)
{
    RecordingImage* doc = openDocument();
    ManualClock clock(0, 11);
    main->cFilter.setClock(clock);
    main->cFilter.setBits(doc->Bits());
    main->cFilter.walkWhole([](int32_t) {});
    EXPECT_FALSE(doc->picPb->isHidden());
    EXPECT_EQ(doc->cFilterProgress->value(), 100);
    main->cFilter.setClock(systemClock());
}

TEST_F(UpdateFixture, ProgressWithoutADocumentDoesNothing)
{
    int32_t p = 50;
    EXPECT_NO_THROW(main->cFilter_Progress(p));
}

} // namespace tq
