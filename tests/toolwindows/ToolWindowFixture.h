// A main window with documents (see CommandFixture) and the settings of a
// first start, for the floating tool windows owned by that main window.
#pragma once

#include "mainwindow/CommandFixture.h"

#include "document/Settings.h"
#include "toolwindows/fPaste.h"

#include <QColor>
#include <QImage>
#include <QMdiSubWindow>
#include <QTest>

namespace tq::testing {

class ToolWindowFixture : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        programSettings() = defaultSettings(programDir.path().toStdString());
    }

    // A w x h document of one colour (blue, green, red).
    CountingImage* openPlain(int w, int h, uint8_t b, uint8_t g, uint8_t r)
    {
        CountingImage* doc = openDocument(w, h);
        BitsBuffer bits(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = bits.pixel(x, y);
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
        doc->setBits(bits);
        main->cFilter.setBits(bits);
        return doc;
    }

    // Gives a document's window an outer size, so that only part of the
    // picture is in view.
    void sizeDocumentWindow(fImage* doc, int w, int h)
    {
        auto* sub = qobject_cast<QMdiSubWindow*>(doc->parentWidget());
        ASSERT_NE(sub, nullptr);
        sub->resize(w, h);
        QCoreApplication::processEvents();
    }

    // A step recorded as the program records one: new pixels for the active
    // document, then the common end of a change under `name`.
    void recordStep(fImage* doc, const std::string& name, uint8_t value)
    {
        BitsBuffer bits = doc->Bits();
        bits.at(0, 0, 0) = value;
        LastActionName() = name;
        main->applyToDocument(doc->document(), bits);
    }
};

inline QRgb rgb(uint8_t r, uint8_t g, uint8_t b) { return qRgb(r, g, b); }

// The history window of that main window, shown.
class HistoryWindowFixture : public ToolWindowFixture {
protected:
    void SetUp() override
    {
        ToolWindowFixture::SetUp();
        history = new fPaste(main.get());
        history->show();
        QCoreApplication::processEvents();
    }
    fPaste* history = nullptr;
};

} // namespace tq::testing
