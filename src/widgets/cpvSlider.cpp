#include "widgets/cpvSlider.h"

#include "widgets/PropertyBag.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace tq {
namespace {

// Whole number nearest to v, a half going to the even neighbour.
int32_t nearest(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// A colour number as the control gets it: red in the low byte, or a system
// colour (&H80000000 + the desktop's colour index) taken from the palette.
QColor translateColour(int32_t c, const QPalette& pal)
{
    const uint32_t u = static_cast<uint32_t>(c);
    if ((u & 0xFF000000u) == 0x80000000u) {
        switch (u & 0xFFu) {
        case 5: return pal.color(QPalette::Base);               // window
        case 8: return pal.color(QPalette::Text);               // window text
        case 13: return pal.color(QPalette::Highlight);
        case 14: return pal.color(QPalette::HighlightedText);
        case 15: return pal.color(QPalette::Button);            // button face
        case 16: return pal.color(QPalette::Dark);              // button shadow
        case 18: return pal.color(QPalette::ButtonText);
        case 20: return pal.color(QPalette::Light);             // button highlight
        case 21: return pal.color(QPalette::Shadow);            // 3D dark shadow
        case 22: return pal.color(QPalette::Midlight);          // 3D light
        case 23: return pal.color(QPalette::ToolTipText);
        case 24: return pal.color(QPalette::ToolTipBase);
        default: return pal.color(QPalette::Window);
        }
    }
    return QColor(int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF));
}

// The desktop's three-dimensional edge around r (all four sides), made of
// an outer and an inner border of one pixel each; kind as the platform's
// edge flags: 10 sunken, 5 raised, 2 thin sunken (outer only), 4 thin raised
// (inner only), 0 nothing.
void drawEdge(QPainter& p, const cpvSlider::Rect& r, int kind, const QPalette& pal)
{
    const QColor highlight = pal.color(QPalette::Light);
    const QColor light = pal.color(QPalette::Midlight);
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor darkShadow = pal.color(QPalette::Shadow);
    auto border = [&](int l, int t, int rt, int b, const QColor& topLeft, const QColor& bottomRight) {
        if (rt - l < 1 || b - t < 1) return;
        p.setPen(topLeft);
        p.drawLine(l, t, rt - 2, t);
        p.drawLine(l, t, l, b - 2);
        p.setPen(bottomRight);
        p.drawLine(l, b - 1, rt - 1, b - 1);
        p.drawLine(rt - 1, t, rt - 1, b - 1);
    };
    int l = r.left, t = r.top, rt = r.right, b = r.bottom;
    const bool sunkenOuter = kind & 2, raisedOuter = kind & 1;
    const bool sunkenInner = kind & 8, raisedInner = kind & 4;
    if (sunkenOuter || raisedOuter) {
        border(l, t, rt, b, sunkenOuter ? shadow : light, sunkenOuter ? highlight : darkShadow);
        ++l, ++t, --rt, --b;
    }
    if (sunkenInner || raisedInner)
        border(l, t, rt, b, sunkenInner ? darkShadow : highlight, sunkenInner ? light : shadow);
}

int edgeKindOf(int32_t railStyle)
{
    switch (railStyle) {
    case 0: return 10;   // sunken
    case 1: return 5;    // raised
    case 2: return 2;    // thin sunken
    case 3: return 4;    // thin raised
    case 4: return 0;    // no edge
    default: return -1;  // no rail at all
    }
}

qint16 shiftState(Qt::KeyboardModifiers m)
{
    qint16 s = 0;
    if (m & Qt::ShiftModifier) s |= 1;
    if (m & Qt::ControlModifier) s |= 2;
    if (m & Qt::AltModifier) s |= 4;
    return s;
}

// ---- The value tip ------------------------------------------------------

class ValueTip : public QWidget {
public:
    ValueTip()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                               Qt::WindowStaysOnTopHint)
    {
        setObjectName(QStringLiteral("frmValueTip"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
        pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
        setPalette(pal);
        QFont f(QStringLiteral("Tahoma"));
        f.setPointSizeF(8.25);
        setFont(f);
        label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblTip"));
        label->move(2, 1);
    }
    QLabel* label;

protected:
    void paintEvent(QPaintEvent*) override
    {
        // A one-pixel raised frame round the cleared window.
        QPainter p(this);
        const int w = width(), h = height();
        p.fillRect(rect(), palette().color(QPalette::Window));
        p.setPen(palette().color(QPalette::Midlight));
        p.drawLine(0, 0, w, 0);
        p.drawLine(0, 0, 0, h);
        p.setPen(palette().color(QPalette::Shadow));
        p.drawLine(w - 1, 0, w - 1, h);
        p.drawLine(0, h - 1, w, h - 1);
    }
};

QPointer<ValueTip>& sharedTip()
{
    static QPointer<ValueTip> tip;
    return tip;
}

ValueTip* tipWindow()
{
    QPointer<ValueTip>& tip = sharedTip();
    if (!tip) {
        tip = new ValueTip;
        // A window without owner: it goes with the application.
        qAddPostRoutine([] { delete sharedTip().data(); });
    }
    return tip.data();
}

} // namespace

// ---- Creation ---------------------------------------------------------------

cpvSlider::cpvSlider(QWidget* parent) : QWidget(parent), SliderIcon_(defaultThumb())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    parkThumb();
    UserControl_Resize();
}

