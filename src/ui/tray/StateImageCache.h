// The tray icon's state images, each made from its list once: the engine
// selects one up to ten times a second, and making an icon costs far more than
// sending it. Free of the platform: `Owned` is any move-only owner with get().
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace ui {

template <class Owned>
class StateImageCache {
public:
    // Whether the images held were made from `list` while it had `count` images.
    bool Holds(uintptr_t list, int count) const { return list_ == list && count_ == count; }

    // Starts over for `list` with `count` images. The images held so far are
    // handed back, not destroyed: one of them may still be shown by the shell.
    std::vector<Owned> Reset(uintptr_t list = 0, int count = 0) {
        std::vector<Owned> dropped;
        for (Owned& image : images_)
            if (image)
                dropped.push_back(std::move(image));
        images_.clear();
        images_.resize(count > 0 ? count : 0);
        list_ = list;
        count_ = count;
        return dropped;
    }

    // The image at `index` (0 <= index < count), made by `make()` only the
    // first time it is asked for.
    template <class Make>
    const Owned& Get(int index, Make&& make) {
        Owned& slot = images_.at(static_cast<size_t>(index));
        if (!slot)
            slot = make();
        return slot;
    }

    // Images made and still held.
    int Size() const {
        int n = 0;
        for (const Owned& image : images_)
            n += image ? 1 : 0;
        return n;
    }

private:
    uintptr_t list_ = 0;
    int count_ = 0;
    std::vector<Owned> images_;
};

}  // namespace ui
