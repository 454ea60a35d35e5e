// tq-drive: runs the program end to end for the project's own tests.
//
//   tq-drive --program-folder DIR --open FILE [STEP]... [--save FILE]
//            [--answer ok|cancel|yes|no|abort|retry|ignore] [--carry-on]
//
// Starts the main window on the offscreen platform with DIR as the program
// folder, opens the picture as a document, runs the steps in the order given
// (--key KEY hands a command key to the dispatcher that accepts it, with the
// key as the label of the step it records; the other steps are listed by
// --help), and saves the active document. Every message box is written to
// stderr and answered with --answer (its first button when none is given);
// file dialogs and the printer set-up are cancelled unless a step answers
// them. A warning or an error box fails the step that showed it; with
// --carry-on the run goes on with the next step instead, so a test can look
// at the state the program is left in after it.
//
// Exit status: 0 when every step ran, 1 when a step failed (the message is
// written to stderr) or, with --carry-on, when any warning or error box was
// shown; 2 for a bad command line.
#include "Drive.h"

#include "document/ProgramContext.h"
#include "document/UndoStore.h"
#include "document/fImage.h"
#include "document/PictureRouting.h"
#include "platform/Folders.h"
#include "platform/ProcessSetup.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace tq::drive {

namespace fs = std::filesystem;

std::vector<StepFlag>& stepFlags()
{
    static std::vector<StepFlag> flags;
    return flags;
}

fImage* Drive::activeDocument() const { return main.currentDocument(); }

const platform::MessageBoxRequest* Drive::warningSince(size_t shownBefore) const
{
    const auto& shown = ports.messageBoxes.shown;
    for (size_t i = shownBefore; i < shown.size(); ++i) {
        const auto icon = shown[i].icon;
        if (icon == platform::MsgIcon::Critical || icon == platform::MsgIcon::Exclamation) return &shown[i];
    }
    return nullptr;
}

void Drive::settleWrites()
{
    if (const auto& writer = programContext().snapshotWriter) writer->drain();
}

bool Drive::settle(size_t shownBefore, std::string& error)
{
    QCoreApplication::processEvents();
    // A snapshot that could not be written is told within its step.
    settleWrites();
    const platform::MessageBoxRequest* warning = warningSince(shownBefore);
    if (warning) error = warning->text;
    return !warning;
}

const std::vector<std::string>* Step::attachedValues(const std::string& name) const
{
    for (const auto& [f, v] : attached)
        if (f == name) return &v;
    return nullptr;
}

std::vector<std::string> splitComma(const std::string& s)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t p = s.find(',', start);
        out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) return out;
        start = p + 1;
    }
}

