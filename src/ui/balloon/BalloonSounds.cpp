// The sound scheme names and values of the balloon icons.
#include "ui/balloon/BalloonSounds.h"

namespace ui {
namespace {
constexpr unsigned long kRegSz = 1, kRegExpandSz = 2;
}

std::string SoundSchemeKey(IconKind kind) {
    const char* event = "SystemNotification";
    switch (kind) {
    case IconKind::Error:
        event = "SystemHand";
        break;
    case IconKind::Information:
        event = "SystemAsterisk";
        break;
    case IconKind::Question:
        event = "SystemQuestion";
        break;
    case IconKind::Warning:
        event = "SystemExclamation";
        break;
    case IconKind::Custom:
    case IconKind::None:
    case IconKind::Application:
        break;
    }
    return std::string("AppEvents\\Schemes\\Apps\\.Default\\") + event + "\\.Current";
}

std::string SoundValueText(unsigned long type, const std::string& bytes) {
    if (type != kRegSz && type != kRegExpandSz)
        return {};
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace ui
