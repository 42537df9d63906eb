// A list of texts as one line: comma-separated, each text quoted only when it
// holds a control character, a space, a double quote or a comma.
#pragma once

#include <string>
#include <vector>

namespace toolkit {

// Tells whether a byte starts a two-byte character of the ANSI code page;
// nullptr for single-byte code pages.
using LeadByteTest = bool (*)(unsigned char byte);

std::string CommaText(const std::vector<std::string>& texts, LeadByteTest isLeadByte = nullptr);

}  // namespace toolkit
