#include "core/text/encodings.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zek {

namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252; the five bytes without a character
// keep the C1 control of the same number, as the Windows conversion does.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::size_t utf8Sequence(std::string_view s, std::size_t pos, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t min = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > s.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(pos + i) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool isValidUtf8(std::string_view bytes) {
    char32_t code = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = utf8Sequence(bytes, pos, code);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string utf8Prefix(std::string_view text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if ((static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
            if (chars == maxChars)
                return std::string(text.substr(0, pos));
            ++chars;
        }
    }
    return std::string(text);
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, (b >= 0x80 && b < 0xA0) ? kWindows1252High[b - 0x80] : char32_t(b));
    }
    return out;
}

std::optional<std::string> utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char32_t code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = utf8Sequence(text, pos, code);
        if (length == 0)
            return std::nullopt;
        pos += length;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += char(code);
            continue;
        }
        bool found = false;
        for (std::size_t i = 0; i < kWindows1252High.size() && !found; ++i) {
            if (kWindows1252High[i] == code) {
                out += char(0x80 + i);
                found = true;
            }
        }
        if (!found)
            return std::nullopt;
    }
    return out;
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::optional<std::string> textToLatin1(std::string_view text) {
    if (!isValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    char32_t code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        pos += utf8Sequence(text, pos, code);
        if (code > 0xFF)
            return std::nullopt;
        out += char(code);
    }
    return out;
}

namespace {

bool isControl(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

void appendHexEscape(std::string& out, unsigned value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[(value >> 4) & 0xF];
    out += kDigits[value & 0xF];
}

} // namespace

std::string visibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char32_t code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = utf8Sequence(text, pos, code);
        if (length == 0 || isControl(code)) {
            appendHexEscape(out, length == 0 ? static_cast<unsigned char>(text[pos]) : unsigned(code));
            pos += std::max<std::size_t>(length, 1);
            continue;
        }
        if (code == '\\')
            out += '\\';
        out += text.substr(pos, length);
        pos += length;
    }
    return out;
}

std::string unescapeVisible(std::string_view text) {
    const auto hex = [](char c) {
        const auto at = std::string_view("0123456789abcdef").find(char(c | 0x20));
        return at == std::string_view::npos ? -1 : int(at);
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && hex(text[i + 2]) >= 0 &&
                   hex(text[i + 3]) >= 0) {
            appendUtf8(out, char32_t(hex(text[i + 2]) * 16 + hex(text[i + 3])));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string quotedText(std::string_view text, std::size_t maxChars) {
    const std::string head = utf8Prefix(text, maxChars);
    std::string out = "'" + visibleText(head) + "'";
    if (head.size() < text.size())
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

bool hasControlCharacter(std::string_view latin1) {
    for (const char c : latin1)
        if (isControl(static_cast<unsigned char>(c)))
            return true;
    return false;
}

} // namespace zek
