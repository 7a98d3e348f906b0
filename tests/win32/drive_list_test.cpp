#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/list_window.h"
#include "win32/drive_list.h"

namespace vantrel::test {
namespace {

constexpr int kDrive1 = 101;
constexpr RECT kAt{10, 20, 210, 41};

class DriveListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (window.hwnd() == nullptr) {
            GTEST_SKIP() << "no display for the Win32 controls (set DISPLAY)";
        }
        drives = std::make_unique<win32::Win32DriveList>(window.hwnd(), kAt, nullptr, kDrive1);
        window.onCommand = [this](WPARAM wParam, LPARAM lParam) {
            return drives->command(wParam, lParam);
        };
        drives->onChange([this] { ++changes; });
    }

    void choose(int index) {
        ::SendMessageW(drives->hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        notifyParent(drives->hwnd(), CBN_SELCHANGE);
    }

    ListWindow window;
    std::unique_ptr<win32::Win32DriveList> drives;
    int changes = 0;
};

// Each drive the system has, in its order, as "x:" or "x: [its label]".
TEST_F(DriveListTest, ListsEveryDriveByLetterAndLabel) {
    std::vector<std::string> expected;
    const DWORD present = ::GetLogicalDrives();
    for (wchar_t letter = L'a'; letter <= L'z'; ++letter) {
        if ((present & (1u << (letter - L'a'))) == 0) {
            continue;
        }
        const std::wstring root{static_cast<wchar_t>(std::towupper(letter)), L':', L'\\'};
        wchar_t label[MAX_PATH + 1] = {};
        ::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                nullptr, 0);
        std::string text{static_cast<char>(letter), ':'};
        if (label[0] != L'\0') {
            text += " [" + toUtf8(label) + "]";
        }
        expected.push_back(text);
    }
    EXPECT_EQ(comboBoxRows(drives->hwnd()), expected);
}

TEST_F(DriveListTest, StartsAtTheCurrentDrive) {
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    ASSERT_EQ(folder[1], L':') << "the tests run from a folder on a drive";
    const std::string drive = drives->drive();
    ASSERT_GE(drive.size(), 2u);
    EXPECT_EQ(drive.substr(0, 2), std::string({static_cast<char>(std::towlower(folder[0])), ':'}));
    EXPECT_EQ(changes, 0);
}

// The closed box covers the rectangle it was given; its list drops below it.
TEST_F(DriveListTest, ClosedBoxSitsWhereAsked) {
    RECT box{};
    ::GetWindowRect(drives->hwnd(), &box);
    ::MapWindowPoints(HWND_DESKTOP, window.hwnd(), reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, kAt.left);
    EXPECT_EQ(box.top, kAt.top);
    EXPECT_EQ(box.right, kAt.right);
    EXPECT_EQ(box.bottom, kAt.bottom);
}

// One notification per change of drive, none for the same drive again, none for going back.
TEST_F(DriveListTest, ChoosingAnotherDriveNotifiesOnceAndRestoringDoesNot) {
    const std::vector<std::string> rows = comboBoxRows(drives->hwnd());
    if (rows.size() < 2) {
        GTEST_SKIP() << "one drive only: nothing to choose between";
    }
    const std::string first = drives->drive();
    const int other = rows[0] == first ? 1 : 0;

    choose(other);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(drives->drive(), rows[static_cast<std::size_t>(other)]);

    choose(other);
    EXPECT_EQ(changes, 1) << "the same drive again is no change";

    drives->restorePrevious();
    EXPECT_EQ(drives->drive(), first);
    EXPECT_EQ(changes, 1);
}

// Arrowing through the dropped list is no choice yet: the one left when it closes is.
TEST_F(DriveListTest, DroppedListChoosesWhenItCloses) {
    const std::vector<std::string> rows = comboBoxRows(drives->hwnd());
    if (rows.size() < 2) {
        GTEST_SKIP() << "one drive only: nothing to choose between";
    }
    ::ShowWindow(window.hwnd(), SW_SHOWNOACTIVATE);
    ::SendMessageW(drives->hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
    if (!::SendMessageW(drives->hwnd(), CB_GETDROPPEDSTATE, 0, 0)) {
        GTEST_SKIP() << "the list does not drop here";
    }
    const int other = rows[0] == drives->drive() ? 1 : 0;
    choose(other);
    EXPECT_EQ(changes, 0);
    ::SendMessageW(drives->hwnd(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(drives->drive(), rows[static_cast<std::size_t>(other)]);
}

}  // namespace
}  // namespace vantrel::test
