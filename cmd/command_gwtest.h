// The gwtest command: a diagnostic that walks through the spreadsheet
// connection one step at a time.
#pragma once

void CommandGwtest();
