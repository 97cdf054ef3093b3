// Support for tests of programs built on the platform layer: dialogs answered from a
// script, and ending the program observed instead of performed. Link the test program
// with `platform_test_main`, whose main() runs every test inside a QApplication on the
// offscreen platform.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialogs.h"
#include "platform/runtime.h"

namespace platform {

// Records every message box and answers input boxes from a queue (an empty queue
// answers as a cancel). Installs itself for its lifetime.
class ScriptedDialogs : public DialogProvider {
 public:
  struct Shown {
    std::string text;
    std::string title;
  };
  struct Asked {
    std::string prompt;
    std::string title;
    int max_length;
  };

  ScriptedDialogs() { SetDialogProvider(this); }
  ~ScriptedDialogs() override { SetDialogProvider(nullptr); }

  void MessageBox(const std::string& text, const std::string& title) override {
    messages.push_back({text, title});
    if (on_message) on_message(text);
  }
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      int max_length) override {
    inputs.push_back({prompt, title, max_length});
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }

  std::vector<Shown> messages;
  std::vector<Asked> inputs;
  std::deque<std::optional<std::string>> answers;  // nullopt: the user cancels
  std::function<void(const std::string&)> on_message;
};

// Counts requests to end the program instead of ending it, for its lifetime.
class EndRecorder {
 public:
  EndRecorder() : old_(SetEndHandler([this] { ++count; })) {}
  ~EndRecorder() { SetEndHandler(std::move(old_)); }
  EndRecorder(const EndRecorder&) = delete;
  EndRecorder& operator=(const EndRecorder&) = delete;
  int count = 0;

 private:
  EndHandler old_;
};

}  // namespace platform
