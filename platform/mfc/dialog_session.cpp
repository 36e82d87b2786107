#include "dialog_driver.h"

#include "afxwin.h"
#include "modal_state.h"
#include "recording_dc.h"
#include "window_tree.h"

#include <algorithm>
#include <memory>
#include <atomic>
#include <cstdio>
#include <charconv>
#include <sstream>
#include <utility>

using mfcwin::Kind;
using mfcwin::Window;

namespace mfcwin {
namespace {

std::atomic<DialogDriver*> g_driver{nullptr};
PopupPlan g_plan;
std::vector<std::pair<HWND, UINT>> g_posted;

} // namespace

DialogDriver* CurrentDialogDriver() { return g_driver.load(); }
PopupPlan& CurrentPopupPlan() { return g_plan; }
void PostCommand(HWND owner, UINT command) { g_posted.emplace_back(owner, command); }

void DeliverPostedCommands()
{
    while (!g_posted.empty()) {
        const auto [owner, command] = g_posted.front();
        g_posted.erase(g_posted.begin());
        Window* window = Find(owner);
        if (window && window->permanent)
            window->permanent->SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
}

} // namespace mfcwin

DialogDriver* SetDialogDriver(DialogDriver* driver) { return mfcwin::g_driver.exchange(driver); }

namespace {

std::string Id(int id) { return std::to_string(id); }

Window* LiveDialog(HWND handle)
{
    Window* dialog = mfcwin::Find(handle);
    return dialog && dialog->kind == Kind::Dialog && !dialog->ended ? dialog : nullptr;
}

// The control an action names, or why it cannot be acted on.
ActionResult Reach(HWND dialogHandle, int id, Window*& control)
{
    control = nullptr;
    Window* dialog = LiveDialog(dialogHandle);
    if (!dialog)
        return ActionResult::Refused("the dialog is closed");
    control = mfcwin::Reachable(dialog->handle, id);
    if (!control)
        return ActionResult::Refused("there is no control " + Id(id));
    if (!control->visible)
        return ActionResult::Refused("control " + Id(id) + " is hidden");
    if (!control->enabled)
        return ActionResult::Refused("control " + Id(id) + " is disabled");
    return {};
}

ActionResult WrongKind(const Window& control, const char* action, const char* kinds)
{
    const std::string kind = mfcwin::KindName(control.kind);
    const char* article = kind.find_first_of("aeiou") == 0 ? " is an " : " is a ";
    return ActionResult::Refused("control " + Id(control.id) + article + kind + "; " + action + " works on " + kinds);
}

// The modal loop hands every input message to the dialog first, as
// CWnd::PreTranslateMessage sees it; TRUE there swallows the input.
bool Swallowed(HWND dialogHandle, HWND target, UINT message)
{
    Window* dialog = mfcwin::Find(dialogHandle);
    if (!dialog || !dialog->permanent)
        return false;
    MSG input{target, message, 0, 0, 0, {0, 0}};
    return dialog->permanent->PreTranslateMessage(&input) != FALSE;
}

void TakeFocus(HWND dialogHandle, const Window& control)
{
    if (Window* dialog = mfcwin::Find(dialogHandle))
        dialog->focus = control.handle;
}

bool IsAuto(const Window& control)
{
    const DWORD type = control.style & BS_TYPEMASK;
    return type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

// A radio button picked: the others of its group are cleared.
void PickRadio(Window& picked)
{
    Window* dialog = mfcwin::Find(picked.parent);
    const std::vector<HWND>& children = dialog->children;
    std::size_t at = 0;
    while (at < children.size() && children[at] != picked.handle)
        ++at;
    std::size_t first = at;
    while (first > 0 && !(mfcwin::Find(children[first])->style & WS_GROUP))
        --first;
    for (std::size_t i = first; i < children.size(); ++i) {
        Window* control = mfcwin::Find(children[i]);
        if (i > first && (control->style & WS_GROUP))
            break;
        if (control->kind == Kind::Radio)
            control->check = control == &picked ? BST_CHECKED : BST_UNCHECKED;
    }
}

bool ParseInt(const std::string& word, int& value)
{
    const char* end = word.data() + word.size();
    auto [ptr, error] = std::from_chars(word.data(), end, value);
    return error == std::errc() && ptr == end;
}

const char* const kActions = "click ID, check ID on|off, text ID VALUE, select ID INDEX..., focus ID INDEX, "
                             "rclick ID [COMMAND], spin ID up|down, mousemove ID X Y, tab INDEX, help, ok, cancel";

// The tab control of a tab dialog, or null.
Window* TabOf(HWND dialog)
{
    Window* window = mfcwin::Find(dialog);
    if (!window)
        return nullptr;
    for (HWND child : window->children)
        if (Window* tab = mfcwin::Find(child); tab && tab->kind == Kind::Tab)
            return tab;
    return nullptr;
}

} // namespace

bool DialogSession::ended() const { return LiveDialog(m_dialog) == nullptr; }

namespace {

// The window a control reports to: its dialog, or the tab page it sits on.
CWnd* ParentOf(HWND dialog, const Window* control)
{
    if (control)
        if (Window* parent = mfcwin::Find(control->parent); parent && parent->permanent)
            return parent->permanent;
    Window* window = mfcwin::Find(dialog);
    return window ? window->permanent : nullptr;
}

} // namespace

ActionResult DialogSession::deliverCommand(int id, UINT code)
{
    Window* dialog = LiveDialog(m_dialog);
    if (!dialog || !dialog->permanent)
        return ActionResult::Refused("the dialog is closed");
    Window* control = mfcwin::Reachable(m_dialog, id);
    if (CWnd* parent = ParentOf(m_dialog, control))
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(id, code),
                            reinterpret_cast<LPARAM>(control ? control->handle : nullptr));
    mfcwin::DeliverPostedCommands();
    return {};
}

ActionResult DialogSession::mouseMove(int id, int x, int y)
{
    Window* control = nullptr;
    if (ActionResult reach = Reach(m_dialog, id, control); !reach.done)
        return reach;
    CWnd* window = CWnd::FromHandle(control->handle);
    // Windows asks for the cursor before the move, unless a window holds
    // the capture (then the cursor stays as it is).
    if (!GetCapture())
        window->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(control->handle), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    window->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    return {};
}

ActionResult DialogSession::click(int id)
{
    Window* control = nullptr;
    if (ActionResult reach = Reach(m_dialog, id, control); !reach.done)
        return reach;
    // A static text tells its parent of a click only with SS_NOTIFY (a
    // hyperlink sets it); without it the click goes to the dialog beneath.
    const bool notifyingStatic = control->kind == Kind::Static && (control->style & SS_NOTIFY);
    if (control->kind == Kind::Static && !notifyingStatic)
        return ActionResult::Refused("static text " + Id(id) + " takes no clicks (it has no SS_NOTIFY)");
    if (control->kind != Kind::Button && control->kind != Kind::CheckBox && control->kind != Kind::Radio &&
        !notifyingStatic)
        return WrongKind(*control, "click", "buttons, check boxes and radio buttons");
    if (Swallowed(m_dialog, control->handle, WM_LBUTTONDOWN))
        return {};
    if (notifyingStatic)
        return deliverCommand(id, STN_CLICKED);
    TakeFocus(m_dialog, *control);
    if (control->kind == Kind::CheckBox && IsAuto(*control)) {
        const bool threeState = (control->style & BS_TYPEMASK) == BS_AUTO3STATE;
        control->check = control->check == BST_UNCHECKED ? BST_CHECKED
                         : (threeState && control->check == BST_CHECKED) ? BST_INDETERMINATE
                                                                          : BST_UNCHECKED;
    } else if (control->kind == Kind::Radio && IsAuto(*control)) {
        PickRadio(*control);
    }
    return deliverCommand(id, BN_CLICKED);
}

ActionResult DialogSession::check(int id, bool on)
{
    Window* control = nullptr;
    if (ActionResult reach = Reach(m_dialog, id, control); !reach.done)
        return reach;
    if (control->kind != Kind::CheckBox && control->kind != Kind::Radio)
        return WrongKind(*control, "check", "check boxes and radio buttons");
    if ((control->check == BST_CHECKED) == on)
        return {};
    if (control->kind == Kind::Radio && !on)
        return ActionResult::Refused("radio button " + Id(id) + " goes off when another of its group is picked");
    return click(id);
}

ActionResult DialogSession::text(int id, const std::string& value)
{
    Window* control = nullptr;
    if (ActionResult reach = Reach(m_dialog, id, control); !reach.done)
        return reach;
    if (control->kind != Kind::Edit)
        return WrongKind(*control, "text", "edit boxes");
    // Typing stops at the box's limit; a longer text is refused whole rather
    // than cut where the user did not choose.
    if (value.size() > control->textLimit)
        return ActionResult::Refused("edit box " + Id(id) + " takes at most " + std::to_string(control->textLimit) +
                                     " characters; the text has " + std::to_string(value.size()));
    if (Swallowed(m_dialog, control->handle, WM_KEYDOWN))
        return {};
    TakeFocus(m_dialog, *control);
    control->text = value;
    return deliverCommand(id, EN_CHANGE);
}

ActionResult DialogSession::select(int id, const std::vector<int>& indexes)
{
    Window* control = nullptr;
    if (ActionResult reach = Reach(m_dialog, id, control); !reach.done)
        return reach;
    if (control->kind != Kind::List)
        return WrongKind(*control, "select", "lists");
    for (int index : indexes)
        if (index < 0 || index >= static_cast<int>(control->items.size()))
            return ActionResult::Refused("list " + Id(id) + " has " + std::to_string(control->items.size()) +
                                         " items; there is no item " + std::to_string(index));
    if ((control->style & LVS_SINGLESEL) && indexes.size() > 1)
        return ActionResult::Refused("list " + Id(id) + " takes one selected item");
    if (Swallowed(m_dialog, control->handle, WM_LBUTTONDOWN))
        return {};
    TakeFocus(m_dialog, *control);
    for (mfcwin::ListItem& item : control->items)
        item.state &= ~static_cast<UINT>(LVIS_SELECTED);
    for (int index : indexes)
        control->items[static_cast<std::size_t>(index)].state |= LVIS_SELECTED;
    return {};
}

ActionResult DialogSession::focus(int id, int index)
{
    Window* control = nullptr;
    if (ActionResult reach = Reach(m_dialog, id, control); !reach.done)
        return reach;
    if (control->kind != Kind::List)
        return WrongKind(*control, "focus", "lists");
    if (index < 0 || index >= static_cast<int>(control->items.size()))
        return ActionResult::Refused("list " + Id(id) + " has " + std::to_string(control->items.size()) +
                                     " items; there is no item " + std::to_string(index));
    if (Swallowed(m_dialog, control->handle, WM_LBUTTONDOWN))
        return {};
    TakeFocus(m_dialog, *control);
    for (std::size_t i = 0; i < control->items.size(); ++i) {
        UINT& state = control->items[i].state;
        state = static_cast<int>(i) == index ? (state | LVIS_FOCUSED) : (state & ~static_cast<UINT>(LVIS_FOCUSED));
    }
    return {};
}

ActionResult DialogSession::rclick(int id, std::optional<UINT> command)
{
    Window* control = nullptr;
    if (ActionResult reach = Reach(m_dialog, id, control); !reach.done)
        return reach;
    if (control->kind != Kind::List)
        return WrongKind(*control, "rclick", "lists");
    if (Swallowed(m_dialog, control->handle, WM_RBUTTONDOWN))
        return {};
    Window* dialog = LiveDialog(m_dialog);
    // A popup opened by this click takes the command chosen with it; an
    // inner dialog the command opens plans its own popups.
    mfcwin::PopupPlan saved = std::exchange(mfcwin::CurrentPopupPlan(), mfcwin::PopupPlan{true, command, false, {}});
    NMHDR header{control->handle, static_cast<UINT_PTR>(id), NM_RCLICK};
    (void)dialog;
    if (CWnd* parent = ParentOf(m_dialog, control))
        parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
    const mfcwin::PopupPlan done = std::exchange(mfcwin::CurrentPopupPlan(), saved);
    if (!done.refusal.empty())
        return ActionResult::Refused(done.refusal);
    mfcwin::DeliverPostedCommands();
    if (command && !done.opened)
        return ActionResult::Refused("right-clicking control " + Id(id) + " opened no menu");
    return {};
}

ActionResult DialogSession::spin(int id, bool up)
{
    Window* control = nullptr;
    if (ActionResult reach = Reach(m_dialog, id, control); !reach.done)
        return reach;
    if (control->kind != Kind::UpDown)
        return WrongKind(*control, "spin", "up-down controls");
    if (Swallowed(m_dialog, control->handle, WM_LBUTTONDOWN))
        return {};
    const HWND handle = control->handle;
    // The arrow that counts up counts towards the upper end of the range.
    const int step = (control->upper >= control->lower) == up ? 1 : -1;
    NMUPDOWN change{{handle, static_cast<UINT_PTR>(id), UDN_DELTAPOS}, control->position, step};
    LRESULT refused = 0;
    if (CWnd* parent = ParentOf(m_dialog, control))
        refused = parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&change));
    control = mfcwin::Find(handle);
    if (refused || !control)
        return {};
    // The step the handlers left in the record is the one taken.
    const int low = std::min(control->lower, control->upper);
    const int high = std::max(control->lower, control->upper);
    control->position = std::clamp(change.iPos + change.iDelta, low, high);
    if ((control->style & UDS_SETBUDDYINT) && mfcwin::Find(control->buddy)) {
        char text[32];
        std::snprintf(text, sizeof text, control->base == 16 ? "0x%X" : "%d", control->position);
        mfcwin::Find(control->buddy)->text = text;
    }
    return {};
}

