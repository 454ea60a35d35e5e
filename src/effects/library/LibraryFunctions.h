// The library's functions themselves, one per entry of the function list,
// with exactly the signature the table of pointers holds.
#pragma once

#include "effectslib/EffectsLibraryApi.h"

namespace tq::effects {

#define TQ_ZORVELI_DECLARE(Name, ...)                                                                                  \
    bool zorveliLIB_##Name(EffectSurface& hDestDC, const EffectSurface& hSrcDC __VA_OPT__(, ) __VA_ARGS__,             \
                           int32_t* EffectReserved);
TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_DECLARE)
#undef TQ_ZORVELI_DECLARE

} // namespace tq::effects
