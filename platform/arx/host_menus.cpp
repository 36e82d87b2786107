// The host's menu bar and toolbars, the menu groups MENULOAD loads from
// customization files, and the -TOOLBAR command.
#include "acad_host_state.h"

#include "acedads.h"

#include "dos_path.h"

#include <acdocman.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace {

AcadHost::State* HostState()
{
    AcadHost* host = AcadHost::current();
    return host ? &host->state() : nullptr;
}

// Items are named as the user reads them: without the mnemonic mark and
// the ellipsis of an item that asks for more.
std::string PlainItemName(const std::string& name)
{
    std::string plain;
    for (char c : name)
        if (c != '&')
            plain += c;
    if (plain.size() >= 3 && plain.compare(plain.size() - 3, 3, "...") == 0)
        plain.resize(plain.size() - 3);
    return HostUpper(plain);
}

bool NamesToolbar(const CuiFile& group, const CuiMenu& toolbar, const std::string& wanted)
{
    std::vector<std::string> names = toolbar.aliases;
    names.push_back(toolbar.name);
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        if (HostUpper(name) == wanted || HostUpper(group.group + "." + name) == wanted)
            return true;
    }
    return false;
}

// A macro as the keys it stands for: "^C^C" cancels what runs (nothing
// does at a pick), ";" and a blank are Enter.
std::vector<std::string> MacroLines(std::string macro)
{
    while (macro.rfind("^C", 0) == 0)
        macro.erase(0, 2);
    std::vector<std::string> lines;
    std::string line;
    for (char c : macro) {
        if (c == ';' || c == ' ') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string ToolbarKey(const CuiFile& group, std::size_t index) { return HostUpper(group.group) + "\\" + std::to_string(index); }

bool RunMenuLoad(AcadHost::State& s)
{
    if (s.systemVariables["CMDDIA"] != 0) {
        // The command would open its dialog; a command-line host has none.
        HostWriteOutput("\nMENULOAD opens its dialog while CMDDIA is 1; this host has none. Nothing was loaded.\n");
        s.commandAnswers.clear();
        return true;
    }
    std::string path;
    if (HostCommandAnswer(s, "\nEnter name of customization file to load: ", path) != HostInputResult::Line)
        return true;
    CuiFile file;
    std::string error;
    if (!ReadCuiFile(UnixPathFromDos(path), file, error)) {
        HostWriteOutput("\nError loading customization file \"" + path + "\": " + error + "\n");
        return true;
    }
    if (s.findMenuGroup(file.group)) {
        if (!s.quietCommand)
            HostWriteOutput("\nMenu group \"" + file.group + "\" is already loaded.\n");
        return true;
    }
    s.menuGroups.push_back(std::move(file));
    const CuiFile& loaded = s.menuGroups.back();
    for (std::size_t i = 0; i < loaded.toolbars.size(); ++i)
        if (loaded.toolbars[i].visible)
            s.visibleToolbars.insert(ToolbarKey(loaded, i));
    if (!s.quietCommand)
        HostWriteOutput("\nCustomization file loaded successfully. Customization Group: " + loaded.group + "\n");
    return true;
}

bool RunToolbar(AcadHost::State& s)
{
    std::string name;
    if (HostCommandAnswer(s, "\nEnter toolbar name or [ALL]: ", name) != HostInputResult::Line)
        return true;
    const std::string wanted = HostUpper(name);
    const CuiFile* group = nullptr;
    std::size_t index = 0;
    for (const CuiFile& candidate : s.menuGroups) {
        for (std::size_t i = 0; i < candidate.toolbars.size() && !group; ++i) {
            if (NamesToolbar(candidate, candidate.toolbars[i], wanted)) {
                group = &candidate;
                index = i;
            }
        }
    }
    if (!group) {
        HostWriteOutput("\nNo toolbar named \"" + name + "\" was found.\n");
        return true;
    }
    std::string option;
    if (HostCommandAnswer(s, "\nEnter an option [Show/Hide/Left/Right/Top/Bottom/Float] <Show>: ", option)
        != HostInputResult::Line)
        return true;
    if (!option.empty() && option.front() == '_')
        option.erase(0, 1);
    const std::string keyword = HostUpper(option);
    const std::string key = ToolbarKey(*group, index);
    auto abbreviates = [&keyword](const char* word) { return std::string(word).rfind(keyword, 0) == 0; };
    if (keyword.empty() || abbreviates("SHOW") || abbreviates("LEFT") || abbreviates("RIGHT") || abbreviates("TOP")
        || abbreviates("BOTTOM") || abbreviates("FLOAT"))
        s.visibleToolbars.insert(key);
    else if (abbreviates("HIDE"))
        s.visibleToolbars.erase(key);
    else
        HostWriteOutput("\nInvalid option keyword.\n");
    return true;
}

const std::vector<std::string> kHostPullDowns = {"&File", "&Edit", "&View", "&Insert", "F&ormat", "&Tools",
    "&Draw", "Dime&nsion", "&Modify", "&Window", "&Help"};

// The window buttons a maximised document window adds at the end of the bar.
constexpr int kMaximisedWindowButtons = 3;

} // namespace

void AcadHost::State::showMenuBar()
{
    HMENU bar = CreateMenu();
    if (documentMaximised) {
        // The document's system-menu icon: an untitled item at the front.
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "");
    }
    UINT_PTR nextId = 1;
    for (const BarEntry& entry : menuBar) {
        HMENU popup = CreatePopupMenu();
        if (const CuiFile* group = entry.group.empty() ? nullptr : findMenuGroup(entry.group)) {
            for (const CuiItem& item : group->popMenus[entry.menu].items)
                AppendMenuA(popup, item.separator ? MF_SEPARATOR : MF_STRING, nextId++, item.name.c_str());
        }
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), entry.title.c_str());
    }
    if (documentMaximised)
        for (int i = 0; i < kMaximisedWindowButtons; ++i)
            AppendMenuA(bar, MF_STRING, 0xF020 + static_cast<UINT_PTR>(i), "");
    SetMenu(adsw_acadMainWnd(), bar);
    if (windowMenu)
        DestroyMenu(windowMenu);
    windowMenu = bar;
}

