#include <windows.h>

#include <initguid.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_fixture.h"
#include "win32/accessible_names.h"
#include "win32/progress_announcer.h"

namespace vantrel::test {
namespace {

// The name a screen reader reads for the window, asked of the system's accessibility services.
std::string nameRead(HWND hwnd) {
    void* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible, &object))) {
        return "(no accessible object)";
    }
    auto* accessible = static_cast<IAccessible*>(object);
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT read = accessible->get_accName(self, &name);
    accessible->Release();
    const std::string text =
        SUCCEEDED(read) && name != nullptr ? toUtf8(std::wstring(name, ::SysStringLen(name))) : "";
    ::SysFreeString(name);
    return text;
}

// Why names given through the system's annotation service cannot be read back, or empty.
std::string whySystemNamesCannotBeRead() {
    const HWND probe = ::CreateWindowExW(0, L"STATIC", L"caption", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr);
    win32::AccessibleNames names;
    names.name(probe, "annotated");
    const std::string read = nameRead(probe);
    ::DestroyWindow(probe);
    if (!names.available()) {
        return "the system's annotation service takes no names (Wine's oleacc has "
               "SetHwndPropStr as a stub)";
    }
    return read == "annotated"
               ? std::string()
               : "the system does not read annotated names back (read \"" + read + "\")";
}

// An annotation service of the test's own, registered in place of the system's: it keeps the
// last name each window was given, whatever the system's oleacc can do.
class RecordedNames final : public IAccPropServices, public IClassFactory {
  public:
    std::map<HWND, std::string> names;
    std::map<HWND, std::string> values;
    std::map<HWND, long> roles;
    std::map<HWND, std::string> descriptions;

    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IAccPropServices) {
            *out = static_cast<IAccPropServices*>(this);
        } else if (iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // The test owns the object.
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }

    HRESULT WINAPI CreateInstance(IUnknown* /*outer*/, REFIID iid, void** out) override {
        return QueryInterface(iid, out);
    }
    HRESULT WINAPI LockServer(BOOL /*lock*/) override { return S_OK; }

    HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                  LPCWSTR text) override {
        if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF ||
            (property != PROPID_ACC_NAME && property != PROPID_ACC_VALUE &&
             property != PROPID_ACC_DESCRIPTION)) {
            return E_INVALIDARG;
        }
        (property == PROPID_ACC_NAME    ? names
         : property == PROPID_ACC_VALUE ? values
                                        : descriptions)[hwnd] = toUtf8(text);
        return S_OK;
    }
    HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                 AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHwndProp(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                               VARIANT value) override {
        if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF ||
            property != PROPID_ACC_ROLE || value.vt != VT_I4) {
            return E_INVALIDARG;
        }
        roles[hwnd] = value.lVal;
        return S_OK;
    }
    HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                     AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearHwndProps(HWND, DWORD, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                      AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_NOTIMPL;
    }
};

// Each control is read by what it is, not by its caption or its current item; the rows in
// view by their number. Read through the system's services where they read annotations back
// (Windows), and from the test's own annotation service everywhere.
class AccessibleNamesTest : public testing::TestWithParam<bool> {
  protected:
    bool recorded() const { return GetParam(); }

    void SetUp() override {
        VANTREL_NEEDS_WINDOWS();
        if (recorded()) {
            ASSERT_HRESULT_SUCCEEDED(::CoRegisterClassObject(
                CLSID_AccPropServices, static_cast<IClassFactory*>(&service_), CLSCTX_INPROC_SERVER,
                REGCLS_MULTIPLEUSE, &registration_));
        } else if (const std::string why = whySystemNamesCannotBeRead(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        window_ = std::make_unique<Window>(painter_);
        window_->open();
    }

    void TearDown() override {
        window_.reset();
        if (registration_ != 0) {
            ::CoRevokeClassObject(registration_);
        }
    }

    std::string nameOf(HWND hwnd) { return recorded() ? service_.names[hwnd] : nameRead(hwnd); }

    RecordedNames service_;
    DWORD registration_ = 0;
    NoPainting painter_;
    std::unique_ptr<Window> window_;
};

TEST_P(AccessibleNamesTest, ControlsAndTheRowsInViewAreReadByWhatTheyAre) {
    const int rows = 40;
    std::vector<std::string> files;
    for (int i = 1; i <= rows; ++i) {
        files.push_back("C:\\files\\f" + std::to_string(i) + ".txt");
    }
    dropOn(window_->child("Picture1"), files);
    for (const expected::AccessibleName& named : expected::accessibleNames()) {
        EXPECT_EQ(nameOf(window_->child(named.control)), named.name) << named.control;
    }
    if (recorded()) {
        EXPECT_EQ(service_.descriptions,
                  (std::map<HWND, std::string>{
                      {window_->child("Picture1"), expected::kDropAreaDescription}}));
    }
    EXPECT_EQ(nameOf(window_->form.pathEditor(3)), "File 3");
    EXPECT_EQ(nameOf(window_->form.countEditor(3)), "Copies of file 3");

    // Scrolling lends the edit controls to other rows, which they are then read as.
    ::SendMessageW(window_->form.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0),
                   reinterpret_cast<LPARAM>(window_->child("VScrollFiles")));
    ASSERT_EQ(window_->form.pathEditor(3), nullptr);
    EXPECT_EQ(nameOf(window_->form.pathEditor(rows)), "File 40");
    EXPECT_EQ(nameOf(window_->form.countEditor(rows)), "Copies of file 40");
}

std::vector<HWND> renamed;

void CALLBACK onNameChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) {
        renamed.push_back(hwnd);
    }
}

