// The main window's account list on a deterministic database of 10,000
// accounts over 8 categories, on the offscreen platform:
//   fill_all   selecting "All": every account read, decrypted and listed
//              (three columns: Title, Login, Pwd)
//   sort       a click on the Login column's header (ascending and
//              descending in turn) with all 10,000 rows listed
//   find_all   Find of a text no account holds with "All" selected: every
//              one of the 10,000 accounts decrypted and matched, then the
//              wrap-around question answered No
//   new        New account in a category of 1,250 accounts: the editor
//              (answered at once), the sorted insert and the list reloaded
// The figures are wall-clock milliseconds per operation.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <string>

#include <QLineEdit>

#include "app/ui/CommandIds.h"
#include "app/ui/FindDialog.h"
#include "app/ui/MainWindow.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/Prompter.h"
#include "vault/ui/AccountEditorDialog.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "support/VaultFixture.h"
#include "vault/CategoryPrefsTable.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {
namespace {

constexpr uint32_t kAccounts = 10000;
constexpr uint32_t kCategories = 8;
const char kPassphrase[] = "correct horse battery";

// Answers at once: message boxes with No (or OK), the Find dialog with a
// text no account holds, the account editor with a title.
class BenchPrompter : public Prompter {
 public:
  int questions = 0;

  Answer Message(QWidget*, const QString&, const QString&, Buttons buttons) override {
    ++questions;
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
  int RunDialog(QDialog& dialog) override {
    if (auto* text = ControlIds::Find<QLineEdit>(&dialog, FindDialog::kTextId)) {
      text->setText(QStringLiteral("no account holds this"));
    } else if (auto* title = ControlIds::Find<QLineEdit>(&dialog, AccountEditorDialog::kTitleId)) {
      title->setText(QStringLiteral("mm new account"));
    }
    dialog.accept();
    return dialog.result();
  }
};

struct Bench {
  std::filesystem::path folder;
  BenchPrompter prompter;
  std::unique_ptr<MainWindow> window;
  QTreeWidget* categories = nullptr;
  QTreeWidget* accounts = nullptr;
};

Bench* bench = nullptr;

void Setup() {
  bench = new Bench;
  std::string pattern = (std::filesystem::temp_directory_path() / "lockwell-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) abort();
  bench->folder = pattern;
  setenv("LOCKWELL_REGISTRY_DIR", (bench->folder / "registry").c_str(), 1);
  const std::string path = (bench->folder / "bench.lwdb").string();
  std::string error;
  if (!testing::VaultFixture::Generated(kAccounts, kCategories, kPassphrase).Write(path, error)) {
    fprintf(stderr, "fixture: %s\n", error.c_str());
    abort();
  }
  ErrorList errors;
  auto database = std::make_unique<LockwellDatabase>(errors, path, SecureString(kPassphrase), false);
  if (!database->IsOpen()) abort();
  CategoryPrefs prefs = CategoryPrefs::BuiltInDefaults();
  prefs.useDefault = false;
  prefs.shownFields = {"Title", "Login", "Pwd"};
  database->storeCategoryPrefs(CategoryPrefsTable::defaultPrefsKey, prefs);

  bench->window = std::make_unique<MainWindow>(bench->prompter);
  bench->window->SetAutoOpen(false);
  bench->window->show();
  bench->window->TakeDatabase(std::move(database), "PC Database: bench.lwdb");
  bench->categories = ControlIds::Find<QTreeWidget>(bench->window.get(), MainWindow::kCategoryListId);
  bench->accounts = ControlIds::Find<QTreeWidget>(bench->window.get(), MainWindow::kAccountListId);
}

void Teardown() {
  bench->window.reset();
  std::error_code ignored;
  std::filesystem::remove_all(bench->folder, ignored);
  delete bench;
}

// Selecting "All" (row 0) from another category, as the user does.
void BM_FillAll(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    bench->categories->setCurrentItem(bench->categories->topLevelItem(1));
    QApplication::processEvents();
    state.ResumeTiming();
    bench->categories->setCurrentItem(bench->categories->topLevelItem(0));
    QApplication::processEvents();
  }
  if (bench->accounts->topLevelItemCount() != static_cast<int>(kAccounts)) {
    state.SkipWithError("not every account was listed");
  }
  state.counters["rows"] = bench->accounts->topLevelItemCount();
}
BENCHMARK(BM_FillAll)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SortByColumn(benchmark::State& state) {
  bench->categories->setCurrentItem(bench->categories->topLevelItem(0));
  QApplication::processEvents();
  for (auto _ : state) {
    emit bench->accounts->header()->sectionClicked(1);
    QApplication::processEvents();
  }
  state.counters["rows"] = bench->accounts->topLevelItemCount();
}
BENCHMARK(BM_SortByColumn)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FindThroughAll(benchmark::State& state) {
  bench->categories->setCurrentItem(bench->categories->topLevelItem(0));
  QApplication::processEvents();
  bench->prompter.questions = 0;
  for (auto _ : state) {
    bench->window->RunCommand(command::kFind);
  }
  // One wrap-around question per search shows the whole category was walked.
  if (bench->prompter.questions != static_cast<int>(state.iterations())) {
    state.SkipWithError("the search did not reach the end of the category");
  }
  state.counters["accounts"] = bench->accounts->topLevelItemCount();
}
BENCHMARK(BM_FindThroughAll)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_NewAccount(benchmark::State& state) {
  bench->categories->setCurrentItem(bench->categories->topLevelItem(1));
  QApplication::processEvents();
  const int before = bench->accounts->topLevelItemCount();
  for (auto _ : state) {
    bench->window->RunCommand(command::kNewAccount);
  }
  const int added = bench->accounts->topLevelItemCount() - before;
  if (added != static_cast<int>(state.iterations())) state.SkipWithError("accounts were not added");
  state.counters["rows"] = bench->accounts->topLevelItemCount();
}
BENCHMARK(BM_NewAccount)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace lockwell

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  lockwell::Setup();
  benchmark::RunSpecifiedBenchmarks();
  lockwell::Teardown();
  benchmark::Shutdown();
  return 0;
}
