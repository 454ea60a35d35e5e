#include "mainwindow/fSplash.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tq {

namespace {

QPixmap splashPicture(int w, int h, const QString& second)
{
    QPixmap pm(w, h);
    QPainter p(&pm);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(24, 40, 72));
    g.setColorAt(1, QColor(90, 140, 200));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPointSize(22);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, w, h * 2 / 3), Qt::AlignCenter, QStringLiteral("Talvex Quarlend"));
    f.setPointSize(10);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, h / 2, w, h / 2), Qt::AlignCenter, second);
    return pm;
}

} // namespace

const QIcon& programIcon()
{
    static const QIcon icon = [] {
        QIcon i;
        for (int side : {16, 32, 48, 64}) {
            QPixmap pm(side, side);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            QLinearGradient g(0, 0, side, side);
            g.setColorAt(0, QColor(24, 40, 72));
            g.setColorAt(1, QColor(90, 140, 200));
            p.setBrush(g);
            p.setPen(Qt::NoPen);
            p.drawRoundedRect(QRectF(0, 0, side, side), side / 6.0, side / 6.0);
            p.setPen(Qt::white);
            QFont f = p.font();
            f.setBold(true);
            f.setPixelSize(side * 9 / 16);
            p.setFont(f);
            p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("TQ"));
            p.end();
            i.addPixmap(pm);
        }
        return i;
    }();
    return icon;
}

fSplash::fSplash(QWidget* parent, int startDelayMs) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("fSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    picSplash = new QLabel(this);
    picSplash->setObjectName(QStringLiteral("picSplash"));
    picSplash->setPixmap(splashPicture(420, 240, QStringLiteral("Picture editor")));
    picSplash->setFocusPolicy(Qt::StrongFocus);
    picSplash->installEventFilter(this);
    layout->addWidget(picSplash);
    tSplash.setInterval(startDelayMs);
    connect(&tSplash, &QTimer::timeout, this, &fSplash::tSplash_Timer);
    tSplash.start();
}

void fSplash::Form_Load()
{
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
}

void fSplash::tSplash_Timer()
{
    // The start-up runs once; the splash is closed at its end.
    tSplash.stop();
    if (onStart) onStart();
}

void fSplash::Form_Click()
{
    tSplash.stop();
    close();
}

void fSplash::picSplash_DblClick() { Form_Click(); }

void fSplash::picSplash_LostFocus()
{
    // Only another window of the program taking the focus closes the splash.
    QWidget* active = QApplication::activeWindow();
    if (active && active != this) Form_Click();
}

void fSplash::mousePressEvent(QMouseEvent*) { Form_Click(); }

bool fSplash::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == picSplash) {
        if (e->type() == QEvent::MouseButtonDblClick) {
            picSplash_DblClick();
            return true;
        }
        if (e->type() == QEvent::FocusOut) picSplash_LostFocus();
    }
    return QWidget::eventFilter(watched, e);
}

void fSplash::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::ActivationChange && !isActiveWindow()) picSplash_LostFocus();
    QWidget::changeEvent(e);
}

fAbout::fAbout(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("fAbout"));
    setWindowTitle(QStringLiteral("About Talvex Quarlend"));
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(splashPicture(360, 180, QStringLiteral("A picture editor for the desktop")));
    Image1->installEventFilter(this);
    layout->addWidget(Image1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, [this] { cmdOK_Click(0); });
    layout->addWidget(ok);
}

void fAbout::cmdOK_Click(int) { close(); }

void fAbout::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        e->accept();
        cmdOK_Click(0);
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}
void fAbout::Image1_DblClick() { close(); }

bool fAbout::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Image1 && e->type() == QEvent::MouseButtonDblClick) {
        Image1_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace tq
