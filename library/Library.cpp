// The shared library is the folder libraries linked whole; this file only
// gives the target a source of its own.
// (includes added as the folders fill in)
