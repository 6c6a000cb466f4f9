#include "vault/ui/AccountEditorDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <string>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/SecretText.h"
#include "storage/ErrorList.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {
namespace {

// Template geometry in pixels (client 327 x 366).  Everything that the
// resize rules move is recomputed in LayOut; the rest stays here.
constexpr QSize kCategoryStaticSize(56, 20);
constexpr int kCategoryStaticY = 9;
constexpr QSize kCategorySize(140, 24);
constexpr int kCategoryY = 6;
constexpr QRect kTitleStaticRect(4, 37, 40, 20);
constexpr int kTitleX = 48;
constexpr int kTitleY = 36;
constexpr int kTitleHeight = 22;
constexpr int kLabelX = 4;
constexpr QSize kLabelSize(86, 24);
constexpr int kValueX = 94;
constexpr QSize kNoteStaticSize(40, 20);
constexpr int kNoteStaticX = 4;
constexpr int kNoteX = 94;
constexpr QSize kButtonSize(76, 24);
constexpr int kOkX = 163;

// In memory a line ends with CR LF; the text edits end lines with LF.
SecureString WithoutCr(std::string_view text) {
  SecureString out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

SecureString WithCr(std::string_view text) {
  SecureString out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

void ShowText(QLineEdit& edit, std::string_view bytes) {
  QString text = Cp1252::ToQString(bytes);
  edit.setText(text);
  SecretText::Wipe(text);
}

void ShowText(QPlainTextEdit& edit, std::string_view bytes) {
  const SecureString lines = WithoutCr(bytes);
  QString text = Cp1252::ToQString(lines.view());
  edit.setPlainText(text);
  SecretText::Wipe(text);
}

void ShowText(QComboBox& box, std::string_view bytes) {
  QString text = Cp1252::ToQString(bytes);
  box.setEditText(text);
  SecretText::Wipe(text);
}

QLabel* Static(QWidget* parent, const char* text, const char* name, int id) {
  auto* label = ControlIds::Name(new QLabel(QString::fromLatin1(text), parent), name, id);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QPlainTextEdit* MultiLine(QWidget* parent, const char* name, int id) {
  auto* edit = ControlIds::Name(new QPlainTextEdit(parent), name, id);
  // Enter starts a new line; Tab moves on to the next control, as in any
  // dialog.
  edit->setTabChangesFocus(true);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  return edit;
}

}  // namespace

AccountEditorDialog::AccountEditorDialog(LockwellRecord& record, LockwellDatabase& database, bool adding,
                                         Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      record_(record),
      database_(database),
      adding_(adding),
      prompter_(prompter),
      categoryStatic_(Static(this, "Category:", "categoryStatic", kCategoryStaticId)),
      category_(ControlIds::Name(new QComboBox(this), "categoryCombo", kCategoryId)),
      titleStatic_(Static(this, "Title:", "titleStatic", kTitleStaticId)),
      title_(ControlIds::Name(new QLineEdit(this), "titleEdit", kTitleId)),
      noteStatic_(nullptr),
      note_(nullptr),
      ok_(ControlIds::Name(new QPushButton(QStringLiteral("OK"), this), "okButton", kOkId)),
      cancel_(ControlIds::Name(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", kCancelId)) {
  setObjectName("accountEditorDialog");
  for (int n = 0; n < kFieldCount; ++n) {
    const QByteArray suffix = QByteArray::number(n + 1);
    labels_[n] =
        ControlIds::Name(new QComboBox(this), QByteArray("labelCombo" + suffix).constData(), kLabelIds[n]);
    labels_[n]->setEditable(true);
    labels_[n]->setInsertPolicy(QComboBox::NoInsert);
    values_[n] = MultiLine(this, QByteArray("valueEdit" + suffix).constData(), kValueIds[n]);
  }
  noteStatic_ = Static(this, "Note:", "noteStatic", kNoteStaticId);
  note_ = MultiLine(this, "noteEdit", kNoteId);
  // Tab order follows the rows, top to bottom.
  setTabOrder(category_, title_);
  QWidget* previous = title_;
  for (int n = 0; n < kFieldCount; ++n) {
    setTabOrder(previous, labels_[n]);
    setTabOrder(labels_[n], values_[n]);
    previous = values_[n];
  }
  setTabOrder(previous, note_);
  setTabOrder(note_, ok_);
  setTabOrder(ok_, cancel_);
  ok_->setDefault(true);
  cancel_->setAutoDefault(false);

  setWindowTitle(QString::fromLatin1(adding_ ? kAddCaption : kEditCaption));
  setWindowIcon(QApplication::windowIcon());
  setSizeGripEnabled(true);

  loading_ = true;
  uint32_t category = 0;
  ErrorList errors;
  if (record_.GetCategory(errors, category)) {
    FillLabelLists(category);
  } else {
    ShowErrors(prompter_, parent, errors);
  }
  FillCategories();
  LoadFields();
  loading_ = false;

  resize(kInitialWidth, kInitialHeight);
  setMinimumSize(kInitialWidth, kInitialHeight);
  LayOut(kInitialWidth, kInitialHeight);

  connect(title_, &QLineEdit::textEdited, this, &AccountEditorDialog::OnTyped);
  connect(note_, &QPlainTextEdit::textChanged, this, &AccountEditorDialog::OnTyped);
  for (int n = 0; n < kFieldCount; ++n) {
    connect(values_[n], &QPlainTextEdit::textChanged, this, &AccountEditorDialog::OnTyped);
    // Typing in the box only: a label picked from the list changes the
    // text without an edit.
    connect(labels_[n]->lineEdit(), &QLineEdit::textEdited, this, &AccountEditorDialog::OnTyped);
  }
  connect(category_, &QComboBox::currentIndexChanged, this, &AccountEditorDialog::OnCategoryChanged);
  connect(ok_, &QPushButton::clicked, this, &AccountEditorDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  title_->setFocus();
}

AccountEditorDialog::~AccountEditorDialog() { WipeControls(); }

void AccountEditorDialog::FillLabelLists(uint32_t category) {
  ErrorList errors;
  for (int n = 0; n < kFieldCount; ++n) {
    std::vector<std::string> available;
    if (!database_.getAvailableLabels(errors, category, n, available)) {
      ShowErrors(prompter_, parentWidget(), errors);
      return;
    }
    QStringList items;
    for (const std::string& label : available) items << Cp1252::ToQString(label);
    labels_[n]->clear();
    labels_[n]->addItems(items);
    labels_[n]->setCurrentIndex(-1);
  }
}

void AccountEditorDialog::FillCategories() {
  ErrorList errors;
  std::vector<std::string> names;
  std::vector<uint32_t> numbers;
  category_->clear();
  categoryNumbers_.clear();
  if (!database_.ListCategories(errors, names, numbers)) {
    ShowErrors(prompter_, parentWidget(), errors);
    return;
  }
  for (size_t i = 0; i < names.size() && i < numbers.size(); ++i) {
    category_->addItem(Cp1252::ToQString(names[i]));
    categoryNumbers_.push_back(numbers[i]);
  }
  uint32_t category = 0;
  std::string name;
  if (!record_.GetCategory(errors, category) || !database_.GetCategoryName(errors, category, name)) {
    ShowErrors(prompter_, parentWidget(), errors);
    return;
  }
  category_->setCurrentIndex(category_->findText(Cp1252::ToQString(name), Qt::MatchExactly));
}

void AccountEditorDialog::LoadFields() {
  const bool wasLoading = loading_;
  loading_ = true;
  ErrorList errors;
  SecureString text;
  if (!record_.getTitle(errors, text)) {
    ShowErrors(prompter_, parentWidget(), errors);
    loading_ = wasLoading;
    return;
  }
  ShowText(*title_, text.view());
  if (!record_.getNote(errors, text)) {
    ShowErrors(prompter_, parentWidget(), errors);
    loading_ = wasLoading;
    return;
  }
  ShowText(*note_, text.view());
  SecureString label;
  for (int n = 0; n < kFieldCount; ++n) {
    if (!record_.getField(errors, n, label, text)) {
      ShowErrors(prompter_, parentWidget(), errors);
      break;
    }
    ShowText(*labels_[n], label.view());
    ShowText(*values_[n], text.view());
  }
  loading_ = wasLoading;
}

void AccountEditorDialog::OnTyped() {
  if (!loading_) touched_ = true;
}

void AccountEditorDialog::OnCategoryChanged(int index) {
  if (loading_ || !adding_ || touched_) return;
  if (index < 0 || static_cast<size_t>(index) >= categoryNumbers_.size()) return;
  const uint32_t category = categoryNumbers_[index];
  ErrorList errors;
  if (!record_.SetCategory(errors, category)) {
    ShowErrors(prompter_, this, errors);
    errors.Clear();
  }
  for (int n = 0; n < kFieldCount; ++n) {
    std::string label;
    if (!database_.getDefaultLabel(errors, category, n, label) || !record_.setField(errors, n, label, "")) {
      ShowErrors(prompter_, this, errors);
      errors.Clear();
    }
  }
  loading_ = true;
  FillLabelLists(category);
  LoadFields();
  loading_ = false;
}

void AccountEditorDialog::accept() {
  // Everything is read first, so that a refused character changes nothing.
  QString refusal;
  SecureString title, note, lines;
  std::array<SecureString, kFieldCount> labels, values;
  QWidget* refused = nullptr;
  if (!SecretText::Read(*title_, title, refusal)) refused = title_;
  for (int n = 0; n < kFieldCount && refused == nullptr; ++n) {
    if (!SecretText::Read(*labels_[n]->lineEdit(), labels[n], refusal)) refused = labels_[n];
    if (refused == nullptr && !SecretText::Read(*values_[n], lines, refusal)) refused = values_[n];
    values[n] = WithCr(lines.view());
  }
  if (refused == nullptr && !SecretText::Read(*note_, lines, refusal)) refused = note_;
  note = WithCr(lines.view());
  lines.wipe();
  if (refused != nullptr) {
    prompter_.Message(this, windowTitle(), refusal, Prompter::Buttons::Ok);
    refused->setFocus();
    return;
  }

  // The setters' errors are of no use to the user here: the record takes
  // any text, and the category comes from the database's own list.
  ErrorList ignored;
  const int index = category_->currentIndex();
  if (index >= 0 && static_cast<size_t>(index) < categoryNumbers_.size()) {
    record_.SetCategory(ignored, categoryNumbers_[index]);
  }
  record_.setTitle(ignored, title.empty() ? std::string_view(" ") : title.view());
  record_.setNote(ignored, note.view());
  for (int n = 0; n < kFieldCount; ++n) record_.setField(ignored, n, labels[n].view(), values[n].view());
  QDialog::accept();
}

void AccountEditorDialog::done(int result) {
  WipeControls();
  QDialog::done(result);
}

void AccountEditorDialog::WipeControls() {
  loading_ = true;
  SecretText::WipeEdit(*title_);
  SecretText::WipeEdit(*note_);
  for (int n = 0; n < kFieldCount; ++n) {
    SecretText::WipeEdit(*labels_[n]->lineEdit());
    SecretText::WipeEdit(*values_[n]);
  }
  loading_ = false;
}

void AccountEditorDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOut(event->size().width(), event->size().height());
}

void AccountEditorDialog::LayOut(int width, int height) {
  const int right = width - kMargin;
  const QPoint categoryAt(right - kCategorySize.width(), kCategoryY);
  category_->setGeometry(QRect(categoryAt, kCategorySize));
  categoryStatic_->setGeometry(
      QRect(QPoint(categoryAt.x() - 8 - kCategoryStaticSize.width(), kCategoryStaticY), kCategoryStaticSize));
  titleStatic_->setGeometry(kTitleStaticRect);
  title_->setGeometry(kTitleX, kTitleY, right - kTitleX, kTitleHeight);

  const int buttonTop = height - kMargin - kButtonSize.height();
  ok_->setGeometry(QRect(QPoint(kOkX, buttonTop), kButtonSize));
  cancel_->setGeometry(QRect(QPoint(right - kButtonSize.width(), buttonTop), kButtonSize));

  const int top = kTitleY + kTitleHeight + 4;  // T
  const int bottom = buttonTop;                // B
  const int rowHeight = (bottom - top - 4) * 14 / 100;
  for (int n = 0; n < kFieldCount; ++n) {
    const int y = top + n * rowHeight;
    labels_[n]->setGeometry(QRect(QPoint(kLabelX, y), kLabelSize));
    values_[n]->setGeometry(kValueX, y, right - kValueX, rowHeight - 4);
  }
  const int noteTop = top + 5 * rowHeight;
  noteStatic_->setGeometry(QRect(QPoint(kNoteStaticX, noteTop), kNoteStaticSize));
  note_->setGeometry(kNoteX, noteTop, right - kNoteX, bottom - 8 - noteTop);
}

}  // namespace lockwell
