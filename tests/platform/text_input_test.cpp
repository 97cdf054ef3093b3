// What reaches a text box besides the program's own SetText: the change rule for texts
// that differ only in their line breaks, and the input that a box which hands the focus on
// refuses. Also the window state of a form without a maximise button. On the offscreen
// platform; tests/xvfb covers what needs a real X server (the primary selection, a window
// manager).
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms.h"

namespace platform {
namespace {

using Strings = std::vector<std::string>;

class TestForm : public Form {
 public:
  explicit TestForm(FormDesign design = {.caption = "Test",
                                         .client_width = 320,
                                         .client_height = 240})
      : Form(std::move(design)) {}
  std::function<void()> design = [] {};
  std::function<void()> on_resize = [] {};

 protected:
  void Design() override { design(); }
  void Form_Resize() override { on_resize(); }
};

std::string Lf(std::string text) {  // for messages: line breaks made visible
  std::string shown;
  for (char c : text) shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return shown;
}

TEST(ChangeRuleTest, TheSameTextInAnotherLineBreakFormIsNoChangeInEitherKindOfBox) {
  // The text set, and whether it is a change from the one before.
  const std::pair<std::string, bool> steps[] = {
      {"Pai Wu Lung.\r\nYou Lose...", true},
      {"Pai Wu Lung.\nYou Lose...", false},
      {"Pai Wu Lung.\rYou Lose...", false},
      {"Pai Wu Lung.\u2029You Lose...", false},
      {"Pai Wu Lung.\u2028You Lose...", false},
      {"Pai Wu Lung.\r\nYou Lose...", false},
      {"Pai Wu Lung. You Lose...", true},
      {"You Win!", true},
      {"You Win!\r\n", true},
      {"You Win!\n", false},
      {"You Win!\n\n", true},
      {"You Win!\r\r", false},
      {"", true},
  };
  for (const bool multi_line : {false, true}) {
    SCOPED_TRACE(multi_line ? "multi-line" : "single line");
    TestForm form;
    TextBox txtInfo;
    TextBoxStyle style;  // named: GCC 12 warns about a designated temporary in Release
    style.multi_line = multi_line;
    form.design = [&] { txtInfo.Create(form, "txtInfo", {8, 8, 161, 52}, "", style); };
    int changes = 0;
    txtInfo.Change = [&] { ++changes; };
    form.Show();
    for (const auto& [text, is_change] : steps) {
      const int before = changes;
      const std::string held = txtInfo.Text();
      txtInfo.SetText(text);
      EXPECT_EQ(changes - before, is_change ? 1 : 0) << Lf(text);
      if (!is_change) {
        EXPECT_EQ(Lf(txtInfo.Text()), Lf(held)) << "the box is left as it was";
      }
    }
    // A person's input that puts the same text back, in another form, is no change either.
    txtInfo.SetText("Pai Wu Lung.\nYou Lose...");
    txtInfo.SetFocus();
    if (auto* area = qobject_cast<QTextEdit*>(txtInfo.widget()))
      area->selectAll();
    else
      static_cast<QLineEdit*>(txtInfo.widget())->selectAll();
    QInputMethodEvent retype;  // over the whole text, selected
    retype.setCommitString("Pai Wu Lung.\r\nYou Lose...");
    const int before = changes;
    QApplication::sendEvent(txtInfo.widget(), &retype);
    EXPECT_EQ(changes, before);
    form.Unload();
  }
}

// Input that reaches a box without the focus: each way puts "9" in, selects, places the
// caret or opens the context menu, where the box holds the focus.
struct Way {
  const char* name;
  std::function<void(QWidget* box, QWidget* surface)> deliver;
};

QString Selected(QWidget* box) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) return line->selectedText();
  return static_cast<QTextEdit*>(box)->textCursor().selectedText();
}

int Caret(QWidget* box) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) return line->cursorPosition();
  return static_cast<QTextEdit*>(box)->textCursor().position();
}

void SendMouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QMouseEvent event(type, at, to->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(to, &event);
}

const Way kWays[] = {
    {"drop",
     [](QWidget*, QWidget* surface) {
       QMimeData data;
       data.setText("9");
       const QPointF at(5, 5);
       QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
       QApplication::sendEvent(surface, &enter);
       QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
       QApplication::sendEvent(surface, &move);
       QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
       QApplication::sendEvent(surface, &drop);
     }},
    {"key",
     [](QWidget* box, QWidget*) {
       QKeyEvent key(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, "9");
       QApplication::sendEvent(box, &key);
     }},
    {"input method",
     [](QWidget* box, QWidget*) {
       QInputMethodEvent event;
       event.setCommitString("9");
       QApplication::sendEvent(box, &event);
     }},
    {"press places the caret",
     [](QWidget*, QWidget* surface) {
       QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(2, 5));
       SendMouse(surface, QEvent::MouseButtonRelease, QPoint(2, 5), Qt::NoButton);
     }},
    {"drag selects",
     [](QWidget*, QWidget* surface) {
       QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(2, 5));
       SendMouse(surface, QEvent::MouseMove, QPoint(40, 5), Qt::LeftButton);
       SendMouse(surface, QEvent::MouseButtonRelease, QPoint(40, 5), Qt::NoButton);
     }},
    {"double click selects",
     [](QWidget*, QWidget* surface) {
       QTest::mouseDClick(surface, Qt::LeftButton, {}, {8, 5});
     }},
    {"context menu",
     [](QWidget*, QWidget* surface) {
       QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                               surface->mapToGlobal(QPoint(5, 5)));
       QApplication::sendEvent(surface, &event);
     }},
};

