#include "mainwindow/Startup.h"

#include "colour/GradientColourPicker.h"
#include "dialogs/fPaletteApply.h"
#include "dialogs/fUserFilter.h"
#include "document/ProgramContext.h"
#include "document/SettingsFile.h"
#include "document/UndoStore.h"
#include "document/WriteFailureNotice.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"
#include "effects/library/EffectsLibrary.h"
#include "filters/Kernels.h"
#include "platform/Ports.h"
#include "document/Settings.h"
#include "mainwindow/FileCommands.h"
#include "mainwindow/OpenDocument.h"
#include "mainwindow/WindowCommands.h"
#include "mainwindow/fMain.h"
#include "mainwindow/fSplash.h"
#include "platform/Random.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolOptionPanel.h"
#include "toolwindows/ToolWindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <vector>

namespace tq {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockFileName = "talvex-quarlend.lock";
constexpr const char* kProgramTitle = "Talvex Quarlend";

std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

// A path shown as a menu caption: "&" would be taken for a mnemonic.
QString menuCaption(const std::string& text)
{
    QString s = QString::fromStdString(text);
    s.replace(QLatin1Char('&'), QLatin1String("&&"));
    return s;
}

int twipsToPixels(int32_t twips) { return twips / kTwipsPerPixel; }

// Destroys the main window with the shell's event filters taken off first:
// its destructor sends events to itself and its children, and the shell's
// filter would otherwise call into a window already half torn down.
void destroyMainWindow(std::unique_ptr<fMain>& main, QObject* filter)
{
    if (!main) return;
    main->removeEventFilter(filter);
    main->mdiArea()->viewport()->removeEventFilter(filter);
    main.reset();
}

} // namespace

mStart* mStart::running() { return programContext().shell; }

mStart::mStart(StartOptions options)
    : options_(std::move(options)), colourPicker_(std::make_unique<GradientColourPicker>())
{
    installPictureOpenDialog();
    // Every swatch of the program asks its colours of this picker.
    platform::setDefaultColourPicker(colourPicker_.get());
}

mStart::~mStart()
{
    if (programContext().shell == this) programContext().shell = nullptr;
    for (QWidget*& w : tools_) {
        delete w;
        w = nullptr;
    }
    destroyMainWindow(main_, this);
    // The documents have waited for their snapshots; the writer stops once
    // the last store lets it go.
    programContext().snapshotWriter.reset();
    platform::setDefaultColourPicker(nullptr);
}

platform::MessageBoxes& mStart::messages() { return *platform::ports().messageBoxes; }

