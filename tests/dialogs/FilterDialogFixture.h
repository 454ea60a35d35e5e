// The filter dialog's tests: a main window with counting documents (see
// CommandFixture.h), the dialog opened on a page as its command keys open it,
// and a recording engine that stands behind the dialog's page call and
// writes down each member it is asked for, with its arguments and the size
// of the buffer it would have filtered.
#pragma once

#include "mainwindow/CommandFixture.h"

#include "CallRecorder.h"
#include "filters/WholePicture.h"

#include "dialogs/FilterPages.h"
#include "dialogs/FilterPreviewBox.h"
#include "dialogs/fFilter.h"
#include "document/PictureRoutines.h"
#include "widgets/ColourSwatch.h"
#include "widgets/UpDownBar.h"
#include "widgets/cpvSlider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QPointer>
#include <QTest>

#include <cstdio>
#include <string>
#include <vector>

namespace tq::testing {

// Has every member the pages call, with the engine's parameter types.
struct RecordingFilterEngine : CallRecorder {
    BitsBuffer bits;   // what a call returns: the buffer it was given

    template <class... A>
    BitsBuffer rec(const char* name, A... args)
    {
        record(name, args...);
        return bits;
    }

    FilterResult COLORIZE(float h, float s, float l) { return rec("COLORIZE", h, s, l); }
    FilterResult BRIGHTNESS(int32_t f) { return rec("BRIGHTNESS", f); }
    BitsBuffer Contrast(int32_t f) { return rec("Contrast", f); }
    BitsBuffer SATURATION(int32_t f) { return rec("SATURATION", f); }
    BitsBuffer GammaCorrection(int32_t f) { return rec("GammaCorrection", f); }
    BitsBuffer DIFFUSE(int32_t w, int32_t h) { return rec("DIFFUSE", w, h); }
    FilterResult Blurs(int32_t f) { return rec("Blurs", f); }
    FilterResult HALFTONE(int32_t r, int32_t d, int32_t i) { return rec("HALFTONE", r, d, i); }
    FilterResult PIXELIZE(int32_t s) { return rec("PIXELIZE", s); }
    BitsBuffer EMBOSS(int32_t f) { return rec("EMBOSS", f); }
    BitsBuffer Engrave(int32_t f) { return rec("Engrave", f); }
    FilterResult CONTOUR(int32_t f, int32_t back) { return rec("CONTOUR", f, back); }
    BitsBuffer SKETCH(int32_t f, bool bw, int32_t back) { return rec("SKETCH", f, bw, back); }
    BitsBuffer Threshold(int32_t f) { return rec("Threshold", f); }
    FilterResult ISOLATE(int32_t c, int32_t e, int32_t t) { return rec("ISOLATE", c, e, t); }
    FilterResult Reduction(int32_t f) { return rec("Reduction", f); }
    BitsBuffer REPLACE(int32_t from, int32_t to, int32_t t) { return rec("REPLACE", from, to, t); }
    FilterResult ReplaceHS(int32_t from, int32_t to, int32_t h, int32_t s, int32_t t)
    {
        return rec("ReplaceHS", from, to, h, s, t);
    }
    FilterResult ReplaceL(int32_t from, int32_t to, int32_t l, int32_t t) { return rec("ReplaceL", from, to, l, t); }
    FilterResult SHARPEN(int32_t f) { return rec("SHARPEN", f); }
    FilterResult SOFTEN(int32_t f) { return rec("SOFTEN", f); }
    BitsBuffer Shift(int32_t from, int32_t inc, int32_t t) { return rec("Shift", from, inc, t); }
    FilterResult RotateH(int32_t o, int32_t s) { return rec("RotateH", o, s); }
    FilterResult RotateL(int32_t o, int32_t s) { return rec("RotateL", o, s); }
    BitsBuffer StretchH(int32_t o, int32_t s, int32_t st) { return rec("StretchH", o, s, st); }
    BitsBuffer ShiftRGB(int32_t r, int32_t g, int32_t b) { return rec("ShiftRGB", r, g, b); }
    BitsBuffer SwapRGB(int32_t r, int32_t g, int32_t b, int16_t ri, int16_t gi, int16_t bi, int16_t rk, int16_t gk,
                       int16_t bk)
    {
        return rec("SwapRGB", r, g, b, ri, gi, bi, rk, gk, bk);
    }
    BitsBuffer LENS(float x, float y, float d, int32_t f) { return rec("LENS", x, y, d, f); }
    BitsBuffer WAVES(int32_t f, int32_t a, int32_t s) { return rec("WAVES", f, a, s); }
    BitsBuffer BEND(int32_t r, bool c) { return rec("BEND", r, c); }
    BitsBuffer FOLD(int32_t w, int32_t h, bool c) { return rec("FOLD", w, h, c); }
    BitsBuffer ROTATE(int32_t d, bool c) { return rec("ROTATE", d, c); }
    BitsBuffer STRETCH(int32_t w, int32_t h, bool c) { return rec("STRETCH", w, h, c); }
    BitsBuffer TILE(int32_t f) { return rec("TILE", f); }
    BitsBuffer TWIRL(int32_t f, int32_t o, bool c) { return rec("TWIRL", f, o, c); }
    FilterResult Grid(int32_t h, int32_t v, bool m, int32_t c, int32_t o) { return rec("Grid", h, v, m, c, o); }
    FilterResult Light(float x, float y, float d, int32_t i, int32_t df) { return rec("Light", x, y, d, i, df); }
    BitsBuffer NOISE(int32_t f, bool eq) { return rec("NOISE", f, eq); }
    BitsBuffer Scanlines(int32_t f) { return rec("Scanlines", f); }
    BitsBuffer GLASS(std::string_view style, int16_t i) { return rec("GLASS", style, i); }
};

// One page call the dialog made: the member with its arguments, and the
// size of the buffer it was made on (the preview or the whole picture).
struct PageCallRecord {
    std::string call;
    int width = 0;
    int height = 0;
};

class FilterDialogFixture : public CommandFixture {
protected:
    void TearDown() override
    {
        closeDialog();
        CommandFixture::TearDown();
    }