CuiFile* AcadHost::State::findMenuGroup(const std::string& name)
{
    const std::string wanted = HostUpper(name);
    for (CuiFile& group : menuGroups)
        if (HostUpper(group.group) == wanted)
            return &group;
    return nullptr;
}

bool RunBuiltinCommand(AcadHost::State& s, const std::string& name)
{
    std::string command = HostUpper(name);
    // "_" asks for the global name, "." for the built-in one even when an
    // application redefined it; both find the built-in here.
    while (!command.empty() && (command.front() == '_' || command.front() == '.'))
        command.erase(0, 1);
    if (command == "MENULOAD")
        return RunMenuLoad(s);
    if (command == "-TOOLBAR")
        return RunToolbar(s);
    return false;
}

int acedMenuCmd(const char* command)
{
    AcadHost::State* s = HostState();
    if (!s || !command)
        return RTERROR;
    const std::string text = command;
    const std::size_t equals = text.find("=+");
    if (text.size() < 2 || (text[0] != 'P' && text[0] != 'p') || equals == std::string::npos || equals < 2)
        return RTERROR;
    const std::string number = text.substr(1, equals - 1);
    if (number.find_first_not_of("0123456789") != std::string::npos)
        return RTERROR;
    const std::size_t position = std::strtoul(number.c_str(), nullptr, 10);
    const std::string target = text.substr(equals + 2);
    const std::size_t dot = target.find('.');
    if (dot == std::string::npos)
        return RTERROR;
    CuiFile* group = s->findMenuGroup(target.substr(0, dot));
    if (!group)
        return RTERROR;
    const std::string menuName = HostUpper(target.substr(dot + 1));
    for (std::size_t i = 0; i < group->popMenus.size(); ++i) {
        const CuiMenu& menu = group->popMenus[i];
        bool named = HostUpper(menu.uid) == menuName || HostUpper(menu.name) == menuName;
        for (const std::string& alias : menu.aliases)
            named = named || HostUpper(alias) == menuName;
        if (!named)
            continue;
        const std::size_t at = std::min(position, s->menuBar.size());
        s->menuBar.insert(s->menuBar.begin() + static_cast<std::ptrdiff_t>(at),
            AcadHost::State::BarEntry{menu.name, group->group, i});
        s->showMenuBar();
        return RTNORM;
    }
    return RTERROR;
}

