// "Optimized Save Options ": exports the active picture in one of the 24
// output presets. Three tab pages show the picture unchanged ("Original"),
// as the current preset writes it ("Optimized"), and both side by side,
// panning together ("Both"); the panel on the right holds the presets and
// their options, "Save As" and "Exit".
//
// Every option change converts the unchanged picture again into the
// dialog's estimate file (a name of its own in the program's private
// temporary folder), so the optimised previews, file type, size and depth
// always show what the current options produce; "Save As" runs the same
// conversion on the file the user chooses. The conversions themselves and
// the option rules are the plain model of WebSave.h; the dialog holds the
// controls, the state fields (State) and the previews.
//
// The main window makes the dialog afresh for every opening, loads it
// (Form_Load) and shows it modally; closing it, however it is closed,
// stores its settings (Form_Unload) and deletes it.
//
// A conversion lets pending events run before it starts. A conversion asked
// for meanwhile (from an event handled there) is refused, not nested; once
// the running one ends, the estimate is brought up to date with the options
// as they then are.
#pragma once

#include "export/FWebPictureBox.h"
#include "export/WebSave.h"
#include "platform/Ports.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tq {

class UpDownBar;

// A pan offset, with the rules of a scroll bar that is never shown: a
// minimum of 0, a maximum set by the range update, a 16-bit value that
// starts at 0, an enabled flag. A value outside the range between minimum
// and maximum is refused; a new maximum brings the value into the new range.
// Every change of the value, however caused, is reported to Change.
class FWebOffsetBar {
public:
    std::function<void(int16_t)> Change;
    bool Enabled = true;

    int16_t Min() const { return 0; }
    int16_t Max() const { return max_; }
    int16_t Value() const { return value_; }
    // False, with nothing changed, outside the range.
    bool setValue(int32_t v);
    void setMax(int16_t m);

private:
    void set(int16_t v);
    int16_t max_ = 0;
    int16_t value_ = 0;
};

class FWeb : public QDialog {
    Q_OBJECT
public:
    explicit FWeb(QWidget* parent = nullptr);
    ~FWeb() override;

    // ---- State ----------------------------------------------------------------
    WebSaveState State;
    // The panning of the previews: 1 from a press on a picture to its release.
    uint8_t Panning = 0;
    float PanStartX = 0;
    float PanStartY = 0;
    // The "Save As" file dialog's request: title, filter, initial folder, and
    // the name last chosen.
    platform::FileDialogRequest Dlg;
    // The estimate file; "" when the private folder could not be had.
    std::string EstimateFile;

    // ---- Controls (design places in pixels, see the .cpp) ------------------------
    QTabWidget* sT = nullptr;          // "Original", "Optimized", "Both"
    QWidget* sb = nullptr;             // the status bar, three panels
    QLabel* sbPanel[3] = {};
    QWidget* sSave = nullptr;          // the options panel

    QWidget* p1 = nullptr;
    FWebClipBox* CiSrc = nullptr;
    FWebPictureBox* iSrc = nullptr;
    QGroupBox* frmOriginal = nullptr;
    QLabel* FileType1 = nullptr;       // shows the document's caption
    QLabel* FileTypeO = nullptr;
    QLabel* FileSize1 = nullptr;
    QLabel* FileDepth1 = nullptr;

    QWidget* p2 = nullptr;
    FWebClipBox* CoSrc = nullptr;
    FWebPictureBox* oSrc = nullptr;
    QGroupBox* frmOptimized = nullptr;
    QLabel* FileType2 = nullptr;
    QLabel* FileSize2 = nullptr;
    QLabel* Depth2 = nullptr;

    QWidget* p3 = nullptr;
    FWebClipBox* CoriginalP = nullptr;
    FWebPictureBox* OriginalP = nullptr;
    QGroupBox* frmOriginalP = nullptr;
    QLabel* oType = nullptr;
    QLabel* oSize = nullptr;
    QLabel* oColors = nullptr;
    FWebClipBox* COptimizedP = nullptr;
    FWebPictureBox* OptimizedP = nullptr;
    QGroupBox* frmOptimizedP = nullptr;
    QLabel* FileType4 = nullptr;
    QLabel* FileSize4 = nullptr;
    QLabel* Depth4 = nullptr;

    // The pan offsets of the four pictures.
    FWebOffsetBar H, V, Hop, Vop, HHor, VVor, HHop, VVop;

