// How the open dialog's stored properties become what the platform's file
// dialog expects. No platform calls here.
#pragma once

#include <string>
#include <string_view>

namespace toolkit {

// "Description|*.ext|Other|*.a;*.b" → the pairs separated and ended by NULs,
// with the extra NUL that ends the list. Empty when there is no filter.
std::string PlatformFilter(std::string_view filter);

// The stored default extension ("*.exe", ".exe" or "exe") as the dialog wants
// it: without leading "*" and ".", since the dialog appends what it is given
// after a dot of its own. Empty when nothing usable is left (for example "*.*").
std::string PlatformDefaultExt(std::string_view defaultExt);

}  // namespace toolkit
