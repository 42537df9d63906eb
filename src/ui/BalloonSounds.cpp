// The sound scheme names and values of the balloon icons.
#include "ui/BalloonSounds.h"

namespace ui {
namespace {
constexpr unsigned long kRegSz = 1, kRegExpandSz = 2;
}

std::string SoundSchemeKey(TIconKind kind) {
    const char* event = "SystemNotification";
    switch (kind) {
    case ikError:
        event = "SystemHand";
        break;
    case ikInformation:
        event = "SystemAsterisk";
        break;
    case ikQuestion:
        event = "SystemQuestion";
        break;
    case ikWarning:
        event = "SystemExclamation";
        break;
    case ikCustom:
    case ikNone:
    case ikApplication:
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
