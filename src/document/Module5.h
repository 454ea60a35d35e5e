// The document counter, read by a new document window for its number.
#pragma once

#include "document/ProgramContext.h"

namespace tq::Module5 {

inline int32_t GetDocumentCount() { return DocumentCount(); }

} // namespace tq::Module5
