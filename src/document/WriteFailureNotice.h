// The one notice of a run that the program cannot keep its files: undo
// snapshots and the settings file live in the program folder, and when it
// cannot be written (a read-only copy, a full disk) the work goes on without
// them. The user is told once, with the folder and the system's reason.
#pragma once

#include <filesystem>
#include <string>

namespace tq {

// The text of the notice.
std::string writeFailureText(const std::filesystem::path& folder, int error);

// Shows the notice unless this run has shown it already.
void reportWriteFailure(const std::filesystem::path& folder, int error);

} // namespace tq