ActionResult DialogSession::tab(int index)
{
    if (!LiveDialog(m_dialog))
        return ActionResult::Refused("the dialog is closed");
    Window* tab = TabOf(m_dialog);
    if (!tab)
        return ActionResult::Refused("the dialog has no tabs");
    if (!tab->enabled)
        return ActionResult::Refused("the tabs are disabled");
    if (index < 0 || index >= static_cast<int>(tab->pages.size()))
        return ActionResult::Refused("the dialog has " + std::to_string(tab->pages.size()) + " tabs; there is no tab " +
                                     std::to_string(index));
    if (Swallowed(m_dialog, tab->handle, WM_LBUTTONDOWN))
        return {};
    tab->activeTab = index;
    for (std::size_t i = 0; i < tab->pages.size(); ++i)
        if (Window* page = mfcwin::Find(tab->pages[i]))
            page->visible = static_cast<int>(i) == index;
    return {};
}

ActionResult DialogSession::ok()
{
    if (!LiveDialog(m_dialog))
        return ActionResult::Refused("the dialog is closed");
    if (Window* button = mfcwin::Child(m_dialog, IDOK); button && !button->enabled)
        return ActionResult::Refused("OK is disabled");
    if (Swallowed(m_dialog, m_dialog, WM_KEYDOWN))
        return {};
    return deliverCommand(IDOK, BN_CLICKED);
}

