// Message texts of file errors: the I/O error texts chosen by platform error
// code, and the "cannot open/create" texts that quote the path and the
// system's own description of the failure.
#pragma once

#include <string>
#include <string_view>

namespace store {

// "File not found" for 2, ... "I/O error <code>" for codes without a text.
std::string InOutErrorMessage(int code);

// The system's message text without its trailing blanks, line breaks and full
// stops, so that it can stand inside a sentence of ours.
std::string TrimSystemMessage(std::string_view text);

// Cannot open file "<path>". <system text>, the system text trimmed as above.
std::string CannotOpenFileMessage(std::string_view path, std::string_view systemText);

// Cannot create file "<path>". <system text>, the system text trimmed as above.
std::string CannotCreateFileMessage(std::string_view path, std::string_view systemText);

}  // namespace store
