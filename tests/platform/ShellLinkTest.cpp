#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "platform/ShellLink.h"
#include "platform/SystemErrorText.h"
#include "platform/TestFolder.h"

namespace lockwell {
namespace {

using testing::ReadFile;
using testing::TestFolder;
using testing::WriteFile;

TEST(ShellLinkTest, WritesADesktopEntryInPlaceOfTheLink) {
  TestFolder folder;
  const std::string program = folder.Make("Lockwell 4") + "/LockwellPC";
  WriteFile(program, "#!/bin/sh\n");
  chmod(program.c_str(), 0755);
  const std::string document = folder.Make("Lockwell 4/help") + "/read me%.html";
  WriteFile(document, "<html/>");
  const std::string menu = folder.Make("programs/Lockwell");

  struct Case {
    const char* what;
    std::string target, description, link, entry, expected;
  } cases[] = {
      {"a program", program, "Start Lockwell/PC", menu + "/Lockwell PC.lnk", menu + "/Lockwell PC.desktop",
       "[Desktop Entry]\nType=Application\nExec=\"" + folder / "Lockwell 4/LockwellPC" +
           "\"\nName=Lockwell PC\nComment=Start Lockwell/PC\n"},
      {"a document", document, "View Lockwell/PC Documentation", menu + "/Docs.LNK", menu + "/Docs.desktop",
       "[Desktop Entry]\nType=Link\nURL=file://" + folder / "Lockwell%204/help/read%20me%25.html" +
           "\nName=Docs\nComment=View Lockwell/PC Documentation\n"},
  };
  for (const auto& c : cases) {
    WriteFile(c.entry, "an older entry");
    ShellLink link;
    link.SetTarget(c.target);
    link.SetDescription(c.description);
    ASSERT_TRUE(link.Save(c.link)) << c.what;
    EXPECT_EQ(ReadFile(c.entry), c.expected) << c.what;
    EXPECT_FALSE(std::filesystem::exists(c.link)) << c.what;
  }
}

TEST(ShellLinkTest, ExecQuotingKeepsSpecialCharactersLiteral) {
  TestFolder folder;
  const std::string program = folder.Make("a$b\\c") + "/run 100%";
  WriteFile(program, "#!/bin/sh\n");
  chmod(program.c_str(), 0755);
  ShellLink link;
  link.SetTarget(program);
  const std::string text = link.DesktopEntryText("x");
  // Quoted for Exec ("\$" and "\\" inside quotes, "%%"), then every "\" doubled
  // once more by the entry's own string escapes.
  const std::string folderText = folder.Path().string();
  EXPECT_NE(text.find("Exec=\"" + folderText + "/a\\\\$b\\\\\\\\c/run 100%%\"\n"), std::string::npos) << text;
}

TEST(ShellLinkTest, FailsWhereTheEntryCannotBeWritten) {
  TestFolder folder;
  ShellLink link;
  link.SetTarget("/bin/sh");
  errno = 0;
  EXPECT_FALSE(link.Save(folder / "no such folder/x.lnk"));
  EXPECT_EQ(errno, ENOENT);
  ShellLink empty;
  EXPECT_FALSE(empty.Save(folder / "x.lnk"));
}

TEST(SystemErrorTextTest, GivesTheSystemTextOrSaysItIsUnknown) {
  struct Case {
    int number;
    std::string expected;
  } cases[] = {
      {ENOENT, "No such file or directory"},
      {EACCES, "Permission denied"},
      {99999, "Unknown Win32 error:  99999"},
      {-5, "Unknown Win32 error:  -5"},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemErrorText(c.number), c.expected) << c.number;
}

}  // namespace
}  // namespace lockwell
