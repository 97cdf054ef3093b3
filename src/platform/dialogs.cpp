#include "platform/dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace platform {
namespace {

class QtDialogs : public DialogProvider {
 public:
  void MessageBox(const std::string& text, const std::string& title) override {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
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
