#include "platform/wtf8.h"

#include <cstdint>

namespace vantrel::wtf8 {

namespace {

bool isLead(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isTrail(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void append(std::string& out, char32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

}  // namespace

std::string fromUtf16(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (isLead(unit) && i + 1 < units.size() && isTrail(units[i + 1])) {
            append(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            append(out, unit);
        }
    }
    return out;
}

std::optional<std::u16string> toUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto first = static_cast<std::uint8_t>(bytes[i]);
        std::size_t length = 0;
        char32_t point = 0;
        char32_t least = 0;
        if (first < 0x80) {
            length = 1;
            point = first;
        } else if (first >= 0xC2 && first <= 0xDF) {
            length = 2;
            point = first & 0x1F;
            least = 0x80;
        } else if (first >= 0xE0 && first <= 0xEF) {
            length = 3;
            point = first & 0x0F;
            least = 0x800;
        } else if (first >= 0xF0 && first <= 0xF4) {
            length = 4;
            point = first & 0x07;
            least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i < length) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            point = (point << 6) | (next & 0x3F);
        }
        // Overlong forms would give one name two spellings.
        if (point < least || point > 0x10FFFF) {
            return std::nullopt;
        }
        if (point >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(point);
        }
        i += length;
    }
    return out;
}

}  // namespace vantrel::wtf8
