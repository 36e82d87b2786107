// Text of DXF values: the file's encoding (UTF-8 from AutoCAD 2007 on, the
// $DWGCODEPAGE code page before, with \U+XXXX escapes for characters outside
// it and ^-escapes for control characters) to and from the host's ANSI code
// page, which holds \U+XXXX escapes for what it cannot represent, as the
// host does.
#pragma once
#include <string>
#include <string_view>

struct DxfCodec {
    bool utf8 = false;
    const char16_t* high = nullptr; // the code page's characters 0x80..0xFF; null: UTF-8
};

// The codec of a file version and $DWGCODEPAGE value ("ANSI_1252"); false
// for a code page that is not known (the codec then is Windows-1252).
bool DxfCodecFor(std::string_view acadver, std::string_view dwgcodepage, DxfCodec& codec);

// A value as the file holds it, to the host's code page.
std::string DxfDecodeText(std::string_view raw, const DxfCodec& codec);
// A host text to the value the file holds.
std::string DxfEncodeText(std::string_view host, const DxfCodec& codec);

// The host's ANSI code page (65001, 1250 or 1252) and conversions between
// it and UTF-32; unrepresentable characters become \U+XXXX.
unsigned HostCodePage();
std::u32string HostToUnicode(std::string_view host);
std::string UnicodeToHost(std::u32string_view text);
