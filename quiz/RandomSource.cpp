#include "RandomSource.h"

#include <chrono>

namespace {

// splitmix64 spreads one seed over the four words of xoshiro's state.
quint64 SplitMix(quint64 &x)
{
    quint64 z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

} // namespace

Xoshiro256::Xoshiro256(quint64 seed)
{
    for (quint64 &word : m_state)
        word = SplitMix(seed);
}

quint64 SeedFromTimeOfDay()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<quint64>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}
