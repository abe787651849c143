#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace velmora {

// A column of 64-bit integers stored in 32 bits while every value fits, widened once one does
// not. Most keys, counts, days and text offsets fit, which halves the memory of a result set.
class PackedInts {
public:
    void push_back(std::int64_t v) {
        if (!wide_ && (v < std::numeric_limits<std::int32_t>::min() ||
                       v > std::numeric_limits<std::int32_t>::max()))
            widen();
        if (wide_)
            wide_values_.push_back(v);
        else
            narrow_.push_back(static_cast<std::int32_t>(v));
    }
    std::int64_t operator[](std::size_t i) const { return wide_ ? wide_values_[i] : narrow_[i]; }
    std::size_t size() const { return wide_ ? wide_values_.size() : narrow_.size(); }
    void reserve(std::size_t n) { wide_ ? wide_values_.reserve(n) : narrow_.reserve(n); }
    void shrink_to_fit() { wide_ ? wide_values_.shrink_to_fit() : narrow_.shrink_to_fit(); }
    std::size_t bytes() const {
        return narrow_.capacity() * sizeof(std::int32_t) +
               wide_values_.capacity() * sizeof(std::int64_t);
    }

private:
    void widen() {
        wide_values_.assign(narrow_.begin(), narrow_.end());
        narrow_.clear();
        narrow_.shrink_to_fit();
        wide_ = true;
    }
    bool wide_ = false;
    std::vector<std::int32_t> narrow_;
    std::vector<std::int64_t> wide_values_;
};

} // namespace velmora
