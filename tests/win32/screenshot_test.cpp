#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_fixture.h"
#include "win32/progress_repainter.h"
#include "win32/scoped_gdi.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

struct Colour {
    int red;
    int green;
    int blue;

    bool operator==(const Colour&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Colour& c) {
    return out << "rgb(" << c.red << "," << c.green << "," << c.blue << ")";
}

// The window's client area as the screen shows it, read back through GDI.
class Capture {
  public:
    explicit Capture(HWND window) {
        RECT client;
        ::GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        header_ = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
        const win32::WindowDc screen(window);
        const win32::MemoryDc memory(screen.get());
        BITMAPINFO info{};
        info.bmiHeader = header_;
        void* bits = nullptr;
        const win32::GdiObject bitmap(
            ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const win32::SelectedObject selected(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width_, height_, screen.get(), 0, 0, SRCCOPY);
        ::GdiFlush();
        std::memcpy(pixels_.data(), bits, pixels_.size() * sizeof(std::uint32_t));
    }

    Colour at(int x, int y) const {
        const std::uint32_t pixel =
            pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                    static_cast<std::size_t>(x)];
        return {static_cast<int>((pixel >> 16) & 0xff), static_cast<int>((pixel >> 8) & 0xff),
                static_cast<int>(pixel & 0xff)};
    }

    // As a BMP file, for a person to look at.
    void save(const fs::path& file) const {
        const auto bytes = static_cast<DWORD>(pixels_.size() * sizeof(std::uint32_t));
        const auto headers =
            static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
        const BITMAPFILEHEADER head{0x4d42, headers + bytes, 0, 0, headers};
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&head), sizeof head);
        out.write(reinterpret_cast<const char*>(&header_), sizeof header_);
        // Opaque, for viewers that honour the fourth byte.
        std::vector<std::uint32_t> opaque = pixels_;
        for (std::uint32_t& pixel : opaque) {
            pixel |= 0xff000000U;
        }
        out.write(reinterpret_cast<const char*>(opaque.data()), bytes);
    }

  private:
    int width_;
    int height_;
    BITMAPINFOHEADER header_;
    std::vector<std::uint32_t> pixels_;
};

