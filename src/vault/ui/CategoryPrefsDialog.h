// The category preferences dialog: which fields the account list shows for
// a category, which labels the account editor offers there, and the five
// labels a new account of the category starts with.
//
// It edits a working copy of one entry of the database's preferences table:
// a category's (under its unique ID), the All view's (4095, where only the
// shown fields apply) or the default preferences (kDefaults).  A category
// that follows the defaults opens with "Use default category preferences"
// checked and the defaults shown.  OK stores the working copy under the key
// and saves the table; Cancel stores nothing.
//
//   CategoryPrefsDialog::Edit(prompter, window, database, category);
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <QDialog>

#include "vault/CategoryPrefs.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace lockwell {

class LockwellDatabase;
class Prompter;

class CategoryPrefsDialog : public QDialog {
  Q_OBJECT

 public:
  // The category number that stands for the default preferences.
  static constexpr uint32_t kDefaults = 0xFFFFFFFFu;

  static constexpr int kDefaultGroupId = 1097;
  static constexpr int kUseDefaultId = 1068;
  static constexpr int kEditDefaultsId = 1069;
  static constexpr int kColumnsGroupId = 1084;
  static constexpr int kColumnsId = 1070;
  static constexpr int kMarkerId = 1095;
  static constexpr int kMoveLeftId = 1092;
  static constexpr int kAddColumnId = 1071;
  static constexpr int kRemoveColumnId = 1072;
  static constexpr int kMoveRightId = 1093;
  static constexpr int kLabelsGroupId = 1085;
  static constexpr int kLabelsId = 1073;
  static constexpr int kUpId = 1074;
  static constexpr int kAddLabelId = 1076;
  static constexpr int kRemoveLabelId = 1077;
  static constexpr int kDownId = 1075;
  static constexpr int kDefaultLabelsGroupId = 1086;
  static constexpr std::array<int, 5> kDefaultLabelStaticIds = {1087, 1088, 1089, 1090, 1091};
  static constexpr std::array<int, 5> kDefaultLabelIds = {1023, 1025, 1027, 1029, 1031};
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;

  // Runs the dialog for `category` (0..15, ALL_CATEGORIES or kDefaults)
  // through `prompter`.  When the category has no preferences key the
  // errors are shown and the dialog does not open (Rejected).
  static int Edit(Prompter& prompter, QWidget* parent, LockwellDatabase& database, uint32_t category);

  CategoryPrefsDialog(Prompter& prompter, QWidget* parent);

  // Set both, then Initialise; false (errors shown) when the category's key
  // cannot be found.
  void SetDatabase(LockwellDatabase& database) { database_ = &database; }
  void SetCategory(uint32_t category) { category_ = category; }
  bool Initialise();

  // The working copy as the controls show it (default labels as of the
  // last OK).
  const CategoryPrefs& WorkingCopy() const { return working_; }
  int SelectedColumn() const { return selectedColumn_; }
  int SelectedLabel() const { return selectedLabel_; }

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LoadWorkingCopy();
  // A copy of the default preferences with use-default set.
  CategoryPrefs DefaultsToFollow() const;
  // Columns, label list, label boxes and enable rules from the working copy.
  void Refresh(bool takeDefaults = false);
  void ShowColumns();
  void PlaceMarker();
  // `takeDefaults`: the label boxes show the working default labels;
  // otherwise they keep their texts.
  void ShowLabels(bool takeDefaults);
  void ApplyEnableRules();

  void OnUseDefaultToggled(bool checked);
  void OnEditDefaults();
  void OnColumnClicked(int column);
  void OnLabelSelected(int row);
  void OnMoveColumn(int step);
  void OnAddColumn();
  void OnRemoveColumn();
  void OnMoveLabel(int step);
  void OnAddLabel();
  void OnRemoveLabel();
  // Asks for a name through the choose-label dialog; false on Cancel.
  bool ChooseLabel(const std::vector<std::string>& choices, std::string& chosen);

  Prompter& prompter_;
  LockwellDatabase* database_ = nullptr;
  uint32_t category_ = 0;
  uint32_t key_ = 0;
  bool editingDefaults_ = false;
  CategoryPrefs working_;
  int selectedColumn_ = 0;
  int selectedLabel_ = -1;

  QGroupBox* defaultGroup_;
  QCheckBox* useDefault_;
  QPushButton* editDefaults_;
  QGroupBox* columnsGroup_;
  QTreeWidget* columns_;
  QLabel* marker_;
  QPushButton* moveLeft_;
  QPushButton* addColumn_;
  QPushButton* removeColumn_;
  QPushButton* moveRight_;
  QGroupBox* labelsGroup_;
  QListWidget* labels_;
  QPushButton* up_;
  QPushButton* addLabel_;
  QPushButton* removeLabel_;
  QPushButton* down_;
  QGroupBox* defaultLabelsGroup_;
  std::array<QLabel*, 5> defaultLabelStatics_{};
  std::array<QComboBox*, 5> defaultLabels_{};
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lockwell
