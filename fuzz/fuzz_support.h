#pragma once

// Stops the fuzzer on an input that breaks what the program relies on.
inline void require(bool condition) {
    if (!condition) __builtin_trap();
}
