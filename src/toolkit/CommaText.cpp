// Quoting rules of the comma text. The scans step by whole characters of the
// code page, so a two-byte character's second byte is never taken for a
// quote, a comma or a space.
#include "toolkit/CommaText.h"

namespace toolkit {
namespace {

size_t CharLength(const std::string& text, size_t i, LeadByteTest isLeadByte) {
    if (isLeadByte && i + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[i])))
        return 2;
    return 1;
}

bool NeedsQuotes(const std::string& text, LeadByteTest isLeadByte) {
    for (size_t i = 0; i < text.size(); i += CharLength(text, i, isLeadByte)) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0)  // the text ends at its first zero
            break;
        if (c <= 32 || c == '"' || c == ',')
            return true;
    }
    return false;
}

std::string Quoted(const std::string& text, LeadByteTest isLeadByte) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const size_t n = CharLength(text, i, isLeadByte);
        if (n == 1 && text[i] == '"')
            out += '"';
        out.append(text, i, n);
        i += n;
    }
    out += '"';
    return out;
}

}  // namespace

std::string CommaText(const std::vector<std::string>& texts, LeadByteTest isLeadByte) {
    if (texts.size() == 1 && texts.front().empty())
        return "\"\"";
    std::string out;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i)
            out += ',';
        out += NeedsQuotes(texts[i], isLeadByte) ? Quoted(texts[i], isLeadByte) : texts[i];
    }
    return out;
}

}  // namespace toolkit
