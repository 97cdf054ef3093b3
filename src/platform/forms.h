// A small window toolkit in the manner of the Windows-era form designers, on Qt Widgets:
// forms whose event handlers carry the flow, and controls with the properties and events
// such programs rely on. Positions and sizes are pixels unless a name says twips
// (15 twips to a pixel).
//
// Use: derive from Form, declare the controls as members, create them in Design() (run at
// every load, in stacking order: a control created later lies over an earlier one), wire
// their events once in the constructor, and override the Form_ handlers needed.
//
//   class frmDemo : public platform::Form {
//    public:
//     frmDemo() : Form(platform::FormDesign{.caption = "Demo", .client_width = 200, ...}) {
//       cmdGo.Click = [this] { cmdGo_Click(); };
//     }
//    protected:
//     void Design() override { cmdGo.Create(*this, "cmdGo", {8, 8, 65, 25}, "Go"); }
//     void Form_Load() override { ... }
//    private:
//     platform::CommandButton cmdGo;
//   };
//
// A control whose form is not loaded has no widget: its setters do nothing and its
// getters give the design-neutral value (false, 0, empty). Controls are not copyable;
// the Form owns the Qt widgets and destroys them at unload.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi.h"

class QMenu;
class QAction;
class QTimer;

namespace platform {

inline constexpr int kTwipsPerPixel = 15;

// Key codes given to Form_KeyDown, and the bits of its shift state.
inline constexpr std::int16_t vbKeyF1 = 112;
inline constexpr std::int16_t vbKeyF2 = 113;
inline constexpr std::int16_t vbShiftMask = 1;
inline constexpr std::int16_t vbCtrlMask = 2;
inline constexpr std::int16_t vbAltMask = 4;

enum class WindowState { Normal, Minimized, Maximized };
enum class ShowMode { Modeless, Modal };
enum class TextAlign { Left, Center };

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A font by its design name. Faces this machine lacks ("MS Sans Serif") are mapped to a
// close sans face; an empty family means the toolkit's default font.
struct FontSpec {
  std::string family = {};
  int point_size = 0;  // 0: the default size
  bool bold = false;
};

// The system colours that designs name.
QColor WindowBackgroundColor();  // window backgrounds (white)
QColor ButtonFaceColor();        // button faces (light grey)

struct FormDesign {
  std::string caption = {};
  bool show_caption = true;  // false: a frame without a caption text
  int client_width = 0;      // pixels, below the menu bar
  int client_height = 0;
  // The designed outer size (frame, caption and menu bar included), in twips; with the
  // client size it fixes how outer sizes map onto the client area. 0: same as client.
  int outer_width_twips = 0;
  int outer_height_twips = 0;
  QColor back_color = WindowBackgroundColor();
  // The user may resize the window: only a window with a maximise button, since window
  // managers offer maximise for every window they may resize. Without one the window keeps
  // the size its program gives it, and is never maximised.
  bool sizable = false;
  bool min_button = true;
  bool max_button = false;
  bool key_preview = false;       // Form_KeyDown sees keys before the focused control
  bool centered = true;           // opens centred on the screen
  std::string icon_path = {};     // "\" allowed; empty: no icon
  std::string picture_path = {};  // background picture drawn from the top-left; empty: none
};

class Form;

// Common to every control.
class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  const std::string& Name() const { return name_; }
  bool Visible() const;  // the control's own flag, whatever its form shows
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int left);
  void SetTop(int top);
  // Gives the control the input focus (its form is activated first if need be); nothing
  // while the control is hidden or disabled.
  void SetFocus();
  bool HasFocus() const;
  bool TabStop() const;
  void SetTabStop(bool tab_stop);
  QWidget* widget() const { return widget_; }

 protected:
  Control() = default;
  // Registers a freshly created widget with its form: parent, geometry, name, stacking.
  void Attach(Form& form, const std::string& name, QWidget* widget, const Rect& rect);
  QPointer<QWidget> widget_;
  std::string name_;

 private:
  friend class Form;  // drops the widget at unload, before Qt deletes it
};

struct PictureBoxStyle {
  bool border = true;  // a flat one-pixel black border around the drawing surface
  QColor back_color = WindowBackgroundColor();
  bool tab_stop = true;
};

// A picture box: a drawing surface (the inside of its border) reached through a device
// context. The screen is repainted only where a copy into the surface changed pixels.
class PictureBox : public Control {
 public:
  PictureBox() = default;
  void Create(Form& form, const std::string& name, const Rect& rect,
              const PictureBoxStyle& style = {});
  // The device context of the drawing surface, origin at the top-left of the inside.
  // The same handle for the life of the widget; 0 while the form is not loaded.
  HDC hDC() const;
  int SurfaceWidth() const;
  int SurfaceHeight() const;
  // How often the widget has been asked to repaint since it was created (tests use it
  // to check that an unchanged surface costs no repaint).
  int RepaintRequests() const;

  std::function<void()> Click;

 private:
  HDC hdc_ = 0;
};

struct TextBoxStyle {
  bool multi_line = false;  // multi-line boxes wrap words
  TextAlign align = TextAlign::Left;
  FontSpec font = {};
  QColor back_color = WindowBackgroundColor();
  QColor fore_color = Qt::black;
  bool border = true;  // flat one-pixel border
  bool tab_stop = true;
  int max_length = 0;  // characters; 0: no limit
};

