#include "export/export.h"

#include "automation/acquire_excel.h"
#include "automation/excel_ops.h"
#include "export/block_name_table.h"
#include "export/choose_blocks.h"
#include "export/export_block.h"
#include "export/reference_filters.h"
#include "export/typed_names.h"
#include "export/select_references.h"
#include "export/worksheet_writer.h"
#include "common/command_line.h"
#include "common/module_state.h"
#include "common/resource_strings.h"
#include "livelink/livelink.h"
#include "res/resource.h"
#include "settings/settings_registry.h"

#include <acdocman.h>
#include <adslib.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// The host's input buffer of acedGetString: 132 characters and the end.
constexpr std::size_t kTypedAnswerBuffer = 133;

} // namespace

bool RunExport(const std::vector<std::string>& names, const Settings& settings, bool mayConnect)
{
    // The sink must not take the export's own cells for user edits.
    DisconnectLiveLink();

    Excel::_ApplicationPtr application;
    if (FAILED(AcquireExcel(AcquireMode::RunningOrNew, application))) {
        const std::string text = ResourceString(IDS_ERROR_TEXT);
        const std::string caption = ResourceString(IDS_NO_EXCEL_CAPTION);
        MessageBoxA(adsw_acadMainWnd(), text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
        return false;
    }
    automation::PutVisible(application, true);
    PrepareWorkbook(application, settings);

    for (const std::string& name : names) {
        if (!SharesActiveWorksheet(settings))
            TheModuleState().currentRow = 1;
        ExportBlock(name, settings);
    }

    if (mayConnect && settings.AutoConnect)
        ConnectLiveLink();
    return true;
}

bool RunDialogExport(bool alwaysSelectFirst)
{
    ResourceSourceScope resources;
    AcDbObjectIdArray& selected = TheModuleState().selectedReferences;
    selected.removeAll();
    Settings settings;
    if (alwaysSelectFirst) {
        if (SelectReferences(selected) == 0)
            return false;
        LoadSettings(settings);
    } else {
        LoadSettings(settings);
        if (settings.Selection && SelectReferences(selected) == 0)
            return false;
    }

    BlockNameTable table;
    if (!BuildBlockNameTable(table))
        return false;
    std::vector<std::string> names;
    if (!ChooseBlocks(table, names))
        return false;
    return RunExport(names, settings, true);
}

bool ExportByNames()
{
    ResourceSourceScope resources;
    // Typed names export whole blocks: no selection limit.
    TheModuleState().selectedReferences.removeAll();
    Settings settings;
    LoadSettings(settings);
    BlockNameTable table;
    if (!BuildBlockNameTable(table))
        return false;

    const std::string prompt = ResourceString(IDS_BLOCK_NAMES_PROMPT);
    char typed[kTypedAnswerBuffer] = {};
    if (acedGetString(1, prompt.c_str(), typed) != RTNORM)
        return false;
    // The host cuts a longer answer to what the buffer holds without saying
    // so, and a cut can fall in the middle of a name (or of a character).
    // An answer that fills the buffer cannot be told from a cut one, so it
    // is refused rather than exported in part.
    if (std::strlen(typed) >= kTypedAnswerBuffer - 1) {
        PrintText(FormatResource(IDS_TYPED_NAMES_TOO_LONG, {std::to_string(kTypedAnswerBuffer - 1)}));
        return false;
    }
    return RunExport(NamesFromTypedText(typed, table), settings, false);
}
