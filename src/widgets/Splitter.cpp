#include "widgets/Splitter.h"

#include "widgets/PropertyBag.h"
#include "platform/SystemColors.h"

#include <QMouseEvent>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace tq {

namespace {

constexpr int kTwipsPerPixel = 15;

QColor colourOf(int32_t c)
{
    const int32_t plain = translateColor(c).value_or(0);
    return QColor(plain & 0xFF, (plain >> 8) & 0xFF, (plain >> 16) & 0xFF);
}

void fill(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// Int(): the floor of a product computed in floating point.
int32_t intOf(double v) { return static_cast<int32_t>(std::floor(v)); }

} // namespace

Splitter::Splitter(QWidget* parent) : QWidget(parent)
{
    picSplitter = new QWidget(this);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->installEventFilter(this);
    picMover = new QWidget(this);
    picMover->setObjectName(QStringLiteral("picMover"));
    fill(picMover, colourOf(kMoverColor));
    picMover->hide();
    applyBarLook();
    picSplitter->setCursor(Qt::SplitHCursor);
    picSplitter->setGeometry(positionRect());
    picMover->setGeometry(picSplitter->geometry());
}

int Splitter::barThickness() const
{
    return std::max(0, static_cast<int>(std::lrint(double(SplitterWidth_) / kTwipsPerPixel)));
}

void Splitter::applyBarLook()
{
    fill(picSplitter, colourOf(SplitterColor_));
    if (Orientation_ == 1)
        picSplitter->resize(picSplitter->width(), barThickness());
    else
        picSplitter->resize(barThickness(), picSplitter->height());
}

QRect Splitter::positionRect() const
{
    const double p = SplitterPosition_;
    if (Orientation_ == 1) return QRect(0, intOf(p * height() / 100.0), width(), barThickness());
    return QRect(intOf(p * width() / 100.0), 0, barThickness(), height());
}

void Splitter::PlaceMover() { picMover->setGeometry(positionRect()); }

// ---- Properties ----------------------------------------------------------------

bool Splitter::Enabled() const { return picSplitter->isEnabled(); }

void Splitter::setEnabled(bool v)
{
    picSplitter->setEnabled(v);
    emit PropertyChanged(QStringLiteral("Enabled"));
}

void Splitter::setLeftOrTopControl(QWidget* w)
{
    LeftOrTop_ = w;
    emit PropertyChanged(QStringLiteral("LeftOrTopControl"));
    Refresh();
}

void Splitter::setRightOrBottomControl(QWidget* w)
{
    RightOrBottom_ = w;
    emit PropertyChanged(QStringLiteral("RightOrBottomControl"));
    Refresh();
}

void Splitter::setOrientation(int32_t v)
{
    Orientation_ = v;
    picSplitter->setCursor(v == 1 ? Qt::SplitVCursor : Qt::SplitHCursor);
    picSplitter->setGeometry(positionRect());
    picMover->setGeometry(picSplitter->geometry());
    emit PropertyChanged(QStringLiteral("Orientation"));
}

void Splitter::setSplitterWidth(int32_t v)
{
    SplitterWidth_ = v;
    emit PropertyChanged(QStringLiteral("SplitterWidth"));
    applyBarLook();
    PlaceMover();
    Refresh();
}

void Splitter::setSplitterPosition(int32_t v)
{
    SplitterPosition_ = std::clamp(v, SplitterMin_, std::max(SplitterMin_, SplitterMax_));
    emit PropertyChanged(QStringLiteral("SplitterPosition"));
    PlaceMover();
    Refresh();
}

void Splitter::setSplitterMax(int32_t v)
{
    if (v < 0) v = 1;
    if (v > 100) v = 99;
    if (v < SplitterMin_) v = SplitterMin_ + 1;
    SplitterMax_ = v;
    emit PropertyChanged(QStringLiteral("SplitterMax"));
    PlaceMover();
    Refresh();
}

void Splitter::setSplitterMin(int32_t v)
{
    if (v > 100) v = 99;
    if (v < 0) v = 1;
    if (v > SplitterMax_) v = SplitterMax_ - 1;
    SplitterMin_ = v;
    emit PropertyChanged(QStringLiteral("SplitterMin"));
    PlaceMover();
    Refresh();
}

void Splitter::setSplitterColor(int32_t c)
{
    SplitterColor_ = c;
    fill(picSplitter, colourOf(c));
    emit PropertyChanged(QStringLiteral("SplitterColor"));
}

// ---- Layout ----------------------------------------------------------------------

void Splitter::Refresh()
{
    picSplitter->setGeometry(picMover->geometry());
    if (!UserMode_) return;
    const QRect bar = picSplitter->geometry();
    const int s = barThickness();
    const int w = width();
    const int h = height();
    if (Orientation_ == 1) {
        if (LeftOrTop_) LeftOrTop_->setGeometry(0, 0, w, std::max(0, bar.top()));
        if (RightOrBottom_) RightOrBottom_->setGeometry(0, bar.top() + s, w, std::max(0, h - bar.top() - s));
    } else {
        if (LeftOrTop_) LeftOrTop_->setGeometry(0, 0, std::max(0, bar.left()), h);
        if (RightOrBottom_) RightOrBottom_->setGeometry(bar.left() + s, 0, std::max(0, w - bar.left() - s), h);
    }
}

void Splitter::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    UserControl_Resize();
}

