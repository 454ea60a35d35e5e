// Commands by name. The main window's two dispatchers hold the keys of every
// command in their comparison order, each key naming the command that serves
// it ("INVERT" -> "cmdDirectFilter", "IMAGESIZE" -> "cmdImageSize"); each
// subsystem registers the commands it provides, as the tool windows register
// themselves. A key whose command nobody registered does nothing.
#pragma once

#include <functional>
#include <string>

namespace tq {

// Runs a command for the key that reached it.
using CommandHandler = std::function<void(const std::string& key)>;

class CommandRegistry {
public:
    virtual ~CommandRegistry() = default;
    // Makes `handler` serve every key that names `command`; a later
    // registration replaces an earlier one. False when no key names it.
    virtual bool registerCommand(const std::string& command, CommandHandler handler) = 0;
};

} // namespace tq
