// Shared helpers for the unit tests live in this folder.
