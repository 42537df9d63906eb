// The image list: same-sized masked images, added from icon resources, from
// which the tray icon takes its state images.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/UniqueHandle.h"

namespace toolkit {

class ImageList : public Component {
public:
    // 16 x 16 unless told otherwise, 32-bit colour with alpha (the larger
    // images have soft corners that a 16-bit list garbles) and 1-bit masks;
    // room for 4, growing by 4.
    ImageList(Component* owner, std::string name, int width = 16, int height = 16);
    ~ImageList() override;

    HIMAGELIST Handle() const { return handle_; }
    int Count() const;
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Adds the icon resource `name` of `module` as the next image; returns its
    // index. The name is kept (to load the image again) and must outlive the list.
    int AddIconResource(HINSTANCE module, const char* name);

    // Loads every image again from its resource at a new size, into a new
    // list (a new Handle()). On failure the list stays as it was.
    void SetSize(int width, int height);

    // A new icon of image `index` with its mask (normal style); the caller owns it.
    UniqueIcon GetIcon(int index) const;

private:
    static HIMAGELIST Create(int width, int height);
    static void AddIcon(HIMAGELIST list, HINSTANCE module, const char* name, int width, int height);

    HIMAGELIST handle_ = nullptr;
    // Where each image came from, in list order, to load it again at another size.
    std::vector<std::pair<HINSTANCE, const char*>> resources_;
    int width_;
    int height_;
};

}  // namespace toolkit
