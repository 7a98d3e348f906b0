#include <gtest/gtest.h>
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/failure.h"
#include "platform/utf16.h"
#include "support/expected.h"
#include "win32/launcher.h"
#include "win32/message_box.h"
#include "win32/user_folders.h"
#include "win32/waiter.h"

namespace vantrel::win32 {
namespace {

// Started by the launcher tests: writes the window style it was started with into a file.
constexpr wchar_t kWriteStyle[] = L"--write-style";

std::filesystem::path freshFolder(const std::string& name) {
    const auto folder = std::filesystem::temp_directory_path() / ("vantrel-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::wstring thisProgram() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

struct Launched {
    WindowStyle style;
    int shown;
};

class LauncherTest : public testing::TestWithParam<Launched> {};

TEST_P(LauncherTest, StartsTheCommandLineWithItsWindowStyleAndReturnsAtOnce) {
    const auto folder = freshFolder("launch");
    const auto marker = folder / "style.txt";
    LaunchCommand command{
        toUtf8(thisProgram()), {toUtf8(kWriteStyle), marker.string()}, GetParam().style};
    Win32Launcher().launch(command);
    // The started program writes its file whole under another name, then renames it.
    ASSERT_TRUE(eventually([&] { return std::filesystem::exists(marker); }));
    int shown = -1;
    std::ifstream(marker) >> shown;
    EXPECT_EQ(shown, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Styles, LauncherTest,
                         testing::Values(Launched{WindowStyle::Normal, SW_SHOWNORMAL},
                                         Launched{WindowStyle::Minimized, SW_SHOWMINIMIZED}));

TEST(Launcher, AProgramThatIsNotThereIsAFailureWithTheSystemsReason) {
    try {
        Win32Launcher().launch({"vantrel-no-such-program.exe", {}, WindowStyle::Normal});
        FAIL() << "launched a program that is not there";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), kFileNotFound);
        EXPECT_FALSE(failure.reason().empty());
    }
}

struct SystemProgram {
    const char* program;
    UINT(WINAPI* folderOf)(LPWSTR, UINT);
    const wchar_t* file;
};

class SystemProgramTest : public testing::TestWithParam<SystemProgram> {};

// A program of the same name lying beside this one (as in a Downloads folder) is not started.
TEST_P(SystemProgramTest, IsStartedFromTheSystemsFolderNotFromBesideTheProgram) {
    const SystemProgram& c = GetParam();
    const auto beside = std::filesystem::path(thisProgram()).parent_path() / c.file;
    std::filesystem::copy_file(thisProgram(), beside,
                               std::filesystem::copy_options::overwrite_existing);
    wchar_t folder[MAX_PATH];
    const UINT folderLength = c.folderOf(folder, MAX_PATH);
    const LaunchCommand command{c.program, {"c:\\Log.txt"}, WindowStyle::Minimized};
    EXPECT_EQ(processCommand(command).application,
              std::wstring(folder, folderLength) + L"\\" + c.file);

    const Handle process = startProcess(command);
    wchar_t image[MAX_PATH];
    DWORD length = MAX_PATH;
    const bool named = ::QueryFullProcessImageNameW(process.get(), 0, image, &length);
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 10000);
    std::filesystem::remove(beside);
    ASSERT_TRUE(named);
    // Wine's explorer.exe in the Windows folder hands on to the one in System32.
    EXPECT_NE(::CompareStringOrdinal(image, static_cast<int>(length), beside.c_str(), -1, TRUE),
              CSTR_EQUAL);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, SystemProgramTest,
    testing::Values(SystemProgram{"notepad", ::GetSystemDirectoryW, L"notepad.exe"},
                    SystemProgram{"explorer.exe", ::GetWindowsDirectoryW, L"explorer.exe"}),
    [](const testing::TestParamInfo<SystemProgram>& info) {
        return std::string(info.param.program).substr(0, 7);
    });

TEST(Launcher, QuotesThePartsThatHoldABlankAsTheStartedProgramSplitsThem) {
    const struct {
        std::vector<std::string> arguments;
        std::wstring line;
    } cases[] = {
        {{"c:\\Log.txt"}, L"prog c:\\Log.txt"},
        {{"C:\\Users\\A B\\Log.txt"}, L"prog \"C:\\Users\\A B\\Log.txt\""},
        {{"/e,", "C:\\"}, L"prog /e, C:\\"},
        {{"C:\\A B\\"}, L"prog \"C:\\A B\\\\\""},
        {{"say \"hi\" now"}, L"prog \"say \\\"hi\\\" now\""},
        {{""}, L"prog \"\""},
    };
    for (const auto& c : cases) {
        const ProcessCommand process = processCommand({"prog", c.arguments, WindowStyle::Normal});
        EXPECT_TRUE(process.application.empty());
        EXPECT_EQ(process.commandLine, c.line);
    }
}

// Finds the box titled with the window's caption and presses one of its buttons, once the box
// shows `text`.
class BoxAnswerer {
  public:
    BoxAnswerer(std::wstring text, int button)
        : thread_([this, text = std::move(text), button] {
              HWND box = nullptr;
              const std::wstring title = toUtf16(expected::kTitle);
              if (!eventually([&] {
                      box = ::FindWindowW(L"#32770", title.c_str());
                      return box != nullptr && ::IsWindowVisible(box);
                  })) {
                  return;
              }
              EnumChildWindows(
                  box,
                  [](HWND child, LPARAM found) -> BOOL {
                      wchar_t shown[256] = {};
                      ::GetWindowTextW(child, shown, 256);
                      auto* self = reinterpret_cast<BoxAnswerer*>(found);
                      if (self->expectedText_ == shown) {
                          self->sawText_ = true;
                      }
                      return TRUE;
                  },
                  reinterpret_cast<LPARAM>(this));
              HWND pressed = ::GetDlgItem(box, button);
              buttonFound_ = pressed != nullptr;
              ::PostMessageW(pressed ? pressed : box, pressed ? BM_CLICK : WM_CLOSE, 0, 0);
          }),
          expectedText_(std::move(text)) {}
    ~BoxAnswerer() { wait(); }
    void wait() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::thread thread_;
    std::wstring expectedText_;
    std::atomic<bool> sawText_ = false;
    std::atomic<bool> buttonFound_ = false;
};

struct Answered {
    Buttons buttons;
    int pressed;
    Answer answer;
};

class MessageBoxTest : public testing::TestWithParam<Answered> {};

TEST_P(MessageBoxTest, ShowsTheTextWithItsLineBreaksAndReturnsThePressedButton) {
    const std::string text = std::string("Could not copy a.txt .") + kCrLf + "Disk full";
    BoxAnswerer answerer(L"Could not copy a.txt .\r\nDisk full", GetParam().pressed);
    const Answer answer = Win32MessageBox(toUtf16(expected::kTitle)).show(text, GetParam().buttons);
    answerer.wait();
    EXPECT_TRUE(answerer.buttonFound_) << "the box has no button " << GetParam().pressed;
    EXPECT_TRUE(answerer.sawText_) << "the box does not show the text";
    EXPECT_EQ(answer, GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Buttons, MessageBoxTest,
                         testing::Values(Answered{Buttons::Ok, IDOK, Answer::Ok},
                                         Answered{Buttons::YesNo, IDYES, Answer::Yes},
                                         Answered{Buttons::YesNo, IDNO, Answer::No},
                                         Answered{Buttons::YesNoCancel, IDYES, Answer::Yes},
                                         Answered{Buttons::YesNoCancel, IDNO, Answer::No},
                                         Answered{Buttons::YesNoCancel, IDCANCEL, Answer::Cancel}));

// A window that counts what is dispatched to it.
class CountingWindow {
  public:
    CountingWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
            auto* self =
                reinterpret_cast<CountingWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self != nullptr) {
                if (message == WM_APP) {
                    ++self->posted;
                } else if (message == WM_KEYDOWN || message == WM_LBUTTONDOWN) {
                    ++self->input;
                }
            }
            return ::DefWindowProcW(window, message, w, l);
        };
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VantrelWaiterTest";
        ::RegisterClassW(&windowClass);
        hwnd = ::CreateWindowW(L"VantrelWaiterTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                               nullptr, nullptr, windowClass.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CountingWindow() { ::DestroyWindow(hwnd); }

    void pump() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                continue;
            }
            ::DispatchMessageW(&message);
        }
    }

    HWND hwnd;
    std::atomic<int> posted = 0;
    std::atomic<int> input = 0;
    bool quit = false;
};

