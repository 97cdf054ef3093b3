// Modal message and input boxes behind one small interface, so that tests can answer
// them without blocking.
#pragma once

#include <optional>
#include <string>

namespace platform {

class DialogProvider {
 public:
  virtual ~DialogProvider() = default;
  // Shows `text` with an OK button only; returns when the user has closed the box.
  virtual void MessageBox(const std::string& text, const std::string& title) = 0;
  // Asks for a line of text. nullopt when the user cancels. The typed text is limited
  // to `max_length` characters (0: no limit).
  virtual std::optional<std::string> InputBox(const std::string& prompt,
                                              const std::string& title, int max_length) = 0;
};

// The provider in use; nullptr restores the real Qt dialogs. The caller keeps ownership.
void SetDialogProvider(DialogProvider* provider);
DialogProvider& Dialogs();

// Shortcuts for the provider in use. InputBox gives the empty text when cancelled.
void MsgBox(const std::string& text, const std::string& title);
std::string InputBox(const std::string& prompt, const std::string& title, int max_length = 0);

}  // namespace platform
