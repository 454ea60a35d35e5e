#include "dialogs/FilterDialogCommands.h"

#include "dialogs/FilterPages.h"
#include "dialogs/fFilter.h"

namespace tq {

void registerFilterDialogCommands(CommandRegistry& registry)
{
    registry.registerCommand("cmdFilterDialog", [](const std::string& key) {
        const int32_t page = filterPageOfKey(key);
        if (page >= 0) openFilterDialog(page);
    });
}

} // namespace tq
