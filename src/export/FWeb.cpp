#include "export/FWeb.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/SizeLabel.h"
#include "document/fImage.h"
#include "document/SharedRoutines.h"
#include "document/PictureRouting.h"
#include "platform/Folders.h"
#include "platform/PictureFiles.h"
#include "widgets/QtControls.h"
#include "platform/SkippedStep.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tq {

namespace {

QLabel* label(QWidget* parent, const char* text, int x, int y, int w, int h, bool wrap = false)
{
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setGeometry(x, y, w, h);
    l->setWordWrap(wrap);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QComboBox* dropDown(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(x, y, w, h);
    return c;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h)
{
    auto* c = new QCheckBox(QString::fromUtf8(text), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(x, y, w, h);
    return c;
}

// A check box as the conversion reads it: 0 clear, 1 ticked, 2 greyed.
int checkValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

// The file dialog's filter for what the current preset writes.
std::string saveFilter(bool jpeg, const WebSaveState& s)
{
    if (jpeg) return "Independent JPEG (*.jpg)|*.jpg";
    if (s.OutputKind == 1 || s.OutputKind == 2) return "Graphical Interface Format (*.gif)|*.gif";
    switch (s.SaveFormat) {
    case 1: return "Portable Network Graphics (*.png)|*.png";
    case 2: return "Targa Format (*.tga)|*.tga";
    case 3: return "Tagged Image Format (*.tif)|*.tif";
    default: return "Windows Bitmap Format (*.bmp)|*.bmp";
    }
}

constexpr int kFirstJpegPreset = 15;
constexpr int kLastJpegPreset = 20;
constexpr int kCustomJpegPreset = 20;

bool isJpegPreset(int index) { return index >= kFirstJpegPreset && index <= kLastJpegPreset; }

// The hourglass for the length of a conversion.
struct WaitPointer {
    WaitPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitPointer() { QApplication::restoreOverrideCursor(); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;
};

} // namespace

// ---- Design -----------------------------------------------------------------------

// In pixels (15 twips each). The tab strip, the pages on it and the options
// panel are placed by the layout (FWeb_Previews.cpp); what lies inside them
// is placed here. The places are those of an 8-point dialog font.
FWeb::FWeb(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FWeb"));
    setWindowTitle(QStringLiteral("Optimized Save Options "));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setModal(true);
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    setSizeGripEnabled(false);
    resize(533, 483);

    sT = new QTabWidget(this);
    sT->setObjectName(QStringLiteral("sT"));
    for (const char* tab : {"Original", "Optimized", "Both"}) sT->addTab(new QWidget, QString::fromLatin1(tab));
    sT->setCurrentIndex(2);

    sb = new QWidget(this);
    sb->setObjectName(QStringLiteral("sb"));
    sb->setFixedHeight(20);
    auto* panels = new QHBoxLayout(sb);
    panels->setContentsMargins(2, 1, 2, 1);
    panels->setSpacing(2);
    for (int i = 0; i < 3; ++i) {
        sbPanel[i] = new QLabel(sb);
        sbPanel[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sbPanel[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i + 1));
        panels->addWidget(sbPanel[i], i == 2 ? 3 : 1);
    }

    buildPreviews();
    buildOptions();
    connectBars();
    TextsWidth_ = widthForTexts();
    Form_Resize();
}

FWeb::~FWeb() = default;

int FWeb::widthForTexts()
{
    // The "Both" page halves the page between its two frames: each must hold
    // the widest value it can show right of its captions. The sizes are at
    // most those of the largest picture.
    const uint64_t largest = uint64_t(kMaxPictureSide) * uint64_t(kMaxPictureSide) * 4u;
    QStringList values = {QStringLiteral("Native Bitmap"), QStringLiteral("24 bit True Color"),
                          QString::fromStdString(webSaveSizeText(largest, " KB"))};
    for (const WebSavePreset& p : WebSavePresets)
        if (p.depthText) values << QString::fromLatin1(p.depthText);
    int widest = 0;
    for (const QString& v : values) widest = std::max(widest, oType->fontMetrics().horizontalAdvance(v));
    const int frame = std::max(oType->x(), FileType4->x()) + widest + 8;
    // As the layout halves it (FWeb_Previews.cpp), with a pixel for the
    // rounding of the halves.
    const int forFrames = 2 * (frame + p3->x()) + 2 * p3->x() + sSave->width() + 1;

    // The status bar: the presets' captions in panel 2, the longest message
    // in panel 3; panel 1 may be as narrow as the bar leaves it.
    const QFontMetrics bar = sbPanel[1]->fontMetrics();
    int captions = 0;
    for (const WebSavePreset& p : WebSavePresets)
        captions = std::max(captions, bar.horizontalAdvance(QString::fromLatin1(p.caption)));
    int messages = 0;
    for (const char* m : {kWebSaveCannotApply, kWebSaveWriteFailed})
        messages = std::max(messages, bar.horizontalAdvance(QString::fromLatin1(m)));
    // A framed label keeps half an "x" of room on the side of its text.
    const int frames = 2 * sbPanel[1]->frameWidth() + bar.horizontalAdvance(QLatin1Char('x')) + 2;
    sbPanel[1]->setMinimumWidth(captions + frames);
    sbPanel[2]->setMinimumWidth(messages + frames);
    const QMargins m = sb->layout()->contentsMargins();
    const int forBar = m.left() + m.right() + 2 * sb->layout()->spacing() + sbPanel[1]->minimumWidth() +
                       sbPanel[2]->minimumWidth();
    return std::max(forFrames, forBar);
}

void FWeb::buildPreviews()
{
    struct Pane {
        QWidget*& page;
        const char* name;
    };
    for (Pane p : {Pane{p1, "p1"}, Pane{p2, "p2"}, Pane{p3, "p3"}}) {
        p.page = new QWidget(this);
        p.page->setObjectName(QString::fromLatin1(p.name));
        p.page->setGeometry(8, 30, 100, 100);
        p.page->hide();
    }
    const auto clip = [](QWidget* page, const char* name) {
        auto* c = new FWebClipBox(page);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    const auto picture = [](FWebClipBox* box, const char* name) {
        auto* p = new FWebPictureBox(box->area());
        p->setObjectName(QString::fromLatin1(name));
        return p;
    };
    // A frame of three rows under a clip box: the label at x 8, the value at
    // valueX.
    const auto frame = [](QWidget* page, const char* name, const char* caption) {
        auto* f = new QGroupBox(QString::fromLatin1(caption), page);
        f->setObjectName(QString::fromLatin1(name));
        f->setGeometry(0, 0, 100, 68);
        return f;
    };
    // The value of a row at x, or just right of its caption where the
    // desktop's font makes the caption wider than designed.
    const auto value = [](QGroupBox* f, const char* name, int x, int y) {
        for (QLabel* caption : f->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (caption->y() == y) {
                caption->resize(caption->sizeHint().width(), caption->height());
                x = std::max(x, caption->x() + caption->width() + 4);
            }
        auto* l = label(f, "", x, y, 200, 15);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };

    CiSrc = clip(p1, "CiSrc");
    iSrc = picture(CiSrc, "iSrc");
    frmOriginal = frame(p1, "frmOriginal", "Original");
    FileType1 = label(frmOriginal, "File Type", 8, 16, 80, 15);
    FileType1->setObjectName(QStringLiteral("FileType1"));
    FileTypeO = value(frmOriginal, "FileTypeO", 88, 16);
    label(frmOriginal, "Original Size :", 8, 32, 80, 15);
    FileSize1 = value(frmOriginal, "FileSize1", 88, 32);
    label(frmOriginal, "Colors :", 8, 48, 80, 15);
    FileDepth1 = value(frmOriginal, "FileDepth1", 88, 48);

    CoSrc = clip(p2, "CoSrc");
    oSrc = picture(CoSrc, "oSrc");
    frmOptimized = frame(p2, "frmOptimized", "Optimized");
    label(frmOptimized, "File Type", 8, 16, 88, 15);
    FileType2 = value(frmOptimized, "FileType2", 96, 16);
    label(frmOptimized, "Optimized Size :", 8, 32, 88, 15);
    FileSize2 = value(frmOptimized, "FileSize2", 96, 32);
    label(frmOptimized, "Colors :", 8, 48, 88, 15);
    Depth2 = value(frmOptimized, "Depth2", 96, 48);

    // The first caption of the "Original" page shows the document's name:
    // it has the whole room left of the values.
    FileType1->resize(FileTypeO->x() - 4 - FileType1->x(), FileType1->height());

    CoriginalP = clip(p3, "CoriginalP");
    OriginalP = picture(CoriginalP, "OriginalP");
    frmOriginalP = frame(p3, "frmOriginalP", "Original");
    label(frmOriginalP, "File Type", 8, 16, 80, 15);
    oType = value(frmOriginalP, "oType", 88, 16);
    label(frmOriginalP, "Original Size :", 8, 32, 80, 15);
    oSize = value(frmOriginalP, "oSize", 88, 32);
    label(frmOriginalP, "Colors :", 8, 48, 80, 15);
    oColors = value(frmOriginalP, "oColors", 88, 48);

    COptimizedP = clip(p3, "COptimizedP");
    OptimizedP = picture(COptimizedP, "OptimizedP");
    frmOptimizedP = frame(p3, "frmOptimizedP", "Optimized");
    label(frmOptimizedP, "File Type", 8, 16, 88, 15);
    FileType4 = value(frmOptimizedP, "FileType4", 96, 16);
    label(frmOptimizedP, "Optimized Size :", 8, 32, 88, 15);
    FileSize4 = value(frmOptimizedP, "FileSize4", 96, 32);
    label(frmOptimizedP, "Colors :", 8, 48, 88, 15);
    Depth4 = value(frmOptimizedP, "Depth4", 96, 48);

    connect(sT, &QTabWidget::currentChanged, this, [this](int) { sT_Click(); });
    connect(iSrc, &FWebPictureBox::MouseDown, this, &FWeb::iSrc_MouseDown);
    connect(iSrc, &FWebPictureBox::MouseMove, this, &FWeb::iSrc_MouseMove);
    connect(iSrc, &FWebPictureBox::MouseUp, this, &FWeb::iSrc_MouseUp);
    connect(oSrc, &FWebPictureBox::MouseDown, this, &FWeb::oSrc_MouseDown);
    connect(oSrc, &FWebPictureBox::MouseMove, this, &FWeb::oSrc_MouseMove);
    connect(oSrc, &FWebPictureBox::MouseUp, this, &FWeb::oSrc_MouseUp);
    connect(OriginalP, &FWebPictureBox::MouseDown, this, &FWeb::OriginalP_MouseDown);
    connect(OriginalP, &FWebPictureBox::MouseMove, this, &FWeb::OriginalP_MouseMove);
    connect(OriginalP, &FWebPictureBox::MouseUp, this, &FWeb::OriginalP_MouseUp);
    connect(OptimizedP, &FWebPictureBox::MouseDown, this, &FWeb::OptimizedP_MouseDown);
    connect(OptimizedP, &FWebPictureBox::MouseMove, this, &FWeb::OptimizedP_MouseMove);
    connect(OptimizedP, &FWebPictureBox::MouseUp, this, &FWeb::OptimizedP_MouseUp);
}

void FWeb::buildOptions()
{
    sSave = new QWidget(this);
    sSave->setObjectName(QStringLiteral("sSave"));
    sSave->setGeometry(0, 0, 209, 300);

    CmdSave = new QPushButton(QStringLiteral("Save As"), sSave);
    CmdSave->setObjectName(QStringLiteral("CmdSave"));
    CmdSave->setGeometry(48, 32, 105, 23);
    CmdSave->setAutoDefault(false);
    CmdCancel = new QPushButton(QStringLiteral("Exit"), sSave);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setGeometry(48, 64, 105, 23);
    CmdCancel->setAutoDefault(false);
    label(sSave, "Select a format from below:", 8, 104, 190, 17);
    CboFiles = dropDown(sSave, "CboFiles", 8, 120, 193, 21);

    fgif = new QGroupBox(sSave);
    fgif->setObjectName(QStringLiteral("fgif"));
    fgif->setGeometry(8, 144, 193, 137);
    // The lists start right of the widest of their captions.
    int listLeft = 40;
    for (auto [caption, y] : {std::pair{"Maps:", 19}, std::pair{"Mode:", 43}, std::pair{"Dither:", 67}})
        listLeft = std::max(listLeft, widenToText(label(fgif, caption, 3, y, 37, 17)));
    cboMap = dropDown(fgif, "cboMap", listLeft, 16, 185 - listLeft, 20);
    cboColorMode = dropDown(fgif, "cboColorMode", listLeft, 40, 185 - listLeft, 20);
    cboDither = dropDown(fgif, "cboDither", listLeft, 64, 185 - listLeft, 20);
    FrmAPI = new QGroupBox(fgif);
    FrmAPI->setObjectName(QStringLiteral("FrmAPI"));
    FrmAPI->setGeometry(16, 88, 169, 41);
    chkInvert = checkBox(FrmAPI, "chkInvert", "Invert", 4, 4, 76, 17);
    ChkInterlaced = checkBox(FrmAPI, "ChkInterlaced", "InterLaced", 80, 4, 86, 17);
    chkFlipV = checkBox(FrmAPI, "chkFlipV", "Flip Vertical", 4, 21, 76, 17);
    chkFlipH = checkBox(FrmAPI, "chkFlipH", "Flip Horizontal", 80, 21, 88, 17);
    // The two columns as wide as the desktop's font needs; the frame grows
    // to the left and right edges of its options frame when they need more
    // room, and that frame towards the edges of the panel.
    const int first = std::max(chkInvert->sizeHint().width(), chkFlipV->sizeHint().width());
    const int second = std::max(ChkInterlaced->sizeHint().width(), chkFlipH->sizeHint().width());
    if (2 + first + second + 2 > FrmAPI->width()) {
        const int options = std::min(sSave->width() - 4, std::max(fgif->width(), 2 + first + second + 2 + 4));
        fgif->setGeometry((sSave->width() - options) / 2, fgif->y(), options, fgif->height());
        FrmAPI->setGeometry(2, 88, std::min(fgif->width() - 4, 2 + first + second + 2), 41);
        const int column = std::min(2 + first, FrmAPI->width() - second - 2);
        chkInvert->setGeometry(2, 4, column - 2, 17);
        chkFlipV->setGeometry(2, 21, column - 2, 17);
        ChkInterlaced->setGeometry(column, 4, FrmAPI->width() - column - 1, 17);
        chkFlipH->setGeometry(column, 21, FrmAPI->width() - column - 1, 17);
    }

    Fjpg = new QGroupBox(QStringLiteral("JPEG Options"), sSave);
    Fjpg->setObjectName(QStringLiteral("Fjpg"));
    Fjpg->setGeometry(8, 144, 193, 137);
    frameJPG = new QGroupBox(Fjpg);
    frameJPG->setObjectName(QStringLiteral("frameJPG"));
    frameJPG->setGeometry(8, 24, 177, 81);
    label(frameJPG, "Enter JPEG Quality between 1 to 100", 8, 12, 161, 30, true);
    TxtJPG = new QLineEdit(frameJPG);
    TxtJPG->setObjectName(QStringLiteral("TxtJPG"));
    TxtJPG->setGeometry(8, 46, 49, 21);
    TxtJPG->setToolTip(QStringLiteral("Enter JPEG Quality value between 1-100."));
    TxtJPGD = new UpDownBar(frameJPG);
    TxtJPGD->setObjectName(QStringLiteral("TxtJPGD"));
    TxtJPGD->setRange(1, 100);
    TxtJPGD->setSingleStep(1);
    TxtJPGD->setPageStep(1);
    TxtJPGD->setGeometry(57, 46, 15, 21);
    cboJpg = dropDown(Fjpg, "cboJpg", 56, 104, 121, 21);

    // The design state: the JPEG options hidden, the reduction lists
    // disabled until the first non-JPEG preset.
    Fjpg->hide();
    frameJPG->hide();
    cboJpg->hide();
    ChkInterlaced->hide();
    for (QWidget* w : {static_cast<QWidget*>(cboMap), static_cast<QWidget*>(cboColorMode),
                       static_cast<QWidget*>(cboDither), static_cast<QWidget*>(FrmAPI)})
        w->setEnabled(false);

    // A list item chosen by the user runs its handler; the program selects
    // items itself and runs the handlers it means to.
    connect(CboFiles, &QComboBox::activated, this, [this](int) { CboFiles_Click(); });
    connect(cboMap, &QComboBox::activated, this, [this](int) { cboMap_Click(); });
    connect(cboColorMode, &QComboBox::activated, this, [this](int) { cboColorMode_Click(); });
    connect(cboDither, &QComboBox::activated, this, [this](int) { cboDither_Click(); });
    connect(cboJpg, &QComboBox::activated, this, [this](int) { cboJpg_Click(); });
    connect(ChkInterlaced, &QCheckBox::clicked, this, [this] { ChkInterlaced_Click(); });
    connect(chkInvert, &QCheckBox::clicked, this, [this] { chkInvert_Click(); });
    connect(chkFlipV, &QCheckBox::clicked, this, [this] { chkFlipV_Click(); });
    connect(chkFlipH, &QCheckBox::clicked, this, [this] { chkFlipH_Click(); });
    connect(TxtJPG, &QLineEdit::textChanged, this, [this](const QString&) { TxtJPG_Change(); });
    connect(TxtJPGD, &QScrollBar::valueChanged, this, [this](int) { TxtJPGD_Change(); });
    connect(CmdSave, &QPushButton::clicked, this, &FWeb::CmdSave_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FWeb::CmdCancel_Click);
    TxtJPG->installEventFilter(this);
    TxtJPGD->installEventFilter(this);
}

QString FWeb::panelText(int panel) const
{
    return panel >= 1 && panel <= 3 ? sbPanel[panel - 1]->text() : QString();
}

void FWeb::setPanelText(int panel, const QString& text)
{
    if (panel >= 1 && panel <= 3) sbPanel[panel - 1]->setText(text);
}

// ---- Loading and unloading ------------------------------------------------------------

bool FWeb::Form_Load()
{
    fImage* doc = ActiveImage().data();
    if (!doc) return false;
    // A name longer than its room is shortened in the middle, and is whole
    // in the label's tip.
    const QString title = doc->windowTitle();
    FileType1->setText(FileType1->fontMetrics().elidedText(title, Qt::ElideMiddle, FileType1->width()));
    FileType1->setToolTip(title);

    for (const WebSaveItem& i : WebSaveJpegItems) cboJpg->addItem(QString::fromLatin1(i.text));
    for (const WebSaveItem& i : WebSaveDitherItems) cboDither->addItem(QString::fromLatin1(i.text));
    for (const WebSaveItem& i : WebSaveColorModeItems) cboColorMode->addItem(QString::fromLatin1(i.text));
    for (const WebSavePreset& p : WebSavePresets) CboFiles->addItem(QString::fromLatin1(p.caption));
    cboJpg->setCurrentIndex(-1);
    cboDither->setCurrentIndex(-1);
    cboColorMode->setCurrentIndex(-1);
    CboFiles->setCurrentIndex(-1);

    // The unchanged picture: shown on both pages, and the source of every
    // conversion. The optimised pictures take its size.
    const DibRecord& extracted = doc->tSrc;
    if (extracted.width <= 0 || extracted.height <= 0 ||
        extracted.bits.size() < 4u * size_t(extracted.width) * size_t(extracted.height))
        return false;
    try {
        source_ = std::make_shared<const DibRecord>(extracted);
    } catch (const std::bad_alloc&) {
        return false;
    }
    iSrc->setPicture(source_);
    oSrc->setInnerSize(iSrc->innerWidth(), iSrc->innerHeight());
    OptimizedP->setInnerSize(iSrc->innerWidth(), iSrc->innerHeight());
    OriginalP->setPicture(iSrc->image());

    // Its size as a Windows bitmap, measured in the estimate file.
    EstimateFile = newWebSaveEstimateFile();
    std::error_code ec;
    const bool measured = !EstimateFile.empty() && mBitmap::SaveImageFile(EstimateFile, "bmp", *source_);
    const auto bytes = measured ? std::filesystem::file_size(EstimateFile, ec) : 0;
    if (!measured || ec) {
        removeFileQuietly(EstimateFile);
        platform::MsgBox(kWebSaveWriteFailed, platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                         platform::kProgramName);
        return false;
    }
    const QString size = QString::fromStdString(SizeLabel(uint64_t(bytes)));
    for (QLabel* l : {oType, FileTypeO}) l->setText(QStringLiteral("Native Bitmap"));
    for (QLabel* l : {oSize, FileSize1}) l->setText(size);
    for (QLabel* l : {oColors, FileDepth1}) l->setText(QStringLiteral("24 bit True Color"));

    State.Ready = false;

    Settings& s = programSettings();
    setOuterSize(s.WebSaveWidth / kTwipsPerPixel, s.WebSaveHeight / kTwipsPerPixel);
    const int tab = s.WebSaveTab >= 1 && s.WebSaveTab <= 3 ? s.WebSaveTab : 3;
    sT->setCurrentIndex(tab - 1);
    sT_Click();

    const std::string folder = s.WebSaveFolder.text();
    Dlg.initialDir = !folder.empty() && std::filesystem::is_directory(folder, ec)
                         ? folder
                         : platform::joinPath(platform::programFolder(), "images/");

    // The preset and the custom quality as they were left. Nothing is
    // converted yet: the measuring file is cleared first, and the preset
    // then converts once with every option in place.
    const int preset = s.WebSavePreset >= 0 && s.WebSavePreset < int(WebSavePresets.size()) ? s.WebSavePreset
                                                                                          : kDefaultWebSavePreset;
    const int quality = s.WebSaveJpegQuality >= 1 && s.WebSaveJpegQuality <= 100 ? s.WebSaveJpegQuality : 80;
    holdConversions_ = true;
    CboFiles->setCurrentIndex(preset);
    CboFiles_Click();
    TxtJPG->setText(QString::number(quality));
    TxtJPGD->setValue(quality);
    holdConversions_ = false;

    removeFileQuietly(EstimateFile);
    State.Ready = true;
    // For "JPEG - Custom Quality .." the preset runs the quality's change,
    // which converts with the saved quality.
    step([&] { CboFiles_Click(); });
    return true;
}

void FWeb::Form_Unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    Settings& s = programSettings();
    s.WebSaveWidth = width() * kTwipsPerPixel;
    s.WebSaveHeight = height() * kTwipsPerPixel;
    s.WebSaveFolder.assign(Dlg.initialDir);
    if (CboFiles->currentIndex() >= 0) s.WebSavePreset = int16_t(CboFiles->currentIndex());
    const long quality = std::strtol(TxtJPG->text().toLatin1().constData(), nullptr, 10);
    s.WebSaveJpegQuality = int16_t(std::clamp<long>(quality, 1, 100));
    // The estimate file is the dialog's own.
    removeFileQuietly(EstimateFile);
}

void FWeb::closeEvent(QCloseEvent* e)
{
    Form_Unload();
    QDialog::closeEvent(e);
}

void FWeb::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}

void FWeb::setOuterSize(int widthPixels, int heightPixels)
{
    // The stored size is the window's own area, so it comes back as it was.
    resize(std::max(1, widthPixels), std::max(1, heightPixels));
    Form_Resize();
}

// ---- Options ------------------------------------------------------------------------------

void FWeb::CboFiles_Click()
{
    fgif->show();
    Fjpg->hide();
    ChkInterlaced->hide();
    setPanelText(2, CboFiles->currentText());
    const int index = CboFiles->currentIndex();
    const PresetChoice choice = chooseWebSavePreset(State, index, ChkInterlaced->isChecked());
    if (choice.fillMaps) {
        cboMap->clear();
        for (const std::string& m : choice.maps) cboMap->addItem(QString::fromStdString(m));
        // Nothing chosen: the preset's own palette applies until a map is.
        cboMap->setCurrentIndex(-1);
    }
    if (choice.showInterlaced) ChkInterlaced->show();
    if (choice.jpeg) {
        fgif->hide();
        Fjpg->show();
        cboJpg->setCurrentIndex(choice.jpegItem);
        cboJpg_Click();
        if (index == kCustomJpegPreset) TxtJPGD_Change();
        return;
    }
    if (!choice.resetOptions) return;
    for (QWidget* w : {static_cast<QWidget*>(cboColorMode), static_cast<QWidget*>(cboDither),
                       static_cast<QWidget*>(cboMap), static_cast<QWidget*>(FrmAPI)})
        w->setEnabled(true);
    cboDither->setCurrentIndex(0);
    cboColorMode->setCurrentIndex(0);
    OptimizeToFile(EstimateFile, 0);
}

void FWeb::cboMap_Click()
{
    if (!cboDither->isEnabled()) cboDither->setEnabled(true);
    const MapChoice choice = chooseWebSaveMap(State, CboFiles->currentIndex(), cboMap->currentIndex());
    if (choice.ditherDisabled) {
        cboDither->setCurrentIndex(0);
        cboDither->setEnabled(false);
    }
    OptimizeToFile(EstimateFile, 0);
}

void FWeb::cboColorMode_Click()
{
    chooseWebSaveColorMode(State, cboColorMode->currentIndex());
    OptimizeToFile(EstimateFile, 0);
}

void FWeb::cboDither_Click()
{
    chooseWebSaveDither(State, cboDither->currentIndex());
    OptimizeToFile(EstimateFile, 0);
}

void FWeb::ChkInterlaced_Click()
{
    chooseWebSaveInterlaced(State, checkValue(ChkInterlaced) == 1);
    OptimizeToFile(EstimateFile, 0);
}

void FWeb::chkFlipV_Click() { OptimizeToFile(EstimateFile, 0); }
void FWeb::chkFlipH_Click() { OptimizeToFile(EstimateFile, 0); }
void FWeb::chkInvert_Click() { OptimizeToFile(EstimateFile, 0); }

void FWeb::cboJpg_Click()
{
    frameJPG->hide();
    const int item = cboJpg->currentIndex();
    if (item == kWebSaveCustomJpegItem) {
        // The custom quality converts when it changes.
        frameJPG->show();
    } else if (item >= 0 && item < int(WebSaveJpegItems.size())) {
        OptimizeJpegToFile(EstimateFile, WebSaveJpegItems[size_t(item)].value, 0);
    }
}

void FWeb::TxtJPG_Change()
{
    if (!State.Ready) return;
    LineEditTextBox text(TxtJPG);
    ScrollBarUpDown upDown(TxtJPGD);
    mAPI::SyncScrollFromText(upDown, text);
}

void FWeb::TxtJPG_GotFocus()
{
    State.Ready = true;
    LineEditTextBox text(TxtJPG);
    mAPI::SelectAllText(text);
}

void FWeb::TxtJPG_KeyPress(int16_t& KeyAscii) { mAPI::FilterDigitKey(KeyAscii); }

void FWeb::TxtJPGD_Change()
{
    if (!State.Ready) return;
    const int quality = TxtJPGD->value();
    TxtJPG->setText(QString::number(quality));
    OptimizeJpegToFile(EstimateFile, quality, 0);
}

void FWeb::TxtJPGD_GotFocus() { State.Ready = true; }

bool FWeb::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == TxtJPG) {
        if (e->type() == QEvent::FocusIn) {
            TxtJPG_GotFocus();
        } else if (e->type() == QEvent::KeyPress) {
            if (refuseTypedKey(TxtJPG, *static_cast<QKeyEvent*>(e), 0, [this](int16_t& k) { TxtJPG_KeyPress(k); }))
                return true;
        }
    } else if (watched == TxtJPGD) {
        // The up-down takes no focus of its own: a press on it counts as it.
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::MouseButtonPress) TxtJPGD_GotFocus();
    }
    return QDialog::eventFilter(watched, e);
}