// A text box. Change runs after every change of the text, also one the program makes
// with SetText, but not when SetText is given the text the box already holds. A change
// made inside a Change handler runs the handler again, nested.
class TextBox : public Control {
 public:
  TextBox() = default;
  void Create(Form& form, const std::string& name, const Rect& rect, const std::string& text,
              const TextBoxStyle& style = {});
  std::string Text() const;  // UTF-8
  void SetText(const std::string& text);
  // Types `text` as the user would: the box is given the focus first (its GotFocus runs,
  // and a box that hands the focus on takes none of the keys), the text replaces the
  // selection at the caret, and Change runs once per keystroke. For tests and scripted
  // input.
  void TypeText(const std::string& text);

  std::function<void()> Change;
  std::function<void()> GotFocus;
};

class CommandButton : public Control {
 public:
  CommandButton() = default;
  void Create(Form& form, const std::string& name, const Rect& rect, const std::string& caption,
              const FontSpec& font = {});
  std::string Caption() const;
  // Presses the button as a click would; does nothing while it is disabled or hidden.
  void PerformClick();

  std::function<void()> Click;
};

class Label : public Control {
 public:
  Label() = default;
  void Create(Form& form, const std::string& name, const Rect& rect, const std::string& caption,
              const FontSpec& font = {});
  std::string Caption() const;
};

// An image: a picture shown at its own size that reports pointer movement and clicks.
class Image : public Control {
 public:
  Image() = default;
  // Loads the picture from a file ("\" allowed). A picture that will not load leaves the
  // image blank; PictureLoaded() tells.
  void Create(Form& form, const std::string& name, const Rect& rect,
              const std::string& picture_path);
  bool PictureLoaded() const;
  // Delivers a click or a pointer movement as the user would (tests, scripted input).
  void PerformClick();
  void PerformMouseMove();

  std::function<void()> Click;
  std::function<void()> MouseMove;
};

// A horizontal progress bar, range 0 to 100.
class ProgressBar : public Control {
 public:
  ProgressBar() = default;
  void Create(Form& form, const std::string& name, const Rect& rect);
  float Value() const;
  void SetValue(float value);  // clamped to the range
};

// A periodic timer, running while its form is loaded and it is enabled.
class Timer {
 public:
  Timer() = default;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();
  void Create(Form& form, const std::string& name, int interval_ms, bool enabled = true);
  int Interval() const;
  bool Enabled() const;
  void SetEnabled(bool enabled);
  // Runs the Timer event now, as a tick would (tests drive time themselves); like a tick,
  // nothing while the timer is disabled or its form not loaded.
  void Fire();

  std::function<void()> Tick;

 private:
  friend class Form;  // stops and drops the timer at unload
  QPointer<QTimer> timer_;
};

// One item of a form's menu bar.
class MenuItem {
 public:
  MenuItem() = default;
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;
  ~MenuItem();
  // Adds the item to the menu `menu` of the form's menu bar (created, in order of first
  // mention, with the caption `menu_caption`).
  void Create(Form& form, const std::string& name, const std::string& menu_caption,
              const std::string& caption);
  std::string Caption() const;
  void SetCaption(const std::string& caption);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  // Chooses the item as the user would; does nothing while it is disabled.
  void Trigger();

  std::function<void()> Click;

 private:
  friend class Form;  // drops the action at unload
  QPointer<QAction> action_;
};

// A top-level window.
class Form {
 public:
  explicit Form(FormDesign design);
  // Destroys the window, if loaded, without running Form_Unload.
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Loads the form if it is not loaded (creates its window, runs Design, then Form_Load,
  // before anything is drawn), then shows it. Modeless returns at once; Modal returns
  // when the form has been unloaded (or hidden), and meanwhile the other windows take
  // no input.
  void Show(ShowMode mode = ShowMode::Modeless);
  void Load();
  // Runs Form_Unload with a cancel flag; unless it is set, the window and its controls
  // are destroyed. A form shown again is loaded afresh. The window's close box does the
  // same.
  void Unload();
  void Hide();
  bool IsLoaded() const;
  bool IsVisible() const;

  std::string Caption() const;
  void SetCaption(const std::string& caption);
  WindowState State() const;
  // Maximized is refused (the state stays) for a form designed without a maximise button.
  void SetState(WindowState state);
  // The outer size (frame, caption and menu bar included) in twips, mapped onto the
  // client area through the design's outer and client sizes.
  int OuterWidthTwips() const;
  int OuterHeightTwips() const;
  void SetOuterWidthTwips(int twips);
  void SetOuterHeightTwips(int twips);
  // While the form is not loaded, the sizes read as the design's.
  int ClientWidth() const;
  int ClientHeight() const;

  // Sets the tab order: focus moves through `controls` in this order.
  void SetTabOrder(const std::vector<Control*>& controls);
  // The control that has the input focus, or nullptr.
  Control* ActiveControl() const;

  // Delivers events as the user would (tests, scripted input).
  void PerformKeyDown(std::int16_t key_code, std::int16_t shift);
  void PerformMouseMove();
  void PerformClose();

  QWidget* window() const;  // the top-level widget (nullptr while not loaded)
  QWidget* client() const;  // the client area, parent of the controls
  const FormDesign& Design_() const { return design_; }

 protected:
  // Creates the controls; runs at every load, before Form_Load.
  virtual void Design() = 0;
  virtual void Form_Load() {}
  virtual void Form_Unload(std::int16_t& Cancel) { (void)Cancel; }
  virtual void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift) {
    (void)KeyCode;
    (void)Shift;
  }
  virtual void Form_Resize() {}
  virtual void Form_MouseMove() {}

 private:
  friend class Control;
  friend class Timer;
  friend class MenuItem;
  friend class FormWindow;
  struct Impl;
  FormDesign design_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
