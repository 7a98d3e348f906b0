#include "win32/picture_box.h"

#include <shellapi.h>

#include <atomic>
#include <cstring>

#include "platform/handle_win32.h"
#include "win32/dpi.h"
#include "win32/scoped_gdi.h"

namespace vantrel::win32 {

namespace {

constexpr long kHimetricPerInch = 2540;
// Posted to the box for each drop taken, to hand its list on.
constexpr UINT kHandOnDrop = WM_APP;

Microsoft::WRL::ComPtr<IPicture> loadPicture(int id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    HGLOBAL resource = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const void* bytes = resource != nullptr ? ::LockResource(resource) : nullptr;
    if (bytes == nullptr) {
        return nullptr;
    }
    const DWORD size = ::SizeofResource(module, found);
    // The stream owns its memory: the resource itself is read-only.
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy == nullptr) {
        return nullptr;
    }
    std::memcpy(::GlobalLock(copy), bytes, size);
    ::GlobalUnlock(copy);
    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        ::GlobalFree(copy);
        return nullptr;
    }
    Microsoft::WRL::ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(picture.GetAddressOf())))) {
        return nullptr;
    }
    return picture;
}

// The effect of a drop the box takes: a copy or a link, never a move, which would have the
// source delete the files it only lent.
DWORD takenEffect(DWORD allowed) {
    if ((allowed & DROPEFFECT_COPY) != 0) {
        return DROPEFFECT_COPY;
    }
    return allowed & DROPEFFECT_LINK;
}

}  // namespace

// The OLE drop target of the box. It lives as long as OLE holds it, and forgets the box when
// the box goes.
class PictureBox::Target : public IDropTarget {
  public:
    explicit Target(PictureBox& box) : box_(&box) {}

    void forget() { box_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDropTarget) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* /*data*/, DWORD /*keys*/, POINTL /*point*/,
                                        DWORD* effect) override {
        return answer(effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD /*keys*/, POINTL /*point*/, DWORD* effect) override {
        return answer(effect);
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }

    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD /*keys*/, POINTL /*point*/,
                                   DWORD* effect) override {
        answer(effect);
        if (*effect == DROPEFFECT_NONE || data == nullptr) {
            return S_OK;
        }
        return guarded(
            [&] {
                FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
                STGMEDIUM medium{};
                if (SUCCEEDED(data->GetData(&format, &medium))) {
                    HdropFiles files(static_cast<HDROP>(medium.hGlobal));
                    ::ReleaseStgMedium(&medium);
                    deliver(std::move(files));
                } else {
                    deliver(HdropFiles());
                }
                return S_OK;
            },
            E_UNEXPECTED);
    }

  private:
    virtual ~Target() = default;

    HRESULT answer(DWORD* effect) const {
        if (effect == nullptr) {
            return E_INVALIDARG;
        }
        const bool taking = box_ != nullptr && box_->mode_ == DropMode::Manual;
        *effect = taking ? takenEffect(*effect) : DROPEFFECT_NONE;
        return S_OK;
    }

    void deliver(HdropFiles files) const {
        if (box_ != nullptr) {
            box_->take(std::move(files));
        }
    }

    PictureBox* box_;
    std::atomic<ULONG> references_ = 1;
};

namespace {

// The mandatory integrity level of a process's token (its relative id); 0 where none is told.
DWORD integrityOf(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) {
        return 0;
    }
    alignas(TOKEN_MANDATORY_LABEL)
        BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    DWORD level = 0;
    if (::GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size)) {
        const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
        level = *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1);
    }
    ::CloseHandle(token);
    return level;
}

}  // namespace

// Without a shell to tell, no drag from it is to be let through.
bool runsAboveTheShell() {
    DWORD shellProcess = 0;
    const HWND shell = ::GetShellWindow();
    if (shell == nullptr || ::GetWindowThreadProcessId(shell, &shellProcess) == 0) {
        return false;
    }
    const Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcess));
    const DWORD shellLevel = process.valid() ? integrityOf(process.get()) : 0;
    return shellLevel != 0 && integrityOf(::GetCurrentProcess()) > shellLevel;
}