cpvSlider::~cpvSlider()
{
    if (Dragging_) closeTip();
}

QImage cpvSlider::defaultThumb()
{
    // A raised grip with a point below, like the desktop's own slider thumb.
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(3.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(12.5, 9.5);
    body.lineTo(8, 14.5);
    body.lineTo(3.5, 9.5);
    body.closeSubpath();
    QLinearGradient g(0, 1, 0, 15);
    g.setColorAt(0, QColor(0xFC, 0xFC, 0xFC));
    g.setColorAt(1, QColor(0xC8, 0xCC, 0xD4));
    p.fillPath(body, g);
    p.setPen(QPen(QColor(0x55, 0x5A, 0x64), 1));
    p.drawPath(body);
    p.setPen(QPen(QColor(0x8A, 0x90, 0x9A), 1));
    for (double y : {4.5, 6.5, 8.5}) p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
    return img;
}

// ---- Properties ---------------------------------------------------------------

void cpvSlider::setBackColor(int32_t c)
{
    BackColor_ = c;
    Redraw();
}

void cpvSlider::setMax(int32_t v)
{
    if (v <= Min_) throw InvalidPropertyValue("Max");
    Max_ = v;
    ValueRange_ = Max_ - Min_;
}

void cpvSlider::setMin(int32_t v)
{
    if (v >= Max_) throw InvalidPropertyValue("Min");
    Min_ = v;
    // Value follows, placed with the range as it was.
    setValue(v);
    ValueRange_ = Max_ - Min_;
}

void cpvSlider::setValue(int32_t v)
{
    if (v < Min_ || v > Max_) throw InvalidPropertyValue("Value");
    Value_ = v;
    if (v == LastValue_) return;
    // A drag has placed the thumb already.
    if (!Dragging_) placeThumbFor(v);
    Redraw();
    LastValue_ = v;
    emit ValueChanged();
    if (v == Max_) emit MaxReached();
    if (v == Min_) emit MinReached();
}

void cpvSlider::setOrientation(int32_t v)
{
    Orientation_ = v;
    parkThumb();
    UserControl_Resize();
}

void cpvSlider::setRailStyle(int32_t v)
{
    RailStyle_ = v;
    UserControl_Resize();
}

void cpvSlider::setSliderIcon(const QImage& picture)
{
    SliderIcon_ = picture;
    UserControl_Resize();
}

void cpvSlider::setRailPicture(const QImage& picture)
{
    RailPicture_ = picture;
    UserControl_Resize();
}

// ---- Design-time properties ---------------------------------------------------

void cpvSlider::ReadProperties(const PropertyBag& bag)
{
    BackColor_ = bag.ReadProperty(QStringLiteral("BackColor"), kButtonFace).toInt();
    Enabled_ = bag.ReadProperty(QStringLiteral("Enabled"), true).toBool();
    Orientation_ = bag.ReadProperty(QStringLiteral("Orientation"), kVertical).toInt();
    RailStyle_ = bag.ReadProperty(QStringLiteral("RailStyle"), 0).toInt();
    ShowValueTip_ = bag.ReadProperty(QStringLiteral("ShowValueTip"), true).toBool();
    Min_ = bag.ReadProperty(QStringLiteral("Min"), 0).toInt();
    Max_ = bag.ReadProperty(QStringLiteral("Max"), 10).toInt();
    Value_ = bag.ReadProperty(QStringLiteral("Value"), 0).toInt();
    SliderIcon_ = bag.ReadProperty(QStringLiteral("SliderIcon"), QVariant::fromValue(defaultThumb())).value<QImage>();
    RailPicture_ = bag.ReadProperty(QStringLiteral("RailPicture"), QVariant::fromValue(QImage())).value<QImage>();

    ValueRange_ = Max_ - Min_;
    LastValue_ = Value_;
    // Both axes at once; the resize below puts the cross axis right.
    const float w = float(width()) - thumbWidth();
    const float h = float(height()) - thumbHeight();
    if (ValueRange_ != 0) {
        thumbLeft_ = static_cast<float>(double(w) * double(Value_ - Min_) / double(ValueRange_));
        thumbTop_ = static_cast<float>(double(h) - double(h) * double(Value_ - Min_) / double(ValueRange_));
    }
    UserControl_Resize();
}

void cpvSlider::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), BackColor_, kButtonFace);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled_, true);
    bag.WriteProperty(QStringLiteral("SliderIcon"), QVariant::fromValue(SliderIcon_), QVariant::fromValue(defaultThumb()));
    bag.WriteProperty(QStringLiteral("Orientation"), Orientation_, kVertical);
    bag.WriteProperty(QStringLiteral("RailPicture"), QVariant::fromValue(RailPicture_), QVariant::fromValue(QImage()));
    bag.WriteProperty(QStringLiteral("RailStyle"), RailStyle_, 0);
    bag.WriteProperty(QStringLiteral("ShowValueTip"), ShowValueTip_, true);
    bag.WriteProperty(QStringLiteral("Min"), Min_, 0);
    bag.WriteProperty(QStringLiteral("Max"), Max_, 10);
    bag.WriteProperty(QStringLiteral("Value"), Value_, 0);
}

