// Automatic access keys of menu commands.
#include "ui/tray/MenuAccessKeys.h"

#include <bitset>

namespace ui {
namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsKeyCandidate(char upper) {
    return (upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9');
}

}  // namespace

bool IsSeparatorCaption(std::string_view caption) {
    return caption == "-";
}

char AccessKeyOf(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;  // a literal ampersand: neither half marks a key
            continue;
        }
        return UpperAscii(caption[i + 1]);
    }
    return 0;
}

bool AssignAccessKeys(std::vector<MenuCaption>& items) {
    std::bitset<256> used;
    auto isCommand = [](const MenuCaption& item) {
        return item.visible && !IsSeparatorCaption(item.text);
    };
    for (const MenuCaption& item : items)
        if (isCommand(item))
            if (char key = AccessKeyOf(item.text))
                used.set(static_cast<unsigned char>(key));

    bool changed = false;
    for (MenuCaption& item : items) {
        if (!isCommand(item) || AccessKeyOf(item.text) != 0)
            continue;
        std::string& text = item.text;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '&') {
                // Only a trailing lone "&" or a literal "&&" gets here; skip both halves.
                ++i;
                continue;
            }
            const char upper = UpperAscii(text[i]);
            if (!IsKeyCandidate(upper) || used.test(static_cast<unsigned char>(upper)))
                continue;
            used.set(static_cast<unsigned char>(upper));
            text.insert(i, 1, '&');
            changed = true;
            break;
        }
    }
    return changed;
}

}  // namespace ui
