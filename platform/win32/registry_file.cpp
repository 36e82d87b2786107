#include "registry_file.h"

#include "codepage.h"
#include "winreg.h"

#include <cstdio>
#include <functional>
#include <optional>

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";
const char kEol[] = "\r\n";
// regedit breaks long hex lists after a comma once a line passes this width.
const size_t kHexLineWidth = 76;

std::string Quote(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// A REG_SZ value takes the quoted form only when that form gives back exactly
// its bytes: one terminating NUL, none inside, no line breaks.
bool IsPlainString(const RegValue& value)
{
    if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0)
        return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i) {
        const BYTE b = value.data[i];
        if (b == 0 || b == '\r' || b == '\n')
            return false;
    }
    return true;
}

void AppendHexList(std::string& line, const std::vector<BYTE>& data)
{
    static const char digits[] = "0123456789abcdef";
    size_t column = line.size();
    for (size_t i = 0; i < data.size(); ++i) {
        line += digits[data[i] >> 4];
        line += digits[data[i] & 0xF];
        column += 2;
        if (i + 1 < data.size()) {
            line += ',';
            ++column;
            if (column > kHexLineWidth) {
                line += "\\";
                line += kEol;
                line += "  ";
                column = 2;
            }
        }
    }
}

std::string FormatValue(const RegValue& value)
{
    std::string line = value.name.empty() ? "@" : Quote(value.name);
    line += '=';
    if (IsPlainString(value)) {
        line += Quote(std::string(value.data.begin(), value.data.end() - 1));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        const DWORD number = static_cast<DWORD>(value.data[0]) | static_cast<DWORD>(value.data[1]) << 8
            | static_cast<DWORD>(value.data[2]) << 16 | static_cast<DWORD>(value.data[3]) << 24;
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(number));
        line += text;
    } else {
        if (value.type == REG_BINARY) {
            line += "hex:";
        } else {
            char text[24];
            std::snprintf(text, sizeof text, "hex(%x):", static_cast<unsigned>(value.type));
            line += text;
        }
        AppendHexList(line, value.data);
    }
    return line;
}

void FormatKey(const RegNode& node, const std::string& path, std::string& out)
{
    out += "[" + path + "]" + kEol;
    for (const RegValue& value : node.Values())
        out += FormatValue(value) + kEol;
    out += kEol;
    for (const auto& child : node.Children())
        FormatKey(*child.second, path + "\\" + child.second->Name(), out);
}

// Reading ---------------------------------------------------------------

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads a quoted text starting at text[pos] == '"'; pos ends after the
// closing quote. regedit escapes only backslash and quote; any other
// backslash is kept as it stands, as a hand-written path would mean it.
std::optional<std::string> ReadQuoted(const std::string& text, size_t& pos)
{
    std::string out;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\' && pos + 1 < text.size() && (text[pos + 1] == '\\' || text[pos + 1] == '"'))
            ++pos;
        out += text[pos];
    }
    return std::nullopt;
}

