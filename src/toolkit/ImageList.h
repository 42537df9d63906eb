// The image list: same-sized masked images, added from icon resources, from
// which the tray icon takes its state images.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolkit/Component.h"
#include "toolkit/UniqueHandle.h"

namespace toolkit {

class ImageList : public Component {
public:
    // 16 x 16, colours at 16 bits per pixel, 1-bit masks; room for 4, growing by 4.
    ImageList(Component* owner, std::string name, int width = 16, int height = 16);
    ~ImageList() override;

    HIMAGELIST Handle() const { return handle_; }
    int Count() const;

    // Adds the icon resource `name` of `module` as the next image; returns its index.
    int AddIconResource(HINSTANCE module, const char* name);

    // A new icon of image `index` with its mask (normal style); the caller owns it.
    UniqueIcon GetIcon(int index) const;

private:
    HIMAGELIST handle_ = nullptr;
    int width_;
    int height_;
};

}  // namespace toolkit
