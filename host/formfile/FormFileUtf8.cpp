#include "FormFileUtf8.h"
#include "FormFile.h"

namespace kxhost::formfile {

namespace {

int LineAt(const unsigned char* p, size_t offset) {
    int line = 1;
    for (size_t i = 0; i < offset; ++i) {
        if (p[i] == '\n') ++line;
    }
    return line;
}

[[noreturn]] void Bad(const unsigned char* p, size_t at, const std::wstring& source) {
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring byte = L"0x";
    byte += hex[p[at] >> 4];
    byte += hex[p[at] & 15];
    throw FormFileError(source, LineAt(p, at),
                        L"invalid UTF-8: expected a valid UTF-8 sequence at byte offset " + std::to_wstring(at) +
                            L", found byte " + byte);
}

void Append(std::wstring& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<wchar_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    }
}

} // namespace

std::wstring DecodeUtf8(const char* bytes, size_t size, const std::wstring& sourceName) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    size_t i = 0;
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) i = 3;
    std::wstring out;
    out.reserve(size);
    while (i < size) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra;
        char32_t cp, min;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            cp = b & 0x1F;
            min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            cp = b & 0x0F;
            min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            cp = b & 0x07;
            min = 0x10000;
        } else Bad(p, i, sourceName);
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= size || (p[i + k] & 0xC0) != 0x80) Bad(p, i, sourceName);
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) Bad(p, i, sourceName);
        Append(out, cp);
        i += extra + 1;
    }
    return out;
}

std::string EncodeUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace kxhost::formfile
