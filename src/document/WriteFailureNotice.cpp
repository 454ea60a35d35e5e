#include "document/WriteFailureNotice.h"

#include "document/SettingsFile.h"
#include "document/ProgramContext.h"
#include "platform/PictureFiles.h"
#include "platform/Ports.h"

#include <cstring>

namespace tq {

std::string writeFailureText(const std::filesystem::path& folder, int error, const std::string& refusal)
{
    const std::string head = "Undo steps and settings cannot be saved.\r\n\r\n";
    if (!refusal.empty()) return head + refusal;
    std::string reason = error != 0 ? std::strerror(error) : "unknown error";
    return head + "The folder " + folder.string() + " cannot be written: " + reason + ".";
}

void reportWriteFailure(const std::filesystem::path& folder, int error, const std::string& refusal)
{
    bool& told = programContext().WriteFailureTold;
    if (told) return;
    told = true;
    platform::MsgBox(writeFailureText(folder, error, refusal), platform::MsgButtons::OK,
                     platform::MsgIcon::Exclamation, platform::kProgramName);
}

void reportSettingsNotSaved(const std::filesystem::path& programFolder, int error)
{
    reportWriteFailure(programFolder, error, writeTargetRefusal(Module8::SettingsFile(programFolder).string()));
}

} // namespace tq
