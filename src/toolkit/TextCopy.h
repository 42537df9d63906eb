// Copying text into fixed-size character fields of platform records.
#pragma once

#include <cstddef>
#include <string_view>

namespace toolkit {

// Copies at most size-1 characters and always terminates; returns the number
// of characters copied. Nothing is written when size is 0.
size_t CopyTruncated(char* dest, size_t size, std::string_view text) noexcept;

template <size_t N>
size_t CopyTruncated(char (&dest)[N], std::string_view text) noexcept {
    return CopyTruncated(dest, N, text);
}

}  // namespace toolkit
