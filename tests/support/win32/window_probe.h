#pragma once

#include "support/win32/recorded_names.h"
#include "support/win32/window_fixture.h"
#include "support/window_conformance.h"
#include "win32/accessible_names.h"
#include "win32/dpi.h"
#include "win32/scoped_gdi.h"

namespace vantrel::test {

// What a screen reader reads of the window, asked of the system's accessibility services.
inline std::string readBySystem(HWND hwnd, bool description = false) {
    void* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible, &object))) {
        return "(no accessible object)";
    }
    auto* accessible = static_cast<IAccessible*>(object);
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    const HRESULT read = description ? accessible->get_accDescription(self, &text)
                                     : accessible->get_accName(self, &text);
    accessible->Release();
    const std::string result =
        SUCCEEDED(read) && text != nullptr ? toUtf8(std::wstring(text, ::SysStringLen(text))) : "";
    ::SysFreeString(text);
    return result;
}

// Whether the system reads back the names given through its annotation service: not under
// Wine, whose oleacc has SetHwndPropStr as a stub.
inline bool systemReadsNamesBack() {
    const HWND probe = ::CreateWindowExW(0, L"STATIC", L"caption", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr);
    win32::AccessibleNames names;
    names.name(probe, "annotated");
    const bool readBack = names.available() && readBySystem(probe) == "annotated";
    ::DestroyWindow(probe);
    return readBack;
}

