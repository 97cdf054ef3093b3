#include "platform/dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace platform {
namespace {

// The width a title needs on the screen: window managers draw it in a bold face, often
// larger than a dialog's own text, between as many as four title-bar buttons (window menu,
// minimise, maximise, close).
int TitleBarWidth(const QString& title) {
  QFont font = QApplication::font();
  font.setBold(true);
  if (font.pixelSize() > 0)
    font.setPixelSize(font.pixelSize() * 5 / 4);
  else
    font.setPointSizeF(font.pointSizeF() * 5 / 4);
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(title) + 4 * 2 * metrics.height();
}

// Widens a dialog that is narrower than its title needs, through its row of buttons, which
// spans the dialog in both kinds of box: the rest stays as Qt lays it out.
void FitTitle(QDialog& dialog) {
  (void)dialog.sizeHint();  // an input dialog builds its layout only when asked for a size
  auto* buttons = dialog.findChild<QDialogButtonBox*>();
  const QLayout* layout = dialog.layout();
  if (!buttons || !layout) return;
  const QMargins margins = layout->contentsMargins();
  int wanted = TitleBarWidth(dialog.windowTitle());
  if (const QScreen* screen = dialog.screen())
    wanted = std::min(wanted, screen->availableGeometry().width());
  buttons->setMinimumWidth(
      std::max(buttons->minimumWidth(), wanted - margins.left() - margins.right()));
}

class QtDialogs : public DialogProvider {
 public:
  void MessageBox(const std::string& text, const std::string& title) override {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    FitTitle(box);
    box.exec();
  }

  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      int max_length) override {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(prompt));
    if (max_length > 0)
      if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMaxLength(max_length);
    FitTitle(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
  }
};

DialogProvider*& Current() {
  static DialogProvider* provider = nullptr;
  return provider;
}

}  // namespace

void SetDialogProvider(DialogProvider* provider) { Current() = provider; }

DialogProvider& Dialogs() {
  static QtDialogs qt_dialogs;
  return Current() ? *Current() : qt_dialogs;
}

void MsgBox(const std::string& text, const std::string& title) {
  Dialogs().MessageBox(text, title);
}

std::string InputBox(const std::string& prompt, const std::string& title, int max_length) {
  return Dialogs().InputBox(prompt, title, max_length).value_or(std::string());
}

}  // namespace platform