bool mStart::StartApplication(fSplash* splash)
{
    Settings& s = programSettings();
    // 2. The settings, or the defaults on a first start.
    if (Module8::LoadSettings(s, options_.programFolder) == Module8::SettingsLoad::Reset)
        messages().show({Module8::kSettingsResetMessage, platform::MsgButtons::OK, platform::MsgIcon::Exclamation, kProgramTitle});

    // 3. The main window and its menus; the effects library is bound when
    // the first effect is drawn.
    effects::registerEffectsLibrary();
    main_ = std::make_unique<fMain>();
    main_->setObjectName(QStringLiteral("fMain"));
    QApplication::setWindowIcon(programIcon());
    main_->setWindowIcon(programIcon());
    menus_ = BuildMainMenus(main_->menuBar(), *this);
    main_->installEventFilter(this);
    main_->mdiArea()->viewport()->installEventFilter(this);
    programRandom().seed(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()));

    // 4. The tool windows that are part of the program, loaded hidden.
    auto toolSlots = toolWindowSlots();
    for (int i : toolWindowLoadOrder()) {
        const ToolWindowSlot& slot = toolSlots[static_cast<std::size_t>(i)];
        if (slot.create) {
            QWidget* w = slot.create(main_.get());
            if (w) w->hide();
            tools_[static_cast<std::size_t>(i)] = w;
        }
    }
    for (std::size_t i = 0; i < toolSlots.size(); ++i)
        if (QAction* a = menus_.item("VIEWS", toolSlots[i].viewsIndex)) a->setEnabled(tools_[i] != nullptr);

    // 5. One copy at a time.
    std::error_code ec;
    fs::create_directories(options_.runtimeFolder, ec);
    lock_ = std::make_unique<QLockFile>(QString::fromStdString((options_.runtimeFolder / kLockFileName).string()));
    lock_->setStaleLockTime(0);   // only a lock whose owner has died is stale
    if (!lock_->tryLock(0)) {
        lock_.reset();
        messages().show({kAlreadyRunning, platform::MsgButtons::OK, platform::MsgIcon::Information, kProgramTitle});
        MDIForm_Unload();
        destroyMainWindow(main_, this);
        if (splash) splash->close();
        return false;
    }

    // Only copy running: snapshot files still in the Temp folder were left by
    // a run that ended without closing its documents. They go now, so none
    // can come back as a step of a new document with the same number.
    UndoSnapshotFile::removeStale(options_.programFolder);
    // Only now may snapshots be written, and from here on they are written
    // beside the work: a failed one is told as soon as it is known.
    auto writerRef = std::make_shared<std::weak_ptr<SnapshotWriter>>();
    auto writer = std::make_shared<SnapshotWriter>([writerRef] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [writerRef] {
                    if (const auto w = writerRef->lock()) w->deliver();
                },
                Qt::QueuedConnection);
    });
    *writerRef = writer;
    programContext().snapshotWriter = std::move(writer);

    programContext().shell = this;
    setToolWindowClosedHandler([this](const std::string& name) { ToolWindowClosed(name); });

    // 6. Size and state.
    if (!s.MainMaximized) main_->resize(twipsToPixels(s.MainWidth), twipsToPixels(s.MainHeight));
    // 7. The dialogs' folders.
    openFolder_ = trimmed(s.OpenFolder.text());
    saveFolder_ = trimmed(s.SaveFolder.text());
    // 8. Recent files. (9: the shared filter engine lives in the main window.)
    FillRecent();
    // 10. The tool-option frames from the settings.
    main_->SelectionMove_Init();
    main_->Select_Init();
    main_->Airbrush_Init();
    main_->Brush_Init();
    main_->Fill_Init();
    main_->Shape_Init();
    main_->Gradient_init();
    main_->Stamp_Init();
    // 11, 12. State again, then show.
    if (s.MainMaximized)
        main_->showMaximized();
    else
        main_->showNormal();

    // 13. The tool windows that were showing at the last exit.
    for (std::size_t i = 0; i < toolSlots.size(); ++i) {
        const ToolWindowSlot& slot = toolSlots[i];
        QWidget* w = tools_[i];
        if (!w || !(s.*slot.visible)) continue;
        if (s.*slot.collapsed) {
            w->move(twipsToPixels(s.*slot.left), twipsToPixels(s.*slot.top));
            if (slot.rolledUpWidth && slot.width) w->resize(twipsToPixels(s.*slot.width), w->height());
            if (slot.pMm_Click) slot.pMm_Click(w);
        } else {
            placeToolWindow(static_cast<int>(i), false);
        }
        if (QAction* a = menus_.item("VIEWS", slot.viewsIndex)) a->setChecked(true);
        w->show();
    }
    keepDefaultPlacesClearOfBars();

    // 14, 15.
    main_->activateWindow();
    if (splash) splash->close();
    return true;
}

