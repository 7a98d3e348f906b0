#include "win32/folder_glyph.h"

#include <algorithm>
#include <array>

#include "win32/scoped_gdi.h"

namespace vantrel::win32 {

namespace {

// The glyph is drawn on a grid of 16 by 16 cells stretched over the box, so that it keeps its
// shape at every scale.
constexpr int kGrid = 16;

template <std::size_t N>
void polygon(HDC dc, const RECT& box, const std::array<POINT, N>& cells, COLORREF fill) {
    const int size = box.right - box.left;
    std::array<POINT, N> points{};
    std::ranges::transform(cells, points.begin(), [&](const POINT& cell) {
        return POINT{box.left + ::MulDiv(cell.x, size, kGrid),
                     box.top + ::MulDiv(cell.y, size, kGrid)};
    });
    const GdiObject brush(::CreateSolidBrush(fill));
    const GdiObject pen(::CreatePen(PS_SOLID, std::max(1, size / kGrid), kFolderOutline));
    const SelectedObject brushSelected(dc, brush.get());
    const SelectedObject penSelected(dc, pen.get());
    ::Polygon(dc, points.data(), static_cast<int>(N));
}

}  // namespace

void drawFolderGlyph(HDC dc, const RECT& box, bool open) {
    // The back with its tab, then for an open folder the front flap lifted off it.
    polygon(dc, box, std::array<POINT, 6>{{{0, 2}, {6, 2}, {7, 4}, {15, 4}, {15, 15}, {0, 15}}},
            open ? kOpenFolderBack : kClosedFolderFill);
    if (open) {
        polygon(dc, box, std::array<POINT, 4>{{{3, 8}, {15, 8}, {12, 15}, {0, 15}}},
                kOpenFolderFront);
    }
}

}  // namespace vantrel::win32
