// SPDX-License-Identifier: GPL-3.0-or-later
// Where Start takes its random values from. The program uses the clock-seeded source;
// tests put in their own to replay exact sequences.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <random>

namespace quiz {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void SeedFromClock() = 0;
    // Uniform in [0, 1): never 1, so floor(r * n) stays below n.
    virtual double Next() = 0;
};

// Everything a seed is made of: both clocks in nanoseconds and the system's entropy words.
struct ClockReading {
    std::uint64_t WallNanoseconds = 0;
    std::uint64_t SteadyNanoseconds = 0;
    std::array<std::uint32_t, 4> Entropy{};
};

// The clocks at full resolution, and entropy where the platform offers it (zeros if not).
ClockReading ReadClock();

class EngineRandomSource final : public RandomSource {
public:
    // The program reads the real clock; a test can hand in the moment it wants to replay.
    explicit EngineRandomSource(std::function<ClockReading()> readClock = ReadClock);
    void SeedFromClock() override;
    double Next() override;

private:
    std::function<ClockReading()> readClock_;
    std::mt19937_64 engine_;
};

} // namespace quiz
