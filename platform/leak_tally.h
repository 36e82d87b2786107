// The stand-ins' side of the leak accounting: each counts what it opens and
// closes here, process-wide, so that a count outlives the context (host,
// registry, database) whose object was leaked.
#pragma once

enum class Tally { ComReferences, DrawingObjects, SelectionSets, RegistryKeys, ResourceSources, Windows, Menus, Count };

void AddToTally(Tally tally, long delta);
long TallyOf(Tally tally);
