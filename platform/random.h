// Uniform pseudo-random numbers, which the list-file format draws its keys from.
#pragma once

#include <random>

namespace qw {

// Uniform numbers in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double Next() = 0;
};

// Seeded once, at construction, from the system's entropy.
class SeededRandom : public RandomSource {
public:
    SeededRandom();
    double Next() override;

private:
    std::mt19937 engine_;
};

}  // namespace qw
