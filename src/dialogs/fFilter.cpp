#include "dialogs/fFilter.h"

#include "dialogs/FilterPreviewBox.h"
#include "document/MainHost.h"
#include "document/Numeric.h"
#include "document/cBitRegion.h"
#include "document/fImage.h"
#include "document/SharedRoutines.h"
#include "document/PictureRoutines.h"
#include "widgets/ColourSwatch.h"
#include "platform/Ports.h"
#include "widgets/QtControls.h"
#include "platform/SkippedStep.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"
#include "widgets/cpvSlider.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstring>

namespace tq {
namespace {

// Form places are kept in twips; the screen has 15 twips to the pixel.
constexpr int tw(int twips) { return (twips + 7) / 15; }

// The box the reduced copy is fitted into.
constexpr int32_t kPreviewMaxWidth = 160;
constexpr int32_t kPreviewMaxHeight = 110;

void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
}

// The display format of a row: every page shows whole numbers ("0").
QString formatRowValue(double v, const std::string& format)
{
    if (format == "0") return QString::number(rnd(v));
    return QString::number(v);
}

// A bordered buffer from a record that BitsToDib made of one.
BitsBuffer bitsOfRecord(const DibRecord& record, int32_t w, int32_t h)
{
    BitsBuffer b(w, h);
    if (record.bits.size() == b.byteSize()) std::memcpy(b.data(), record.bits.data(), b.byteSize());
    return b;
}

// The common end of a change, for the dialog's document whichever is active
// now, recording nothing; the active document is put back afterwards.
void redrawDocument(fImage& doc)
{
    const DocumentRef before = ActiveImage();
    ActiveImage() = &doc;
    if (MainHost* host = mainHost())
        step([&] { host->Update(false, false); });
    else
        step([&] { doc.UpdateImage(); });
    ActiveImage() = before ? before : DocumentRef(&doc);
}

} // namespace

fFilter::fFilter(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fFilter"));
    // A fixed tool window without control box, minimise or maximise buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Filter"));
    QFont f(QStringLiteral("Verdana"));
    f.setPointSizeF(6.75);
    setFont(f);
    setFixedSize(tw(5820), tw(3975));
    pageCall = [](cBitFilter& engine, int32_t page, const FilterPageArgs& args) {
        return runFilterPage(engine, page, args);
    };
    buildControls();
}

fFilter::~fFilter() = default;

fImage* fFilter::document() const { return doc_.data(); }

