#include "effects/library/EffectsLibrary.h"

#include "effects/library/LibraryFunctions.h"

namespace tq::effects {

void bindEffectsLibrary(ZorveliLib& lib)
{
#define TQ_ZORVELI_BIND(Name, ...) lib.Name = &zorveliLIB_##Name;
    TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_BIND)
#undef TQ_ZORVELI_BIND
}

void registerEffectsLibrary() { registerZorveliBinder(&bindEffectsLibrary); }

} // namespace tq::effects
