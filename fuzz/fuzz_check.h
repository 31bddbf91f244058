// A check that stays on in release builds: a broken property is a crash the fuzzer reports.
#pragma once

#include <cstdio>
#include <cstdlib>

#define QM_FUZZ_CHECK(cond)                                                         \
    do {                                                                            \
        if (!(cond)) {                                                              \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                           \
        }                                                                           \
    } while (0)
