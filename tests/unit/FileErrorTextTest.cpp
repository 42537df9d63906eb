// Texts of file errors: I/O error texts by code and the path messages.
#include <gtest/gtest.h>

#include "store/FileErrorText.h"

namespace {

struct CodeCase {
    int code;
    const char* message;
};

void PrintTo(const CodeCase& c, std::ostream* os) { *os << "code " << c.code; }

class InOutErrorText : public ::testing::TestWithParam<CodeCase> {};

TEST_P(InOutErrorText, IsChosenByErrorCode) {
    EXPECT_EQ(store::InOutErrorMessage(GetParam().code), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, InOutErrorText,
    ::testing::Values(CodeCase{2, "File not found"}, CodeCase{3, "Invalid filename"},
                      CodeCase{4, "Too many open files"}, CodeCase{5, "File access denied"},
                      CodeCase{100, "Read beyond end of file"}, CodeCase{101, "Disk full"},
                      CodeCase{106, "Invalid numeric input"}, CodeCase{0, "I/O error 0"},
                      CodeCase{1, "I/O error 1"}, CodeCase{6, "I/O error 6"}, CodeCase{32, "I/O error 32"},
                      CodeCase{80, "I/O error 80"}, CodeCase{102, "I/O error 102"},
                      CodeCase{112, "I/O error 112"}, CodeCase{-1, "I/O error -1"},
                      CodeCase{1392, "I/O error 1392"}));

struct TrimCase {
    const char* text;
    const char* trimmed;
};

void PrintTo(const TrimCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class SystemMessageTrim : public ::testing::TestWithParam<TrimCase> {};

TEST_P(SystemMessageTrim, DropsTrailingBlanksBreaksAndFullStops) {
    EXPECT_EQ(store::TrimSystemMessage(GetParam().text), GetParam().trimmed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SystemMessageTrim,
    ::testing::Values(TrimCase{"Access denied.\r\n", "Access denied"},
                      TrimCase{"Access denied. \r\n", "Access denied"},
                      TrimCase{"The file is in use. .\n\r .", "The file is in use"},
                      TrimCase{"No break", "No break"},
                      TrimCase{"Ends with tab\t", "Ends with tab"},
                      TrimCase{"Inner. Full stops. Kept.", "Inner. Full stops. Kept"},
                      TrimCase{"  leading kept", "  leading kept"},
                      TrimCase{"Hozz\xe1" "f\xe9r\xe9s megtagadva.\r\n", "Hozz\xe1" "f\xe9r\xe9s megtagadva"},
                      TrimCase{"...", ""},
                      TrimCase{"", ""}));

TEST(PathMessages, QuoteThePathAndAppendTheTrimmedSystemText) {
    EXPECT_EQ(store::CannotOpenFileMessage("C:\\x\\list.txt", "Access denied.\r\n"),
              "Cannot open file \"C:\\x\\list.txt\". Access denied");
    EXPECT_EQ(store::CannotCreateFileMessage("Z:\\\xe1\\list.txt", "Sharing violation. \r\n"),
              "Cannot create file \"Z:\\\xe1\\list.txt\". Sharing violation");
    EXPECT_EQ(store::CannotCreateFileMessage("a", ""), "Cannot create file \"a\". ");
}

}  // namespace
