// The textures window itself: its controls, loading, the tabs, the
// thumbnail grid and its scrolling panel, the strength row, the tile-effect
// menu and this window's roll-up values. Applying a tile, the Text tab and
// the From File tab are in fToolTextures_Apply.cpp.
#include "toolwindows/fToolTextures.h"

#include "document/ProgramContext.h"
#include "document/SharedRoutines.h"
#include "widgets/QtControls.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"
#include "widgets/cpvSlider.h"
#include "tools/FontList.h"
#include "tools/TextureApply.h"
#include "toolwindows/fBrowse.h"
#include "toolwindows/TexturePictures.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace tq {

namespace {

void place(QWidget* w, int32_t left, int32_t top, int32_t width, int32_t height)
{
    w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

// The tab buttons: 930 x 255 twips at 300 twips from the top.
constexpr int32_t kTabTopTwips = 300;
constexpr int32_t kTabHeightTwips = 255;
constexpr int32_t kTabWidthTwips = 930;
constexpr int32_t kPanelTopTwips = 600;

// The thumbnail grid: the box numbers row by row (-1 none), the left edges
// of the four columns and the rows' pitch.
constexpr std::array<std::array<int, 4>, 9> kGrid = {{
    {0, 1, 2, 3},
    {4, 5, 6, 7},
    {8, 9, 10, 11},
    {12, 13, 14, 15},
    {16, 17, 18, 19},
    {31, 30, 29, 28},
    {20, 21, 22, 23},
    {33, 24, 25, 26},
    {27, 34, 32, -1},
}};
constexpr std::array<int32_t, 4> kColumnLeftTwips = {90, 750, 1395, 2040};
constexpr int32_t kFirstRowTwips = 120;
constexpr int32_t kRowPitchTwips = 600;
constexpr int32_t kBoxTwips = 570;
constexpr int32_t kMarkerTwips = 615;

QPixmap tabFace(const QString& text, bool open)
{
    return tq::tabFace(text, open, QColor(0x20, 0x20, 0x20), QColor(0x50, 0x50, 0x50));
}

// The 16 x 16 icons of the window's tool bars.
QIcon letterIcon(const QString& letter, bool bold, bool italic, bool underline, bool strike)
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    QFont f = g.font();
    f.setPixelSize(13);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strike);
    g.setFont(f);
    g.setPen(Qt::black);
    g.drawText(p.rect(), Qt::AlignCenter, letter);
    return QIcon(p);
}

QIcon applyIcon()
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(0, 120, 0), 2.5));
    g.drawLine(QPointF(3, 8.5), QPointF(6.5, 12));
    g.drawLine(QPointF(6.5, 12), QPointF(13, 4));
    return QIcon(p);
}

QIcon folderIcon()
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(QColor(120, 90, 0));
    g.setBrush(QColor(240, 200, 80));
    g.drawRect(1, 5, 13, 9);
    g.drawRect(1, 3, 5, 2);
    return QIcon(p);
}

QIcon effectIcon()
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            g.fillRect(1 + 3 * x + (y % 2), 2 + 3 * y, 3, 3, (x + y) % 2 ? QColor(90, 60, 40) : QColor(200, 160, 110));
    return QIcon(p);
}

// The font drop-down keeps its names in alphabetical order, as a sorted
// list does, whatever order they come in.
class SortedComboList : public TextListBox {
public:
    explicit SortedComboList(QComboBox* combo) : combo_(combo) {}
    void Clear() override { combo_->clear(); }
    void AddItem(const std::string& text) override
    {
        const QString item = QString::fromStdString(text);
        int at = 0;
        while (at < combo_->count() && QString::compare(combo_->itemText(at), item, Qt::CaseInsensitive) <= 0) ++at;
        combo_->insertItem(at, item);
    }

private:
    QComboBox* combo_;
};

