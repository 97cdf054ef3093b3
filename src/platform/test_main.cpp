// main() of the window tests: every test runs inside one QApplication, on the offscreen
// platform unless the environment names another.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // A test that closes its last window must not end the application under the next one.
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
