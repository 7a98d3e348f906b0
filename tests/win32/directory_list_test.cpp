#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/utf16.h"
#include "support/win32/list_window.h"
#include "win32/directory_list.h"
#include "win32/dpi.h"
#include "win32/folder_glyph.h"
#include "win32/scoped_gdi.h"
#include "win32/win32_helpers.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

constexpr int kDir1 = 102;
constexpr RECT kAt{10, 60, 210, 260};
// The drive that the test run maps to a place that is not there.
constexpr char kNotReadyDrive[] = "y:";

std::string utf8(const fs::path& path) {
    return toUtf8(path.native());
}

// A folder tree of the test's own under the temporary folder, gone afterwards.
class FolderTree {
  public:
    FolderTree() {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        root_ = fs::path(temp) / (L"vantrel lists " + std::to_wstring(::GetCurrentProcessId()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        root_ = fs::canonical(root_);
    }
    ~FolderTree() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;

    const fs::path& root() const { return root_; }

  private:
    fs::path root_;
};

// Where a row sits in the tree: its name and how many levels deep it is drawn.
struct Row {
    std::string name;
    std::size_t indent;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << std::string(row.indent, '>') << row.name;
}

std::vector<Row> rowsOf(HWND list) {
    std::vector<Row> rows;
    for (const std::string& text : listBoxRows(list)) {
        const std::size_t indent = text.find_first_not_of(' ');
        rows.push_back({text.substr(indent), indent});
    }
    return rows;
}

// The rows a folder shows: its drive's root, each folder down to it, then `subfolders`, each
// level `step` blanks further in.
std::vector<Row> expectedRows(const fs::path& folder, const std::vector<std::string>& subfolders,
                              std::size_t step) {
    std::vector<Row> rows{{utf8(folder.root_path()), 0}};
    for (const fs::path& part : folder.relative_path()) {
        rows.push_back({utf8(part), rows.size() * step});
    }
    const std::size_t depth = rows.size();
    for (const std::string& name : subfolders) {
        rows.push_back({name, depth * step});
    }
    return rows;
}

// What a picture shows of the folder glyphs: pixels of each glyph's own colour, and the box
// the glyphs' ink covers.
struct GlyphInk {
    int open = 0;
    int closed = 0;
    RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

// A bitmap of `width` by `height` pixels, white, that `draw` paints into.
GlyphInk inkOf(int width, int height, const std::function<void(HDC, const RECT&)>& draw) {
    const win32::WindowDc screen(nullptr);
    const win32::MemoryDc memory(screen.get());
    const win32::GdiObject bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    const win32::SelectedObject selected(memory.get(), bitmap.get());
    const HDC dc = memory.get();
    const RECT whole{0, 0, width, height};
    ::FillRect(dc, &whole, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    draw(dc, whole);
    GlyphInk ink;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = ::GetPixel(dc, x, y);
            ink.open += pixel == win32::kOpenFolderFront ? 1 : 0;
            ink.closed += pixel == win32::kClosedFolderFill ? 1 : 0;
            if (pixel == win32::kFolderOutline) {
                ink.box = {std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y),
                           std::max<LONG>(ink.box.right, x + 1),
                           std::max<LONG>(ink.box.bottom, y + 1)};
            }
        }
    }
    return ink;
}

// The glyph fills its box at every size it is drawn at, and open and closed differ.
TEST(FolderGlyph, FillsItsBoxAtEveryScale) {
    for (const int size : {16, 20, 24, 32}) {
        for (const bool open : {true, false}) {
            SCOPED_TRACE(testing::Message() << size << " pixels, " << (open ? "open" : "closed"));
            const GlyphInk ink = inkOf(size + 8, size + 8, [&](HDC dc, const RECT&) {
                win32::drawFolderGlyph(dc, RECT{4, 4, 4 + size, 4 + size}, open);
            });
            EXPECT_NEAR(ink.box.left, 4, 1);
            EXPECT_NEAR(ink.box.right, 4 + size, 1);
            EXPECT_NEAR(ink.box.bottom, 4 + size, 1);
            EXPECT_NEAR(ink.box.top, 4 + size / 8, 1);
            EXPECT_EQ(ink.open > 0, open);
            EXPECT_EQ(ink.closed > 0, !open);
        }
    }
}

class DirectoryListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (window.hwnd() == nullptr) {
            GTEST_SKIP() << "no display for the Win32 controls (set DISPLAY)";
        }
        for (const fs::path& folder :
             {top / L"beta", top / L"Alpha" / L"inner", top / L"gamma10", top / L"gamma9",
              top / L"Delta", top / L"\u00dcbers\u00e4tze \u2713", top / L"hidden"}) {
            fs::create_directories(folder);
        }
        std::ofstream(top / L"file.txt") << "not a folder";
        hidden = ::SetFileAttributesW((top / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN) &&
                 (::GetFileAttributesW((top / L"hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0;

        dirs = std::make_unique<win32::Win32DirectoryList>(window.hwnd(), kAt, nullptr, kDir1);
        window.onCommand = [this](WPARAM wParam, LPARAM lParam) {
            return dirs->command(wParam, lParam);
        };
        dirs->setPath(utf8(top));
        dirs->onChange([this] { ++changes; });
    }

    std::vector<std::string> topSubfolders() const {
        std::vector<std::string> names{"Alpha",  "beta",    "Delta",
                                       "gamma9", "gamma10", "\u00dcbers\u00e4tze \u2713"};
        if (!hidden) {
            names.insert(names.begin() + 4, "hidden");
        }
        return names;
    }

    // The indentation step as the list draws it: the first folder below the root.
    std::size_t step() const { return rowsOf(dirs->hwnd()).at(1).indent; }

    int rowNamed(const std::string& name) const {
        const std::vector<Row> rows = rowsOf(dirs->hwnd());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].name == name) {
                return static_cast<int>(i);
            }
        }
        ADD_FAILURE() << "no row " << name;
        return -1;
    }

