// Removed once the support library has sources of its own.
