// End-to-end tests of `lockwell`: each runs the built program on a database
// in a scratch folder and looks at its exit status, output and the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/HandheldStyle.h"
#include "cli/TerminalRunner.h"
#include "storage/DatabaseFile.h"
#include "support/TempDir.h"

namespace lockwell::testing {
namespace {

using Args = std::vector<std::string>;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteWhole(dir_.File("pw"), "correct horse\n");
    WriteWhole(dir_.File("wrong"), "battery staple\n");
  }

  std::string Db() const { return dir_.File("vault.lwdb"); }
  std::string PassFile() const { return dir_.File("pw"); }

  // `lockwell args... --passphrase-file pw`.
  CliResult Run(Args args, const std::string& input = {}) {
    args.push_back("--passphrase-file");
    args.push_back(PassFile());
    return RunCli(dir_.File(""), args, input);
  }
  CliResult RunRaw(const Args& args, const std::string& input = {}) { return RunCli(dir_.File(""), args, input); }

  void Create() { ASSERT_EQ(Run({"create", Db()}).code, 0); }
  void Add(const std::string& title, const Args& more = {}) {
    Args args = {"add", Db(), "--title", title};
    args.insert(args.end(), more.begin(), more.end());
    const CliResult r = Run(args);
    ASSERT_EQ(r.code, 0) << r.err;
  }

  TempDir dir_;
};

