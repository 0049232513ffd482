#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Splits a fuzzer's bytes into pieces: each piece is preceded by one length byte,
// the last piece takes whatever is left.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    std::string take() {
        if (rest_.empty()) {
            return {};
        }
        const std::size_t length =
            std::min<std::size_t>(static_cast<uint8_t>(rest_[0]), rest_.size() - 1);
        std::string piece(rest_.substr(1, length));
        rest_.remove_prefix(1 + length);
        return piece;
    }
    std::string rest() {
        std::string all(rest_);
        rest_ = {};
        return all;
    }

  private:
    std::string_view rest_;
};

#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) {   \
            __builtin_trap(); \
        }                     \
    } while (0)
