// SPDX-License-Identifier: GPL-3.0-or-later
#include "RandomSource.h"

#include <chrono>
#include <utility>

namespace quiz {

ClockReading ReadClock()
{
    // A whole class presses Start within the same second, so whole seconds would hand
    // neighbours the same order and layout: take the clock at full resolution and mix in
    // the system's entropy where the platform offers it.
    ClockReading reading;
    reading.WallNanoseconds = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count());
    reading.SteadyNanoseconds = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    try {
        std::random_device device;
        for (auto &word : reading.Entropy)
            word = device();
    } catch (...) {
        // No entropy source: the clocks alone still differ from press to press.
    }
    return reading;
}

EngineRandomSource::EngineRandomSource(std::function<ClockReading()> readClock) : readClock_(std::move(readClock)) {}

void EngineRandomSource::SeedFromClock()
{
    const ClockReading reading = readClock_();
    std::seed_seq sequence{static_cast<std::uint32_t>(reading.WallNanoseconds),
                           static_cast<std::uint32_t>(reading.WallNanoseconds >> 32),
                           static_cast<std::uint32_t>(reading.SteadyNanoseconds),
                           static_cast<std::uint32_t>(reading.SteadyNanoseconds >> 32),
                           reading.Entropy[0],
                           reading.Entropy[1],
                           reading.Entropy[2],
                           reading.Entropy[3]};
    engine_.seed(sequence);
}

double EngineRandomSource::Next()
{
    // 53 random bits scaled by 2^-53: exactly representable and strictly below 1,
    // unlike generate_canonical, which may round up to 1.0.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

} // namespace quiz