ActionResult DialogSession::help()
{
    Window* dialog = LiveDialog(m_dialog);
    if (!dialog || !dialog->permanent)
        return ActionResult::Refused("the dialog is closed");
    // The dialog manager turns F1 into WM_HELP naming the control with the
    // focus; a control that does not answer it passes it up to its dialog,
    // so here the dialog gets it directly.
    Window* focused = mfcwin::Find(dialog->focus);
    HELPINFO info{sizeof(HELPINFO), HELPINFO_WINDOW, focused ? focused->id : 0,
                  focused ? focused->handle : m_dialog, 0, {0, 0}};
    dialog->permanent->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    mfcwin::DeliverPostedCommands();
    return {};
}

ActionResult DialogSession::paint(int id, std::vector<DrawnShape>& shapes, bool pushed)
{
    Window* dialog = LiveDialog(m_dialog);
    if (!dialog)
        return ActionResult::Refused("the dialog is closed");
    Window* control = mfcwin::Reachable(m_dialog, id);
    if (!control)
        return ActionResult::Refused("there is no control " + Id(id));
    const bool ownerDraw = control->kind == Kind::Button && (control->style & BS_TYPEMASK) == BS_OWNERDRAW;
    if (!ownerDraw && control->kind != Kind::Static)
        return ActionResult::Refused("control " + Id(id) + " is not an owner-draw button or a static text");
    CWnd* parent = ParentOf(m_dialog, control);
    if (!parent)
        return ActionResult::Refused("control " + Id(id) + " has no window to draw it");
    if (!ownerDraw) {
        // A static text draws itself; what it asks its parent is its colours.
        const std::unique_ptr<HDC__, void (*)(HDC)> dc(mfcwin::NewRecordingDC(shapes), &mfcwin::DeleteRecordingDC);
        const LRESULT brush = parent->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                                  reinterpret_cast<LPARAM>(control->handle));
        DrawnShape answer;
        answer.kind = DrawnShape::Kind::Brush;
        answer.brush = reinterpret_cast<HGDIOBJ>(brush);
        shapes.push_back(answer);
        return {};
    }
    UINT state = (pushed ? ODS_SELECTED : 0u) | (control->enabled ? 0u : ODS_DISABLED) |
                 (dialog->focus == control->handle ? ODS_FOCUS : 0u);
    const std::unique_ptr<HDC__, void (*)(HDC)> dc(mfcwin::NewRecordingDC(shapes), &mfcwin::DeleteRecordingDC);
    const RECT client{0, 0, control->rect.right - control->rect.left, control->rect.bottom - control->rect.top};
    DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(id), 0, ODA_DRAWENTIRE, state, control->handle, dc.get(), client, 0};
    parent->SendMessage(WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&item));
    return {};
}

