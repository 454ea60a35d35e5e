// tq-drive: runs the program end to end for the project's own tests. The
// core (main.cpp) starts the main window offscreen, opens the picture, runs
// the steps given on the command line in order and saves; each family of
// steps lives in a file of its own that registers its flags here, so the
// usage text is always made from the flags that exist.
#pragma once

#include "mainwindow/fMain.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"

#include <QCoreApplication>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tq::drive {

// What a step works with: the running program and the doubles answering its
// dialogs (message boxes are answered with --answer, file dialogs are
// cancelled unless a step queues an answer).
struct Drive {
    mStart& shell;
    fMain& main;
    platform::TestPorts& ports;
    // The answer every message box gets (its first button when unset).
    std::optional<platform::MsgResult> answer;

    // The active document; nullptr when there is none.
    fImage* activeDocument() const;
    // Runs the command, then returns the dialog of that kind it showed
    // among the main window's children; nullptr when none is shown.
    template <class Dialog, class Command>
    Dialog* openDialog(Command&& run)
    {
        run();
        QCoreApplication::processEvents();
        Dialog* shown = nullptr;
        for (Dialog* w : main.findChildren<Dialog*>())
            if (w->isVisible()) shown = w;
        return shown;
    }
    // Runs pending events, then checks the boxes shown since `shownBefore`:
    // a warning or an error is a failed step (false, with its text in
    // `error`); an information is only reported.
    bool settle(size_t shownBefore, std::string& error);
    // Waits for the snapshots written so far and shows what failed there.
    void settleWrites();
    // The first warning or error box shown since `shownBefore`, or nullptr.
    const platform::MessageBoxRequest* warningSince(size_t shownBefore) const;
};

// One step as the command line gave it.
struct Step {
    std::string flag;
    std::vector<std::string> values;
    // Flags that belong to this step ("--rows" after "--filter"), in order.
    std::vector<std::pair<std::string, std::vector<std::string>>> attached;

    // The values of the first attached flag of that name (nullptr if absent).
    const std::vector<std::string>* attachedValues(const std::string& name) const;
};

// A step's result: empty when it ran, else why it failed.
using StepResult = std::string;

struct StepFlag {
    std::string flag;
    // How many values follow the flag; -1 takes every value up to the next
    // flag.
    int values = 1;
    std::string usage;                   // e.g. "W,H[,smooth]"
    std::vector<std::string> attached;   // flags that may follow and belong to it
    std::function<StepResult(Drive&, const Step&)> run;
};

// The registered step flags.
std::vector<StepFlag>& stepFlags();

// Registers a flag when its file is loaded:
//   static const drive::Register reg({"--size", 1, "W,H[,smooth]", {}, runSize});
struct Register {
    explicit Register(StepFlag flag) { stepFlags().push_back(std::move(flag)); }
};

// Helpers for the steps' values.
std::vector<std::string> splitComma(const std::string& s);
// A whole number, or nullopt; "0x..." is read as hexadecimal.
std::optional<long long> parseNumber(const std::string& s);
// A colour "0xRRGGBB" as the program's colour value (red in the low byte).
std::optional<int32_t> parseColour(const std::string& s);

} // namespace tq::drive
