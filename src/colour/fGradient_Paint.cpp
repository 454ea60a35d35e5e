// The picker's controls, its set-up at load, the layout rule that sizes the
// field and the slider from the client area, and the paint routine.
#include "colour/fGradient.h"

#include "gdi/DeviceContext.h"
#include "gdi/GradientFill.h"
#include "colour/cGradient.h"
#include "document/Numeric.h"
#include "widgets/UpDownBar.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>

namespace tq {

namespace {

// The form's background: the desktop's button face.
constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
constexpr int32_t kMagenta = 0xFF00FF;

// Design sizes (pixels). The Components frame's width makes the field
// square at the design size: 498 - 176 - 76 = 246 = 288 - 20 - 22.
constexpr int kComponentsWidth = 176;
constexpr int kComponentsHeight = 186;
constexpr int kAdditionalTop = 90;
constexpr int kCheckHeight = 22;
constexpr int kReferenceWidth = 100;
constexpr int kReferenceHeight = 66;
constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 23;
constexpr int kRowHeight = 23;

// A picture box that shows what was drawn on it.
class PictureBox : public QWidget {
public:
    using QWidget::QWidget;
    QImage Picture;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!Picture.isNull()) QPainter(this).drawImage(0, 0, Picture);
    }
};

QLineEdit* displayBox(QWidget* parent, const char* name, const char* label, int x, int y, int width)
{
    auto* caption = new QLabel(QString::fromUtf8(label), parent);
    caption->setGeometry(x, y, 18, 21);
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(x + 18, y, width, 21);
    return box;
}

} // namespace

fGradient::fGradient(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fGradient"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(true);
    setFixedSize(kDesignWidth, kDesignHeight);
    buildControls();
    Form_Load();
}