std::optional<std::vector<BYTE>> ReadHexList(const std::string& text, size_t pos)
{
    std::vector<BYTE> bytes;
    auto skipBlanks = [&] {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
    };
    skipBlanks();
    if (pos == text.size())
        return bytes;
    for (;;) {
        skipBlanks();
        int value = 0;
        int digits = 0;
        while (pos < text.size() && HexDigit(text[pos]) >= 0 && digits < 2) {
            value = value * 16 + HexDigit(text[pos]);
            ++pos;
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        bytes.push_back(static_cast<BYTE>(value));
        skipBlanks();
        if (pos == text.size())
            return bytes;
        if (text[pos] != ',')
            return std::nullopt;
        ++pos;
    }
}

std::optional<RegValue> ParseValueLine(const std::string& line, std::string& reason)
{
    RegValue value;
    size_t pos = 0;
    if (line[0] == '@') {
        pos = 1;
    } else {
        auto name = ReadQuoted(line, pos);
        if (!name) {
            reason = "unterminated value name";
            return std::nullopt;
        }
        if (name->empty()) {
            reason = "empty value name";
            return std::nullopt;
        }
        value.name = *name;
    }
    if (pos >= line.size() || line[pos] != '=') {
        reason = "'=' expected after the value name";
        return std::nullopt;
    }
    ++pos;
    const std::string data = line.substr(pos);
    if (!data.empty() && data[0] == '"') {
        size_t at = 0;
        auto text = ReadQuoted(data, at);
        if (!text || at != data.size()) {
            reason = "malformed string value";
            return std::nullopt;
        }
        value.type = REG_SZ;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
        return value;
    }
    if (data.rfind("dword:", 0) == 0) {
        const std::string digits = data.substr(6);
        DWORD number = 0;
        bool good = digits.size() == 8;
        for (char c : digits) {
            good = good && HexDigit(c) >= 0;
            number = number << 4 | static_cast<DWORD>(HexDigit(c) & 0xF);
        }
        if (!good) {
            reason = "a dword takes eight hex digits";
            return std::nullopt;
        }
        value.type = REG_DWORD;
        value.data = {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8), static_cast<BYTE>(number >> 16),
                      static_cast<BYTE>(number >> 24)};
        return value;
    }
    size_t listStart = 0;
    if (data.rfind("hex:", 0) == 0) {
        value.type = REG_BINARY;
        listStart = 4;
    } else if (data.rfind("hex(", 0) == 0) {
        const size_t close = data.find("):", 4);
        if (close == std::string::npos || close == 4 || close > 12) {
            reason = "malformed hex(type)";
            return std::nullopt;
        }
        DWORD type = 0;
        for (size_t i = 4; i < close; ++i) {
            if (HexDigit(data[i]) < 0) {
                reason = "malformed hex(type)";
                return std::nullopt;
            }
            type = type << 4 | static_cast<DWORD>(HexDigit(data[i]));
        }
        value.type = type;
        listStart = close + 2;
    } else {
        reason = "unknown value data";
        return std::nullopt;
    }
    auto bytes = ReadHexList(data, listStart);
    if (!bytes) {
        reason = "malformed hex list";
        return std::nullopt;
    }
    value.data = std::move(*bytes);
    return value;
}

std::string StripLineEnd(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// Encoding ----------------------------------------------------------------

const char kUtf8Bom[] = "\xEF\xBB\xBF";
const char kUtf16LeBom[] = "\xFF\xFE";

bool WideToAnsi(const std::u16string& wide, std::string& text)
{
    text.clear();
    if (wide.empty())
        return true;
    const int length = static_cast<int>(wide.size());
    // UTF-8 holds every character and takes no default-character report.
    BOOL usedDefault = FALSE;
    BOOL* report = GetACP() == CP_UTF8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, wide.data(), length, nullptr, 0, nullptr,
                                         report);
    if (size <= 0 || usedDefault)
        return false;
    text.resize(static_cast<size_t>(size));
    return WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, wide.data(), length, text.data(), size, nullptr, report)
        == size
        && !usedDefault;
}

bool MultiByteToWide(UINT codePage, const std::string& text, std::u16string& wide)
{
    wide.clear();
    if (text.empty())
        return true;
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (size <= 0)
        return false;
    wide.resize(static_cast<size_t>(size));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), size) == size;
}

bool WideToUtf8(const std::u16string& wide, std::string& text)
{
    text.clear();
    if (wide.empty())
        return true;
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, nullptr, 0, nullptr,
                                         nullptr);
    if (size <= 0)
        return false;
    text.resize(static_cast<size_t>(size));
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, text.data(), size, nullptr,
                               nullptr)
        == size;
}

} // namespace

