// A main window with documents whose snapshots and undo calls are counted, a
// program folder of its own and the platform ports answered by doubles.
#pragma once

#include "document/CountingImage.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/UndoStore.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "support/TestPorts.h"
#include "toolwindows/fPaste.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

namespace tq::testing {

// Byte c of pixel (x, y) of the fixture pictures: every pixel differs from
// its neighbours in every channel.
inline uint8_t patternByte(int c, int x, int y) { return static_cast<uint8_t>(17 + 41 * x + 23 * y + 71 * c); }

inline BitsBuffer patternBits(int w, int h)
{
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) b.at(c, x, y) = patternByte(c, x, y);
    return b;
}

template <class Main = fMain>
class CommandFixtureT : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The fresh context's folder: this test's own.
        platform::setProgramFolder(programDir.path().toStdString());
        LastActionName() = "Step";
        main = std::make_unique<Main>();
        main->show();
    }
    void TearDown() override { main.reset(); }

    // A w x h document with the pattern, its whole-picture selection and its
    // first snapshot, made and activated as the program makes documents.
    CountingImage* openDocument(int w, int h, const std::string& tag = {})
    {
        auto* doc = new CountingImage;
        doc->CreateBlank(w, h);
        doc->setBits(patternBits(w, h));
        doc->BitsRegion.Init(0, 0, w, h);
        doc->Tag = tag;
        ++DocumentCount();   // each document its own number
        main->addDocument(doc);
        ActiveImage() = doc;
        doc->SaveUndoBits();
        doc->snapshots = 0;
        doc->Changed = false;
        return doc;
    }
    // Closes a document window without its save prompt.
    void closeDocument(fImage* doc)
    {
        doc->Changed = false;
        doc->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void activate(fImage* doc)
    {
        main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(doc->parentWidget()));
    }
    fImage* activeDocument() const
    {
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<fImage*>(sub->widget()) : nullptr;
    }
    int documentCount() const { return static_cast<int>(main->mdiArea()->subWindowList().size()); }

    std::filesystem::path snapshotPath(const fImage& doc, int step) const
    {
        return UndoSnapshotFile::path(programDir.path().toStdString(), doc.MeID, step);
    }
    // True once the document's snapshots are written to disk (the undo store
    // is wired into the document window).
    // The engine holds exactly the document's pixels.
    ::testing::AssertionResult engineMirrors(const fImage& doc) const
    {
        if (main->cFilter.Bits() == doc.Bits()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "engine " << main->cFilter.BitsWidth() << "x"
                                             << main->cFilter.BitsHeight() << " differs from document "
                                             << doc.PictureWidth() << "x" << doc.PictureHeight();
    }

    QTemporaryDir programDir;
    ScopedContext context;
    platform::TestPorts ports;
    std::unique_ptr<Main> main;
};

using CommandFixture = CommandFixtureT<>;

} // namespace tq::testing
