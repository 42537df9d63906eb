// The one truncating copy used for every fixed-size text field.
#include "toolkit/TextCopy.h"

#include <algorithm>
#include <cstring>

namespace toolkit {

size_t CopyTruncated(char* dest, size_t size, std::string_view text) noexcept {
    if (size == 0)
        return 0;
    const size_t n = std::min(size - 1, text.size());
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
    return n;
}

}  // namespace toolkit
