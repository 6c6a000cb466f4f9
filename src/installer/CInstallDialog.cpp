#include "installer/CInstallDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "installer/Installation.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/Prompter.h"

namespace lockwell {

namespace {

constexpr int kWidth = 420;

// Messages hold fixed texts and file-system paths.
QString FromBytes(const std::string& text) { return QString::fromLocal8Bit(text.data(), qsizetype(text.size())); }

}  // namespace

CInstallDialog::CInstallDialog(InstallOptions& options, HotSyncBinding& binding, Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      options_(options),
      binding_(binding),
      prompter_(prompter),
      percent_(new QLabel(QStringLiteral("0%"), this)),
      bar_(new QProgressBar(this)),
      status_(new QLabel(QStringLiteral("Beginning Installation"), this)) {
  setObjectName("installDialog");
  setWindowTitle(QStringLiteral("Lockwell Installer"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      QStringLiteral("Please wait while the Lockwell Installer installs the components you selected."), this);
  intro->setObjectName("introText");
  intro->setWordWrap(true);
  layout->addWidget(intro);
  percent_->setObjectName("percentLabel");
  ControlIds::Set(percent_, kPercentId);
  percent_->setAlignment(Qt::AlignCenter);
  layout->addWidget(percent_);
  bar_->setObjectName("progressBar");
  ControlIds::Set(bar_, kProgressId);
  bar_->setTextVisible(false);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  layout->addWidget(bar_);
  status_->setObjectName("statusLabel");
  ControlIds::Set(status_, kStatusId);
  status_->setTextFormat(Qt::PlainText);
  layout->addWidget(status_);
  setFixedWidth(kWidth);
}

void CInstallDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  // The work starts once the window is on screen.
  QTimer::singleShot(0, this, &CInstallDialog::RunInstallation);
}

void CInstallDialog::closeEvent(QCloseEvent* event) {
  if (!finished_) event->ignore();
}

void CInstallDialog::reject() {
  // Escape does nothing while the installation runs.
  if (finished_) QDialog::reject();
}

void CInstallDialog::RunInstallation() {
  Installation installation(options_, binding_, *this);
  const bool ok = installation.Run();
  finished_ = true;
  done(ok ? QDialog::Accepted : QDialog::Rejected);
}

void CInstallDialog::SetRange(int maximum) { bar_->setRange(0, maximum); }

void CInstallDialog::ReportProgress(int number, const std::string* text) {
  bar_->setValue(number);
  const int maximum = bar_->maximum();
  percent_->setText(QString::number(maximum > 0 ? number * 100 / maximum : 0) + QLatin1Char('%'));
  if (text != nullptr) status_->setText(FromBytes(*text));
  history_.push_back({number, percent_->text(), status_->text()});
  // Paint the new state before the next action blocks the thread; the
  // user's input waits, as there is nothing to press.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CInstallDialog::ShowMessage(const std::string& caption, const std::string& text) {
  prompter_.Message(this, FromBytes(caption), FromBytes(text), Prompter::Buttons::Ok);
}

}  // namespace lockwell
