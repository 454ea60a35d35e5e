#include "toolwindows/fToolBrowser.h"

#include "document/MainHost.h"
#include "document/OpenPicture.h"
#include "document/ProgramContext.h"
#include "document/PictureRouting.h"
#include "toolwindows/BrowserFileList.h"
#include "toolwindows/FileTypeIcons.h"
#include "toolwindows/FolderListing.h"
#include "toolwindows/FolderTree.h"
#include "toolwindows/ThumbnailGrid.h"
#include "platform/Ports.h"
#include "widgets/PropertyBag.h"
#include "platform/QtImage.h"
#include "widgets/Splitter.h"
#include "platform/SystemColors.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

namespace tq {

namespace {

FloatingToolWindow::Options browserOptions()
{
    FloatingToolWindow::Options o;
    o.slotName = "fToolBrowser";
    o.stripName = "TL";
    o.title = QStringLiteral("Thumbnail Browser");
    o.stripHeight = 17;
    o.sizable = true;
    // Its folder tree takes arrow keys and typed letters.
    o.takesFocus = true;
    return o;
}

QColor colourOf(int32_t c)
{
    const int32_t plain = translateColor(c).value_or(0);
    return QColor(plain & 0xFF, (plain >> 8) & 0xFF, (plain >> 16) & 0xFF);
}

void setBackColour(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// ---- The tool bar's pictures, 16 x 16 ---------------------------------------------

QPixmap blankPicture()
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    return p;
}

QPixmap openPicture()
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    g.setPen(QColor(0x40, 0x40, 0x40));
    g.setBrush(QColor(0xF0, 0xF0, 0xF0));
    g.drawRect(1, 3, 10, 10);
    g.fillRect(2, 8, 9, 5, QColor(0x40, 0x90, 0x40));
    g.fillRect(5, 5, 3, 3, QColor(0xF0, 0xC0, 0x20));
    g.setPen(QPen(QColor(0x20, 0x40, 0xC0), 2));
    g.drawLine(9, 7, 14, 2);
    g.drawLine(11, 2, 14, 2);
    g.drawLine(14, 2, 14, 5);
    return p;
}

QPixmap refreshPicture()
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QColor(0x40, 0x40, 0x40));
    g.setBrush(Qt::white);
    g.drawRect(2, 1, 11, 14);
    g.setPen(QPen(QColor(0x20, 0x80, 0x20), 1.5));
    g.setBrush(Qt::NoBrush);
    g.drawArc(QRectF(4.5, 4.5, 7, 7), 30 * 16, 150 * 16);
    g.drawArc(QRectF(4.5, 4.5, 7, 7), 210 * 16, 150 * 16);
    return p;
}

QPixmap detailsPicture()
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    for (int y = 2; y < 15; y += 3) {
        g.fillRect(1, y, 3, 2, QColor(0x20, 0x40, 0xA0));
        g.fillRect(5, y, 10, 2, QColor(0x40, 0x40, 0x40));
    }
    return p;
}

QPixmap smallIconsPicture(bool columns)
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    for (int a = 0; a < 2; ++a) {
        for (int b = 0; b < 3; ++b) {
            const int x = columns ? 1 + a * 8 : 1 + b * 5;
            const int y = columns ? 1 + b * 5 : 2 + a * 7;
            g.fillRect(x, y, 3, 3, QColor(0x20, 0x40, 0xA0));
            if (columns) g.fillRect(x + 4, y + 1, 3, 1, QColor(0x40, 0x40, 0x40));
        }
    }
    return p;
}

QPixmap largeIconsPicture()
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    g.setPen(QColor(0x40, 0x40, 0x40));
    g.setBrush(Qt::white);
    g.drawRect(1, 2, 6, 8);
    g.drawRect(9, 2, 6, 8);
    g.fillRect(1, 12, 6, 2, QColor(0x20, 0x40, 0xA0));
    g.fillRect(9, 12, 6, 2, QColor(0x20, 0x40, 0xA0));
    return p;
}

QPixmap thumbnailsPicture()
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            g.fillRect(1 + c * 5, 2 + r * 7, 4, 5, QColor(0x30, 0x80, 0xC0));
            g.fillRect(1 + c * 5, 5 + r * 7, 4, 2, QColor(0x40, 0x90, 0x40));
        }
    return p;
}

