// What the dialog driver and the popup menus share while a modal dialog
// runs: the driver, the command an rclick action chose for the popup it
// opens, and the commands a popup posted to its owner.
#pragma once
#include "dialog_driver.h"

#include <optional>
#include <string>

namespace mfcwin {

DialogDriver* CurrentDialogDriver();

// Set by an rclick action for the popup its handler tracks.
struct PopupPlan {
    bool armed = false;           // an action is running that may open a popup
    std::optional<UINT> command;  // chosen in advance
    bool opened = false;          // a popup was tracked
    std::string refusal;          // why the chosen command was not taken
};
PopupPlan& CurrentPopupPlan();

// WM_COMMAND posted to `owner` by a popup without TPM_RETURNCMD; delivered
// when the action that opened the popup is done, as the message loop would.
void PostCommand(HWND owner, UINT command);
void DeliverPostedCommands();

} // namespace mfcwin
