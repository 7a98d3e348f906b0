#include "qt/byte_text.h"

namespace vantrel::qt {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at `at`, or 0 where the byte there starts none.
// Overlong forms, surrogates and code points past U+10FFFF are not valid.
std::size_t sequenceAt(const std::string& bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    const std::size_t left = bytes.size() - at;
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(byte(i))) {
            return 0;
        }
    }
    return length;
}

}  // namespace

QString textOfBytes(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t valid = at;
        std::size_t length = 0;
        while (valid < bytes.size() && (length = sequenceAt(bytes, valid)) != 0) {
            valid += length;
        }
        text += QString::fromUtf8(bytes.data() + at, static_cast<qsizetype>(valid - at));
        if (valid < bytes.size()) {
            text += QChar(
                static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[valid])));
            ++valid;
        }
        at = valid;
    }
    return text;
}

std::string bytesOfText(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) { bytes += text.mid(start, end - start).toStdString(); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool paired = i > 0 && text[i - 1].isHighSurrogate();
        if (unit >= kFirstEscape && unit <= kLastEscape && !paired) {
            flush(i);
            bytes += static_cast<char>(unit - kEscapeBase);
            start = i + 1;
        }
    }
    flush(text.size());
    return bytes;
}

}  // namespace vantrel::qt