QPixmap dotPicture(bool smooth)
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing, smooth);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0x20, 0xA0, 0x20));
    if (smooth) {
        g.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    } else {
        // A rough-edged dot: rows of a coarse circle.
        const int widths[] = {4, 8, 10, 10, 10, 10, 8, 4};
        for (int i = 0; i < 8; ++i) g.fillRect(8 - widths[i] / 2, 3 + i * 10 / 8 + (i > 3 ? 1 : 0), widths[i], 2,
                                               QColor(0x20, 0xA0, 0x20));
    }
    return p;
}

QPixmap stopPicture()
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QPainterPath octagon;
    const double o = 4.5;
    octagon.moveTo(o, 1);
    octagon.lineTo(15 - o, 1);
    octagon.lineTo(15, o);
    octagon.lineTo(15, 15 - o);
    octagon.lineTo(15 - o, 15);
    octagon.lineTo(o, 15);
    octagon.lineTo(1, 15 - o);
    octagon.lineTo(1, o);
    octagon.closeSubpath();
    g.fillPath(octagon, QColor(0xD0, 0x20, 0x20));
    g.fillRect(4, 7, 8, 2, Qt::white);
    return p;
}

// Cell 0's picture: an arrow pointing up out of a folder.
QPixmap folderUpPicture()
{
    QPixmap p = blankPicture();
    QPainter g(&p);
    g.setPen(QColor(0x80, 0x60, 0x10));
    g.setBrush(QColor(0xF0, 0xD0, 0x60));
    g.drawRect(1, 6, 13, 8);
    g.drawRect(1, 4, 5, 2);
    g.setPen(QPen(QColor(0x20, 0x60, 0x20), 2));
    g.drawLine(8, 12, 8, 2);
    g.drawLine(5, 5, 8, 2);
    g.drawLine(11, 5, 8, 2);
    return p;
}

QFont cellLabelFont(const QFont& base)
{
    QFont f = base;
    f.setBold(true);
    f.setPointSizeF(6.75);
    return f;
}

} // namespace

// ---- Construction -------------------------------------------------------------------

fToolBrowser::fToolBrowser(QWidget* owner) : FloatingToolWindow(owner, browserOptions())
{
    buildToolbar();

    bSplitter = new Splitter(client());
    bSplitter->setObjectName(QStringLiteral("bSplitter"));
    fd = new FolderTree(bSplitter);
    picFrame = new QWidget(bSplitter);
    picFrame->setObjectName(QStringLiteral("picFrame"));
    picFrame->setFocusPolicy(Qt::ClickFocus);
    lv = new BrowserFileList(picFrame);
    picSlide = new QWidget(picFrame);
    picSlide->setObjectName(QStringLiteral("picSlide"));
    picSlide->hide();
    V = new QScrollBar(Qt::Vertical, picFrame);
    V->setObjectName(QStringLiteral("V"));
    V->hide();
    // Both the change and the scroll of the bar move the panel.
    connect(V, &QScrollBar::valueChanged, this, [this] { V_Change(); });

    picPb = new QWidget(client());
    picPb->setObjectName(QStringLiteral("picPb"));
    picPb->hide();
    cFilterProgress = new QProgressBar(picPb);
    cFilterProgress->setObjectName(QStringLiteral("cFilterProgress"));
    cFilterProgress->setTextVisible(false);
    // The bar overlaps its box on every side, so only the bar shows.
    picPb->resize(127, 16);
    cFilterProgress->setGeometry(-8, -2, 135, 22);

    CellGroup_ = new QButtonGroup(this);
    CellGroup_->setExclusive(true);
    makeCell(0);

    // The splitter as the window stores it: the tree takes 30 % of the
    // width, and the bar stays between 20 % and 70 %.
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("SplitterPosition"), 30, 50);
    bag.WriteProperty(QStringLiteral("SplitterMax"), 70, 90);
    bag.WriteProperty(QStringLiteral("SplitterMin"), 20, 10);
    bSplitter->ReadProperties(bag, true);
    connect(bSplitter, &Splitter::SplitComplete, this, [this] { Form_Resize(); });

    connect(fd, &FolderTree::FolderClick, this, [this](const QString& path, const QString& name) {
        fd_FolderClick(path.toStdString(), name.toStdString());
    });
    connect(lv, &BrowserFileList::DblClick, this, [this] { lv_DblClick(); });
    connect(lv, &BrowserFileList::LostFocus, this, [] { giveFocusToMain(); });

    // Form_Initialize, then Form_Load.
    ExtractIcon();
    Form_Load();

    applySizeLimits();
    resize(unrolledSizePx());
    layoutFrame();
    Form_Resize();
}

