// Access keys of menu commands: the "&" marks that let a key choose a command
// while the menu is open, given out automatically before a menu is shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct MenuCaption {
    std::string text;
    bool visible = true;
};

// A separator line, not a command.
bool IsSeparatorCaption(std::string_view caption);

// The key an existing "&x" gives the caption, upper-cased (A-Z only; other
// bytes as they are), or 0 when it has none. "&&" is a literal ampersand.
char AccessKeyOf(std::string_view caption);

// Gives every visible command without a key one of the digits or letters A-Z
// of its caption, compared in upper case, earlier characters first, so that no
// two commands share a key; keys already marked are kept and reserved.
// Separators and hidden items are skipped. Returns whether a caption changed.
bool AssignAccessKeys(std::vector<MenuCaption>& items);

}  // namespace ui
