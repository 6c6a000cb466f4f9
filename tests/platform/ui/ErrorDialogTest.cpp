#include <gtest/gtest.h>

#include <filesystem>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "platform/ui/ControlIds.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/ErrorReport.h"
#include "platform/ui/ScriptedPrompter.h"
#include "storage/DatabaseFile.h"
#include "storage/ModuleRegistry.h"

namespace lockwell {
namespace {

// Opening a file that is not there: the record file's own report of it.
void FailToOpenMissingFile(ErrorList& errors) {
  const auto path = std::filesystem::temp_directory_path() / "lockwell-no-such-dir" / "missing.lwdb";
  uint32_t headerSize = 0;
  DatabaseFile file(errors, path.string(), DatabaseFile::kOpenExisting, headerSize);
}

class ErrorDialogTest : public testing::Test {
 protected:
  static QPlainTextEdit* Box(QDialog& dialog, int id) { return ControlIds::Find<QPlainTextEdit>(&dialog, id); }
  static QPushButton* Button(QDialog& dialog, int id) { return ControlIds::Find<QPushButton>(&dialog, id); }
  static QStringList DetailLines(QDialog& dialog) {
    return Box(dialog, ErrorDialog::kDetailId)->toPlainText().split(QLatin1Char('\n'));
  }
  // The report of one record with `code`, line and file.
  static std::string ReportOf(uint32_t code, uint32_t line = 0, const std::string& file = {}) {
    ErrorList list;
    list.Append(std::make_unique<ErrorRecord>(module_, code, "text", line, file));
    return std::string(ErrorReport::Build(list).view());
  }

