// The progress window of the installation.  Once it is on screen it runs the
// installation and ends with Accepted when every step succeeded, Rejected
// after a fatal failure.  It has no buttons and cannot be closed meanwhile.
#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "installer/InstallObserver.h"
#include "installer/InstallOptions.h"

class QLabel;
class QProgressBar;

namespace lockwell {

class HotSyncBinding;
class Prompter;

class CInstallDialog : public QDialog, public InstallObserver {
  Q_OBJECT

 public:
  static constexpr int kProgressId = 1012;
  static constexpr int kPercentId = 1013;
  static constexpr int kStatusId = 1014;

  CInstallDialog(InstallOptions& options, HotSyncBinding& binding, Prompter& prompter, QWidget* parent = nullptr);

  // Each state the window showed, in order: the bar's position, the
  // percentage label and the status line.
  struct Shown {
    int position;
    QString percent;
    QString status;
  };
  const std::vector<Shown>& History() const { return history_; }

  void SetRange(int maximum) override;
  void ReportProgress(int number, const std::string* text) override;
  void ShowMessage(const std::string& caption, const std::string& text) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void RunInstallation();

  InstallOptions& options_;
  HotSyncBinding& binding_;
  Prompter& prompter_;
  QLabel* percent_;
  QProgressBar* bar_;
  QLabel* status_;
  bool started_ = false;
  bool finished_ = false;
  std::vector<Shown> history_;
};

}  // namespace lockwell
