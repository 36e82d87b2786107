// The text format regedit exports ("Windows Registry Editor Version 5.00"),
// in which the per-user tree is kept between runs:
//
//   [HKEY_CURRENT_USER\SOFTWARE\Norvale]
//   "Name"=dword:00000001
//   "Text"="C:\\path with \"quotes\""
//   "Blob"=hex:01,02,ff
//   @=hex(7):61,00,00      (the default value, of a type without its own form)
//
// Every key is listed, parents before children and sub-keys sorted by name,
// values in the order they were first set, so that loading a file this writes
// and writing it again gives the same bytes. Lines end in CR LF as regedit
// writes them; LF alone is accepted on reading. Text is kept byte for byte
// in the host's ANSI code page, the bytes the module's A functions set.
//
// regedit itself writes UTF-16LE with a byte-order mark, and editors often
// save UTF-8 with one: such a file is decoded to the ANSI code page for
// reading and, when saved again, encoded back to the form it came in (hex
// lists are kept as bytes, as regedit keeps them). A text the ANSI code page
// cannot hold refuses the file rather than turning characters into '?'.
#pragma once
#include "registry_tree.h"

#include <cstddef>
#include <string>

// Keys nested deeper than this are refused, as Windows refuses them; it also
// bounds the recursion of everything that walks the tree.
constexpr std::size_t kMaxRegistryKeyDepth = 512;

enum class RegistryFileEncoding { Ansi, Utf8WithBom, Utf16LeWithBom };

// The text of a store file's bytes in the ANSI code page, and the form the
// bytes were in. False with a one-line reason when they cannot be decoded.
bool DecodeRegistryFile(const std::string& bytes, std::string& text, RegistryFileEncoding& encoding,
                        std::string& error);
// The bytes of `text` (ANSI code page) in `encoding`. A text that does not
// convert losslessly is written as it is, and `encoding` becomes Ansi.
std::string EncodeRegistryFile(const std::string& text, RegistryFileEncoding& encoding);

// rootName is the predefined key the file holds, such as "HKEY_CURRENT_USER".
std::string FormatRegistryExport(const RegNode& root, const std::string& rootName);

// Fills `root` (expected empty) from `text`. Returns false with a one-line
// reason naming the line when the text is not a well-formed export of rootName.
bool ParseRegistryExport(const std::string& text, const std::string& rootName, RegNode& root,
                         std::string& error);