  static inline int32_t module_ = RegisterModule("Tallmark Test Module");
};

TEST_F(ErrorDialogTest, MissingFileShowsItsTextAndOnDemandItsRecord) {
  ErrorList errors;
  FailToOpenMissingFile(errors);
  ASSERT_EQ(errors.Size(), 1u);
  const ErrorRecord& record = **errors.begin();
  ASSERT_EQ(record.Code(), 0x80020005u);
  const QString detail = QString::fromStdString(record.Detail());

  ErrorDialog dialog(errors);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Lockwell Error");
  EXPECT_EQ(Box(dialog, ErrorDialog::kSummaryId)->toPlainText(), detail);
  EXPECT_FALSE(Box(dialog, ErrorDialog::kDetailId)->isVisible());
  EXPECT_EQ(Button(dialog, ErrorDialog::kDetailsId)->text(), "Details >");

  QTest::mouseClick(Button(dialog, ErrorDialog::kDetailsId), Qt::LeftButton);
  EXPECT_TRUE(Box(dialog, ErrorDialog::kDetailId)->isVisible());
  EXPECT_EQ(Button(dialog, ErrorDialog::kDetailsId)->text(), "< Details");
  EXPECT_EQ(DetailLines(dialog), (QStringList{"Module: Tallmark Database Library", "Error Code: 80020005 (Error)",
                                              "Error Detail: " + detail, "", ""}));
  dialog.hide();
}

TEST_F(ErrorDialogTest, DetailsMovesTheBottomEdgeByTheBoxHeightPlusEightAndBack) {
  ErrorList errors;
  errors.Append(module_, 0x80010000u, "Could not open.");
  ErrorDialog dialog(errors);
  dialog.show();
  QPushButton* details = Button(dialog, ErrorDialog::kDetailsId);
  const QSize first = dialog.size();
  const int h = Box(dialog, ErrorDialog::kDetailId)->height();

  QTest::mouseClick(details, Qt::LeftButton);
  EXPECT_EQ(dialog.size(), QSize(first.width(), first.height() + h + 8));
  const QRect box = Box(dialog, ErrorDialog::kDetailId)->geometry();
  EXPECT_LE(box.bottom(), dialog.height()) << "the box fits in the grown dialog";

  QTest::mouseClick(details, Qt::LeftButton);
  EXPECT_EQ(dialog.size(), first);
  EXPECT_FALSE(Box(dialog, ErrorDialog::kDetailId)->isVisible());
  EXPECT_EQ(details->text(), "Details >");
  dialog.hide();
}

TEST_F(ErrorDialogTest, CodeIsEightHexDigitsWithItsSeverityWord) {
  struct Case {
    uint32_t code;
    const char* line;
  } cases[] = {
      {0x80020005u, "Error Code: 80020005 (Error)"},
      {0xC0010000u, "Error Code: C0010000 (Error)"},  // error outranks warning
      {0x40010002u, "Error Code: 40010002 (Warning)"},
      {0x60010000u, "Error Code: 60010000 (Warning)"},  // warning outranks informational
      {0x20010000u, "Error Code: 20010000 (Informational)"},
      {0x00010000u, "Error Code: 00010000"},
      {0x0000000Au, "Error Code: 0000000A"},
  };
  for (const auto& c : cases) {
    const std::string report = ReportOf(c.code);
    EXPECT_NE(report.find(std::string("\r\n") + c.line + "\r\n"), std::string::npos) << report;
  }
}

TEST_F(ErrorDialogTest, SourcePositionOnlyWhenLineIsNotZero) {
  struct Case {
    uint32_t line;
    const char* file;
    const char* shown;  // expected lines between the code and the detail
  } cases[] = {
      {0, "C:\\src\\vault\\Record.cpp", ""},
      {42, "C:\\src\\vault\\Record.cpp", "Source File: Record.cpp\r\nLine Number: 42\r\n"},
      {7, "src/palmdb/PalmDatabase.cpp", "Source File: PalmDatabase.cpp\r\nLine Number: 7\r\n"},
      {4294967295u, "Plain.cpp", "Source File: Plain.cpp\r\nLine Number: 4294967295\r\n"},
      {3, "dir\\", "Source File: \r\nLine Number: 3\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReportOf(0x80010000u, c.line, c.file), std::string("Module: Tallmark Test Module\r\n"
                                                                 "Error Code: 80010000 (Error)\r\n") +
                                                         c.shown + "Error Detail: text\r\n\r\n")
        << c.line << " " << c.file;
  }
}

TEST_F(ErrorDialogTest, RecordsFollowInListOrder) {
  ErrorList errors;
  errors.Append(module_, 0x80020005u, "Couldn't open database file: No such file or directory");
  errors.Append(RegisterModule("Tallmark Lockwell Application"), 0x80010000u, "The database was not found.");
  EXPECT_EQ(std::string(ErrorReport::Build(errors).view()),
            "Module: Tallmark Test Module\r\n"
            "Error Code: 80020005 (Error)\r\n"
            "Error Detail: Couldn't open database file: No such file or directory\r\n"
            "\r\n"
            "Module: Tallmark Lockwell Application\r\n"
            "Error Code: 80010000 (Error)\r\n"
            "Error Detail: The database was not found.\r\n"
            "\r\n");

  ErrorDialog dialog(errors);
  EXPECT_EQ(Box(dialog, ErrorDialog::kSummaryId)->toPlainText(),
            "Couldn't open database file: No such file or directory (The database was not found.)");
  EXPECT_FALSE(Box(dialog, ErrorDialog::kDetailId)->toPlainText().contains(QLatin1Char('\r')));
}

TEST_F(ErrorDialogTest, EmptyListAndWindowsTextShowAsTheyShould) {
  ErrorList empty;
  EXPECT_TRUE(ErrorReport::Build(empty).empty());
  ErrorDialog blank(empty);
  EXPECT_TRUE(Box(blank, ErrorDialog::kSummaryId)->toPlainText().isEmpty());
  EXPECT_TRUE(Box(blank, ErrorDialog::kDetailId)->toPlainText().isEmpty());

  ErrorList errors;
  errors.Append(module_, 0x80010000u, "Caf\xE9 \x93quoted\x94");
  ErrorDialog dialog(errors);
  EXPECT_EQ(Box(dialog, ErrorDialog::kSummaryId)->toPlainText(), QStringLiteral("Caf\u00E9 \u201Cquoted\u201D"));
}

TEST_F(ErrorDialogTest, ShowErrorsRunsTheDialogThroughThePrompterAndKeepsTheList) {
  ErrorList errors;
  errors.Append(module_, 0x40010000u, "Some records were re-sorted.");
  ScriptedPrompter prompter;
  QStringList seen;
  prompter.QueueDialog([&](QDialog& dialog) {
    QTest::mouseClick(Button(dialog, ErrorDialog::kDetailsId), Qt::LeftButton);
    seen = DetailLines(dialog);
    QTest::mouseClick(Button(dialog, ErrorDialog::kOkId), Qt::LeftButton);
  });

  ShowErrors(prompter, nullptr, errors);

  EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("; ").toStdString();
  ASSERT_EQ(prompter.Requests().size(), 1u);
  EXPECT_EQ(prompter.Requests()[0].caption, "Lockwell Error");
  EXPECT_TRUE(seen.contains("Error Code: 40010000 (Warning)"));
  EXPECT_EQ(errors.Size(), 1u);
}

}  // namespace
}  // namespace lockwell
