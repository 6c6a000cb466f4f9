// lockwell: the command-line companion of Lockwell/PC.
#include "cli/Cli.h"

int main(int argc, char** argv) { return lockwell::RunCli(argc, argv); }
