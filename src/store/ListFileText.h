// The text form of the program list file: how its bytes become entries and
// entries become bytes, and where the file lives. No platform calls here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace store {

// The program list's file name, beside the executable.
constexpr char kListFileName[] = "list.txt";

// One entry per line. An entry runs to the next CR, LF or NUL; after it one CR
// is skipped if present, then one LF. A NUL ends the text. A last entry without
// a line break still counts; a break at the end adds no empty entry. Bytes are
// kept as they are: no trimming, no change of case, 8-bit bytes included.
std::vector<std::string> ParseListText(std::string_view bytes);

// Every entry followed by CR LF; an empty list is an empty text.
std::string FormatListText(const std::vector<std::string>& entries);

// The list file beside the executable: the executable path up to and including
// its last backslash or colon, then "list.txt".
std::string ListPathFor(std::string_view exePath);

}  // namespace store
