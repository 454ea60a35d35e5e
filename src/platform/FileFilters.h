// The one conversion of a dialog filter ("description|pattern;pattern|...")
// into the name filters of a file dialog, used by every dialog the program
// shows.
//
// File names on Linux keep their case, while the filters were written for a
// system that ignores it: each pattern is matched without regard to case
// ("*.qsf" becomes "*.[qQ][sS][fF]", so "SEL.QSF" and "Sel.Qsf" are listed
// as well as "sel.qsf"). The dialogs hide the converted patterns and show the
// description as written.
#pragma once

#include <string>
#include <vector>

namespace tq::platform {

// One name filter per pair: "description (patterns)", patterns separated by
// blanks. An empty filter gives none.
std::vector<std::string> dialogNameFilters(const std::string& pairs);

// A pattern matched without regard to case, as a file dialog wildcard.
std::string caseBlindPattern(const std::string& pattern);

} // namespace tq::platform
