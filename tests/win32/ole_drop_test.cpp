#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "support/win32/window_fixture.h"
#include "win32/message_box.h"

namespace vantrel::test {
namespace {

// The least a drag source's data must do: hand out a file list (CF_HDROP) if it has one, else
// plain text.
class FileData : public IDataObject {
  public:
    explicit FileData(std::optional<std::vector<std::string>> paths) : paths_(std::move(paths)) {}
    virtual ~FileData() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = paths_ ? dropBlockOf(*paths_) : textBlock();
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        const CLIPFORMAT offered = paths_ ? CF_HDROP : CF_UNICODETEXT;
        return format->cfFormat == offered && (format->tymed & TYMED_HGLOBAL) != 0 ? S_OK
                                                                                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    static HGLOBAL textBlock() {
        static const wchar_t text[] = L"dragged text";
        HGLOBAL block = ::GlobalAlloc(GHND, sizeof text);
        std::memcpy(::GlobalLock(block), text, sizeof text);
        ::GlobalUnlock(block);
        return block;
    }

    std::optional<std::vector<std::string>> paths_;
    ULONG references_ = 1;
};

// Lets go of the button after a few turns of the drag's loop, wherever the pointer is.
class ReleasingSource : public IDropSource {
  public:
    virtual ~ReleasingSource() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDropSource) {
            *object = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD /*keys*/) override {
        if (escape) {
            return DRAGDROP_S_CANCEL;
        }
        return ++turns_ < 4 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  private:
    int turns_ = 0;
};

struct Dragged {
    const char* name;
    std::optional<std::vector<std::string>> files;
    DWORD offered;
    DropMode mode;
    DWORD effect;
    int entries;
    std::vector<std::string> boxes;
};

void PrintTo(const Dragged& dragged, std::ostream* out) {
    *out << dragged.name;
}

class OleDropTest : public testing::TestWithParam<Dragged> {
  protected:
    void SetUp() override {
        VANTREL_NEEDS_WINDOWS();
        window_ = std::make_unique<Window>(painter_);
        window_->open();
    }

    NoPainting painter_;
    std::unique_ptr<Window> window_;
};

// A drag from another program, dropped on the drop area through OLE.
TEST_P(OleDropTest, DroppedOnTheDropArea) {
    const Dragged& d = GetParam();
    window_->controls().Picture1.setDropMode(d.mode);
    RECT area;
    ::GetWindowRect(window_->child("Picture1"), &area);
    ::SetForegroundWindow(window_->form.hwnd());
    ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    FileData data(d.files);
    ReleasingSource source;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = ::DoDragDrop(&data, &source, d.offered, &effect);
    pumpMessages(window_->form);

    EXPECT_TRUE(SUCCEEDED(result)) << std::hex << result;
    EXPECT_EQ(effect, d.effect);
    EXPECT_EQ(window_->controls().Text1.count() - 1, d.entries);
    EXPECT_EQ(window_->messageBox.texts(), d.boxes);
}

const std::vector<std::string> kTwoFiles{"C:\\files\\a.txt", "C:\\files\\b.txt"};
constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

INSTANTIATE_TEST_SUITE_P(
    Drags, OleDropTest,
    testing::Values(
        Dragged{"Files", kTwoFiles, kAll, DropMode::Manual, DROPEFFECT_COPY, 2, {}},
        Dragged{"PlainText",
                std::nullopt,
                kAll,
                DropMode::Manual,
                DROPEFFECT_COPY,
                0,
                {expected::kNoFileName}},
        // Taking a move would have the source delete the files the list only names.
        Dragged{"OnlyAMoveOffered",
                kTwoFiles,
                DROPEFFECT_MOVE,
                DropMode::Manual,
                DROPEFFECT_NONE,
                0,
                {}},
        Dragged{
            "LinkOffered", kTwoFiles, DROPEFFECT_LINK, DropMode::Manual, DROPEFFECT_LINK, 2, {}},
        Dragged{"DuringARun", kTwoFiles, kAll, DropMode::None, DROPEFFECT_NONE, 0, {}}),
    [](const testing::TestParamInfo<Dragged>& info) { return std::string(info.param.name); });

// Watches for the window's message box, notes whether the drop had returned by then, and
// presses Return in it; a box that does not take the key is closed all the same.
class BoxAtDrop {
  public:
    BoxAtDrop()
        : thread_([this] {
              const std::wstring title = toUtf16(expected::kTitle);
              HWND box = nullptr;
              if (!eventually([&] {
                      box = ::FindWindowW(L"#32770", title.c_str());
                      return box != nullptr && ::IsWindowVisible(box);
                  })) {
                  done = true;
                  return;
              }
              openedAfterDrop = dropReturned.load();
              ::EnumChildWindows(
                  box,
                  [](HWND child, LPARAM self) -> BOOL {
                      wchar_t shown[256] = {};
                      ::GetWindowTextW(child, shown, 256);
                      reinterpret_cast<BoxAtDrop*>(self)->texts.push_back(toUtf8(shown));
                      return TRUE;
                  },
                  reinterpret_cast<LPARAM>(this));
              GUITHREADINFO input{};
              input.cbSize = sizeof input;
              ::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &input);
              const bool focused = input.hwndFocus == box || ::IsChild(box, input.hwndFocus);
              HWND keyed = focused ? input.hwndFocus : box;
              ::PostMessageW(keyed, WM_KEYDOWN, VK_RETURN, 1);
              ::PostMessageW(keyed, WM_KEYUP, VK_RETURN, 0xC0000001);
              tookReturn = focused && eventually([&] { return !::IsWindow(box); });
              if (::IsWindow(box)) {
                  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
              }
              done = true;
          }) {}
    ~BoxAtDrop() { thread_.join(); }

    std::atomic<bool> dropReturned = false;
    std::atomic<bool> openedAfterDrop = false;
    std::atomic<bool> tookReturn = false;
    std::atomic<bool> done = false;
    // The texts of the box's controls.
    std::vector<std::string> texts;

  private:
    static bool eventually(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    std::thread thread_;
};

// A modal box inside the drop would hold the drag's source (Explorer) until it is answered.
TEST(TextDrop, TheBoxOpensAfterTheDropHasReturnedTakesReturnAndTheWindowGoesOn) {
    VANTREL_NEEDS_WINDOWS();
    win32::Win32MessageBox messageBox(toUtf16(expected::kTitle));
    RealFileSystem fileSystem;
    FakeLauncher launcher;
    const Conventions conventions = Conventions::windows();
    NoPainting painter;
    NoWaiting waiter;
    Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
    win32::Form1Window form(services);
    messageBox.setOwner(form.hwnd());
    form.open();
    pumpMessages(form);
    RECT area;
    ::GetWindowRect(form.child("Picture1"), &area);
    ::SetForegroundWindow(form.hwnd());
    ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);

    FileData text(std::nullopt);
    ReleasingSource source;
    DWORD effect = DROPEFFECT_NONE;
    BoxAtDrop box;
    ::DoDragDrop(&text, &source, DROPEFFECT_COPY, &effect);
    box.dropReturned = true;
    while (!box.done) {
        pumpMessages(form);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pumpMessages(form);

    EXPECT_NE(std::find(box.texts.begin(), box.texts.end(), expected::kNoFileName),
              box.texts.end());
    EXPECT_TRUE(box.openedAfterDrop) << "the box opened inside the drop";
    EXPECT_TRUE(box.tookReturn);
    dropOn(form.child("Picture1"), {"C:\\files\\a.txt"});
    EXPECT_EQ(form.controls().Text1.count() - 1, 1);
}

}  // namespace
}  // namespace vantrel::test
