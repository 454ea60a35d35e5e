// The filter dialog: sets the parameters of one of the 41 parametric filters
// (the page fltID, see FilterPages.h), previews the filter live on a reduced
// copy of the document beside the unfiltered copy, may apply it to the whole
// picture at once ("Real Time"), and commits it with OK (one undo step,
// labelled with the menu's text) or abandons it with Cancel (the picture as
// it was before the dialog).
//
// The dialog works on the document that was active when it opened, for its
// whole life: its pixels as they were then are the start of every full-size
// run and what Cancel puts back, and OK commits to it, whichever document
// becomes active meanwhile.
//
// Previews: the picture is reduced once per opening (nearest pixel, fitted
// into 160 x 110, never enlarged, each side at least 1); every parameter
// change filters that small copy again, with the selection scaled to it.
//
// Every handler skips a failing step and goes on; the dialog shows no
// message.
#pragma once

#include "dialogs/FilterPages.h"
#include "document/ProgramContext.h"
#include "filters/cBitFilter.h"
#include "core/BitsBuffer.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tq {

class ColourSwatch;
class FilterPreviewBox;
class UpDownBar;
class cBitRegion;
class cpvSlider;

class fFilter : public QDialog {
    Q_OBJECT
public:
    explicit fFilter(QWidget* parent = nullptr);
    ~fFilter() override;

    // The page (FilterPageId); written by the opener before Form_Load.
    int32_t fltID = 0;

    // ---- Controls -----------------------------------------------------------
    QFrame* lblBkSrc = nullptr;
    FilterPreviewBox* iSrc = nullptr;
    QFrame* lblBkDst = nullptr;
    FilterPreviewBox* iDst = nullptr;
    QFrame* frFactors = nullptr;
    std::array<QFrame*, 3> frFilter{};
    std::array<QLabel*, 3> lblFInfo{};
    std::array<cpvSlider*, 3> sbFilter{};
    std::array<QLineEdit*, 3> lblFilterV{};
    std::array<UpDownBar*, 3> sbFilterV{};
    QFrame* frOption = nullptr;
    QCheckBox* chkOption = nullptr;
    QLabel* lblOption = nullptr;
    QFrame* frColor = nullptr;
    std::array<ColourSwatch*, 2> Col{};
    // The channel banks: one column per output channel (red, green, blue),
    // each with the boxes "B" (0), "G" (1), "R" (2).
    QFrame* frBanks = nullptr;
    QLabel* lblRed = nullptr;
    QLabel* lblGreen = nullptr;
    QLabel* lblBlue = nullptr;
    QLabel* lblInvert = nullptr;
    QLabel* lblKill = nullptr;
    QFrame* frRChannel = nullptr;
    QFrame* frGChannel = nullptr;
    QFrame* frBChannel = nullptr;
    std::array<QCheckBox*, 3> optRChannel{};
    std::array<QCheckBox*, 3> optGChannel{};
    std::array<QCheckBox*, 3> optBChannel{};
    std::array<QCheckBox*, 3> chkInvt{};   // red, green, blue
    std::array<QCheckBox*, 3> chkKill{};   // red, green, blue
    QGroupBox* FrmGlass = nullptr;
    std::array<QRadioButton*, 4> oo{};      // "Slanting", "Vertical", "Horizontal", "Squary"
    QComboBox* cbo = nullptr;
    QGroupBox* FrmCurtain = nullptr;
    std::array<QRadioButton*, 4> Curt{};    // "Horizontal", "Vertical", "Classy", "Whity"
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdPreview = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* tmrSelect = nullptr;

