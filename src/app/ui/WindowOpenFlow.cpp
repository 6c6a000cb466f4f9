#include "app/ui/WindowOpenFlow.h"

#include <utility>

#include "app/open/OpenDatabaseFlow.h"
#include "app/ui/MainWindow.h"
#include "hotsync/HotSyncBinding.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {
namespace {

class WindowHost : public OpenDatabaseHost {
 public:
  explicit WindowHost(MainWindow& window) : window_(window) {}
  QWidget* DialogOwner() override { return &window_; }
  void SetTitle(const QString& title) override { window_.setWindowTitle(title); }

 private:
  MainWindow& window_;
};

}  // namespace

void RunOpenDatabaseFlow(MainWindow& window) {
  // A locked window stays locked until a database opens; without a
  // database the title of an earlier failed attempt stays as it is.
  if (window.Database() != nullptr) window.CloseCurrentDatabase();
  WindowHost host(window);
  OpenDatabaseFlow flow(window.UserPrompter(), HotSyncBinding::Instance(), host);
  std::optional<OpenedDatabase> opened = flow.Run();
  if (!opened) return;
  window.TakeDatabase(std::move(opened->database), opened->entryText);
}

}  // namespace lockwell