fToolBrowser::~fToolBrowser()
{
    // Nothing of a build may run on a window that is going.
    Next_.pending = false;
    ++Build_;
    // The list's model points at the icon tables, which go before the
    // window's children do; the closing of the window lays the list out
    // again and would read them.
    lv->model()->setIcons(nullptr, nullptr, {}, {});
}

void fToolBrowser::buildToolbar()
{
    tb = new QToolBar(client());
    tb->setObjectName(QStringLiteral("tb"));
    tb->setIconSize(QSize(16, 16));
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto* views = new QActionGroup(this);
    views->setExclusive(true);
    auto* quality = new QActionGroup(this);
    quality->setExclusive(true);
    const QPixmap pictures[kButtonCount + 1] = {
        {},
        openPicture(), refreshPicture(), {}, detailsPicture(), smallIconsPicture(false), largeIconsPicture(),
        smallIconsPicture(true), thumbnailsPicture(), {}, dotPicture(false), dotPicture(true), {}, stopPicture()};
    for (int i = 1; i <= kButtonCount; ++i) {
        if (i == 3 || i == 9 || i == 12) {
            Buttons_[size_t(i)] = tb->addSeparator();
            continue;
        }
        QAction* a = tb->addAction(QIcon(pictures[i]), QString());
        a->setObjectName(QStringLiteral("tb%1").arg(i));
        if (i >= 4 && i <= 8) {
            a->setCheckable(true);
            views->addAction(a);
        } else if (i == 10 || i == 11) {
            a->setCheckable(true);
            quality->addAction(a);
        }
        connect(a, &QAction::triggered, this, [this, i] { tb_ButtonClick(i); });
        Buttons_[size_t(i)] = a;
    }
}

QAction* fToolBrowser::tbButton(int index) const
{
    if (index < 1 || index > kButtonCount) return nullptr;
    return Buttons_[size_t(index)];
}

void fToolBrowser::Form_Load()
{
    Settings& s = programSettings();
    // 1. The splitter's panes.
    bSplitter->setLeftOrTopControl(fd);
    bSplitter->setRightOrBottomControl(picFrame);
    // 2. The cell template.
    optThumb[0]->resize(s.ThumbWidth, s.ThumbHeight);
    optResolution[0]->resize(s.ThumbWidth, optResolution[0]->height());
    optLabel[0]->resize(s.ThumbWidth, optLabel[0]->height());
    // 3.
    ThumbnailFlag = false;
    // 4. The saved view; the thumbnails are not rebuilt at start-up, so the
    // thumbnail view opens as details. No button is shown pressed.
    switch (s.BrowserView) {
    case 4: showList(BrowserFileList::kReport); break;
    case 5: showList(BrowserFileList::kSmallIcon); break;
    case 6: showList(BrowserFileList::kIcon); break;
    case 7: showList(BrowserFileList::kList); break;
    case 8: showList(BrowserFileList::kReport); break;
    default: break;
    }
    // 5. The saved folder, trimmed; selecting it lists it.
    const std::string text = s.BrowserFolder.text();
    const size_t first = text.find_first_not_of(' ');
    const std::string folder = first == std::string::npos ? std::string() : text.substr(first);
    s.BrowserFolder.assign(folder);
    std::error_code ec;
    if (!folder.empty() && std::filesystem::is_directory(folder, ec)) fd->setSelectedFolder(QString::fromStdString(folder));
    // 6, 7. The roll-up button reads "0" until the start-up rolls it up.
    RolledUp_ = s.BrowserBoxCollapsed;
    StopFlag_ = true;
}