void FWeb::CmdSave_Click()
{
    // Not while a conversion runs (the handler can be reached only from
    // inside one that lets events run).
    if (converting_) return;
    const bool jpeg = isJpegPreset(CboFiles->currentIndex());
    Dlg.title = "Save Optimized As";
    Dlg.filter = saveFilter(jpeg, State);
    Dlg.filterIndex = 1;
    Dlg.overwritePrompt = true;
    // The name is taken as typed or picked: no extension is added.
    Dlg.defaultExt.clear();
    platform::FileDialogs* dialogs = platform::ports().fileDialogs;
    const std::optional<platform::FileDialogAnswer> answer = dialogs ? dialogs->save(Dlg) : std::nullopt;
    if (!answer || answer->path.empty()) return;
    Dlg.fileName = answer->path;
    if (jpeg)
        OptimizeJpegToFile(answer->path, State.JpegQuality, 1);
    else
        OptimizeToFile(answer->path, 1);
}

void FWeb::CmdCancel_Click() { close(); }

// ---- Conversions -----------------------------------------------------------------------------

WebSaveChecks FWeb::checks() const
{
    return WebSaveChecks{checkValue(chkFlipV), checkValue(chkFlipH), checkValue(chkInvert)};
}

bool FWeb::startConversion()
{
    if (holdConversions_ || !source_) return false;
    if (converting_) {
        refused_ = true;
        return false;
    }
    converting_ = true;
    return true;
}

