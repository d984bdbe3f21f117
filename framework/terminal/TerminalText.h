// Text helpers of the terminal toolkit.
#pragma once

#include <string>

// Writes all of `text` to fd (retrying after interruptions); false on error.
bool WriteAll(int fd, const std::string &text);
// One line from fd without its line end; false at end of input or error
// before any character was read.
bool ReadLine(int fd, std::string &line);
// Columns of the terminal on fd (80 when unknown).
int TerminalColumns(int fd);
// The first `columns` characters of UTF-8 text (whole code points).
std::string FitColumns(const std::string &text, int columns);
// A bar of `width` cells for a position clamped to 0..100.
std::string DrawBar(int pos, int width);
