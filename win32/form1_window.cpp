#include "win32/form1_window.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "filelist/drop_intake.h"
#include "platform/failure.h"
#include "platform/utf16.h"
#include "win32/accessible_names.h"
#include "win32/control_adapters.h"
#include "win32/directory_list.h"
#include "win32/dpi.h"
#include "win32/drive_list.h"
#include "win32/open_file_dialog.h"
#include "win32/painted_windows.h"
#include "win32/picture_box.h"
#include "win32/resource_ids.h"
#include "win32/sliding_frame.h"
#include "win32/system_clipboard.h"
#include "win32/win32_helpers.h"
#include "win32/window_font.h"
#include "window/form1_layout.h"
#include "window/form1_wiring.h"
#include "window/handler_guard.h"

namespace vantrel::win32 {

namespace {

// Control identifiers follow the controls' places in the layout.
constexpr int kFirstId = 1000;

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// A run that ends within this time greys nothing, so that short runs do not flicker.
constexpr UINT_PTR kGreyingTimer = 1;
constexpr UINT kBlinkMs = 250;

bool isTextBox(HWND hwnd) {
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return ::lstrcmpiW(name, L"Edit") == 0;
}

COLORREF colourOf(const layout::Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

// The windows that stand for the window's controls, made from the layout data.
struct Form1Window::Parts {
    Parts(Form1Window& window, int dpi, MessageBox& messageBox)
        : window(window), messageBox(messageBox), dpi(dpi) {
        makeFonts();
    }

    Form1Window& window;
    // Tells what goes wrong while the window redraws itself at a new DPI.
    MessageBox& messageBox;
    // The window's DPI; the controls that place themselves hold it by reference.
    int dpi;
    std::unique_ptr<WindowFont> regular;
    std::unique_ptr<WindowFont> bold;
    AccessibleNames names;
    std::map<std::string, HWND, std::less<>> byName;
    std::map<layout::Role, HWND> byRole;
    // The control of each identifier, with the window made for it.
    std::map<int, std::pair<const layout::Control*, HWND>> controlOfId;
    // What a run greys.
    std::vector<HWND> refusingDuringRun;

    std::vector<std::unique_ptr<OwnWindow>> painted;
    std::unique_ptr<SlidingFrame> frameSlide;
    std::unique_ptr<PictureBox> picture1;
    std::unique_ptr<Win32DriveList> drive1;
    std::unique_ptr<Win32DirectoryList> dir1;

    std::unique_ptr<FramePlace> frameFix;
    std::unique_ptr<Win32ScrollBar> vScrollFiles;
    std::unique_ptr<EditTextBox> saveTo;
    std::unique_ptr<LabelCaption> labelProgress;
    std::unique_ptr<ShapeSize> shapeProgress;
    std::unique_ptr<ShapeSize> shapeProgressBack;
    std::unique_ptr<Win32PopupMenu> popupFiles;
    Win32Clipboard clipboard{window.hwnd()};
    Win32FileDialog commonDialog1{window.hwnd()};
    std::optional<Form1Controls> controls;

    void makeFonts() {
        const layout::Form& form = layout::form1();
        regular = std::make_unique<WindowFont>(form.fontFace, form.fontPoints, false, dpi);
        bold = std::make_unique<WindowFont>(form.fontFace, form.fontPoints, true, dpi);
    }

    // Every control placed again from its twips at the new DPI and given the font made for it;
    // the old fonts go once no control holds them.
    void rescale(int newDpi) {
        dpi = newDpi;
        const std::unique_ptr<WindowFont> oldRegular = std::move(regular);
        const std::unique_ptr<WindowFont> oldBold = std::move(bold);
        makeFonts();
        for (const layout::Control& control : layout::form1().controls) {
            const HWND hwnd = named(control.name);
            if (hwnd == nullptr) {
                continue;
            }
            if (control.role == layout::Role::SlidingFrame) {
                frameSlide->rescaled(regular->handle());
                continue;
            }
            const HFONT font = control.bold ? bold->handle() : regular->handle();
            ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            place(control, hwnd);
        }
        ::RedrawWindow(window.hwnd(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }

    // A control whose place the logic changes is placed from its current twips, every other
    // from the layout's.
    void place(const layout::Control& control, HWND hwnd) {
        switch (control.role) {
            case layout::Role::ListFrame:
                frameFix->place();
                break;
            case layout::Role::Destination:
                saveTo->place();
                break;
            case layout::Role::ProgressFill:
                shapeProgress->place();
                break;
            case layout::Role::ProgressBack:
                shapeProgressBack->place();
                break;
            default:
                if (control.kind == layout::Kind::DriveList) {
                    drive1->place(toPixels(control.rect, dpi));
                } else {
                    placeInTwips(hwnd, control.rect, dpi);
                }
                break;
        }
    }

    void build() {
        byName.emplace(layout::form1().name, window.hwnd());
        int id = kFirstId;
        for (const layout::Control& control : layout::form1().controls) {
            ++id;
            const auto container = byName.find(control.container);
            if (container == byName.end()) {
                throw Failure(kElementDoesNotExist,
                              "The window has no container " + control.container);
            }
            if (HWND hwnd = make(control, container->second, id)) {
                if (!control.visible) {
                    ::ShowWindow(hwnd, SW_HIDE);
                }
                names.name(hwnd, layout::accessibleName(control));
                names.describe(hwnd, control.accessibleDescription);
                byName.emplace(control.name, hwnd);
                controlOfId.emplace(id, std::pair{&control, hwnd});
                if (control.role != layout::Role::None) {
                    byRole.emplace(control.role, hwnd);
                }
                if (layout::greyedDuringRun(control)) {
                    refusingDuringRun.push_back(hwnd);
                }
            }
        }
        stack();
        popupFiles = std::make_unique<Win32PopupMenu>(window.hwnd(), layout::form1().popupMenu);
        controls.emplace(form1Controls(*this));
    }

    // The window of one control, placed, captioned and with its font; nullptr for the rows'
    // template boxes, which the sliding frame keeps as rows of its own.
    HWND make(const layout::Control& control, HWND container, int id) {
        const RECT place = toPixels(control.rect, dpi);
        const HFONT font = control.bold ? bold->handle() : regular->handle();
        const std::wstring caption = toUtf16(control.caption);
        HWND hwnd = nullptr;
        switch (control.kind) {
            case layout::Kind::Frame:
                if (control.role == layout::Role::SlidingFrame) {
                    frameSlide = std::make_unique<SlidingFrame>(
                        container, control.rect, layout::control(layout::Role::PathTemplate).rect,
                        layout::control(layout::Role::CountTemplate).rect, dpi, regular->handle());
                    frameSlide->nameRows(
                        names, layout::accessibleName(layout::control(layout::Role::PathTemplate)),
                        layout::accessibleName(layout::control(layout::Role::CountTemplate)));
                    return frameSlide->hwnd();
                }
                hwnd = keep(std::make_unique<FrameWindow>(container, place, caption, font));
                if (control.role == layout::Role::ListFrame) {
                    frameFix = std::make_unique<FramePlace>(hwnd, control.rect, dpi);
                    frameFix->moved = [this] {
                        if (frameSlide) {
                            frameSlide->containerChanged();
                        }
                    };
                }
                return hwnd;
            case layout::Kind::Label: {
                const LabelWindow::Look look{font,
                                             control.textColour ? colourOf(*control.textColour)
                                                                : ::GetSysColor(COLOR_BTNTEXT),
                                             control.align == layout::Align::Center,
                                             control.wordWrap};
                hwnd = keep(std::make_unique<LabelWindow>(container, place, caption, look));
                if (control.role == layout::Role::ProgressCaption) {
                    labelProgress = std::make_unique<LabelCaption>(hwnd);
                }
                return hwnd;
            }
            case layout::Kind::TextBox:
                if (control.role != layout::Role::Destination) {
                    return nullptr;
                }
                hwnd = createChild(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, L"EDIT", caption,
                                   WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL, container, place,
                                   id);
                saveTo = std::make_unique<EditTextBox>(hwnd, control.rect, dpi);
                break;
            case layout::Kind::CommandButton:
                hwnd =
                    createChild(WS_EX_NOPARENTNOTIFY, L"BUTTON", caption,
                                WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON, container, place, id);
                break;
            case layout::Kind::PictureBox:
                picture1 =
                    std::make_unique<PictureBox>(container, place, id, VANTREL_DROP_PICTURE, dpi);
                hwnd = picture1->hwnd();
                break;
            case layout::Kind::Shape: {
                hwnd = keep(std::make_unique<ShapeWindow>(
                    container, place, colourOf(control.fill.value()), control.outlinePixels));
                auto size = std::make_unique<ShapeSize>(hwnd, control.rect, dpi);
                (control.role == layout::Role::ProgressFill ? shapeProgress : shapeProgressBack) =
                    std::move(size);
                return hwnd;
            }
            case layout::Kind::VScrollBar:
                hwnd = createChild(WS_EX_NOPARENTNOTIFY, L"SCROLLBAR", caption,
                                   WS_CLIPSIBLINGS | WS_TABSTOP | SBS_VERT, container, place, id);
                vScrollFiles = std::make_unique<Win32ScrollBar>(hwnd);
                return hwnd;
            case layout::Kind::DriveList:
                drive1 = std::make_unique<Win32DriveList>(container, place, font, id);
                return drive1->hwnd();
            case layout::Kind::DirListBox:
                dir1 = std::make_unique<Win32DirectoryList>(container, place, font, id);
                return dir1->hwnd();
        }
        if (hwnd == nullptr) {
            throw Failure(kElementDoesNotExist, "A control of an unknown kind: " + control.name);
        }
        ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return hwnd;
    }

    HWND keep(std::unique_ptr<OwnWindow> own) {
        painted.push_back(std::move(own));
        return painted.back()->hwnd();
    }

    // Within a container the first control listed is in front: each goes to the back in turn.
    // Tab does not follow this order; the window moves the focus itself.
    void stack() {
        for (const layout::Control& control : layout::form1().controls) {
            const auto found = byName.find(control.name);
            if (found != byName.end()) {
                ::SetWindowPos(found->second, HWND_BOTTOM, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
        }
    }

    HWND named(std::string_view name) const {
        const auto found = byName.find(name);
        return found != byName.end() ? found->second : nullptr;
    }

    HWND playing(layout::Role role) const {
        const auto found = byRole.find(role);
        return found != byRole.end() ? found->second : nullptr;
    }

    // The windows Tab stops at, in order: the layout's tab order, then the rows in view.
    std::vector<HWND> tabStops() const {
        std::vector<HWND> stops;
        for (const layout::Control* control : layout::tabOrder()) {
            if (HWND hwnd = named(control->name)) {
                stops.push_back(hwnd);
            }
        }
        const std::vector<HWND> rows = frameSlide->editorsInView();
        stops.insert(stops.end(), rows.begin(), rows.end());
        return stops;
    }

    void connectTo(Form1& form) {
        // Opening a folder belongs to the directory list itself; only what it cannot open is
        // told, and during a run it waits for the run's end.
        dir1->setOpenGuard([&form](const std::function<void()>& open) { form.handle(open); });
        picture1->onDrop = [&form](const DroppedFiles& files) { form.Picture1_OLEDragDrop(files); };
        handRowEvents(form, *this);
        popupFiles->chosen = [&form](layout::Role role) { form.Click(role); };
        vScrollFiles->changed = [&form] { form.VScrollFiles_Change(); };
    }

    // The control of that identifier, if the window made it and `hwnd` is its window.
    const layout::Control* controlOf(int id, HWND hwnd) const {
        const auto found = controlOfId.find(id);
        return found != controlOfId.end() && found->second.second == hwnd ? found->second.first
                                                                          : nullptr;
    }
};

Form1Window::Form1Window(Services& services) {
    const layout::Form& form = layout::form1();
    create(0, kStyle, toUtf16(form.caption), nullptr, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
           CW_USEDEFAULT);
    // Sized once it exists, at the DPI of the monitor it opened on.
    const int dpi = windowDpi(hwnd());
    const SIZE size = windowSizeFor(
        {twipsToPixels(form.width, dpi), twipsToPixels(form.height, dpi)}, kStyle, dpi);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (const auto& [which, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int size = ::GetSystemMetrics(metric);
        if (HANDLE icon = ::LoadImageW(instance, MAKEINTRESOURCEW(VANTREL_ICON), IMAGE_ICON, size,
                                       size, LR_SHARED)) {
            ::SendMessageW(hwnd(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        }
    }

    parts_ = std::make_unique<Parts>(*this, dpi, services.messageBox);
    parts_->build();
    logic_ = std::make_unique<Form1>(*parts_->controls, services);
    parts_->connectTo(*logic_);
    logic_->runningChanged = [this](bool running) { showRunning(running); };
    logic_->unload = [this] { ::DestroyWindow(hwnd()); };
}

Form1Window::~Form1Window() {
    destroyed = nullptr;
    destroy();
}

void Form1Window::open(int showCommand) {
    logic_->Form_Load();
    ::ShowWindow(hwnd(), showCommand);
    ::UpdateWindow(hwnd());
    ::SetFocus(child(layout::form1().focus));
}

const Form1Controls& Form1Window::controls() const {
    return *parts_->controls;
}

HWND Form1Window::child(std::string_view layoutName) const {
    return parts_->named(layoutName);
}

HWND Form1Window::child(layout::Role role) const {
    return parts_->playing(role);
}

HWND Form1Window::pathEditor(int index) {
    return parts_->frameSlide->pathEditor(index);
}

HWND Form1Window::countEditor(int index) {
    return parts_->frameSlide->countEditor(index);
}

HMENU Form1Window::popupMenu() const {
    return parts_->popupFiles->handle();
}

RECT Form1Window::progressArea() const {
    RECT area{};
    for (const layout::Role role :
         {layout::Role::ProgressBack, layout::Role::ProgressCaption, layout::Role::ProgressFill}) {
        RECT place;
        ::GetWindowRect(child(role), &place);
        ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&place), 2);
        ::UnionRect(&area, &area, &place);
    }
    return area;
}

bool Form1Window::translate(const MSG& message) {
    if (logic_->running()) {
        return refusedDuringRun(message);
    }
    if (message.message != WM_KEYDOWN ||
        (message.hwnd != hwnd() && ::IsChild(hwnd(), message.hwnd) == FALSE)) {
        return false;
    }
    if (message.wParam == VK_TAB && !isKeyDown(VK_CONTROL) && !isKeyDown(VK_MENU)) {
        // From the keyboard on, the focus is shown, as a dialog shows it.
        ::SendMessageW(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        moveFocus(isKeyDown(VK_SHIFT) ? -1 : 1);
        return true;
    }
    // A text box pastes text itself; every other control hands a paste key to the window.
    if (!isTextBox(message.hwnd)) {
        auto KeyCode = static_cast<std::int16_t>(message.wParam);
        logic_->Form_KeyDown(
            KeyCode, shiftState(isKeyDown(VK_SHIFT), isKeyDown(VK_CONTROL), isKeyDown(VK_MENU)));
        if (KeyCode == 0) {
            return true;
        }
    }
    if (message.wParam == VK_RETURN) {
        const layout::Control* control =
            parts_->controlOf(::GetDlgCtrlID(message.hwnd), message.hwnd);
        if (control != nullptr && control->kind == layout::Kind::CommandButton) {
            ::SendMessageW(message.hwnd, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

bool Form1Window::refusedDuringRun(const MSG& message) {
    if (message.hwnd != hwnd() && ::IsChild(hwnd(), message.hwnd) == FALSE) {
        return false;
    }
    switch (message.message) {
        case WM_KEYDOWN:
            if (message.wParam == VK_ESCAPE && (message.lParam & (1L << 30)) == 0) {
                std::int16_t KeyCode = vbKeyEscape;
                logic_->Form_KeyDown(KeyCode, 0);
            }
            return true;
        case WM_KEYUP:
        case WM_CHAR:
        case WM_DEADCHAR:
            // The system keys go on: Alt+F4 asks to close, Alt+Space opens the window's menu.
            return true;
        case WM_MOUSEMOVE:
            return false;
        default:
            return message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST &&
                   message.hwnd != child(layout::Role::ListScrollBar);
    }
}

void Form1Window::showRunning(bool running) {
    if (running) {
        ::SetTimer(hwnd(), kGreyingTimer, kBlinkMs, nullptr);
        return;
    }
    // Input that came during the run's last moments is refused, not left for after it.
    MSG message;
    for (const auto& [first, last] : {std::pair<UINT, UINT>{WM_KEYFIRST, WM_KEYLAST},
                                      std::pair<UINT, UINT>{WM_MOUSEFIRST, WM_MOUSELAST}}) {
        while (::PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
            if (!translate(message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    }
    ::KillTimer(hwnd(), kGreyingTimer);
    if (greyed_) {
        enableRefusing(true);
    }
}

void Form1Window::enableRefusing(bool enable) {
    if (!enable) {
        focusBeforeRun_ = ::GetFocus();
    }
    greyed_ = !enable;
    for (const HWND control : parts_->refusingDuringRun) {
        ::EnableWindow(control, enable ? TRUE : FALSE);
    }
    if (enable && focusBeforeRun_ != nullptr && ::IsWindowEnabled(focusBeforeRun_)) {
        ::SetFocus(focusBeforeRun_);
    }
}

void Form1Window::moveFocus(int step) {
    const std::vector<HWND> stops = parts_->tabStops();
    const auto count = static_cast<int>(stops.size());
    const HWND focus = ::GetFocus();
    const auto holds = [focus](HWND stop) {
        return stop == focus || ::IsChild(stop, focus) != FALSE;
    };
    const auto found = std::ranges::find_if(stops, holds);
    // From outside the order, Tab starts at its first stop and Shift+Tab at its last.
    int at =
        found != stops.end() ? static_cast<int>(found - stops.begin()) : (step > 0 ? -1 : count);
    for (int tried = 0; tried < count; ++tried) {
        at = ((at + step) % count + count) % count;
        if (::IsWindowVisible(stops[at]) && ::IsWindowEnabled(stops[at])) {
            ::SetFocus(stops[at]);
            return;
        }
    }
}

// The control that had the focus when the window was last active, while it can take it back;
// else the one that has it at start.
HWND Form1Window::focusToRestore() const {
    const bool usable = lastFocus_ != nullptr && ::IsChild(hwnd(), lastFocus_) &&
                        ::IsWindowVisible(lastFocus_) && ::IsWindowEnabled(lastFocus_);
    return usable ? lastFocus_ : child(layout::form1().focus);
}

bool Form1Window::activated(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd(), focus)) {
            lastFocus_ = focus;
        }
        return false;
    }
    if (HIWORD(wParam) != 0) {
        return false;
    }
    ::SetFocus(focusToRestore());
    return true;
}

LRESULT Form1Window::message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const auto from = reinterpret_cast<HWND>(lParam);
            const layout::Control* control = parts_->controlOf(LOWORD(wParam), from);
            if (HIWORD(wParam) == BN_CLICKED && control != nullptr) {
                logic_->Click(control->role);
                return 0;
            }
            logic_->handle([this, wParam, lParam] {
                if (!parts_->drive1->command(wParam, lParam)) {
                    parts_->dir1->command(wParam, lParam);
                }
            });
            return 0;
        }
        case WM_DRAWITEM:
            return handDrawItemToControl(lParam);
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lParam) == child(layout::Role::ListScrollBar)) {
                const int request = LOWORD(wParam);
                // The list scrolls during a run too.
                runHandler(parts_->messageBox,
                           [this, request] { parts_->vScrollFiles->scrolled(request); });
            }
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale, or its scale changed: the system suggests
            // the window's new frame, and the layout is drawn again at the new DPI.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            // At once, during a run too: the frame has already taken its new size.
            runHandler(parts_->messageBox, [this, wParam] { parts_->rescale(HIWORD(wParam)); });
            return 0;
        }
        case WM_CLOSE: {
            // During a run: whether to stop it; after Yes the window goes once it has ended.
            bool Cancel = false;
            logic_->Form_QueryUnload(Cancel);
            if (!Cancel) {
                ::DestroyWindow(hwnd());
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kGreyingTimer) {
                ::KillTimer(hwnd(), kGreyingTimer);
                if (logic_->running()) {
                    enableRefusing(false);
                }
                return 0;
            }
            return standard(message, wParam, lParam);
        case WM_DESTROY:
            if (destroyed) {
                destroyed();
            }
            return 0;
        case WM_ACTIVATE:
            return activated(wParam) ? 0 : standard(message, wParam, lParam);
        case WM_SETFOCUS:
            ::SetFocus(focusToRestore());
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            ::GetClientRect(hwnd(), &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        default:
            return standard(message, wParam, lParam);
    }
}

}  // namespace vantrel::win32
