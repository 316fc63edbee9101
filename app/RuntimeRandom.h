#pragma once

#include <QtGlobal>

// Stand-in for the C runtime's rand(): the classic linear congruential
// generator of the Windows C runtime, so the sequence is the same on every
// platform. It is never seeded; a fresh generator starts from state 1 and
// yields 41, 18467, 6334, 26500, ... in the range 0 to MaxValue.
class RuntimeRandom
{
public:
    static constexpr int MaxValue = 0x7FFF;

    int next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }

    // The one generator of the program, as rand() is one per process: its
    // sequence runs on for the program's life, across windows and commands.
    static RuntimeRandom &process();

private:
    quint32 state = 1;
};