// A reader keeps a name until told it changed: an editor lent to another row says so.
TEST_P(AccessibleNamesTest, AnEditorLentToAnotherRowTellsReadersItsNewName) {
    if (!recorded()) {
        GTEST_SKIP() << "the events are the window's own; the names are read above";
    }
    std::vector<std::string> files(40, "C:\\files\\f.txt");
    dropOn(window_->child("Picture1"), files);
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, onNameChange,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    renamed.clear();
    ::SendMessageW(window_->form.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0),
                   reinterpret_cast<LPARAM>(window_->child("VScrollFiles")));
    pumpMessages(window_->form);
    ::UnhookWinEvent(hook);
    if (hook == nullptr) {
        GTEST_SKIP() << "the system takes no event hook";
    }
    EXPECT_NE(std::ranges::find(renamed, window_->form.pathEditor(40)), renamed.end());
    EXPECT_NE(std::ranges::find(renamed, window_->form.countEditor(40)), renamed.end());
}

INSTANTIATE_TEST_SUITE_P(Readers, AccessibleNamesTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "GivenByTheWindow" : "ReadByTheSystem";
                         });

// What the task-bar button was told, as the shell's ITaskbarList3 would be.
class RecordedTaskbar : public win32::TaskbarButton {
  public:
    std::vector<std::string> calls;
    void progress(HWND, ULONGLONG done, ULONGLONG total) override {
        calls.push_back(std::to_string(done) + "/" + std::to_string(total));
    }
    void error(HWND) override { calls.emplace_back("error"); }
    void clear(HWND) override { calls.emplace_back("clear"); }
};

// The caption is static text and the bar a progress bar with its share done, told as they
// change at most four times a second, and on the task bar, red while a failure is told.
TEST(ProgressAnnouncer, TellsReadersAndTheTaskBarHowFarTheRunHasCome) {
    RecordedNames service;
    DWORD registration = 0;
    ASSERT_HRESULT_SUCCEEDED(
        ::CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(&service),
                                CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration));
    const auto make = [](HWND parent, int width) {
        return ::CreateWindowExW(0, L"STATIC", L"", parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, 0, 0,
                                 width, 10, parent, nullptr, nullptr, nullptr);
    };
    const HWND window = make(nullptr, 300);
    const HWND caption = make(window, 200);
    const HWND fill = make(window, 0);
    const HWND back = make(window, 200);
    {
        win32::AccessibleNames names;
        RecordedTaskbar taskbar;
        win32::ProgressAnnouncer announcer(names, taskbar);
        announcer.watch(window, caption, fill, back);
        EXPECT_EQ(service.roles[caption], ROLE_SYSTEM_STATICTEXT);
        EXPECT_EQ(service.roles[back], ROLE_SYSTEM_PROGRESSBAR);

        const auto step = [&](const wchar_t* text, int width, bool always) {
            ::SetWindowTextW(caption, text);
            ::SetWindowPos(fill, nullptr, 0, 0, width, 10, SWP_NOMOVE | SWP_NOZORDER);
            announcer.update(always);
        };
        step(L"Progress : 1/4", 50, true);
        EXPECT_EQ(service.values[caption], "Progress : 1/4");
        EXPECT_EQ(service.values[back], "25%");
        // Within a quarter second only a row's end is told.
        step(L"Progress : 2/4", 100, false);
        EXPECT_EQ(service.values[back], "25%");
        step(L"Progress : 3/4", 150, true);
        EXPECT_EQ(service.values[caption], "Progress : 3/4");
        EXPECT_EQ(service.values[back], "75%");
        announcer.messageShown(false);
        announcer.messageAnswered();
        announcer.messageShown(true);
        announcer.messageAnswered();
        step(L"Files successfully replicated.", 0, true);
        EXPECT_EQ(service.values[back], "0%");
        // A message of a run that shows no bar is no failure of it.
        announcer.messageShown(true);
        announcer.messageAnswered();
        EXPECT_EQ(taskbar.calls,
                  (std::vector<std::string>{"50/200", "150/200", "error", "clear", "clear"}));
    }
    ::DestroyWindow(window);
    ::CoRevokeClassObject(registration);
}

}  // namespace
}  // namespace vantrel::test
