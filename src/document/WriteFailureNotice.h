// The one notice of a run that the program cannot keep its files: undo
// snapshots and the settings file live in the program folder, and when it
// cannot be written (a read-only copy, a full disk) the work goes on without
// them. The user is told once, with the folder and the system's reason.
#pragma once

#include <filesystem>
#include <string>

namespace tq {

// The text of the notice. A refusal ("<file> is not a regular file") is the
// reason instead of the folder and the system's error.
std::string writeFailureText(const std::filesystem::path& folder, int error, const std::string& refusal = {});

// Shows the notice unless this run has shown it already.
void reportWriteFailure(const std::filesystem::path& folder, int error, const std::string& refusal = {});

// The notice for a settings file that could not be written in the program
// folder; `error` is the system's error number of the failed write.
void reportSettingsNotSaved(const std::filesystem::path& programFolder, int error);

} // namespace tq
