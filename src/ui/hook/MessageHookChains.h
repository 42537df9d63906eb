// The two ordered chains of message handlers a hooked window has, and the
// order in which a message passes through them and the window's own handling.
// Platform-free, so the order can be tested without windows.
#pragma once

#include <vector>

#include "toolkit/WindowMessage.h"

namespace ui {

enum class MessageHookPlace { Before, After };

// A handler is a procedure plus the object it belongs to; two handlers are the
// same when both match. Returning true consumes the message.
struct MessageHandler {
    void* Object = nullptr;
    bool (*Procedure)(void* object, toolkit::WindowMessage& m) = nullptr;
    bool operator==(const MessageHandler&) const = default;
};

template <auto Method, class T>
struct MessageHandlerThunk {
    static bool Call(void* object, toolkit::WindowMessage& m) { return (static_cast<T*>(object)->*Method)(m); }
};

// The handler of `object`'s member `bool T::Method(toolkit::WindowMessage&)`.
template <auto Method, class T>
MessageHandler MakeMessageHandler(T* object) {
    return {object, &MessageHandlerThunk<Method, T>::Call};
}

class MessageHookChains {
public:
    void Add(const MessageHandler& handler, MessageHookPlace place);
    // Unlinks the first handler equal to `handler`; false when there is none.
    bool Remove(const MessageHandler& handler, MessageHookPlace place);
    bool Empty() const { return Chain(MessageHookPlace::Before).empty() && Chain(MessageHookPlace::After).empty(); }
    int Count(MessageHookPlace place) const { return static_cast<int>(Chain(place).size()); }

    // The result starts at 0; "before" handlers run in registration order and
    // the first that returns true ends the message there; otherwise the
    // window's own handling (`original`) runs, then the "after" handlers up
    // to the first that returns true. A handler removed while the message is
    // on its way is not called; one added meanwhile waits for the next message.
    template <class Original>
    void Dispatch(toolkit::WindowMessage& m, Original&& original) {
        m.Result = 0;
        if (RunChain(MessageHookPlace::Before, m))
            return;
        original(m);
        RunChain(MessageHookPlace::After, m);
    }

private:
    struct Entry {
        int id;
        MessageHandler handler;
    };
    bool RunChain(MessageHookPlace place, toolkit::WindowMessage& m);
    bool Present(MessageHookPlace place, int id) const;
    std::vector<Entry>& Chain(MessageHookPlace place) { return chains_[static_cast<int>(place)]; }
    const std::vector<Entry>& Chain(MessageHookPlace place) const { return chains_[static_cast<int>(place)]; }

    std::vector<Entry> chains_[2];
    int nextId_ = 1;
};

}  // namespace ui
