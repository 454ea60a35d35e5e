// A recording double of the effects library: a table whose every function
// notes its name, its arguments (each with its kind) and the surfaces it
// was handed, and answers with a result the test chooses. It draws nothing.
//
//   ZorveliRecorder rec;                        // installs itself
//   runEffectCall(*effectCall(49, 3, 0, 0, 0, 0), dst, src, &reserved);
//   rec.calls()[0].function == ZorveliFn::BlockWaves
//
// Only one recorder is active at a time; it restores the previous binding
// when it goes.
#pragma once

#include "effectslib/EffectCalls.h"

#include <vector>

namespace tq {

struct ZorveliCallRecord {
    ZorveliFn function;
    std::vector<EffectArg> args;
    const EffectSurface* dst;
    const EffectSurface* src;
    const int32_t* reserved;
};

class ZorveliRecorder {
public:
    ZorveliRecorder();
    ~ZorveliRecorder();
    ZorveliRecorder(const ZorveliRecorder&) = delete;
    ZorveliRecorder& operator=(const ZorveliRecorder&) = delete;

    const std::vector<ZorveliCallRecord>& calls() const;
    void clear();
    // What every recorded function returns (true unless set).
    void setResult(bool ok);

    // The recording table itself, for a test that installs it another way.
    static ZorveliLib table();

private:
    ScopedZorveliLib scope_;
};

} // namespace tq
