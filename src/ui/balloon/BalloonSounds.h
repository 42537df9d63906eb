// Which sound of the user's sound scheme belongs to each icon kind, and how a
// scheme value's bytes become a file name. Platform-free.
#pragma once

#include <string>

#include "ui/balloon/BalloonTypes.h"

namespace ui {

// The scheme key under HKEY_CURRENT_USER that holds the kind's sound.
std::string SoundSchemeKey(IconKind kind);

// The text of a scheme value read as `type` (a registry value type) with
// `bytes`: a string value up to its first NUL (a value stored without one
// ends with its bytes); any other type gives no file. Never throws on odd data.
std::string SoundValueText(unsigned long type, const std::string& bytes);

}  // namespace ui