void fGradient::buildControls()
{
    imgRect = new QWidget(this);
    imgRect->setObjectName(QStringLiteral("imgRect"));
    imgRect->setCursor(Qt::CrossCursor);
    imgRect->installEventFilter(this);
    imgBar = new QWidget(this);
    imgBar->setObjectName(QStringLiteral("imgBar"));
    imgBar->installEventFilter(this);

    chkWebSafe = new QCheckBox(QStringLiteral("Web colors only"), this);
    chkWebSafe->setObjectName(QStringLiteral("chkWebSafe"));
    chkWebSafe->resize(chkWebSafe->sizeHint().width(), kCheckHeight);
    chkAccel = new QCheckBox(QStringLiteral("Accelerate display"), this);
    chkAccel->setObjectName(QStringLiteral("chkAccel"));
    chkAccel->resize(chkAccel->sizeHint().width(), kCheckHeight);
    chkAccel->setChecked(true);
    chkAccel->setEnabled(false);
    chkAccel->hide();
    connect(chkWebSafe, &QCheckBox::clicked, this, [this] { chkWebSafe_Click(); });
    connect(chkAccel, &QCheckBox::clicked, this, [this] { chkAccel_Click(); });

    fraColors = new QGroupBox(QStringLiteral("Reference"), this);
    fraColors->setObjectName(QStringLiteral("fraColors"));
    fraColors->resize(kReferenceWidth, kReferenceHeight);
    picReference = new PictureBox(fraColors);
    picReference->setObjectName(QStringLiteral("picReference"));
    picReference->setGeometry(8, 18, kReferenceWidth - 16, kReferenceHeight - 24);
    labOld = new QLabel(picReference);
    labOld->setObjectName(QStringLiteral("labOld"));
    labOld->setAutoFillBackground(true);
    labOld->installEventFilter(this);
    labNew = new QLabel(picReference);
    labNew->setObjectName(QStringLiteral("labNew"));
    labNew->setAutoFillBackground(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->resize(kButtonWidth, kButtonHeight);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->resize(kButtonWidth, kButtonHeight);
    cmdCancel->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    fraNumeric = new QGroupBox(QStringLiteral("Components"), this);
    fraNumeric->setObjectName(QStringLiteral("fraNumeric"));
    fraNumeric->resize(kComponentsWidth, kComponentsHeight);
    static const char* const captions[6] = {"&H", "&S", "&B", "&R", "&G", "&B"};
    static const char* const names[6] = {"Hue", "Sat", "Bri", "Red", "Green", "Blue"};
    static const int maxima[6] = {359, 100, 100, 255, 255, 255};
    static const char* const units[3] = {"\u00B0", "%", "%"};
    for (int i = 0; i < 6; ++i) {
        const int x = i < 3 ? 6 : 90;
        const int y = 18 + (i % 3) * kRowHeight;
        opt[i] = new QRadioButton(QString::fromLatin1(captions[i]), fraNumeric);
        opt[i]->setObjectName(QStringLiteral("opt") + QString::fromLatin1(names[i]));
        opt[i]->setGeometry(x, y, 32, 21);
        txt[i] = new QLineEdit(fraNumeric);
        txt[i]->setObjectName(QStringLiteral("txt") + QString::fromLatin1(names[i]));
        txt[i]->setGeometry(x + 32, y, 30, 21);
        txt[i]->setMaxLength(3);
        txt[i]->installEventFilter(this);
        upd[i] = new UpDownBar(fraNumeric);
        upd[i]->setObjectName(QStringLiteral("upd") + QString::fromLatin1(names[i]));
        upd[i]->move(x + 62, y + 1);
        upd[i]->setRange(0, maxima[i]);
        upd[i]->setSingleStep(1);
        upd[i]->setPageStep(1);
        if (i < 3) {
            auto* unit = new QLabel(QString::fromUtf8(units[i]), fraNumeric);
            unit->setGeometry(x + 76, y, 10, 21);
        }
        connect(opt[i], &QRadioButton::clicked, this, [this, i] { opt_Click(i); });
        connect(txt[i], &QLineEdit::textChanged, this, [this, i] { txt_Change(i); });
        connect(upd[i], &QScrollBar::valueChanged, this, [this, i] { upd_Change(i); });
    }
    opt[kHue]->setChecked(true);

    picAdditional = new QWidget(fraNumeric);
    picAdditional->setObjectName(QStringLiteral("picAdditional"));
    picAdditional->setGeometry(0, kAdditionalTop, kComponentsWidth, kComponentsHeight - kAdditionalTop - 4);
    txtLabLuminance = displayBox(picAdditional, "txtLabLuminance", "L:", 6, 0, 48);
    txtLabA = displayBox(picAdditional, "txtLabA", "a:", 6, kRowHeight, 48);
    txtLabB = displayBox(picAdditional, "txtLabB", "b:", 6, 2 * kRowHeight, 48);
    txtNewColor = displayBox(picAdditional, "txtNewColor", "#", 6, 3 * kRowHeight, 58);
    txtCyan = displayBox(picAdditional, "txtCyan", "C:", 94, 0, 34);
    txtMagenta = displayBox(picAdditional, "txtMagenta", "M:", 94, kRowHeight, 34);
    txtYellow = displayBox(picAdditional, "txtYellow", "Y:", 94, 2 * kRowHeight, 34);
    txtBlack = displayBox(picAdditional, "txtBlack", "K:", 94, 3 * kRowHeight, 34);

    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        if (box->parentWidget() == picAdditional) box->installEventFilter(this);
        showSelection(box, false);
    }

    tmrKeyboard = new QTimer(this);
    tmrKeyboard->setObjectName(QStringLiteral("tmrKeyboard"));
    tmrKeyboard->setInterval(kKeyboardInterval);
    connect(tmrKeyboard, &QTimer::timeout, this, [this] { tmrKeyboard_Timer(); });
}

// ---- Set-up and layout ----------------------------------------------------------------------

