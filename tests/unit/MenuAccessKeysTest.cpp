// Automatic access keys of menu commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/tray/MenuAccessKeys.h"

namespace {

using ui::AccessKeyOf;
using ui::AssignAccessKeys;
using ui::MenuCaption;

std::vector<MenuCaption> Captions(std::vector<std::string> texts) {
    std::vector<MenuCaption> items;
    for (auto& t : texts)
        items.push_back({std::move(t), true});
    return items;
}

std::vector<std::string> Texts(const std::vector<MenuCaption>& items) {
    std::vector<std::string> texts;
    for (const auto& item : items)
        texts.push_back(item.text);
    return texts;
}

TEST(AccessKeys, AnExistingMarkGivesItsKeyInUpperCase) {
    struct Case {
        const char* caption;
        char key;
    };
    const Case cases[] = {
        {"&Fájl", 'F'},       {"Men&tés", 'T'},     {"&1. lap", '1'}, {"a&&b", 0},
        {"&&&x", 'X'},        {"x&", 0},            {"", 0},          {"Kilépés", 0},
        {"A && &B", 'B'},     {"&&", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AccessKeyOf(c.caption), c.key) << c.caption;
}

TEST(AccessKeys, CommandsGetTheFirstFreeLetterOrDigitOfTheirCaption) {
    struct Case {
        std::vector<std::string> before;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        // The tray menu: separators are skipped, accented letters are not keys.
        {{"Beállítások...", "-", "Kilépés"}, {"&Beállítások...", "-", "&Kilépés"}},
        // An accented first letter is passed over for the next plain one.
        {{"Ébresztő", "Óra"}, {"É&bresztő", "Ó&ra"}},
        // Compared in upper case: "a" and "A" are one key.
        {{"alma", "Alfa"}, {"&alma", "A&lfa"}},
        // Earlier commands choose first, never sharing a key.
        {{"Bal", "Bélyeg", "Bab"}, {"&Bal", "Bé&lyeg", "B&ab"}},
        // A key already marked is kept and reserved, also from earlier commands.
        {{"Kilépés", "&Kép"}, {"K&ilépés", "&Kép"}},
        // Digits count.
        {{"1. lap", "2. lap"}, {"&1. lap", "&2. lap"}},
        // "&&" is a literal ampersand, not a key.
        {{"&&Mentés"}, {"&&&Mentés"}},
        {{"A && B", "A"}, {"&A && B", "A"}},
        // A lone "&" at the end marks nothing.
        {{"Mentés&"}, {"&Mentés&"}},
        // A command with no free character keeps its caption.
        {{"Ab", "AB", "...", "ÁÉ"}, {"&Ab", "A&B", "...", "ÁÉ"}},
    };
    for (const Case& c : cases) {
        auto items = Captions(c.before);
        AssignAccessKeys(items);
        EXPECT_EQ(Texts(items), c.after) << c.before.front();
    }
}

TEST(AccessKeys, ReportsAChangeOnlyWhenACaptionChanged) {
    auto items = Captions({"Beállítások...", "-", "Kilépés"});
    EXPECT_TRUE(AssignAccessKeys(items));
    EXPECT_FALSE(AssignAccessKeys(items));
    EXPECT_EQ(Texts(items), (std::vector<std::string>{"&Beállítások...", "-", "&Kilépés"}));

    auto nothingToGive = Captions({"-", "...", "&Kész"});
    EXPECT_FALSE(AssignAccessKeys(nothingToGive));
}

TEST(AccessKeys, HiddenItemsNeitherGetNorReserveKeys) {
    std::vector<MenuCaption> items = {{"Bezár", false}, {"&Betölt", false}, {"Bővít", true}};
    AssignAccessKeys(items);
    EXPECT_EQ(Texts(items), (std::vector<std::string>{"Bezár", "&Betölt", "&Bővít"}));
}

}  // namespace