TEST(InputGuardTest, ABoxThatHandsTheFocusOnTakesNoInputAndOneThatKeepsItTakesAll) {
  for (const bool multi_line : {false, true}) {
    for (const bool hands_on : {true, false}) {
      for (const Way& way : kWays) {
        SCOPED_TRACE(std::string(multi_line ? "multi-line " : "single line ") +
                     (hands_on ? "box handing the focus on, " : "box keeping the focus, ") +
                     way.name);
        TestForm form;
        TextBox txtScore;
        PictureBox picHead1;
        TextBoxStyle style;
        style.multi_line = multi_line;
        form.design = [&] {
          txtScore.Create(form, "txtScore", {8, 8, 200, 40}, "Score 100", style);
          picHead1.Create(form, "picHead1", {8, 60, 59, 79});
        };
        Strings changes;
        txtScore.Change = [&] { changes.push_back(txtScore.Text()); };
        if (hands_on) txtScore.GotFocus = [&] { picHead1.SetFocus(); };
        form.Show();
        txtScore.SetFocus();
        ASSERT_EQ(txtScore.HasFocus(), !hands_on);
        QWidget* box = txtScore.widget();
        auto* area = qobject_cast<QTextEdit*>(box);
        QWidget* surface = area ? area->viewport() : box;
        if (area)  // the caret at the end, where a press at the start would move it
          area->moveCursor(QTextCursor::End);
        else
          static_cast<QLineEdit*>(box)->end(false);
        const int caret = Caret(box);
        ASSERT_EQ(caret, 9);

        bool menu = false;
        QTimer::singleShot(0, [&] {  // a context menu runs a loop of its own
          if (QWidget* popup = QApplication::activePopupWidget()) {
            menu = true;
            popup->close();
          }
        });
        way.deliver(box, surface);
        QCoreApplication::processEvents();

        const std::string now = txtScore.Text();
        const bool took =
            now != "Score 100" || !Selected(box).isEmpty() || Caret(box) != caret || menu;
        EXPECT_EQ(took, !hands_on)
            << "text \"" << now << "\", selected \"" << Selected(box).toStdString() << "\", caret "
            << Caret(box) << (menu ? ", menu" : "");
        EXPECT_EQ(changes.size(), now == "Score 100" ? 0u : 1u);
        if (hands_on) {
          EXPECT_EQ(form.ActiveControl(), &picHead1);
        }
        form.Unload();
      }
    }
  }
}

TEST(WindowStateTest, AFormWithoutAMaximiseButtonReturnsToNormalAndItsDesignedSize) {
  const int kWidth = 300, kHeight = 200;
  for (const bool sizable : {true, false}) {
    for (const bool max_button : {false, true}) {
      SCOPED_TRACE(testing::Message() << "sizable " << sizable << ", max button " << max_button);
      TestForm form({.caption = "Table",
                     .client_width = kWidth,
                     .client_height = kHeight,
                     .sizable = sizable,
                     .max_button = max_button});
      Strings seen;  // the state at each Form_Resize; a normal form goes back to its size
      form.on_resize = [&] {
        const WindowState state = form.State();
        seen.push_back(state == WindowState::Maximized   ? "maximized"
                       : state == WindowState::Minimized ? "minimized"
                                                         : "normal");
        if (state == WindowState::Normal) {
          form.SetOuterWidthTwips(kWidth * kTwipsPerPixel);
          form.SetOuterHeightTwips(kHeight * kTwipsPerPixel);
        }
      };
      form.Show();
      // A window without a maximise button may not be resized by the window manager.
      EXPECT_EQ(form.window()->minimumSize() == form.window()->maximumSize(),
                !sizable || !max_button);

      seen.clear();
      form.SetState(WindowState::Maximized);  // the program asks
      EXPECT_EQ(seen, max_button ? Strings{"maximized"} : Strings{}) << "refused at once";
      QCoreApplication::sendPostedEvents();
      EXPECT_EQ(form.State() == WindowState::Maximized, max_button);
      form.SetState(WindowState::Normal);
      QCoreApplication::sendPostedEvents();

      seen.clear();
      // The window manager maximises: the state arrives as Qt reports it.
      form.window()->setWindowState(Qt::WindowMaximized);
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
      if (max_button) {
        EXPECT_EQ(form.State(), WindowState::Maximized);
      } else {
        EXPECT_EQ(form.State(), WindowState::Normal);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.front(), "maximized") << "Form_Resize sees the maximised state first";
        EXPECT_EQ(seen.back(), "normal");
        EXPECT_EQ(form.ClientWidth(), kWidth);
        EXPECT_EQ(form.ClientHeight(), kHeight);
      }
      form.Unload();
    }
  }
}

}  // namespace
}  // namespace platform