FloatingToolWindow::Options texturesOptions()
{
    FloatingToolWindow::Options o;
    o.slotName = "fToolTextures";
    o.stripName = "TL";
    o.title = QStringLiteral("Textures: Emboss");
    o.stripHeight = 17;
    o.sizable = false;
    o.storesPositionOnDrag = true;
    // The text box takes typing.
    o.takesFocus = true;
    return o;
}

} // namespace

// ---- PictureBox ----------------------------------------------------------------------

PictureBox::PictureBox(QWidget* parent) : ClickableLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBorder(true);
}

void PictureBox::setBorder(bool single)
{
    border_ = single;
    setFrameStyle(single ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
    // The picture stays where it is, with or without its border.
    setContentsMargins(single ? 0 : 1, single ? 0 : 1, 0, 0);
}

// ---- The window ------------------------------------------------------------------------

fToolTextures::fToolTextures(QWidget* owner) : FloatingToolWindow(owner, texturesOptions())
{
    const int frame = 2 * frameWidth();
    resize(twipsToPx(kClientWidthTwips) + frame, twipsToPx(kFullHeightTwips));
    setFixedWidth(twipsToPx(kClientWidthTwips) + frame);
    LMessage->setGeometry(twipsToPx(120), 0, twipsToPx(1575) + 40, strip()->height());

    // The window's own small type, as its layout in twips was made for.
    QFont small = client()->font();
    small.setPixelSize(11);
    client()->setFont(small);
    QFont caption = LMessage->font();
    caption.setPixelSize(11);
    LMessage->setFont(caption);

    buildTabs();
    buildDefined();
    buildText();
    buildFromFile();
    buildBottomBar();
    showFolderChooser = [this] { fBrowse::Show(this); };
    Form_Load();
}

fToolTextures::~fToolTextures() { Form_QueryUnload(); }

int32_t fToolTextures::rolledUpHeightTwips()
{
    return (twipsToPx(kTabTopTwips) + twipsToPx(kTabHeightTwips)) * kTwipsPerPixel + 100;
}

int fToolTextures::rolledUpHeightPx() const { return twipsToPx(rolledUpHeightTwips()); }

QSize fToolTextures::unrolledSizePx() const { return QSize(width(), twipsToPx(kFullHeightTwips)); }

int32_t fToolTextures::Strength() const { return BR->Value(); }

const BitsBuffer& fToolTextures::TileBits() const
{
    static const BitsBuffer none;
    return TileFilter_ ? TileFilter_->Bits() : none;
}

void fToolTextures::buildTabs()
{
    oDefined = tabFace(QStringLiteral("Defined"), true);
    cDefined = tabFace(QStringLiteral("Defined"), false);
    oText = tabFace(QStringLiteral("Text"), true);
    cText = tabFace(QStringLiteral("Text"), false);
    oFromFile = tabFace(QStringLiteral("From File"), true);
    cFromFile = tabFace(QStringLiteral("From File"), false);
    const std::array<PictureBox**, 3> tabs = {&tabDefined, &tabText, &tabFromFile};
    const std::array<const char*, 3> names = {"tabDefined", "tabText", "tabFromFile"};
    for (int i = 0; i < 3; ++i) {
        auto* tab = new PictureBox(client());
        tab->setObjectName(QString::fromUtf8(names[static_cast<size_t>(i)]));
        tab->setAlignment(Qt::AlignCenter);
        place(tab, 960 * i, kTabTopTwips, kTabWidthTwips, kTabHeightTwips);
        tab->MouseDown = [tab] { tab->setBorder(false); };
        tab->MouseUp = [tab] { tab->setBorder(true); };
        tab->Click = [this, i] { tab_Click(i); };
        *tabs[static_cast<size_t>(i)] = tab;
    }
}

void fToolTextures::buildDefined()
{
    FDefined = new QWidget(client());
    FDefined->setObjectName(QStringLiteral("FDefined"));
    place(FDefined, 0, kPanelTopTwips, 3135, 1725);

    picFrame = new QFrame(FDefined);
    picFrame->setObjectName(QStringLiteral("picFrame"));
    picFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    picFrame->setLineWidth(1);
    place(picFrame, 0, 0, 2775, 1725);
    // The panel moves inside the frame's border.
    auto* viewport = new QWidget(picFrame);
    viewport->setGeometry(picFrame->contentsRect());

    picTxt = new QFrame(viewport);
    picTxt->setObjectName(QStringLiteral("picTxt"));
    picTxt->setFrameStyle(QFrame::Box | QFrame::Plain);
    picTxt->setLineWidth(1);
    place(picTxt, 0, 0, 2775, 5655);

    // The marker lies beneath the boxes, showing as a band along the right
    // and bottom edges of the marked one.
    ppB = new QLabel(picTxt);
    ppB->setObjectName(QStringLiteral("ppB"));
    ppB->setAutoFillBackground(true);
    QPalette marker = ppB->palette();
    marker.setColor(QPalette::Window, QColor(128, 128, 255));
    ppB->setPalette(marker);
    ppB->resize(twipsToPx(kMarkerTwips), twipsToPx(kMarkerTwips));

    for (size_t r = 0; r < kGrid.size(); ++r)
        for (size_t c = 0; c < 4; ++c) {
            const int i = kGrid[r][c];
            if (i < 0) continue;
            auto* box = new PictureBox(picTxt);
            box->setObjectName(QStringLiteral("pp%1").arg(i));
            place(box, kColumnLeftTwips[c], kFirstRowTwips + kRowPitchTwips * static_cast<int32_t>(r), kBoxTwips,
                  kBoxTwips);
            box->MouseDown = [this, i] { pp_MouseDown(i); };
            box->MouseUp = [this, i] { pp_MouseUp(i); };
            box->Click = [this, i] { pp_Click(i); };
            pp[static_cast<size_t>(i)] = box;
        }

    V = new QScrollBar(Qt::Vertical, FDefined);
    V->setObjectName(QStringLiteral("V"));
    place(V, 2790, 0, 280, 1725);
    connect(V, &QScrollBar::valueChanged, this, [this] { V_Change(); });
    connect(V, &QScrollBar::sliderMoved, this, [this] { V_Change(); });
}

void fToolTextures::buildText()
{
    FText = new QWidget(client());
    FText->setObjectName(QStringLiteral("FText"));
    place(FText, 0, kPanelTopTwips, 3135, 1695);

    TB_Tools = new QToolBar(FText);
    TB_Tools->setObjectName(QStringLiteral("TB_Tools"));
    TB_Tools->setIconSize(QSize(16, 16));
    TB_Tools->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; border: none; }"
                                           "QToolButton { padding: 1px; margin: 0px; }"));
    place(TB_Tools, 960, 0, 2055, 360);
    const std::array<QIcon, 4> styleIcons = {
        letterIcon(QStringLiteral("B"), true, false, false, false),
        letterIcon(QStringLiteral("I"), false, true, false, false),
        letterIcon(QStringLiteral("U"), false, false, true, false),
        letterIcon(QStringLiteral("S"), false, false, false, true),
    };
    const std::array<const char*, 4> tips = {"Bold", "Italics", "Underline", "StrikeThrough"};
    for (int i = 1; i <= 4; ++i) {
        QAction* a = TB_Tools->addAction(styleIcons[static_cast<size_t>(i - 1)], QString());
        a->setToolTip(QString::fromUtf8(tips[static_cast<size_t>(i - 1)]));
        a->setCheckable(true);
        // The flag decides the pressed look, not Qt's own toggling.
        connect(a, &QAction::triggered, this, [this, i] { TB_Tools_ButtonClick(i); });
        TB_ToolsButtons[static_cast<size_t>(i)] = a;
    }
    TB_ToolsButtons[5] = TB_Tools->addSeparator();
    TB_ToolsButtons[6] = TB_Tools->addSeparator();
    QAction* apply = TB_Tools->addAction(applyIcon(), QString());
    apply->setToolTip(QStringLiteral("Apply"));
    connect(apply, &QAction::triggered, this, [this] { TB_Tools_ButtonClick(7); });
    TB_ToolsButtons[7] = apply;

    auto* lblText = new QLabel(QStringLiteral("Text Here"), FText);
    place(lblText, 120, 120, 735, 255);
    txtText = new QPlainTextEdit(FText);
    txtText->setObjectName(QStringLiteral("txtText"));
    place(txtText, 120, 375, 2895, 660);
    txtText->installEventFilter(this);

    auto* lblFont = new QLabel(QStringLiteral("Font"), FText);
    place(lblFont, 120, 1080, 375, 255);
    cboFont = new QComboBox(FText);
    cboFont->setObjectName(QStringLiteral("cboFont"));
    place(cboFont, 120, 1320, 2055, 300);
    auto* lblSize = new QLabel(QStringLiteral("Size"), FText);
    place(lblSize, 2280, 1080, 255, 210);
    // The captions take the width their text needs.
    for (QLabel* l : {lblText, lblFont, lblSize}) l->resize(l->sizeHint().width(), l->height());
    cboSize = new QComboBox(FText);
    cboSize->setObjectName(QStringLiteral("cboSize"));
    place(cboSize, 2280, 1320, 735, 300);

    // Read by the text tile; nothing changes their choice after loading.
    cboAlign = new QComboBox(this);
    cboAlign->setObjectName(QStringLiteral("cboAlign"));
    cboAlign->hide();
    cboShadow = new QComboBox(this);
    cboShadow->setObjectName(QStringLiteral("cboShadow"));
    cboShadow->hide();
}

