#include "dialog_driver.h"

#include "window_tree.h"

#include <map>

using mfcwin::Kind;
using mfcwin::Window;

const FormControl* DialogForm::control(int id) const
{
    for (const FormControl& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

const PopupItem* PopupForm::item(UINT id) const
{
    for (const PopupItem& i : items)
        if (!i.separator && !i.popup && i.id == id)
            return &i;
    return nullptr;
}

DialogForm DialogSession::form() const
{
    DialogForm form;
    Window* dialog = mfcwin::Find(m_dialog);
    if (!dialog)
        return form;
    form.templateId = dialog->templateId;
    form.title = dialog->text;
    // Tips show only while their tooltip is active.
    std::map<HWND, std::string> tips;
    auto takeTips = [&](const Window& tip) {
        form.relayedToTooltips += tip.relayed;
        if (tip.active)
            for (const auto& [tool, text] : tip.tools)
                tips[tool] = text;
    };
    for (HWND child : dialog->children) {
        Window* tip = mfcwin::Find(child);
        if (tip && tip->kind == Kind::ToolTip)
            takeTips(*tip);
    }
    // The dialog's own controls, then those of the tab page shown.
    std::vector<std::pair<HWND, int>> shown;
    for (HWND child : dialog->children) {
        Window* window = mfcwin::Find(child);
        if (!window || window->kind == Kind::ToolTip || window->kind == Kind::Dialog)
            continue;
        shown.emplace_back(child, -1);
    }
    for (HWND child : dialog->children) {
        Window* tab = mfcwin::Find(child);
        if (!tab || tab->kind != Kind::Tab || tab->activeTab < 0 || tab->activeTab >= static_cast<int>(tab->pages.size()))
            continue;
        Window* page = mfcwin::Find(tab->pages[static_cast<std::size_t>(tab->activeTab)]);
        for (HWND onPage : page ? page->children : std::vector<HWND>{}) {
            Window* window = mfcwin::Find(onPage);
            if (!window)
                continue;
            if (window->kind == Kind::ToolTip) {
                takeTips(*window);
                continue;
            }
            shown.emplace_back(onPage, tab->activeTab);
        }
    }
    // A control may own a tooltip of its own (a link showing its URL).
    for (const auto& [child, pageIndex] : shown)
        for (HWND owned : mfcwin::Find(child)->children) {
            Window* tip = mfcwin::Find(owned);
            if (tip && tip->kind == Kind::ToolTip)
                takeTips(*tip);
        }
    for (const auto& [child, pageIndex] : shown) {
        Window* window = mfcwin::Find(child);
        FormControl control;
        control.rect = window->rect;
        control.repaints = window->repaints;
        control.id = window->id;
        control.kind = mfcwin::KindName(window->kind);
        control.enabled = window->enabled;
        control.visible = window->visible;
        control.page = pageIndex;
        control.hasFocus = dialog->focus == child;
        if (window->kind == Kind::CheckBox || window->kind == Kind::Radio)
            control.check = window->check;
        control.text = window->text;
        if (auto it = tips.find(child); it != tips.end())
            control.tip = it->second;
        for (const mfcwin::ListColumn& column : window->columns)
            control.columns.push_back(column.heading);
        for (const mfcwin::ListItem& item : window->items)
            control.items.push_back({item.text, (item.state & LVIS_SELECTED) != 0, (item.state & LVIS_FOCUSED) != 0});
        for (std::size_t i = 0; i < window->tabs.size(); ++i)
            control.items.push_back({window->tabs[i], static_cast<int>(i) == window->activeTab, false});
        form.controls.push_back(std::move(control));
    }
    return form;
}

namespace {

// A caption as the user reads it: "&" marks the access key and is not shown.
std::string Shown(const std::string& text)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (c == '\r')
            quoted += "\\r";
        else if (c == '\n')
            quoted += "\\n";
        else
            quoted += c;
    }
    return quoted + "\"";
}

std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

} // namespace

std::string FormatDialogForm(const DialogForm& form)
{
    std::string out = "Dialog " + std::to_string(form.templateId) + " " + Quoted(form.title) + "\n";
    int page = -1;
    for (const FormControl& control : form.controls) {
        if (control.page != page) {
            page = control.page;
            out += "  on tab " + std::to_string(page) + ":\n";
        }
        out += "  " + Padded(std::to_string(control.id), 6) + Padded(control.kind, 9);
        out += control.enabled ? "enabled  " : "disabled ";
        out += control.visible ? "visible" : "hidden ";
        if (control.check >= 0)
            out += control.check == BST_CHECKED ? "  [x]" : control.check == BST_INDETERMINATE ? "  [-]" : "  [ ]";
        if (control.hasFocus)
            out += "  focus";
        if (control.kind != "list" || !control.text.empty())
            out += "  " + Quoted(Shown(control.text));
        for (const std::string& column : control.columns)
            out += "  column " + Quoted(column);
        if (!control.tip.empty())
            out += "  tip " + Quoted(control.tip);
        out += "\n";
        for (std::size_t i = 0; i < control.items.size(); ++i) {
            const FormItem& item = control.items[i];
            out += "        " + Padded(std::to_string(i), 4) + (item.selected ? "[x] " : "[ ] ") + item.text;
            if (item.focused)
                out += "  (focus)";
            out += "\n";
        }
        if (control.kind == "tab")
            out += "        (tab INDEX shows a page)\n";
        if (control.kind == "list" && control.items.empty())
            out += "        (no items)\n";
    }
    return out;
}

std::string FormatPopupForm(const PopupForm& popup)
{
    std::string out = "Menu\n";
    for (const PopupItem& item : popup.items) {
        const std::string indent(static_cast<std::size_t>(2 + 2 * item.depth), ' ');
        if (item.separator) {
            out += indent + "------\n";
            continue;
        }
        if (item.popup) {
            out += indent + Shown(item.text) + " >\n";
            continue;
        }
        out += indent + Padded(std::to_string(item.id), 7) + (item.checked ? "[x] " : "[ ] ") + Shown(item.text);
        if (item.grayed)
            out += "  (disabled)";
        out += "\n";
    }
    return out;
}
