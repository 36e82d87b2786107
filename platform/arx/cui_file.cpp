#include "cui_file.h"

#include <expat.h>

#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace {

// Larger than any menu file; a bigger one is not read into memory.
constexpr std::size_t kMaxCuiBytes = 16u << 20;

struct PendingItem {
    CuiItem item;
    std::string macroId;
};

struct PendingMenu {
    CuiMenu menu;
    std::vector<std::string> macroIds;
};

struct Reader {
    std::vector<std::string> path; // open elements, outermost first
    std::string text;
    CuiFile file;
    std::string error;
    std::map<std::string, std::string> macroCommands; // UID -> command
    std::map<std::string, std::string> macroNames;
    std::string macroUid;
    std::string macroName;
    std::string macroCommand;
    // The menu and the item being read, and the depth of the element that
    // opened each: a menu or item nested inside another (which the format
    // does not have) is not read, and only its own end element closes it.
    std::unique_ptr<PendingMenu> menu;
    std::size_t menuDepth = 0;
    bool menuIsToolbar = false;
    std::unique_ptr<PendingItem> item;
    std::size_t itemDepth = 0;

    bool parentIs(const char* name) const { return path.size() >= 2 && path[path.size() - 2] == name; }
};

const char* Attribute(const char** attributes, const char* name)
{
    for (int i = 0; attributes[i]; i += 2)
        if (std::strcmp(attributes[i], name) == 0)
            return attributes[i + 1];
    return nullptr;
}

void XMLCALL OnStart(void* data, const char* name, const char** attributes)
{
    Reader& r = *static_cast<Reader*>(data);
    r.path.emplace_back(name);
    r.text.clear();
    const std::string element = name;
    if (element == "MenuGroup" && r.parentIs("CustSection")) {
        const char* group = Attribute(attributes, "Name");
        r.file.group = group ? group : "";
    } else if (element == "MenuMacro") {
        const char* uid = Attribute(attributes, "UID");
        r.macroUid = uid ? uid : "";
        r.macroName.clear();
        r.macroCommand.clear();
    } else if (!r.menu
        && ((element == "PopMenu" && r.parentIs("PopMenuRoot")) || (element == "Toolbar" && r.parentIs("ToolbarRoot")))) {
        r.menu = std::make_unique<PendingMenu>();
        r.menuDepth = r.path.size();
        r.menuIsToolbar = element == "Toolbar";
        const char* uid = Attribute(attributes, "UID");
        r.menu->menu.uid = uid ? uid : "";
        const char* visible = Attribute(attributes, "ToolbarVisible");
        r.menu->menu.visible = visible && std::strcmp(visible, "show") == 0;
    } else if (r.menu && !r.item && (element == "PopMenuItem" || element == "ToolbarButton")) {
        r.item = std::make_unique<PendingItem>();
        r.itemDepth = r.path.size();
        const char* separator = Attribute(attributes, "Separator");
        r.item->item.separator = separator && std::strcmp(separator, "true") == 0;
    } else if (r.item && element == "MacroRef") {
        const char* id = Attribute(attributes, "MenuMacroID");
        r.item->macroId = id ? id : "";
    }
}

void XMLCALL OnEnd(void* data, const char* name)
{
    Reader& r = *static_cast<Reader*>(data);
    const std::string element = name;
    if (element == "Name" && r.parentIs("Macro")) {
        r.macroName = r.text;
    } else if (element == "Command" && r.parentIs("Macro")) {
        r.macroCommand = r.text;
    } else if (element == "MenuMacro") {
        if (!r.macroUid.empty()) {
            r.macroCommands[r.macroUid] = r.macroCommand;
            r.macroNames[r.macroUid] = r.macroName;
        }
    } else if (r.item && element == "Name" && r.path.size() == r.itemDepth + 1) {
        r.item->item.name = r.text;
    } else if (r.item && r.path.size() == r.itemDepth) {
        r.menu->menu.items.push_back(r.item->item);
        r.menu->macroIds.push_back(r.item->macroId);
        r.item.reset();
    } else if (r.menu && element == "Alias" && r.path.size() == r.menuDepth + 1) {
        r.menu->menu.aliases.push_back(r.text);
    } else if (r.menu && element == "Name" && r.path.size() == r.menuDepth + 1) {
        r.menu->menu.name = r.text;
    } else if (r.menu && r.path.size() == r.menuDepth) {
        // Macros may be defined after the menus that use them: resolved at the end.
        CuiMenu& menu = r.menu->menu;
        for (std::size_t i = 0; i < menu.items.size(); ++i)
            menu.items[i].macro = r.menu->macroIds[i]; // the id until resolved
        (r.menuIsToolbar ? r.file.toolbars : r.file.popMenus).push_back(std::move(menu));
        r.menu.reset();
    }
    r.path.pop_back();
    r.text.clear();
}

void XMLCALL OnText(void* data, const char* text, int length)
{
    static_cast<Reader*>(data)->text.append(text, static_cast<std::size_t>(length));
}

// Replaces each item's macro id with the macro's command; false when an id
// names no macro.
bool ResolveMacros(Reader& r, std::vector<CuiMenu>& menus)
{
    for (CuiMenu& menu : menus) {
        for (CuiItem& item : menu.items) {
            if (item.separator)
                continue;
            auto found = r.macroCommands.find(item.macro);
            if (found == r.macroCommands.end()) {
                r.error = "item \"" + item.name + "\" of " + menu.name + " refers to the undefined macro \""
                    + item.macro + "\"";
                return false;
            }
            if (item.name.empty())
                item.name = r.macroNames[item.macro];
            item.macro = found->second;
        }
    }
    return true;
}

} // namespace

bool ReadCuiFile(const std::string& unixPath, CuiFile& file, std::string& error)
{
    std::ifstream in(unixPath, std::ios::binary);
    if (!in) {
        error = "cannot open the file";
        return false;
    }
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxCuiBytes) {
            error = "the file is too large for a customization file";
            return false;
        }
    }
    return ParseCuiText(bytes, file, error);
}

bool ParseCuiText(const std::string& bytes, CuiFile& file, std::string& error)
{
    if (bytes.size() > kMaxCuiBytes) {
        error = "the file is too large for a customization file";
        return false;
    }
    Reader reader;
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate(nullptr), XML_ParserFree);
    if (!parser) {
        error = "out of memory";
        return false;
    }
    XML_SetUserData(parser.get(), &reader);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    if (XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) != XML_STATUS_OK) {
        std::ostringstream message;
        message << "line " << XML_GetCurrentLineNumber(parser.get()) << ": "
                << XML_ErrorString(XML_GetErrorCode(parser.get()));
        error = message.str();
        return false;
    }
    if (reader.file.group.empty()) {
        error = "no menu group is named in the file";
        return false;
    }
    if (!ResolveMacros(reader, reader.file.popMenus) || !ResolveMacros(reader, reader.file.toolbars)) {
        error = reader.error;
        return false;
    }
    file = std::move(reader.file);
    return true;
}