    void highlight(const std::string& name) {
        ::SendMessageW(dirs->hwnd(), LB_SETCURSEL, static_cast<WPARAM>(rowNamed(name)), 0);
        notifyParent(dirs->hwnd(), LBN_SELCHANGE);
    }

    ListWindow window;
    FolderTree tree;
    const fs::path& top = tree.root();
    bool hidden = false;
    std::unique_ptr<win32::Win32DirectoryList> dirs;
    int changes = 0;
};

TEST_F(DirectoryListTest, ShowsTheOpenFoldersThenTheSubfoldersSorted) {
    EXPECT_EQ(dirs->path(), utf8(top));
    ASSERT_GT(step(), 0u);
    EXPECT_EQ(rowsOf(dirs->hwnd()), expectedRows(top, topSubfolders(), step()));
    EXPECT_EQ(::SendMessageW(dirs->hwnd(), LB_GETCURSEL, 0, 0),
              static_cast<LRESULT>(expectedRows(top, {}, step()).size() - 1))
        << "the current folder is the one highlighted";
    if (!hidden) {
        std::cout << "[   NOTE   ] no hidden attribute on this file system\n";
    }
}

// Each folder of the path is drawn open and each subfolder closed, one indent further per
// level, whether highlighted or not.
TEST_F(DirectoryListTest, DrawsAnOpenFolderPerLevelAndAClosedOnePerSubfolder) {
    dirs->setPath(utf8(top / L"Alpha"));
    const std::vector<Row> rows = rowsOf(dirs->hwnd());
    const auto current = static_cast<std::size_t>(::SendMessageW(dirs->hwnd(), LB_GETCURSEL, 0, 0));
    ASSERT_EQ(current + 2, rows.size()) << "the path's folders, then the one subfolder";
    const int dpi = win32::windowDpi(dirs->hwnd());
    const int height = static_cast<int>(::SendMessageW(dirs->hwnd(), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_GE(height, ::MulDiv(16, dpi, 96)) << "a row holds its glyph";
    for (std::size_t index = 0; index < rows.size(); ++index) {
        for (const UINT state : {0u, static_cast<UINT>(ODS_SELECTED | ODS_FOCUS)}) {
            SCOPED_TRACE(testing::Message() << "row " << rows[index].name << " state " << state);
            const GlyphInk ink = inkOf(200, height, [&](HDC dc, const RECT& whole) {
                DRAWITEMSTRUCT item{ODT_LISTBOX,
                                    kDir1,
                                    static_cast<UINT>(index),
                                    ODA_DRAWENTIRE,
                                    state,
                                    dirs->hwnd(),
                                    dc,
                                    whole,
                                    0};
                ::SendMessageW(dirs->hwnd(), win32::kDrawOwnItem, 0,
                               reinterpret_cast<LPARAM>(&item));
            });
            const bool open = index <= current;
            EXPECT_EQ(ink.open > 0, open);
            EXPECT_EQ(ink.closed > 0, !open);
            const int depth = static_cast<int>(rows[index].indent / step());
            EXPECT_NEAR(ink.box.left, depth * ::MulDiv(8, dpi, 96), 1);
        }
    }
}

TEST_F(DirectoryListTest, StartsAtTheCurrentFolder) {
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryW((top / L"Alpha").c_str()));
    const win32::Win32DirectoryList fresh(window.hwnd(), kAt, nullptr, kDir1 + 1);
    ::SetCurrentDirectoryW(current);
    EXPECT_EQ(fresh.path(), utf8(top / L"Alpha"));
    EXPECT_EQ(rowsOf(fresh.hwnd()), expectedRows(top / L"Alpha", {"inner"}, step()));
}

// Opening is a double-click or Enter on a row; either one opens the folder exactly once.
TEST_F(DirectoryListTest, OpeningARowMakesItTheCurrentFolder) {
    const std::function<void(HWND)> doubleClick = [](HWND list) { notifyParent(list, LBN_DBLCLK); };
    const std::function<void(HWND)> enter = [](HWND list) {
        ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
        ::SendMessageW(list, WM_CHAR, L'\r', 0);
        ::SendMessageW(list, WM_KEYUP, VK_RETURN, 0);
    };
    const struct {
        const char* how;
        std::function<void(HWND)> open;
        std::string row;
        fs::path opened;
        std::vector<std::string> subfolders;
    } cases[] = {
        {"double-click a subfolder", doubleClick, "Alpha", top / L"Alpha", {"inner"}},
        {"Enter on a subfolder", enter, "beta", top / L"beta", {}},
        {"Enter on a name beyond ASCII",
         enter,
         "\u00dcbers\u00e4tze \u2713",
         top / L"\u00dcbers\u00e4tze \u2713",
         {}},
        {"double-click the parent",
         doubleClick,
         utf8(top.parent_path().filename()),
         top.parent_path(),
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        dirs->setPath(utf8(top));
        changes = 0;
        highlight(c.row);
        c.open(dirs->hwnd());
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(dirs->path(), utf8(c.opened));
        if (c.opened != top.parent_path()) {
            EXPECT_EQ(rowsOf(dirs->hwnd()), expectedRows(c.opened, c.subfolders, step()));
        }
    }
}

TEST_F(DirectoryListTest, OpeningTheCurrentFolderAgainIsNoChange) {
    highlight(utf8(top.filename()));
    notifyParent(dirs->hwnd(), LBN_DBLCLK);
    dirs->setPath(utf8(top));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(dirs->path(), utf8(top));
}

TEST_F(DirectoryListTest, HighlightingARowOpensNothing) {
    const std::vector<Row> before = rowsOf(dirs->hwnd());
    highlight("beta");
    ::SendMessageW(dirs->hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    notifyParent(dirs->hwnd(), LBN_SELCHANGE);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(dirs->path(), utf8(top));
    EXPECT_EQ(rowsOf(dirs->hwnd()), before);
}

// What cannot be opened raises a Failure and leaves the list as it was.
TEST_F(DirectoryListTest, AFolderThatCannotBeOpenedChangesNothing) {
    const struct {
        const char* what;
        std::string path;
        int number;
    } cases[] = {
        {"a missing folder", utf8(top / L"missing"), kPathNotFound},
        {"inside a missing folder", utf8(top / L"missing" / L"deeper"), kPathNotFound},
        {"a file", utf8(top / L"file.txt"), kPathFileAccessError},
        {"no path at all", "", 0},
        {"text that is not UTF-8", utf8(top) + "\\\xff\xfe", 0},
    };
    const std::vector<Row> before = rowsOf(dirs->hwnd());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            dirs->setPath(c.path);
            ADD_FAILURE() << "no failure for " << c.path;
        } catch (const Failure& failure) {
            if (c.number != 0) {
                EXPECT_EQ(failure.number(), c.number) << failure.reason();
            }
            EXPECT_FALSE(failure.reason().empty());
        }
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(dirs->path(), utf8(top));
        EXPECT_EQ(rowsOf(dirs->hwnd()), before);
    }
}

TEST_F(DirectoryListTest, ADriveThatIsNotReadyChangesNothing) {
    const std::wstring root = toUtf16(std::string(kNotReadyDrive) + "\\");
    if (::GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR ||
        ((::GetLogicalDrives() >> (std::towlower(root[0]) - L'a')) & 1) == 0) {
        GTEST_SKIP() << kNotReadyDrive
                     << " is not a drive whose place is missing; under Wine: "
                        "ln -s /nonexistent \"$WINEPREFIX/dosdevices/"
                     << kNotReadyDrive << "\"";
    }
    for (const std::string& text :
         {std::string(kNotReadyDrive), std::string(kNotReadyDrive) + "\\"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(dirs->setPath(text), Failure);
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(dirs->path(), utf8(top));
    }
}

// A drive as the drive list shows it opens the current folder of that drive.
TEST_F(DirectoryListTest, ADrivesTextOpensItsCurrentFolder) {
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryW((top / L"beta").c_str()));
    const std::string letter{static_cast<char>(std::towlower(top.native()[0])), ':'};
    for (const std::string& text : {letter, letter + " [Some Label]", letter + " []"}) {
        SCOPED_TRACE(text);
        dirs->setPath(utf8(top));
        changes = 0;
        dirs->setPath(text);
        EXPECT_EQ(dirs->path(), utf8(top / L"beta"));
        EXPECT_EQ(changes, 1);
    }
    ::SetCurrentDirectoryW(current);
}

// The system keeps a current folder for each drive other than the current one in "=X:". One
// that has gone since leaves the drive usable: its root opens.
TEST_F(DirectoryListTest, ADriveWhoseCurrentFolderHasGoneOpensAtItsRoot) {
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    const wchar_t letter = static_cast<wchar_t>(std::towupper(top.native()[0]));
    if (std::towupper(current[0]) == letter) {
        GTEST_SKIP() << "the temporary folder is on the current drive";
    }
    const std::wstring variable{L'=', letter, L':'};
    const fs::path gone = top / L"gone";
    fs::create_directory(gone);
    ASSERT_TRUE(::SetEnvironmentVariableW(variable.c_str(), gone.c_str()));
    const std::string drive{static_cast<char>(std::towlower(letter)), ':'};

    dirs->setPath(drive);
    EXPECT_EQ(dirs->path(), utf8(gone));
    fs::remove(gone);
    dirs->setPath(utf8(top));
    dirs->setPath(drive);
    EXPECT_EQ(dirs->path(), utf8(top.root_path()));
    ::SetEnvironmentVariableW(variable.c_str(), nullptr);
}

TEST_F(DirectoryListTest, FolderPathsInOtherSpellingsOpenTheSameFolder) {
    const std::string beta = utf8(top / L"beta");
    for (const std::string& text :
         {beta + "\\", beta + "\\.", utf8(top / L"Alpha" / L".." / L"beta"), "\\\\?\\" + beta}) {
        SCOPED_TRACE(text);
        dirs->setPath(text);
        EXPECT_EQ(dirs->path(), beta);
    }
    EXPECT_EQ(changes, 1);
}

// Folders deeper than the classic limit of 260 characters are listed and opened too.
TEST_F(DirectoryListTest, FoldersBeyondTheClassicPathLimitOpen) {
    // Made and removed the long way: the test's own helpers have the classic limit.
    std::vector<std::wstring> made;
    fs::path deep = top;
    std::wstring extended = L"\\\\?\\" + top.native();
    for (int level = 0; level < 6; ++level) {
        const std::wstring name = std::to_wstring(level) + std::wstring(60, L'd');
        extended += L'\\' + name;
        made.push_back(extended);
        deep /= name;
    }
    made.push_back(extended + L"\\last");
    for (const std::wstring& folder : made) {
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr)) << ::GetLastError();
    }
    ASSERT_GT(deep.native().size(), static_cast<std::size_t>(MAX_PATH));

    dirs->setPath(utf8(deep));
    EXPECT_EQ(dirs->path(), utf8(deep));
    EXPECT_EQ(rowsOf(dirs->hwnd()), expectedRows(deep, {"last"}, step()));

    highlight("last");
    notifyParent(dirs->hwnd(), LBN_DBLCLK);
    EXPECT_EQ(dirs->path(), utf8(deep / L"last"));
    EXPECT_EQ(changes, 2);
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder) {
        ::RemoveDirectoryW(folder->c_str());
    }
}

// A folder that went away before the user opened it: the guard hears why, nothing changes.
TEST_F(DirectoryListTest, AFolderGoneBeforeItIsOpenedChangesNothing) {
    const std::vector<Row> before = rowsOf(dirs->hwnd());
    fs::remove(top / L"beta");
    std::vector<int> failures;
    for (const bool guarded : {false, true}) {
        SCOPED_TRACE(guarded ? "guarded" : "unguarded");
        if (guarded) {
            dirs->setOpenGuard([&failures](const std::function<void()>& open) {
                try {
                    open();
                } catch (const Failure& failure) {
                    failures.push_back(failure.number());
                }
            });
        }
        highlight("beta");
        notifyParent(dirs->hwnd(), LBN_DBLCLK);
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(dirs->path(), utf8(top));
        EXPECT_EQ(rowsOf(dirs->hwnd()), before);
    }
    EXPECT_EQ(failures, std::vector<int>{kPathNotFound});
}

}  // namespace
}  // namespace vantrel::test
