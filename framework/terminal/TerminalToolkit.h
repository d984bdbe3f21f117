// The terminal toolkit's streams. By default standard input and standard
// error; tests hand in a pipe or a pseudo-terminal.
#pragma once

// File descriptors for the form's input and for all output. Negative values
// restore the defaults (0 and 2). Whether each is a terminal is checked each
// time a window opens.
void SetTerminalStreams(int inputFd, int outputFd);