// ---- Layout -------------------------------------------------------------------

float cpvSlider::travel() const
{
    return Orientation_ == kHorizontal ? float(width()) - thumbWidth() : float(height()) - thumbHeight();
}

void cpvSlider::placeThumbFor(int32_t v)
{
    if (ValueRange_ == 0) return;
    const double t = travel();
    const double along = double(v - Min_) * t / double(ValueRange_);
    if (Orientation_ == kHorizontal)
        thumbLeft_ = static_cast<float>(along);
    else if (Orientation_ == kVertical)
        thumbTop_ = static_cast<float>(t - along);
}

void cpvSlider::parkThumb()
{
    thumbLeft_ = 0;
    thumbTop_ = Orientation_ == kHorizontal ? 0.0f : float(height()) - thumbHeight();
}

QSize cpvSlider::sizeHint() const
{
    const int tw = SliderIcon_.width(), th = SliderIcon_.height();
    if (railPictureInUse()) return size();
    if (Orientation_ == kHorizontal) return QSize(std::max(width(), tw), th);
    return QSize(tw, std::max(height(), th));
}

void cpvSlider::sizeToContent()
{
    const int tw = SliderIcon_.width(), th = SliderIcon_.height();
    // Give back the axis fixed for an earlier orientation or rail picture.
    if (fixedAxis_ == 0 || fixedAxis_ == 2) {
        setMinimumWidth(0);
        setMaximumWidth(QWIDGETSIZE_MAX);
    }
    if (fixedAxis_ == 1 || fixedAxis_ == 2) {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
    fixedAxis_ = -1;
    if (railPictureInUse()) {
        const int rw = RailPicture_.width(), rh = RailPicture_.height();
        if (Orientation_ == kHorizontal)
            setFixedSize(rw + 4, std::max(th, rh));
        else
            setFixedSize(std::max(tw, rw), rh + 4);
        fixedAxis_ = 2;
    } else if (Orientation_ == kHorizontal) {
        if (width() == 0) resize(tw, height());
        setFixedHeight(th);
        fixedAxis_ = 1;
    } else {
        if (height() == 0) resize(width(), th);
        setFixedWidth(tw);
        fixedAxis_ = 0;
    }
}

void cpvSlider::UserControl_Resize()
{
    if (resizing_) return;
    resizing_ = true;
    // 1. Size.
    sizeToContent();
    resizing_ = false;

    const float tw = thumbWidth(), th = thumbHeight();
    // 2. Thumb, cross axis: centred on a taller (wider) rail picture.
    if (Orientation_ == kHorizontal) {
        const float rh = float(RailPicture_.height());
        thumbTop_ = railPictureInUse() && th < rh ? (rh - th) / 2 : 0.0f;
    } else if (Orientation_ == kVertical) {
        const float rw = float(RailPicture_.width());
        thumbLeft_ = railPictureInUse() && tw < rw ? (rw - tw) / 2 : 0.0f;
    }
    // 3. Thumb, along the axis.
    placeThumbFor(Value_);
    // 4. The rail: 4 pixels thick, centred on the thumb's cross axis,
    // 2 pixels beyond the thumb centre's travel at each end.
    if (Orientation_ == kHorizontal) {
        RailRect_.top = nearest((double(th) - 4) * 0.5);
        RailRect_.bottom = RailRect_.top + 4;
        RailRect_.left = nearest(double(tw) * 0.5 - 2);
        RailRect_.right = nearest(double(RailRect_.left) + width() - double(tw) + 4);
    } else {
        RailRect_.left = nearest((double(tw) - 4) * 0.5);
        RailRect_.right = RailRect_.left + 4;
        RailRect_.top = nearest(double(th) * 0.5 - 2);
        RailRect_.bottom = nearest(double(RailRect_.top) + height() - double(th) + 4);
    }
    // 5.
    Redraw();
}

void cpvSlider::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    UserControl_Resize();
}

