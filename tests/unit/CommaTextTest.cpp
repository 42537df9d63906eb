// The comma text of dropped names: which names get quotes and how lists join.
#include <gtest/gtest.h>

#include "toolkit/CommaText.h"

namespace {

struct CommaCase {
    const char* what;
    std::vector<std::string> names;
    const char* expected;
};

class CommaTextRules : public ::testing::TestWithParam<CommaCase> {};

TEST_P(CommaTextRules, JoinsAndQuotesByContent) {
    EXPECT_EQ(toolkit::CommaText(GetParam().names), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommaTextRules,
    ::testing::Values(
        CommaCase{"empty list", {}, ""},
        CommaCase{"one empty name", {""}, "\"\""},
        CommaCase{"plain path stays bare", {"C:\\a\\b.exe"}, "C:\\a\\b.exe"},
        CommaCase{"space quotes", {"C:\\Program Files\\x.exe"}, "\"C:\\Program Files\\x.exe\""},
        CommaCase{"comma quotes", {"a,b"}, "\"a,b\""},
        CommaCase{"inner quote doubled", {"say \"hi\""}, "\"say \"\"hi\"\"\""},
        CommaCase{"quote alone quotes", {"a\"b"}, "\"a\"\"b\""},
        CommaCase{"tab and control characters quote", {"a\tb", "x\x01y"}, "\"a\tb\",\"x\x01y\""},
        CommaCase{"semicolon, apostrophe, accents stay bare", {"a;b", "it's", "\xF5r\xFClet"},
                  "a;b,it's,\xF5r\xFClet"},
        CommaCase{"code 127 and above stay bare", {"a\x7F\xA0"}, "a\x7F\xA0"},
        CommaCase{"three names in order, each by itself", {"C:\\x", "C:\\y z", "C:\\w"}, "C:\\x,\"C:\\y z\",C:\\w"},
        CommaCase{"empty name among several is nothing", {"a", "", "b"}, "a,,b"},
        CommaCase{"two empty names", {"", ""}, ","}));

// In a two-byte code page the second byte of a character is part of it: a
// trail byte that looks like a space, a comma or a quote decides nothing.
TEST(CommaTextDoubleByte, SecondByteOfACharacterIsNeverTested) {
    auto lead = [](unsigned char b) { return b >= 0x81 && b <= 0x9F; };
    EXPECT_EQ(toolkit::CommaText({std::string("\x81,\x82 x")}, lead), "\x81,\x82 x");
    EXPECT_EQ(toolkit::CommaText({std::string("\x81\"")}, lead), "\x81\"");
    // The same bytes in a one-byte code page do need quotes.
    EXPECT_EQ(toolkit::CommaText({std::string("\x81,\x82 x")}), "\"\x81,\x82 x\"");
    // Inside quotes a trail byte is copied once, a real quote twice.
    EXPECT_EQ(toolkit::CommaText({std::string("\x81\" \"")}, lead), "\"\x81\" \"\"\"");
}

}  // namespace
