// The in-memory twin of the random source: a script of numbers, so that a
// test knows every key the list-file format draws.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/random.h"

namespace qw {

// Returns the given values in turn, starting over after the last; 0 when empty.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<double> values = {}) : values_(std::move(values)) {}
    double Next() override {
        if (values_.empty()) return 0.0;
        const double value = values_[next_ % values_.size()];
        ++next_;
        return value;
    }

private:
    std::vector<double> values_;
    std::size_t next_ = 0;
};

}  // namespace qw
