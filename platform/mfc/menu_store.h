// The popup menus of the framework stand-in as the driver shows them.
#pragma once
#include "dialog_form.h"

namespace mfcwin {
PopupForm FormOfMenu(HMENU menu);
}
