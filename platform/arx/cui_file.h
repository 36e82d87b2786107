// The customization file (.cui) MENULOAD reads: an XML file holding one menu
// group with its macros, pull-down menus and toolbars. The host reads the
// elements it shows and ignores the rest (images, help texts it does not
// show, other roots):
//
//   CustSection / MenuGroup[@Name]
//     MacroGroup / MenuMacro[@UID] / Macro / Name, Command
//     MenuRoot / PopMenuRoot / PopMenu[@UID] / Alias*, Name,
//                                 PopMenuItem[@Separator] / Name, MenuItem / MacroRef[@MenuMacroID]
//     MenuRoot / ToolbarRoot / Toolbar[@UID, @ToolbarVisible] / Alias*, Name,
//                                 ToolbarButton / Name, MacroRef[@MenuMacroID]
//
// A file that is not well-formed XML, has no group name, or refers to a
// macro it does not define is damaged: nothing of it is loaded.
#pragma once
#include <string>
#include <vector>

struct CuiItem {
    std::string name;
    std::string macro; // the command text, "^C^Cgwell;Export;"
    bool separator = false;
};

struct CuiMenu {
    std::string uid;
    std::vector<std::string> aliases;
    std::string name;
    std::vector<CuiItem> items;
    bool visible = false; // toolbars only
};

struct CuiFile {
    std::string group;
    std::vector<CuiMenu> popMenus;
    std::vector<CuiMenu> toolbars;
};

// Reads the file; false with `error` saying why (one line) when it cannot
// be read or is damaged.
bool ReadCuiFile(const std::string& unixPath, CuiFile& file, std::string& error);
// The same for the file's bytes.
bool ParseCuiText(const std::string& bytes, CuiFile& file, std::string& error);