void cpvSlider::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    Redraw();
}

// ---- Drawing ------------------------------------------------------------------

void cpvSlider::Redraw()
{
    if (width() < 1 || height() < 1) {
        surface_ = QImage();
        return;
    }
    const QPalette pal = palette();
    if (surface_.size() != size()) surface_ = QImage(size(), QImage::Format_RGB32);
    surface_.fill(translateColour(BackColor_, pal));
    {
        QPainter p(&surface_);
        if (RailStyle_ == kRailPicture) {
            if (!RailPicture_.isNull()) {
                if (Orientation_ == kHorizontal)
                    p.drawImage(2, (height() - RailPicture_.height()) / 2, RailPicture_);
                else
                    p.drawImage((width() - RailPicture_.width()) / 2, 2, RailPicture_);
            }
        } else if (const int kind = edgeKindOf(RailStyle_); kind > 0) {
            drawEdge(p, RailRect_, kind, pal);
        }
        if (!SliderIcon_.isNull())
            p.drawImage(QPoint(nearest(thumbLeft_), nearest(thumbTop_)), SliderIcon_);
    }
    update();
    if (ShowValueTip_ && Dragging_) placeTip();
}

void cpvSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (surface_.isNull())
        p.fillRect(rect(), translateColour(BackColor_, palette()));
    else
        p.drawImage(0, 0, surface_);
    if (hasFocus()) {
        // The keyboard works on the slider that shows this.
        QPen pen(palette().color(QPalette::Highlight), 1, Qt::DotLine);
        p.setPen(pen);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// ---- Mouse ----------------------------------------------------------------------

void cpvSlider::mousePressEvent(QMouseEvent* e)
{
    // Every press is taken, so that its release comes back here even on a
    // disabled slider (which still raises Click).
    e->accept();
    if (e->button() != Qt::LeftButton || !Enabled_) return;
    const float x = float(e->position().x()), y = float(e->position().y());
    Dragging_ = true;
    const bool onThumb = thumbLeft_ <= x && x < thumbLeft_ + thumbWidth() && thumbTop_ <= y &&
                         y < thumbTop_ + thumbHeight();
    if (onThumb) {
        GrabOffsetX_ = x - thumbLeft_;
        GrabOffsetY_ = y - thumbTop_;
    } else {
        // The thumb's centre jumps under the pointer.
        GrabOffsetX_ = thumbWidth() / 2;
        GrabOffsetY_ = thumbHeight() / 2;
        moveStep(x, y);
    }
    if (ShowValueTip_) placeTip();
    qint16 shift = shiftState(e->modifiers());
    emit MouseDown(shift);
}

void cpvSlider::mouseMoveEvent(QMouseEvent* e)
{
    if (!Dragging_) return;
    moveStep(float(e->position().x()), float(e->position().y()));
}

void cpvSlider::moveStep(float x, float y)
{
    const float t = travel();
    // No room to move: the value cannot be told from the thumb.
    if (!(t > 0) || ValueRange_ == 0) return;
    const bool horizontal = Orientation_ == kHorizontal;
    if (!horizontal && Orientation_ != kVertical) return;
    float p = horizontal ? x - GrabOffsetX_ : y - GrabOffsetY_;
    p = p < 0 ? 0.0f : (p > t ? t : p);
    const double fraction = horizontal ? double(p) / t : (double(t) - p) / t;
    const int32_t v = std::clamp(nearest(fraction * ValueRange_ + Min_), Min_, Max_);
    // The thumb snaps to the value's own place.
    placeThumbFor(v);
    try {
        setValue(v);
    } catch (const InvalidPropertyValue&) {
    }
}

void cpvSlider::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    const double x = e->position().x(), y = e->position().y();
    if (e->button() == Qt::LeftButton && x >= 0 && x < width() && y >= 0 && y < height()) emit Click();
    if (Dragging_) {
        qint16 shift = shiftState(e->modifiers());
        emit MouseUp(shift);
    }
    Dragging_ = false;
    closeTip();
}

