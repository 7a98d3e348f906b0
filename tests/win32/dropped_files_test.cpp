#include "win32/dropped_files.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "win32/picture_box.h"

namespace vantrel::test {
namespace {

// A drop block as another program hands it over: the header, then the names.
class DropBlock {
  public:
    // The names go `namesAt` bytes into the block; the header says they are at `claimedAt`.
    DropBlock(const void* names, std::size_t bytes, bool wide, std::size_t namesAt,
              std::size_t claimedAt) {
        block_ = ::GlobalAlloc(GHND, namesAt + bytes);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(block_));
        header->pFiles = static_cast<DWORD>(claimedAt);
        header->fWide = wide;
        std::memcpy(reinterpret_cast<char*>(header) + namesAt, names, bytes);
        ::GlobalUnlock(block_);
    }
    ~DropBlock() { ::GlobalFree(block_); }
    DropBlock(const DropBlock&) = delete;
    DropBlock& operator=(const DropBlock&) = delete;

    HDROP drop() const { return static_cast<HDROP>(block_); }

  private:
    HGLOBAL block_;
};

struct Case {
    const char* name;
    std::wstring wideNames;
    std::string narrowNames;
    bool wide;
    // Where the names start, past the header's end: 0 for right behind it.
    std::size_t offset;
    // How far past that the header says they are.
    std::size_t claimedFurther;
    bool hasList;
    std::vector<std::string> files;
};

class HdropFilesTest : public testing::TestWithParam<Case> {};

TEST_P(HdropFilesTest, ReadsTheNamesOrTellsThereAreNone) {
    const Case& c = GetParam();
    const void* names = c.wide ? static_cast<const void*>(c.wideNames.data())
                               : static_cast<const void*>(c.narrowNames.data());
    const std::size_t bytes = c.wide ? c.wideNames.size() * sizeof(wchar_t) : c.narrowNames.size();
    const std::size_t at = sizeof(DROPFILES) + c.offset;
    const DropBlock block(names, bytes, c.wide, at, at + c.claimedFurther);
    const win32::HdropFiles files(block.drop());
    if (!c.hasList) {
        try {
            files.count();
            FAIL() << "a list was read";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), kNoFileList);
        }
        return;
    }
    ASSERT_EQ(files.count(), static_cast<long long>(c.files.size()));
    for (std::size_t k = 1; k <= c.files.size(); ++k) {
        EXPECT_EQ(files.file(static_cast<long long>(k)), c.files[k - 1]);
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Drops, HdropFilesTest,
    testing::Values(
        Case{"Wide",
             L"C:\\a.txt\0C:\\B\u00fccher\\\u00fc.doc\0\0"s,
             "",
             true,
             0,
             0,
             true,
             {"C:\\a.txt",
              "C:\\B\xc3\xbc"
              "cher\\\xc3\xbc.doc"}},
        Case{"WideAfterAGap", L"C:\\a.txt\0\0"s, "", true, 6, 0, true, {"C:\\a.txt"}},
        Case{"EmptyList", L"\0\0"s, "", true, 0, 0, true, {}},
        // The block ends inside the last name: what is there is read, and nothing past it.
        Case{
            "WideUnterminated", L"C:\\a.txt\0C:\\b"s, "", true, 0, 0, true, {"C:\\a.txt", "C:\\b"}},
        Case{"HeaderPointsPastTheBlock", L"C:\\a.txt\0\0"s, "", true, 0, 4096, false, {}},
        Case{"Narrow",
             L"",
             "C:\\a.txt\0C:\\b.txt\0\0"s,
             false,
             0,
             0,
             true,
             {"C:\\a.txt", "C:\\b.txt"}},
        Case{"NarrowUnterminated", L"", "C:\\a.txt\0C:\\b"s, false, 0, 0, false, {}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(HdropFiles, DataWithoutAFileListRaisesTheFailureWhenCounted) {
    const win32::HdropFiles none;
    try {
        none.count();
        FAIL() << "a list was read";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), kNoFileList);
    }
}

TEST(HdropFiles, NumbersOutsideTheListAreFailures) {
    const std::wstring names = L"C:\\a.txt\0\0"s;
    const DropBlock block(names.data(), names.size() * sizeof(wchar_t), true, sizeof(DROPFILES),
                          sizeof(DROPFILES));
    const win32::HdropFiles files(block.drop());
    for (const long long k : {0LL, 2LL, -1LL}) {
        try {
            files.file(k);
            FAIL() << k;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), kSubscriptOutOfRange);
        }
    }
}

std::vector<std::pair<HWND, UINT>> filtered;

BOOL WINAPI recordFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT status) {
    EXPECT_EQ(action, static_cast<DWORD>(MSGFLT_ALLOW));
    EXPECT_EQ(status->cbSize, sizeof(CHANGEFILTERSTRUCT));
    filtered.emplace_back(window, message);
    return TRUE;
}

// Run as administrator, the box is no OLE target (a drag from Explorer cannot reach one) and
// takes the list as WM_DROPFILES, let through the filter that keeps lower programs' messages
// out.
TEST(ElevatedDropArea, TakesDropsAsWmDropfilesLetThroughTheMessageFilter) {
    const HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                          nullptr, nullptr, nullptr, nullptr);
    const int dpi = 96;
    win32::PictureBox box(parent, {0, 0, 100, 100}, 1, 0, dpi, true);
    box.setDropMode(DropMode::Manual);
    EXPECT_NE(::GetWindowLongPtrW(box.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    EXPECT_EQ(::RevokeDragDrop(box.hwnd()), DRAGDROP_E_NOTREGISTERED);

    std::vector<std::string> taken;
    box.onDrop = [&](const DroppedFiles& files) { taken.push_back(files.file(1)); };
    const std::wstring names = L"C:\\a b.txt\0\0"s;
    HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(block);
    ::SendMessageW(box.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
    EXPECT_EQ(taken, std::vector<std::string>{"C:\\a b.txt"});

    filtered.clear();
    win32::openToDropsFromBelow(box.hwnd(), recordFilter);
    EXPECT_EQ(filtered,
              (std::vector<std::pair<HWND, UINT>>{
                  {box.hwnd(), WM_DROPFILES}, {box.hwnd(), WM_COPYDATA}, {box.hwnd(), 0x0049}}));
    ::DestroyWindow(parent);
}

}  // namespace
}  // namespace vantrel::test
