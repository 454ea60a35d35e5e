#include "colour/bColorTool.h"

#include "colour/ColourModels.h"
#include "gdi/DeviceContext.h"
#include "gdi/SystemColours.h"
#include "document/Numeric.h"
#include "document/SharedRoutines.h"
#include "widgets/PropertyBag.h"
#include "platform/Ports.h"
#include "widgets/WidgetHelpers.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace tq {

namespace {

constexpr int kBarLeft = 70;
constexpr int kBarTops[3] = {14, 38, 62};
constexpr int kBarHeight = 8;
// 25 pixels leave no room for three digits in the desktop's font beside the
// box's own frame: the boxes reach into the 5 pixels to the surface's edge.
constexpr int kBoxWidth = 28;
constexpr int kBoxHeight = 19;
constexpr int kBoxTops[3] = {8, 32, 56};
constexpr int kSpectrumColumns = 190;
const char* const kComponentNames[3] = {"cRedValue", "cGreenValue", "cBlueValue"};

int32_t schemeColour(int32_t index)
{
    int32_t rgb = 0;
    systemColour(index, rgb);
    return rgb;
}

uint32_t rgbPixel(int r, int g, int b) { return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

void fillSolid(gdi::DeviceContext& dc, const RectI& r, int32_t colour)
{
    gdi::Brush* brush = gdi::createSolidBrush(static_cast<uint32_t>(colour));
    dc.fillRect(r, brush);
    gdi::deleteObject(brush);
}

void line(gdi::DeviceContext& dc, int x1, int y1, int x2, int y2, int32_t colour)
{
    gdi::Pen* pen = gdi::createPen(gdi::kPenSolid, 1, static_cast<uint32_t>(colour));
    gdi::Object* old = dc.select(pen);
    dc.moveTo(x1, y1);
    dc.lineTo(x2, y2);
    if (old) dc.select(old);
    gdi::deleteObject(pen);
}

// The frame of a bar or a swatch: the inner sunken edge on its left and top,
// the outer one on its right and bottom.
void twoPartFrame(gdi::DeviceContext& dc, const RectI& r)
{
    dc.drawEdge(r, gdi::kEdgeSunkenInner, gdi::kBorderLeft | gdi::kBorderTop);
    dc.drawEdge(r, gdi::kEdgeSunkenOuter, gdi::kBorderRight | gdi::kBorderBottom);
}

// The eight columns beyond the colours: white above, black below.
void endColumns(QImage& ramp)
{
    for (int y = 0; y < bColorTool::kRampHeight; ++y)
        for (int x = kSpectrumColumns; x < bColorTool::kRampWidth; ++x)
            ramp.setPixel(x, y, y <= 6 ? 0xFFFFFFFFu : 0xFF000000u);
}

QImage spectrumRamp(bool webSafe)
{
    QImage ramp(bColorTool::kRampWidth, bColorTool::kRampHeight, QImage::Format_RGB32);
    for (int x = 0; x < kSpectrumColumns; ++x) {
        const int32_t pure = pvHSBToRGB(pvMakeHSB(x * 360.0 / kSpectrumColumns, 100, 100));
        const int channels[3] = {colorRed(pure), colorGreen(pure), colorBlue(pure)};
        for (int y = 0; y < bColorTool::kRampHeight; ++y) {
            int v[3];
            for (int c = 0; c < 3; ++c) {
                double value = channels[c];
                if (y < 7)   // paler towards the top: row 0 four fifths white
                    value += (255.0 - value) * (7 - y) * 0.8 / 7;
                else         // darker towards the bottom: row 14 an eighth
                    value *= 1.0 - (y - 7) * 0.875 / 7;
                v[c] = rnd(value);
                if (webSafe) v[c] = bColorTool::webSafeLevel(v[c]);
            }
            ramp.setPixel(x, y, rgbPixel(v[0], v[1], v[2]));
        }
    }
    endColumns(ramp);
    return ramp;
}

QImage greyRamp(bool webSafe)
{
    static constexpr int kBands[6] = {0, 52, 102, 153, 204, 255};
    QImage ramp(bColorTool::kRampWidth, bColorTool::kRampHeight, QImage::Format_RGB32);
    for (int x = 0; x < kSpectrumColumns; ++x) {
        const int g = webSafe ? kBands[x * 6 / kSpectrumColumns] : rnd(x * 255.0 / (kSpectrumColumns - 1));
        for (int y = 0; y < bColorTool::kRampHeight; ++y) ramp.setPixel(x, y, rgbPixel(g, g, g));
    }
    endColumns(ramp);
    return ramp;
}

} // namespace

// ---- Swatch and ramp box ---------------------------------------------------------

EditorSwatch::EditorSwatch(QWidget* parent, int32_t colour) : QWidget(parent), colour_(colour)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void EditorSwatch::setBackColor(int32_t colour)
{
    colour_ = colour;
    update();
}

void EditorSwatch::paintEvent(QPaintEvent*)
{
    QImage face(width(), height(), QImage::Format_RGB32);
    face.fill(QColor(colorRed(colour_), colorGreen(colour_), colorBlue(colour_)));
    {
        gdi::DeviceContext dc(&face);
        twoPartFrame(dc, RectI{0, 0, width(), height()});
    }
    QPainter(this).drawImage(0, 0, face);
}

void EditorSwatch::mousePressEvent(QMouseEvent* e) { emit MouseDown(e->button()); }

RampBox::RampBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void RampBox::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    QPainter(this).drawImage(kBorder, kBorder, Picture);
}

