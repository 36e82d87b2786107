#include "import/cell_number.h"

#include <windows.h>

#include "oleauto.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the run of digits at `at`.
std::size_t Digits(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    return end - at;
}

} // namespace

std::optional<double> DecimalNumber(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);

    // The whole text is checked against the decimal form first: the library
    // readers also take hexadecimal, "inf" and "nan", which are no cell
    // numbers here.
    std::size_t at = !text.empty() && (text.front() == '-' || text.front() == '+') ? 1 : 0;
    const std::size_t whole = Digits(text, at);
    at += whole;
    std::size_t fraction = 0;
    if (at < text.size() && text[at] == '.') {
        fraction = Digits(text, at + 1);
        at += 1 + fraction;
    }
    if (whole + fraction == 0)
        return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponentAt = at + 1;
        if (exponentAt < text.size() && (text[exponentAt] == '+' || text[exponentAt] == '-'))
            ++exponentAt;
        const std::size_t exponent = Digits(text, exponentAt);
        if (exponent == 0)
            return std::nullopt;
        at = exponentAt + exponent;
    }
    if (at != text.size())
        return std::nullopt;

    // from_chars takes no plus sign.
    if (text.front() == '+')
        text.remove_prefix(1);
    double number = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(number))
        return std::nullopt;
    return number;
}

bool NumberFromCellValue(const VARIANT& value, double& number)
{
    double read = 0;
    switch (value.vt) {
    case VT_R8:
        read = value.dblVal;
        break;
    case VT_R4:
        read = static_cast<double>(value.fltVal);
        break;
    case VT_I2:
        read = value.iVal;
        break;
    case VT_I4:
        read = value.lVal;
        break;
    case VT_BSTR: {
        // A decimal number is plain ASCII; any other character (a full-width
        // digit, say, that a code-page conversion might map to a digit) makes
        // the text no number.
        const UINT length = value.bstrVal ? SysStringLen(value.bstrVal) : 0;
        std::string narrow;
        narrow.reserve(length);
        for (UINT i = 0; i < length; ++i) {
            if (value.bstrVal[i] > 0x7F)
                return false;
            narrow.push_back(static_cast<char>(value.bstrVal[i]));
        }
        const std::optional<double> decimal = DecimalNumber(narrow);
        if (!decimal)
            return false;
        read = *decimal;
        break;
    }
    default:
        return false;
    }
    if (!std::isfinite(read))
        return false;
    number = read;
    return true;
}
