#include "cli/Cli.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Session.h"

namespace lockwell {
namespace {

constexpr const char* kOverview =
    "usage: lockwell COMMAND [OPTIONS] ...\n"
    "\n"
    "Reads and changes Lockwell account databases (.lwdb) from the command line.\n"
    "\n"
    "Commands:\n"
    "  create DB                      make a new database on the PC\n"
    "  info DB                        format, owner, counts, changes waiting for HotSync\n"
    "  ls DB                          list the accounts\n"
    "  show DB TITLE                  every field of one account\n"
    "  find DB TEXT                   the accounts that contain TEXT\n"
    "  add DB --title TITLE           add an account\n"
    "  edit DB TITLE                  change an account\n"
    "  rm DB TITLE                    delete an account\n"
    "  mv DB TITLE CATEGORY           move an account to another category\n"
    "  category list|add|rename|rm    list and change categories\n"
    "  passwd DB                      change the passphrase of a database made on the PC\n"
    "  export DB --format csv|json    write every account in clear text\n"
    "  import DB FILE                 add the accounts of a CSV written by export\n"
    "  check DB                       check the file and decrypt every account\n"
    "\n"
    "'lockwell COMMAND --help' describes a command.\n";

constexpr const char* kCommon =
    "\n"
    "Passphrase (never taken from an argument):\n"
    "  asked on the terminal without echo, unless one of these is given:\n"
    "  --passphrase-file FILE   the first line of FILE\n"
    "  --passphrase-fd N        one line read from file descriptor N\n"
    "\n"
    "After a HotSync (every command but info and check):\n"
    "  accounts that arrived unsorted are re-sorted; when the passphrase was\n"
    "  changed on the handheld, accounts still under the old one are updated,\n"
    "  asking for the OLD passphrase on the terminal.\n"
    "  --old-passphrase-file FILE   the old passphrase, for scripts\n"
    "  --delete-conflicts           delete the accounts the old passphrase does\n"
    "                               not open either (otherwise nothing is deleted\n"
    "                               and the command stops)\n"
    "\n"
    "Other options:\n"
    "  -v, --verbose   print every error record, not only the summary\n"
    "  -h, --help      this text\n"
    "\n"
    "Text is UTF-8 on the terminal and Windows-1252 in the database; a character\n"
    "Windows-1252 cannot hold is refused.\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  1  any other failure\n"
    "  2  usage error (or no terminal to ask the passphrase on)\n"
    "  3  wrong passphrase\n"
    "  4  database file not found\n"
    "  5  database file in use by another program, or not readable\n"
    "  6  database file corrupt or cut short\n"
    "  7  check found faults\n";

struct Command {
  const char* name;
  const char* usage;
  const char* help;
  size_t minPositional;
  size_t maxPositional;
  std::vector<OptionSpec> options;
  int (*run)(Session&);
};

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"create", "create DB",
       "Makes a new, empty database owned by the PC.  The passphrase is asked twice\n"
       "(an empty one makes a database without passphrase).  An existing file is\n"
       "never overwritten.\n",
       1, 1, {{"new-passphrase-file", 0, true, false}, {"new-passphrase-fd", 0, true, false}}, RunCreate},
      {"info", "info DB",
       "Format version, whether the database was made on the PC or comes from the\n"
       "handheld, whether it has a passphrase, the numbers of accounts and\n"
       "categories, the changes waiting for the next HotSync, and whether a re-sort\n"
       "or a passphrase update is pending.\n",
       1, 1, {}, RunInfo},
      {"ls", "ls DB [-c CATEGORY] [--tsv] [--reveal]",
       "Lists the accounts in stored order with the category's shown fields as\n"
       "columns.  -c limits the list to one category (default All); --tsv prints\n"
       "tab-separated values; Pwd and PIN columns are masked unless --reveal.\n",
       1, 1, {{"category", 'c', true, false}, {"tsv", 0, false, false}, {"reveal", 0, false, false}}, RunList},
      {"show", "show DB TITLE [-c CATEGORY] [--reveal]",
       "Prints every field of the account titled TITLE; values labelled \"Pwd:\" or\n"
       "\"PIN:\" are masked unless --reveal.\n",
       2, 2, {{"category", 'c', true, false}, {"reveal", 0, false, false}}, RunShow},
      {"find", "find DB TEXT [-c CATEGORY] [--case-sensitive] [--tsv] [--reveal]",
       "Lists the accounts in whose title, note, labels or values TEXT occurs.\n"
       "Without --case-sensitive only the letters A-Z are folded.\n",
       2, 2,
       {{"category", 'c', true, false},
        {"case-sensitive", 0, false, false},
        {"tsv", 0, false, false},
        {"reveal", 0, false, false}},
       RunFind},
      {"add", "add DB --title TITLE [-c CATEGORY] [--field LABEL=VALUE]... [--note TEXT]",
       "Adds an account at its sorted place.  Fields not given take the category's\n"
       "default labels.  --field LABEL (without =VALUE) asks for the value on the\n"
       "terminal without echo, for passwords.  Labels get a trailing colon.\n",
       1, 1,
       {{"title", 0, true, false}, {"category", 'c', true, false}, {"field", 'f', true, true}, {"note", 0, true, false}},
       RunAdd},
      {"edit", "edit DB TITLE [-c CATEGORY] [--title NEW] [--field LABEL=VALUE]... [--note TEXT]",
       "Changes the account titled TITLE.  A field replaces the value of the field\n"
       "with that label, or fills the first empty field.\n",
       2, 2,
       {{"title", 0, true, false}, {"category", 'c', true, false}, {"field", 'f', true, true}, {"note", 0, true, false}},
       RunEdit},
      {"rm", "rm DB TITLE [-c CATEGORY]",
       "Deletes the account titled TITLE; the next HotSync deletes it on the handheld.\n", 2, 2,
       {{"category", 'c', true, false}}, RunRemove},
      {"mv", "mv DB TITLE CATEGORY [-c FROM]", "Moves the account titled TITLE to CATEGORY.\n", 3, 3,
       {{"category", 'c', true, false}}, RunMove},
      {"category", "category list DB | add DB NAME | rename DB NAME NEW | rm DB NAME",
       "Lists, adds, renames or deletes categories.  Deleting a category moves its\n"
       "accounts to Unfiled.\n",
       2, 4, {}, RunCategory},
      {"passwd", "passwd DB",
       "Changes the passphrase of a database made on the PC; the new one is asked\n"
       "twice.  A database from the handheld keeps the handheld's passphrase.\n",
       1, 1, {{"new-passphrase-file", 0, true, false}, {"new-passphrase-fd", 0, true, false}}, RunPasswd},
      {"export", "export DB --format csv|json [-o FILE]",
       "Writes every account in clear text to FILE (created with mode 0600) or to\n"
       "standard output.  The CSV columns are Category, Title, Label 1, Value 1, ...\n"
       "Label 5, Value 5, Note.\n",
       1, 1, {{"format", 0, true, false}, {"output", 'o', true, false}}, RunExport},
      {"import", "import DB FILE",
       "Adds every row of a CSV written by export as a new account, at its sorted\n"
       "place; missing categories are created.  Nothing is kept when a row fails.\n",
       2, 2, {}, RunImport},
      {"check", "check DB",
       "Checks the record file and decrypts and digest-checks every account,\n"
       "listing each fault.  Exit status 0 only when all is sound.\n",
       1, 1, {}, RunCheck},
  };
  return commands;
}