void RampBox::mousePressEvent(QMouseEvent* e)
{
    emit MouseAt(e->buttons() | e->button(), e->position().toPoint() - QPoint(kBorder, kBorder), true);
}

void RampBox::mouseMoveEvent(QMouseEvent* e)
{
    emit MouseAt(e->buttons(), e->position().toPoint() - QPoint(kBorder, kBorder), false);
}

// ---- bColorTool ------------------------------------------------------------------

bColorTool::bColorTool(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    Surface_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
    Surface_.fill(0xFF000000u | gdi::pixelOf(static_cast<uint32_t>(schemeColour(kColourButtonFace))));

    picSelRect = new QWidget(this);
    picSelRect->setObjectName(QStringLiteral("picSelRect"));
    picSelRect->setAutoFillBackground(true);
    QPalette sel = picSelRect->palette();
    sel.setColor(QPalette::Window, QColor(0, 0, 128));
    picSelRect->setPalette(sel);
    picSelRect->setGeometry(9, 9, 26, 26);

    picRight = new EditorSwatch(this, 0xFFFFFF);
    picRight->setObjectName(QStringLiteral("picRight"));
    picRight->setGeometry(24, 24, 21, 21);
    picLeft = new EditorSwatch(this, 0x000000);
    picLeft->setObjectName(QStringLiteral("picLeft"));
    picLeft->setGeometry(8, 8, 21, 21);
    // The left swatch is edited at first: the right one lies at the back.
    picRight->lower();
    connect(picLeft, &EditorSwatch::MouseDown, this, [this] { picSwatch_MouseDown(0); });
    connect(picRight, &EditorSwatch::MouseDown, this, [this] { picSwatch_MouseDown(1); });

    picRGB = new QWidget(this);
    picRGB->setObjectName(QStringLiteral("picRGB"));
    picRGB->setGeometry(54, 8, 8, 69);
    const char* const letters[3] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i) {
        lblColor[i] = new QLabel(QString::fromLatin1(letters[i]), picRGB);
        lblColor[i]->setObjectName(QStringLiteral("lblColor%1").arg(i));
        lblColor[i]->setGeometry(0, i * 24, 8, 21);
        lblColor[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    for (int i = 0; i < 3; ++i) {
        QLineEdit* box = new QLineEdit(QStringLiteral("0"), this);
        box->setObjectName(QStringLiteral("txtColor%1").arg(i));
        box->setGeometry(kWidth - 30, kBoxTops[i], kBoxWidth, kBoxHeight);
        box->setMaxLength(3);
        box->setTextMargins(0, 0, 0, 0);
        box->installEventFilter(this);
        txtColor[i] = box;
        connect(box, &QLineEdit::textChanged, this, [this, i] { txtColor_Change(i); });
    }

    for (int k = 0; k < 4; ++k) imgRamp[k] = k % 2 == 0 ? spectrumRamp(k == 2) : greyRamp(k == 3);
    picRamp = new RampBox(this);
    picRamp->setObjectName(QStringLiteral("picRamp"));
    picRamp->setGeometry(4, 80, kRampWidth + 2 * RampBox::kBorder, kRampHeight + 2 * RampBox::kBorder);
    connect(picRamp, &RampBox::MouseAt, this,
            [this](Qt::MouseButtons b, const QPoint& p, bool press) { picRamp_Mouse(b, p, press); });

    mnuPopup = new QMenu(this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    const char* const captions[4] = {"RGB Spectrum", "Greyscale Ramp", "-", "Make Ramp Web Safe"};
    for (int i = 0; i < 4; ++i) {
        if (i == 2) {
            mnuRamp[i] = mnuPopup->addSeparator();
            continue;
        }
        mnuRamp[i] = mnuPopup->addAction(QString::fromLatin1(captions[i]));
        mnuRamp[i]->setCheckable(true);
        connect(mnuRamp[i], &QAction::triggered, this, [this, i] { mnuRamp_Click(i); });
    }
    showRamp(0);
    mnuRamp[0]->setChecked(true);
    updateRampMenu();

    setFixedSize(kWidth, kHeight);
    UserControl_Resize();
}

bColorTool::~bColorTool() = default;

// ---- Properties ----------------------------------------------------------------------

void bColorTool::setComponent(int i, int32_t v, const char* property)
{
    const int16_t value = static_cast<int16_t>(std::clamp(v, 0, 255));
    (i == 0 ? Red_ : i == 1 ? Green_ : Blue_) = value;
    emit PropertyChanged(QString::fromLatin1(property));
    writeBox(i, value);
}

void bColorTool::setcRedValue(int32_t v) { setComponent(0, v, kComponentNames[0]); }
void bColorTool::setcGreenValue(int32_t v) { setComponent(1, v, kComponentNames[1]); }
void bColorTool::setcBlueValue(int32_t v) { setComponent(2, v, kComponentNames[2]); }

void bColorTool::setBorderStyle(int32_t v)
{
    BorderStyle_ = static_cast<int16_t>(v);
    emit PropertyChanged(QStringLiteral("BorderStyle"));
    Redraw();
    RedrawMarkers();
}

std::string bColorTool::HTMLColor() const
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", Red_ & 0xFF, Green_ & 0xFF, Blue_ & 0xFF);
    return text;
}

void bColorTool::setcRampStyle(int32_t v)
{
    RampStyle_ = static_cast<int16_t>(v);
    emit PropertyChanged(QStringLiteral("cRampStyle"));
    mnuRamp_Click(v);
}

void bColorTool::ReadProperties(const PropertyBag& bag)
{
    Red_ = static_cast<int16_t>(bag.ReadProperty(QStringLiteral("cRedValue"), 0).toInt());
    Green_ = static_cast<int16_t>(bag.ReadProperty(QStringLiteral("cGreenValue"), 0).toInt());
    Blue_ = static_cast<int16_t>(bag.ReadProperty(QStringLiteral("cBlueValue"), 0).toInt());
    BorderStyle_ = static_cast<int16_t>(bag.ReadProperty(QStringLiteral("BorderStyle"), 0).toInt());
    CurrentColor_ = bag.ReadProperty(QStringLiteral("CurrentColor"), 0).toInt();
    RampStyle_ = static_cast<int16_t>(bag.ReadProperty(QStringLiteral("cRampStyle"), 0).toInt());
    if (RampStyle_ >= 0 && RampStyle_ < 4) {
        showRamp(RampStyle_);
        for (int i = 0; i < 4; ++i)
            if (i != 2) mnuRamp[i]->setChecked(i == RampStyle_);
    }
}

void bColorTool::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("cRedValue"), Red_, 0);
    bag.WriteProperty(QStringLiteral("cGreenValue"), Green_, 0);
    bag.WriteProperty(QStringLiteral("cBlueValue"), Blue_, 0);
    bag.WriteProperty(QStringLiteral("BorderStyle"), BorderStyle_, 0);
    bag.WriteProperty(QStringLiteral("CurrentColor"), CurrentColor_, 0);
    bag.WriteProperty(QStringLiteral("cRampStyle"), RampStyle_, 0);
}

