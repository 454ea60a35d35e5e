// The main window's modal questions and messages, behind a small interface
// so tests answer them and a headless run never blocks. The program's own
// implementation goes through the platform layer's message-box port.
#pragma once

#include <string>
#include <vector>

namespace tq {

enum class MainMsgButtons { OK, YesNo };
enum class MainMsgIcon { None, Information, Exclamation, Question };
enum class MainMsgResult { OK, Yes, No };

struct MainMessage {
    std::string text;
    MainMsgButtons buttons = MainMsgButtons::OK;
    MainMsgIcon icon = MainMsgIcon::None;
    std::string title;
    bool operator==(const MainMessage&) const = default;
};

class MainMessageBox {
public:
    virtual ~MainMessageBox() = default;
    virtual MainMsgResult show(const MainMessage& message) = 0;
};

// The platform's message box (platform::MsgBox).
MainMessageBox& qtMessageBox();

// Test double: records each message and gives a fixed answer.
class RecordingMessageBox : public MainMessageBox {
public:
    std::vector<MainMessage> shown;
    MainMsgResult answer = MainMsgResult::OK;
    MainMsgResult show(const MainMessage& message) override
    {
        shown.push_back(message);
        return message.buttons == MainMsgButtons::OK ? MainMsgResult::OK : answer;
    }
};

} // namespace tq
