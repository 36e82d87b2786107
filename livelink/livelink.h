// The live link: the spreadsheet program reports edited cells, and the
// module imports them into the drawing while both stay open.
#pragma once

// "Connect": starts listening to the spreadsheet program.
bool ConnectLiveLink();
// "Disconnect", and the first step of every export, so that the sink does
// not report the export's own cells as user edits.
bool DisconnectLiveLink();