    // The dialog on `page` for the active document, as a command key opens
    // it. With `recording` the page calls go to the recording engine
    // (installed before the dialog loads, so the first preview is seen).
    fFilter* open(int32_t page, bool recording = false)
    {
        closeDialog();
        recorded.clear();
        fullSizeCalls = 0;
        // As the dispatcher does before a command.
        mBitmap::GetActiveImage(ActiveImage());
        dialog = new fFilter(main.get());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->fltID = page;
        if (recording) {
            dialog->pageCall = [this](cBitFilter& e, int32_t p, const FilterPageArgs& a) -> FilterResult {
                RecordingFilterEngine rec;
                rec.bits = e.Bits();
                FilterResult r = runFilterPage(rec, p, a);
                if (!rec.calls.empty()) recorded.push_back({rec.calls.back(), e.BitsWidth(), e.BitsHeight()});
                return r;
            };
        } else {
            // The real engine, counting the runs on the whole picture.
            dialog->pageCall = [this](cBitFilter& e, int32_t p, const FilterPageArgs& a) -> FilterResult {
                if (dialog && (dialog->RealTimeRun || dialog->CommitRun)) ++fullSizeCalls;
                return runFilterPage(e, p, a);
            };
        }
        dialog->Form_Load();
        dialog->show();
        return dialog.data();
    }
    void closeDialog()
    {
        if (dialog && !dialog->unloaded()) dialog->cmdCancel_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The last page call, "" when none was made.
    std::string lastCall() const { return recorded.empty() ? std::string() : recorded.back().call; }

    // The document's pixels run through a page on an engine of our own, with
    // the whole picture selected.
    static BitsBuffer filteredDirectly(const BitsBuffer& picture, int32_t page, const FilterPageArgs& args)
    {
        FilterResult r = runOnWholePicture(picture, [&](cBitFilter& engine) { return runFilterPage(engine, page, args); });
        return r ? std::move(*r) : picture;
    }

    QPointer<fFilter> dialog;
    std::vector<PageCallRecord> recorded;
    int fullSizeCalls = 0;
};

} // namespace tq::testing
