// File error texts.
#include "store/FileErrorText.h"

#include "toolkit/Exceptions.h"

namespace store {

std::string InOutErrorMessage(int code) {
    switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return toolkit::Format("I/O error %d", code);
    }
}

std::string TrimSystemMessage(std::string_view text) {
    size_t end = text.size();
    while (end > 0) {
        const char c = text[end - 1];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '.')
            break;
        --end;
    }
    return std::string(text.substr(0, end));
}

namespace {
std::string PathMessage(std::string_view lead, std::string_view path, std::string_view systemText) {
    std::string message(lead);
    message += " \"";
    message += path;
    message += "\". ";
    message += TrimSystemMessage(systemText);
    return message;
}
}  // namespace

std::string CannotOpenFileMessage(std::string_view path, std::string_view systemText) {
    return PathMessage("Cannot open file", path, systemText);
}

std::string CannotCreateFileMessage(std::string_view path, std::string_view systemText) {
    return PathMessage("Cannot create file", path, systemText);
}

}  // namespace store
