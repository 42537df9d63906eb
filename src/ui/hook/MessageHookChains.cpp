// Registration order, consumption and removal of hooked message handlers.
#include "ui/hook/MessageHookChains.h"

#include <algorithm>

namespace ui {

void MessageHookChains::Add(const MessageHandler& handler, MessageHookPlace place) {
    Chain(place).push_back({nextId_++, handler});
}

bool MessageHookChains::Remove(const MessageHandler& handler, MessageHookPlace place) {
    std::vector<Entry>& chain = Chain(place);
    auto it = std::find_if(chain.begin(), chain.end(), [&](const Entry& e) { return e.handler == handler; });
    if (it == chain.end())
        return false;
    chain.erase(it);
    return true;
}

bool MessageHookChains::Present(MessageHookPlace place, int id) const {
    const std::vector<Entry>& chain = Chain(place);
    return std::any_of(chain.begin(), chain.end(), [id](const Entry& e) { return e.id == id; });
}

bool MessageHookChains::RunChain(MessageHookPlace place, toolkit::WindowMessage& m) {
    if (Chain(place).empty())
        return false;
    // Handlers may add or remove handlers (a balloon unhooks itself when the
    // window closes): walk a copy, and skip what has gone from the real chain.
    const std::vector<Entry> snapshot = Chain(place);
    for (const Entry& e : snapshot) {
        if (!Present(place, e.id))
            continue;
        if (e.handler.Procedure(e.handler.Object, m))
            return true;
    }
    return false;
}

}  // namespace ui
