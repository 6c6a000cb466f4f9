#include "app/ui/ClipboardGuard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/ui/Cp1252.h"
#include "platform/ui/SecretText.h"

namespace lockwell {

bool ClipboardGuard::Put(std::string_view password) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  QString text = Cp1252::ToQString(password);
  clipboard->clear();
  clipboard->setText(text);
  SecretText::Wipe(text);
  copied_ = SecureString(password);
  return true;
}

void ClipboardGuard::Release() {
  if (copied_.empty()) return;
  if (QClipboard* clipboard = QGuiApplication::clipboard()) {
    QString held = clipboard->text();
    QString ours = Cp1252::ToQString(copied_.view());
    if (held == ours) clipboard->clear();
    SecretText::Wipe(held);
    SecretText::Wipe(ours);
  }
  copied_.wipe();
}

}  // namespace lockwell