// The popup menu of this thread that is open now, or nullptr.
inline HWND openMenu() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(hwnd, name, 16);
            if (std::wstring_view(name) == L"#32768" && ::IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(out) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers every popup menu that opens with keys, as a person at the keyboard would. The menu
// holds the thread in its own loop, which still runs this timer.
class MenuAnswerer {
  public:
    explicit MenuAnswerer(std::vector<WPARAM> keys) : keys_(std::move(keys)) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 20, &MenuAnswerer::tick);
    }
    ~MenuAnswerer() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    MenuAnswerer(const MenuAnswerer&) = delete;
    MenuAnswerer& operator=(const MenuAnswerer&) = delete;

    // The items of each menu seen open, in order.
    std::vector<std::vector<std::string>> menus;
    // A menu the keys did not close; it was ended so that the test goes on.
    bool stuck = false;

  private:
    static constexpr int kPatience = 100;

    static void CALLBACK tick(HWND /*hwnd*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/) {
        if (current_ != nullptr) {
            current_->look();
        }
    }

    void look() {
        const HWND menu = openMenu();
        if (menu == nullptr) {
            answered_ = nullptr;
            return;
        }
        if (menu == answered_) {
            if (++waited_ > kPatience) {
                stuck = true;
                ::EndMenu();
            }
            return;
        }
        answered_ = menu;
        waited_ = 0;
        menus.push_back(itemsOf(reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0))));
        for (const WPARAM key : keys_) {
            ::PostMessageW(menu, WM_KEYDOWN, key, 1);
            ::PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
        }
    }

    static std::vector<std::string> itemsOf(HMENU menu) {
        std::vector<std::string> items;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
            items.push_back(toUtf8(text));
        }
        return items;
    }

    static inline MenuAnswerer* current_ = nullptr;
    std::vector<WPARAM> keys_;
    UINT_PTR timer_ = 0;
    HWND answered_ = nullptr;
    int waited_ = 0;
};

// A point in the bar's client area on that part of it, as the control lays itself out now.
inline POINT pointOn(HWND bar, conformance::Scroll part) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    ::GetScrollBarInfo(bar, OBJID_CLIENT, &info);
    const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
    // The arrows are square. (Wine gives the thumb's length as dxyLineButton.)
    const int arrow = info.rcScrollBar.right - info.rcScrollBar.left;
    const int x = arrow / 2;
    switch (part) {
        case conformance::Scroll::ArrowUp:
            return {x, arrow / 2};
        case conformance::Scroll::PageUp:
            return {x, (arrow + info.xyThumbTop) / 2};
        case conformance::Scroll::PageDown:
            return {x, (info.xyThumbBottom + length - arrow) / 2};
        case conformance::Scroll::ArrowDown:
        case conformance::Scroll::ToEnd:
            break;
    }
    return {x, length - arrow / 2};
}

// A click on the bar: the release waits in the queue for the control's own tracking loop,
// which the press starts and which sends the window what the control makes of it.
inline void clickOn(HWND bar, POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    ::PostMessageW(bar, WM_LBUTTONUP, 0, where);
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, where);
}

// The Win32 window read through its messages. Where the system cannot read names back, the
// window gives them to an annotation service of the test's own.
class Win32WindowProbe final : public conformance::WindowProbe {
  public:
    static bool usable() { return canMakeWindows(); }

    Win32WindowProbe() : system_(systemReadsNamesBack()) {
        if (!system_) {
            EXPECT_HRESULT_SUCCEEDED(::CoRegisterClassObject(
                CLSID_AccPropServices, static_cast<IClassFactory*>(&service_), CLSCTX_INPROC_SERVER,
                REGCLS_MULTIPLEUSE, &registration_));
        }
        window = std::make_unique<Window>(painter_);
    }
    ~Win32WindowProbe() override {
        window.reset();
        if (registration_ != 0) {
            ::CoRevokeClassObject(registration_);
        }
    }
    Win32WindowProbe(const Win32WindowProbe&) = delete;
    Win32WindowProbe& operator=(const Win32WindowProbe&) = delete;

    void open() override { window->open(); }
    Form1& logic() override { return window->form.logic(); }
    const Form1Controls& controls() override { return window->controls(); }
    FakeMessageBox& messageBox() override { return window->messageBox; }
    FakeLauncher& launcher() override { return window->launcher; }
    std::string logPath() override { return window->conventions.logPath; }
    std::string logOpener() override { return "notepad"; }
    int dpi() override { return win32::screenDpi(); }

    bool has(const std::string& name) override { return hwnd(name) != nullptr; }
    std::string container(const std::string& name) override {
        return nameOf(::GetParent(hwnd(name)));
    }
    conformance::Box place(const std::string& name) override {
        const RECT place = placeOf(hwnd(name));
        return {place.left, place.top, place.right - place.left, place.bottom - place.top};
    }
    bool shown(const std::string& name) override {
        return (::GetWindowLongPtrW(hwnd(name), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    std::optional<std::string> caption(const std::string& name) override {
        wchar_t type[64] = {};
        ::GetClassNameW(hwnd(name), type, 64);
        const std::wstring_view kind = type;
        if (kind != L"VantrelWindow" && kind != L"Button" && kind != L"Edit" && kind != L"Static") {
            return std::nullopt;
        }
        return toUtf8(windowText(hwnd(name)));
    }
    std::optional<conformance::Font> font(const std::string& name) override {
        LOGFONTW look{};
        if (::GetObjectW(fontOf(name), sizeof look, &look) == 0) {
            return std::nullopt;
        }
        return conformance::Font{toUtf8(look.lfFaceName), -look.lfHeight * 72.0 / dpi(),
                                 static_cast<int>(look.lfWeight)};
    }
    conformance::Extent extent(const std::string& name, const std::string& text,
                               int wrap) override {
        const win32::MemoryDc dc;
        const win32::SelectedObject font(dc.get(), fontOf(name));
        RECT box{0, 0, wrap > 0 ? wrap : 10000, 10000};
        ::DrawTextW(dc.get(), toUtf16(text).c_str(), -1, &box,
                    DT_CALCRECT | DT_NOPREFIX | (wrap > 0 ? DT_WORDBREAK : DT_SINGLELINE));
        return {box.right - box.left, box.bottom - box.top};
    }
    // Siblings are drawn by their z-order: the first child is on top.
    std::vector<std::string> frontToBack(const std::string& container) override {
        std::vector<std::string> names;
        for (HWND child = ::GetWindow(hwnd(container), GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            names.push_back(nameOf(child));
        }
        return names;
    }

    std::string title() override { return toUtf8(windowText(window->form.hwnd())); }
    conformance::Box client() override {
        RECT client;
        ::GetClientRect(window->form.hwnd(), &client);
        return {client.left, client.top, client.right, client.bottom};
    }
    bool hasMenuBar() override { return ::GetMenu(window->form.hwnd()) != nullptr; }
    std::vector<conformance::MenuItem> popupMenu() override {
        const HMENU menu = window->form.popupMenu();
        std::vector<conformance::MenuItem> items;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            wchar_t caption[64] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
            const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
            items.push_back({toUtf8(caption), (state & (MF_GRAYED | MF_DISABLED)) == 0,
                             (state & MF_CHECKED) != 0});
        }
        return items;
    }
    void resize(int width, int height) override {
        ::SetWindowPos(window->form.hwnd(), nullptr, 0, 0, width, height,
                       SWP_NOMOVE | SWP_NOZORDER);
        pumpMessages(window->form);
    }

    std::string focused() override { return nameOf(::GetFocus()); }
    void pressTab(bool shift) override {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        EXPECT_TRUE(window->form.translate(MSG{::GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {}}));
        keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
    }
    conformance::Bar scrollBar() override {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        EXPECT_TRUE(::GetScrollInfo(hwnd("VScrollFiles"), SB_CTL, &info));
        // The control's range ends one page past the bar's Max.
        return {info.nMin, info.nMax - static_cast<int>(info.nPage) + 1, info.nPos,
                controls().VScrollFiles.smallChange(), static_cast<int>(info.nPage)};
    }
    void scroll(conformance::Scroll part) override {
        const HWND bar = hwnd("VScrollFiles");
        if (part == conformance::Scroll::ToEnd) {
            ::SendMessageW(window->form.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0),
                           reinterpret_cast<LPARAM>(bar));
        } else {
            clickOn(bar, pointOn(bar, part));
        }
        pumpMessages(window->form);
        EXPECT_EQ(::GetCapture(), nullptr);
    }
    // Each character reaches the box as the system hands it over; the keypad's Enter is
    // Return's character from an extended key.
    void type(const std::string& name, const std::u32string& keys) override {
        const HWND box = hwnd(name);
        const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(box));
        ::SendMessageW(box, EM_SETSEL, end, static_cast<LPARAM>(end));
        for (const char32_t key : keys) {
            const LPARAM extended = key == U'\n' ? 1 << 24 : 0;
            ::SendMessageW(box, WM_CHAR, key == U'\n' ? L'\r' : static_cast<wchar_t>(key),
                           1 | extended);
        }
    }

    void click(const std::string& button) override {
        ::SendMessageW(hwnd(button), BM_CLICK, 0, 0);
        pumpMessages(window->form);
    }
    // A right or middle press alone: the release would open the box's own context menu.
    std::optional<std::vector<std::string>> press(const std::string& name,
                                                  conformance::Button button,
                                                  bool choose) override {
        const HWND box = hwnd(name);
        const bool left = button == conformance::Button::Left;
        const MenuAnswerer answerer(left && choose ? std::vector<WPARAM>{VK_DOWN, VK_RETURN}
                                                   : std::vector<WPARAM>{VK_ESCAPE});
        if (left) {
            ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        } else {
            const bool right = button == conformance::Button::Right;
            ::SendMessageW(box, right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN,
                           right ? MK_RBUTTON : MK_MBUTTON, MAKELPARAM(5, 5));
        }
        pumpMessages(window->form);
        EXPECT_FALSE(answerer.stuck);
        EXPECT_LE(answerer.menus.size(), 1u);
        if (answerer.menus.empty()) {
            return std::nullopt;
        }
        return answerer.menus.front();
    }

    std::string pathOf(const std::string& file) override { return "C:\\d\\" + file; }
    void drop(const std::optional<std::vector<std::string>>& paths) override {
        // Data whose header points past its end holds no file list.
        dropOn(hwnd("Picture1"), paths.value_or(std::vector<std::string>{}), paths ? 0 : 4096);
        pumpMessages(window->form);
    }

    std::string readAs(const std::string& name) override {
        return system_ ? readBySystem(hwnd(name)) : service_.names[hwnd(name)];
    }
    std::string description(const std::string& name) override {
        return system_ ? readBySystem(hwnd(name), true) : service_.descriptions[hwnd(name)];
    }

    std::unique_ptr<Window> window;

  private:
    HWND hwnd(const std::string& name) const {
        if (name == "Form1") {
            return window->form.hwnd();
        }
        const auto [array, row] = conformance::rowBoxOf(name);
        if (row == 0) {
            return window->child(name);
        }
        return array == "Text1" ? window->form.pathEditor(row) : window->form.countEditor(row);
    }
    std::string nameOf(HWND child) const {
        if (child != nullptr && child == window->form.hwnd()) {
            return "Form1";
        }
        for (const expected::Control& control : expected::controls()) {
            if (conformance::isControl(control) && window->child(control.name) == child) {
                return control.name;
            }
        }
        return "(none)";
    }
    HFONT fontOf(const std::string& name) const {
        return reinterpret_cast<HFONT>(::SendMessageW(hwnd(name), WM_GETFONT, 0, 0));
    }

    bool system_;
    RecordedNames service_;
    DWORD registration_ = 0;
    NoPainting painter_;
};

}  // namespace vantrel::test
