// fGradient: the program's one colour picker ("Color Picker"), a modal
// dialog that shows one colour as HSB, RGB, CMYK, L*a*b* and hexadecimal at
// once. The user picks it on a two-dimensional field and a slider whose axes
// follow the chosen mode (hue, saturation, brightness, red, green or blue:
// the slider's quantity), types or steps the HSB or RGB components, goes
// back to the colour passed in, and can keep to web-safe colours.
//
// Init(old, new) is the whole contract: the colour the caller's swatch shows
// goes in, and only when the user accepts does a new colour come out. The
// dialog is made once and afterwards only hidden, so its mode, options,
// place and picture cache last for the run.
//
// Typing: a changed box arms a 500 ms timer with its group ("hsb" or "rgb");
// the timer applies the group's three boxes. Typing into the other group
// first applies the pending one. OK applies a pending group before it
// accepts, so the colour returned is the colour the boxes show.
//
// Drawing: the whole client area is painted into a persistent picture
// through cGradient (frames, the field and slider pictures of the current
// mode, the ring marker and the slider arrow) and copied to the screen;
// every change of colour or mode invalidates that picture.
#pragma once

#include "colour/ColourModels.h"
#include "colour/FieldRenderer.h"
#include "colour/Picture.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tq {

class UpDownBar;

class fGradient : public QDialog {
    Q_OBJECT
public:
    // The client area at design: 7470 x 4320 twips.
    static constexpr int kDesignWidth = 498;
    static constexpr int kDesignHeight = 288;
    static constexpr int kKeyboardInterval = 500;   // ms
    static constexpr const char* kCaption = "Color Picker";

    // The six editable components, also the modes (FieldMode order).
    enum Component { kHue = 0, kSat = 1, kBri = 2, kRed = 3, kGreen = 4, kBlue = 5 };

    explicit fGradient(QWidget* parent = nullptr);
    ~fGradient() override;

    // Shows the dialog modally for clrColor (-1: black; a system colour
    // stands for its RGB). True, with clrNew set, only when the user chose
    // OK; otherwise clrNew is left alone.
    bool Init(int32_t clrColor, int32_t& clrNew);

    // The current (new) colour; writing runs the colour update.
    int32_t Color() const { return Color_; }
    void setColor(int32_t c);

    // ---- Controls --------------------------------------------------------------
    QGroupBox* fraColors = nullptr;
    QWidget* picReference = nullptr;
    QLabel* labOld = nullptr;
    QLabel* labNew = nullptr;
    QWidget* imgRect = nullptr;
    QWidget* imgBar = nullptr;
    QGroupBox* fraNumeric = nullptr;
    std::array<QRadioButton*, 6> opt{};      // optHue .. optBlue
    std::array<QLineEdit*, 6> txt{};         // txtHue .. txtBlue
    std::array<UpDownBar*, 6> upd{};         // updHue .. updBlue
    QWidget* picAdditional = nullptr;
    QLineEdit* txtLabLuminance = nullptr;
    QLineEdit* txtLabA = nullptr;
    QLineEdit* txtLabB = nullptr;
    QLineEdit* txtCyan = nullptr;
    QLineEdit* txtMagenta = nullptr;
    QLineEdit* txtYellow = nullptr;
    QLineEdit* txtBlack = nullptr;
    QLineEdit* txtNewColor = nullptr;
    QCheckBox* chkWebSafe = nullptr;
    QCheckBox* chkAccel = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer* tmrKeyboard = nullptr;
    // The group of typed values still to be applied: "", "hsb" or "rgb"
    // (read by tests).
    const QString& tmrKeyboardTag() const { return Tag_; }

    // ---- State ------------------------------------------------------------------
    int mode() const { return Mode_; }
    const HSBRecord& CurrentHSB() const { return CurrentHSB_; }
    int32_t OldColor() const { return OldColor_; }
    bool WebSafe() const { return WebSafe_; }
    bool Accelerate() const { return Accelerate_; }
    bool Accepted() const { return Accepted_; }
    int32_t FieldWidth() const { return Renderer_.FieldWidth; }
    int32_t FieldHeight() const { return Renderer_.FieldHeight; }
    int32_t BarHeight() const { return Renderer_.BarHeight; }
    const FieldRenderer& renderer() const { return Renderer_; }
    const Picture& ArrowIcon() const { return ArrowIcon_; }
    // The persistent picture of the client area, painted first if a change
    // has left it stale.
    const QImage& persistentImage();
    // Where pvPaint puts the ring marker's centre and the arrow's top.
    QPoint markerCentre() const;
    int arrowTop() const;

    // ---- Handlers (the events they stand for call them) ----------------------------
    void opt_Click(int index);
    // Mouse on the field and the slider, in their own pixels.
    void imgRect_MouseDown(int x, int y);
    void imgRect_MouseMove(int x, int y);
    void imgRect_MouseUp(int x, int y);
    void imgRect_DblClick();
    void imgBar_MouseDown(int y);
    void imgBar_MouseMove(int y);
    void imgBar_MouseUp(int y);
    void txt_Change(int index);
    void upd_Change(int index);
    void tmrKeyboard_Timer();
    void labOld_Click();
    void chkWebSafe_Click();
    void chkAccel_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // All models derived afresh from the RGB value, and a redraw.
    void pvRefresh();
    // The persistent picture is stale: the window repaints it.
    void pvInvalidate();
    // Draws the whole client area into the persistent picture.
    void pvPaint();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Resize();
    void drawReferenceFrame();
    void pvSetText(QLineEdit* box, const QString& text);
    void pvStartKeyboardTimer(const QString& tag);
    void processFieldPoint(int x, int y);
    void processBarPoint(int y);
    // Persistent drawing off and the window repainted at once (picking).
    void refreshNow();
    void setSwatch(QLabel* swatch, int32_t colour);
    void showSelection(QLineEdit* box, bool show);

    FieldRenderer Renderer_;
    int32_t Color_ = 0;
    int32_t OldColor_ = 0;
    HSBRecord CurrentHSB_{-1.0, 0.0, 0.0};
    HSBRecord LastHSB_{};
    bool Accepted_ = false;
    bool WebSafe_ = false;
    bool Accelerate_ = false;
    bool FillAvailable_ = false;   // the gradient fill answered at load
    bool UpdatingTexts_ = false;
    bool SyncingUpDown_ = false;
    bool DraggingField_ = false;
    bool DraggingBar_ = false;
    int Mode_ = kHue;
    QString Tag_;
    int32_t SegmentWidth_ = 0;
    int FullComponentsHeight_ = 0;
    Picture ArrowIcon_;
    QImage Image_;            // the persistent picture
    bool AutoRedraw_ = false; // the persistent picture is up to date
    bool Loaded_ = false;
    // The window's place when it was last closed.
    std::optional<QPoint> LastPlace_;
};

} // namespace tq
