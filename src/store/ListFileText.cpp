// Reading and writing rules of list.txt.
#include "store/ListFileText.h"

namespace store {

std::vector<std::string> ParseListText(std::string_view bytes) {
    std::vector<std::string> entries;
    size_t pos = 0;
    const size_t end = bytes.size();
    while (pos < end && bytes[pos] != '\0') {
        const size_t start = pos;
        while (pos < end && bytes[pos] != '\r' && bytes[pos] != '\n' && bytes[pos] != '\0')
            ++pos;
        entries.emplace_back(bytes.substr(start, pos - start));
        if (pos < end && bytes[pos] == '\r')
            ++pos;
        if (pos < end && bytes[pos] == '\n')
            ++pos;
    }
    return entries;
}

std::string FormatListText(const std::vector<std::string>& entries) {
    size_t size = 0;
    for (const std::string& entry : entries)
        size += entry.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

std::string ListPathFor(std::string_view exePath) {
    const size_t cut = exePath.find_last_of("\\:");
    std::string path(cut == std::string_view::npos ? std::string_view{} : exePath.substr(0, cut + 1));
    path += kListFileName;
    return path;
}

}  // namespace store
