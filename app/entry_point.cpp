// Placeholder until the module's entry points land.