void fToolTextures::buildFromFile()
{
    FFromFile = new QWidget(client());
    FFromFile->setObjectName(QStringLiteral("FFromFile"));
    place(FFromFile, 30, kPanelTopTwips, 3075, 1725);

    ListFile = new QListWidget(FFromFile);
    ListFile->setObjectName(QStringLiteral("ListFile"));
    place(ListFile, 0, 0, 2175, 1650);
    connect(ListFile, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ListFile_Click(ListFile->row(item)); });

    pic = new QLabel(FFromFile);
    pic->setObjectName(QStringLiteral("pic"));
    pic->setScaledContents(true);
    place(pic, 2280, 120, 735, 615);

    TB_FromFile = new QToolBar(FFromFile);
    TB_FromFile->setObjectName(QStringLiteral("TB_FromFile"));
    TB_FromFile->setIconSize(QSize(16, 16));
    TB_FromFile->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; border: none; }"
                                              "QToolButton { padding: 1px; margin: 0px; }"));
    place(TB_FromFile, 2280, 795, 735, 360);
    QAction* browse = TB_FromFile->addAction(folderIcon(), QString());
    browse->setToolTip(QStringLiteral("Browse"));
    connect(browse, &QAction::triggered, this, [this] { TB_FromFile_ButtonClick(1); });
    QAction* apply = TB_FromFile->addAction(applyIcon(), QString());
    apply->setToolTip(QStringLiteral("Apply"));
    connect(apply, &QAction::triggered, this, [this] { TB_FromFile_ButtonClick(2); });
    TB_FromFileButtons[1] = browse;
    TB_FromFileButtons[2] = apply;
}

