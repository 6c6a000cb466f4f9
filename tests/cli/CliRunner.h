// Runs the built `lockwell` binary in a child process and collects what it
// did: exit status, standard output, standard error.
//
// The child starts a new session, so it has no controlling terminal: a
// command that would ask on the terminal fails instead of waiting.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef LOCKWELL_BINARY
#error "LOCKWELL_BINARY must name the lockwell program"
#endif

namespace lockwell::testing {

struct CliResult {
  int code = -1;
  std::string out;
  std::string err;
};

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWhole(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Runs `lockwell args...`; `input` goes to its standard input.  The outputs
// pass through files in `scratch` so no pipe can fill up.
inline CliResult RunCli(const std::string& scratch, const std::vector<std::string>& args,
                        const std::string& input = {}) {
  const std::string inPath = scratch + "/.stdin";
  const std::string outPath = scratch + "/.stdout";
  const std::string errPath = scratch + "/.stderr";
  WriteWhole(inPath, input);
  const pid_t pid = fork();
  if (pid == 0) {
    setsid();
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(LOCKWELL_BINARY));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(LOCKWELL_BINARY, argv.data());
    _exit(127);
  }
  CliResult result;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid) {
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  result.out = ReadWhole(outPath);
  result.err = ReadWhole(errPath);
  return result;
}

}  // namespace lockwell::testing