void mStart::keepDefaultPlacesClearOfBars()
{
    // The default places were laid out for a main window whose tool bar and
    // option panel take less height than they do here. A window at its
    // default place that would cover one of them goes just below them, and
    // the windows it then reaches in its column go down with it; the new
    // places are its saved ones from now on. A window manager frames and
    // places the main window only after it is shown, so this runs again
    // whenever the main window moves, for the windows the user has left
    // where they were put.
    Settings& s = programSettings();
    const Settings defaults = defaultSettings(options_.programFolder);
    const auto toolSlots = toolWindowSlots();
    if (!defaultsRecorded_) {
        defaultsRecorded_ = true;
        for (std::size_t i = 0; i < toolSlots.size(); ++i) {
            const ToolWindowSlot& slot = toolSlots[i];
            QWidget* w = tools_[i];
            if (w && w->isVisible() && s.*slot.left == defaults.*slot.left && s.*slot.top == defaults.*slot.top)
                defaultPlaced_.push_back({i, s.*slot.top});
        }
    }
    std::vector<QRect> bars;
    for (const QWidget* bar : {static_cast<const QWidget*>(main_->tbTool), static_cast<const QWidget*>(main_->picStatus)})
        if (bar && bar->isVisible()) bars.emplace_back(bar->mapToGlobal(QPoint(0, 0)), bar->size());

    struct Window {
        DefaultPlaced* placed;
        QRect was;
        QRect now;
    };
    std::vector<Window> windows;
    for (DefaultPlaced& p : defaultPlaced_) {
        const ToolWindowSlot& slot = toolSlots[p.slot];
        QWidget* w = tools_[p.slot];
        // A window the user has moved since stays where it is.
        if (!w || !w->isVisible() || s.*slot.top != p.top || w->y() != twipsToPixels(p.top)) continue;
        const QRect was(QPoint(twipsToPixels(defaults.*slot.left), twipsToPixels(defaults.*slot.top)), w->size());
        windows.push_back({&p, was, was});
    }
    std::stable_sort(windows.begin(), windows.end(), [](const Window& a, const Window& b) { return a.was.top() < b.was.top(); });
    for (std::size_t i = 0; i < windows.size(); ++i) {
        Window& win = windows[i];
        for (bool moved = true; moved;) {
            moved = false;
            int below = win.now.top();
            for (const QRect& bar : bars)
                if (win.now.intersects(bar)) below = std::max(below, bar.bottom() + 1);
            for (std::size_t j = 0; j < i; ++j)
                if (win.now.intersects(windows[j].now)) below = std::max(below, windows[j].now.bottom() + 1);
            if (below != win.now.top()) {
                win.now.moveTop(below);
                moved = true;
            }
        }
        const ToolWindowSlot& slot = toolSlots[win.placed->slot];
        QWidget* w = tools_[win.placed->slot];
        if (w->pos() != win.now.topLeft()) w->move(win.now.topLeft());
        s.*slot.top = win.now.top() * kTwipsPerPixel;
        win.placed->top = s.*slot.top;
    }
}

void mStart::placeToolWindow(int index, bool fromMenu)
{
    const Settings& s = programSettings();
    const ToolWindowSlot& slot = toolWindowSlots()[static_cast<std::size_t>(index)];
    QWidget* w = tools_[static_cast<std::size_t>(index)];
    if (!w) return;
    w->move(twipsToPixels(s.*slot.left), twipsToPixels(s.*slot.top));
    const bool useWidth = slot.width && (fromMenu || slot.startupWidth);
    const bool useHeight = slot.height && (fromMenu || slot.startupHeight);
    w->resize(useWidth ? twipsToPixels(s.*slot.width) : w->width(),
              useHeight ? twipsToPixels(s.*slot.height) : w->height());
}

// ---- Recent files and the "&Windows" menu -----------------------------

void mStart::FillRecent()
{
    const Settings& s = programSettings();
    const TextWidth measure = options_.measure ? options_.measure : screenTextWidth();
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        QAction* item = menus_.RF[i];
        if (!item) continue;
        const std::string path = s.RecentFiles[i].text();
        std::error_code ec;
        if (!path.empty() && fs::exists(fs::u8path(path), ec)) {
            item->setText(menuCaption(Module8::CompactPath(measure, path, 400)));
            item->setVisible(true);
            item->setEnabled(true);
        } else if (i == 0) {
            item->setText(QStringLiteral("Empty"));
            item->setVisible(true);
            item->setEnabled(false);
        } else {
            item->setText(QString());
            item->setVisible(false);
        }
    }
}

void mStart::RF_Click(int index)
{
    if (index < 0 || index >= static_cast<int>(kRecentFileCount)) return;
    const std::string path = trimmed(programSettings().RecentFiles[static_cast<std::size_t>(index)].text());
    const std::string ext = trimmed(FileExtension(path));
    loadBitmap(path, ext);
}

void mStart::loadBitmap(const std::string& path, const std::string& ext)
{
    if (handlers.loadBitmap)
        handlers.loadBitmap(path, ext);
    else if (main_)
        OpenDocumentFile(*main_, path, ext);
}

bool mStart::IsImageOpen(const std::string& path) const
{
    if (!main_) return false;
    bool open = false;
    for (QMdiSubWindow* sub : main_->mdiArea()->subWindowList()) {
        QWidget* w = sub->widget();
        std::optional<std::string> tag;
        if (handlers.documentTag)
            tag = handlers.documentTag(w);
        else if (auto* doc = qobject_cast<fImage*>(w))
            tag = doc->Tag;
        if (tag && *tag == path) open = true;
    }
    return open;
}