// While the work runs, the queue is read, input included: what the filter refuses is used up,
// the rest dispatched; nothing is left for after the work.
TEST(Win32Waiter, WhileTheWorkRunsTheWindowIsServedAndReadsItsInput) {
    CountingWindow window;
    Win32Waiter waiter;
    waiter.filter = [](const MSG& message) { return message.message == WM_KEYDOWN; };
    bool servedMeanwhile = false;
    waiter.await(
        [&] {
            ::PostMessageW(window.hwnd, WM_KEYDOWN, 'A', 0);
            ::PostMessageW(window.hwnd, WM_LBUTTONDOWN, 0, 0);
            ::PostMessageW(window.hwnd, WM_APP, 0, 0);
            servedMeanwhile = eventually([&] { return window.posted == 1 && window.input == 1; });
        },
        [] {});
    EXPECT_TRUE(servedMeanwhile);
    window.pump();
    EXPECT_EQ(window.input, 1);
}

TEST(Win32Waiter, TicksOnTheWindowsThreadWhileTheWorkIsLong) {
    Win32Waiter waiter;
    const auto windowThread = std::this_thread::get_id();
    std::atomic<int> ticks = 0;
    bool ticksOnThatThread = true;
    waiter.await([&] { eventually([&] { return ticks >= 3; }); },
                 [&] {
                     ticksOnThatThread =
                         ticksOnThatThread && std::this_thread::get_id() == windowThread;
                     ++ticks;
                 });
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(ticksOnThatThread);
}