// ---- Layout and drawing -------------------------------------------------------------------

void bColorTool::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    UserControl_Resize();
}

void bColorTool::UserControl_Resize()
{
    // The size is fixed (setFixedSize): a host cannot change it.
    const int W = kWidth;
    FrameRect_ = RectI{0, 0, W, kHeight};
    for (int b = 0; b < 3; ++b) {
        BarRect_[b] = RectI{kBarLeft, kBarTops[b], W - 38, kBarTops[b] + kBarHeight};
        txtColor[b]->move(W - 30, kBoxTops[b]);
    }
    picRGB->move(54, picRGB->y());
    ValueScale_ = single(255.0 / (W - 38 - 70 - 2));
    Redraw();
    // The first show resizes the control after its host has set the
    // components: the markers are placed from the values, never put back at
    // the bars' left ends.
    PlaceMarkers();
    picLeft->update();
    picRight->update();
}

void bColorTool::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    Redraw();
    RedrawMarkers();
    paintRampCorner();
}

void bColorTool::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, Surface_); }

int32_t bColorTool::boxValue(int i) const
{
    int16_t v = 0;
    toInt16(Val(txtColor[i]->text().toStdString()), v);
    return v;
}

void bColorTool::Redraw()
{
    // Pending messages first, as the control always did; the pump never
    // hands over user input, so no click is handled in between.
    platform::DoEvents();
    gdi::DeviceContext dc(&Surface_);
    fillSolid(dc, RectI{0, 0, kWidth, kHeight}, schemeColour(kColourButtonFace));

    const int32_t r = boxValue(0), g = boxValue(1), b = boxValue(2);
    const int32_t starts[3][3] = {{0, g, b}, {r, 0, b}, {r, g, 0}};
    const int32_t ends[3][3] = {{255, g, b}, {r, 255, b}, {r, g, 255}};
    for (int bar = 0; bar < 3; ++bar) {
        const RectI& rect = BarRect_[bar];
        const int n = rect.right - rect.left - 2;
        for (int i = 0; n >= 0 && i <= n; ++i) {
            int c[3];
            for (int k = 0; k < 3; ++k) {
                const int32_t s = starts[bar][k], e = ends[bar][k];
                c[k] = n == 0 ? s : rnd(s + static_cast<double>(i) * (e - s) / n);
            }
            const int x = rect.left + i;
            if (x < 0 || x >= kWidth) continue;
            for (int y = std::max(rect.top, 0); y < std::min(rect.bottom - 1, kHeight); ++y)
                reinterpret_cast<uint32_t*>(Surface_.scanLine(y))[x] = rgbPixel(c[0], c[1], c[2]);
        }
        twoPartFrame(dc, rect);
    }
    picLeft->update();
    picRight->update();

    static constexpr int32_t kEdges[6] = {0, 0xA, 0x5, 0x6, 0x9, 0x2};
    if (BorderStyle_ >= 1 && BorderStyle_ <= 5) dc.drawEdge(FrameRect_, kEdges[BorderStyle_], gdi::kBorderRect);

    if (WebSafe_)
        for (const RectI& rect : BarRect_)
            for (int dx : {20, 40, 61, 81}) line(dc, rect.left + dx, rect.top + 3, rect.left + dx, rect.bottom - 1, 0);
    update();
}

