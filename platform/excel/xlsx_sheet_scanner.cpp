#include "xlsx_sheet_scanner.h"

#include "xlsx_limits.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace excelsim::xlsx {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsNameStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

bool IsNameChar(unsigned char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence of an XML character at `p`,
// or 0.
std::size_t Utf8Length(const unsigned char* p, const unsigned char* end)
{
    unsigned char b = *p;
    std::size_t n;
    char32_t c;
    if (b < 0x80)
        return IsXmlChar(b) ? 1 : 0;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        c = b & 0x07;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (p[i] & 0x3F);
    }
    // No overlong form, surrogate, or character past U+10FFFF.
    if ((n == 3 && c < 0x800) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)) || !IsXmlChar(c))
        return 0;
    return n;
}

// Whether an XML declaration's text (after "<?xml") names UTF-8 or no
// encoding at all; false for another encoding and for a malformed one.
bool DeclaredUtf8(std::string_view declaration)
{
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return true;
    at = declaration.find_first_of("\"'", at);
    if (at == std::string_view::npos)
        return false;
    std::size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string_view::npos)
        return false;
    std::string_view name = declaration.substr(at + 1, close - at - 1);
    if (name.size() != 5)
        return false;
    const char* utf8 = "utf-8";
    for (std::size_t i = 0; i < 5; ++i)
        if (static_cast<char>(name[i] | 0x20) != utf8[i])
            return false;
    return true;
}

class Scanner {
public:
    Scanner(XmlHandler& handler) : handler_(handler) {}

    // Takes a piece and handles every complete construct in what has come.
    bool Feed(const char* data, std::size_t size)
    {
        if (!problem_.empty() || !handler_.Failure().empty())
            return false;
        buffer_.append(data, size);
        // A construct still open (a long text, a huge attribute) is looked
        // at again only once what has come has doubled, so that pieces
        // cost linear time however long it is.
        if (buffer_.size() < resumeAt_)
            return true;
        bool ok = Run(false);
        consumed_ += pos_;
        buffer_.erase(0, pos_);
        pos_ = 0;
        resumeAt_ = 2 * buffer_.size();
        return ok;
    }

    bool Finish()
    {
        if (!problem_.empty() || !handler_.Failure().empty())
            return false;
        if (!Run(true))
            return false;
        if (pos_ < buffer_.size())
            return Bad("unclosed token");
        if (!seenRoot_)
            return Bad("no element found");
        if (!open_.empty())
            return Bad("unclosed element");
        return true;
    }

    const std::string& Problem() const { return problem_; }
    std::size_t Offset() const { return consumed_ + pos_; }

private:
    bool Bad(const char* what)
    {
        if (problem_.empty())
            problem_ = what;
        return false;
    }

    bool Handled() const { return handler_.Failure().empty(); }

    // Handles constructs from pos_; false on an error. Stops, true, at an
    // incomplete construct unless `last`.
    bool Run(bool last)
    {
        const std::size_t size = buffer_.size();
        if (!started_) {
            // A byte order mark only says the text is UTF-8.
            const std::string_view mark = "\xEF\xBB\xBF";
            const std::string_view head(buffer_.data(), std::min<std::size_t>(size, 3));
            if (head.size() < 3 && mark.substr(0, head.size()) == head && !last)
                return true;
            if (head == mark)
                pos_ = 3;
            started_ = true;
            start_ = pos_;
        }
        while (pos_ < size) {
            if (buffer_[pos_] != '<') {
                const char* lt = static_cast<const char*>(std::memchr(buffer_.data() + pos_, '<', size - pos_));
                if (!lt && !last)
                    return true; // the text may go on in the next piece
                const std::size_t end = lt ? static_cast<std::size_t>(lt - buffer_.data()) : size;
                if (!Text(pos_, end))
                    return false;
                pos_ = end;
                continue;
            }
            std::size_t next = 0;
            bool complete = true;
            if (!Markup(last, next, complete))
                return false;
            if (!complete)
                return true;
            pos_ = next;
        }
        return true;
    }

    // Character data between markup: decoded, checked and handed on.
    bool Text(std::size_t from, std::size_t to)
    {
        if (open_.empty()) {
            for (std::size_t i = from; i < to; ++i)
                if (!IsSpace(buffer_[i]))
                    return Bad(seenRoot_ ? "junk after document element" : "text before the document element");
            return true;
        }
        text_.clear();
        if (!Decode(from, to, false, text_))
            return false;
        if (!text_.empty())
            handler_.Text(text_.data(), static_cast<int>(text_.size()));
        return Handled();
    }

