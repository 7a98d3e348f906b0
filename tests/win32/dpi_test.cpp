#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_probe.h"

namespace vantrel::test {
namespace {

// The screen's DPI in this run: 96, unless the run set the prefix's LogPixels and says so.
int dpiOfRun() {
    const char* dpi = std::getenv("VANTREL_TEST_DPI");
    return dpi != nullptr ? std::atoi(dpi) : 96;
}

double scaled(double twips, int dpi) {
    return twips * dpi / 1440.0;
}

// How a caption comes out in a font: the rows its ink covers, and the face and weight the
// system really drew it with.
struct Set {
    int ink = 0;
    std::wstring face;
    LONG weight = 0;
};

// Sets the caption black on white on one line in a bitmap of its own.
Set set(HFONT font, const std::wstring& caption) {
    constexpr int kSide = 1000;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const win32::MemoryDc memory;
    const HDC dc = memory.get();
    const win32::GdiObject bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win32::SelectedObject bitmapSelected(dc, bitmap.get());
    const win32::SelectedObject fontSelected(dc, font);
    RECT all{0, 0, kSide, kSide};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    RECT box{0, 0, kSide, kSide};
    ::DrawTextW(dc, caption.c_str(), -1, &box, DT_NOPREFIX | DT_SINGLELINE);
    ::GdiFlush();

    Set result;
    const auto* pixel = static_cast<const DWORD*>(bits);
    int first = kSide;
    int last = -1;
    for (int row = 0; row < kSide; ++row) {
        if (std::any_of(pixel + row * kSide, pixel + (row + 1) * kSide,
                        [](DWORD colour) { return (colour & 0xFFFFFF) != 0xFFFFFF; })) {
            first = std::min(first, row);
            last = row;
        }
    }
    result.ink = last - first + 1;
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    result.face = face;
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    result.weight = metrics.tmWeight;
    return result;
}

// The window's font at 96 dpi, to compare the ink of a larger scale with.
Set setAt96Dpi(const expected::Control& control, const std::wstring& caption) {
    LOGFONTW look{};
    look.lfHeight = -11;
    look.lfWeight = control.bold ? FW_BOLD : FW_NORMAL;
    look.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(look.lfFaceName, L"MS Sans Serif");
    const win32::GdiObject font(::CreateFontIndirectW(&look));
    return set(font.get(), caption);
}

class DpiTest : public testing::Test {
  protected:
    void SetUp() override {
        VANTREL_NEEDS_WINDOWS();
        probe_.emplace();
        window_ = probe_->window.get();
        window_->open();
        window_->addRow("C:\\one.txt", "1");
        window_->addRow("C:\\two.txt", "2");
        // The progress bar partly filled, as during a run.
        window_->controls().ShapeProgress.setWidth(3000);
        pumpMessages(window_->form);
    }

    // As if the system moved the window to a monitor of `dpi`: it suggests a frame whose
    // client area holds the layout at that scale.
    void changeDpiTo(int dpi) {
        RECT suggested{100, 50,
                       100 + static_cast<int>(std::lround(scaled(expected::kFormWidth, dpi))),
                       50 + static_cast<int>(std::lround(scaled(expected::kFormHeight, dpi)))};
        ::AdjustWindowRectEx(&suggested, WS_OVERLAPPEDWINDOW, FALSE, 0);
        ::SendMessageW(window_->form.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        pumpMessages(window_->form);
        RECT frame;
        ::GetWindowRect(window_->form.hwnd(), &frame);
        EXPECT_TRUE(::EqualRect(&frame, &suggested)) << "the suggested frame at " << dpi;
    }

    // Every control where its twips fall at `dpi`, within a pixel, with the face of that scale
    // and the layout's weight, its caption inside it and, above 96 dpi, taller than at 96.
    void expectLaidOutAt(int dpi) {
        const std::wstring face = dpi > 96 ? L"Tahoma" : L"MS Sans Serif";
        for (const expected::Control& control : expected::controls()) {
            const HWND hwnd = window_->child(control.name);
            if (hwnd == nullptr) {
                continue;
            }
            SCOPED_TRACE(control.name + " at " + std::to_string(dpi) + " dpi");
            expectPlaced(hwnd, currentRect(control), dpi);
            const auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
            if (control.caption.empty() || font == nullptr) {
                continue;
            }
            const std::wstring caption = toUtf16(control.caption);
            const Set drawn = set(font, caption);
            EXPECT_EQ(drawn.face, face);
            EXPECT_EQ(drawn.weight, control.bold ? FW_BOLD : FW_NORMAL);
            if (dpi > 96) {
                EXPECT_GT(drawn.ink, setAt96Dpi(control, caption).ink);
            }
        }
        conformance::expectCaptionsFit(*probe_);
        const HWND path = window_->form.pathEditor(2);
        ASSERT_NE(path, nullptr);
        SCOPED_TRACE("the path box of row 2");
        expected::Rect row = expected::kPathTemplate;
        row.top = 180 + row.height;
        expectPlaced(path, row, dpi);
    }

    // The layout's place, with what the logic has changed since.
    expected::Rect currentRect(const expected::Control& control) const {
        const Form1Controls& controls = window_->controls();
        expected::Rect rect = control.rect;
        if (control.name == "FrameSlide" || control.name == "FrameFix") {
            const Frame& frame =
                control.name == "FrameSlide" ? controls.FrameSlide : controls.FrameFix;
            rect.top = frame.top();
            rect.height = frame.height();
        } else if (control.name == "ShapeProgress") {
            rect.width = controls.ShapeProgress.width();
        }
        return rect;
    }

    static void expectPlaced(HWND hwnd, const expected::Rect& rect, int dpi) {
        const RECT place = placeOf(hwnd);
        EXPECT_NEAR(place.left, scaled(rect.left, dpi), 1);
        EXPECT_NEAR(place.top, scaled(rect.top, dpi), 1);
        EXPECT_NEAR(place.right, scaled(rect.left + rect.width, dpi), 1);
        EXPECT_NEAR(place.bottom, scaled(rect.top + rect.height, dpi), 1);
    }

    std::optional<Win32WindowProbe> probe_;
    Window* window_ = nullptr;
};

TEST_F(DpiTest, StartsAtTheScreensDpi) {
    ASSERT_EQ(win32::screenDpi(), dpiOfRun());
    expectLaidOutAt(dpiOfRun());
    RECT client;
    ::GetClientRect(window_->form.hwnd(), &client);
    EXPECT_NEAR(client.right, scaled(expected::kFormWidth, dpiOfRun()), 1);
    EXPECT_NEAR(client.bottom, scaled(expected::kFormHeight, dpiOfRun()), 1);
}

// Run on a screen of 96 dpi: the system holds MS Sans Serif for its own DPI alone.
TEST_F(DpiTest, FollowsTheMonitorsDpi) {
    for (const int dpi : {144, 96, 144}) {
        changeDpiTo(dpi);
        expectLaidOutAt(dpi);
    }
}

}  // namespace
}  // namespace vantrel::test
