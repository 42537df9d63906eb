// The open dialog's filter and default extension as the platform wants them.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/FileDialogText.h"

namespace {

using std::string_literals::operator""s;

struct FilterCase {
    const char* stored;
    std::string platform;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << '"' << c.stored << '"'; }

class OpenDialogFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(OpenDialogFilter, BarsBecomeNulsAndTheListEndsInTwo) {
    EXPECT_EQ(toolkit::PlatformFilter(GetParam().stored), GetParam().platform);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, OpenDialogFilter,
    ::testing::Values(FilterCase{"Alkalmaz\xe1s|*.exe", "Alkalmaz\xe1s\0*.exe\0\0"s},
                      FilterCase{"Programs|*.exe;*.com|All|*.*", "Programs\0*.exe;*.com\0All\0*.*\0\0"s},
                      FilterCase{"", ""}));

struct ExtCase {
    const char* stored;
    const char* platform;
};

void PrintTo(const ExtCase& c, std::ostream* os) { *os << '"' << c.stored << '"'; }

class OpenDialogDefaultExt : public ::testing::TestWithParam<ExtCase> {};

TEST_P(OpenDialogDefaultExt, LosesItsWildcardAndDot) {
    EXPECT_EQ(toolkit::PlatformDefaultExt(GetParam().stored), GetParam().platform);
}

INSTANTIATE_TEST_SUITE_P(Extensions, OpenDialogDefaultExt,
                         ::testing::Values(ExtCase{"*.exe", "exe"}, ExtCase{".exe", "exe"}, ExtCase{"exe", "exe"},
                                           ExtCase{"*.html", "html"}, ExtCase{"*.*", ""}, ExtCase{"*", ""},
                                           ExtCase{"*.ex?", ""}, ExtCase{"tar.gz", ""}, ExtCase{"", ""}));

}  // namespace
