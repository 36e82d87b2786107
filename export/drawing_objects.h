// The drawing an export reads, and the names the host gives for it. Open
// objects are held by the SDK's AcDbObjectPointer (dbobjptr.h) and host
// texts by HostText (common/host_text.h), so that both are closed or freed
// on every way out, also while a COM failure from the writing step unwinds.
#pragma once
#include "common/host_text.h"

#include <dbmain.h>
#include <dbobjptr.h>

#include <optional>
#include <string>

// The drawing the command works on.
AcDbDatabase* WorkingDatabase();

// Opens the working drawing's block table for read into `table`; false when
// there is no drawing or the table does not open.
bool OpenBlockTable(AcDbObjectPointer<AcDbBlockTable>& table);

// The name of the layout active in the host, model space included; none when
// the host names none.
std::optional<std::string> ActiveLayoutName();
