// Effects that are the same operation as a member of the filter engine run
// that member: the picture goes into a private engine with the whole
// picture selected, and the member's result comes back.
//
// The engine's buffer has a two-pixel border that its neighbourhood members
// read; here it holds copies of the picture's edge pixels, so a blur or an
// edge filter sees a picture that simply goes on at its edges rather than a
// black frame.
#pragma once

#include "effects/library/Parallel.h"
#include "effects/library/Pixels.h"
#include "filters/cBitFilter.h"
#include "core/Region.h"

#include <optional>

namespace tq::effects {

// A bordered copy of the picture whose border repeats the edge pixels.
BitsBuffer borderedCopy(ConstPixels s);

// Rows 0..h-1 of a bordered result into d, fourth byte cleared.
void copyFromBits(const BitsBuffer& b, Pixels d);

// Runs member(engine) on an engine holding the picture, the whole picture
// selected. member returns the engine's result (a BitsBuffer or a
// FilterResult); a member that fails makes the call fail. The member may
// chain several engine calls, assigning intermediate results to the engine.
template <class Member> bool throughEngine(ConstPixels s, Pixels d, Member&& member)
{
    cBitFilter engine;
    engine.setThreadCount(threadCount());
    engine.setBits(borderedCopy(s));
    const Region whole = Region::rect(0, 0, s.w, s.h);
    engine.setBitsRegion(&whole);
    const std::optional<BitsBuffer> result = member(engine);
    if (!result || result->width() != s.w || result->height() != s.h) return false;
    copyFromBits(*result, d);
    return true;
}

// The tables of an engine member that takes each channel through a table
// of its own (brightness, the channel shift, gamma, the reductions): the
// member's result on a ramp of the 256 values, read back. The picture's
// pixels then go through the tables in one pass, with no engine copy.
struct ChannelTables {
    ByteTable blue, green, red;
};
template <class Member> std::optional<ChannelTables> engineTables(Member&& member)
{
    Picture ramp(256, 1), out(256, 1);
    for (uint32_t i = 0; i < 256; ++i) ramp.view().data[i] = i * 0x010101u;
    if (!throughEngine(ramp, out.view(), member)) return std::nullopt;
    ChannelTables t;
    const uint32_t* p = out.view().data;
    for (int i = 0; i < 256; ++i) {
        t.blue[i] = static_cast<uint8_t>(p[i]);
        t.green[i] = static_cast<uint8_t>(p[i] >> 8);
        t.red[i] = static_cast<uint8_t>(p[i] >> 16);
    }
    return t;
}

// Such a member applied to the picture through its tables.
template <class Member> bool runThroughTables(EffectSurface& dst, const EffectSurface& src, Member&& member)
{
    const std::optional<ChannelTables> t = engineTables(member);
    return t && runRows(dst, src, tableRows(t->blue, t->green, t->red));
}

} // namespace tq::effects
