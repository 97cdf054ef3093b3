// Support for tests of programs built on the platform layer: dialogs answered from a
// script, ending the program observed instead of performed, and a record of the calls made
// to the device-context layer. Link the test program
// with `platform_test_main`, whose main() runs every test inside a QApplication on the
// offscreen platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/dialogs.h"
#include "platform/gdi.h"
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

// Records the calls of the device-context layer and DoEvents, in order, for its lifetime
// (the entries are described with CallRecorder in platform/gdi.h). `fail`, when set, is asked
// about each call: true makes it fail; it may also throw.
class CallRecord {
 public:
  CallRecord()
      : old_(SetCallRecorder([this](const std::string& call) {
          calls.push_back(call);
          return fail && fail(call);
        })) {}
  ~CallRecord() { SetCallRecorder(std::move(old_)); }
  CallRecord(const CallRecord&) = delete;
  CallRecord& operator=(const CallRecord&) = delete;

  // The recorded calls that start with one of `prefixes`, in order.
  std::vector<std::string> Only(std::initializer_list<std::string_view> prefixes) const {
    std::vector<std::string> kept;
    for (const std::string& call : calls)
      for (std::string_view prefix : prefixes)
        if (call.starts_with(prefix)) {
          kept.push_back(call);
          break;
        }
    return kept;
  }

  std::vector<std::string> calls;
  std::function<bool(const std::string&)> fail;

 private:
  CallRecorder old_;
};

// A handle as the record writes it: "0x1f".
inline std::string Hex(std::uint32_t handle) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", handle);
  return text;
}

}  // namespace platform
