#include "app/win32/deferred_notice_window.h"

#include <utility>

namespace v270::win32 {

void DeferredNoticeWindow::show(std::u16string_view text, platform::FontChoice font) {
    const std::lock_guard lock(mutex_);
    if (window_) {
        window_->show(text, font);
    } else if (!closed_) {
        waiting_.emplace(std::u16string(text), font);
    }
}

void DeferredNoticeWindow::create(HINSTANCE instance) {
    const std::lock_guard lock(mutex_);
    if (window_ || closed_)
        return;
    window_.emplace(instance);
    if (waiting_)
        window_->show(waiting_->first, waiting_->second);
    waiting_.reset();
}

void DeferredNoticeWindow::close() {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    waiting_.reset();
    if (window_)
        window_->close();
}

}  // namespace v270::win32
