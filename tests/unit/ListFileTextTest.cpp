// The reading and writing rules of list.txt and the place of the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/ListFileText.h"

namespace {

using Entries = std::vector<std::string>;
using std::string_literals::operator""s;

struct ParseCase {
    const char* name;
    std::string bytes;
    Entries entries;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ListTextReading : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ListTextReading, SplitsEntriesByTheReadingRule) {
    EXPECT_EQ(store::ParseListText(GetParam().bytes), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ListTextReading,
    ::testing::Values(
        ParseCase{"Empty", "", {}},
        ParseCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        ParseCase{"LastEntryWithoutBreak", "a\r\nb", {"a", "b"}},
        ParseCase{"OnlyEntryWithoutBreak", "c:\\x\\prog.exe", {"c:\\x\\prog.exe"}},
        ParseCase{"LoneLf", "a\nb\n", {"a", "b"}},
        ParseCase{"LoneCr", "a\rb\r", {"a", "b"}},
        ParseCase{"LfCrEndsTwo", "a\n\rb", {"a", "", "b"}},
        ParseCase{"CrCrEndsTwo", "a\r\rb", {"a", "", "b"}},
        ParseCase{"CrCrLfEndsTwo", "a\r\r\nb", {"a", "", "b"}},
        ParseCase{"LfLfEndsTwo", "a\n\nb", {"a", "", "b"}},
        ParseCase{"EmptyLineBetween", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        ParseCase{"OnlyABreak", "\r\n", {""}},
        ParseCase{"TwoBreaks", "\r\n\r\n", {"", ""}},
        ParseCase{"BreakAtEndAddsNothing", "a\r\n", {"a"}},
        ParseCase{"LeadingEmptyLine", "\nx", {"", "x"}},
        ParseCase{"NulEndsTheText", "a\r\nb\0c\r\nd"s, {"a", "b"}},
        ParseCase{"NulAfterBreak", "a\r\n\0b"s, {"a"}},
        ParseCase{"NulFirst", "\0a\r\n"s, {}},
        ParseCase{"NulAfterCr", "a\r\0\nb"s, {"a"}},
        ParseCase{"BlanksKept", "  a b \t\r\n", {"  a b \t"}},
        ParseCase{"CaseKept", "C:\\Prog\\X.EXE\r\n", {"C:\\Prog\\X.EXE"}},
        ParseCase{"EightBitBytesKept", "\xe1llat\xf5\xff\x80\r\n\x01\x1a", {"\xe1llat\xf5\xff\x80", "\x01\x1a"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FormatCase {
    const char* name;
    Entries entries;
    std::string bytes;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class ListTextWriting : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ListTextWriting, EndsEveryEntryWithCrLf) {
    EXPECT_EQ(store::FormatListText(GetParam().entries), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ListTextWriting,
    ::testing::Values(FormatCase{"EmptyListIsEmptyText", {}, ""},
                      FormatCase{"One", {"a"}, "a\r\n"},
                      FormatCase{"Two", {"a", "b"}, "a\r\nb\r\n"},
                      FormatCase{"EmptyEntryIsEmptyLine", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
                      FormatCase{"OnlyAnEmptyEntry", {""}, "\r\n"},
                      FormatCase{"DuplicatesKept", {"x", "x"}, "x\r\nx\r\n"},
                      FormatCase{"EightBit", {"\xe1\xf5"}, "\xe1\xf5\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ListTextRoundTrip, EntriesWithoutBreaksSurviveWritingAndReading) {
    const std::vector<Entries> lists = {
        {},
        {""},
        {"", ""},
        {"a", "", "b", ""},
        {"C:\\Program Files\\Alkalmaz\xe1s\\x.exe", "c:\\x.exe", "c:\\x.exe"},
        {" lead", "trail ", "\t"},
    };
    for (const Entries& entries : lists)
        EXPECT_EQ(store::ParseListText(store::FormatListText(entries)), entries);
}

TEST(ListTextRoundTrip, AnyFileIsWrittenBackAsTheSameEntries) {
    const std::vector<std::string> files = {
        "a\nb", "a\r\rb\n\r", "\n\n\n", "a\r\nb\0junk"s, "x\r", "\r\n\r\n", "\xff\r\xfe\n",
    };
    for (const std::string& bytes : files) {
        const Entries entries = store::ParseListText(bytes);
        const std::string written = store::FormatListText(entries);
        EXPECT_EQ(store::ParseListText(written), entries);
        EXPECT_EQ(store::FormatListText(store::ParseListText(written)), written);
    }
}

TEST(ListTextRoundTrip, LfOnlyFileIsWrittenBackWithCrLf) {
    EXPECT_EQ(store::FormatListText(store::ParseListText("a\nb\n")), "a\r\nb\r\n");
    EXPECT_EQ(store::FormatListText(store::ParseListText("a\r\nb")), "a\r\nb\r\n");
}

struct PathCase {
    const char* exePath;
    const char* listPath;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << '"' << c.exePath << '"'; }

class ListPathRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(ListPathRule, PutsTheListBesideTheExecutable) {
    EXPECT_EQ(store::ListPathFor(GetParam().exePath), GetParam().listPath);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ListPathRule,
    ::testing::Values(PathCase{"C:\\Program Files\\Tavrin2\\tavrin2.exe", "C:\\Program Files\\Tavrin2\\list.txt"},
                      PathCase{"Z:\\work\\build\\tavrin2.exe", "Z:\\work\\build\\list.txt"},
                      PathCase{"C:\\tavrin2.exe", "C:\\list.txt"},
                      PathCase{"C:tavrin2.exe", "C:list.txt"},  // colon without backslash
                      PathCase{"\\\\server\\share\\t.exe", "\\\\server\\share\\list.txt"},
                      PathCase{"C:\\a.b\\c:d\\x.exe", "C:\\a.b\\c:d\\list.txt"},
                      PathCase{"C:\\a\\b:x.exe", "C:\\a\\b:list.txt"},  // last of either counts
                      PathCase{"C:\\a/b/x.exe", "C:\\list.txt"},         // a slash is not a separator here
                      PathCase{"C:\\dir\\", "C:\\dir\\list.txt"},
                      PathCase{"tavrin2.exe", "list.txt"},
                      PathCase{"", "list.txt"},
                      PathCase{"C:\\\xc1rv\xedz\\t.exe", "C:\\\xc1rv\xedz\\list.txt"}));

}  // namespace