void fGradient::Form_Load()
{
    // 1. The old colour in the upper half of the reference box, the new one
    //    in the lower half, two pixels in from its frame.
    const int W = picReference->width(), H = picReference->height();
    const int h2 = H / 2;
    labOld->setGeometry(2, 2, W - 4, h2 - 2);
    labNew->setGeometry(2, h2, W - 4, H - h2 - 2);
    // 2. The reference box's frame.
    drawReferenceFrame();
    // 3. The web-safe table is built with the renderer.
    // 4. The slider's arrow: two inward triangles on magenta, magenta then
    //    made transparent.
    {
        cGradient arrow;
        if (arrow.Init(29, 7)) {
            arrow.Cls(kMagenta);
            for (int i = 0; i <= 3; ++i) {
                arrow.DrawLine(i, i, i, 7 - i, 0);
                arrow.DrawLine(28 - i, i, 28 - i, 7 - i, 0);
            }
            ArrowIcon_ = arrow.ExtractIcon(kMagenta);
        }
    }
    // 5, 6.
    FullComponentsHeight_ = fraNumeric->height();
    Loaded_ = true;
    Form_Resize();
    // 7. The gradient fill: the call only shows whether it can be made.
    try {
        GradientFill(nullptr, nullptr, 0, nullptr, 0, kGradientFillRectH);
        FillAvailable_ = true;
    } catch (...) {
        FillAvailable_ = false;
    }
    if (FillAvailable_) {
        Accelerate_ = chkAccel->isChecked();
        chkAccel->setEnabled(!WebSafe_);
        chkAccel->show();
    }
}

void fGradient::drawReferenceFrame()
{
    auto* box = static_cast<PictureBox*>(picReference);
    const int W = box->width(), H = box->height();
    box->Picture = QImage(std::max(1, W), std::max(1, H), QImage::Format_RGB32);
    gdi::DeviceContext dc(&box->Picture);
    cGradient g;
    g.Init(W, H, nullptr, &dc);
    g.Cls(kButtonFace);
    g.DrawEdge(0, 0, W, H, gdi::kEdgeSunkenOuter, gdi::kBorderRect);
    g.FrameRect(1, 1, W - 1, H - 1, 0);
    g.Destroy();
    box->update();
}

void fGradient::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    Form_Resize();
}

void fGradient::Form_Resize()
{
    if (!Loaded_) return;
    const int SW = width(), SH = height();
    // 1, 2. The field's width a multiple of 6, so that each sixth of the
    //       hue circle has whole pixels; the slider as high as the field.
    SegmentWidth_ = rnd(static_cast<double>(SW - fraNumeric->width() - 16 - 60)) / 6;
    const int32_t fieldWidth = std::max(0, SegmentWidth_ * 6);
    const int32_t fieldHeight = std::max(0, rnd(static_cast<double>(SH - 20 - chkWebSafe->height())));
    Renderer_.FieldWidth = fieldWidth;
    Renderer_.FieldHeight = fieldHeight;
    Renderer_.BarHeight = fieldHeight;
    // 3 .. 7.
    imgRect->setGeometry(12, 12, fieldWidth, fieldHeight);
    imgBar->setGeometry(fieldWidth + 22, 12, 26, fieldHeight);
    chkWebSafe->move(imgRect->x(), imgRect->y() + imgRect->height() + 5);
    chkAccel->move(chkWebSafe->x() + chkWebSafe->width(), chkWebSafe->y());
    const int x = imgBar->x() + imgBar->width() + 20;
    fraColors->move(x, 5);
    fraNumeric->move(x, fraColors->y() + fraColors->height() + 5);
    const int x2 = fraNumeric->x() + fraNumeric->width() - cmdCancel->width();
    cmdOK->move(x2, 10);
    cmdCancel->move(x2, cmdOK->y() + cmdOK->height() + 5);
    // 8. Without room for the whole Components frame it ends above the
    //    display-only boxes.
    if (fraNumeric->y() + FullComponentsHeight_ > SH) {
        fraNumeric->resize(fraNumeric->width(), picAdditional->y());
        picAdditional->hide();
    } else {
        fraNumeric->resize(fraNumeric->width(), FullComponentsHeight_);
        picAdditional->show();
    }
    // 9.
    pvRefresh();
}

// ---- Painting -------------------------------------------------------------------------------

void fGradient::paintEvent(QPaintEvent*)
{
    if (!AutoRedraw_ || Image_.size() != size()) {
        AutoRedraw_ = true;
        pvPaint();
    }
    QPainter(this).drawImage(0, 0, Image_);
}

const QImage& fGradient::persistentImage()
{
    if (!AutoRedraw_ || Image_.size() != size()) {
        AutoRedraw_ = true;
        pvPaint();
    }
    return Image_;
}