void bColorTool::drawMarkers()
{
    gdi::DeviceContext dc(&Surface_);
    const int32_t face = schemeColour(kColourButtonFace);
    const int32_t fore = schemeColour(kColourButtonText);
    for (int bar = 0; bar < 3; ++bar) {
        const RectI& b = BarRect_[bar];
        fillSolid(dc, RectI{b.left - 10, b.bottom, b.right + 10, b.bottom + 10}, face);
    }
    for (const RectI& m : MarkerRect_) {
        line(dc, m.left + 5, m.top, m.left, m.bottom, 0);
        line(dc, m.left, m.bottom, m.right, m.bottom, fore);
        line(dc, m.right, m.bottom, m.left + 5, m.top, fore);
    }
    update();
}

void bColorTool::PlaceMarkers()
{
    for (int bar = 0; bar < 3; ++bar) {
        const RectI& b = BarRect_[bar];
        const float x = static_cast<float>(boxValue(bar)) / ValueScale_ + 65.0f;
        MarkerRect_[bar] = RectI{rnd(x), b.bottom, rnd(single(x + 10.0f)), b.bottom + 5};
    }
    drawMarkers();
}

void bColorTool::RedrawMarkers()
{
    drawMarkers();
    picLeft->update();
    picRight->update();
}

void bColorTool::UpdateSwatch()
{
    EditorSwatch* edited = EditedSwatch_ == 0 ? picLeft : picRight;
    edited->setBackColor(Red_ + 256 * Green_ + 65536 * Blue_);
    picLeft->update();
    picRight->update();
}