void fToolBrowser::ExtractIcon()
{
    // The program draws its own: each picture type a picture of its own,
    // anything else the generic page.
    const auto picture = [](std::string_view extension, int side) {
        return QPixmap::fromImage(browser::fileTypePicture(extension, side));
    };
    for (const char* e : browser::iconExtensions()) {
        const QString ext = QString::fromUtf8(e);
        iLargeFormat.insert(ext, picture(e, 32));
        iSmallFormat.insert(ext, picture(e, 16));
    }
    lv->model()->setIcons(&iLargeFormat, &iSmallFormat, picture({}, 32), picture({}, 16));
}

// ---- Layout ----------------------------------------------------------------------------

void fToolBrowser::applySizeLimits()
{
    applyRollableSizeLimits(RolledUp_, QSize(kMinWidthTwips, kMinHeightTwips));
}

void fToolBrowser::Form_Resize()
{
    if (InLayout_ || !bSplitter) return;
    if (RolledUp_) {
        // Held at the strip's height and the saved width.
        const QSize rolled(savedWidthPx(), rolledUpHeightPx());
        if (size() != rolled) resize(rolled);
        return;
    }
    InLayout_ = true;
    const int w = std::max(width(), twipsToPx(kMinWidthTwips));
    const int h = std::max(height(), twipsToPx(kMinHeightTwips));
    if (w != width() || h != height()) {
        resize(w, h);
        layoutFrame();
    }
    const int stripH = options().stripHeight;
    const int cw = client()->width();
    const int ch = client()->height();
    tb->setGeometry(0, stripH, cw, kToolbarHeight);
    const int top = stripH + kToolbarHeight;
    bSplitter->setGeometry(0, top, cw, std::max(0, ch - top));
    // The panes follow now, also while the window is hidden.
    bSplitter->UserControl_Resize();
    lv->setGeometry(0, 0, std::max(0, picFrame->width() - 10), picFrame->height());
    // The progress box sits in the tool bar's band, clear of its buttons.
    int pbLeft = 208;
    if (QWidget* stop = tb->widgetForAction(tbButton(13))) pbLeft = std::max(pbLeft, stop->geometry().right() + 9);
    picPb->move(pbLeft, stripH + 5);
    picPb->raise();
    if (ThumbnailFlag) thumb_resize();
    // The size into the settings, when the 16-bit twips fields can hold it.
    Settings& s = programSettings();
    if (pxToTwips(h) <= 32767) s.BrowserBoxHeight = pxToTwips(h);
    if (pxToTwips(w) <= 32767) s.BrowserBoxWidth = pxToTwips(w);
    InLayout_ = false;
}

void fToolBrowser::showList(int view)
{
    lv->setView(view);
    lv->show();
    picSlide->hide();
    V->hide();
}

// ---- Cells -----------------------------------------------------------------------------

void fToolBrowser::makeCell(int j)
{
    auto* button = new QToolButton(picSlide);
    button->setObjectName(QStringLiteral("optThumb"));
    button->setProperty("cell", j);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->installEventFilter(this);
    auto* name = new QLabel(picSlide);
    name->setObjectName(QStringLiteral("optLabel"));
    auto* resolution = new QLabel(picSlide);
    resolution->setObjectName(QStringLiteral("optResolution"));
    if (j == 0) {
        const Settings& s = programSettings();
        button->resize(s.ThumbWidth, s.ThumbHeight);
        button->setIcon(QIcon(folderUpPicture()));
        button->setIconSize(QSize(16, 16));
        for (QLabel* l : {name, resolution}) {
            l->setFont(cellLabelFont(font()));
            l->setAlignment(Qt::AlignCenter);
            l->setAttribute(Qt::WA_TranslucentBackground);
            l->resize(s.ThumbWidth, browser::kLabelHeight);
        }
        resolution->move(0, s.ThumbHeight + browser::kLabelHeight);
    } else {
        // A copy of cell 0: its size, look and picture until the thumbnail
        // takes the picture's place.
        button->resize(optThumb[0]->size());
        button->setFont(optThumb[0]->font());
        button->setIcon(optThumb[0]->icon());
        button->setIconSize(optThumb[0]->iconSize());
        for (QLabel* l : {name, resolution}) {
            l->setFont(optLabel[0]->font());
            l->setAlignment(Qt::AlignCenter);
            l->setAttribute(Qt::WA_TranslucentBackground);
            l->resize(optLabel[0]->size());
        }
    }
    button->hide();
    name->hide();
    resolution->hide();
    CellGroup_->addButton(button, j);
    connect(button, &QToolButton::clicked, this, [this, j] { optThumb_Click(j); });
    if (size_t(j) >= optThumb.size()) {
        optThumb.resize(size_t(j) + 1, nullptr);
        optLabel.resize(size_t(j) + 1, nullptr);
        optResolution.resize(size_t(j) + 1, nullptr);
    }
    optThumb[size_t(j)] = button;
    optLabel[size_t(j)] = name;
    optResolution[size_t(j)] = resolution;
}