std::optional<long long> parseNumber(const std::string& s)
{
    if (s.empty()) return std::nullopt;
    try {
        size_t used = 0;
        const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
        const long long v = std::stoll(hex ? s.substr(2) : s, &used, hex ? 16 : 10);
        if (used != (hex ? s.size() - 2 : s.size())) return std::nullopt;
        return v;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<int32_t> parseColour(const std::string& s)
{
    const auto v = parseNumber(s);
    if (!v || *v < 0 || *v > 0xFFFFFF) return std::nullopt;
    const auto rgb = static_cast<uint32_t>(*v);
    // 0xRRGGBB on the command line; the program keeps red in the low byte.
    return static_cast<int32_t>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

namespace {

// A command key through the dispatcher that accepts it.
StepResult runKey(Drive& d, const Step& s)
{
    const std::string& key = s.values[0];
    const auto& t = fMain::commandTable();
    bool exec = false, stat = false;
    for (auto block : {t.execFirst, t.execSecond})
        for (const CommandEntry& e : block) exec |= key == e.key;
    for (auto block : {t.staticFirst, t.staticSecond})
        for (const CommandEntry& e : block) stat |= key == e.key;
    if (!exec && !stat) return "no command has this key";
    LastActionName() = key;
    const size_t before = d.ports.messageBoxes.shown.size();
    if (exec)
        d.main.MenuExec(key);
    else
        d.main.MenuStatic(key);
    std::string error;
    return d.settle(before, error) ? StepResult{} : error;
}

const Register keyFlag({"--key", 1, "KEY", {}, runKey});

struct Options {
    std::string programFolder;
    std::string open;
    std::vector<Step> steps;
    std::string save;
    std::optional<platform::MsgResult> answer;
    bool carryOn = false;
};

int usage(const std::string& problem)
{
    std::cerr << "tq-drive: " << problem << "\n"
              << "usage: tq-drive --program-folder DIR --open FILE [STEP]... [--save FILE]\n"
              << "                [--answer ok|cancel|yes|no|abort|retry|ignore] [--carry-on]\n"
              << "  --carry-on: a warning or error box does not end the run; the exit status is\n"
              << "              then 1 when any was shown\n"
              << "steps, run in the order given:\n";
    std::vector<const StepFlag*> sorted;
    for (const StepFlag& f : stepFlags()) sorted.push_back(&f);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->flag < b->flag; });
    for (const StepFlag* f : sorted) {
        std::cerr << "  " << f->flag << (f->usage.empty() ? "" : " ") << f->usage;
        for (const std::string& a : f->attached) std::cerr << " [" << a << " ...]";
        std::cerr << "\n";
    }
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

int fail(const std::string& step, const std::string& message)
{
    std::cerr << "tq-drive: " << step << " failed: " << message << "\n";
    return 1;
}

std::string describe(const Step& s)
{
    std::string d = s.flag;
    for (const std::string& v : s.values) d += " " + v;
    return d;
}

int run(const Options& o)
{
    platform::TestPorts ports;
    ports.messageBoxes.defaultAnswer = o.answer;
    ports.printerSetup.confirm = false;
    // Every box is written out as it is shown.
    struct Echo : platform::MessageBoxes {
        platform::FakeMessageBoxes& inner;
        explicit Echo(platform::FakeMessageBoxes& i) : inner(i) {}
        platform::MsgResult show(const platform::MessageBoxRequest& r) override
        {
            std::cerr << "tq-drive: message: " << (r.title.empty() ? platform::kProgramName : r.title) << ": "
                      << r.text << "\n";
            return inner.show(r);
        }
    } echo(ports.messageBoxes);
    platform::ScopedPorts scope(platform::Ports{.messageBoxes = &echo});

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
    const auto& shown = ports.messageBoxes.shown;
    if (!shell.StartApplication()) return fail("start", shown.empty() ? "not started" : shown.back().text);
    Drive d{shell, *shell.main(), ports, o.answer};

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

    const size_t before = shown.size();
    shell.loadBitmap(o.open, extensionOf(o.open));
    QCoreApplication::processEvents();
    d.settleWrites();
    if (!d.activeDocument()) return fail("open " + o.open, shown.size() > before ? shown.back().text : "no document");

    for (const Step& s : o.steps) {
        const StepFlag* flag = nullptr;
        for (const StepFlag& f : stepFlags())
            if (f.flag == s.flag) flag = &f;
        const size_t shownBefore = shown.size();
        const StepResult r = flag->run(d, s);
        d.settleWrites();
        // A step the program stopped with a box of its own goes on when
        // asked to; a step the driver could not take ends the run.
        if (!r.empty() && !(o.carryOn && d.warningSince(shownBefore))) return fail(describe(s), r);
    }

    if (!o.save.empty()) {
        fImage* doc = d.activeDocument();
        if (!doc) return fail("save " + o.save, "no active document");
        // The reason the save command would show, else its general message.
        if (const mBitmap::SaveResult saved = doc->save(o.save, extensionOf(o.save)); !saved) {
            const std::string& why = saved.refusal;
            return fail("save " + o.save, why.empty() ? "Unexpected error saving image" : why);
        }
    }
    return o.carryOn && d.warningSince(0) ? 1 : 0;
}

const StepFlag* findFlag(const std::string& name)
{
    for (const StepFlag& f : stepFlags())
        if (f.flag == name) return &f;
    return nullptr;
}

bool isFlag(const std::string& s) { return s.size() > 2 && s[0] == '-' && s[1] == '-'; }

// The values of a flag: `count` of them, or every one up to the next flag.
bool takeValues(int argc, char** argv, int& i, int count, std::vector<std::string>& out)
{
    if (count < 0) {
        while (i + 1 < argc && !isFlag(argv[i + 1])) out.push_back(argv[++i]);
        return true;
    }
    for (int k = 0; k < count; ++k) {
        if (i + 1 >= argc) return false;
        out.push_back(argv[++i]);
    }
    return true;
}

} // namespace
} // namespace tq::drive

int main(int argc, char** argv)
{
    // Signals, memory and the heap exactly as the program has them.
    tq::platform::setUpProcess();
    using namespace tq::drive;
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--help") return usage("help");
        if (a == "--carry-on") {
            o.carryOn = true;
            continue;
        }
        if (a == "--program-folder" && hasValue)
            o.programFolder = argv[++i];
        else if (a == "--open" && hasValue)
            o.open = argv[++i];
        else if (a == "--save" && hasValue)
            o.save = argv[++i];
        else if (a == "--answer" && hasValue) {
            o.answer = parseAnswer(argv[++i]);
            if (!o.answer) return usage(std::string("unknown answer: ") + argv[i]);
        } else if (const StepFlag* f = findFlag(a)) {
            Step s;
            s.flag = a;
            if (!takeValues(argc, argv, i, f->values, s.values) || (f->values > 0 && s.values.empty()))
                return usage(a + " needs " + (f->usage.empty() ? "a value" : f->usage));
            // The flags that belong to this step follow it.
            while (i + 1 < argc && std::find(f->attached.begin(), f->attached.end(), argv[i + 1]) != f->attached.end()) {
                std::pair<std::string, std::vector<std::string>> att{argv[++i], {}};
                if (!takeValues(argc, argv, i, -1, att.second) || att.second.empty())
                    return usage(att.first + " needs a value");
                s.attached.push_back(std::move(att));
            }
            o.steps.push_back(std::move(s));
        } else {
            return usage("unexpected argument: " + a);
        }
    }
    if (o.programFolder.empty()) return usage("--program-folder is required");
    if (o.open.empty()) return usage("--open is required");

    // Always headless: a desktop session's own platform would show the
    // windows while the driver runs.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    tq::programContext();
    return run(o);
}