void bColorTool::showRamp(int k)
{
    picRamp->Picture = imgRamp[static_cast<size_t>(k)];
    paintRampCorner();
}

void bColorTool::paintRampCorner()
{
    QPainter p(&picRamp->Picture);
    p.fillRect(QRect(190, 0, 8, 6), Qt::white);
    p.end();
    picRamp->update();
}

void bColorTool::updateRampMenu()
{
    mnuRamp[3]->setChecked(WebSafe_);
    mnuRamp[3]->setText(WebSafe_ ? QStringLiteral("Show non-Web Safe Ramp") : QStringLiteral("Make Ramp Web Safe"));
}

// ---- Boxes ---------------------------------------------------------------------------------

void bColorTool::writeBox(int i, int32_t value)
{
    QLineEdit* box = txtColor[i];
    const QString text = QString::number(value);
    if (box->text() == text)
        txtColor_Change(i);
    else
        box->setText(text);   // its change handling runs from the text change
}

void bColorTool::txtColor_Change(int i)
{
    QLineEdit* box = txtColor[i];
    // Each rewrite runs this handling again for the new text, then this run
    // goes on.
    if (box->text().isEmpty()) {
        box->setText(QStringLiteral("0"));
        box->selectAll();
    }
    if (Val(box->text().toStdString()) < 0) box->setText(QStringLiteral("0"));
    if (Val(box->text().toStdString()) > 255) box->setText(QStringLiteral("255"));

    Red_ = static_cast<int16_t>(std::clamp(boxValue(0), 0, 255));
    Green_ = static_cast<int16_t>(std::clamp(boxValue(1), 0, 255));
    Blue_ = static_cast<int16_t>(std::clamp(boxValue(2), 0, 255));
    CurrentColor_ = Red_ + 256 * Green_ + 65536 * Blue_;
    if (UpdateMode_ == 0) {
        Redraw();
        PlaceMarkers();
        UpdateSwatch();
    } else if (UpdateMode_ == 1) {
        Redraw();
    }
    emit Change();
}

bool bColorTool::eventFilter(QObject* watched, QEvent* e)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box) return QWidget::eventFilter(watched, e);
    if (e->type() == QEvent::KeyPress) {
        // Only digits and Backspace reach the boxes.
        if (refuseTypedKey(box, *static_cast<QKeyEvent*>(e), 0, mAPI::FilterDigitKey)) return true;
    } else if (e->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed the caret.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QWidget::eventFilter(watched, e);
}

// ---- Mouse ---------------------------------------------------------------------------------

void bColorTool::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    UserControl_MouseMove(e->buttons() | e->button(), p.x(), p.y());
}

void bColorTool::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    UserControl_MouseMove(e->buttons(), p.x(), p.y());
}

void bColorTool::UserControl_MouseMove(Qt::MouseButtons buttons, int x, int y)
{
    x = std::clamp(x, kBarLeft, kWidth - 40);
    if (buttons & Qt::LeftButton) {
        UpdateMode_ = 1;
        int bar = -1;
        for (int b = 0; b < 3 && bar < 0; ++b)
            if (BarRect_[b].top <= y && y <= BarRect_[b].bottom + 15) bar = b;
        if (bar >= 0) {
            const RectI& b = BarRect_[bar];
            int32_t value;
            if (WebSafe_) {
                const int d0 = x - kBarLeft;
                const int d = d0 <= 10 ? 0 : d0 <= 30 ? 20 : d0 <= 50 ? 40 : d0 <= 70 ? 61 : d0 <= 90 ? 81 : 101;
                MarkerRect_[bar] = RectI{d + 65, b.bottom, d + 75, b.bottom + 5};
                value = webSafeLevel(rnd(single(ValueScale_ * static_cast<float>(d))));
            } else {
                MarkerRect_[bar] = RectI{x - 5, b.bottom, x + 5, b.bottom + 5};
                value = rnd(single(static_cast<float>(x - kBarLeft) * ValueScale_));
            }
            writeBox(bar, value);
        }
        UpdateSwatch();
        emit Change();
        UpdateMode_ = 0;
    }
    RedrawMarkers();
}

