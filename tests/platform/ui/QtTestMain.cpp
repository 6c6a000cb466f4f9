// main() for test binaries that drive widgets: one QApplication for the
// whole run, on the offscreen platform unless the environment chose one.
// List it among a test's SOURCES in place of GoogleTest's own main.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Test discovery runs the binary outside the test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
