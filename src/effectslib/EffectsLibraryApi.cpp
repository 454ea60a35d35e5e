#include "effectslib/EffectsLibraryApi.h"

#include <array>

namespace tq {

namespace {

struct Binding {
    ZorveliLib lib;
    bool bound = false;
    ZorveliBinder binder = nullptr;
};

Binding& binding()
{
    static Binding b;
    return b;
}

constexpr std::array<std::string_view, kZorveliFunctionCount> kNames = {
#define TQ_ZORVELI_NAME(Name, ...) "zorveliLIB_" #Name,
    TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_NAME)
#undef TQ_ZORVELI_NAME
};

} // namespace

std::string_view zorveliFunctionName(ZorveliFn fn)
{
    const auto i = static_cast<size_t>(fn);
    return i < kNames.size() ? kNames[i] : std::string_view{};
}

void registerZorveliBinder(ZorveliBinder binder)
{
    Binding& b = binding();
    if (b.binder == binder) return;
    b.binder = binder;
    // A new implementation is bound afresh at its first use.
    b.bound = false;
}

const ZorveliLib& zorveliLIB()
{
    Binding& b = binding();
    if (!b.bound && b.binder) {
        b.lib = ZorveliLib{};
        b.binder(b.lib);
        b.bound = true;
    }
    return b.lib;
}

ScopedZorveliLib::ScopedZorveliLib(const ZorveliLib& lib)
{
    Binding& b = binding();
    saved_ = b.lib;
    savedBound_ = b.bound;
    b.lib = lib;
    b.bound = true;
}

ScopedZorveliLib::~ScopedZorveliLib()
{
    Binding& b = binding();
    b.lib = saved_;
    b.bound = savedBound_;
}

} // namespace tq