TEST(Win32Waiter, RaisesWhatTheWorkRaisedAndServesTheNextWork) {
    Win32Waiter waiter;
    EXPECT_THROW(waiter.await([] { throw Failure(kDiskFull, "full"); }, [] {}), Failure);
    int done = 0;
    waiter.await([&] { ++done; }, [] {});
    EXPECT_EQ(done, 1);
}

TEST(Win32Waiter, AQuitAskedForMeanwhileIsLeftForTheProgramsLoop) {
    CountingWindow window;
    Win32Waiter waiter;
    waiter.await(
        [&] {
            ::PostMessageW(window.hwnd, WM_APP, 0, 0);
            eventually([&] { return window.posted == 1; });
        },
        [] {});
    ::PostQuitMessage(3);
    waiter.await(
        [&] {
            ::PostMessageW(window.hwnd, WM_APP, 0, 0);
            eventually([&] { return window.posted == 2; });
        },
        [] {});
    window.pump();
    EXPECT_TRUE(window.quit);
}

// The place of the per-user log: a folder the user has, with the system's name for it.
std::wstring currentFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(::GetCurrentDirectoryW(MAX_PATH, folder.data()));
    return folder;
}

TEST(UserFolders, StartedInItsOwnFolderTheProgramBeginsInDocumentsElsewhereItStays) {
    const std::wstring before = currentFolder();
    const std::wstring own = std::filesystem::path(thisProgram()).parent_path().wstring();
    PWSTR known = nullptr;
    ASSERT_TRUE(SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &known)));
    const std::wstring documents = known;
    ::CoTaskMemFree(known);
    std::filesystem::create_directories(documents);
    const auto elsewhere = freshFolder("elsewhere").wstring();
    const struct {
        std::wstring startedIn;
        std::wstring then;
    } cases[] = {{own, documents}, {own + L"\\", documents}, {elsewhere, elsewhere}};
    for (const auto& c : cases) {
        ASSERT_TRUE(::SetCurrentDirectoryW(c.startedIn.c_str()));
        startInDocumentsWhenInOwnFolder();
        EXPECT_EQ(std::filesystem::path(currentFolder()), std::filesystem::path(c.then))
            << toUtf8(c.startedIn);
    }
    ::SetCurrentDirectoryW(before.c_str());
}

TEST(UserFolders, LocalAppDataIsTheUsersFolderThatTheEnvironmentNames) {
    const std::string folder = localAppDataFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::is_directory(toUtf16(folder))) << folder;
    const wchar_t* variable = ::_wgetenv(L"LOCALAPPDATA");
    if (variable != nullptr) {
        EXPECT_TRUE(std::filesystem::equivalent(toUtf16(folder), variable)) << folder;
    }
}

}  // namespace
}  // namespace vantrel::win32

int wmain(int argc, wchar_t** argv) {
    // Copied beside itself under a system program's name, it is a stand-in that does nothing.
    if (std::filesystem::path(vantrel::win32::thisProgram()).stem() != L"win32_services_tests") {
        ::Sleep(30000);
        return 0;
    }
    if (argc == 3 && std::wstring(argv[1]) == vantrel::win32::kWriteStyle) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        ::GetStartupInfoW(&startup);
        const std::filesystem::path marker(argv[2]);
        const auto partial = std::filesystem::path(marker).concat(".part");
        std::ofstream(partial) << startup.wShowWindow;
        std::filesystem::rename(partial, marker);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
