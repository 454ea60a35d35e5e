// SAVE and SAVEAS against a recording document and a scripted save dialog.
#include "document/Settings.h"
#include "mainwindow/FileCommands.h"
#include "mainwindow/SaveCommands.h"
#include "support/TestPorts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tq;

namespace {

struct RecordingDocument : SaveableDocument {
    std::string tag;
    std::string caption = "before";
    bool changed = true;
    bool writeSucceeds = true;
    std::vector<std::pair<std::string, std::string>> saves;

    std::string Tag() const override { return tag; }
    void setTag(const std::string& t) override { tag = t; }
    void setCaption(const std::string& c) override { caption = c; }
    void setChanged(bool c) override { changed = c; }
    mBitmap::SaveResult save(const std::string& path, const std::string& ext) override
    {
        saves.push_back({path, ext});
        return {writeSucceeds, {}};
    }
};

struct SaveFixture : ::testing::Test {
    QTemporaryDir programDir, saveDir;
    Settings settings;
    platform::TestPorts ports;
    platform::FakeFileDialogs& dialog = ports.fileDialogs;
    platform::FakeMessageBoxes& messages = ports.messageBoxes;
    SaveContext ctx{settings, programDir.path().toStdString(), {}};
    RecordingDocument doc;
};

} // namespace

TEST_F(SaveFixture, SaveInPlaceKeepsTheNameAsItIs)
{
    doc.tag = "/pics/Photo.JPG";
    EXPECT_TRUE(SaveCommand(doc, ctx));
    ASSERT_EQ(doc.saves.size(), 1u);
    EXPECT_EQ(doc.saves[0], (std::pair<std::string, std::string>{"/pics/Photo.JPG", "jpg"}));
    EXPECT_EQ(doc.tag, "/pics/Photo.JPG");   // never rewritten to ".jpg": that is another file
    EXPECT_EQ(doc.caption, "Photo.JPG");
    EXPECT_FALSE(doc.changed);
    EXPECT_TRUE(dialog.saveRequests.empty());
}

TEST_F(SaveFixture, OtherExtensionsAndUnnamedDocumentsGoToSaveAs)
{
    for (const char* tag : {"/pics/photo.jpeg", "", "/pics/scan.tiff"}) {
        SCOPED_TRACE(tag);
        dialog.saveRequests.clear();
        doc.saves.clear();
        doc.tag = tag;
        EXPECT_FALSE(SaveCommand(doc, ctx));   // cancelled
        EXPECT_EQ(dialog.saveRequests.size(), 1u);
        EXPECT_TRUE(doc.saves.empty());
        EXPECT_EQ(doc.tag, tag);
        EXPECT_TRUE(doc.changed);
    }
}

TEST_F(SaveFixture, SaveAsNamesTheDocumentAndKeepsTheFolder)
{
    settings.SaveFolder.assign(saveDir.path().toStdString());
    const std::string target = saveDir.filePath("New Name.PNG").toStdString();
    dialog.answerPath(target);
    ctx.uniqueDocName = [](const std::string& p) { return p + " [2]"; };
    doc.tag = "/pics/old.jpeg";
    EXPECT_TRUE(SaveAsCommand(doc, ctx));
    ASSERT_EQ(dialog.saveRequests.size(), 1u);
    EXPECT_EQ(dialog.saveRequests[0].title, "Save as");
    EXPECT_EQ(dialog.saveRequests[0].filter, SaveFileFilter());
    EXPECT_EQ(dialog.saveRequests[0].initialDir, saveDir.path().toStdString());
    EXPECT_TRUE(dialog.saveRequests[0].overwritePrompt);
    ASSERT_EQ(doc.saves.size(), 1u);
    EXPECT_EQ(doc.saves[0], (std::pair<std::string, std::string>{target, "PNG"}));
    EXPECT_EQ(doc.tag, target + " [2]");
    EXPECT_EQ(doc.caption, "New Name.PNG [2]");
    EXPECT_FALSE(doc.changed);
    EXPECT_EQ(settings.SaveFolder.text(), saveDir.path().toStdString() + "/");
}

TEST_F(SaveFixture, MissingSaveFolderFallsBackToTheProgramFolder)
{
    settings.SaveFolder.assign("/no/such/place");
    doc.tag = "";
    SaveAsCommand(doc, ctx);
    ASSERT_EQ(dialog.saveRequests.size(), 1u);
    EXPECT_EQ(dialog.saveRequests[0].initialDir, programDir.path().toStdString());
    EXPECT_EQ(settings.SaveFolder.text(), programDir.path().toStdString());
}

// A write that fails is reported and the document stays unsaved under its
// old name, in place and under a new name alike.
TEST_F(SaveFixture, AFailedWriteIsReportedAndChangesNothing)
{
    doc.writeSucceeds = false;
    doc.tag = "/pics/a.bmp";
    EXPECT_FALSE(SaveCommand(doc, ctx));
    dialog.answerPath(saveDir.filePath("b.png").toStdString());
    doc.tag = "";
    settings.SaveFolder.assign(saveDir.path().toStdString());
    EXPECT_FALSE(SaveAsCommand(doc, ctx));
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const platform::MessageBoxRequest& m : messages.shown)
        EXPECT_EQ(m, (platform::MessageBoxRequest{kSaveFailed, platform::MsgButtons::OK, platform::MsgIcon::Exclamation, "Talvex Quarlend"}));
    EXPECT_TRUE(doc.changed);
    EXPECT_EQ(doc.tag, "");
    EXPECT_EQ(doc.caption, "before");
    EXPECT_EQ(settings.SaveFolder.text(), saveDir.path().toStdString());
}