    // Decodes entities, references and line ends of [from, to) into `out`;
    // `attribute` also turns white space into spaces and refuses '<'.
    bool Decode(std::size_t from, std::size_t to, bool attribute, std::string& out)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(buffer_.data()) + from;
        const auto* end = reinterpret_cast<const unsigned char*>(buffer_.data()) + to;
        while (p < end) {
            const unsigned char* run = p;
            while (p < end && *p >= 0x20 && *p < 0x80 && *p != '&' && *p != '<' && *p != ']' && *p != '>')
                ++p;
            out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
            if (p == end)
                break;
            unsigned char c = *p;
            if (c == '&') {
                const unsigned char* semi = static_cast<const unsigned char*>(std::memchr(p, ';', static_cast<std::size_t>(end - p)));
                if (!semi)
                    return Bad("bad reference");
                if (!Reference(std::string_view(reinterpret_cast<const char*>(p) + 1, static_cast<std::size_t>(semi - p - 1)), out))
                    return false;
                p = semi + 1;
            } else if (c == '\r') {
                out += attribute ? ' ' : '\n';
                p += (p + 1 < end && p[1] == '\n') ? 2 : 1;
            } else if (c == '\n' || c == '\t') {
                out += attribute ? ' ' : static_cast<char>(c);
                ++p;
            } else if (c == '<') {
                return Bad("'<' in an attribute value");
            } else if (c == ']' || c == '>') {
                // "]]>" may not stand in character data.
                if (!attribute && c == ']' && end - p >= 3 && p[1] == ']' && p[2] == '>')
                    return Bad("']]>' in character data");
                out += static_cast<char>(c);
                ++p;
            } else {
                std::size_t n = Utf8Length(p, end);
                if (n == 0)
                    return Bad("not well-formed (invalid token)");
                out.append(reinterpret_cast<const char*>(p), n);
                p += n;
            }
        }
        return true;
    }

    bool Reference(std::string_view name, std::string& out)
    {
        if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "amp")
            out += '&';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (name.size() >= 2 && name[0] == '#') {
            char32_t c = 0;
            const bool hex = name[1] == 'x';
            std::size_t i = hex ? 2 : 1;
            if (i == name.size())
                return Bad("bad character reference");
            for (; i < name.size(); ++i) {
                char d = name[i];
                int v;
                if (d >= '0' && d <= '9')
                    v = d - '0';
                else if (hex && d >= 'a' && d <= 'f')
                    v = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F')
                    v = d - 'A' + 10;
                else
                    return Bad("bad character reference");
                c = c * (hex ? 16 : 10) + static_cast<char32_t>(v);
                if (c > 0x10FFFF)
                    return Bad("reference to invalid character number");
            }
            if (!IsXmlChar(c))
                return Bad("reference to invalid character number");
            AppendUtf8(out, c);
        } else {
            return Bad("undefined entity");
        }
        return true;
    }

    // Markup at pos_ ('<'): sets `next` past it, or `complete` false when
    // its end has not come yet.
    bool Markup(bool last, std::size_t& next, bool& complete)
    {
        const std::string_view rest(buffer_.data() + pos_, buffer_.size() - pos_);
        auto need = [&](std::string_view prefix) {
            return rest.size() < prefix.size() && prefix.substr(0, rest.size()) == rest;
        };
        auto until = [&](std::string_view close, std::size_t from, std::size_t& at) {
            at = rest.find(close, from);
            if (at != std::string_view::npos)
                return true;
            complete = false;
            return last ? Bad("unclosed token") : true;
        };
        if (rest.size() < 2 || need("<!--") || need("<![CDATA[") || need("<!DOCTYPE")) {
            complete = false;
            return last ? Bad("unclosed token") : true;
        }
        std::size_t at = 0;
        if (rest[1] == '?') {
            if (!until("?>", 2, at) || !complete)
                return !problem_.empty() ? false : true;
            std::string_view target = rest.substr(2, at - 2);
            std::size_t space = 0;
            while (space < target.size() && !IsSpace(target[space]))
                ++space;
            std::string_view name = target.substr(0, space);
            if (name.empty() || !IsNameStart(static_cast<unsigned char>(name[0])))
                return Bad("bad processing instruction");
            if (name == "xml") {
                if (Offset() != start_)
                    return Bad("XML or text declaration not at start of entity");
                if (!DeclaredUtf8(target.substr(space)))
                    return Bad("a document encoding other than UTF-8");
            } else if (name.size() == 3 && (name[0] | 0x20) == 'x' && (name[1] | 0x20) == 'm' && (name[2] | 0x20) == 'l') {
                return Bad("reserved processing instruction target");
            }
            if (!Checked(pos_ + 2, pos_ + at))
                return false;
            next = pos_ + at + 2;
            return true;
        }
        if (rest[1] == '!') {
            if (rest.substr(0, 4) == "<!--") {
                if (!until("--", 4, at) || !complete)
                    return !problem_.empty() ? false : true;
                if (rest.size() < at + 3) {
                    complete = false;
                    return last ? Bad("unclosed token") : true;
                }
                if (rest[at + 2] != '>')
                    return Bad("'--' in a comment");
                if (!Checked(pos_ + 4, pos_ + at))
                    return false;
                next = pos_ + at + 3;
                return true;
            }
            if (rest.substr(0, 9) == "<![CDATA[") {
                if (open_.empty())
                    return Bad("CDATA outside the document element");
                if (!until("]]>", 9, at) || !complete)
                    return !problem_.empty() ? false : true;
                text_.clear();
                if (!Raw(pos_ + 9, pos_ + at, text_))
                    return false;
                if (!text_.empty())
                    handler_.Text(text_.data(), static_cast<int>(text_.size()));
                next = pos_ + at + 3;
                return Handled();
            }
            if (rest.substr(0, 9) == "<!DOCTYPE") {
                // The parts never carry a DTD; one here can only declare entities.
                handler_.Fail("a document type declaration is not allowed");
                return false;
            }
            return Bad("bad markup declaration");
        }
        // A tag: its end is the first '>' outside quotes.
        // A quoted value is skipped in one step: cell tags are mostly values.
        std::size_t i = 1;
        for (; i < rest.size(); ++i) {
            const char c = rest[i];
            if (c == '"' || c == '\'') {
                const void* close = std::memchr(rest.data() + i + 1, c, rest.size() - i - 1);
                if (!close) {
                    i = rest.size();
                    break;
                }
                i = static_cast<std::size_t>(static_cast<const char*>(close) - rest.data());
            } else if (c == '>') {
                break;
            } else if (c == '<') {
                return Bad("'<' in a tag");
            }
        }
        if (i == rest.size()) {
            complete = false;
            return last ? Bad("unclosed token") : true;
        }
        next = pos_ + i + 1;
        if (rest[1] == '/')
            return EndTag(pos_ + 2, pos_ + i);
        return StartTag(pos_ + 1, pos_ + i);
    }

    // Characters of a comment, declaration or instruction: UTF-8 XML
    // characters, nothing more.
    bool Checked(std::size_t from, std::size_t to)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(buffer_.data()) + from;
        const auto* end = reinterpret_cast<const unsigned char*>(buffer_.data()) + to;
        while (p < end) {
            std::size_t n = Utf8Length(p, end);
            if (n == 0)
                return Bad("not well-formed (invalid token)");
            p += n;
        }
        return true;
    }

    // A CDATA section's text: as it stands but for line ends.
    bool Raw(std::size_t from, std::size_t to, std::string& out)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(buffer_.data()) + from;
        const auto* end = reinterpret_cast<const unsigned char*>(buffer_.data()) + to;
        while (p < end) {
            if (*p == '\r') {
                out += '\n';
                p += (p + 1 < end && p[1] == '\n') ? 2 : 1;
                continue;
            }
            std::size_t n = Utf8Length(p, end);
            if (n == 0)
                return Bad("not well-formed (invalid token)");
            out.append(reinterpret_cast<const char*>(p), n);
            p += n;
        }
        return true;
    }

    // A name from `at`; its end in `end`. False when there is none.
    bool Name(std::size_t at, std::size_t limit, std::size_t& end)
    {
        if (at >= limit || !IsNameStart(static_cast<unsigned char>(buffer_[at])))
            return false;
        end = at + 1;
        bool ascii = static_cast<unsigned char>(buffer_[at]) < 0x80;
        for (; end < limit; ++end) {
            const auto c = static_cast<unsigned char>(buffer_[end]);
            if (!IsNameChar(c))
                break;
            ascii = ascii && c < 0x80;
        }
        // Non-ASCII name characters must still be well-formed UTF-8; the
        // names of a sheet part are all ASCII, so most skip the check.
        return ascii || Checked(at, end);
    }

    static std::string_view Local(std::string_view name)
    {
        std::size_t colon = name.rfind(':');
        return colon == std::string_view::npos ? name : name.substr(colon + 1);
    }

    bool StartTag(std::size_t from, std::size_t to)
    {
        if (open_.empty() && seenRoot_)
            return Bad("junk after document element");
        std::size_t end = 0;
        if (!Name(from, to, end))
            return Bad("not well-formed (bad element name)");
        const std::string_view qualified(buffer_.data() + from, end - from);
        bool empty = buffer_[to - 1] == '/' && to - 1 >= end;
        const std::size_t limit = empty ? to - 1 : to;
        attributes_.Clear();
        names_.clear();
        std::size_t i = end;
        for (;;) {
            std::size_t spaces = i;
            while (i < limit && IsSpace(buffer_[i]))
                ++i;
            if (i == limit)
                break;
            if (i == spaces)
                return Bad("not well-formed (attributes need white space between them)");
            std::size_t nameEnd = 0;
            if (!Name(i, limit, nameEnd))
                return Bad("not well-formed (bad attribute name)");
            std::string_view attribute(buffer_.data() + i, nameEnd - i);
            i = nameEnd;
            while (i < limit && IsSpace(buffer_[i]))
                ++i;
            if (i == limit || buffer_[i] != '=')
                return Bad("not well-formed (attribute without value)");
            ++i;
            while (i < limit && IsSpace(buffer_[i]))
                ++i;
            if (i == limit || (buffer_[i] != '"' && buffer_[i] != '\''))
                return Bad("not well-formed (unquoted attribute value)");
            const char quote = buffer_[i];
            const char* close = static_cast<const char*>(std::memchr(buffer_.data() + i + 1, quote, limit - i - 1));
            if (!close)
                return Bad("not well-formed (unclosed attribute value)");
            const std::size_t valueEnd = static_cast<std::size_t>(close - buffer_.data());
            for (std::string_view seen : names_)
                if (seen == attribute)
                    return Bad("duplicate attribute");
            names_.push_back(attribute);
            value_.clear();
            if (!Decode(i + 1, valueEnd, true, value_))
                return false;
            const bool declaration =
                attribute.substr(0, 5) == "xmlns" && (attribute.size() == 5 || attribute[5] == ':');
            if (!declaration)
                attributes_.Add(Local(attribute), value_);
            i = valueEnd + 1;
        }
        if (open_.size() >= static_cast<std::size_t>(kMaxXmlDepth)) {
            handler_.Fail("elements nested too deeply");
            return false;
        }
        seenRoot_ = true;
        open_.emplace_back(qualified);
        name_.assign(Local(qualified));
        handler_.Start(name_, attributes_);
        if (!Handled())
            return false;
        if (empty)
            return Close();
        return true;
    }

    bool EndTag(std::size_t from, std::size_t to)
    {
        std::size_t end = 0;
        if (!Name(from, to, end))
            return Bad("not well-formed (bad end tag)");
        for (std::size_t i = end; i < to; ++i)
            if (!IsSpace(buffer_[i]))
                return Bad("not well-formed (bad end tag)");
        if (open_.empty() || open_.back() != std::string_view(buffer_.data() + from, end - from))
            return Bad("mismatched tag");
        return Close();
    }

    bool Close()
    {
        name_.assign(Local(open_.back()));
        open_.pop_back();
        handler_.End(name_);
        return Handled();
    }

    XmlHandler& handler_;
    std::string buffer_;
    std::size_t pos_ = 0, consumed_ = 0, resumeAt_ = 0;
    std::vector<std::string> open_;
    std::vector<std::string_view> names_;
    XmlAttributes attributes_;
    std::string name_, text_, value_, problem_;
    bool seenRoot_ = false, started_ = false;
    std::size_t start_ = 0;
};

} // namespace