void mStart::VIEWS_Click(int index)
{
    ToolWindowSlot* slot = toolWindowForMenuIndex(index);
    if (!slot) return;
    const auto i = static_cast<std::size_t>(slot - toolWindowSlots().data());
    QWidget* w = tools_[i];
    QAction* item = menus_.item("VIEWS", index);
    if (!w || !item) return;
    Settings& s = programSettings();
    if (item->isChecked()) {
        w->hide();
        s.*slot->visible = false;
        item->setChecked(false);
    } else {
        s.*slot->visible = true;
        item->setChecked(true);
        placeToolWindow(static_cast<int>(i), true);
        w->show();
    }
}

void mStart::ToolWindowClosed(const std::string& name)
{
    ToolWindowSlot* slot = toolWindowByName(name);
    if (!slot) return;
    const auto i = static_cast<std::size_t>(slot - toolWindowSlots().data());
    if (tools_[i]) tools_[i]->hide();
    programSettings().*slot->visible = false;
    if (QAction* item = menus_.item("VIEWS", slot->viewsIndex)) item->setChecked(false);
}

// ---- Main window events -------------------------------------------------

void mStart::MDIForm_Resize()
{
    if (!main_ || main_->isMinimized()) return;
    Settings& s = programSettings();
    s.MainWidth = main_->width() * kTwipsPerPixel;
    s.MainHeight = main_->height() * kTwipsPerPixel;
    s.MainMaximized = main_->isMaximized();
}

bool mStart::closeDocuments()
{
    QMdiArea* mdi = main_->mdiArea();
    // One at a time, each brought forward before it asks: a refusal ends
    // the whole exit there, so no later document is asked, saved or lost.
    QList<QPointer<QMdiSubWindow>> windows;
    for (QMdiSubWindow* w : mdi->subWindowList(QMdiArea::CreationOrder)) windows << w;
    for (const QPointer<QMdiSubWindow>& w : windows) {
        if (!w) continue;
        mdi->setActiveSubWindow(w);
        if (!w->close()) return false;
    }
    return mdi->subWindowList().isEmpty();
}

void mStart::unloadToolWindows()
{
    // The most recently loaded first.
    const auto order = toolWindowLoadOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        QWidget*& w = tools_[static_cast<std::size_t>(*it)];
        delete w;
        w = nullptr;
    }
}

void mStart::MDIForm_Unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    if (programContext().shell == this) setToolWindowClosedHandler({});
    unloadToolWindows();
    if (resetting_) {
        // The next start finds no settings file and takes the defaults.
        std::error_code ec;
        fs::remove(Module8::SettingsFile(options_.programFolder), ec);
    } else {
        if (!Module8::SaveSettings(programSettings(), options_.programFolder))
            reportSettingsNotSaved(options_.programFolder, errno);
    }
    // A stamp never needed is not decoded on the way out.
    programContext().PendingStamp = nullptr;
    programContext().StampBits.clear();
    lock_.reset();
}

bool mStart::eventFilter(QObject* watched, QEvent* e)
{
    if (main_ && watched == main_.get()) {
        switch (e->type()) {
        case QEvent::Resize:
        case QEvent::WindowStateChange: MDIForm_Resize(); break;
        case QEvent::Close:
            if (unloaded_) break;
            if (!closeDocuments()) {
                // A document refused: the program keeps running, and a
                // reset that asked for this close is off.
                resetting_ = false;
                e->ignore();
                return true;
            }
            MDIForm_Unload();
            break;
        default: break;
        }
        if (!defaultPlaced_.empty() && (e->type() == QEvent::Move || e->type() == QEvent::Resize))
            keepDefaultPlacesClearOfBars();
    } else if (main_ && watched == main_->mdiArea()->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        MenuStatic("OPEN");
        return true;
    }
    return QObject::eventFilter(watched, e);
}

// ---- Direct menu items ----------------------------------------------------

void mStart::ResetSettings()
{
    std::error_code ec;
    if (!fs::exists(Module8::SettingsFile(options_.programFolder), ec)) return;
    if (messages().show({kResetQuestion, platform::MsgButtons::YesNo, platform::MsgIcon::None, kProgramTitle}) !=
        platform::MsgResult::Yes)
        return;
    // The file goes only once every document has agreed to close.
    resetting_ = true;
    if (main_) main_->close();
}

void mStart::openInBrowser(const std::string& address)
{
    if (platform::browser().open(address)) return;
    messages().show({std::string(kNoBrowser) + "\r\n\r\n" + address, platform::MsgButtons::OK,
                     platform::MsgIcon::Exclamation, kProgramTitle});
}