ActionResult DialogSession::cancel()
{
    if (!LiveDialog(m_dialog))
        return ActionResult::Refused("the dialog is closed");
    if (Swallowed(m_dialog, m_dialog, WM_KEYDOWN))
        return {};
    return deliverCommand(IDCANCEL, BN_CLICKED);
}

ActionResult DialogSession::perform(const std::string& line)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    for (char& c : verb)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (verb.empty())
        return ActionResult::Refused(std::string("no action; actions: ") + kActions);
    if (verb == "ok" || verb == "cancel" || verb == "help") {
        std::string extra;
        if (in >> extra)
            return ActionResult::Refused(verb + " takes nothing after it");
        return verb == "ok" ? ok() : verb == "help" ? help() : cancel();
    }
    if (verb == "tab") {
        std::string word, extra;
        int index = 0;
        if (!(in >> word) || !ParseInt(word, index) || (in >> extra))
            return ActionResult::Refused("tab needs one tab index");
        return tab(index);
    }
    if (verb != "click" && verb != "check" && verb != "text" && verb != "select" && verb != "focus" &&
        verb != "rclick" && verb != "spin" && verb != "mousemove")
        return ActionResult::Refused("unknown action \"" + verb + "\"; actions: " + kActions);
    std::string idWord;
    int id = 0;
    if (!(in >> idWord))
        return ActionResult::Refused(verb + " needs a control id");
    if (!ParseInt(idWord, id))
        return ActionResult::Refused("\"" + idWord + "\" is not a control id");
    if (verb == "text") {
        // The rest of the line after one blank, blanks and all.
        std::string value;
        std::getline(in, value);
        if (!value.empty() && value.front() == ' ')
            value.erase(0, 1);
        return text(id, value);
    }
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    std::vector<int> numbers;
    for (const std::string& word : words) {
        int number = 0;
        if (verb != "check" && verb != "spin" && !ParseInt(word, number))
            return ActionResult::Refused("\"" + word + "\" is not a number");
        numbers.push_back(number);
    }
    if (verb == "click") {
        if (!words.empty())
            return ActionResult::Refused("click takes only a control id");
        return click(id);
    }
    if (verb == "check") {
        if (words.size() != 1 || (words[0] != "on" && words[0] != "off"))
            return ActionResult::Refused("check needs on or off after the control id");
        return check(id, words[0] == "on");
    }
    if (verb == "spin") {
        if (words.size() != 1 || (words[0] != "up" && words[0] != "down"))
            return ActionResult::Refused("spin needs up or down after the control id");
        return spin(id, words[0] == "up");
    }
    if (verb == "mousemove") {
        if (numbers.size() != 2)
            return ActionResult::Refused("mousemove needs X and Y after the control id");
        return mouseMove(id, numbers[0], numbers[1]);
    }
    if (verb == "select")
        return select(id, numbers);
    if (verb == "focus") {
        if (numbers.size() != 1)
            return ActionResult::Refused("focus needs one item index after the control id");
        return focus(id, numbers[0]);
    }
    if (numbers.size() > 1)
        return ActionResult::Refused("rclick takes at most one menu command after the control id");
    if (!numbers.empty() && numbers[0] <= 0)
        return ActionResult::Refused("\"" + words[0] + "\" is not a menu command");
    return rclick(id, numbers.empty() ? std::nullopt : std::optional<UINT>(static_cast<UINT>(numbers[0])));
}
