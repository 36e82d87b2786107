#include "codepage.h"
#include "utf8_append.h"

#include "errhandlingapi.h"
#include "winerror.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <type_traits>

namespace {

// The host's ANSI code page and the user's number separators: system-wide
// settings on Windows, so one process-wide record here.
struct SystemLocale {
    std::atomic<UINT> ansiCodePage{CP_UTF8};
    std::atomic<WCHAR> decimalSeparator{u'.'};
    std::atomic<WCHAR> thousandSeparator{u','};
};

SystemLocale& Locale()
{
    static SystemLocale locale;
    return locale;
}

// Upper halves (0x80-0xFF) of the Windows single-byte tables. Windows maps the
// few unassigned bytes to the C1 control of the same value, so decoding never
// fails for these code pages.
constexpr std::array<char16_t, 128> kCp1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152,
    0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
    0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0,
    0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD,
    0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA,
    0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4,
    0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF};

constexpr std::array<char16_t, 128> kCp1250 = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

const std::array<char16_t, 128>* SingleByteTable(UINT codePage)
{
    if (codePage == 1252)
        return &kCp1252;
    if (codePage == 1250)
        return &kCp1250;
    return nullptr;
}

UINT Resolve(UINT codePage) { return codePage == CP_ACP ? GetACP() : codePage; }

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

// Where a conversion puts its units. The callers ask twice, for the size and
// then for the text, on every automation call that carries one: the units
// go straight to the caller's buffer (or are only counted when it gives
// none) instead of through a string of their own.
template <class Unit>
class UnitSink {
public:
    UnitSink(Unit* buffer, int capacity) : buffer_(buffer), capacity_(static_cast<std::size_t>(capacity)) {}
    void Put(Unit unit)
    {
        if (size_ < capacity_)
            buffer_[size_] = unit;
        ++size_;
    }
    // A run of ASCII, the most common text by far, in one step.
    template <class In>
    void PutAscii(const In* in, std::size_t count)
    {
        if (size_ < capacity_) {
            const std::size_t room = std::min(count, capacity_ - size_);
            Unit* to = buffer_ + size_;
            for (std::size_t i = 0; i < room; ++i)
                to[i] = static_cast<Unit>(in[i]);
        }
        size_ += count;
    }
    std::size_t Size() const { return size_; }

private:
    Unit* buffer_;
    std::size_t capacity_;
    std::size_t size_ = 0;
};

// How many units from the start of `in` are ASCII.
template <class In>
std::size_t AsciiRun(const In* in, std::size_t size)
{
    std::size_t i = 0;
    while (i < size && static_cast<std::make_unsigned_t<In>>(in[i]) < 0x80)
        ++i;
    return i;
}

// Decodes UTF-8 into `out`; returns false on an invalid sequence when
// `strict`, otherwise puts U+FFFD for each maximal invalid subpart.
bool DecodeUtf8(const unsigned char* in, std::size_t size, bool strict, UnitSink<char16_t>& out)
{
    std::size_t i = 0;
    while (i < size) {
        if (in[i] < 0x80) {
            const std::size_t run = AsciiRun(in + i, size - i);
            out.PutAscii(in + i, run);
            i += run;
            continue;
        }
        unsigned char c = in[i];
        int extra = 0;
        char32_t cp = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
            if (c == 0xE0)
                lo = 0xA0;
            if (c == 0xED)
                hi = 0x9F; // no encoded surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
            if (c == 0xF0)
                lo = 0x90;
            if (c == 0xF4)
                hi = 0x8F;
        } else {
            if (strict)
                return false;
            out.Put(0xFFFD);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            unsigned char b = j < size ? in[j] : 0;
            unsigned char bl = k == 0 ? lo : 0x80, bh = k == 0 ? hi : 0xBF;
            if (j >= size || b < bl || b > bh) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok) {
            if (strict)
                return false;
            out.Put(0xFFFD);
            i = j; // skip the maximal subpart
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.Put(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.Put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.Put(static_cast<char16_t>(cp));
        }
        i = j;
    }
    return true;
}

bool EncodeUtf8(const char16_t* in, std::size_t size, bool strict, UnitSink<char>& out)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (in[i] < 0x80) {
            const std::size_t run = AsciiRun(in + i, size - i);
            out.PutAscii(in + i, run);
            i += run - 1;
            continue;
        }
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < size && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            if (strict)
                return false;
            cp = 0xFFFD;
        }
        EncodeUtf8CodePoint(cp, [&](char byte) { out.Put(byte); });
    }
    return true;
}

void DecodeSingleByte(const std::array<char16_t, 128>& table, const unsigned char* in, std::size_t size,
                      UnitSink<char16_t>& out)
{
    for (std::size_t i = 0; i < size; ++i)
        out.Put(in[i] < 0x80 ? in[i] : table[in[i] - 0x80]);
}

