// SPDX-License-Identifier: GPL-3.0-or-later
// Where Start takes its random values from. The program uses the clock-seeded source;
// tests put in their own to replay exact sequences.
#pragma once

#include <array>
#include <cstdint>
#include <random>

namespace quiz {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void SeedFromClock() = 0;
    // Uniform in [0, 1): never 1, so floor(r * n) stays below n.
    virtual double Next() = 0;
};

class EngineRandomSource final : public RandomSource {
public:
    void SeedFromClock() override;
    // What SeedFromClock feeds the engine: both clocks in nanoseconds and entropy words.
    void SeedFrom(std::uint64_t wallNanoseconds, std::uint64_t steadyNanoseconds,
                  const std::array<std::uint32_t, 4> &entropy);
    double Next() override;

private:
    std::mt19937_64 engine_;
};

} // namespace quiz