void fToolBrowser::destroyCells()
{
    for (size_t j = optThumb.size(); j-- > 1;) {
        // Later, not now: the cell may be the one whose event is running.
        for (QWidget* w : {static_cast<QWidget*>(optThumb[j]), static_cast<QWidget*>(optLabel[j]),
                           static_cast<QWidget*>(optResolution[j])}) {
            w->hide();
            w->deleteLater();
        }
        CellGroup_->removeButton(optThumb[j]);
    }
    optThumb.resize(1);
    optLabel.resize(1);
    optResolution.resize(1);
}

bool fToolBrowser::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonDblClick) {
        if (auto* button = qobject_cast<QToolButton*>(watched); button && button->parentWidget() == picSlide) {
            const QVariant cell = button->property("cell");
            if (cell.isValid() && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
                optThumb_DblClick(cell.toInt());
                return true;
            }
        }
    }
    return FloatingToolWindow::eventFilter(watched, e);
}

// ---- Building the grid ---------------------------------------------------------------

void fToolBrowser::CreateThumbs()
{
    // A build under way is replaced by this one.
    ++Build_;
    Next_.pending = false;
    picSlide->setGeometry(0, 0, optThumb[0]->width(),
                          optThumb[0]->height() + optLabel[0]->height() + optResolution[0]->height());
    lv->hide();
    picSlide->hide();
    picPb->show();
    picPb->raise();
    // Names are measured in the cell buttons' font.
    picSlide->setFont(optThumb[0]->font());
    destroyCells();
    StopFlag_ = false;
    const int count = lv->ListCount();
    if (count >= 1) {
        cFilterProgress->setMaximum(count);
        cFilterProgress->setValue(0);
        scheduleTurn(Build_, 1, count);
    } else {
        endBuild(false);
    }
}

void fToolBrowser::scheduleTurn(uint64_t build, int j, int count)
{
    Next_ = Turn{true, build, j, count};
    platform::ports().timers->singleShot(0, [self = QPointer<fToolBrowser>(this), build, j] {
        if (!self) return;
        const Turn next = self->Next_;
        if (!next.pending || next.build != build || next.j != j) return;
        self->Next_.pending = false;
        self->thumbTurn(build, j, next.count);
    });
}

void fToolBrowser::finishThumbs()
{
    while (Next_.pending) {
        const Turn next = Next_;
        Next_.pending = false;
        thumbTurn(next.build, next.j, next.count);
    }
}

void fToolBrowser::thumbTurn(uint64_t build, int j, int count)
{
    if (build != Build_) return;
    if (StopFlag_) {
        endBuild(true);
        return;
    }
    cFilterProgress->setValue(j);
    const browser::FolderRow* row = lv->ListItem(j);
    if (!row || optThumb.size() != size_t(j)) {
        endBuild(true);
        return;
    }
    const std::string path = row->path;
    const std::string rowName = row->name;
    const std::string extension = browser::lowerCase(browser::extensionOf(path));
    makeCell(j);
    const bool decoded = getThumb(path, extension, programSettings().ThumbQuality);
    QToolButton* button = optThumb[size_t(j)];
    button->setIcon(QIcon(QPixmap::fromImage(picThumb)));
    button->setIconSize(picThumb.size());
    // An undecodable file shows no size: nothing of another file's.
    const std::string resolution = decoded ? browser::resolutionText(ImageWidth(), ImageHeight(), ImageBPP()) : "";
    const QFontMetrics metrics(picSlide->font());
    const std::string name = browser::shortenName(rowName, button->width(), [&metrics](std::string_view s) {
        return metrics.horizontalAdvance(QString::fromUtf8(s.data(), qsizetype(s.size())));
    });
    optResolution[size_t(j)]->setText(QString::fromStdString(resolution));
    optLabel[size_t(j)]->setText(QString::fromStdString(name));
    button->show();
    optLabel[size_t(j)]->show();
    optResolution[size_t(j)]->show();
    thumb_resize();
    if (j < count)
        scheduleTurn(build, j + 1, count);
    else
        endBuild(false);
}

