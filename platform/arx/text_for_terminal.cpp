#include "text_for_terminal.h"

namespace {

// The length of the well-formed UTF-8 sequence at text[i], 0 if there is none
// (overlong forms, surrogates and values past U+10FFFF are not well-formed).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

void AppendEscaped(unsigned char byte, std::string& out)
{
    static const char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

} // namespace

std::string TextForTerminal(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7F)
                AppendEscaped(byte, out);
            else
                out += static_cast<char>(byte);
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(bytes, i);
        // U+0080..U+009F (C2 80..C2 9F) are the C1 controls: a terminal acts
        // on them (CSI is U+009B) as on ESC sequences.
        const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0;
        if (length == 0 || c1) {
            AppendEscaped(byte, out);
            ++i;
            continue;
        }
        out.append(bytes.substr(i, length));
        i += length;
    }
    return out;
}
