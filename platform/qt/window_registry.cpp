#include "platform/qt/window_registry.h"

namespace lanzhou::platform::qt {

WindowHandle WindowRegistry::handleOf(QWidget* widget) {
    if (widget == nullptr) return kNoWindow;
    for (auto it = widgets_.begin(); it != widgets_.end();) {
        if (it->second.isNull()) {
            it = widgets_.erase(it);
        } else if (it->second == widget) {
            return it->first;
        } else {
            ++it;
        }
    }
    widgets_.emplace(next_, widget);
    return next_++;
}

QWidget* WindowRegistry::widgetOf(WindowHandle handle) const {
    const auto found = widgets_.find(handle);
    return found == widgets_.end() ? nullptr : found->second.data();
}

}  // namespace lanzhou::platform::qt
