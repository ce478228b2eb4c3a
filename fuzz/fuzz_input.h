// Reads a fuzzer's bytes as operands; past the end every byte reads as 0.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Left() const { return size_ - pos_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t Word() {
        std::uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w = w << 8 | Byte();
        return w;
    }
    // At most n bytes, fewer where the input ends.
    std::string Bytes(std::size_t n) {
        n = std::min(n, Left());
        std::string t(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return t;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};