bool acedIsMenuGroupLoaded(const char* groupName)
{
    AcadHost::State* s = HostState();
    return s && groupName && s->findMenuGroup(groupName);
}

void AcadHost::setMenuBarTitles(const std::vector<std::string>& titles)
{
    State& s = *m_state;
    s.menuBar.erase(std::remove_if(s.menuBar.begin(), s.menuBar.end(),
                        [](const State::BarEntry& entry) { return entry.group.empty(); }),
        s.menuBar.end());
    std::vector<State::BarEntry> own;
    for (const std::string& title : titles)
        own.push_back({title, std::string(), 0});
    s.menuBar.insert(s.menuBar.begin(), own.begin(), own.end());
    s.showMenuBar();
}

std::vector<std::string> AcadHost::defaultMenuBarTitles() { return kHostPullDowns; }

void AcadHost::setDocumentMaximised(bool maximised)
{
    m_state->documentMaximised = maximised;
    m_state->showMenuBar();
}

bool AcadHost::isToolbarVisible(const std::string& name) const
{
    const std::string wanted = HostUpper(name);
    for (const CuiFile& group : m_state->menuGroups)
        for (std::size_t i = 0; i < group.toolbars.size(); ++i)
            if (NamesToolbar(group, group.toolbars[i], wanted))
                return m_state->visibleToolbars.count(ToolbarKey(group, i)) > 0;
    return false;
}

std::vector<std::string> AcadHost::visibleToolbarLines() const
{
    std::vector<std::string> lines;
    for (const CuiFile& group : m_state->menuGroups) {
        for (std::size_t i = 0; i < group.toolbars.size(); ++i) {
            if (!m_state->visibleToolbars.count(ToolbarKey(group, i)))
                continue;
            const CuiMenu& toolbar = group.toolbars[i];
            std::string line = "Toolbar " + toolbar.name + ":";
            for (const CuiItem& button : toolbar.items)
                if (!button.separator)
                    line += " [" + button.name + "]";
            lines.push_back(line);
        }
    }
    return lines;
}

bool AcadHost::pickMenuItem(const std::string& item, bool fromToolbar, std::string& error)
{
    State& s = *m_state;
    const std::string wanted = PlainItemName(item);
    const CuiItem* found = nullptr;
    if (fromToolbar) {
        for (const CuiFile& group : s.menuGroups)
            for (std::size_t i = 0; i < group.toolbars.size() && !found; ++i)
                if (s.visibleToolbars.count(ToolbarKey(group, i)))
                    for (const CuiItem& button : group.toolbars[i].items)
                        if (!found && !button.separator && PlainItemName(button.name) == wanted)
                            found = &button;
    } else {
        for (const State::BarEntry& entry : s.menuBar) {
            const CuiFile* group = entry.group.empty() ? nullptr : s.findMenuGroup(entry.group);
            if (!group || found)
                continue;
            for (const CuiItem& candidate : group->popMenus[entry.menu].items)
                if (!found && !candidate.separator && PlainItemName(candidate.name) == wanted)
                    found = &candidate;
        }
    }
    if (!found) {
        error = fromToolbar ? "no visible toolbar has a button \"" + item + "\""
                            : "no menu on the menu bar has an item \"" + item + "\"";
        return false;
    }
    for (const std::string& line : MacroLines(found->macro))
        s.pendingInput.push_back(line);
    return true;
}
