// Image list over comctl32's ImageList_*.
#include "toolkit/ImageList.h"

#include "toolkit/Exceptions.h"

namespace toolkit {

ImageList::ImageList(Component* owner, std::string name, int width, int height)
    : Component(owner, std::move(name)), handle_(Create(width, height)), width_(width), height_(height) {}

ImageList::~ImageList() {
    ImageList_Destroy(handle_);
}

HIMAGELIST ImageList::Create(int width, int height) {
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 4);
    if (!list)
        throw OutOfResourcesError("Out of system resources");
    return list;
}

int ImageList::Count() const {
    return ImageList_GetImageCount(handle_);
}

void ImageList::AddIcon(HIMAGELIST list, HINSTANCE module, const char* name, int width, int height) {
    // Loaded unshared at the list's size: the icon file holds an image made
    // for each size the shell asks for, and the list keeps its own copy, so
    // the loaded icon is destroyed again at once.
    UniqueIcon icon(static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, width, height, 0)));
    if (!icon)
        throw Exception(Format("Resource %s not found", name));
    if (ImageList_AddIcon(list, icon.get()) < 0)
        throw OutOfResourcesError("Out of system resources");
}

int ImageList::AddIconResource(HINSTANCE module, const char* name) {
    AddIcon(handle_, module, name, width_, height_);
    resources_.emplace_back(module, name);
    return Count() - 1;
}

void ImageList::SetSize(int width, int height) {
    if (width == width_ && height == height_)
        return;
    HIMAGELIST fresh = Create(width, height);
    try {
        for (const auto& [module, name] : resources_)
            AddIcon(fresh, module, name, width, height);
    } catch (...) {
        ImageList_Destroy(fresh);
        throw;
    }
    ImageList_Destroy(handle_);
    handle_ = fresh;
    width_ = width;
    height_ = height;
}

UniqueIcon ImageList::GetIcon(int index) const {
    UniqueIcon icon(ImageList_GetIcon(handle_, index, ILD_NORMAL));
    if (!icon)
        throw OutOfResourcesError("Out of system resources");
    return icon;
}

}  // namespace toolkit
