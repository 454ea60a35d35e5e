#include "support/ZorveliRecorder.h"

#include <type_traits>

namespace tq {

namespace {

struct Log {
    std::vector<ZorveliCallRecord> calls;
    bool result = true;
};

Log& log()
{
    static Log l;
    return l;
}

// One recording function per library function: F names it, P... are its
// parameters after the two surfaces (the last is the EffectReserved address).
template <ZorveliFn F, class Sig> struct Recording;

template <ZorveliFn F, class... P> struct Recording<F, bool (*)(EffectSurface&, const EffectSurface&, P...)> {
    static bool record(EffectSurface& dst, const EffectSurface& src, P... params)
    {
        ZorveliCallRecord rec{F, {}, &dst, &src, nullptr};
        const auto note = [&rec](auto p) {
            if constexpr (std::is_pointer_v<decltype(p)>)
                rec.reserved = p;
            else
                rec.args.emplace_back(p);
        };
        (note(params), ...);
        log().calls.push_back(std::move(rec));
        return log().result;
    }
};

} // namespace

ZorveliLib ZorveliRecorder::table()
{
    ZorveliLib lib;
#define TQ_ZORVELI_RECORD(Name, ...) lib.Name = &Recording<ZorveliFn::Name, decltype(lib.Name)>::record;
    TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_RECORD)
#undef TQ_ZORVELI_RECORD
    return lib;
}

ZorveliRecorder::ZorveliRecorder()
    : scope_(table())
{
    log() = Log{};
}

ZorveliRecorder::~ZorveliRecorder() { log() = Log{}; }

const std::vector<ZorveliCallRecord>& ZorveliRecorder::calls() const { return log().calls; }

void ZorveliRecorder::clear() { log().calls.clear(); }

void ZorveliRecorder::setResult(bool ok) { log().result = ok; }

} // namespace tq
