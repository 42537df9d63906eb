// The balloon controller: the hint in charge, the system icon list and the
// sound scheme's file names.
#include "ui/balloon/BalloonController.h"

#include <mmsystem.h>
#include <shlwapi.h>

#include "toolkit/Application.h"
#include "toolkit/DelayedLibrary.h"
#include "toolkit/hint/HintWindow.h"
#include "toolkit/UniqueHandle.h"
#include "ui/balloon/BalloonHint.h"
#include "ui/balloon/BalloonSounds.h"
#include "toolkit/ImageList.h"

namespace ui {
namespace {
BalloonController* g_existing = nullptr;

// Application, hand (error), asterisk (information), question, exclamation (warning).
constexpr int kSystemIcons[] = {32512, 32513, 32516, 32514, 32515};
constexpr size_t kExpandedSize = 4096;
constexpr DWORD kLongestValue = 64 * 1024;

int IndexOf(IconKind kind) {
    switch (kind) {
    case IconKind::Error:
        return 1;
    case IconKind::Information:
        return 2;
    case IconKind::Question:
        return 3;
    case IconKind::Warning:
        return 4;
    default:
        return 0;
    }
}

// The common controls in use are older than 6.0 (which draws alpha icons on
// any background).
bool OldCommonControls() {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    auto getVersion = comctl ? reinterpret_cast<DLLGETVERSIONPROC>(
                                   reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")))
                             : nullptr;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (!getVersion || FAILED(getVersion(&info)))
        return true;
    return info.dwMajorVersion < 6;
}

// The multimedia library is loaded, from the system folder, by the first
// sound really played: most users never hear one, and a library imported at
// start would be looked for beside the executable first.
void PlaySoundFile(const std::string& file) {
    using PlayFn = BOOL(WINAPI*)(LPCSTR, UINT);
    static toolkit::DelayedLibrary winmm("winmm.dll");
    if (const auto play = winmm.Find<PlayFn>("sndPlaySoundA"))
        play(file.c_str(), SND_ASYNC | SND_NODEFAULT);
}

std::string ReadSchemeSound(IconKind kind) {
    toolkit::UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SoundSchemeKey(kind).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size > kLongestValue)
        return {};
    std::string bytes(size, '\0');
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    bytes.resize(size < bytes.size() ? size : bytes.size());
    const std::string text = SoundValueText(type, bytes);
    if (text.empty())
        return {};
    char expanded[kExpandedSize] = "";
    const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), expanded, kExpandedSize);
    // Too long to expand into the buffer: no sound rather than a cut name.
    if (needed == 0 || needed > kExpandedSize)
        return {};
    return expanded;
}
}  // namespace

BalloonController& BalloonController::Instance() {
    static BalloonController ctrl;
    return ctrl;
}

BalloonController* BalloonController::Existing() {
    return g_existing;
}

// Every settings window makes the controller, but most sessions never show a
// balloon: the icons and the sound scheme wait for the first one that needs them.
BalloonController::BalloonController() : Component(nullptr, "BalloonController") {
    g_existing = this;
}

HIMAGELIST BalloonController::IconList() {
    if (iconList_)
        return iconList_;
    const bool xp = toolkit::IsXpOrLater();
    iconList_ = ImageList_Create(16, 16, (xp ? ILC_COLOR32 : ILC_COLOR16) | ILC_MASK, 4, 4);
    if (!iconList_)
        return nullptr;  // asked again at the next icon
    rerender_ = xp && OldCommonControls();
    if (rerender_) {
        iconBackground_ = toolkit::Application::Instance().HintColorRGB();
        ImageList_SetBkColor(iconList_, iconBackground_);
    }
    LoadIcons();
    return iconList_;
}

const std::string& BalloonController::SoundFile(IconKind kind) {
    if (!soundsRead_)
        ReadSoundFiles();
    return soundFiles_[static_cast<int>(kind)];
}

BalloonController::~BalloonController() {
    defaultHint_.reset();
    if (active_)
        active_->RemoveRemovalNotice(activeNotice_);
    active_ = nullptr;
    if (iconList_)
        ImageList_Destroy(iconList_);
    g_existing = nullptr;
}

BalloonHint& BalloonController::ActiveBalloonHint() {
    if (!active_) {
        // Registers itself as the hint in charge.
        defaultHint_ = std::make_unique<BalloonHint>(this, "DefaultBalloonHint");
    }
    return *active_;
}

void BalloonController::SetActiveBalloonHint(BalloonHint* hint) {
    if (hint == active_)
        return;
    if (BalloonHint* old = active_) {
        old->HideBalloon();
        old->RemoveRemovalNotice(activeNotice_);
        active_ = nullptr;
        ApplicationHintOptions options = old->HintOptions();
        options.Exclude(ApplicationHintOption::UseBalloonAsHint);
        old->SetHintOptions(options);
    }
    active_ = hint;
    if (hint)
        activeNotice_ = hint->AddRemovalNotice([this](toolkit::Component*) {
            active_ = nullptr;
            activeNotice_ = 0;
        });
}

void BalloonController::LoadIcons() {
    for (int id : kSystemIcons) {
        auto icon = static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_SHARED));
        if (icon)
            ImageList_AddIcon(iconList_, icon);
    }
}

void BalloonController::ReadSoundFiles() {
    soundsRead_ = true;
    for (int kind = static_cast<int>(IconKind::Custom); kind <= static_cast<int>(IconKind::Warning); ++kind)
        soundFiles_[kind] = ReadSchemeSound(static_cast<IconKind>(kind));
}

HIMAGELIST BalloonController::CustomImages(int imageIndex) const {
    toolkit::ImageList* images = active_ ? active_->Images : nullptr;
    if (!images || imageIndex < 0 || imageIndex >= images->Count())
        return nullptr;
    return images->Handle();
}

void BalloonController::DrawIcon(HDC dc, int x, int y, IconKind kind, int imageIndex, COLORREF background) {
    if (kind == IconKind::None)
        return;
    if (kind == IconKind::Custom) {
        if (HIMAGELIST images = CustomImages(imageIndex)) {
            ImageList_Draw(images, imageIndex, dc, x, y, ILD_NORMAL);
            return;
        }
        kind = IconKind::Information;
    }
    HIMAGELIST icons = IconList();
    if (!icons)
        return;
    if (rerender_ && background != iconBackground_) {
        ImageList_RemoveAll(icons);
        ImageList_SetBkColor(icons, background);
        iconBackground_ = background;
        LoadIcons();
    }
    ImageList_Draw(icons, IndexOf(kind), dc, x, y, ILD_NORMAL);
}

SIZE BalloonController::IconSize(IconKind kind, int imageIndex) {
    if (kind == IconKind::None)
        return {0, 0};
    if (kind == IconKind::Custom)
        if (HIMAGELIST images = CustomImages(imageIndex)) {
            int cx = 0, cy = 0;
            ImageList_GetIconSize(images, &cx, &cy);
            return {cx, cy};
        }
    return {16, 16};
}

void BalloonController::PlayIconSound(IconKind kind) {
    const std::string& file = SoundFile(kind);
    if (!file.empty())
        PlaySoundFile(file);
}

}  // namespace ui