void AddCommonOptions(std::vector<OptionSpec>& options) {
  options.push_back({"help", 'h', false, false});
  options.push_back({"verbose", 'v', false, false});
  options.push_back({"passphrase-file", 0, true, false});
  options.push_back({"passphrase-fd", 0, true, false});
  options.push_back({"old-passphrase-file", 0, true, false});
  options.push_back({"delete-conflicts", 0, false, false});
}

}  // namespace

int RunCli(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kOverview, stderr);
    return kExitUsage;
  }
  if (args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
    std::fputs(kOverview, stdout);
    std::fputs(kCommon, stdout);
    return kExitOk;
  }
  for (const Command& command : Commands()) {
    if (args[0] != command.name) continue;
    std::vector<OptionSpec> options = command.options;
    AddCommonOptions(options);
    Arguments parsed;
    std::string error;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (!parsed.Parse(rest, options, error)) {
      std::fprintf(stderr, "lockwell %s: %s\nusage: lockwell %s\n", command.name, error.c_str(), command.usage);
      return kExitUsage;
    }
    if (parsed.Has("help")) {
      std::printf("usage: lockwell %s\n\n%s%s", command.usage, command.help, kCommon);
      return kExitOk;
    }
    const size_t count = parsed.Positional().size();
    if (count < command.minPositional || count > command.maxPositional) {
      std::fprintf(stderr, "usage: lockwell %s\n", command.usage);
      return kExitUsage;
    }
    if (std::strcmp(command.name, "add") == 0 && !parsed.Has("title")) {
      std::fprintf(stderr, "lockwell add: --title is required\nusage: lockwell %s\n", command.usage);
      return kExitUsage;
    }
    Session session(parsed);
    return command.run(session);
  }
  std::fprintf(stderr, "lockwell: unknown command \"%s\"\n\n%s", args[0].c_str(), kOverview);
  return kExitUsage;
}

}  // namespace lockwell
