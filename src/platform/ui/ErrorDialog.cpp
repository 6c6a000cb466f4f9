#include "platform/ui/ErrorDialog.h"

#include <string>

#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/SecretText.h"
#include "platform/ui/ErrorReport.h"
#include "platform/ui/Prompter.h"

namespace lockwell {
namespace {

// The template, in pixels, as drawn with the detail box shown.
constexpr int kWidth = 440;
constexpr QRect kSummaryRect(8, 8, 336, 64);
constexpr QRect kOkRect(352, 8, 80, 24);
constexpr QRect kDetailsRect(352, 40, 80, 24);
constexpr QRect kDetailRect(8, 80, 424, 136);
constexpr int kGap = 8;
constexpr int kFullHeight = kDetailRect.y() + kDetailRect.height() + kGap;

const char* const kDetailsMore = "Details >";
const char* const kDetailsLess = "< Details";

QPlainTextEdit* MakeTextBox(QWidget* parent, const char* name, int id, const QRect& rect) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(name);
  ControlIds::Set(box, id);
  box->setReadOnly(true);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setGeometry(rect);
  return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, int id, const QString& text, const QRect& rect) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  ControlIds::Set(button, id);
  button->setGeometry(rect);
  return button;
}

}  // namespace

ErrorDialog::ErrorDialog(const ErrorList& list, QWidget* owner)
    : QDialog(owner),
      list_(list),
      summary_(MakeTextBox(this, "summaryText", kSummaryId, kSummaryRect)),
      ok_(MakeButton(this, "okButton", kOkId, QStringLiteral("OK"), kOkRect)),
      details_(MakeButton(this, "detailsButton", kDetailsId, QString::fromLatin1(kDetailsMore), kDetailsRect)),
      detail_(MakeTextBox(this, "detailText", kDetailId, kDetailRect)) {
  setObjectName("errorDialog");
  setWindowTitle(QStringLiteral("Lockwell Error"));
  setFixedSize(kWidth, kFullHeight);
  ok_->setDefault(true);
  details_->setAutoDefault(false);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(details_, &QPushButton::clicked, this, &ErrorDialog::ToggleDetails);

  std::string summary = list_.Summary();
  summary_->setPlainText(Cp1252::ToQString(summary));
  WipeString(summary);
  // The report ends its lines with CR LF; the box breaks lines at LF alone.
  SecureString report = ErrorReport::Build(list_);
  QString text = Cp1252::ToQString(report.view());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  detail_->setPlainText(text);
  SecretText::Wipe(text);

  LayOut();
}

void ErrorDialog::ToggleDetails() {
  detailsWanted_ = !detailsWanted_;
  details_->setText(QString::fromLatin1(detailsWanted_ ? kDetailsLess : kDetailsMore));
  LayOut();
}

void ErrorDialog::LayOut() {
  const int step = detail_->height() + kGap;
  if (detailsWanted_ && !laidOutShown_) {
    setFixedSize(width(), height() + step);
    detail_->show();
    laidOutShown_ = true;
  } else if (!detailsWanted_ && laidOutShown_) {
    detail_->hide();
    setFixedSize(width(), height() - step);
    laidOutShown_ = false;
  }
}

void ShowErrors(Prompter& prompter, QWidget* owner, const ErrorList& list) {
  ErrorDialog dialog(list, owner);
  prompter.RunDialog(dialog);
}

}  // namespace lockwell
