// The thumbnail options dialog ("Thumbnails Options"): the size of one
// thumbnail cell, the thumbnail quality, the name and resolution labels and
// the background of the thumbnail panel. The cell size is edited three ways
// kept in step: two digit-only boxes, their up-downs, and a preview
// rectangle with three drag handles (bottom edge, corner, right edge).
//
// Every showing starts from the settings. A quality option takes effect in
// the settings at its click (Cancel does not take it back); OK stores the
// rest, applies it to the browser at once (re-laying its cells when it shows
// thumbnails) and writes the settings file. OK and Cancel both unload the
// dialog; Esc does nothing.
#pragma once

#include <QDialog>
#include <QPoint>

#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tq {

class ColourSwatch;
class LineEditTextBox;
class ScrollBarUpDown;
class UpDownBar;
class fToolBrowser;

class fOptions : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHandleSide = 6;      // pixels
    static constexpr int kWidthMin = 17, kWidthMax = 210;
    static constexpr int kHeightMin = 17, kHeightMax = 194;

    // browser: the browser the options apply to; null finds the main
    // window's own.
    explicit fOptions(QWidget* owner = nullptr, fToolBrowser* browser = nullptr);
    ~fOptions() override;

    // ---- Controls ---------------------------------------------------------------
    QGroupBox* Frame1 = nullptr;
    QWidget* fThumbnail = nullptr;
    QWidget* picThumbBox = nullptr;            // the preview area
    QWidget* picThumb = nullptr;               // the preview rectangle: the cell size
    std::array<QWidget*, 3> picSize{};         // handles: bottom, corner, right
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 2> optThumbnailQuality{};
    QCheckBox* chkThumbnailShowFilename = nullptr;
    QCheckBox* chkThumbnailShowResolution = nullptr;
    QGroupBox* Frame16 = nullptr;
    QLabel* Label1 = nullptr;
    ColourSwatch* pThumbnailWorkspaceBackground = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* txtThumbnailWidth = nullptr;
    UpDownBar* WWS = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtThumbnailHeight = nullptr;
    UpDownBar* HHS = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

    // ---- Handlers ------------------------------------------------------------------
    void cmdOK_Click();
    void cmdCancel_Click();
    void optThumbnailQuality_Click(int index);
    void pThumbnailWorkspaceBackground_Click();
    // p: the pointer inside the handle, in pixels.
    void picSize_MouseDown(int index, const QPoint& p);
    void picSize_MouseMove(int index, const QPoint& p, Qt::MouseButtons buttons);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Form_Load();
    // The preview from the two boxes, and the handles around it.
    void ApplyPreviewSize();
    // The handles around a w x h preview, as loading and dragging place them.
    void placeHandles(int w, int h);
    void sizeBoxChanged(QLineEdit* box, UpDownBar* bar);
    void barChanged(QLineEdit* box, UpDownBar* bar);
    fToolBrowser* browser() const;

    fToolBrowser* Browser_ = nullptr;
    QPoint Grab_;   // the pointer inside the handle at mouse-down
};

} // namespace tq
