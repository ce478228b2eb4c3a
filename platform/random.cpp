#include "platform/random.h"

namespace qw {

SeededRandom::SeededRandom() {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device()};
    engine_.seed(seed);
}

double SeededRandom::Next() {
    // 32 random bits over 2^32: never 1, which the uniform distributions may round to.
    return static_cast<double>(engine_()) / 4294967296.0;
}

}  // namespace qw
