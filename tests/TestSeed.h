// The seed of a test that draws random cases. TQ_FUZZ_SEED sets it; without
// it the test's own fixed seed is used, or the clock's when the test asks
// for one (a longer run under TQ_FUZZ_ROUNDS). The seed is printed before
// the first case, so a crash shows it too, and TQ_SEED_TRACE adds it to
// every failure message in scope: either way the failing run can be redone
// with TQ_FUZZ_SEED.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace tq::testing {

inline unsigned testSeed(unsigned fixed, bool clockWhenLongRun = false)
{
    unsigned seed = fixed;
    if (const char* s = std::getenv("TQ_FUZZ_SEED"))
        seed = static_cast<unsigned>(std::strtoul(s, nullptr, 0));
    else if (clockWhenLongRun && std::getenv("TQ_FUZZ_ROUNDS"))
        seed = static_cast<unsigned>(std::time(nullptr));
    std::printf("random cases from seed %u (TQ_FUZZ_SEED=%u repeats them)\n", seed, seed);
    std::fflush(stdout);
    ::testing::Test::RecordProperty("seed", std::to_string(seed));
    return seed;
}

} // namespace tq::testing

#define TQ_SEED_TRACE(seed) SCOPED_TRACE("TQ_FUZZ_SEED=" + std::to_string(seed))
