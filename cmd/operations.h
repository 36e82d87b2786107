// The operations the gwell keywords run. Each returns whether it did its work.
#pragma once

// Commands registered with the host.
void CommandGwell();
void CommandGwtest();
bool DispatchKeyword();

// "Export" (selection first when the Selection option is on) and
// "Selection+export" (selection always first), through the block choice.
bool RunDialogExport(bool alwaysSelectFirst);
// "Export2" and "Export3": block names typed at the command line.
bool ExportByNames();
// "Import": the whole active worksheet or workbook, with fresh settings.
bool RunImport();
bool ShowOptionsDialog();
bool ConnectLiveLink();
bool DisconnectLiveLink();
// "Import2": the cells queued by the live link.
bool ImportChanges();
bool ShowToolbar();
bool OpenHelp();