void fFilter::buildControls()
{
    const QColor workspace(0xAB, 0xAB, 0xAB);   // the desktop's application-workspace grey
    auto previewFrame = [&](const char* name, int top, FilterPreviewBox*& box, const char* boxName) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QString::fromLatin1(name));
        place(frame, 120, top, 2535, 1815);
        frame->setAutoFillBackground(true);
        QPalette pal = frame->palette();
        pal.setColor(QPalette::Window, workspace);
        frame->setPalette(pal);
        box = new FilterPreviewBox(frame);
        box->setObjectName(QString::fromLatin1(boxName));
        box->setGeometry(0, 0, 0, 0);
        return frame;
    };
    lblBkSrc = previewFrame("lblBkSrc", 120, iSrc, "iSrc");
    lblBkDst = previewFrame("lblBkDst", 2040, iDst, "iDst");
    connect(iSrc, &FilterPreviewBox::MouseDown, this,
            [this](Qt::MouseButton b, Qt::MouseButtons, float x, float y) { iSrc_MouseDown(b, x, y); });
    connect(iSrc, &FilterPreviewBox::MouseMove, this,
            [this](Qt::MouseButtons b, float x, float y) { iSrc_MouseMove(b, x, y); });

    frFactors = new QFrame(this);
    frFactors->setObjectName(QStringLiteral("frFactors"));
    place(frFactors, 3000, 360, 2625, 1860);

    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i);
        auto* fr = new QFrame(frFactors);
        fr->setObjectName(QStringLiteral("frFilter") + n);
        place(fr, 0, 0, 2535, 480);
        fr->hide();
        frFilter[i] = fr;

        lblFInfo[i] = new QLabel(QStringLiteral("Filter info"), fr);
        lblFInfo[i]->setObjectName(QStringLiteral("lblFInfo") + n);
        place(lblFInfo[i], 60, 0, 1860, 180);

        auto* s = new cpvSlider(fr);
        s->setObjectName(QStringLiteral("sbFilter") + n);
        s->setOrientation(cpvSlider::kHorizontal);
        s->setShowValueTip(true);
        // The design values, read without an event.
        s->setMax(100);
        s->setMin(1);
        s->setValue(1);
        s->move(0, tw(i == 2 ? 200 : 195));
        s->setFixedWidth(tw(1920));
        sbFilter[i] = s;
        connect(s, &cpvSlider::ValueChanged, this, [this, i] { sbFilter_ValueChanged(i); });

        auto* t = new QLineEdit(fr);
        t->setObjectName(QStringLiteral("lblFilterV") + n);
        QFont bold = t->font();
        bold.setBold(true);
        t->setFont(bold);
        t->setAlignment(Qt::AlignRight);
        place(t, 1920, 150, 375, 270);
        t->installEventFilter(this);
        lblFilterV[i] = t;
        connect(t, &QLineEdit::textChanged, this, [this, i] { lblFilterV_Change(i); });

        auto* ud = new UpDownBar(fr);
        ud->setObjectName(QStringLiteral("sbFilterV") + n);
        ud->setRange(1, 100);
        ud->setSingleStep(1);
        ud->setPageStep(1);
        ud->setValue(10);
        place(ud, 2280, 120, 195, 285);
        sbFilterV[i] = ud;
        connect(ud, &QScrollBar::valueChanged, this, [this, i] { sbFilterV_Change(i); });
    }

    frOption = new QFrame(frFactors);
    frOption->setObjectName(QStringLiteral("frOption"));
    place(frOption, 105, 0, 1875, 210);
    frOption->hide();
    chkOption = new QCheckBox(frOption);
    chkOption->setObjectName(QStringLiteral("chkOption"));
    place(chkOption, 45, 0, 240, 240);
    connect(chkOption, &QCheckBox::clicked, this, [this] { chkOption_Click(); });
    lblOption = new QLabel(QStringLiteral("Option info"), frOption);
    lblOption->setObjectName(QStringLiteral("lblOption"));
    place(lblOption, 360, 15, 825, 180);
    lblOption->installEventFilter(this);

    frColor = new QFrame(frFactors);
    frColor->setObjectName(QStringLiteral("frColor"));
    place(frColor, 1320, 0, 1125, 370);
    frColor->hide();
    for (int i = 0; i < 2; ++i) {
        auto* c = new ColourSwatch(frColor, true);
        c->setObjectName(QStringLiteral("Col") + QString::number(i));
        c->move(tw(i == 0 ? 0 : 600), tw(120));
        c->setFixedSize(tw(495), tw(255));
        Col[i] = c;
        connect(c, &ColourSwatch::Click, this, [this, i] { Col_Click(i); });
    }
    Col[0]->setBackColor(0xFF);   // red
    Col[1]->setBackColor(0xC0);   // dark red

    buildBanks();
    buildGlass();
    buildCurtain();

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 4560, 2400, 1020, 300);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    place(cmdCancel, 4560, 2760, 1020, 300);
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    cmdPreview = new QPushButton(QStringLiteral("Real Time"), this);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    place(cmdPreview, 2760, 2760, 1020, 300);
    cmdPreview->setAutoDefault(false);
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });

    Label1 = new QLabel(
        QStringLiteral("Scroll or slide the horizontal sliders to get the desired amount of  adjustment required. "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    QFont hint(QStringLiteral("Microsoft Sans Serif"));
    hint.setPointSizeF(8.25);
    Label1->setFont(hint);
    // The hint takes three lines in the desktop's fonts: it has the height
    // from below the buttons to the bottom edge, so none is lost.
    place(Label1, 2760, 3105, 3015, 810);

    tmrSelect = new QTimer(this);
    tmrSelect->setObjectName(QStringLiteral("tmrSelect"));
    tmrSelect->setInterval(500);
    connect(tmrSelect, &QTimer::timeout, this, [this] { tmrSelect_Timer(); });
}

// ---- Opening ------------------------------------------------------------------

void fFilter::Form_Load()
{
    tFilter = std::make_unique<cBitFilter>();
    tFilter->onProgress([this](int32_t& percent) { tFilter_Progress(percent); });

    doc_ = ActiveImage();
    fImage* doc = doc_.data();
    if (doc && doc->PictureExists()) {
        pictureWidth_ = doc->PictureWidth();
        pictureHeight_ = doc->PictureHeight();
        step([&] {
            mBitmap::FitSize(pictureWidth_, pictureHeight_, kPreviewMaxWidth, kPreviewMaxHeight, PreviewWidth,
                             PreviewHeight);
        });
        // A very long, thin picture still gets a preview of at least one
        // pixel each way, so the zoom factor of its region is never 0.
        if (PreviewWidth < 1) PreviewWidth = 1;
        if (PreviewHeight < 1) PreviewHeight = 1;

        for (auto [frame, box] : {std::pair{lblBkSrc, iSrc}, std::pair{lblBkDst, iDst}})
            box->setGeometry((frame->width() - PreviewWidth) / 2, (frame->height() - PreviewHeight) / 2, PreviewWidth,
                             PreviewHeight);

        // The reduction reads the document's own pixels without copying the
        // whole picture first.
        step([&] {
            if (tFilter->BitsResize(doc->undoBits(), PreviewWidth, PreviewHeight)) {
                cBitFilter::BitsToDib(PreviewResult, tFilter->Bits(), PreviewWidth, PreviewHeight);
                cBitFilter::BitsToDib(PreviewSource, tFilter->Bits(), PreviewWidth, PreviewHeight);
            }
        });
        step([&] { iSrc->drawRecord(PreviewResult, PreviewWidth, PreviewHeight); });
        step([&] { doc->StopTimer(); });
        step([&] { doc->SetAutoRedraw(true); });
    } else {
        doc_ = nullptr;
    }

    RealTimeRun = false;
    AlreadyApplied = false;
    CommitRun = false;
    PickEnabled = false;

    SetupFilter(fltID);
    RunFilter(fltID);
}

void fFilter::SetupFilter(int32_t page)
{
    PageReady = false;
    if (const FilterPageSpec* spec = filterPage(page)) {
        setWindowTitle(QString::fromUtf8(spec->caption));
        for (int32_t i = 0; i < spec->rowCount; ++i) {
            const FilterRowSpec& r = spec->rows[static_cast<size_t>(i)];
            SetupSlider(i, r.label, r.min, r.max, 1.0f, r.def, "0", spec->centred);
        }
        if (spec->option) {
            bool ticked = spec->optionDefault;
            SetupOption(spec->option, ticked);
        }
        // The pick point is at the centre before the first swatch takes the
        // colour under it.
        if (spec->pick) EnablePointPick();
        if (spec->swatches != kNoSwatches) ShowColorSwatches(spec->swatches);
        switch (spec->extra) {
        case FilterExtra::Banks: setupBanks(); break;
        case FilterExtra::Glass: setupGlass(); break;
        case FilterExtra::Curtain: setupCurtain(); break;
        case FilterExtra::None: break;
        }
    }
    PageReady = true;
}

void fFilter::SetupSlider(int32_t index, const std::string& label, int32_t min, int32_t max, float scale,
                          int32_t def, const std::string& format, bool centred)
{
    if (index < 0 || index > 2) return;
    const auto i = static_cast<size_t>(index);
    cpvSlider* s = sbFilter[i];
    step([&] { lblFInfo[i]->setText(QString::fromUtf8(label.c_str())); });
    RowScale[i] = scale;
    // Minimum first: every page's minimum lies below the design maximum.
    step([&] { s->setMin(rnd(min / static_cast<double>(scale))); });
    step([&] { s->setMax(rnd(max / static_cast<double>(scale))); });
    step([&] { s->setValue(rnd(def / static_cast<double>(scale))); });
    RowFormat[i] = format;
    // The up-down takes what the slider holds now: its own limits may move
    // the slider on the way (the design value 10 above a maximum of 2).
    const int32_t sMin = s->Min(), sMax = s->Max(), sValue = s->Value();
    step([&] { sbFilterV[i]->setMinimum(sMin); });
    step([&] { sbFilterV[i]->setMaximum(sMax); });
    step([&] { sbFilterV[i]->setValue(sValue); });
    CentreOffset[i] = centred ? rnd((max / static_cast<double>(scale)) * 0.5) : 0;
    // One row sits in the middle of the area; two or three are spread over it.
    static constexpr int kTops[3][3] = {{720, 0, 0}, {495, 1020, 0}, {270, 750, 1230}};
    for (int32_t r = 0; r <= index; ++r) frFilter[static_cast<size_t>(r)]->move(0, tw(kTops[index][r]));
    frFilter[i]->show();
    LastRow = index;
}

void fFilter::SetupOption(const std::string& label, bool& def)
{
    step([&] {
        lblOption->setText(QString::fromUtf8(label.c_str()));
        lblOption->adjustSize();
    });
    chkOption->setChecked(def);
    frOption->resize(chkOption->width() + lblOption->width() + tw(150), frOption->height());
    frOption->show();
}

// ---- Running ------------------------------------------------------------------

FilterPageArgs fFilter::pageArgs() const
{
    FilterPageArgs a;
    a.P = ParamValue;
    a.O = OptionValue;
    a.S = SwatchColor;
    a.X = PickX;
    a.Y = PickY;
    a.L = PreviewHeight < PreviewWidth ? PreviewWidth : PreviewHeight;
    a.GlassStyleName = GlassStyleName;
    for (size_t i = 0; i < 3; ++i) {
        a.Inv[i] = chkInvt[i]->isChecked();
        a.Kill[i] = chkKill[i]->isChecked();
    }
    return a;
}

void fFilter::RunFilter(int32_t page)
{
    if (!PageReady) return;

    if (page != kPageBanks && page != kPageGlass && page != kPageCurtain) {
        for (int32_t i = 0; i <= LastRow && i <= 2; ++i) {
            const auto r = static_cast<size_t>(i);
            step([&] {
                const QString text = formatRowValue(sbFilter[r]->Value() * static_cast<double>(RowScale[r]), RowFormat[r]);
                // The same text again changes nothing (and keeps a selection).
                if (lblFilterV[r]->text() != text) lblFilterV[r]->setText(text);
                int16_t v;
                if (toInt16(Val(text.toStdString()), v)) sbFilterV[r]->setValue(v);
            });
            ParamValue[r] = sbFilter[r]->Value() - CentreOffset[r];
        }
        OptionValue = chkOption->isChecked();
        SwatchColor[0] = Col[0]->BackColor();
        SwatchColor[1] = Col[1]->BackColor();
    }

    fImage* doc = doc_.data();
    if (!doc || !tFilter || !doc->PictureExists()) return;

    const bool fullSize = RealTimeRun || CommitRun;
    const bool wholePicture = doc->BitsRegion.IsEmptyRegion();
    step([&] {
        if (!PreviewRegion) PreviewRegion = std::make_unique<cBitRegion>();
        if (wholePicture && !fullSize) {
            // Without a selection the preview filters the whole reduced copy.
            // (The picture's rectangle scaled by one factor for both sides
            // could miss the last preview rows of a tall picture, or all of
            // a 2000 x 2 one.)
            PreviewRegion->Init(0, 0, PreviewWidth, PreviewHeight);
            PreviewRegion->setRegion(PreviewRegion->RegionMain());
            return;
        }
        PreviewRegion->Init(0, 0, pictureWidth_, pictureHeight_);
        const Region* selection = wholePicture ? doc->BitsRegion.RegionMain() : doc->BitsRegion.Region();
        PreviewRegion->setRegion(selection ? selection : PreviewRegion->RegionMain());
    });

    if (fullSize) {
        // Once "Real Time" has applied these parameters, OK commits the
        // picture as it is and needs no source.
        // The engine only reads its source: it holds the picture's block
        // rather than a copy.
        if (!AlreadyApplied) step([&] { tFilter->shareBits(originalPicture()); });
        step([&] { PreviewRegion->setZoomFactor(1.0f); });
        if (CommitRun) {
            hide();
            platform::DoEvents();
            // The pump may have closed the document.
            doc = doc_.data();
            if (!doc) return;
        }
    } else {
        step([&] { tFilter->setBits(bitsOfRecord(PreviewSource, PreviewWidth, PreviewHeight)); });
        step([&] {
            PreviewRegion->setZoomFactor(wholePicture ? 1.0f : single(static_cast<double>(PreviewWidth) / pictureWidth_));
        });
    }
    step([&] { tFilter->setBitsRegion(PreviewRegion->RegionScaled()); });

    if (!AlreadyApplied) {
        step([&] {
            FilterResult r = pageCall(*tFilter, page, pageArgs());
            // A member that failed leaves the buffer as it was.
            if (r) tFilter->setBits(std::move(*r));
        });
    }

    if (RealTimeRun) {
        step([&] {
            // The document is about to change: keep the picture of before.
            if (!original_.allocated()) original_ = doc->Bits().share();
            doc->SetAutoRedraw(false);
            doc->setBits(tFilter->Bits().share());
            doc->SetAutoRedraw(true);
            redrawDocument(*doc);
        });
    } else if (CommitRun) {
        step([&] { doc->SetAutoRedraw(false); });
        step([&] { commit(*doc, (AlreadyApplied ? doc->Bits() : tFilter->Bits()).share()); });
        unload();
    } else {
        step([&] {
            cBitFilter::BitsToDib(PreviewResult, tFilter->Bits(), PreviewWidth, PreviewHeight);
            iDst->drawRecord(PreviewResult, PreviewWidth, PreviewHeight);
        });
    }
}

const BitsBuffer& fFilter::originalPicture() const
{
    if (original_.allocated()) return original_;
    return doc_->undoBits();
}

void fFilter::commit(fImage& doc, BitsBuffer result)
{
    MainHost* host = mainHost();
    if (!host) {
        doc.setBits(std::move(result));
        doc.UpdateImage();
        doc.document().recordStep(LastActionName());
        return;
    }
    host->applyToDocument(doc.document(), std::move(result));
    // The shared engine mirrors the active document: when another one became
    // active while the dialog was open, it gets that one's pixels back.
    fImage* current = host->currentDocument();
    if (current && current != &doc && current->PictureExists()) {
        host->mirrorDocument(current->undoBits(), current->BitsRegion.walkRegion());
        ActiveImage() = current;
    }
}

void fFilter::tFilter_Progress(int32_t& percent)
{
    if (!(RealTimeRun || CommitRun) || AlreadyApplied) return;
    fImage* doc = doc_.data();
    if (!doc) return;
    step([&] {
        doc->picPb->setVisible(true);
        doc->cFilterProgress->setValue(percent);
    });
}

// ---- Keeping a row's controls in step ---------------------------------------

void fFilter::clearRunFlags()
{
    CommitRun = false;
    RealTimeRun = false;
    AlreadyApplied = false;
}

void fFilter::sbFilter_ValueChanged(int32_t)
{
    clearRunFlags();
    RunFilter(fltID);
}

void fFilter::sbFilterV_Change(int32_t index)
{
    const auto i = static_cast<size_t>(index);
    step([&] {
        ScrollBarUpDown upDown(sbFilterV[i]);
        mAPI::SliderFromScroll(upDown, *sbFilter[i]);
    });
}

void fFilter::lblFilterV_Change(int32_t index)
{
    const auto i = static_cast<size_t>(index);
    LineEditTextBox text(lblFilterV[i]);
    mAPI::SyncSliderFromText(*sbFilter[i], text);
}

void fFilter::lblFilterV_GotFocus(int32_t index)
{
    LineEditTextBox text(lblFilterV[static_cast<size_t>(index)]);
    mAPI::SelectAllText(text);
}

void fFilter::lblFilterV_KeyPress(int32_t, int16_t& KeyAscii) { mAPI::FilterDigitKey(KeyAscii); }

void fFilter::chkOption_Click()
{
    clearRunFlags();
    RunFilter(fltID);
}

void fFilter::lblOption_Click()
{
    chkOption->setChecked(!chkOption->isChecked());
    chkOption_Click();
}

bool fFilter::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == lblOption) {
        if (e->type() == QEvent::MouseButtonRelease) {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->button() == Qt::LeftButton && lblOption->rect().contains(m->position().toPoint())) lblOption_Click();
        }
        return false;
    }
    for (int32_t i = 0; i < 3; ++i) {
        if (watched != lblFilterV[static_cast<size_t>(i)]) continue;
        if (e->type() == QEvent::KeyPress)
            return refuseTypedKey(lblFilterV[static_cast<size_t>(i)], *static_cast<QKeyEvent*>(e), 0,
                                  [this, i](int16_t& k) { lblFilterV_KeyPress(i, k); });
        if (e->type() == QEvent::FocusIn) {
            // After Qt's own handling, which may place the cursor.
            QTimer::singleShot(0, this, [this, i] { lblFilterV_GotFocus(i); });
        }
        return false;
    }
    return QDialog::eventFilter(watched, e);
}