void fToolTextures::buildBottomBar()
{
    tb = new QWidget(client());
    tb->setObjectName(QStringLiteral("tb"));
    place(tb, 0, 2370, 3090, 330);

    tbEffects = new QToolButton(tb);
    tbEffects->setObjectName(QStringLiteral("tbEffects"));
    tbEffects->setIcon(effectIcon());
    tbEffects->setToolTip(QStringLiteral("Texture effect"));
    tbEffects->setPopupMode(QToolButton::InstantPopup);
    place(tbEffects, 0, 0, 570, 330);
    mnuTileEffects = new QMenu(tbEffects);
    mnuTileEffects->setObjectName(QStringLiteral("mnuTileEffects"));
    const auto& effects = tileEffectTable<cBitFilter>();
    for (int n = 1; n <= kTileEffectCount; ++n) {
        QAction* a = mnuTileEffects->addAction(QString::fromUtf8(effects[static_cast<size_t>(n - 1)].caption));
        connect(a, &QAction::triggered, this, [this, n] { TileEffect_Click(n); });
        TileEffectItems[static_cast<size_t>(n - 1)] = a;
    }
    tbEffects->setMenu(mnuTileEffects);

    // The strength row: slider, text box and up-down.
    picBR = new QWidget(tb);
    picBR->setObjectName(QStringLiteral("picBR"));
    place(picBR, 600, 0, 2490, 330);

    BR = new cpvSlider(picBR);
    BR->setObjectName(QStringLiteral("BR"));
    BR->setOrientation(cpvSlider::kHorizontal);
    BR->setShowValueTip(true);
    // The design values, read without an event.
    BR->setMax(100);
    BR->setMin(1);
    BR->setValue(1);
    BR->move(twipsToPx(240), twipsToPx(15));
    BR->setFixedWidth(twipsToPx(1680));
    connect(BR, &cpvSlider::ValueChanged, this, [this] { BR_ValueChanged(); });

    brUDT = new QLineEdit(picBR);
    brUDT->setObjectName(QStringLiteral("brUDT"));
    brUDT->setAlignment(Qt::AlignRight);
    place(brUDT, 1920, 0, 370, 270);
    brUDT->installEventFilter(this);
    connect(brUDT, &QLineEdit::textChanged, this, [this] { brUDT_Change(); });

    brUD = new UpDownBar(picBR);
    brUD->setObjectName(QStringLiteral("brUD"));
    brUD->setRange(1, 100);
    brUD->setSingleStep(1);
    brUD->setPageStep(1);
    place(brUD, 2280, 0, 195, 285);
    connect(brUD, &QScrollBar::valueChanged, this, [this] { brUD_Change(); });
}

