// Chinese Poker: starts at the title window; every other window is opened from there.
#include <QApplication>
#include <QIcon>
#include <QString>

#include "platform/runtime.h"
#include "screens/forms.h"
#include "screens/frm_splash.h"

int main(int argc, char** argv) {
  // No command line is read: the toolkit is handed the program's name alone, so that not
  // even its own options are taken from the command line.
  int toolkit_argc = argc > 0 ? 1 : 0;
  QApplication app(toolkit_argc, argv);
  app.setWindowIcon(QIcon(QString::fromStdString(
      platform::HostPath(platform::AppPath() + "\\resources\\title\\icon.png"))));
  cp::SplashForm().Show();
  const int status = app.exec();
  cp::DestroyForms();  // while the application still exists
  return status;
}