TEST_F(CliTest, CreateListShowFindEditMoveRemove) {
  Create();
  Add("Mail", {"--field", "Login=ann", "--field", "Pwd=s3cret", "--note", "first\nsecond"});
  Add("Bank", {"-c", "Unfiled", "--field", "Login=bob"});
  Add("bike lock", {"--field", "PIN=4711"});

  // Stored order is the sort order: upper case before lower case.
  CliResult r = Run({"ls", Db(), "--tsv"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nBank\tbob\t\nMail\tann\t\nbike lock\t\t\n");

  r = Run({"show", Db(), "Mail"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Category: Unfiled\nTitle: Mail\nLogin: ann\nPwd: ********\nURL: \nNote:\nfirst\nsecond\n");
  r = Run({"show", Db(), "Mail", "--reveal"});
  EXPECT_NE(r.out.find("Pwd: s3cret\n"), std::string::npos) << r.out;
  r = Run({"show", Db(), "bike lock"});
  EXPECT_NE(r.out.find("PIN: ********\n"), std::string::npos) << r.out;

  // Find folds A-Z only without --case-sensitive; labels are searched too.
  r = Run({"find", Db(), "MAIL", "--tsv"});
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nMail\tann\t\n");
  r = Run({"find", Db(), "MAIL", "--tsv", "--case-sensitive"});
  EXPECT_EQ(r.out, "Title\tLogin\tURL\n");
  r = Run({"find", Db(), "PIN:", "--tsv", "--case-sensitive"});
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nbike lock\t\t\n");

  // A new title moves the account to its sorted place.
  r = Run({"edit", Db(), "Mail", "--title", "Aardvark", "--field", "Login=zed"});
  ASSERT_EQ(r.code, 0) << r.err;
  r = Run({"ls", Db(), "--tsv"});
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nAardvark\tzed\t\nBank\tbob\t\nbike lock\t\t\n");

  ASSERT_EQ(Run({"category", "add", Db(), "Work"}).code, 0);
  ASSERT_EQ(Run({"mv", Db(), "Bank", "Work"}).code, 0);
  r = Run({"ls", Db(), "-c", "Work", "--tsv"});
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nBank\tbob\t\n");

  ASSERT_EQ(Run({"rm", Db(), "Aardvark"}).code, 0);
  r = Run({"ls", Db(), "--tsv"});
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nBank\tbob\t\nbike lock\t\t\n");

  r = Run({"info", Db()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Owner: PC"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Passphrase: yes"), std::string::npos);
  EXPECT_NE(r.out.find("Accounts: 2\n"), std::string::npos);
  EXPECT_NE(r.out.find("Re-sort pending: no"), std::string::npos);

  r = Run({"check", Db()});
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("2 accounts checked, 0 faults"), std::string::npos) << r.out;
}

TEST_F(CliTest, CategoryCommands) {
  Create();
  ASSERT_EQ(Run({"category", "add", Db(), "Work"}).code, 0);
  ASSERT_EQ(Run({"category", "rename", Db(), "Work", "Office"}).code, 0);
  Add("Desk", {"-c", "Office"});
  CliResult r = Run({"category", "list", Db()});
  EXPECT_NE(r.out.find("Office\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Work\n"), std::string::npos);
  // Deleting a category keeps its accounts, in Unfiled.
  ASSERT_EQ(Run({"category", "rm", Db(), "Office"}).code, 0);
  r = Run({"show", Db(), "Desk"});
  EXPECT_NE(r.out.find("Category: Unfiled\n"), std::string::npos) << r.out;
  // Categories that do not exist, or "All" where an account must go.
  EXPECT_EQ(Run({"ls", Db(), "-c", "Nowhere"}).code, 1);
  EXPECT_EQ(Run({"mv", Db(), "Desk", "All"}).code, 2);
  EXPECT_EQ(Run({"category", "frobnicate", Db()}).code, 2);
}

TEST_F(CliTest, PasswdChangesThePassphraseOfAPcDatabase) {
  Create();
  Add("Mail", {"--field", "Pwd=s3cret"});
  WriteWhole(dir_.File("new"), "tr0ub4dor\n");
  CliResult r = Run({"passwd", Db(), "--new-passphrase-file", dir_.File("new")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Run({"ls", Db()}).code, 3);
  r = RunRaw({"show", Db(), "Mail", "--reveal", "--passphrase-file", dir_.File("new")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Pwd: s3cret"), std::string::npos);
}

TEST_F(CliTest, TextIsWindows1252InsideAndUtf8Outside) {
  Create();
  // "€" and "é" have Windows-1252 bytes (0x80, 0xE9).
  Add("Caf\xC3\xA9 \xE2\x82\xAC", {"--field", "Login=J\xC3\xBCrgen"});
  CliResult r = Run({"ls", Db(), "--tsv"});
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nCaf\xC3\xA9 \xE2\x82\xAC\tJ\xC3\xBCrgen\t\n");
  // A character without a byte, or bytes that are not UTF-8, are refused
  // before the database is touched.
  const std::string before = ReadWhole(Db());
  const struct {
    const char* title;
    const char* message;
  } refused[] = {
      {"\xE6\xBC\xA2", "U+6F22"},  // a CJK character
      {"\xC3", "not valid UTF-8"},
      {"\xC0\xAF", "not valid UTF-8"},  // an overlong "/"
  };
  for (const auto& c : refused) {
    r = Run({"add", Db(), "--title", c.title});
    EXPECT_EQ(r.code, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadWhole(Db()), before);
}

TEST_F(CliTest, ExportImportRoundTrip) {
  Create();
  Add("Mail", {"--field", "Login=ann", "--field", "Pwd=a,b\"c", "--note", "two\nlines"});
  Add("Bank", {"--field", "Acct#=12"});
  ASSERT_EQ(Run({"category", "add", Db(), "Work"}).code, 0);
  Add("VPN", {"-c", "Work", "--field", "URL=https://vpn", "--field", "Pwd=x"});

  const std::string csv = dir_.File("out.csv");
  CliResult r = Run({"export", Db(), "--format", "csv", "-o", csv});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("clear text"), std::string::npos) << r.err;
  struct stat info {};
  ASSERT_EQ(stat(csv.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const std::string copy = dir_.File("copy.lwdb");
  ASSERT_EQ(RunRaw({"create", copy, "--passphrase-file", PassFile()}).code, 0);
  r = RunRaw({"import", copy, csv, "--passphrase-file", PassFile()});
  ASSERT_EQ(r.code, 0) << r.err;

  const CliResult original = Run({"export", Db(), "--format", "json"});
  const CliResult imported = RunRaw({"export", copy, "--format", "json", "--passphrase-file", PassFile()});
  ASSERT_EQ(imported.code, 0) << imported.err;
  EXPECT_EQ(imported.out, original.out);
  EXPECT_NE(original.out.find("\"value\": \"a,b\\\"c\""), std::string::npos) << original.out;
  EXPECT_NE(original.out.find("\"category\": \"Work\""), std::string::npos);
}

TEST_F(CliTest, ImportRefusesABadFileWithoutChangingTheDatabase) {
  Create();
  Add("Keep");
  const std::string before = ReadWhole(Db());
  const std::string header =
      "Category,Title,Label 1,Value 1,Label 2,Value 2,Label 3,Value 3,Label 4,Value 4,Label 5,Value 5,Note\n";
  const struct {
    const char* name;
    std::string csv;
  } cases[] = {
      {"wrong header", "Title,Login\nA,b\n"},
      {"short row", header + "Unfiled,A,Login:,x\n"},
      {"open quote", header + "Unfiled,\"A,Login:,x, ,, ,, ,, ,,\n"},
      {"character without a byte", header + "Unfiled,\xE6\xBC\xA2,Login:,x, ,, ,, ,, ,,\n"},
      {"All as category", header + "All,A,Login:,x, ,, ,, ,, ,,\n"},
  };
  for (const auto& c : cases) {
    WriteWhole(dir_.File("in.csv"), c.csv);
    const CliResult r = Run({"import", Db(), dir_.File("in.csv")});
    EXPECT_EQ(r.code, 1) << c.name << ": " << r.err;
    EXPECT_EQ(Run({"ls", Db(), "--tsv"}).out, "Title\tLogin\tURL\nKeep\t\t\n") << c.name;
  }
  (void)before;
}

// Every command that opens a database, against each way the open can fail.
const std::vector<Args> kOpeningCommands = {
    {"info"}, {"ls"}, {"show", "Mail"}, {"find", "x"}, {"add", "--title", "New"}, {"edit", "Mail", "--note", "n"},
    {"rm", "Mail"}, {"mv", "Mail", "Unfiled"}, {"passwd"}, {"export", "--format", "csv"}, {"check"},
};

// Puts the database path after the command word (and the category action).
Args WithDb(const Args& command, const std::string& db) {
  Args args = {command[0], db};
  args.insert(args.end(), command.begin() + 1, command.end());
  return args;
}

TEST_F(CliTest, WrongPassphraseChangesNothing) {
  Create();
  Add("Mail");
  const std::string before = ReadWhole(Db());
  for (const Args& command : kOpeningCommands) {
    Args args = WithDb(command, Db());
    args.insert(args.end(), {"--passphrase-file", dir_.File("wrong")});
    const CliResult r = RunRaw(args);
    EXPECT_EQ(r.code, 3) << command[0] << ": " << r.err;
    EXPECT_NE(r.err.find("Invalid passphrase.  Please check your caps lock key"), std::string::npos) << r.err;
    EXPECT_EQ(ReadWhole(Db()), before) << command[0];
  }
}

TEST_F(CliTest, MissingFile) {
  for (const Args& command : kOpeningCommands) {
    const CliResult r = Run(WithDb(command, dir_.File("absent.lwdb")));
    EXPECT_EQ(r.code, 4) << command[0] << ": " << r.err;
    EXPECT_NE(r.err.find("The Lockwell database you chose does not exist."), std::string::npos) << r.err;
  }
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{".stderr", ".stdin", ".stdout", "pw", "wrong"}));
}

TEST_F(CliTest, FileHeldByAnotherOpener) {
  Create();
  Add("Mail");
  // The lock belongs to this process's open file description, so the child
  // finds the file taken.
  ErrorList errors;
  uint32_t headerSize = 0;
  DatabaseFile held(errors, Db(), DatabaseFile::kOpenExisting, headerSize);
  ASSERT_TRUE(held.IsOpen()) << errors.Summary();
  for (const Args& command : kOpeningCommands) {
    const CliResult r = Run(WithDb(command, Db()));
    EXPECT_EQ(r.code, 5) << command[0] << ": " << r.err;
    EXPECT_NE(r.err.find("is already open by another application"), std::string::npos) << r.err;
  }
}

TEST_F(CliTest, CorruptFile) {
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"garbage", std::string(600, 'x')},
      {"magic only", std::string("\x8D\x31\x0B\xDC\x3C\xE7\x7B\x0A", 8)},
      {"index beyond the end", std::string("\x8D\x31\x0B\xDC\x3C\xE7\x7B\x0A", 8) +
                                   std::string("\x40\x11\0\0\xFF\xFF\0\0\xFF\xFF\0\0", 12)},
  };
  for (const auto& file : files) {
    WriteWhole(Db(), file.bytes);
    for (const Args& command : {Args{"ls"}, Args{"check"}, Args{"info"}}) {
      const CliResult r = Run(WithDb(command, Db()));
      EXPECT_EQ(r.code, 6) << file.name << " " << command[0] << ": " << r.err;
    }
    EXPECT_EQ(ReadWhole(Db()), file.bytes) << file.name;
  }
}

TEST_F(CliTest, UsageErrors) {
  Create();
  const struct {
    Args args;
    const char* message;
  } cases[] = {
      {{}, "usage: lockwell COMMAND"},
      {{"frobnicate"}, "unknown command"},
      {{"ls"}, "usage: lockwell ls"},
      {{"ls", "a", "b"}, "usage: lockwell ls"},
      {{"ls", "db", "--bogus"}, "unknown option --bogus"},
      {{"ls", "db", "-c"}, "needs a value"},
      {{"ls", "db", "--tsv=yes"}, "takes no value"},
      {{"add", "db"}, "--title is required"},
      {{"show", "db", "x", "-c", "A", "-c", "B"}, "given twice"},
  };
  for (const auto& c : cases) {
    const CliResult r = RunRaw(c.args);
    EXPECT_EQ(r.code, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  // No passphrase source and no terminal: nothing is asked, nothing opened.
  const CliResult r = RunRaw({"ls", Db()});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("--passphrase-file"), std::string::npos) << r.err;
  EXPECT_EQ(RunRaw({"export", Db(), "--format", "xml", "--passphrase-file", PassFile()}).code, 2);
}

TEST_F(CliTest, EveryCommandHasHelpAndTheExitCodesAreDocumented) {
  for (const char* command : {"create", "info", "ls", "show", "find", "add", "edit", "rm", "mv", "category",
                              "passwd", "export", "import", "check"}) {
    const CliResult r = RunRaw({command, "--help"});
    EXPECT_EQ(r.code, 0) << command;
    EXPECT_EQ(r.out.rfind(std::string("usage: lockwell ") + command, 0), 0u) << r.out;
    EXPECT_NE(r.out.find("3  wrong passphrase"), std::string::npos) << command;
  }
}

TEST_F(CliTest, PassphraseFromADescriptorAndCreateRefusesToOverwrite) {
  // Passphrase on standard input, one line.
  CliResult r = RunRaw({"create", Db(), "--passphrase-fd", "0"}, "correct horse\n");
  ASSERT_EQ(r.code, 0) << r.err;
  r = RunRaw({"ls", Db(), "--passphrase-fd", "0"}, "correct horse\n");
  EXPECT_EQ(r.code, 0) << r.err;
  const std::string before = ReadWhole(Db());
  r = Run({"create", Db()});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("already exists"), std::string::npos);
  EXPECT_EQ(ReadWhole(Db()), before);
}

TEST_F(CliTest, DatabaseWithoutPassphrase) {
  WriteWhole(dir_.File("empty"), "\n");
  ASSERT_EQ(RunRaw({"create", Db(), "--passphrase-file", dir_.File("empty")}).code, 0);
  CliResult r = RunRaw({"info", Db(), "--passphrase-file", dir_.File("empty")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Passphrase: none"), std::string::npos);
  r = Run({"info", Db()});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("This database does not require a passphrase."), std::string::npos) << r.err;
}

// A database as a HotSync leaves it: B and D still under the passphrase
// used before the change on the handheld, C and A appended unsorted.
class HandheldCliTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    WriteWhole(dir_.File("old"), "0ldPass\n");
    BuildHandheldDatabase(Db(), "correct horse",
                          {{"B", "b", "0ldPass", true, false},
                           {"D", "d", "0ldPass", true, false},
                           {"E", "e", "", false, false},
                           {"C", "c", "", false, true},
                           {"A", "a", "0ldPass", true, true}});
  }
};

TEST_F(HandheldCliTest, InfoAndCheckReportWhatIsPendingWithoutDoingIt) {
  CliResult r = Run({"info", Db()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Owner: handheld"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Re-sort pending: yes"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Passphrase update pending: yes"), std::string::npos) << r.out;
  r = Run({"check", Db()});
  EXPECT_EQ(r.code, 7) << r.out << r.err;
  EXPECT_NE(r.out.find("5 accounts checked, 3 faults"), std::string::npos) << r.out;
}

TEST_F(HandheldCliTest, HousekeepingWithTheOldPassphraseFromAFile) {
  CliResult r = Run({"ls", Db(), "--tsv", "--old-passphrase-file", dir_.File("old")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nA\ta\t\nB\tb\t\nC\tc\t\nD\td\t\nE\te\t\n");
  EXPECT_NE(r.err.find("Conflicts Resolved: Some conflicts with the Lockwell database have been resolved."),
            std::string::npos)
      << r.err;
  r = Run({"info", Db()});
  EXPECT_NE(r.out.find("Re-sort pending: no"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Passphrase update pending: no"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0 new, 3 modified, 0 deleted"), std::string::npos) << r.out;
  r = Run({"check", Db()});
  EXPECT_EQ(r.code, 0) << r.out;
}

TEST_F(HandheldCliTest, ScriptWithoutTheOldPassphraseStopsAndKeepsEverything) {
  CliResult r = Run({"ls", Db()});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("--old-passphrase-file"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  r = Run({"info", Db()});
  EXPECT_NE(r.out.find("Passphrase update pending: yes"), std::string::npos) << r.out;
  // A wrong old passphrase does not open them either; they go only when
  // asked for.
  WriteWhole(dir_.File("guess"), "guess\n");
  r = Run({"ls", Db(), "--tsv", "--old-passphrase-file", dir_.File("guess")});
  EXPECT_EQ(r.code, 1);
  r = Run({"ls", Db(), "--tsv", "--old-passphrase-file", dir_.File("guess"), "--delete-conflicts"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Title\tLogin\tURL\nC\tc\t\nE\te\t\n");
  r = Run({"info", Db()});
  EXPECT_NE(r.out.find("3 deleted"), std::string::npos) << r.out;
}

TEST_F(HandheldCliTest, PasswdIsRefusedForADatabaseFromTheHandheld) {
  ASSERT_EQ(Run({"ls", Db(), "--old-passphrase-file", dir_.File("old")}).code, 0);
  const std::string before = ReadWhole(Db());
  WriteWhole(dir_.File("new"), "tr0ub4dor\n");
  const CliResult r = Run({"passwd", Db(), "--new-passphrase-file", dir_.File("new")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Cannot change passphrase on the PC.  Change it on the Palm and then perform a HotSync "
                       "operation."),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadWhole(Db()), before);
}

TEST_F(HandheldCliTest, OnATerminalTheOldPassphraseIsAskedOnceWithoutEcho) {
  const TerminalResult r = RunOnTerminal({"ls", Db(), "--tsv"}, {{"Passphrase: ", "correct horse"},
                                                                 {"OLD passphrase (Ctrl-D", "0ldPass"}});
  EXPECT_EQ(r.code, 0) << r.screen;
  // Three conflicts, one question; no passphrase on the screen.
  size_t asked = 0;
  for (size_t at = r.screen.find("OLD passphrase ("); at != std::string::npos;
       at = r.screen.find("OLD passphrase (", at + 1)) {
    ++asked;
  }
  EXPECT_EQ(asked, 1u) << r.screen;
  EXPECT_EQ(r.screen.find("correct horse"), std::string::npos) << r.screen;
  EXPECT_EQ(r.screen.find("0ldPass"), std::string::npos) << r.screen;
  EXPECT_NE(r.screen.find("D\td"), std::string::npos) << r.screen;
}

TEST_F(CliTest, OnATerminalCreateAsksTwiceAndRefusesTwoDifferentPassphrases) {
  TerminalResult r = RunOnTerminal({"create", Db()}, {{"New passphrase: ", "one"}, {"Confirm passphrase: ", "two"}});
  EXPECT_EQ(r.code, 1) << r.screen;
  EXPECT_NE(r.screen.find("the two passphrases differ"), std::string::npos) << r.screen;
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"pw", "wrong"}));
  r = RunOnTerminal({"create", Db()}, {{"New passphrase: ", "correct horse"}, {"Confirm passphrase: ", "correct horse"}});
  EXPECT_EQ(r.code, 0) << r.screen;
  EXPECT_EQ(r.screen.find("correct horse"), std::string::npos) << r.screen;
  EXPECT_EQ(Run({"info", Db()}).code, 0);
}

}  // namespace
}  // namespace lockwell::testing