void fToolTextures::Form_Load()
{
    UppdateScroll();
    for (int i = kThumbnailCount - 1; i >= 0; --i)
        pp[static_cast<size_t>(i)]->setPixmap(QPixmap::fromImage(definedTexturePicture(i)));
    moveMarker(0);

    SortedComboList fonts(cboFont);
    mFonts::LoadFontList(fonts);
    for (int s = 7; s <= 120; ++s) cboSize->addItem(QString::number(s));
    if (cboFont->count() > 1) cboFont->setCurrentIndex(1);
    cboSize->setCurrentIndex(4);

    TileEffect_ = kDefaultTileEffect;
    FileChosen_ = false;
    FileFolder_ = QDir::currentPath().toStdString();

    BR->setValue(kDefaultTileStrength);
    brUDT->setText(QString::number(kDefaultTileStrength));
    brUD->setValue(kDefaultTileStrength);

    cboAlign->addItems({QStringLiteral("Left Justify"), QStringLiteral("Centre Justify"),
                        QStringLiteral("Right Justify"), QStringLiteral("Full Justify")});
    cboAlign->setCurrentIndex(0);
    cboShadow->addItems({QStringLiteral("Top Left"), QStringLiteral("Top"), QStringLiteral("Top Right"),
                         QStringLiteral("Left"), QStringLiteral("No Shadow"), QStringLiteral("Right"),
                         QStringLiteral("Bottom Left"), QStringLiteral("Bottom"), QStringLiteral("Bottom Right")});
    cboShadow->setCurrentIndex(4);

    txtText->setPlainText(QString::fromUtf8(kDefaultText));
    LMessage->setText(QStringLiteral("Textures: Emboss"));
    setRollUpFace(false);
    tab_Click(0);
}

// ---- Tabs and the roll-up ----------------------------------------------------------------

void fToolTextures::tab_Click(int tab)
{
    if (tab < 0 || tab > 2) return;
    ActiveTab_ = tab;
    tabDefined->setPixmap(tab == 0 ? oDefined : cDefined);
    tabText->setPixmap(tab == 1 ? oText : cText);
    tabFromFile->setPixmap(tab == 2 ? oFromFile : cFromFile);
    FDefined->setVisible(tab == 0);
    FText->setVisible(tab == 1);
    FFromFile->setVisible(tab == 2);
    ExpandWindow();
}

