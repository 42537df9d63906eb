// Image list over comctl32's ImageList_*.
#include "toolkit/ImageList.h"

#include "toolkit/Exceptions.h"

namespace toolkit {

ImageList::ImageList(Component* owner, std::string name, int width, int height)
    : Component(owner, std::move(name)), width_(width), height_(height) {
    handle_ = ImageList_Create(width, height, ILC_COLOR16 | ILC_MASK, 4, 4);
    if (!handle_)
        throw OutOfResourcesError("Out of system resources");
}

ImageList::~ImageList() {
    ImageList_Destroy(handle_);
}

int ImageList::Count() const {
    return ImageList_GetImageCount(handle_);
}

int ImageList::AddIconResource(HINSTANCE module, const char* name) {
    // Loaded unshared at the list's size: the list keeps its own copy, so the
    // loaded icon is destroyed again at once.
    UniqueIcon icon(static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, width_, height_, 0)));
    if (!icon)
        throw Exception(Format("Resource %s not found", name));
    const int index = ImageList_AddIcon(handle_, icon.get());
    if (index < 0)
        throw OutOfResourcesError("Out of system resources");
    return index;
}

UniqueIcon ImageList::GetIcon(int index) const {
    UniqueIcon icon(ImageList_GetIcon(handle_, index, ILD_NORMAL));
    if (!icon)
        throw OutOfResourcesError("Out of system resources");
    return icon;
}

}  // namespace toolkit
