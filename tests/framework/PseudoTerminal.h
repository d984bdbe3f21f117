// A pseudo-terminal for tests of terminal output and input: the code under
// test uses `slave` as its terminal, the test writes answers to and reads
// output from `master`. Output is passed through unchanged (no CR/LF
// translation) and input is not echoed.
#pragma once

#include <pty.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <string>

struct PseudoTerminal
{
  int master = -1;
  int slave = -1;

  explicit PseudoTerminal(unsigned short columns = 100)
  {
    winsize size{};
    size.ws_col = columns;
    size.ws_row = 24;
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0)
      return;
    termios mode{};
    tcgetattr(slave, &mode);
    mode.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(slave, TCSANOW, &mode);
  }
  ~PseudoTerminal()
  {
    if (master >= 0)
      close(master);
    if (slave >= 0)
      close(slave);
  }
  bool Type(const std::string &text) const
  {
    return write(master, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }
  // Everything written to the terminal so far.
  std::string Output() const
  {
    std::string out;
    pollfd p{master, POLLIN, 0};
    char buffer[4096];
    while (poll(&p, 1, 20) == 1 && (p.revents & POLLIN)) {
      ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0)
        break;
      out.append(buffer, static_cast<size_t>(n));
    }
    return out;
  }
};