// ---- The buttons --------------------------------------------------------------

void fFilter::cmdPreview_Click()
{
    if (!AlreadyApplied) {
        RealTimeRun = true;
        RunFilter(fltID);
        RealTimeRun = false;
        AlreadyApplied = true;
    }
    step([&] { cmdOK->setFocus(); });
}

void fFilter::cmdOK_Click()
{
    if (unloaded_) return;
    CommitRun = true;
    RunFilter(fltID);
    CommitRun = false;
    if (fImage* doc = doc_.data()) step([&] { doc->picPb->hide(); });
    // OK always ends the dialog, also when there was nothing to commit.
    unload();
}

void fFilter::cmdCancel_Click()
{
    if (unloaded_) return;
    // What the restore needs is taken first: the dialog may be gone once
    // pending messages have run.
    const DocumentRef doc = doc_;
    const BitsBuffer original = std::move(original_);
    unload();
    platform::DoEvents();
    if (!doc) return;
    step([&] { doc->SetAutoRedraw(false); });
    // Until "Real Time" changed it, the document holds its picture of before.
    step([&] {
        if (original.allocated()) doc->setBits(original.share());
    });
    redrawDocument(*doc);
    step([&] { doc->picPb->hide(); });
}

void fFilter::unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    tmrSelect->stop();
    tFilter.reset();
    PreviewRegion.reset();
    if (fImage* doc = doc_.data())
        step([&] {
            if (!doc->BitsRegion.IsEmptyRegion()) doc->StartTimer();
        });
    close();
}

void fFilter::reject()
{
    // Esc, as the Cancel button.
    cmdCancel_Click();
}

void fFilter::closeEvent(QCloseEvent* e)
{
    // A close that is not OK's or Cancel's own counts as Cancel. (The
    // dialog's own close would ask reject() again, which must not run twice.)
    if (!unloaded_) cmdCancel_Click();
    e->accept();
}

// ---- Opening from a command ----------------------------------------------------

fFilter* openFilterDialog(int32_t page)
{
    MainHost* host = mainHost();
    QWidget* owner = host ? host->mainWidget() : nullptr;
    if (owner)
        for (fFilter* open : owner->findChildren<fFilter*>())
            if (!open->unloaded() && open->isVisible()) {
                open->raise();
                open->activateWindow();
                return nullptr;
            }
    auto* dialog = new fFilter(owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->fltID = page;
    dialog->Form_Load();
    dialog->show();
    return dialog;
}

} // namespace tq
