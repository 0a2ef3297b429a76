// Where Start takes its random values from. The program uses the clock-seeded source;
// tests put in their own to replay exact sequences.
#pragma once

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
    void Seed(std::uint64_t seed);
    double Next() override;

private:
    std::mt19937_64 engine_;
};

} // namespace quiz
