// The Qt implementations of the platform ports (see Ports.h). Only the
// platform layer includes this file.
#pragma once

#include "platform/Ports.h"

#include <memory>

namespace tq::platform {

class QtMessageBoxes : public MessageBoxes {
public:
    MsgResult show(const MessageBoxRequest& request) override;
};

class QtFileDialogs : public FileDialogs {
public:
    std::optional<FileDialogAnswer> open(const FileDialogRequest& request) override;
    std::optional<FileDialogAnswer> save(const FileDialogRequest& request) override;
};

class QtClipboard : public Clipboard {
public:
    bool hasBitmap() override;
    std::optional<DibRecord> bitmap() override;
    bool setBitmap(const DibRecord& picture) override;
    void clear() override;
};

class QtMessagePump : public MessagePump {
public:
    void processPending() override;
};

// The printer is made on first use, so a run that never prints never asks
// the print system for its printers, and released when the application is
// about to quit, while the print system is still there.
class QtPrinterSetup : public PrinterSetup {
public:
    QtPrinterSetup();
    ~QtPrinterSetup() override;
    bool show() override;

private:
    struct Kept;
    std::unique_ptr<Kept> kept_;
};

// "Bitmap (*.bmp)|*.bmp|All|*.*" as Qt's name filter list
// ("Bitmap (*.bmp) (*.bmp);;All (*.*)"); exposed for tests.
std::string qtNameFilters(const std::string& pairs);

} // namespace tq::platform
