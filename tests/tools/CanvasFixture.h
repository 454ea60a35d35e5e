// The canvas tools in the real main window: documents shown at a zoom and
// scrolled, tools chosen on the tool bar, and strokes made with QTest mouse
// events on the canvas at picture pixels.
#pragma once

#include "mainwindow/CommandFixture.h"

#include "document/ImageCanvas.h"
#include "document/Settings.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolKeys.h"

#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

#include <string>
#include <vector>

namespace tq::testing {

template <class Main = fMain>
class CanvasFixtureT : public CommandFixtureT<Main> {
protected:
    static constexpr int kWindowWidth = 330;
    static constexpr int kWindowHeight = 290;

    void SetUp() override
    {
        CommandFixtureT<Main>::SetUp();
        programSettings() = defaultSettings(this->programDir.path().toStdString());
        UndoPending() = false;
    }

    // A w x h document with the pattern, shown at zoom z in a window smaller
    // than the picture, scrolled a third of the way when `scrolled`.
    CountingImage* open(int w, int h, int z = 1, bool scrolled = false)
    {
        UndoPending() = false;
        CountingImage* d = this->openDocument(w, h);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(d->parentWidget())) sub->resize(kWindowWidth, kWindowHeight);
        d->setZoomFactor(z);
        if (scrolled) {
            int32_t v = d->vSB->Max() / 3;
            d->Scroll(d->hSB->Max() / 3, v);
        }
        QCoreApplication::processEvents();
        rowsBefore = programHistory().rowCount();
        before = d->Bits();
        d->snapshots = 0;
        return d;
    }

    // Clicks the tool-bar button of a ToolKey.
    void chooseTool(const std::string& key)
    {
        for (const tools::ToolButtonSpec& b : tools::kToolButtons)
            if (key == b.key) {
                QTest::mouseClick(this->main->tbTool->button(b.index), Qt::LeftButton);
                return;
            }
        FAIL() << "no tool " << key;
    }

    // The canvas point at the middle of picture pixel p.
    static QPoint at(const fImage& d, PointI p)
    {
        const int z = d.ZoomFactor();
        return QPoint(p.x * z - d.hSB->Value() + z / 2, p.y * z - d.vSB->Value() + z / 2);
    }
    // The picture pixel (dx, dy) pixels right of and below the view's corner.
    static PointI inView(const fImage& d, int dx, int dy)
    {
        const int z = d.ZoomFactor();
        return PointI{(d.hSB->Value() + z - 1) / z + dx, (d.vSB->Value() + z - 1) / z + dy};
    }

    static void press(fImage& d, PointI p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(d.iDst, b, {}, at(d, p));
    }
    // A move while a button QTest pressed is held.
    static void moveTo(fImage& d, PointI p) { QTest::mouseMove(d.iDst, at(d, p)); }
    // A move with no button held. (QTest makes those by moving the cursor,
    // which sends nothing when the cursor is already there.)
    static void hover(fImage& d, PointI p)
    {
        const QPoint c = at(d, p);
        QMouseEvent e(QEvent::MouseMove, QPointF(c), QPointF(d.iDst->mapToGlobal(c)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(d.iDst, &e);
    }
    static void release(fImage& d, PointI p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(d.iDst, b, {}, at(d, p));
    }
    // Press on the first point, a move to each next one, release on the last.
    static void drag(fImage& d, const std::vector<PointI>& points, Qt::MouseButton b = Qt::LeftButton)
    {
        press(d, points.front(), b);
        for (size_t i = 1; i < points.size(); ++i) moveTo(d, points[i]);
        release(d, points.back(), b);
    }
    static void key(fImage& d, Qt::Key k) { QTest::keyClick(d.iDst, k); }
    // The brush's options: its mode, diameter, pressure and Trace.
    static void brushOptions(int16_t mode, int16_t size, int16_t pressure, bool trace)
    {
        Settings& s = programSettings();
        s.BrushMode = mode;
        s.BrushSize = size;
        s.BrushPressure = pressure;
        s.BrushContinuous = trace;
    }

    int newRows() const { return programHistory().rowCount() - rowsBefore; }
    std::string lastRow() const { return programHistory().row(programHistory().rowCount() - 1).Ltext; }

    BitsBuffer before;   // the picture as opened
    int rowsBefore = 0;
};

using CanvasFixture = CanvasFixtureT<>;

// The first byte that differs, for a readable failure.
inline ::testing::AssertionResult samePixels(const BitsBuffer& got, const BitsBuffer& want)
{
    if (!got.sameShape(want)) return ::testing::AssertionFailure() << "sizes differ";
    for (int y = -2; y < got.height() + 2; ++y)
        for (int x = -2; x < got.width() + 2; ++x)
            for (int c = 0; c < 4; ++c)
                if (got.at(c, x, y) != want.at(c, x, y))
                    return ::testing::AssertionFailure() << "channel " << c << " of (" << x << ", " << y << "): "
                                                         << int(got.at(c, x, y)) << ", want " << int(want.at(c, x, y));
    return ::testing::AssertionSuccess();
}

} // namespace tq::testing
