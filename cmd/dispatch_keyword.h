// The keyword prompt of the gwell command and the operation each keyword runs.
#pragma once

// Asks for a keyword (Enter means "Export") and runs its operation; answers
// what the operation answered, false for a cancelled prompt.
bool DispatchKeyword();
