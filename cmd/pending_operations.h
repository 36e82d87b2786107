// Keyword operations whose subsystems are not part of the module yet. Each
// does nothing and reports that nothing ran; the subsystem that brings the
// operation takes it over from here.
#pragma once

bool ShowOptionsDialog();