void bColorTool::picSwatch_MouseDown(int which)
{
    UpdateMode_ = 1;
    EditedSwatch_ = which;
    PickedColor_ = (which == 0 ? picLeft : picRight)->BackColor();
    writeBox(0, PickedColor_ % 256);
    writeBox(1, (PickedColor_ / 256) % 256);
    writeBox(2, (PickedColor_ / 65536) % 256);
    if (which == 0) {
        picSelRect->setGeometry(9, 9, 26, 26);
        picRight->lower();
    } else {
        picSelRect->setGeometry(21, 21, 26, 26);
        picSelRect->raise();
        picRight->raise();
        picLeft->raise();
    }
    Redraw();
    PlaceMarkers();
    UpdateSwatch();
    UpdateMode_ = 0;
}

void bColorTool::picRamp_Mouse(Qt::MouseButtons buttons, const QPoint& p, bool press)
{
    const QImage& ramp = picRamp->Picture;
    const bool inside = p.x() >= 0 && p.y() >= 0 && p.x() < ramp.width() && p.y() < ramp.height();
    // A pixel that cannot be read counts as black.
    const QRgb px = inside ? ramp.pixel(p) : qRgb(0, 0, 0);
    if (buttons & Qt::LeftButton) {
        if (RampStyle_ == 0) {
            PickedColor_ = qRed(px) + 256 * qGreen(px) + 65536 * qBlue(px);
            if (WebSafe_) {
                UpdateMode_ = 2;
                writeBox(0, webSafeLevel(qRed(px)));
                writeBox(1, webSafeLevel(qGreen(px)));
                writeBox(2, webSafeLevel(qBlue(px)));
                Redraw();
                PlaceMarkers();
            } else {
                UpdateMode_ = 0;
                writeBox(0, qRed(px));
                writeBox(1, qGreen(px));
                writeBox(2, qBlue(px));
            }
            UpdateMode_ = 0;
        } else if (RampStyle_ == 1) {
            UpdateMode_ = 2;
            const int32_t g = greyLevel(qRed(px), qGreen(px), qBlue(px));
            for (int i = 0; i < 3; ++i) writeBox(i, g);
            Redraw();
            PlaceMarkers();
            UpdateMode_ = 0;
        }
    } else if ((buttons & Qt::RightButton) && press) {
        mnuPopup->popup(mapToGlobal(QPoint(picRamp->x() + RampBox::kBorder + p.x(), picRamp->y())));
    }
    UpdateSwatch();
}

// ---- The ramp menu ---------------------------------------------------------------------------

void bColorTool::mnuRamp_Click(int Index)
{
    if (Index == 0) {
        showRamp(WebSafe_ ? 2 : 0);
        RampStyle_ = 0;
    } else if (Index == 1) {
        showRamp(WebSafe_ ? 3 : 1);
        RampStyle_ = 1;
    } else if (Index == 3) {
        if (RampStyle_ == 0)
            showRamp(WebSafe_ ? 0 : 2);
        else if (RampStyle_ == 1)
            showRamp(WebSafe_ ? 1 : 3);
        for (int i = 0; i < 3; ++i) writeBox(i, webSafeLevel(boxValue(i)));
        WebSafe_ = !WebSafe_;
    }
    // The menu ticks its items itself when they are chosen: put the style's
    // ticks (and the web-safe one) back as they belong.
    if (Index == 0 || Index == 1 || (Index == 3 && (RampStyle_ == 0 || RampStyle_ == 1))) {
        mnuRamp[0]->setChecked(RampStyle_ == 0);
        mnuRamp[1]->setChecked(RampStyle_ == 1);
    }
    updateRampMenu();
    paintRampCorner();
    Redraw();
    RedrawMarkers();
}

// ---- Colour rules ------------------------------------------------------------------------------

int32_t bColorTool::webSafeLevel(int32_t v)
{
    if (v < 0 || v > 255) return 0;
    return (v + 25) / 51 * 51;
}

int32_t bColorTool::greyLevel(int32_t r, int32_t g, int32_t b)
{
    if (r == 255 && g == 255 && b == 255) return 255;
    const int32_t sum = rnd(r * 0.30) + rnd(g * 0.59) + rnd(b * 0.11);
    switch (sum) {
    case 54: return 51;
    case 103: return 102;
    case 205: return 204;
    default: return sum;
    }
}

} // namespace tq
