// The setup wizard's pages and their next/back rules, driven as a person
// would on the offscreen platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

#include "installer/CComponentsPage.h"
#include "installer/CFolderPage.h"
#include "installer/CLicensePage.h"
#include "installer/CPalmUserPage.h"
#include "installer/CSummaryPage.h"
#include "installer/InstallerFixture.h"
#include "installer/InstallerWizard.h"
#include "installer/Setup.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"

namespace lockwell::testing {
namespace {

class WizardTest : public InstallerFixture {
 public:
  // Start-up as setup does it, then the wizard on screen at its first page.
  QWizard& Start() {
    PrepareInstallation(binding, package, context);
    wizard = std::make_unique<InstallerWizard>(context, InstallerWizard::Kind::Main);
    wizard->show();
    return *wizard;
  }
  QCheckBox* Box(int id) const { return ControlIds::Find<QCheckBox>(wizard.get(), id); }
  QLineEdit* FolderField() const { return ControlIds::Find<QLineEdit>(wizard.get(), CFolderPage::kFolderId); }
  QComboBox* UserList() const { return ControlIds::Find<QComboBox>(wizard.get(), CPalmUserPage::kUserListId); }
  bool NextEnabled() const {
    const QAbstractButton* next = wizard->button(QWizard::NextButton);
    return next->isVisible() && next->isEnabled();
  }
  // Next from the welcome page to the components page.
  void ToComponents() {
    wizard->next();
    wizard->next();
    ASSERT_EQ(wizard->currentId(), kComponentsPageId);
  }
  // What the summary field shows.
  std::string Summary() const {
    const auto* field = ControlIds::Find<QPlainTextEdit>(wizard->page(kSummaryPageId), CSummaryPage::kSummaryId);
    return field->toPlainText().toStdString();
  }

