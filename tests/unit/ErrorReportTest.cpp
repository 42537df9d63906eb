// The standard error box text and the route exceptions take to it.
#include <gtest/gtest.h>

#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCopy.h"

namespace {

struct FullStopCase {
    const char* message;
    const char* shown;
};

class FullStopRule : public ::testing::TestWithParam<FullStopCase> {};

TEST_P(FullStopRule, AddsAFullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(toolkit::ErrorBoxText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, FullStopRule,
    ::testing::Values(FullStopCase{"Stream write error", "Stream write error."},
                      FullStopCase{"Invalid data type for 'Inteligens'", "Invalid data type for 'Inteligens'"},
                      FullStopCase{"Cannot open file \"C:\\x\\list.txt\". Access denied",
                                   "Cannot open file \"C:\\x\\list.txt\". Access denied."},
                      FullStopCase{"I/O error 32", "I/O error 32."},  // digits sort after "."
                      FullStopCase{"ends with a full stop.", "ends with a full stop."},
                      FullStopCase{"ends with a slash/", "ends with a slash/."},
                      FullStopCase{"ends with a dash-", "ends with a dash-"},
                      FullStopCase{"ends with a space ", "ends with a space "},
                      FullStopCase{"t\xf6r\xf6l\xf5", "t\xf6r\xf6l\xf5."},  // 8-bit letters sort high
                      FullStopCase{"", ""}));

TEST(ExceptionRoute, CaughtExceptionReachesTheInstalledHandler) {
    std::vector<std::string> seen;
    auto previous = toolkit::SetExceptionHandler([&](const std::string& m) { seen.push_back(m); });
    try {
        throw toolkit::OutOfResourcesError("Not enough timers available");
    } catch (...) {
        toolkit::HandleCurrentException();
    }
    try {
        throw 42;  // not an exception class at all
    } catch (...) {
        toolkit::HandleCurrentException();
    }
    toolkit::SetExceptionHandler(previous);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "Not enough timers available");
    EXPECT_EQ(seen[1], "Unknown exception");
}

TEST(ExceptionRoute, AThrowingHandlerDoesNotEscape) {
    auto previous = toolkit::SetExceptionHandler([](const std::string&) { throw std::runtime_error("box failed"); });
    EXPECT_NO_THROW(toolkit::ReportError("x"));
    toolkit::SetExceptionHandler(previous);
}

TEST(Format, FormatsLongTextsWithoutTruncation) {
    const std::string path(1000, 'a');
    const std::string text = toolkit::Format("Cannot create file \"%s\". %s", path.c_str(), "Access denied");
    EXPECT_EQ(text, "Cannot create file \"" + path + "\". Access denied");
    EXPECT_EQ(toolkit::Format("I/O error %d", 32), "I/O error 32");
}

TEST(CopyTruncated, AlwaysTerminatesAndCutsToTheField) {
    char field[8];
    EXPECT_EQ(toolkit::CopyTruncated(field, "short"), 5u);
    EXPECT_STREQ(field, "short");
    EXPECT_EQ(toolkit::CopyTruncated(field, "much too long"), 7u);
    EXPECT_STREQ(field, "much to");
    EXPECT_EQ(toolkit::CopyTruncated(field, ""), 0u);
    EXPECT_STREQ(field, "");
    char none[1] = {'x'};
    EXPECT_EQ(toolkit::CopyTruncated(none, "abc"), 0u);
    EXPECT_EQ(none[0], '\0');
}

}  // namespace
