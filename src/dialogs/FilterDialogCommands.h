// The 42 command keys that open the filter dialog at their page.
#pragma once

#include "document/CommandRegistry.h"

namespace tq {

// Registers "cmdFilterDialog": the key's page is set, then the dialog opens
// on the active document (the dispatcher runs it only with one).
void registerFilterDialogCommands(CommandRegistry& registry);

} // namespace tq
