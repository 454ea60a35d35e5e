// The program's own effects library. Registering it tells the platform
// layer how to bind the library; the binding itself happens at the first
// effect call. The program registers it once at start-up.
#pragma once

#include "effectslib/EffectsLibraryApi.h"

namespace tq::effects {

// Fills every pointer of the table with the library's function.
void bindEffectsLibrary(ZorveliLib& lib);

// Makes bindEffectsLibrary the binder of the platform's library table.
void registerEffectsLibrary();

} // namespace tq::effects
