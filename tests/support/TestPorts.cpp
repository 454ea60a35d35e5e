#include "support/TestPorts.h"

#include <algorithm>

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
    if (onShow) onShow(request);
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
    if (!accepts || p.width <= 0 || p.height <= 0) return false;
    picture = p;
    ++setCount;
    return true;
}

std::vector<std::string> FakePrinter::deviceNames()
{
    std::vector<std::string> names = installed;
    names.push_back(kPdfPrinterName);
    return names;
}

bool FakePrinter::selectDevice(const std::string& name)
{
    const std::vector<std::string> names = deviceNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) return false;
    current = name;
    selected.push_back(name);
    return true;
}

std::optional<PrintableArea> FakePrinter::printableArea(bool landscape)
{
    if (!area || !landscape) return area;
    const PrintableArea& a = *area;
    return PrintableArea{a.height, a.width, a.top, a.left, a.paperHeight, a.paperWidth};
}

std::optional<DibRecord> FakeScreenGrab::grabWindow(uint64_t window, int32_t left, int32_t top, int32_t width,
                                                    int32_t height)
{
    ++grabs;
    windowGrabs.push_back({window, left, top, width, height});
    if (onGrab) onGrab();
    if (!screen || width < 1 || height < 1) return std::nullopt;
    // The part of the screen the rectangle covers; black outside it.
    DibRecord out;
    out.header = BitsHeader::forDib(width, height);
    out.width = width;
    out.height = height;
    out.bits.assign(4u * size_t(width) * size_t(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        const int64_t sy = int64_t(top) + y;
        if (sy < 0 || sy >= screen->height) continue;
        for (int32_t x = 0; x < width; ++x) {
            const int64_t sx = int64_t(left) + x;
            if (sx < 0 || sx >= screen->width) continue;
            const uint8_t* from = screen->row(int(sy)) + 4 * sx;
            uint8_t* to = out.row(y) + 4 * size_t(x);
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    return out;
}

StoreWrite FakeWallpaper::setString(const std::string& keyPath, const std::string& name, const std::string& value)
{
    writes.push_back({keyPath, name, value});
    return writeResult;
}

bool FakeWallpaper::setWallpaper(const std::string& file)
{
    wallpapers.push_back(file);
    writesBeforeWallpaper.push_back(writes.size());
    return sets;
}

TestPorts::TestPorts()
    : scope_(Ports{&messageBoxes, &fileDialogs, &pictureDialogs, &clipboard, &pump, &printerSetup, &printer, &browser,
                   &screenGrab, &processes, &colourPicker, &timers, &wallpaper, &pointerConfinement, &bell})
{
}

} // namespace tq::platform
