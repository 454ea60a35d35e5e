// Test doubles of the platform ports. A test makes a TestPorts, which swaps
// every port for its double for the test's lifetime, queues the answers the
// "user" gives, runs the code, and checks what was shown.
#pragma once

#include "platform/Ports.h"

#include <deque>
#include <functional>
#include <vector>

namespace tq::platform {

// The answer of a box's first button (OK, Abort, Yes or Retry).
MsgResult firstButton(MsgButtons b);

// Answers each box with the next queued answer, or with the default answer
// (the box's first button when none is set), and records every request.
class FakeMessageBoxes : public MessageBoxes {
public:
    MsgResult show(const MessageBoxRequest& request) override;

    std::vector<MessageBoxRequest> shown;
    std::deque<MsgResult> answers;
    std::optional<MsgResult> defaultAnswer;
};

// Answers each dialog with the next queued answer (nullopt = cancel); with
// no answer queued the dialog is cancelled.
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<FileDialogAnswer> open(const FileDialogRequest& request) override;
    std::optional<FileDialogAnswer> save(const FileDialogRequest& request) override;

    void answerPath(const std::string& path, int filterIndex = 1) { answers.push_back(FileDialogAnswer{path, filterIndex}); }
    void answerCancel() { answers.push_back(std::nullopt); }

    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::deque<std::optional<FileDialogAnswer>> answers;
};

// A clipboard in memory. Like the real one, a picture put on it enters with
// 0 in its marker bytes when read back.
class FakeClipboard : public Clipboard {
public:
    bool hasBitmap() override { return picture.has_value(); }
    std::optional<DibRecord> bitmap() override;
    bool setBitmap(const DibRecord& p) override;
    void clear() override { picture.reset(); }

    std::optional<DibRecord> picture;
    int setCount = 0;
};

// Counts the pump's runs and calls an optional action inside each.
class FakeMessagePump : public MessagePump {
public:
    void processPending() override
    {
        ++runs;
        if (onRun) onRun();
    }
    int runs = 0;
    std::function<void()> onRun;
};

// Counts the printer set-up dialogs and answers each with `confirm`.
class FakePrinterSetup : public PrinterSetup {
public:
    bool show() override
    {
        ++shown;
        return confirm;
    }
    int shown = 0;
    bool confirm = true;
};

// All five doubles, swapped in for the lifetime of the object.
class TestPorts {
public:
    TestPorts();

    FakeMessageBoxes messageBoxes;
    FakeFileDialogs fileDialogs;
    FakeClipboard clipboard;
    FakeMessagePump pump;
    FakePrinterSetup printerSetup;

private:
    ScopedPorts scope_;
};

} // namespace tq::platform