QPoint fGradient::markerCentre() const
{
    const int32_t FL = imgRect->x(), FT = imgRect->y();
    const int32_t W1 = Renderer_.FieldWidth - 1, H1 = Renderer_.FieldHeight - 1;
    const int32_t R = colorRed(Color_), G = colorGreen(Color_), B = colorBlue(Color_);
    const HSBRecord& hsb = CurrentHSB_;
    switch (Mode_) {
    case kHue: return {FL + rnd(W1 * hsb.S) / 100, FT + rnd((100 - hsb.B) * H1) / 100};
    case kSat: return {FL + rnd(W1 * hsb.H) / 359, FT + rnd((100 - hsb.B) * H1) / 100};
    case kBri: return {FL + rnd(W1 * hsb.H) / 359, FT + rnd((100 - hsb.S) * H1) / 100};
    case kRed: return {FL + G * W1 / 255, FT + (255 - B) * H1 / 255};
    case kGreen: return {FL + R * W1 / 255, FT + (255 - B) * H1 / 255};
    case kBlue: return {FL + R * W1 / 255, FT + (255 - G) * H1 / 255};
    default: return {FL, FT};
    }
}

int fGradient::arrowTop() const
{
    const int32_t BT = imgBar->y();
    const int32_t H1 = Renderer_.BarHeight - 1;
    const int32_t R = colorRed(Color_), G = colorGreen(Color_), B = colorBlue(Color_);
    const HSBRecord& hsb = CurrentHSB_;
    switch (Mode_) {
    case kHue: return BT + rnd((359 - hsb.H) * H1) / 359 - 3;
    case kSat: return BT + rnd((100 - hsb.S) * H1) / 100 - 3;
    case kBri: return BT + rnd((100 - hsb.B) * H1) / 100 - 3;
    case kRed: return BT + (255 - R) * H1 / 255 - 3;
    case kGreen: return BT + (255 - G) * H1 / 255 - 3;
    case kBlue: return BT + (255 - B) * H1 / 255 - 3;
    default: return BT - 3;
    }
}

void fGradient::pvPaint()
{
    if (Image_.size() != size()) Image_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    gdi::DeviceContext dc(&Image_);
    cGradient g;
    g.Init(Image_.width(), Image_.height(), nullptr, &dc);
    g.Cls(kButtonFace);

    // The field, framed.
    int32_t L = imgRect->x() - 2, T = imgRect->y() - 2;
    int32_t R = L + Renderer_.FieldWidth + 4, B = T + Renderer_.FieldHeight + 4;
    g.DrawEdge(L, T, R, B, gdi::kEdgeSunkenOuter, gdi::kBorderRect);
    g.FrameRect(L + 1, T + 1, R - 1, B - 1, 0);
    g.PaintPicture(Renderer_.FieldPicture, L + 2, T + 2);

    // The slider: its 16-pixel picture centred in the 26-pixel area.
    L = imgBar->x() + 3;
    T = imgBar->y() - 2;
    R = L + 20;
    B = T + Renderer_.BarHeight + 4;
    g.DrawEdge(L, T, R, B, gdi::kEdgeSunkenOuter, gdi::kBorderRect);
    g.FrameRect(L + 1, T + 1, R - 1, B - 1, 0);
    g.PaintPicture(Renderer_.BarPicture, L + 2, T + 2);

    // The ring marker, in a colour that stands out from the current one.
    const QPoint m = markerCentre();
    const double luma = 0.299 * colorRed(Color_) + 0.587 * colorGreen(Color_) + 0.114 * colorBlue(Color_);
    const int32_t c = luma > 127 ? 0 : 0xFFFFFF;
    const int32_t rings[3][2] = {{3, 0xFFFFFF - c}, {4, c}, {5, 0xFFFFFF - c}};
    for (const auto& ring : rings)
        g.DrawEllipse(m.x() - ring[0], m.y() - ring[0], m.x() + ring[0], m.y() + ring[0], ring[1]);

    // The arrow: its middle row on the slider's value.
    g.PaintPicture(ArrowIcon_, imgBar->x() - 2, arrowTop());
    g.Destroy();
}

} // namespace tq
