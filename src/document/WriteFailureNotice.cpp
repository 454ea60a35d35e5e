#include "document/WriteFailureNotice.h"

#include "document/ProgramContext.h"
#include "platform/Ports.h"

#include <cstring>

namespace tq {

std::string writeFailureText(const std::filesystem::path& folder, int error)
{
    std::string reason = error != 0 ? std::strerror(error) : "unknown error";
    return "Undo steps and settings cannot be saved.\r\n\r\nThe folder " + folder.string() +
           " cannot be written: " + reason + ".";
}

void reportWriteFailure(const std::filesystem::path& folder, int error)
{
    bool& told = programContext().WriteFailureTold;
    if (told) return;
    told = true;
    platform::MsgBox(writeFailureText(folder, error), platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                     platform::kProgramName);
}

} // namespace tq
