// SPDX-License-Identifier: GPL-3.0-or-later
#include "RandomSource.h"

#include <chrono>

namespace quiz {

void EngineRandomSource::SeedFromClock()
{
    // A whole class presses Start within the same second, so whole seconds would hand
    // neighbours the same order and layout: take the clock at full resolution and mix in
    // the system's entropy where the platform offers it.
    const auto nanoseconds = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const auto steady = static_cast<std::uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    std::array<std::uint32_t, 4> entropy{};
    try {
        std::random_device device;
        for (auto &word : entropy)
            word = device();
    } catch (...) {
        // No entropy source: the clocks alone still differ from press to press.
    }
    SeedFrom(nanoseconds, steady, entropy);
}

void EngineRandomSource::SeedFrom(std::uint64_t wallNanoseconds, std::uint64_t steadyNanoseconds,
                                  const std::array<std::uint32_t, 4> &entropy)
{
    std::seed_seq sequence{static_cast<std::uint32_t>(wallNanoseconds), static_cast<std::uint32_t>(wallNanoseconds >> 32),
                           static_cast<std::uint32_t>(steadyNanoseconds),
                           static_cast<std::uint32_t>(steadyNanoseconds >> 32),
                           entropy[0], entropy[1], entropy[2], entropy[3]};
    engine_.seed(sequence);
}

double EngineRandomSource::Next()
{
    // 53 random bits scaled by 2^-53: exactly representable and strictly below 1,
    // unlike generate_canonical, which may round up to 1.0.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

} // namespace quiz