void fToolTextures::ExpandWindow()
{
    // Back to full height without touching the saved rolled-up flag, so a
    // window saved rolled up starts rolled up again.
    setRollUpFace(false);
    resize(width(), twipsToPx(kFullHeightTwips));
    giveFocusToMain();
}

void fToolTextures::Form_QueryUnload()
{
    if (programSettings().TexturesBoxVisible) storePosition();
}

// ---- Thumbnails ----------------------------------------------------------------------

void fToolTextures::moveMarker(int i)
{
    if (i < 0 || i >= kThumbnailCount) return;
    MarkedBox_ = i;
    ppB->move(pp[static_cast<size_t>(i)]->pos());
    ppB->lower();
}

void fToolTextures::pp_MouseDown(int i)
{
    moveMarker(i);
    if (i >= 0 && i < kThumbnailCount) pp[static_cast<size_t>(i)]->setBorder(false);
}

void fToolTextures::pp_MouseUp(int i)
{
    if (i >= 0 && i < kThumbnailCount) pp[static_cast<size_t>(i)]->setBorder(true);
}

void fToolTextures::pp_Click(int i)
{
    giveFocusToMain();
    moveMarker(i);
    ApplyTexture(TextureApply::kDefined, static_cast<int16_t>(i));
}

void fToolTextures::UppdateScroll()
{
    const int panel = picTxt->height();
    const int frame = picFrame->contentsRect().height();
    V->setEnabled(panel > frame);
    V->setMinimum(0);
    V->setMaximum(panel - frame);
    V->setSingleStep(50);
    V->setPageStep(100);
}

void fToolTextures::V_Change()
{
    picTxt->move(picTxt->x(), -V->value());
    giveFocusToMain();
}

// ---- The strength row ----------------------------------------------------------------

void fToolTextures::BR_ValueChanged()
{
    brUDT->setText(QString::number(BR->Value()));
    brUD->setValue(BR->Value());
    giveFocusToMain();
}

void fToolTextures::brUD_Change()
{
    try {
        BR->setValue(brUD->value());
    } catch (const InvalidPropertyValue&) {
    }
    giveFocusToMain();
}

void fToolTextures::brUDT_Change()
{
    LineEditTextBox text(brUDT);
    mAPI::SyncSliderFromText(*BR, text);
    giveFocusToMain();
}

// ---- The tile-effect menu -----------------------------------------------------------------

void fToolTextures::TileEffect_Click(int n)
{
    const auto* row = tileEffect<cBitFilter>(n);
    if (!row) return;
    for (QAction* a : TileEffectItems) a->setEnabled(true);
    TileEffect_ = static_cast<int16_t>(n);
    TileEffectItems[static_cast<size_t>(n - 1)]->setEnabled(false);
    picBR->show();
    LMessage->setText(QStringLiteral("Textures: ") + QString::fromUtf8(row->caption));
    if (!row->takesStrength) picBR->hide();
}

// ---- Keys and focus ------------------------------------------------------------------------

bool fToolTextures::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == brUDT && e->type() == QEvent::KeyPress)
        return refuseTypedKey(brUDT, *static_cast<QKeyEvent*>(e), 0, mAPI::FilterDigitKey);
    if (watched == txtText && e->type() == QEvent::FocusOut) {
        giveFocusToMain();
        return false;
    }
    return FloatingToolWindow::eventFilter(watched, e);
}

bool fToolTextures::event(QEvent* e)
{
    if (e->type() == QEvent::WindowDeactivate) {
        // The window lost the keyboard. Once the activation has settled:
        // another window of the program that took it keeps it, and so does
        // another program while this window is still shown (taking it back
        // would steal it); a window that went away with it hands it to the
        // main window.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (QApplication::activeWindow() || QApplication::activeModalWidget() || isVisible()) return;
                giveFocusToMain();
            },
            Qt::QueuedConnection);
    }
    return FloatingToolWindow::event(e);
}

} // namespace tq
