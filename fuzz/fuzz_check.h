// How a fuzz target reports a promise its code broke: it aborts, so that
// libFuzzer and the seed replay both stop at the input that broke it.
#pragma once

#include <cstdlib>

inline void check(bool condition)
{
    if (!condition) std::abort();
}
