// The `lockwell` program: picks the subcommand, parses its options, prints
// help, and runs it.  Returns the exit status.
#pragma once

namespace lockwell {

int RunCli(int argc, char** argv);

}  // namespace lockwell
