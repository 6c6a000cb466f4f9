#include "vault/ui/CategoryPrefsDialog.h"

#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "palmdb/CategoryConstants.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/Prompter.h"
#include "storage/ErrorList.h"
#include "vault/CategoryPrefsTable.h"
#include "vault/LockwellDatabase.h"
#include "vault/ui/ChooseLabelDialog.h"

namespace lockwell {
namespace {

// 307 x 276 dialog units.
constexpr int kWidth = 460;
constexpr int kHeight = 448;

constexpr QRect kDefaultGroupRect(8, 4, 444, 60);
constexpr QRect kUseDefaultRect(20, 28, 250, 22);
constexpr QRect kEditDefaultsRect(280, 27, 160, 24);

constexpr QRect kColumnsGroupRect(8, 70, 444, 124);
constexpr QRect kColumnsRect(20, 92, 420, 44);
constexpr int kMarkerY = 138;
constexpr QSize kMarkerSize(16, 16);
constexpr QRect kMoveLeftRect(20, 160, 96, 24);
constexpr QRect kAddColumnRect(128, 160, 96, 24);
constexpr QRect kRemoveColumnRect(236, 160, 96, 24);
constexpr QRect kMoveRightRect(344, 160, 96, 24);

constexpr QRect kLabelsGroupRect(8, 200, 214, 204);
constexpr QRect kLabelsRect(20, 222, 190, 108);
constexpr QRect kUpRect(20, 338, 90, 24);
constexpr QRect kAddLabelRect(120, 338, 90, 24);
constexpr QRect kRemoveLabelRect(20, 370, 90, 24);
constexpr QRect kDownRect(120, 370, 90, 24);

constexpr QRect kDefaultLabelsGroupRect(230, 200, 222, 204);
constexpr int kDefaultLabelTop = 224;
constexpr int kDefaultLabelStep = 34;
constexpr int kDefaultLabelStaticX = 242;
constexpr QSize kDefaultLabelStaticSize(56, 22);
constexpr int kDefaultLabelX = 302;
constexpr QSize kDefaultLabelSize(138, 24);

constexpr QRect kOkRect(282, 414, 80, 24);
constexpr QRect kCancelRect(372, 414, 80, 24);

QPushButton* Button(QWidget* parent, const char* text, const char* name, int id, const QRect& rect) {
  auto* button = ControlIds::Place(new QPushButton(QString::fromLatin1(text), parent), name, id, rect);
  button->setAutoDefault(false);
  return button;
}

QGroupBox* Group(QWidget* parent, const char* title, const char* name, int id, const QRect& rect) {
  // The group boxes are frames drawn behind their controls, not their
  // parents, so every control keeps an enabled state of its own.
  auto* group = ControlIds::Place(new QGroupBox(QString::fromLatin1(title), parent), name, id, rect);
  group->lower();
  return group;
}

QStringList ToQStrings(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list << Cp1252::ToQString(text);
  return list;
}

}  // namespace

int CategoryPrefsDialog::Edit(Prompter& prompter, QWidget* parent, LockwellDatabase& database, uint32_t category) {
  CategoryPrefsDialog dialog(prompter, parent);
  dialog.SetDatabase(database);
  dialog.SetCategory(category);
  if (!dialog.Initialise()) return QDialog::Rejected;
  return prompter.RunDialog(dialog);
}

CategoryPrefsDialog::CategoryPrefsDialog(Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      prompter_(prompter),
      defaultGroup_(Group(this, "Default Preferences", "defaultGroup", kDefaultGroupId, kDefaultGroupRect)),
      useDefault_(ControlIds::Place(new QCheckBox(QStringLiteral("Use default category preferences"), this), "useDefaultCheck",
                        kUseDefaultId, kUseDefaultRect)),
      editDefaults_(Button(this, "Edit Default Preferences...", "editDefaultsButton", kEditDefaultsId,
                           kEditDefaultsRect)),
      columnsGroup_(Group(this, "Show These Fields", "columnsGroup", kColumnsGroupId, kColumnsGroupRect)),
      columns_(ControlIds::Place(new QTreeWidget(this), "columnList", kColumnsId, kColumnsRect)),
      marker_(ControlIds::Place(new QLabel(this), "columnMarker", kMarkerId, QRect(QPoint(0, kMarkerY), kMarkerSize))),
      moveLeft_(Button(this, "Move Left", "moveLeftButton", kMoveLeftId, kMoveLeftRect)),
      addColumn_(Button(this, "Add...", "addColumnButton", kAddColumnId, kAddColumnRect)),
      removeColumn_(Button(this, "Remove", "removeColumnButton", kRemoveColumnId, kRemoveColumnRect)),
      moveRight_(Button(this, "Move Right", "moveRightButton", kMoveRightId, kMoveRightRect)),
      labelsGroup_(Group(this, "Available Labels", "labelsGroup", kLabelsGroupId, kLabelsGroupRect)),
      labels_(ControlIds::Place(new QListWidget(this), "labelList", kLabelsId, kLabelsRect)),
      up_(Button(this, "Up", "upButton", kUpId, kUpRect)),
      addLabel_(Button(this, "Add...", "addLabelButton", kAddLabelId, kAddLabelRect)),
      removeLabel_(Button(this, "Remove", "removeLabelButton", kRemoveLabelId, kRemoveLabelRect)),
      down_(Button(this, "Down", "downButton", kDownId, kDownRect)),
      defaultLabelsGroup_(
          Group(this, "Default Labels", "defaultLabelsGroup", kDefaultLabelsGroupId, kDefaultLabelsGroupRect)),
      ok_(Button(this, "OK", "okButton", kOkId, kOkRect)),
      cancel_(Button(this, "Cancel", "cancelButton", kCancelId, kCancelRect)) {
  setObjectName("categoryPrefsDialog");
  setFixedSize(kWidth, kHeight);
  for (int n = 0; n < 5; ++n) {
    const int y = kDefaultLabelTop + n * kDefaultLabelStep;
    const QByteArray number = QByteArray::number(n + 1);
    defaultLabelStatics_[n] =
        ControlIds::Place(new QLabel(QStringLiteral("Label %1:").arg(n + 1), this),
              QByteArray("defaultLabelStatic" + number).constData(), kDefaultLabelStaticIds[n],
              QRect(QPoint(kDefaultLabelStaticX, y + 1), kDefaultLabelStaticSize));
    defaultLabels_[n] = ControlIds::Place(new QComboBox(this), QByteArray("defaultLabelCombo" + number).constData(),
                              kDefaultLabelIds[n], QRect(QPoint(kDefaultLabelX, y), kDefaultLabelSize));
    defaultLabels_[n]->setEditable(true);
    defaultLabels_[n]->setInsertPolicy(QComboBox::NoInsert);
  }

  // A list view with columns and no rows: only its header is of use.
  columns_->setRootIsDecorated(false);
  columns_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  columns_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  columns_->setSelectionMode(QAbstractItemView::NoSelection);
  QHeaderView* header = columns_->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(false);
  // Widths stay as computed: the dividers can not be dragged.
  header->setSectionResizeMode(QHeaderView::Fixed);
  header->setMinimumSectionSize(1);

  marker_->setPixmap(QPixmap(QStringLiteral(":/lockwell/vault/column_marker.png")));
  marker_->setAlignment(Qt::AlignCenter);
  ok_->setDefault(true);
  ok_->setAutoDefault(true);

  connect(useDefault_, &QCheckBox::clicked, this, &CategoryPrefsDialog::OnUseDefaultToggled);
  connect(editDefaults_, &QPushButton::clicked, this, &CategoryPrefsDialog::OnEditDefaults);
  connect(header, &QHeaderView::sectionClicked, this, &CategoryPrefsDialog::OnColumnClicked);
  connect(moveLeft_, &QPushButton::clicked, this, [this] { OnMoveColumn(-1); });
  connect(moveRight_, &QPushButton::clicked, this, [this] { OnMoveColumn(1); });
  connect(addColumn_, &QPushButton::clicked, this, &CategoryPrefsDialog::OnAddColumn);
  connect(removeColumn_, &QPushButton::clicked, this, &CategoryPrefsDialog::OnRemoveColumn);
  connect(labels_, &QListWidget::currentRowChanged, this, &CategoryPrefsDialog::OnLabelSelected);
  connect(up_, &QPushButton::clicked, this, [this] { OnMoveLabel(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { OnMoveLabel(1); });
  connect(addLabel_, &QPushButton::clicked, this, &CategoryPrefsDialog::OnAddLabel);
  connect(removeLabel_, &QPushButton::clicked, this, &CategoryPrefsDialog::OnRemoveLabel);
  connect(ok_, &QPushButton::clicked, this, &CategoryPrefsDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

bool CategoryPrefsDialog::Initialise() {
  ErrorList errors;
  if (database_ == nullptr) return false;
  if (category_ == kDefaults) {
    key_ = CategoryPrefsTable::defaultPrefsKey;
  } else if (!database_->getCategoryPrefsKey(errors, category_, key_)) {
    ShowErrors(prompter_, parentWidget(), errors);
    return false;
  }
  editingDefaults_ = key_ == CategoryPrefsTable::defaultPrefsKey;
  LoadWorkingCopy();

  QString name = QStringLiteral("Default");
  if (!editingDefaults_) {
    std::string categoryName;
    if (!database_->GetCategoryName(errors, category_, categoryName)) {
      ShowErrors(prompter_, parentWidget(), errors);
      return false;
    }
    name = Cp1252::ToQString(categoryName);
  }
  setWindowTitle(name + QStringLiteral(" Category Preferences"));

  selectedColumn_ = working_.shownFields.empty() ? -1 : 0;
  selectedLabel_ = -1;
  Refresh(true);
  return true;
}

void CategoryPrefsDialog::LoadWorkingCopy() {
  const CategoryPrefs* existing = database_->findCategoryPrefs(key_);
  working_ = existing != nullptr && !existing->useDefault ? *existing : DefaultsToFollow();
  // The default entry can not follow itself; a stored flag there would
  // leave every control locked.
  if (editingDefaults_) working_.useDefault = false;
}

CategoryPrefs CategoryPrefsDialog::DefaultsToFollow() const {
  // The defaults as every lookup answers them (the built-in fallback when
  // the table has no default entry).
  const CategoryPrefsTable& table = database_->categoryPrefsTable();
  const uint32_t defaults = CategoryPrefsTable::defaultPrefsKey;
  CategoryPrefs prefs;
  prefs.useDefault = true;
  prefs.shownFields = table.ShownFields(defaults);
  prefs.availableLabels = table.AvailableLabels(defaults);
  for (int n = 0; n < 5; ++n) prefs.defaultLabels[n] = table.DefaultLabel(defaults, n);
  return prefs;
}

void CategoryPrefsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The list view's client area is final once the dialog is shown.
  ShowColumns();
}

void CategoryPrefsDialog::Refresh(bool takeDefaults) {
  ShowColumns();
  ShowLabels(takeDefaults);
  ApplyEnableRules();
}

void CategoryPrefsDialog::ShowColumns() {
  const int count = static_cast<int>(working_.shownFields.size());
  if (selectedColumn_ >= count) selectedColumn_ = count - 1;
  columns_->setColumnCount(count);
  columns_->setHeaderLabels(ToQStrings(working_.shownFields));
  // The first column twice as wide as each of the others.
  const int client = columns_->contentsRect().width();
  QHeaderView* header = columns_->header();
  for (int i = 0; i < count; ++i) {
    header->resizeSection(i, (i == 0 ? client * 2 : client) / (count + 1));
  }
  PlaceMarker();
}

void CategoryPrefsDialog::PlaceMarker() {
  if (selectedColumn_ < 0 || selectedColumn_ >= static_cast<int>(working_.shownFields.size())) {
    marker_->hide();
    return;
  }
  const QHeaderView* header = columns_->header();
  const int centre = columns_->x() + columns_->contentsRect().x() + header->sectionViewportPosition(selectedColumn_) +
                     header->sectionSize(selectedColumn_) / 2;
  marker_->move(centre - 8, kMarkerY);
  marker_->show();
}

void CategoryPrefsDialog::ShowLabels(bool takeDefaults) {
  const int count = static_cast<int>(working_.availableLabels.size());
  if (selectedLabel_ >= count) selectedLabel_ = count - 1;
  const QStringList items = ToQStrings(working_.availableLabels);
  {
    const QSignalBlocker blocker(labels_);
    labels_->clear();
    labels_->addItems(items);
    labels_->setCurrentRow(selectedLabel_);
  }
  for (int n = 0; n < 5; ++n) {
    QComboBox* box = defaultLabels_[n];
    const QString text = takeDefaults ? Cp1252::ToQString(working_.defaultLabels[n]) : box->currentText();
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
  }
}

void CategoryPrefsDialog::ApplyEnableRules() {
  const bool own = !working_.useDefault;
  const bool all = key_ == CategoryPrefsTable::allCategoriesKey;
  const int columns = static_cast<int>(working_.shownFields.size());
  const int selected = selectedColumn_;
  const int labelCount = static_cast<int>(working_.availableLabels.size());
  const int label = selectedLabel_;

  {
    const QSignalBlocker blocker(useDefault_);
    useDefault_->setChecked(working_.useDefault);
  }
  defaultGroup_->setEnabled(!editingDefaults_);
  useDefault_->setEnabled(!editingDefaults_);
  editDefaults_->setEnabled(!editingDefaults_);

  columnsGroup_->setEnabled(own);
  columns_->setEnabled(own);
  addColumn_->setEnabled(own);
  removeColumn_->setEnabled(own && selected >= 0 && columns >= 2);
  moveLeft_->setEnabled(own && selected > 0);
  moveRight_->setEnabled(own && selected >= 0 && selected < columns - 1);

  const bool labelsOn = own && !all;
  labelsGroup_->setEnabled(labelsOn);
  labels_->setEnabled(labelsOn);
  addLabel_->setEnabled(labelsOn);
  up_->setEnabled(labelsOn && label > 0);
  down_->setEnabled(labelsOn && label >= 0 && label < labelCount - 1);
  removeLabel_->setEnabled(labelsOn && label >= 0);
  defaultLabelsGroup_->setEnabled(labelsOn);
  for (int n = 0; n < 5; ++n) {
    defaultLabelStatics_[n]->setEnabled(labelsOn);
    defaultLabels_[n]->setEnabled(labelsOn);
  }
}

void CategoryPrefsDialog::OnUseDefaultToggled(bool checked) {
  working_.useDefault = checked;
  Refresh();
}

void CategoryPrefsDialog::OnEditDefaults() {
  Edit(prompter_, this, *database_, kDefaults);
  if (working_.useDefault) {
    working_ = DefaultsToFollow();
    Refresh(true);
  } else {
    Refresh();
  }
}

void CategoryPrefsDialog::OnColumnClicked(int column) {
  selectedColumn_ = column;
  PlaceMarker();
  ApplyEnableRules();
}

void CategoryPrefsDialog::OnLabelSelected(int row) {
  selectedLabel_ = row;
  ApplyEnableRules();
}

void CategoryPrefsDialog::OnMoveColumn(int step) {
  const int from = selectedColumn_;
  const int to = from + step;
  if (from < 0 || to < 0 || to >= static_cast<int>(working_.shownFields.size())) return;
  std::swap(working_.shownFields[from], working_.shownFields[to]);
  selectedColumn_ = to;
  Refresh();
}

void CategoryPrefsDialog::OnAddColumn() {
  std::vector<std::string> choices = {"Title"};
  for (const std::string& label : working_.availableLabels) {
    choices.push_back(!label.empty() && label.back() == ':' ? label.substr(0, label.size() - 1) : label);
  }
  choices.push_back("Note");
  std::string chosen;
  if (!ChooseLabel(choices, chosen)) return;
  if (!chosen.empty() && chosen.back() == ':') chosen.pop_back();
  if (chosen.empty()) return;
  const int at = selectedColumn_ < 0 ? 0 : selectedColumn_ + 1;
  working_.shownFields.insert(working_.shownFields.begin() + at, chosen);
  selectedColumn_ = at;
  Refresh();
}

void CategoryPrefsDialog::OnRemoveColumn() {
  const int count = static_cast<int>(working_.shownFields.size());
  if (selectedColumn_ < 0 || selectedColumn_ >= count || count < 2) return;
  working_.shownFields.erase(working_.shownFields.begin() + selectedColumn_);
  Refresh();
}

void CategoryPrefsDialog::OnMoveLabel(int step) {
  const int from = selectedLabel_;
  const int to = from + step;
  if (from < 0 || to < 0 || to >= static_cast<int>(working_.availableLabels.size())) return;
  std::swap(working_.availableLabels[from], working_.availableLabels[to]);
  selectedLabel_ = to;
  Refresh();
}

void CategoryPrefsDialog::OnAddLabel() {
  std::string chosen;
  if (!ChooseLabel(working_.availableLabels, chosen) || chosen.empty()) return;
  // A label ends in a colon, or is the single blank that means "no label".
  if (chosen != " " && chosen.back() != ':') chosen.push_back(':');
  const int count = static_cast<int>(working_.availableLabels.size());
  const int at = selectedLabel_ < 0 ? count : selectedLabel_ + 1;
  working_.availableLabels.insert(working_.availableLabels.begin() + at, chosen);
  selectedLabel_ = at;
  Refresh();
}

void CategoryPrefsDialog::OnRemoveLabel() {
  if (selectedLabel_ < 0 || selectedLabel_ >= static_cast<int>(working_.availableLabels.size())) return;
  working_.availableLabels.erase(working_.availableLabels.begin() + selectedLabel_);
  Refresh();  // the selection stays at its index, or moves to the new last label
}

bool CategoryPrefsDialog::ChooseLabel(const std::vector<std::string>& choices, std::string& chosen) {
  ChooseLabelDialog dialog(prompter_, this);
  dialog.SetChoices(choices);
  if (prompter_.RunDialog(dialog) != QDialog::Accepted) return false;
  chosen = dialog.GetLabel();
  return true;
}

void CategoryPrefsDialog::accept() {
  std::array<std::string, 5> typed;
  for (int n = 0; n < 5; ++n) {
    QString refusal;
    if (!Cp1252::FromQString(defaultLabels_[n]->currentText(), typed[n], refusal)) {
      prompter_.Message(this, windowTitle(), refusal, Prompter::Buttons::Ok);
      defaultLabels_[n]->setFocus();
      return;
    }
  }
  // As typed: the colon is added when a record's field is set.
  working_.defaultLabels = std::move(typed);
  database_->storeCategoryPrefs(key_, working_);
  ErrorList errors;
  if (!database_->saveCategoryPrefs(errors)) ShowErrors(prompter_, this, errors);
  QDialog::accept();
}

}  // namespace lockwell
