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
// (regedit's own files are UTF-16; ours hold the module's ANSI bytes).
#pragma once
#include "registry_tree.h"

#include <string>

// rootName is the predefined key the file holds, such as "HKEY_CURRENT_USER".
std::string FormatRegistryExport(const RegNode& root, const std::string& rootName);

// Fills `root` (expected empty) from `text`. Returns false with a one-line
// reason naming the line when the text is not a well-formed export of rootName.
bool ParseRegistryExport(const std::string& text, const std::string& rootName, RegNode& root,
                         std::string& error);
