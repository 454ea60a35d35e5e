#include "effectslib/EffectsLibraryApi.h"

#include "core/InstalledState.h"

#include <array>

namespace tq {

namespace {

InstalledState<ZorveliBinding>& state()
{
    static InstalledState<ZorveliBinding> s;
    return s;
}

ZorveliBinding& binding() { return state().get(); }

constexpr std::array<std::string_view, kZorveliFunctionCount> kNames = {
#define TQ_ZORVELI_NAME(Name, ...) "zorveliLIB_" #Name,
    TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_NAME)
#undef TQ_ZORVELI_NAME
};

} // namespace

ZorveliBinding& zorveliBindingInUse() { return binding(); }

ZorveliBinding* useZorveliBinding(ZorveliBinding* b) { return state().use(b); }

std::string_view zorveliFunctionName(ZorveliFn fn)
{
    const auto i = static_cast<size_t>(fn);
    return i < kNames.size() ? kNames[i] : std::string_view{};
}

void registerZorveliBinder(ZorveliBinder binder)
{
    ZorveliBinding& b = binding();
    if (b.binder == binder) return;
    b.binder = binder;
    // A new implementation is bound afresh at its first use.
    b.bound = false;
}

const ZorveliLib& zorveliLIB()
{
    ZorveliBinding& b = binding();
    if (!b.bound && b.binder) {
        b.lib = ZorveliLib{};
        b.binder(b.lib);
        b.bound = true;
    }
    return b.lib;
}

ScopedZorveliLib::ScopedZorveliLib(const ZorveliLib& lib)
{
    ZorveliBinding& b = binding();
    saved_ = b.lib;
    savedBound_ = b.bound;
    b.lib = lib;
    b.bound = true;
}

ScopedZorveliLib::~ScopedZorveliLib()
{
    ZorveliBinding& b = binding();
    b.lib = saved_;
    b.bound = savedBound_;
}

} // namespace tq