void openToDropsFromBelow(HWND window, MessageFilterFunction filter) {
    // WM_COPYGLOBALDATA, which carries the dropped list across, has no name in the headers.
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, UINT{0x0049}}) {
        CHANGEFILTERSTRUCT status{};
        status.cbSize = sizeof status;
        filter(window, message, MSGFLT_ALLOW, &status);
    }
}

PictureBox::PictureBox(HWND parent, const RECT& place, int id, int pictureId, const int& dpi,
                       bool elevated)
    : picture_(loadPicture(pictureId)), dpi_(dpi) {
    create(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY,
           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, L"", parent, place, id);
    target_.Attach(new Target(*this));
    if (elevated) {
        openToDropsFromBelow(hwnd());
    } else {
        registered_ = SUCCEEDED(::RegisterDragDrop(hwnd(), target_.Get()));
    }
}

PictureBox::~PictureBox() {
    target_->forget();
    if (registered_ && hwnd() != nullptr) {
        ::RevokeDragDrop(hwnd());
    }
}

void PictureBox::setDropMode(DropMode mode) {
    mode_ = mode;
    ::DragAcceptFiles(hwnd(), mode == DropMode::Manual ? TRUE : FALSE);
}

SIZE PictureBox::pictureSize() const {
    if (picture_ == nullptr) {
        return {0, 0};
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    // The picture's measure came from its pixels at the screen's DPI when it was loaded.
    const int screen = screenDpi();
    const auto drawn = [&](long himetric) {
        return ::MulDiv(::MulDiv(himetric, screen, kHimetricPerInch), dpi_, kStandardDpi);
    };
    return {drawn(width), drawn(height)};
}

LRESULT PictureBox::message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const PaintDc dc(hwnd());
            paint(dc.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            ::SetFocus(hwnd());
            return 0;
        case WM_LBUTTONDBLCLK:
            if (onDblClick) {
                onDblClick();
            }
            return 0;
        case WM_CHAR: {
            auto KeyAscii = static_cast<std::int16_t>(wParam);
            if (onKeyPress) {
                onKeyPress(KeyAscii);
            }
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(hwnd(), nullptr, FALSE);
            return 0;
        case WM_UPDATEUISTATE:
            ::InvalidateRect(hwnd(), nullptr, FALSE);
            return standard(message, wParam, lParam);
        case WM_DROPFILES: {
            struct Finish {
                HDROP drop;
                ~Finish() { ::DragFinish(drop); }
            } finish{reinterpret_cast<HDROP>(wParam)};
            if (mode_ != DropMode::Manual) {
                return 0;
            }
            take(HdropFiles(finish.drop));
            return 0;
        }
        case kHandOnDrop:
            handOn();
            return 0;
        case WM_DESTROY:
            if (registered_) {
                ::RevokeDragDrop(hwnd());
                registered_ = false;
            }
            return standard(message, wParam, lParam);
        default:
            return standard(message, wParam, lParam);
    }
}

void PictureBox::take(HdropFiles files) {
    taken_.push_back(std::move(files));
    // Where the thread's queue is full, the drop is handed on at once rather than lost.
    if (!::PostMessageW(hwnd(), kHandOnDrop, 0, 0)) {
        handOn();
    }
}

void PictureBox::handOn() {
    if (taken_.empty()) {
        return;
    }
    const HdropFiles files = std::move(taken_.front());
    taken_.pop_front();
    if (onDrop) {
        onDrop(files);
    }
}

void PictureBox::paint(HDC dc) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    if (picture_ != nullptr) {
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        picture_->get_Width(&width);
        picture_->get_Height(&height);
        const SIZE size = pictureSize();
        // The client area's device context already clips at the inner edges.
        picture_->Render(dc, 0, 0, size.cx, size.cy, 0, height, width, -height, nullptr);
    }
    const auto cues = static_cast<UINT>(::SendMessageW(hwnd(), WM_QUERYUISTATE, 0, 0));
    if (::GetFocus() == hwnd() && (cues & UISF_HIDEFOCUS) == 0) {
        ::DrawFocusRect(dc, &client);
    }
}

}  // namespace vantrel::win32
