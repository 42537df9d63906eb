// The one process-wide balloon controller: which BalloonHint is in charge,
// the five system icons balloons draw, and the sound of each icon kind from
// the user's sound scheme.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "toolkit/Component.h"
#include "ui/balloon/BalloonTypes.h"

namespace ui {

class BalloonHint;

class BalloonController : public toolkit::Component {
public:
    // Created at first use, destroyed when the program ends.
    static BalloonController& Instance();
    // The controller if it exists (also while it is being destroyed).
    static BalloonController* Existing();
    ~BalloonController() override;

    // The hint in charge; a default one, owned here, when there is none.
    BalloonHint& ActiveBalloonHint();
    BalloonHint* Current() const { return active_; }
    void SetActiveBalloonHint(BalloonHint* hint);

    void DrawIcon(HDC dc, int x, int y, IconKind kind, int imageIndex, COLORREF background);
    SIZE IconSize(IconKind kind, int imageIndex);
    void PlayIconSound(IconKind kind);
    const std::string& SoundFile(IconKind kind);
    // Reads the sound scheme again (it is read once, at the first sound).
    void ReloadSoundFiles() { ReadSoundFiles(); }
    // The system icons, made at the first icon a balloon draws.
    HIMAGELIST IconList();
    // Whether the first icon or sound has asked for them yet.
    bool IconListMade() const { return iconList_ != nullptr; }
    bool SoundFilesRead() const { return soundsRead_; }

private:
    BalloonController();
    void LoadIcons();
    void ReadSoundFiles();
    HIMAGELIST CustomImages(int imageIndex) const;

    BalloonHint* active_ = nullptr;
    int activeNotice_ = 0;
    std::unique_ptr<BalloonHint> defaultHint_;
    HIMAGELIST iconList_ = nullptr;
    bool rerender_ = false;
    COLORREF iconBackground_ = CLR_NONE;
    bool soundsRead_ = false;
    std::string soundFiles_[7];
};

}  // namespace ui