void EncodeSingleByte(const std::array<char16_t, 128>& table, const char16_t* in, std::size_t size,
                      char defaultChar, UnitSink<char>& out, bool& usedDefault)
{
    for (std::size_t i = 0; i < size; ++i) {
        char16_t u = in[i];
        if (u < 0x80) {
            // A run of ASCII, most texts whole, goes out in one step.
            std::size_t run = i + 1;
            while (run < size && in[run] < 0x80)
                ++run;
            out.PutAscii(in + i, run - i);
            i = run - 1;
            continue;
        }
        int found = -1;
        for (int k = 0; k < 128; ++k) {
            if (table[k] == u) {
                found = k;
                break;
            }
        }
        if (found < 0) {
            out.Put(defaultChar);
            usedDefault = true;
            // A surrogate pair is one character: one default character for it.
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < size && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF)
                ++i;
        } else {
            out.Put(static_cast<char>(0x80 + found));
        }
    }
}

// The result as the conversion functions report it: the size when only
// asked for it, else the units written, or a failure when they did not fit
// (the buffer then holds as many as fitted).
template <class Unit>
int Deliver(const UnitSink<Unit>& converted, int capacity)
{
    const int needed = static_cast<int>(converted.Size());
    if (capacity == 0)
        return needed;
    if (converted.Size() > static_cast<std::size_t>(capacity))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    return needed;
}

} // namespace

UINT GetACP() { return Locale().ansiCodePage.load(); }

BOOL SetAnsiCodePageForHost(UINT codePage)
{
    if (codePage != CP_UTF8 && !SingleByteTable(codePage))
        return FALSE;
    Locale().ansiCodePage.store(codePage);
    return TRUE;
}

void SetUserNumberSeparators(WCHAR decimalSeparator, WCHAR thousandSeparator)
{
    Locale().decimalSeparator.store(decimalSeparator);
    Locale().thousandSeparator.store(thousandSeparator);
}

WCHAR GetUserDecimalSeparator() { return Locale().decimalSeparator.load(); }
WCHAR GetUserThousandSeparator() { return Locale().thousandSeparator.load(); }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount, LPWSTR wideChar,
                        int wideCharCount)
{
    if (!multiByte || multiByteCount == 0 || multiByteCount < -1 || wideCharCount < 0 ||
        (wideCharCount > 0 && !wideChar) || (wideChar && static_cast<const void*>(wideChar) == multiByte))
        return Fail(ERROR_INVALID_PARAMETER);
    UINT cp = Resolve(codePage);
    std::size_t size = multiByteCount == -1 ? std::char_traits<char>::length(multiByte) + 1
                                            : static_cast<std::size_t>(multiByteCount);
    const auto* in = reinterpret_cast<const unsigned char*>(multiByte);
    UnitSink<char16_t> out(wideChar, wideCharCount);
    if (cp == CP_UTF8) {
        if (flags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS))
            return Fail(ERROR_INVALID_FLAGS);
        if (!DecodeUtf8(in, size, (flags & MB_ERR_INVALID_CHARS) != 0, out))
            return Fail(ERROR_NO_UNICODE_TRANSLATION);
    } else if (const auto* table = SingleByteTable(cp)) {
        DecodeSingleByte(*table, in, size, out);
    } else {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return Deliver(out, wideCharCount);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int wideCharCount, LPSTR multiByte,
                        int multiByteCount, LPCSTR defaultChar, BOOL* usedDefaultChar)
{
    if (!wideChar || wideCharCount == 0 || wideCharCount < -1 || multiByteCount < 0 ||
        (multiByteCount > 0 && !multiByte))
        return Fail(ERROR_INVALID_PARAMETER);
    UINT cp = Resolve(codePage);
    std::size_t size = wideCharCount == -1 ? std::char_traits<char16_t>::length(wideChar) + 1
                                           : static_cast<std::size_t>(wideCharCount);
    UnitSink<char> out(multiByte, multiByteCount);
    if (cp == CP_UTF8) {
        // As on Windows, UTF-8 takes no default character.
        if (defaultChar || usedDefaultChar)
            return Fail(ERROR_INVALID_PARAMETER);
        if (flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS))
            return Fail(ERROR_INVALID_FLAGS);
        if (!EncodeUtf8(wideChar, size, (flags & WC_ERR_INVALID_CHARS) != 0, out))
            return Fail(ERROR_NO_UNICODE_TRANSLATION);
    } else if (const auto* table = SingleByteTable(cp)) {
        if (flags & WC_ERR_INVALID_CHARS)
            return Fail(ERROR_INVALID_FLAGS);
        bool used = false;
        EncodeSingleByte(*table, wideChar, size, defaultChar ? *defaultChar : '?', out, used);
        if (usedDefaultChar)
            *usedDefaultChar = used ? TRUE : FALSE;
    } else {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return Deliver(out, multiByteCount);
}
