// tq-drive: runs the program end to end for the project's own tests.
//
//   tq-drive --program-folder DIR --open in.png [--key KEY]... [--save out.bmp]
//            [--answer ok|cancel|yes|no|abort|retry|ignore]
//
// Starts the main window on the offscreen platform with DIR as the program
// folder, opens the picture as a document, hands each key in order to the
// main window's dispatcher that accepts it (MenuExec or MenuStatic), with the
// key as the label of the step it records, and saves the active document.
// Every message box is written to stderr and answered with --answer (its
// first button when none is given); file dialogs and the printer set-up
// are cancelled.
//
// Exit status: 0 when every step ran, 1 when a step failed (the message is
// written to stderr), 2 for a bad command line.
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "document/mBitmap.h"
#include "mainwindow/OpenDocument.h"
#include "mainwindow/fMain.h"
#include "mainwindow/mStart.h"
#include "platform/Folders.h"
#include "platform/Ports.h"
#include "platform/TestPorts.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tq;
namespace fs = std::filesystem;

struct Options {
    std::string programFolder;
    std::string open;
    std::vector<std::string> keys;
    std::string save;
    std::optional<platform::MsgResult> answer;
};

// Shows nothing: writes each box to stderr and answers it.
class AnsweringBoxes : public platform::MessageBoxes {
public:
    std::optional<platform::MsgResult> answer;
    std::vector<platform::MessageBoxRequest> shown;

    platform::MsgResult show(const platform::MessageBoxRequest& r) override
    {
        shown.push_back(r);
        std::cerr << "tq-drive: message: " << (r.title.empty() ? platform::kProgramName : r.title) << ": "
                  << r.text << "\n";
        return answer ? *answer : platform::firstButton(r.buttons);
    }
};

class CancellingDialogs : public platform::FileDialogs {
public:
    std::optional<platform::FileDialogAnswer> open(const platform::FileDialogRequest&) override { return {}; }
    std::optional<platform::FileDialogAnswer> save(const platform::FileDialogRequest&) override { return {}; }
};

class CancellingPrinterSetup : public platform::PrinterSetup {
public:
    bool show() override { return false; }
};

int usage(const std::string& problem)
{
    std::cerr << "tq-drive: " << problem << "\n"
              << "usage: tq-drive --program-folder DIR --open FILE [--key KEY]... [--save FILE]\n"
              << "                [--answer ok|cancel|yes|no|abort|retry|ignore]\n";
    return 2;
}

std::optional<platform::MsgResult> parseAnswer(const std::string& s)
{
    using platform::MsgResult;
    if (s == "ok") return MsgResult::OK;
    if (s == "cancel") return MsgResult::Cancel;
    if (s == "yes") return MsgResult::Yes;
    if (s == "no") return MsgResult::No;
    if (s == "abort") return MsgResult::Abort;
    if (s == "retry") return MsgResult::Retry;
    if (s == "ignore") return MsgResult::Ignore;
    return std::nullopt;
}

// Extensions are compared in lower case; the name itself is never rewritten.
std::string extensionOf(const std::string& path)
{
    std::string ext = fs::path(path).extension().string();
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

enum class Dispatcher { None, Exec, Static };

Dispatcher dispatcherOf(const std::string& key)
{
    const auto& t = fMain::commandTable();
    for (auto block : {t.execFirst, t.execSecond})
        for (const CommandEntry& e : block)
            if (key == e.key) return Dispatcher::Exec;
    for (auto block : {t.staticFirst, t.staticSecond})
        for (const CommandEntry& e : block)
            if (key == e.key) return Dispatcher::Static;
    return Dispatcher::None;
}

fImage* activeDocument(fMain& main)
{
    QMdiSubWindow* sub = main.mdiArea()->activeSubWindow();
    return sub ? qobject_cast<fImage*>(sub->widget()) : nullptr;
}

int fail(const std::string& step, const std::string& message)
{
    std::cerr << "tq-drive: " << step << " failed: " << message << "\n";
    return 1;
}

int run(const Options& o)
{
    AnsweringBoxes boxes;
    boxes.answer = o.answer;
    CancellingDialogs dialogs;
    CancellingPrinterSetup printerSetup;
    platform::ScopedPorts scope(platform::Ports{.messageBoxes = &boxes, .fileDialogs = &dialogs, .pictureDialogs = &dialogs, .printerSetup = &printerSetup});

    std::error_code ec;
    fs::create_directories(o.programFolder, ec);
    platform::setProgramFolder(o.programFolder);
    platform::tempFolder();
    QTemporaryDir runtime;
    if (!runtime.isValid()) return fail("start", "no runtime folder");

    StartOptions start;
    start.programFolder = o.programFolder;
    start.runtimeFolder = runtime.path().toStdString();
    mStart shell(start);
    if (!shell.StartApplication()) return fail("start", boxes.shown.empty() ? "not started" : boxes.shown.back().text);
    fMain& main = *shell.main();

    // Whatever happens, the run ends without a save prompt.
    struct Shutdown {
        mStart& shell;
        ~Shutdown()
        {
            for (fImage* doc : fImage::loadedDocuments()) doc->Changed = false;
            if (shell.main()) shell.main()->close();
            QCoreApplication::processEvents();
        }
    } shutdown{shell};

    const size_t before = boxes.shown.size();
    shell.loadBitmap(o.open, extensionOf(o.open));
    QCoreApplication::processEvents();
    if (!activeDocument(main))
        return fail("open " + o.open, boxes.shown.size() > before ? boxes.shown.back().text : "no document");

    for (const std::string& key : o.keys) {
        const Dispatcher d = dispatcherOf(key);
        if (d == Dispatcher::None) return fail("key " + key, "no command has this key");
        LastActionName() = key;
        const size_t shownBefore = boxes.shown.size();
        if (d == Dispatcher::Exec)
            main.MenuExec(key);
        else
            main.MenuStatic(key);
        QCoreApplication::processEvents();
        // A warning or an error shown by the command is a failed step; an
        // information (such as a refused small cut) is only reported.
        for (size_t i = shownBefore; i < boxes.shown.size(); ++i) {
            const auto icon = boxes.shown[i].icon;
            if (icon == platform::MsgIcon::Critical || icon == platform::MsgIcon::Exclamation)
                return fail("key " + key, boxes.shown[i].text);
        }
    }

    if (!o.save.empty()) {
        fImage* doc = activeDocument(main);
        if (!doc) return fail("save " + o.save, "no active document");
        if (!doc->save(o.save, extensionOf(o.save)))
            return fail("save " + o.save, "Unexpected error saving image");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--program-folder" && hasValue)
            o.programFolder = argv[++i];
        else if (a == "--open" && hasValue)
            o.open = argv[++i];
        else if (a == "--key" && hasValue)
            o.keys.push_back(argv[++i]);
        else if (a == "--save" && hasValue)
            o.save = argv[++i];
        else if (a == "--answer" && hasValue) {
            o.answer = parseAnswer(argv[++i]);
            if (!o.answer) return usage(std::string("unknown answer: ") + argv[i]);
        } else
            return usage("unexpected argument: " + a);
    }
    if (o.programFolder.empty()) return usage("--program-folder is required");
    if (o.open.empty()) return usage("--open is required");

    // Always headless: a desktop session's own platform would show the
    // windows while the driver runs.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    return run(o);
}