    QPushButton* CmdSave = nullptr;    // "Save As"
    QPushButton* CmdCancel = nullptr;  // "Exit"
    QComboBox* CboFiles = nullptr;     // the presets
    QGroupBox* fgif = nullptr;         // the colour-reduction options
    QComboBox* cboMap = nullptr;
    QComboBox* cboColorMode = nullptr;
    QComboBox* cboDither = nullptr;
    QGroupBox* FrmAPI = nullptr;
    QCheckBox* chkInvert = nullptr;
    QCheckBox* ChkInterlaced = nullptr;
    QCheckBox* chkFlipV = nullptr;
    QCheckBox* chkFlipH = nullptr;
    QGroupBox* Fjpg = nullptr;         // "JPEG Options"
    QGroupBox* frameJPG = nullptr;
    QLineEdit* TxtJPG = nullptr;       // the custom quality
    UpDownBar* TxtJPGD = nullptr;      // its up-down, 1 to 100
    QComboBox* cboJpg = nullptr;       // the quality items, never shown

    // The text of status-bar panel 1, 2 or 3.
    QString panelText(int panel) const;
    // The smallest width of the window's own area: 8000 twips, or what the
    // texts need in the desktop's font where that is more.
    int smallestWidth() const;

    // ---- Loading and unloading ------------------------------------------------------
    // Loads the dialog from the active document's extracted picture and the
    // settings, and makes the first estimate. False when the load ended
    // early (no document or picture, or the picture could not be measured;
    // the latter says why): the dialog is then not to be shown.
    bool Form_Load();
    // Stores the settings; runs once, whatever closes the dialog.
    void Form_Unload();

    // ---- Options ----------------------------------------------------------------------
    void CboFiles_Click();
    void cboMap_Click();
    void cboColorMode_Click();
    void cboDither_Click();
    void ChkInterlaced_Click();
    void chkFlipV_Click();
    void chkFlipH_Click();
    void chkInvert_Click();
    void cboJpg_Click();
    void TxtJPG_Change();
    void TxtJPG_GotFocus();
    // Only digits and Backspace reach the box (KeyAscii 0 drops a key).
    void TxtJPG_KeyPress(int16_t& KeyAscii);
    void TxtJPGD_Change();
    void TxtJPGD_GotFocus();
    // "Save As" and "Exit".
    void CmdSave_Click();
    void CmdCancel_Click();

    // ---- Conversions ---------------------------------------------------------------------
    // final: 0 for the estimate, 1 for the real save. Each shows what it
    // wrote in the optimised previews and texts.
    void OptimizeToFile(const std::string& path, int16_t final);
    void OptimizeJpegToFile(const std::string& path, int32_t quality, int16_t final);

    // ---- Previews (FWeb_Previews.cpp) ---------------------------------------------------
    void Form_Resize();
    void sT_Click();
    void Update_iSrc();
    void Update_oSrc();
    void Update_OriginalP();
    void Update_OptimizedP();
    void iSrc_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void iSrc_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void iSrc_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void oSrc_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void oSrc_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void oSrc_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void OriginalP_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void OriginalP_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void OriginalP_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void OptimizedP_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void OptimizedP_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void OptimizedP_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

public slots:
    void done(int r) override;

private:
    void buildPreviews();
    void buildOptions();
    void connectBars();
    void setPanelText(int panel, const QString& text);
    WebSaveChecks checks() const;
    // Shows a conversion's result; a real save that failed is also said in
    // a message box.
    void showResult(WebSaveResult& result, int16_t final);
    // True when a conversion may start now; false (refused) while one runs.
    bool startConversion();
    // Ends a conversion; a refused one is made up for with a new estimate.
    void endConversion();
    // The estimate for the options as they are.
    void estimate();
    void setOuterSize(int widthPixels, int heightPixels);
    // The width the window needs for no value, caption or status text to be
    // cut; also gives the status panels their smallest widths.
    int widthForTexts();
    void startPan(FWebPictureBox* picture, double X, double Y);
    void pan(std::initializer_list<FWebOffsetBar*> horizontal, std::initializer_list<FWebOffsetBar*> vertical,
             double X, double Y);
    void endPan(FWebPictureBox* picture);

    WebPicture source_;            // the unchanged picture
    bool converting_ = false;
    bool refused_ = false;
    bool holdConversions_ = false; // the load's first pass: the options only
    bool unloaded_ = false;
    int TextsWidth_ = 0;           // widthForTexts, made once
};

} // namespace tq
