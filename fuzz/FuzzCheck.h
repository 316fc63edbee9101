#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of a reader ends the run the way a sanitizer report does,
// so the fuzzer saves the input and the replay test fails.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
