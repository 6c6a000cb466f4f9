#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "palmdb/CategoryConstants.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"
#include "vault/CategoryPrefsTable.h"
#include "vault/ui/CategoryPrefsDialog.h"
#include "vault/ui/ChooseLabelDialog.h"
#include "vault/ui/OpenVault.h"

namespace lockwell {
namespace {

using D = CategoryPrefsDialog;
using Strings = std::vector<std::string>;
using testing::OpenVault;

const Strings kBuiltInLabels = {"Login:", "ID:",   "Acct#:",   "Pwd:",   "PIN:",      "URL:",
                                "Phone:", "Owner:", "Dialup#:", "Email:", "Exp.Date:", " "};
// Unique IDs of the fixture's categories: number + 1.
constexpr uint32_t kBusinessKey = 2, kPersonalKey = 3;

template <typename T = QWidget>
T* Control(QWidget& dialog, int id) {
  T* control = ControlIds::Find<T>(&dialog, id);
  EXPECT_NE(control, nullptr) << id;
  return control;
}
void Click(QWidget& d, int id) { Control<QPushButton>(d, id)->click(); }
bool Enabled(QWidget& d, int id) { return Control(d, id)->isEnabled(); }

QStringList Headers(QWidget& d) {
  QTreeWidget* list = Control<QTreeWidget>(d, D::kColumnsId);
  QStringList headers;
  for (int i = 0; i < list->columnCount(); ++i) headers << list->headerItem()->text(i);
  return headers;
}
void ClickColumn(QWidget& d, int column) {
  QHeaderView* header = Control<QTreeWidget>(d, D::kColumnsId)->header();
  const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}
QStringList ListItems(QWidget& d) {
  QListWidget* list = Control<QListWidget>(d, D::kLabelsId);
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}
QStringList ToQ(const Strings& texts) {
  QStringList list;
  for (const auto& t : texts) list << QString::fromStdString(t);
  return list;
}

// Answers the choose-label dialog with `text` (typed or picked), noting the
// choices it offered.
ScriptedPrompter::DialogScript Choose(QString text, QStringList* offered = nullptr) {
  return [text, offered](QDialog& d) {
    EXPECT_EQ(d.objectName(), "chooseLabelDialog");
    auto* combo = ControlIds::Find<QComboBox>(&d, ChooseLabelDialog::kLabelId);
    EXPECT_TRUE(combo->currentText().isEmpty());
    if (offered != nullptr) {
      offered->clear();
      for (int i = 0; i < combo->count(); ++i) *offered << combo->itemText(i);
    }
    const int index = combo->findText(text);
    if (index >= 0) {
      combo->setCurrentIndex(index);
    } else {
      combo->setEditText(text);
    }
    ControlIds::Find<QPushButton>(&d, ChooseLabelDialog::kOkId)->click();
  };
}

class CategoryPrefsTest : public ::testing::Test {
 protected:
  // Runs the dialog for `category`; `user` acts in it.
  int Run(uint32_t category, std::function<void(QDialog&)> user) {
    prompter_.QueueDialog(std::move(user));
    return D::Edit(prompter_, nullptr, vault_.db(), category);
  }
  void ExpectNoProblems() {
    EXPECT_TRUE(prompter_.Problems().isEmpty()) << prompter_.Problems().join("; ").toStdString();
    EXPECT_EQ(prompter_.Unused(), 0u);
  }
  const CategoryPrefs* Stored(uint32_t key) { return vault_.db().findCategoryPrefs(key); }