    // ---- State --------------------------------------------------------------
    // The dialog's own engine, made at opening and released by OK and Cancel.
    std::unique_ptr<cBitFilter> tFilter;
    int32_t PreviewWidth = 0;
    int32_t PreviewHeight = 0;
    // The unfiltered reduced copy and the last preview result, bordered.
    DibRecord PreviewSource;
    DibRecord PreviewResult;
    // The document's selection at the size being filtered.
    std::unique_ptr<cBitRegion> PreviewRegion;
    bool PageReady = false;
    std::array<std::string, 3> RowFormat;
    // Each row's display scale (the slider's tag).
    std::array<float, 3> RowScale{1.0f, 1.0f, 1.0f};
    std::array<int32_t, 3> CentreOffset{};
    int32_t LastRow = -1;
    std::array<int32_t, 3> ParamValue{};
    bool OptionValue = false;
    std::array<int32_t, 2> SwatchColor{};
    bool RealTimeRun = false;
    bool CommitRun = false;
    bool AlreadyApplied = false;
    bool PickEnabled = false;
    float PickX = 0.5f;
    float PickY = 0.5f;
    int32_t CrosshairColor = 0;
    std::string GlassStyleName;
    std::array<bool, 3> BankBusy{};

    // The page's call on the dialog's engine. The dialog's own is the page
    // table's; a test puts a recording engine behind it.
    using PageCall = std::function<FilterResult(cBitFilter& engine, int32_t page, const FilterPageArgs& args)>;
    PageCall pageCall;

    // The document the dialog works on (null when it had none or it closed).
    fImage* document() const;
    // True once OK or Cancel has unloaded the dialog.
    bool unloaded() const { return unloaded_; }
    // The arguments the next run passes, as last read.
    FilterPageArgs pageArgs() const;

    // ---- Opening and the frame --------------------------------------------
    void Form_Load();
    void SetupFilter(int32_t page);
    void SetupSlider(int32_t index, const std::string& label, int32_t min, int32_t max, float scale, int32_t def,
                     const std::string& format, bool centred);
    void SetupOption(const std::string& label, bool& def);
    void RunFilter(int32_t page);
    void tFilter_Progress(int32_t& percent);

    // ---- Handlers -----------------------------------------------------------
    void sbFilter_ValueChanged(int32_t index);
    void sbFilterV_Change(int32_t index);
    void lblFilterV_Change(int32_t index);
    void lblFilterV_GotFocus(int32_t index);
    void lblFilterV_KeyPress(int32_t index, int16_t& KeyAscii);
    void chkOption_Click();
    void lblOption_Click();
    void cmdPreview_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // ---- Point picking, swatches, banks, glass and curtain -------------------
    void EnablePointPick();
    void ShowColorSwatches(int16_t hide);
    void DrawCrosshair();
    void iSrc_MouseDown(Qt::MouseButton button, float x, float y);
    void iSrc_MouseMove(Qt::MouseButtons buttons, float x, float y);
    void tmrSelect_Timer();
    void Col_Click(int32_t index);
    // A click on box `box` of the column for output channel `channel`
    // (0 red, 1 green, 2 blue).
    void optChannel_Click(int32_t channel, int32_t box);
    void chkInvt_Click(int32_t index);
    void chkKill_Click(int32_t index);
    void oo_Click(int32_t index);
    void cbo_Click();
    void Curt_Click(int32_t index);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void buildBanks();
    void buildGlass();
    void buildCurtain();
    void setupBanks();
    void setupGlass();
    void setupCurtain();
    void clearRunFlags();
    // The pixels of the document as they were when the dialog opened.
    const BitsBuffer& originalPicture() const;
    // The full-size result becomes the document's pixels as one undo step.
    void commit(fImage& doc, BitsBuffer result);
    void pick(float x, float y);
    // OK and Cancel end here: the engine and the region go, the blink stops,
    // the document's outline moves again when it has a selection, and the
    // dialog closes.
    void unload();

    DocumentRef doc_;
    int32_t pictureWidth_ = 0;
    int32_t pictureHeight_ = 0;
    // The document's pixels as they were before "Real Time" first changed
    // them; until then the document itself holds them.
    BitsBuffer original_;
    bool unloaded_ = false;
};

// Opens the filter dialog on a page for the active document, as the page's
// command keys do: a fresh dialog, its page set before it loads, shown
// modally; the call returns at once and the dialog's own OK or Cancel ends
// it. An open filter dialog is only raised. nullptr when none was opened.
fFilter* openFilterDialog(int32_t page);

} // namespace tq
