// The driver behind modal dialogs and popup menus (afxwin.h). There is no
// screen: when a dialog opens, DoModal hands it to the installed driver as a
// DialogSession, and the driver acts for the user until the dialog ends.
// gwhost's driver prints the form and reads actions from its input; tests
// act from code. A dialog the driver leaves open is cancelled, and without a
// driver a dialog is cancelled as it opens.
//
// Actions, one a line in text form (DialogSession::perform):
//   click ID            push a button, toggle a check box, pick a radio button,
//                       click a static text that notifies (a hyperlink)
//   check ID on|off     set a check box (clicking it when it differs)
//   text ID VALUE       type VALUE (the rest of the line) into an edit box
//   select ID INDEX...  select exactly these items of a list (none: clear)
//   focus ID INDEX      give a list item the focus
//   rclick ID [CMD]     right-click a list; CMD picks from the popup menu it
//                       opens (without CMD the driver is asked)
//   spin ID up|down     click an arrow of an up-down control
//   mousemove ID X Y    move the pointer to X, Y of the control's client area
//                       (negative or beyond it: leaving it); the cursor
//                       request comes first unless a window holds the capture
//   tab INDEX           show another page of a tab dialog
//   help                press F1 (WM_HELP to the dialog)
//   ok, cancel          press Enter or Escape
// An action on a control that does not exist, is disabled or hidden, or of
// the wrong kind is refused with one line saying why and changes nothing.
// In a tab dialog the ids name the controls of the page shown first, then
// those of the dialog itself.
#pragma once
#include "device_context.h"
#include "dialog_form.h"

#include <optional>
#include <string>
#include <vector>

struct ActionResult {
    bool done = true;
    std::string why; // set when the action was refused

    static ActionResult Refused(std::string reason) { return {false, std::move(reason)}; }
};

class DialogSession {
public:
    explicit DialogSession(HWND dialog) : m_dialog(dialog) {}

    DialogForm form() const;
    bool ended() const;
    HWND window() const { return m_dialog; }

    ActionResult click(int id);
    ActionResult check(int id, bool on);
    ActionResult text(int id, const std::string& value);
    ActionResult select(int id, const std::vector<int>& indexes);
    ActionResult focus(int id, int index);
    ActionResult rclick(int id, std::optional<UINT> command = std::nullopt);
    ActionResult spin(int id, bool up);
    ActionResult mouseMove(int id, int x, int y);
    ActionResult tab(int index);
    ActionResult help();
    // Has owner-draw button `id` draw itself as it is now (pushed when
    // `pushed`); what it drew goes to `shapes`. For a static text, the
    // colour request its parent gets: what was set on the device context,
    // then the brush answered (a Brush shape, null when unanswered).
    ActionResult paint(int id, std::vector<DrawnShape>& shapes, bool pushed = false);
    ActionResult ok();
    ActionResult cancel();
    // One action in text form (above).
    ActionResult perform(const std::string& line);

private:
    ActionResult deliverCommand(int id, UINT code);
    HWND m_dialog;
};

class DialogDriver {
public:
    virtual ~DialogDriver() = default;
    // Acts on the dialog until it has ended (or gives up, which cancels it).
    virtual void runModal(DialogSession& session) = 0;
    // A popup menu opened with no command chosen in advance: the command
    // the user picks, 0 to close it without one.
    virtual UINT choosePopupCommand(const PopupForm& popup) = 0;
    // A common Open or Save dialog: the path the user chose, none to cancel.
    // A driver that does not know file dialogs cancels them.
    virtual std::optional<std::string> chooseFile(const FileForm&) { return std::nullopt; }
};

// Installs the driver for the whole process (null: none); returns the one before.
DialogDriver* SetDialogDriver(DialogDriver* driver);