// Where a person finds the capture: next to the test program, in the build folder.
fs::path besideTheProgram(const std::wstring& name) {
    std::wstring program(MAX_PATH, L'\0');
    program.resize(::GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
    return fs::path(program).parent_path() / name;
}

// Lets everything waiting be painted, as a message loop would.
void paintNow(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool looksLike(const Colour& c, int red, int green, int blue) {
    const int tolerance = 64;
    return std::abs(c.red - red) < tolerance && std::abs(c.green - green) < tolerance &&
           std::abs(c.blue - blue) < tolerance;
}

// The bar's back shape and the progress caption, in pixels of the window's client area.
const RECT kBarBack = pixels(expected::Rect{360, 6840, 8055, 255});
const RECT kCaption = pixels(expected::Rect{2280, 6840, 3735, 255});
constexpr Colour kBackground{224, 224, 224};
constexpr Colour kFill{128, 128, 255};
constexpr Colour kBlack{0, 0, 0};

// The window as painted, read a few pixels at a time: the progress bar before and while a run
// fills it, and the drop area's picture.
TEST(Screenshot, TheBarAndThePictureAreOnScreen) {
    VANTREL_NEEDS_WINDOWS();
    win32::ProgressRepainter painter;
    Window window(painter);
    const HWND form = window.form.hwnd();
    painter.watch(form, window.form.progressArea());
    window.open();
    ::SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    pumpMessages(window.form);
    paintNow(form);

    const int middle = (kBarBack.top + kBarBack.bottom) / 2;
    const int clearOfCaption = (kCaption.right + kBarBack.right) / 2;
    ASSERT_LT(kCaption.right, clearOfCaption);
    const int fillAt = kBarBack.left + 4;
    ASSERT_LT(fillAt, kCaption.left);
    {
        const Capture before(form);
        EXPECT_EQ(before.at(clearOfCaption, middle), kBackground);
        EXPECT_EQ(before.at(fillAt, middle), kBackground) << "the bar is empty before a run";
        EXPECT_EQ(before.at(kBarBack.left, middle), kBlack);
        EXPECT_EQ(before.at(kBarBack.right - 1, middle), kBlack);
        // The list's frame reaches a pixel into the bar and hides its top line.
        EXPECT_EQ(before.at(clearOfCaption, kBarBack.bottom - 1), kBlack);

        // The picture from the inner top-left corner of the drop area: four small squares,
        // black, cyan, magenta, yellow, above white sheets.
        POINT origin{0, 0};
        ::MapWindowPoints(window.child("Picture1"), form, &origin, 1);
        const auto picture = [&](int x, int y) { return before.at(origin.x + x, origin.y + y); };
        EXPECT_TRUE(looksLike(picture(9, 9), 0, 0, 0)) << picture(9, 9);
        EXPECT_TRUE(looksLike(picture(18, 9), 0, 255, 255)) << picture(18, 9);
        EXPECT_TRUE(looksLike(picture(27, 9), 255, 0, 255)) << picture(27, 9);
        EXPECT_TRUE(looksLike(picture(36, 9), 255, 255, 0)) << picture(36, 9);
        EXPECT_EQ(picture(60, 80), (Colour{255, 255, 255}));
    }

    // One file, three copies, of which the second is there already: the run stops at its
    // question with a third of the bar filled.
    const TemporaryFolder work;
    const fs::path source = work.path() / "a.txt";
    std::ofstream(source, std::ios::binary) << "bytes";
    const fs::path destination = work.path() / "out";
    fs::create_directory(destination);
    std::ofstream(destination / "a(2).txt", std::ios::binary) << "there";
    window.addRow(toUtf8(source.native()), "3");
    window.controls().SaveTo.setText(toUtf8(destination.native()));

    bool looked = false;
    window.messageBox.whileShown = [&](const std::string& text) {
        ASSERT_EQ(text, expected::replacePrompt("a(2).txt"));
        looked = true;
        // Nothing here runs the window's paints: what shows is what the run painted itself.
        const Capture during(form);
        during.save(besideTheProgram(L"win32_window_during_a_run.bmp"));
        EXPECT_EQ(during.at(fillAt, middle), kFill);
        EXPECT_EQ(during.at(kBarBack.left, middle), kBlack);
        EXPECT_EQ(during.at(clearOfCaption, middle), kBackground);
    };
    window.messageBox.script({Answer::Cancel});
    ::SendMessageW(window.child("ReplicateBtn"), BM_CLICK, 0, 0);
    window.messageBox.whileShown = nullptr;
    EXPECT_TRUE(looked);

    // Cancelled, the bar is empty again on screen.
    pumpMessages(window.form);
    paintNow(form);
    const Capture after(form);
    EXPECT_EQ(after.at(fillAt, middle), kBackground);
}

}  // namespace
// The fill grows in many steps during a long copy; each step shows one bar, with no outline left
// behind where an earlier step ended.
TEST(Screenshot, AGrowingFillLeavesNoEdgesOfItsEarlierWidths) {
    VANTREL_NEEDS_WINDOWS();
    win32::ProgressRepainter painter;
    Window window(painter);
    const HWND form = window.form.hwnd();
    window.open();
    ::SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    pumpMessages(window.form);
    paintNow(form);

    const double widths[] = {600, 1200, 1800};
    for (const double width : widths) {
        window.controls().ShapeProgress.setWidth(width);
        paintNow(form);
    }
    const Capture grown(form);
    const int middle = (kBarBack.top + kBarBack.bottom) / 2;
    for (const double earlier : {widths[0], widths[1]}) {
        const int end = pixels(expected::Rect{360, 6840, earlier, 255}).right;
        for (int x = end - 3; x < end; ++x) {
            EXPECT_EQ(grown.at(x, middle), kFill)
                << "at x " << x << ", where the fill ended at " << earlier << " twips";
        }
    }
    const int end = pixels(expected::Rect{360, 6840, widths[2], 255}).right;
    EXPECT_EQ(grown.at(end - 1, middle), kBlack) << "the fill's own outline";
}

}  // namespace vantrel::test
