// Text in the .xlsx parts (which are UTF-8 XML): conversion and escapes.
#pragma once
#include "utf8_text.h"
#include "xlsx_limits.h"

#include <string>
#include <string_view>

namespace excelsim::xlsx {

// The parts are UTF-8: the one conversion pair, under the names this
// stand-in has always called.
using ::Utf8;
using ::Utf16;

// XML can hold neither most control characters nor U+FFFE, U+FFFF or a lone
// surrogate, and a carriage return would come back as a line feed; the
// format writes each such code unit as _xHHHH_. A literal text that itself
// reads as _xHHHH_ has its underscore written as _x005F_, so that reading
// back gives the original text exactly. Applies to cell texts and comments.
// The workbook holds UTF-16: text from the host's UTF-8 has already had each
// invalid or CESU-style sequence replaced by U+FFFD by the code-page decoder,
// so a lone surrogate can only come from UTF-16 itself (a drawing's \U+D800
// notation, an automation client); it is stored as _xD800_ and read back as
// the same code unit.
std::u16string EscapeText(std::u16string_view text);
// Whether EscapeText would change the text.
bool TextNeedsEscape(std::u16string_view text);
std::u16string UnescapeText(const std::u16string& text);
// True for a code unit XML cannot carry as it is (see EscapeText); the
// sheet-name check refuses these, as sheet names have no escape.
bool NeedsEscape(char16_t c);
bool HasLoneSurrogate(const std::u16string& text);

// UTF-8 to UTF-16; a text that is all ASCII, as most cell texts are, is
// widened byte by byte without the general conversion.
inline std::u16string Widened(const std::string& utf8)
{
    for (unsigned char c : utf8)
        if (c >= 0x80)
            return Utf16(utf8);
    return std::u16string(utf8.begin(), utf8.end());
}

// Collects the text of <t> elements below an element, leaving out phonetic
// runs (<rPh>), as the program shows a rich or plain string.
class TextCollector {
public:
    void Start(const std::string& name)
    {
        if (name == std::string_view("rPh"))
            ++phonetic_;
        else if (name == std::string_view("t") && phonetic_ == 0)
            inText_ = true;
    }
    void End(const std::string& name)
    {
        if (name == std::string_view("rPh"))
            --phonetic_;
        else if (name == std::string_view("t"))
            inText_ = false;
    }
    // False when the text grows beyond what a cell may hold.
    bool Text(const char* text, int length)
    {
        if (!inText_)
            return true;
        utf8_.append(text, static_cast<std::size_t>(length));
        return utf8_.size() <= kMaxEscapedTextBytes;
    }
    std::u16string Take()
    {
        std::u16string out = Widened(utf8_);
        utf8_.clear();
        // Most texts hold no escape: they are not copied once more.
        if (out.find(u"_x") != std::u16string::npos)
            out = UnescapeText(out);
        return out;
    }

private:
    std::string utf8_;
    int phonetic_ = 0;
    bool inText_ = false;
};

} // namespace excelsim::xlsx
