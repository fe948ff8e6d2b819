// What the fuzz targets check beyond the sanitizers: a false condition
// stops the run at once, as a crash the fuzzer keeps the input of.
#pragma once

namespace corvalt::fuzz {

inline void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}  // namespace corvalt::fuzz
