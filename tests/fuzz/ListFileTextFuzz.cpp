// Fuzz target for the list file's reading and writing rules. Any failed
// property aborts, so both the standalone driver and a fuzzing engine stop on it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "store/ListFileText.h"

namespace {

void Require(bool condition, const char* property) {
    if (!condition) {
        std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

bool IsBreak(char c) { return c == '\r' || c == '\n' || c == '\0'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = store::ParseListText(bytes);

    // No entry holds a line break or a NUL.
    for (const std::string& entry : entries)
        for (char c : entry)
            Require(!IsBreak(c), "entries hold no CR, LF or NUL");

    // Every byte before the first NUL that is not CR/LF is kept, in order.
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    std::string kept;
    for (char c : text)
        if (c != '\r' && c != '\n')
            kept += c;
    std::string joined;
    for (const std::string& entry : entries)
        joined += entry;
    Require(joined == kept, "text bytes are kept in order");

    // The entry count, counted another way: every CR and every LF not right
    // after a CR ends an entry, and a text not ending in a break has one more.
    size_t breaks = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')))
            ++breaks;
    const bool openEnd = !text.empty() && text.back() != '\r' && text.back() != '\n';
    Require(entries.size() == breaks + (openEnd ? 1 : 0), "one entry per line break, CR LF counting once");

    // What is written reads back as the same entries, and is stable.
    const std::string written = store::FormatListText(entries);
    Require(store::ParseListText(written) == entries, "format(parse(x)) re-parses to the same entries");
    Require(store::FormatListText(store::ParseListText(written)) == written, "writing is stable");

    // Entries without breaks survive a write and a read: derive some from the input.
    std::vector<std::string> made(1);
    for (char c : bytes) {
        if (c == '\n')
            made.emplace_back();
        else if (c != '\r' && c != '\0')
            made.back() += c;
    }
    if (size % 2 == 0)
        made.pop_back();  // also lists whose last entry is not empty, or no entries
    Require(store::ParseListText(store::FormatListText(made)) == made, "parse(format(entries)) == entries");
    return 0;
}