// ---- Keyboard -------------------------------------------------------------------

void cpvSlider::keyPressEvent(QKeyEvent* e)
{
    if (Dragging_ || !Enabled_) {
        QWidget::keyPressEvent(e);
        return;
    }
    const int32_t page = std::max<int32_t>(1, ValueRange_ / 10);
    int64_t v = Value_;
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down: v -= 1; break;
    case Qt::Key_Right:
    case Qt::Key_Up: v += 1; break;
    case Qt::Key_PageDown: v -= page; break;
    case Qt::Key_PageUp: v += page; break;
    case Qt::Key_Home: v = Min_; break;
    case Qt::Key_End: v = Max_; break;
    default: QWidget::keyPressEvent(e); return;
    }
    setValue(static_cast<int32_t>(std::clamp<int64_t>(v, Min_, Max_)));
}

// ---- The value tip ---------------------------------------------------------------

QWidget* cpvSlider::frmValueTip() { return sharedTip().data(); }

QLabel* cpvSlider::lblTip()
{
    ValueTip* tip = sharedTip().data();
    return tip ? tip->label : nullptr;
}

void cpvSlider::placeTip()
{
    ValueTip* tip = tipWindow();
    if (!tip) return;
    const QPoint screen = mapToGlobal(QPoint(0, 0));
    QLabel* label = tip->label;
    const QString text = QString::number(Value_);
    const QFontMetrics fm(label->font());
    label->setText(text);
    label->resize(fm.horizontalAdvance(text), fm.height());
    if (label->isVisible()) label->repaint();
    const double lw = label->width(), lh = label->height();
    int x, y;
    if (Orientation_ == kVertical) {
        x = nearest(screen.x() + double(thumbLeft_) - lw - 6);
        y = nearest(screen.y() + double(thumbTop_) + (double(thumbHeight()) - lh - 4) * 0.5);
    } else {
        x = nearest(screen.x() + double(thumbLeft_) + (double(thumbWidth()) - lw - 4) * 0.5);
        y = nearest(screen.y() + double(thumbTop_) - lh - 5);
    }
    tip->setGeometry(x, y, int(lw) + 4, int(lh) + 3);
    // A tool-tip window: shown on top without taking the focus.
    tip->show();
}

void cpvSlider::closeTip()
{
    if (ValueTip* tip = sharedTip().data()) tip->hide();
}

} // namespace tq
