// Filter and default-extension conversions of the open dialog.
#include "toolkit/FileDialogText.h"

namespace toolkit {

std::string PlatformFilter(std::string_view filter) {
    if (filter.empty())
        return {};
    std::string text(filter);
    for (char& c : text)
        if (c == '|')
            c = '\0';
    // One NUL ends the last string, one more ends the list.
    text.push_back('\0');
    text.push_back('\0');
    return text;
}

std::string PlatformDefaultExt(std::string_view defaultExt) {
    size_t start = 0;
    while (start < defaultExt.size() && (defaultExt[start] == '*' || defaultExt[start] == '.'))
        ++start;
    const std::string_view ext = defaultExt.substr(start);
    if (ext.find_first_of("*?.\\/:") != std::string_view::npos)
        return {};
    return std::string(ext);
}

}  // namespace toolkit
