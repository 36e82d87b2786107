#include "app/help.h"

#include "app/gwell_app.h"
#include "app/module_paths.h"

#include <htmlhelp.h>
#include <windows.h>

#include <string>

namespace {

const char kHelpLibrary[] = "hhctrl.ocx";
const char kHelpFile[] = "gwell.chm";
// The viewer's ANSI entry point (HtmlHelpA) is exported by ordinal only.
constexpr WORD kHtmlHelpOrdinal = 14;

} // namespace

void OpenHelp()
{
    GwellApp& application = TheGwellApp();
    HMODULE library = application.HelpLibrary();
    if (!library) {
        // Without the viewer there is nothing to show the help with, and
        // nothing the user could do about it here: no message.
        library = LoadLibraryA(kHelpLibrary);
        if (!library)
            return;
        application.SetHelpLibrary(library);
    }
    auto htmlHelp = reinterpret_cast<decltype(&HtmlHelpA)>(GetProcAddress(library, MAKEINTRESOURCEA(kHtmlHelpOrdinal)));
    if (!htmlHelp)
        return;
    // A help file that is missing is the viewer's to report.
    const std::string helpFile = ModuleDirectoryOf(application.ModuleInstance()) + "\\" + kHelpFile;
    htmlHelp(nullptr, helpFile.c_str(), HH_DISPLAY_TOPIC, 0);
}