void mStart::ShowHelp()
{
    const fs::path page = options_.programFolder / "Help" / "default.htm";
    std::error_code ec;
    if (fs::is_regular_file(page, ec))
        openInBrowser(page.string());
    else
        messages().show({kHelpMissing, platform::MsgButtons::OK, platform::MsgIcon::Information, "Help Files Missing!"});
}

// ---- CommandSink ------------------------------------------------------------

void mStart::MenuExec(const std::string& key)
{
    if (handlers.MenuExec)
        handlers.MenuExec(key);
    else if (main_)
        main_->MenuExec(key);
}

void mStart::MenuStatic(const std::string& key)
{
    if (handlers.MenuStatic) {
        handlers.MenuStatic(key);
        return;
    }
    if (main_) main_->MenuStatic(key);
}

void mStart::ApplyLayerEffects(int id)
{
    if (handlers.ApplyLayerEffects)
        handlers.ApplyLayerEffects(id);
    else if (main_)
        main_->ApplyLayerEffects(static_cast<int16_t>(id));
}

bool mStart::GetActiveImage()
{
    if (handlers.GetActiveImage) return handlers.GetActiveImage();
    return mBitmap::GetActiveImage(ActiveImage());
}

void mStart::SetLastActionName(const std::string& label)
{
    lastActionName_ = label;
    if (handlers.SetLastActionName)
        handlers.SetLastActionName(label);
    else
        LastActionName() = label;
}

void mStart::MenuDirectAction(MenuDirect action, const MenuItemSpec& item)
{
    switch (action) {
    case MenuDirect::Exit:
        if (main_) main_->close();
        break;
    case MenuDirect::ResetSettings: ResetSettings(); break;
    case MenuDirect::ToggleToolWindow: VIEWS_Click(item.index); break;
    case MenuDirect::RecentFile: RF_Click(item.index); break;
    case MenuDirect::Help: ShowHelp(); break;
    case MenuDirect::WebPage: openInBrowser(std::string(kPublisherSite) + item.webPage); break;
    case MenuDirect::About: {
        auto* about = new fAbout(main_.get());
        about->show();
        break;
    }
    case MenuDirect::BumpMapping:
        if (handlers.Direct)
            handlers.Direct(action);
        else
            BumpMapping();
        break;
    case MenuDirect::RevertToOriginal:
        if (handlers.Direct)
            handlers.Direct(action);
        else
            RevertToOriginal();
        break;
    case MenuDirect::UserFilters:
    case MenuDirect::ApplyPalette:
        if (handlers.Direct) {
            handlers.Direct(action);
        } else if (GetActiveImage()) {
            // Both dialogs act on the document active now; without one
            // nothing opens.
            if (action == MenuDirect::UserFilters)
                showUserFilterDialog();
            else
                showPaletteDialog();
        }
        break;
    case MenuDirect::None: break;
    }
}

void mStart::BumpMapping()
{
    if (!main_) return;
    platform::DoEvents();
    fImage* doc = ActiveImage().data();
    if (!doc || !doc->PictureExists()) return;
    main_->keepEngineInStep(doc->document());
    KernelRecord kernel;
    if (!mBitmap::GetPresetKernel(kernel, 7)) return;
    FilterResult bumped = main_->cFilter.MaskFilter(kernel.Mask, kernel.Weight, 0, 0, 0, true);
    // A failed convolution changes nothing and records no step.
    if (!bumped) return;
    main_->applyToDocument(doc->document(), std::move(*bumped));
}

void mStart::RevertToOriginal()
{
    if (!GetActiveImage()) return;
    fImage* doc = ActiveImage().data();
    // The history's rows are the document's steps: fewer than two means
    // there is only the opening state, already shown.
    if (!doc || doc->UndoMax() < 2) return;
    doc->JumpToHistoryStep(0);
}

// ---- File and window commands ----------------------------------------------

void mStart::OpenCommand()
{
    RunOpenCommand(programSettings(), options_.programFolder,
                   [this](const std::string& path, const std::string& ext) { loadBitmap(path, ext); });
    openFolder_ = trimmed(programSettings().OpenFolder.text());
}

void mStart::ArrangeDocuments(int code)
{
    if (main_) tq::ArrangeDocuments(main_->mdiArea(), code);
}

} // namespace tq