void fToolBrowser::endBuild(bool stopped)
{
    // A stopped build leaves its progress box up, the bar full, until a
    // later build ends.
    if (!stopped) picPb->hide();
    cFilterProgress->setValue(cFilterProgress->maximum());
    picLoad = DibRecord{};
    picThumb = QImage();
    Next_.pending = false;
    StopFlag_ = true;
}

bool fToolBrowser::getThumb(const std::string& path, const std::string& extension, int16_t mode)
{
    picLoad = DibRecord{};
    const bool decoded = browser::decodeThumbnailSource(path, extension, picLoad);
    // The cell size is read from cell 0 every time: the options may have
    // changed it.
    const int32_t cellW = optThumb[0]->width();
    const int32_t cellH = optThumb[0]->height();
    const int32_t background = translateColor(programSettings().ThumbBackColor).value_or(0xFFFFFF);
    const DibRecord thumb = decoded ? browser::reduceToThumbnail(picLoad, cellW, cellH, mode, background, Thumbs)
                                    : browser::placeholderThumbnail(cellW, cellH, background);
    picThumb = platform::imageFromDib(thumb);
    return decoded;
}

void fToolBrowser::thumb_resize()
{
    const Settings& s = programSettings();
    // 1. Cell 0.
    QToolButton* first = optThumb[0];
    first->move(0, first->y());
    first->show();
    optLabel[0]->setGeometry(0, first->height(), first->width(), optLabel[0]->height());
    optResolution[0]->show();
    optLabel[0]->show();
    optLabel[0]->setText(QString::fromUtf8(browser::kFolderUpCaption));
    // 2, 3. Label heights and pitch.
    const int lh = s.ShowFileName != 0 ? optLabel[0]->height() : 0;
    const int rh = s.ShowResolution != 0 ? optResolution[0]->height() : 0;
    const double pitch = browser::rowPitch(s.ShowFileName != 0, s.ShowResolution != 0);
    // 4.
    const QColor back = colourOf(s.ThumbBackColor);
    setBackColour(picSlide, back);
    setBackColour(picFrame, back);
    // 5. The cells, row by row.
    const int paneWidth = picFrame->width();
    int columns = 1;
    const int n = static_cast<int>(optThumb.size());
    for (int i = 1; i < n; ++i) {
        QToolButton* b = optThumb[size_t(i)];
        const int w = b->width();
        const int h = b->height();
        columns = browser::gridColumns(paneWidth, w);
        const browser::CellPlace at = browser::cellPlace(i, columns, w, h, pitch);
        b->move(at.x, at.y);
        b->show();
        QLabel* name = optLabel[size_t(i)];
        if (s.ShowFileName != 0) {
            name->setGeometry(at.x, at.y + h, w, name->height());
            name->show();
        } else {
            name->hide();
        }
        QLabel* res = optResolution[size_t(i)];
        if (s.ShowResolution != 0) {
            const int top = s.ShowFileName != 0 ? name->y() + name->height() : at.y + h;
            res->setGeometry(at.x, top, w, res->height());
            res->show();
        } else {
            res->hide();
        }
    }
    // 6. The panel's height (cell 0 alone keeps the one it has).
    if (n > 1) picSlide->resize(picSlide->width(), browser::panelHeight(n, columns, first->height(), lh, rh, pitch));
    // 7. The scroll range reaches the panel's last row, however long.
    const int range = picSlide->height() - picFrame->height();
    if (range < 0) {
        V->setMaximum(0);
        V->setEnabled(false);
    } else {
        V->setMaximum(range);
        V->setEnabled(true);
        V->setSingleStep(first->height());
        V->setPageStep(picFrame->height());
    }
    // 8, 9.
    picSlide->resize(std::max(0, paneWidth - browser::kScrollBarWidth - browser::kPanelGap), picSlide->height());
    V->setGeometry(paneWidth - browser::kScrollBarWidth - browser::kScrollBarGap, 0, browser::kScrollBarWidth,
                   picFrame->height());
    // 10.
    picSlide->show();
    if (ThumbnailFlag) V->show();
}