bool ScanXmlInPieces(const std::function<bool(const XmlPieces&)>& read, const std::string& partName,
                     XmlHandler& handler, std::string& error)
{
    Scanner scanner(handler);
    auto feed = [&](const char* data, std::size_t size) { return scanner.Feed(data, size); };
    const bool readWhole = read(feed);
    const bool parsed = scanner.Problem().empty() && handler.Failure().empty() && (!readWhole || scanner.Finish());
    if (!handler.Failure().empty()) {
        error = partName + ": " + handler.Failure();
        return false;
    }
    if (!scanner.Problem().empty()) {
        error = partName + ": bad XML (" + scanner.Problem() + " at byte " + std::to_string(scanner.Offset()) + ")";
        return false;
    }
    return parsed && readWhole;
}

bool DeclaresOtherEncoding(std::string_view head)
{
    if (head.size() >= 2 && ((head[0] == '\xFE' && head[1] == '\xFF') || (head[0] == '\xFF' && head[1] == '\xFE')))
        return true; // a UTF-16 byte-order mark
    if (head.size() >= 2 && (head[0] == '\0' || head[1] == '\0'))
        return true; // UTF-16 without a mark: "<" is 00 3C or 3C 00
    if (head.substr(0, 3) == "\xEF\xBB\xBF")
        head.remove_prefix(3);
    if (head.substr(0, 5) != "<?xml")
        return false;
    // A malformed declaration goes to expat too, which says what is wrong.
    return !DeclaredUtf8(head.substr(5, head.find("?>") - 5));
}

} // namespace excelsim::xlsx