void Splitter::UserControl_Resize()
{
    emit Resize();
    PlaceMover();
    Refresh();
}

// ---- Dragging ----------------------------------------------------------------------

void Splitter::picSplitter_MouseDown()
{
    Dragging_ = true;
    picMover->setGeometry(picSplitter->geometry());
    picMover->show();
    picMover->raise();
    emit SplitBegin();
}

void Splitter::picSplitter_MouseMove(const QPoint& p)
{
    // Hovering moves nothing: only a drag that began on the bar does.
    if (!Dragging_) return;
    const QRect bar = picSplitter->geometry();
    const bool across = Orientation_ != 1;
    const int32_t k = across ? bar.left() + p.x() : bar.top() + p.y();
    const double length = across ? width() : height();
    if (intOf(SplitterMin_ * length / 100.0) < k && k < intOf(SplitterMax_ * length / 100.0)) {
        if (across)
            picMover->setGeometry(k, 0, barThickness(), height());
        else
            picMover->setGeometry(0, k, width(), barThickness());
        SplitterPosition_ = intOf(100.0 / (length / k));
    }
    emit SplitMove();
}

void Splitter::picSplitter_MouseUp()
{
    if (!Dragging_) return;
    Dragging_ = false;
    picSplitter->setGeometry(picMover->geometry());
    picMover->hide();
    Refresh();
    emit SplitComplete();
}

bool Splitter::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != picSplitter) return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        picSplitter_MouseDown();
        return true;
    case QEvent::MouseMove:
        picSplitter_MouseMove(static_cast<QMouseEvent*>(e)->position().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        picSplitter_MouseUp();
        return true;
    default: break;
    }
    return QWidget::eventFilter(watched, e);
}

// ---- Stored properties ----------------------------------------------------------

void Splitter::ReadProperties(const PropertyBag& bag, bool userMode)
{
    UserMode_ = userMode;
    picSplitter->setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    LeftOrTop_ = qobject_cast<QWidget*>(bag.ReadProperty(QStringLiteral("LeftOrTopControl")).value<QObject*>());
    RightOrBottom_ = qobject_cast<QWidget*>(bag.ReadProperty(QStringLiteral("RightOrBottomControl")).value<QObject*>());
    setSplitterColor(bag.ReadProperty(QStringLiteral("SplitterColor"), kButtonFace).toInt());
    setSplitterWidth(bag.ReadProperty(QStringLiteral("SplitterWidth"), 70).toInt());
    setSplitterMax(bag.ReadProperty(QStringLiteral("SplitterMax"), 90).toInt());
    setSplitterMin(bag.ReadProperty(QStringLiteral("SplitterMin"), 10).toInt());
    setSplitterPosition(bag.ReadProperty(QStringLiteral("SplitterPosition"), 50).toInt());
    setOrientation(bag.ReadProperty(QStringLiteral("Orientation"), 0).toInt());
    applyBarLook();
}

void Splitter::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("LeftOrTopControl"), QVariant::fromValue<QObject*>(LeftOrTop_),
                      QVariant::fromValue<QObject*>(nullptr));
    bag.WriteProperty(QStringLiteral("Orientation"), Orientation_, 0);
    bag.WriteProperty(QStringLiteral("RightOrBottomControl"), QVariant::fromValue<QObject*>(RightOrBottom_),
                      QVariant::fromValue<QObject*>(nullptr));
    bag.WriteProperty(QStringLiteral("SplitterPosition"), SplitterPosition_, 50);
    bag.WriteProperty(QStringLiteral("SplitterMax"), SplitterMax_, 90);
    bag.WriteProperty(QStringLiteral("SplitterMin"), SplitterMin_, 10);
    bag.WriteProperty(QStringLiteral("SplitterColor"), SplitterColor_, kButtonFace);
    bag.WriteProperty(QStringLiteral("SplitterWidth"), SplitterWidth_, 70);
}

} // namespace tq