  ScriptedPrompter prompter;
  InstallerContext context{prompter};
  std::unique_ptr<InstallerWizard> wizard;
};

TEST_F(WizardTest, OneHotSyncUserIsTakenWithoutAsking) {
  InstallPalmDesktop({"Ann Smith"}, false);
  Start();
  EXPECT_FALSE(context.options.needUserChoice);
  EXPECT_TRUE(context.options.palmDesktopPresent);
  EXPECT_EQ(context.options.sourceFolder, package + "/");

  const std::pair<int, const char*> pages[] = {
      {kWelcomePageId, "Lockwell Installer - Welcome"},
      {kLicensePageId, "Lockwell Installer - License"},
      {kComponentsPageId, "Lockwell Installer - Choose Components"},
      {kFolderPageId, "Lockwell Installer - Choose Installation Folder"},
      {kSummaryPageId, "Lockwell Installer - Start Installation"},
  };
  for (size_t i = 0; i < std::size(pages); ++i) {
    if (i > 0) wizard->next();
    EXPECT_EQ(wizard->currentId(), pages[i].first);
    EXPECT_EQ(wizard->windowTitle().toStdString(), pages[i].second);
  }
  EXPECT_EQ(wizard->button(QWizard::FinishButton)->text(), "Install");
  EXPECT_TRUE(wizard->button(QWizard::FinishButton)->isVisible());
  EXPECT_FALSE(wizard->button(QWizard::HelpButton)->isVisible());
  EXPECT_EQ(Summary(),
            "Install Lockwell/PC\n    Installation Path: " + installFolder +
                "\n\n"
                "Install Lockwell for the Palm\n    Palm User Name: Ann Smith\n\n"
                "Install Lockwell Conduit\n    Installation Path: " +
                installFolder + "\n\n");
  EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("\n").toStdString();
}

TEST_F(WizardTest, HandheldAloneGoesStraightToThePalmUserAndBack) {
  // Reported in the order zed, bob, Alpha: the map's first name in byte
  // order is Alpha, the list sorts without regard to case.
  InstallPalmDesktop({"zed", "bob", "Alpha"}, false);
  Start();
  ToComponents();
  Box(CComponentsPage::kDesktopId)->setChecked(false);
  Box(CComponentsPage::kConduitId)->setChecked(false);
  wizard->next();
  ASSERT_EQ(wizard->currentId(), kPalmUserPageId);
  EXPECT_EQ(wizard->windowTitle(), "Lockwell Installer - Choose Palm User");
  QStringList shown;
  for (int i = 0; i < UserList()->count(); ++i) shown << UserList()->itemText(i);
  EXPECT_EQ(shown, QStringList({"Alpha", "bob", "zed"}));
  EXPECT_EQ(UserList()->currentText(), "Alpha");

  wizard->back();
  EXPECT_EQ(wizard->currentId(), kComponentsPageId);
  wizard->next();
  ASSERT_EQ(wizard->currentId(), kPalmUserPageId);
  UserList()->setCurrentIndex(UserList()->findText("zed"));
  wizard->next();
  ASSERT_EQ(wizard->currentId(), kSummaryPageId);
  EXPECT_EQ(Summary(), "Install Lockwell for the Palm\n    Palm User Name: zed\n\n");
  wizard->back();
  EXPECT_EQ(wizard->currentId(), kPalmUserPageId);
}

TEST_F(WizardTest, FirstUserInByteOrderIsSelectedWhereTheListSortsOtherwise) {
  InstallPalmDesktop({"alice", "Bob"}, false);
  Start();
  ToComponents();
  wizard->next();  // folder
  wizard->next();
  ASSERT_EQ(wizard->currentId(), kPalmUserPageId);
  EXPECT_EQ(UserList()->itemText(0), "alice");
  EXPECT_EQ(UserList()->currentText(), "Bob");
}

TEST_F(WizardTest, NextNeedsAComponentAndAFolder) {
  InstallPalmDesktop({"Ann"}, false);
  Start();
  ToComponents();
  EXPECT_TRUE(NextEnabled());
  const int boxes[] = {CComponentsPage::kDesktopId, CComponentsPage::kHandheldId, CComponentsPage::kConduitId};
  for (int id : boxes) Box(id)->click();
  EXPECT_FALSE(NextEnabled());
  Box(CComponentsPage::kConduitId)->click();
  EXPECT_TRUE(NextEnabled());
  wizard->next();
  ASSERT_EQ(wizard->currentId(), kFolderPageId);

  // The default: the program-files folder with "Lockwell" added.
  EXPECT_EQ(FolderField()->text().toStdString(), installFolder);
  FolderField()->clear();
  EXPECT_FALSE(NextEnabled());
  FolderField()->setText("/opt");
  EXPECT_TRUE(NextEnabled());
}

TEST_F(WizardTest, BrowsingAddsTheProductFolder) {
  Start();
  ToComponents();
  wizard->next();
  ASSERT_EQ(wizard->currentId(), kFolderPageId);
  const std::string apps = folder.Make("Apps");
  auto* browse = ControlIds::Find<QAbstractButton>(wizard.get(), CFolderPage::kBrowseId);

  prompter.QueueDialog([&](QDialog& dialog) { dialog.reject(); });
  browse->click();
  EXPECT_EQ(FolderField()->text().toStdString(), installFolder);

  prompter.QueueDialog([&](QDialog& dialog) {
    auto& browser = static_cast<QFileDialog&>(dialog);
    EXPECT_EQ(browser.windowTitle(), "Select an Installation Directory");
    EXPECT_EQ(browser.fileMode(), QFileDialog::Directory);
    browser.setDirectory(QString::fromStdString(apps));
    static_cast<QDialog&>(browser).accept();
  });
  browse->click();
  EXPECT_EQ(FolderField()->text().toStdString(), apps + "/Lockwell");
  EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("\n").toStdString();
}

TEST_F(WizardTest, WithoutPalmDesktopOnlyTheDesktopProgramCanBeChosen) {
  Start();
  EXPECT_FALSE(context.options.palmDesktopPresent);
  ToComponents();
  EXPECT_TRUE(Box(CComponentsPage::kDesktopId)->isChecked());
  for (int id : {CComponentsPage::kHandheldId, CComponentsPage::kConduitId}) {
    EXPECT_FALSE(Box(id)->isChecked());
    EXPECT_FALSE(Box(id)->isEnabled());
  }
  for (int id : {CComponentsPage::kHandheldTextId, CComponentsPage::kConduitTextId}) {
    EXPECT_EQ(ControlIds::Find<QLabel>(wizard.get(), id)->text(), "The Palm Desktop software is not installed.");
  }
  wizard->next();
  wizard->next();
  EXPECT_EQ(Summary(), "Install Lockwell/PC\n    Installation Path: " + installFolder + "\n\n");
}

TEST_F(WizardTest, SummaryIsRebuiltOnEveryVisit) {
  InstallPalmDesktop({"Ann"}, false);
  Start();
  ToComponents();
  wizard->next();
  wizard->next();
  ASSERT_EQ(wizard->currentId(), kSummaryPageId);
  EXPECT_THAT(Summary(), ::testing::HasSubstr("Install Lockwell Conduit"));

  wizard->back();
  wizard->back();
  ASSERT_EQ(wizard->currentId(), kComponentsPageId);
  Box(CComponentsPage::kConduitId)->click();
  Box(CComponentsPage::kHandheldId)->click();
  wizard->next();
  FolderField()->setText("/srv/lw");
  wizard->next();
  EXPECT_EQ(Summary(), "Install Lockwell/PC\n    Installation Path: /srv/lw\n\n");
}

// The user name comes from Palm Desktop in Windows-1252, the folder is
// file-system text: each is shown as the person wrote it.
TEST_F(WizardTest, SummaryShowsAccentedNamesAsWritten) {
  InstallPalmDesktop({"Ren\xe9"}, false);
  Start();
  ToComponents();
  wizard->next();
  FolderField()->setText(QStringLiteral("/srv/caf\u00e9"));
  wizard->next();
  ASSERT_EQ(wizard->currentId(), kSummaryPageId);
  EXPECT_EQ(Summary(),
            "Install Lockwell/PC\n    Installation Path: /srv/caf\xc3\xa9\n\n"
            "Install Lockwell for the Palm\n    Palm User Name: Ren\xc3\xa9\n\n"
            "Install Lockwell Conduit\n    Installation Path: /srv/caf\xc3\xa9\n\n");
}

TEST_F(WizardTest, LicenceIsReadOnceOrTheWizardEnds) {
  struct Case {
    const char* what;
    const char* license;  // null: no file
    std::string shown;
  } cases[] = {
      {"lines end in CR LF, whatever the file has", "First.\r\nSecond.\nLast without end", "First.\r\nSecond.\r\nLast without end\r\n"},
      {"an empty file", "", ""},
      {"no file", nullptr, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(package + "/license.txt");
    if (c.license != nullptr) WriteFile(package + "/license.txt", c.license);
    ScriptedPrompter fresh;
    InstallerContext own(fresh);
    PrepareInstallation(binding, package, own);
    InstallerWizard w(own, InstallerWizard::Kind::Main);
    w.show();
    if (c.shown.empty()) fresh.QueueAnswer(Prompter::Answer::Ok);
    w.next();
    EXPECT_EQ(static_cast<CLicensePage*>(w.page(kLicensePageId))->LicenseText(), c.shown);
    if (c.shown.empty()) {
      ASSERT_EQ(fresh.Requests().size(), 1u);
      EXPECT_EQ(fresh.Requests()[0].caption, "Could not install");
      EXPECT_EQ(fresh.Requests()[0].text, "Could not display license file.  Corrupt installation.");
      EXPECT_FALSE(w.isVisible());
      EXPECT_EQ(w.result(), QDialog::Rejected);
    } else {
      EXPECT_TRUE(fresh.Requests().empty());
      EXPECT_TRUE(w.isVisible());
      // Back and Next again: the text is not read a second time.
      WriteFile(package + "/license.txt", "changed");
      w.back();
      w.next();
      EXPECT_EQ(static_cast<CLicensePage*>(w.page(kLicensePageId))->LicenseText(), c.shown);
    }
  }
}

}  // namespace
}  // namespace lockwell::testing
