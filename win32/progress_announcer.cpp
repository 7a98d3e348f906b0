#include "win32/progress_announcer.h"

#include <algorithm>
#include <cmath>

#include "platform/utf16.h"

namespace vantrel::win32 {

namespace {

int widthOf(HWND hwnd) {
    RECT box{};
    ::GetWindowRect(hwnd, &box);
    return box.right - box.left;
}

std::wstring textOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

ShellTaskbarButton::ShellTaskbarButton() {
    void* list = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ITaskbarList3, &list))) {
        list_ = static_cast<ITaskbarList3*>(list);
        if (FAILED(list_->HrInit())) {
            list_->Release();
            list_ = nullptr;
        }
    }
}

ShellTaskbarButton::~ShellTaskbarButton() {
    if (list_ != nullptr) {
        list_->Release();
    }
}

void ShellTaskbarButton::progress(HWND window, ULONGLONG done, ULONGLONG total) {
    if (list_ != nullptr) {
        list_->SetProgressState(window, TBPF_NORMAL);
        list_->SetProgressValue(window, done, total);
    }
}

void ShellTaskbarButton::error(HWND window) {
    if (list_ != nullptr) {
        list_->SetProgressState(window, TBPF_ERROR);
    }
}

void ShellTaskbarButton::clear(HWND window) {
    if (list_ != nullptr) {
        list_->SetProgressState(window, TBPF_NOPROGRESS);
    }
}

ProgressAnnouncer::ProgressAnnouncer(AccessibleNames& names, TaskbarButton& taskbar)
    : names_(names), taskbar_(taskbar) {}

void ProgressAnnouncer::watch(HWND window, HWND caption, HWND fill, HWND back) {
    window_ = window;
    caption_ = caption;
    fill_ = fill;
    back_ = back;
    names_.role(caption_, ROLE_SYSTEM_STATICTEXT);
    names_.role(back_, ROLE_SYSTEM_PROGRESSBAR);
    // The fill is part of the bar, not a thing of its own to read.
    names_.role(fill_, ROLE_SYSTEM_GRAPHIC);
}

void ProgressAnnouncer::update(bool always) {
    if (window_ == nullptr) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!always && last_ && now - *last_ < kInterval) {
        return;
    }
    const int full = widthOf(back_);
    const int done = std::min(widthOf(fill_), full);
    const int percent =
        full > 0 ? static_cast<int>(std::lround(100.0 * done / static_cast<double>(full))) : 0;
    const std::wstring caption = textOf(caption_);
    if (caption != caption_text_) {
        caption_text_ = caption;
        names_.value(caption_, toUtf8(caption));
    }
    if (percent != percent_) {
        percent_ = percent;
        names_.value(back_, std::to_string(percent) + "%");
    }
    last_ = now;
    failed_ = false;
    showing_ = done > 0;
    if (showing_) {
        taskbar_.progress(window_, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(full));
    } else {
        taskbar_.clear(window_);
    }
}

void ProgressAnnouncer::messageShown(bool okOnly) {
    if (okOnly && showing_) {
        failed_ = true;
        taskbar_.error(window_);
    }
}

void ProgressAnnouncer::messageAnswered() {
    if (failed_) {
        failed_ = false;
        showing_ = false;
        taskbar_.clear(window_);
    }
}

}  // namespace vantrel::win32
