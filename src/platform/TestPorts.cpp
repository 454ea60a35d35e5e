#include "platform/TestPorts.h"

namespace tq::platform {

MsgResult firstButton(MsgButtons b)
{
    switch (b) {
    case MsgButtons::OK:
    case MsgButtons::OKCancel: return MsgResult::OK;
    case MsgButtons::AbortRetryIgnore: return MsgResult::Abort;
    case MsgButtons::YesNoCancel:
    case MsgButtons::YesNo: return MsgResult::Yes;
    case MsgButtons::RetryCancel: return MsgResult::Retry;
    }
    return MsgResult::OK;
}

namespace {

std::optional<FileDialogAnswer> nextAnswer(std::deque<std::optional<FileDialogAnswer>>& answers)
{
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
}

} // namespace

MsgResult FakeMessageBoxes::show(const MessageBoxRequest& request)
{
    shown.push_back(request);
    if (!answers.empty()) {
        const MsgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    return defaultAnswer ? *defaultAnswer : firstButton(request.buttons);
}

std::optional<FileDialogAnswer> FakeFileDialogs::open(const FileDialogRequest& request)
{
    openRequests.push_back(request);
    return nextAnswer(answers);
}

std::optional<FileDialogAnswer> FakeFileDialogs::save(const FileDialogRequest& request)
{
    saveRequests.push_back(request);
    return nextAnswer(answers);
}

std::optional<DibRecord> FakeClipboard::bitmap()
{
    if (!picture) return std::nullopt;
    DibRecord r = *picture;
    for (size_t i = 3; i < r.bits.size(); i += 4) r.bits[i] = 0;
    return r;
}

bool FakeClipboard::setBitmap(const DibRecord& p)
{
    if (p.width <= 0 || p.height <= 0) return false;
    picture = p;
    ++setCount;
    return true;
}

TestPorts::TestPorts()
    : scope_(Ports{&messageBoxes, &fileDialogs, &pictureDialogs, &clipboard, &pump, &printerSetup, &printer, &browser,
                   &screenGrab, &processes, &colourPicker, &timers})
{
}

} // namespace tq::platform