  OpenVault vault_;
  ScriptedPrompter prompter_;
};

TEST_F(CategoryPrefsTest, CategoryWithoutEntryFollowsTheDefaultsAndStoresThatOnOk) {
  ASSERT_EQ(Stored(kPersonalKey), nullptr);
  EXPECT_EQ(Run(OpenVault::kPersonal,
                [](QDialog& d) {
                  EXPECT_EQ(d.windowTitle(), "Personal Category Preferences");
                  EXPECT_TRUE(Control<QCheckBox>(d, D::kUseDefaultId)->isChecked());
                  EXPECT_EQ(Headers(d), QStringList({"Title", "Login", "URL"}));
                  EXPECT_EQ(ListItems(d), ToQ(kBuiltInLabels));
                  const char* labels[] = {"Login:", "Pwd:", "URL:", " ", " "};
                  for (int n = 0; n < 5; ++n) {
                    auto* box = Control<QComboBox>(d, D::kDefaultLabelIds[n]);
                    EXPECT_EQ(box->currentText(), labels[n]) << n;
                    EXPECT_EQ(box->count(), 12) << n;
                  }
                  // Following the defaults, nothing but the check box and
                  // the defaults' own dialog can be used.
                  for (int id : {D::kColumnsId, D::kAddColumnId, D::kRemoveColumnId, D::kMoveLeftId, D::kMoveRightId,
                                 D::kLabelsId, D::kAddLabelId, D::kUpId, D::kDownId, D::kRemoveLabelId,
                                 D::kDefaultLabelIds[0], D::kColumnsGroupId, D::kLabelsGroupId,
                                 D::kDefaultLabelsGroupId}) {
                    EXPECT_FALSE(Enabled(d, id)) << id;
                  }
                  EXPECT_TRUE(Enabled(d, D::kUseDefaultId));
                  EXPECT_TRUE(Enabled(d, D::kEditDefaultsId));
                  Click(d, D::kOkId);
                }),
            QDialog::Accepted);
  ExpectNoProblems();
  ASSERT_NE(Stored(kPersonalKey), nullptr);
  EXPECT_TRUE(Stored(kPersonalKey)->useDefault);

  // Saved: the entry is in the file, as the one-byte use-default form.
  vault_.Reopen();
  ASSERT_NE(Stored(kPersonalKey), nullptr);
  EXPECT_TRUE(Stored(kPersonalKey)->useDefault);
  EXPECT_TRUE(Stored(kPersonalKey)->shownFields.empty());
}

TEST_F(CategoryPrefsTest, CancelStoresNothing) {
  EXPECT_EQ(Run(OpenVault::kBusiness,
                [](QDialog& d) {
                  Control<QCheckBox>(d, D::kUseDefaultId)->click();
                  Click(d, D::kRemoveColumnId);
                  Click(d, D::kCancelId);
                }),
            QDialog::Rejected);
  EXPECT_EQ(Stored(kBusinessKey), nullptr);
  EXPECT_EQ(*Stored(CategoryPrefsTable::defaultPrefsKey), CategoryPrefs::BuiltInDefaults());
  ExpectNoProblems();
}

TEST_F(CategoryPrefsTest, ACategoryWithoutKeyShowsTheErrorAndDoesNotOpen) {
  prompter_.QueueDialogOk();  // the error dialog
  EXPECT_EQ(D::Edit(prompter_, nullptr, vault_.db(), 16), QDialog::Rejected);
  ASSERT_EQ(prompter_.Requests().size(), 1u);
  EXPECT_EQ(prompter_.Requests()[0].text, "errorDialog");
  EXPECT_EQ(vault_.db().categoryPrefsTable().Entries().size(), 1u) << "only the defaults";
  ExpectNoProblems();
}

// The enable rules for the three kinds of entry, with use-default off.
TEST_F(CategoryPrefsTest, WhatCanBeEditedForACategoryAllAndTheDefaults) {
  struct Case {
    const char* name;
    uint32_t category;
    const char* caption;
    bool defaultsBox;  // group 1097, the check box, Edit Default Preferences
    bool labels;       // available and default labels
  } cases[] = {
      {"category", OpenVault::kBusiness, "Business Category Preferences", true, true},
      {"All", ALL_CATEGORIES, "All Category Preferences", true, false},
      {"defaults", D::kDefaults, "Default Category Preferences", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run(c.category, [&c](QDialog& d) {
      EXPECT_EQ(d.windowTitle(), c.caption);
      auto* check = Control<QCheckBox>(d, D::kUseDefaultId);
      if (check->isChecked()) check->click();
      EXPECT_FALSE(check->isChecked());
      for (int id : {D::kDefaultGroupId, D::kUseDefaultId, D::kEditDefaultsId}) {
        EXPECT_EQ(Enabled(d, id), c.defaultsBox) << id;
      }
      for (int id : {D::kColumnsGroupId, D::kColumnsId, D::kAddColumnId, D::kRemoveColumnId, D::kMoveRightId}) {
        EXPECT_TRUE(Enabled(d, id)) << id;
      }
      EXPECT_FALSE(Enabled(d, D::kMoveLeftId)) << "the first column is selected";
      for (int id : {D::kLabelsGroupId, D::kLabelsId, D::kAddLabelId, D::kDefaultLabelsGroupId,
                     D::kDefaultLabelStaticIds[4], D::kDefaultLabelIds[0], D::kDefaultLabelIds[4]}) {
        EXPECT_EQ(Enabled(d, id), c.labels) << id;
      }
      // No label is selected yet.
      for (int id : {D::kUpId, D::kDownId, D::kRemoveLabelId}) EXPECT_FALSE(Enabled(d, id)) << id;
      Click(d, D::kCancelId);
    });
  }
  ExpectNoProblems();
}

TEST_F(CategoryPrefsTest, ColumnsMoveAndTheLastOneStays) {
  Run(ALL_CATEGORIES, [](QDialog& d) {
    Control<QCheckBox>(d, D::kUseDefaultId)->click();
    auto* dialog = static_cast<D*>(&d);
    ClickColumn(d, 1);
    EXPECT_EQ(dialog->SelectedColumn(), 1);
    EXPECT_TRUE(Enabled(d, D::kMoveLeftId));
    EXPECT_TRUE(Enabled(d, D::kMoveRightId));
    Click(d, D::kMoveRightId);
    EXPECT_EQ(Headers(d), QStringList({"Title", "URL", "Login"}));
    EXPECT_EQ(dialog->SelectedColumn(), 2);
    EXPECT_FALSE(Enabled(d, D::kMoveRightId)) << "the last column is selected";
    Click(d, D::kMoveLeftId);
    Click(d, D::kMoveLeftId);
    EXPECT_EQ(Headers(d), QStringList({"Login", "Title", "URL"}));
    EXPECT_EQ(dialog->SelectedColumn(), 0);

    ClickColumn(d, 2);
    Click(d, D::kRemoveColumnId);
    EXPECT_EQ(Headers(d), QStringList({"Login", "Title"}));
    EXPECT_EQ(dialog->SelectedColumn(), 1) << "clamped to the new last column";
    Click(d, D::kRemoveColumnId);
    EXPECT_EQ(Headers(d), QStringList({"Login"}));
    EXPECT_FALSE(Enabled(d, D::kRemoveColumnId)) << "the last shown field stays";
    EXPECT_FALSE(Enabled(d, D::kMoveLeftId));
    EXPECT_FALSE(Enabled(d, D::kMoveRightId));
    Click(d, D::kOkId);
  });
  ASSERT_NE(Stored(CategoryPrefsTable::allCategoriesKey), nullptr);
  EXPECT_EQ(Stored(CategoryPrefsTable::allCategoriesKey)->shownFields, Strings({"Login"}));
  EXPECT_FALSE(Stored(CategoryPrefsTable::allCategoriesKey)->useDefault);
  ExpectNoProblems();
}

TEST_F(CategoryPrefsTest, AddingColumnsFromTheChoices) {
  QStringList offered;
  prompter_.QueueDialog([&](QDialog& d) {
    Control<QCheckBox>(d, D::kUseDefaultId)->click();
    // The first column is selected at start: the new one goes after it.
    prompter_.QueueDialog(Choose("Pwd", &offered));
    Click(d, D::kAddColumnId);
    EXPECT_EQ(Headers(d), QStringList({"Title", "Pwd", "Login", "URL"}));
    EXPECT_EQ(static_cast<D&>(d).SelectedColumn(), 1);
    prompter_.QueueDialog(Choose("Note"));  // typed
    Click(d, D::kAddColumnId);
    prompter_.QueueDialog(Choose("Fax:"));  // typed with a colon
    Click(d, D::kAddColumnId);
    prompter_.QueueDialog(Choose(":"));  // nothing left once the colon goes
    Click(d, D::kAddColumnId);
    prompter_.QueueDialogCancel();
    Click(d, D::kAddColumnId);
    EXPECT_EQ(Headers(d), QStringList({"Title", "Pwd", "Note", "Fax", "Login", "URL"}));
    Click(d, D::kOkId);
  });
  D::Edit(prompter_, nullptr, vault_.db(), OpenVault::kBusiness);
  QStringList expected = {"Title", "Login", "ID", "Acct#", "Pwd", "PIN", "URL", "Phone", "Owner",
                          "Dialup#", "Email", "Exp.Date", " ", "Note"};
  EXPECT_EQ(offered, expected);
  ASSERT_NE(Stored(kBusinessKey), nullptr);
  EXPECT_EQ(Stored(kBusinessKey)->shownFields, Strings({"Title", "Pwd", "Note", "Fax", "Login", "URL"}));
  ExpectNoProblems();
}

TEST_F(CategoryPrefsTest, AvailableLabelsAndDefaultLabels) {
  QStringList offered;
  prompter_.QueueDialog([&](QDialog& d) {
    Control<QCheckBox>(d, D::kUseDefaultId)->click();
    auto* list = Control<QListWidget>(d, D::kLabelsId);
    auto* dialog = static_cast<D*>(&d);

    // With nothing selected a new label goes last; it gets its colon.
    prompter_.QueueDialog(Choose("Fax", &offered));
    Click(d, D::kAddLabelId);
    EXPECT_EQ(offered, ToQ(kBuiltInLabels));
    EXPECT_EQ(ListItems(d).last(), "Fax:");
    EXPECT_EQ(list->currentRow(), 12);
    EXPECT_FALSE(Enabled(d, D::kDownId));
    EXPECT_TRUE(Enabled(d, D::kUpId));

    list->setCurrentRow(0);
    EXPECT_FALSE(Enabled(d, D::kUpId));
    Click(d, D::kDownId);
    EXPECT_EQ(ListItems(d).mid(0, 3), QStringList({"ID:", "Login:", "Acct#:"}));
    EXPECT_EQ(dialog->SelectedLabel(), 1);
    Click(d, D::kUpId);
    EXPECT_EQ(ListItems(d).mid(0, 2), QStringList({"Login:", "ID:"}));

    // Inserted after the selected label; the blank label stays a blank.
    prompter_.QueueDialog(Choose(" "));
    Click(d, D::kAddLabelId);
    EXPECT_EQ(ListItems(d).mid(0, 3), QStringList({"Login:", " ", "ID:"}));
    EXPECT_EQ(dialog->SelectedLabel(), 1);
    Click(d, D::kRemoveLabelId);
    EXPECT_EQ(ListItems(d).mid(0, 2), QStringList({"Login:", "ID:"}));
    EXPECT_EQ(dialog->SelectedLabel(), 1) << "the selection stays at its index";
    list->setCurrentRow(list->count() - 1);
    Click(d, D::kRemoveLabelId);
    EXPECT_EQ(dialog->SelectedLabel(), list->count() - 1) << "moves to the new last label";

    // The label boxes offer the new list and keep what they show.
    auto* box = Control<QComboBox>(d, D::kDefaultLabelIds[0]);
    EXPECT_EQ(box->count(), list->count());
    EXPECT_EQ(box->currentText(), "Login:");
    box->setEditText("Card");  // typed, no colon
    Control<QComboBox>(d, D::kDefaultLabelIds[4])->setCurrentIndex(2);  // picked: "Acct#:"
    Click(d, D::kOkId);
  });
  D::Edit(prompter_, nullptr, vault_.db(), OpenVault::kBusiness);
  const CategoryPrefs* stored = Stored(kBusinessKey);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->availableLabels,
            Strings({"Login:", "ID:", "Acct#:", "Pwd:", "PIN:", "URL:", "Phone:", "Owner:", "Dialup#:", "Email:",
                     "Exp.Date:", " "}));
  EXPECT_EQ(stored->defaultLabels, (std::array<std::string, 5>{"Card", "Pwd:", "URL:", " ", "Acct#:"}));
  ExpectNoProblems();
}

TEST_F(CategoryPrefsTest, EditingTheDefaultsFromAFollowingCategoryShowsThemOnReturn) {
  prompter_.QueueDialog([&](QDialog& d) {
    EXPECT_TRUE(Control<QCheckBox>(d, D::kUseDefaultId)->isChecked());
    prompter_.QueueDialog([&](QDialog& defaults) {
      EXPECT_EQ(defaults.windowTitle(), "Default Category Preferences");
      ClickColumn(defaults, 2);
      prompter_.QueueDialog(Choose("Pwd"));
      Click(defaults, D::kAddColumnId);
      Control<QComboBox>(defaults, D::kDefaultLabelIds[3])->setEditText("PIN:");
      Click(defaults, D::kOkId);
    });
    Click(d, D::kEditDefaultsId);
    EXPECT_TRUE(Control<QCheckBox>(d, D::kUseDefaultId)->isChecked());
    EXPECT_EQ(Headers(d), QStringList({"Title", "Login", "URL", "Pwd"}));
    EXPECT_EQ(Control<QComboBox>(d, D::kDefaultLabelIds[3])->currentText(), "PIN:");
    Click(d, D::kOkId);
  });
  D::Edit(prompter_, nullptr, vault_.db(), OpenVault::kPersonal);
  EXPECT_TRUE(Stored(kPersonalKey)->useDefault);
  EXPECT_EQ(Stored(CategoryPrefsTable::defaultPrefsKey)->shownFields, Strings({"Title", "Login", "URL", "Pwd"}));
  std::vector<std::string> shown;
  ErrorList errors;
  ASSERT_TRUE(vault_.db().getShownFields(errors, OpenVault::kPersonal, shown));
  EXPECT_EQ(shown, Strings({"Title", "Login", "URL", "Pwd"}));
  ExpectNoProblems();
}

TEST_F(CategoryPrefsTest, OwnEntryIsNotReplacedByTheDefaultsOnReturn) {
  CategoryPrefs own = CategoryPrefs::BuiltInDefaults();
  own.shownFields = {"Title", "Email"};
  vault_.db().storeCategoryPrefs(kBusinessKey, own);
  prompter_.QueueDialog([&](QDialog& d) {
    EXPECT_FALSE(Control<QCheckBox>(d, D::kUseDefaultId)->isChecked());
    EXPECT_EQ(Headers(d), QStringList({"Title", "Email"}));
    prompter_.QueueDialogOk();
    Click(d, D::kEditDefaultsId);
    EXPECT_EQ(Headers(d), QStringList({"Title", "Email"}));
    Control<QCheckBox>(d, D::kUseDefaultId)->click();  // now follow the defaults
    Click(d, D::kOkId);
  });
  D::Edit(prompter_, nullptr, vault_.db(), OpenVault::kBusiness);
  ASSERT_NE(Stored(kBusinessKey), nullptr);
  EXPECT_TRUE(Stored(kBusinessKey)->useDefault);
  ExpectNoProblems();
}

TEST_F(CategoryPrefsTest, ColumnWidthsAndMarker) {
  Run(ALL_CATEGORIES, [this](QDialog& d) {
    Control<QCheckBox>(d, D::kUseDefaultId)->click();
    auto* list = Control<QTreeWidget>(d, D::kColumnsId);
    QHeaderView* header = list->header();
    auto* marker = Control<QLabel>(d, D::kMarkerId);
    ASSERT_FALSE(marker->pixmap().isNull());
    const int client = list->contentsRect().width();
    for (int added = 0; added < 2; ++added) {
      const int n = list->columnCount();
      SCOPED_TRACE(n);
      EXPECT_EQ(header->sectionSize(0), client * 2 / (n + 1));
      for (int i = 1; i < n; ++i) EXPECT_EQ(header->sectionSize(i), client / (n + 1)) << i;
      for (int i = 0; i < n; ++i) EXPECT_EQ(header->sectionResizeMode(i), QHeaderView::Fixed) << i;
      for (int column : {0, n - 1}) {
        ClickColumn(d, column);
        const QPoint centre = header->viewport()->mapTo(
            &d, QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 0));
        EXPECT_TRUE(marker->isVisible());
        EXPECT_EQ(marker->x(), centre.x() - 8) << column;
      }
      prompter_.QueueDialog(Choose("Note"));
      Click(d, D::kAddColumnId);
    }
    Click(d, D::kCancelId);
  });
  ExpectNoProblems();
}

TEST(ChooseLabelDialogTest, OffersTheChoicesInOrderAndReturnsTheText) {
  struct Case {
    const char* name;
    std::function<void(QComboBox&)> act;
    bool ok;
    std::string label;
  } cases[] = {
      {"picked", [](QComboBox& c) { c.setCurrentIndex(1); }, true, "Pwd:"},
      {"typed", [](QComboBox& c) { QTest::keyClicks(c.lineEdit(), "Fax"); }, true, "Fax"},
      {"Windows-1252", [](QComboBox& c) { c.setEditText(QString::fromUtf8("N\u00b0")); }, true, "N\xB0"},
      {"cancelled", [](QComboBox& c) { c.setEditText("x"); }, false, ""},
  };
  for (const auto& c : cases) {
    ScriptedPrompter prompter;
    ChooseLabelDialog dialog(prompter, nullptr);
    dialog.SetChoices({"Login:", "Pwd:", " "});
    prompter.QueueDialog([&c](QDialog& d) {
      auto* combo = ControlIds::Find<QComboBox>(&d, ChooseLabelDialog::kLabelId);
      EXPECT_EQ(combo->count(), 3);
      EXPECT_EQ(combo->itemText(0), "Login:");
      EXPECT_EQ(combo->itemText(2), " ");
      EXPECT_TRUE(combo->currentText().isEmpty());
      c.act(*combo);
      ControlIds::Find<QPushButton>(&d, c.ok ? ChooseLabelDialog::kOkId : ChooseLabelDialog::kCancelId)->click();
    });
    EXPECT_EQ(prompter.RunDialog(dialog), c.ok ? QDialog::Accepted : QDialog::Rejected) << c.name;
    EXPECT_EQ(dialog.GetLabel(), c.label) << c.name;
    QStringList texts;
    for (QLabel* l : dialog.findChildren<QLabel*>()) texts << l->text();
    EXPECT_EQ(texts, QStringList({"Enter the label you want to add:"})) << c.name;
    EXPECT_TRUE(prompter.Problems().isEmpty()) << c.name;
  }
}

}  // namespace
}  // namespace lockwell
