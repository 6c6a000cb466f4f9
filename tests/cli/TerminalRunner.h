// Runs `lockwell` on a pseudo-terminal and answers its prompts, the way a
// user at a terminal would.  Everything the program writes to the terminal
// is collected, so a test can see that typed passphrases are not echoed.
#pragma once

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/CliRunner.h"

namespace lockwell::testing {

struct TerminalResult {
  int code = -1;
  std::string screen;  // what the terminal showed, stdout and stderr included
};

// Each (prompt, answer): waits until `prompt` appears, then types `answer`
// and Return.  Gives up on a prompt after 10 seconds without output.
inline TerminalResult RunOnTerminal(const std::vector<std::string>& args,
                                    const std::vector<std::pair<std::string, std::string>>& dialogue) {
  TerminalResult result;
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(LOCKWELL_BINARY));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(LOCKWELL_BINARY, argv.data());
    _exit(127);
  }
  if (pid < 0) return result;
  size_t seen = 0;  // the screen before this is answered already
  auto readSome = [&](int timeoutMs) {
    pollfd fd{master, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0) return false;
    char buffer[512];
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) return false;
    result.screen.append(buffer, static_cast<size_t>(n));
    return true;
  };
  for (const auto& [prompt, answer] : dialogue) {
    while (result.screen.find(prompt, seen) == std::string::npos) {
      if (!readSome(10000)) break;
    }
    seen = result.screen.size();
    const std::string line = answer + "\n";
    (void)!write(master, line.data(), line.size());
  }
  while (readSome(10000)) {
  }
  // A program still waiting for input after 10 quiet seconds is stopped, so
  // a wrong dialogue fails the test instead of hanging it.
  int status = 0;
  pid_t done = waitpid(pid, &status, WNOHANG);
  if (done == 0) {
    kill(pid, SIGKILL);
    done = waitpid(pid, &status, 0);
  }
  if (done == pid) result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  close(master);
  return result;
}

}  // namespace lockwell::testing