// ---- Handlers ------------------------------------------------------------------------------

void fToolBrowser::tb_ButtonClick(int index)
{
    QAction* button = tbButton(index);
    if (button && button->isCheckable()) button->setChecked(true);
    // The thumbnail view stays on exactly while its button is down.
    ThumbnailFlag = tbButton(8)->isChecked();
    Settings& s = programSettings();
    switch (index) {
    case 1:
        if (const int n = lv->SelectedIndex(); n > 0) OpenListItem(n);
        break;
    case 2:
        // The current folder listed again.
        if (!CurrentFolder_.empty()) fd_FolderClick(CurrentFolder_, {});
        break;
    case 4: case 5: case 6: case 7: {
        const int views[] = {BrowserFileList::kReport, BrowserFileList::kSmallIcon, BrowserFileList::kIcon,
                             BrowserFileList::kList};
        StopFlag_ = true;
        showList(views[index - 4]);
        s.BrowserView = int16_t(index);
        break;
    }
    case 8:
        lv->hide();
        picSlide->show();
        V->show();
        ThumbnailFlag = true;
        s.BrowserView = 8;
        CreateThumbs();
        thumb_resize();
        break;
    case 10: s.ThumbQuality = 0; break;
    case 11: s.ThumbQuality = 1; break;
    case 13: StopFlag_ = true; break;
    default: break;
    }
    giveFocusToMain();
}

void fToolBrowser::fd_FolderClick(const std::string& path, const std::string& displayName)
{
    StopFlag_ = true;
    std::string folder = path;
    if (folder.empty()) {
        if (displayName != "Desktop") return;
        folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString();
    }
    std::error_code ec;
    if (!folder.empty() && std::filesystem::is_directory(folder, ec)) {
        FolderView(folder);
        programSettings().BrowserFolder.assign(folder);
    }
    // A folder the user chose in the tree leaves the keyboard with the tree.
    if (!fd->choosingInTree()) giveFocusToMain();
}

void fToolBrowser::FolderView(const std::string& folP)
{
    std::string folder = folP;
    // One separator between folder and name, also at the root.
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    CurrentFolder_ = folder;
    lv->model()->setRows(browser::listFolder(folder));
    if (ThumbnailFlag) CreateThumbs();
}

void fToolBrowser::OpenListItem(int n)
{
    const browser::FolderRow* row = lv->ListItem(n);
    if (row) {
        const std::string path = row->path;
        const std::string extension = browser::extensionOf(path);
        // The main window decodes the formats of the platform's loader
        // itself; the others it takes over decoded.
        if (!opensThroughPlatformLoader(extension)) PreloadedBitmap() = mBitmap::LoadImageFile(path, extension);
        if (MainHost* host = mainHost()) host->openPictureFile(path, extension);
    }
    giveFocusToMain();
}

void fToolBrowser::FolderUp()
{
    const QString selected = fd->SelectedFolder();
    if (selected.isEmpty() || selected == QLatin1String("/")) return;
    fd->setSelectedFolder(QFileInfo(selected).absolutePath());
    thumb_resize();
}

void fToolBrowser::optThumb_Click(int index)
{
    if (index != 0) return;
    // Cell 0 never stays pressed, and no other cell is left pressed either.
    CellGroup_->setExclusive(false);
    for (QToolButton* b : optThumb) b->setChecked(false);
    CellGroup_->setExclusive(true);
}

void fToolBrowser::optThumb_DblClick(int index)
{
    if (index == 0)
        FolderUp();
    else
        OpenListItem(index);
}

void fToolBrowser::lv_DblClick()
{
    if (lv->ListCount() >= 1) OpenListItem(lv->SelectedIndex());
}

void fToolBrowser::V_Change()
{
    picSlide->move(picSlide->x(), -V->value());
    picFrame->setFocus();
}

} // namespace tq
