// The gwell command: asks for a keyword and runs its operation inside the
// command guard, with the resource module as the resource source.
#pragma once

void CommandGwell();