bool DecodeRegistryFile(const std::string& bytes, std::string& text, RegistryFileEncoding& encoding,
                        std::string& error)
{
    std::u16string wide;
    if (bytes.rfind(kUtf16LeBom, 0) == 0) {
        encoding = RegistryFileEncoding::Utf16LeWithBom;
        if (bytes.size() % 2 != 0) {
            error = "UTF-16 text of an odd number of bytes";
            return false;
        }
        wide.reserve(bytes.size() / 2 - 1);
        for (size_t i = 2; i < bytes.size(); i += 2)
            wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i])
                                          | static_cast<unsigned char>(bytes[i + 1]) << 8);
    } else if (bytes.rfind(kUtf8Bom, 0) == 0) {
        encoding = RegistryFileEncoding::Utf8WithBom;
        if (!MultiByteToWide(CP_UTF8, bytes.substr(3), wide)) {
            error = "text after the UTF-8 byte-order mark that is not UTF-8";
            return false;
        }
    } else {
        encoding = RegistryFileEncoding::Ansi;
        text = bytes;
        return true;
    }
    if (!WideToAnsi(wide, text)) {
        error = "text the ANSI code page cannot hold (or a lone UTF-16 surrogate)";
        return false;
    }
    return true;
}

std::string EncodeRegistryFile(const std::string& text, RegistryFileEncoding& encoding)
{
    if (encoding == RegistryFileEncoding::Ansi)
        return text;
    std::u16string wide;
    if (!MultiByteToWide(CP_ACP, text, wide)) {
        // Bytes the module set that are no text of the code page: written
        // as they are, since no conversion would give them back.
        encoding = RegistryFileEncoding::Ansi;
        return text;
    }
    if (encoding == RegistryFileEncoding::Utf8WithBom) {
        std::string utf8;
        if (!WideToUtf8(wide, utf8)) {
            encoding = RegistryFileEncoding::Ansi;
            return text;
        }
        return kUtf8Bom + utf8;
    }
    std::string bytes = kUtf16LeBom;
    bytes.reserve(2 + wide.size() * 2);
    for (char16_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string FormatRegistryExport(const RegNode& root, const std::string& rootName)
{
    std::string out = std::string(kHeader) + kEol + kEol;
    FormatKey(root, rootName, out);
    return out;
}

bool ParseRegistryExport(const std::string& text, const std::string& rootName, RegNode& root, std::string& error)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(StripLineEnd(text.substr(start, end - start)));
        start = end + 1;
    }
    auto fail = [&](size_t lineIndex, const std::string& reason) {
        error = "line " + std::to_string(lineIndex + 1) + ": " + reason;
        return false;
    };
    if (lines.empty() || lines[0] != kHeader)
        return fail(0, std::string("not starting with \"") + kHeader + "\"");

    RegNode* current = nullptr;
    for (size_t i = 1; i < lines.size(); ++i) {
        const size_t first = i;
        std::string line = lines[i];
        // A hex list goes on over lines that end in a backslash.
        while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
            line.pop_back();
            const std::string& next = lines[++i];
            size_t skip = 0;
            while (skip < next.size() && IsBlank(next[skip]))
                ++skip;
            line += next.substr(skip);
        }
        while (!line.empty() && IsBlank(line.back()))
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']')
                return fail(first, "key line without its closing ']'");
            const std::string path = line.substr(1, line.size() - 2);
            if (FoldRegistryName(path.substr(0, rootName.size())) != rootName
                || (path.size() > rootName.size() && path[rootName.size()] != '\\'))
                return fail(first, "key outside " + rootName);
            current = &root;
            size_t depth = 0;
            for (size_t pos = rootName.size(); pos < path.size();) {
                if (++depth > kMaxRegistryKeyDepth)
                    return fail(first, "keys nested deeper than " + std::to_string(kMaxRegistryKeyDepth) + " levels");
                const size_t start = pos + 1;
                size_t end = path.find('\\', start);
                if (end == std::string::npos)
                    end = path.size();
                if (end == start)
                    return fail(first, "empty key name in the path");
                bool created = false;
                current = current->AddChild(path.substr(start, end - start), created);
                pos = end;
            }
            continue;
        }
        if (line[0] != '"' && line[0] != '@')
            return fail(first, "neither a key nor a value");
        if (!current)
            return fail(first, "value before the first key");
        std::string reason;
        auto value = ParseValueLine(line, reason);
        if (!value)
            return fail(first, reason);
        current->SetValue(value->name, value->type, std::move(value->data));
    }
    return true;
}