void FWeb::endConversion()
{
    converting_ = false;
    if (!refused_) return;
    refused_ = false;
    estimate();
}

void FWeb::estimate()
{
    const int index = CboFiles->currentIndex();
    if (!isJpegPreset(index)) {
        OptimizeToFile(EstimateFile, 0);
    } else if (index == kCustomJpegPreset) {
        OptimizeJpegToFile(EstimateFile, TxtJPGD->value(), 0);
    } else {
        const int item = cboJpg->currentIndex();
        if (item >= 0 && item < kWebSaveCustomJpegItem)
            OptimizeJpegToFile(EstimateFile, WebSaveJpegItems[size_t(item)].value, 0);
    }
}

void FWeb::OptimizeToFile(const std::string& path, int16_t final)
{
    if (!startConversion()) return;
    platform::DoEvents();
    WebSaveResult result;
    step([&] {
        WaitPointer hourglass;
        result = tq::OptimizeToFile(State, *source_, checks(), path, final);
    });
    step([&] { showResult(result, final); });
    endConversion();
}

void FWeb::OptimizeJpegToFile(const std::string& path, int32_t quality, int16_t final)
{
    if (!startConversion()) return;
    WebSaveResult result;
    step([&] { result = tq::OptimizeJpegToFile(State, *source_, path, quality, final); });
    step([&] { showResult(result, final); });
    endConversion();
}

void FWeb::showResult(WebSaveResult& result, int16_t final)
{
    // The status bar says why a conversion failed, and is cleared by one
    // that wrote its file.
    if (!result.statusText.empty())
        setPanelText(3, QString::fromStdString(result.statusText));
    else if (result.written)
        setPanelText(3, QString());
    if (final == 1 && !result.written && (result.refused || result.statusText == kWebSaveWriteFailed))
        platform::MsgBox(result.statusText, platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                         platform::kProgramName);
    if (!result.shown) return;
    if (result.preview) {
        if (result.previewDrawnOver)
            oSrc->drawOver(std::move(*result.preview));
        else
            oSrc->setPicture(std::make_shared<const DibRecord>(std::move(*result.preview)));
    }
    OptimizedP->setPicture(oSrc->image());
    FileType2->setText(QString::fromStdString(result.typeText));
    FileSize2->setText(QString::fromStdString(result.sizeText));
    Depth2->setText(QString::fromStdString(result.depthText));
    FileType4->setText(FileType2->text());
    FileSize4->setText(FileSize2->text());
    Depth4->setText(Depth2->text());
    oSrc->update();
}

} // namespace tq
