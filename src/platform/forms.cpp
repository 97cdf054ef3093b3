#include "platform/forms.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "platform/forms_internal.h"
#include "platform/gdi_internal.h"
#include "platform/runtime.h"

namespace platform {

QColor WindowBackgroundColor() { return QColor(255, 255, 255); }
QColor ButtonFaceColor() { return QColor(192, 192, 192); }

// ---------------------------------------------------------------------------------------
// The top-level widget of a loaded form.

class FormWindow : public QWidget {
 public:
  explicit FormWindow(Form* form, Qt::WindowFlags flags);

  Form* form;       // nullptr once the form has let go of this window
  QWidget* client;  // the area below the menu bar, parent of the controls
  QPointer<QMenuBar> menu_bar;
  // How many event handlers of this window are running. While any is, the window may
  // not be deleted on the spot (Qt code of the widget that called is still on the stack).
  int busy = 0;
  bool sized = false;  // the initial size has been applied

  int MenuHeight() const { return menu_bar ? menu_bar->sizeHint().height() : 0; }
  void LayOut();
  bool FixedSize() const;
  void ApplyClientSize(int client_width, int client_height);
  void MouseMovedOverClient();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

namespace {

// Marks a window busy for the life of one handler call.
class Busy {
 public:
  explicit Busy(FormWindow* window) : window_(window) {
    if (window_) ++window_->busy;
  }
  ~Busy() {
    if (window_) --window_->busy;
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  QPointer<FormWindow> window_;
};

FormWindow* FindFormWindow(QObject* object) {
  for (; object; object = object->parent())
    if (auto* window = dynamic_cast<FormWindow*>(object)) return window;
  return nullptr;
}

// Runs a program handler for an event of `source`, unless its form has been unloaded.
// The handler is copied first: it may replace or destroy its own std::function.
void Dispatch(QObject* source, const std::function<void()>& handler) {
  FormWindow* window = FindFormWindow(source);
  if (!window || !window->form || !handler) return;
  Busy busy(window);
  std::function<void()> call = handler;
  call();
}

QString ToQ(const std::string& text) { return QString::fromStdString(text); }

QString ColorCss(const QColor& color) { return color.name(QColor::HexRgb); }

// ---------------------------------------------------------------------------------------
// Widgets behind the controls.

class ClientArea : public QWidget {
 public:
  ClientArea(FormWindow* window, const QColor& back, QImage picture)
      : QWidget(window), back_(back), picture_(std::move(picture)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), back_);
    const QRect picture_part = event->rect() & picture_.rect();
    if (!picture_part.isEmpty()) painter.drawImage(picture_part, picture_, picture_part);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    // Moves over a control propagate here from controls that do not track the pointer;
    // only the bare client area counts.
    if (childAt(event->position().toPoint())) return;
    if (FormWindow* window = FindFormWindow(this)) window->MouseMovedOverClient();
  }

 private:
  QColor back_;
  QImage picture_;
};

// A click: the left button pressed on a widget and released inside it.
class ClickTracker {
 public:
  void Press(const QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
  }
  bool Release(const QWidget* widget, const QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return false;
    const bool click = pressed_ && widget->rect().contains(event->position().toPoint());
    pressed_ = false;
    return click;
  }

 private:
  bool pressed_ = false;
};

class PictureBoxWidget : public QWidget, public detail::SurfaceOwner {
 public:
  PictureBoxWidget(PictureBox* owner, const Rect& rect, const PictureBoxStyle& style)
      : owner_(owner), border_(style.border ? 1 : 0) {
    surface = QImage(std::max(0, rect.width - 2 * border_), std::max(0, rect.height - 2 * border_),
                     QImage::Format_RGB32);
    surface.fill(style.back_color);
    hdc = detail::RegisterSurfaceDC(&surface, this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(style.tab_stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
  ~PictureBoxWidget() override { ReleaseSurface(); }

  void ReleaseSurface() {
    if (hdc != 0) detail::ReleaseSurfaceDC(hdc);
    hdc = 0;
  }
  void SurfaceChanged(const QRect& rect) override {
    ++repaint_requests;
    update(rect.translated(border_, border_));
  }

  QImage surface;
  HDC hdc = 0;
  int repaint_requests = 0;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    if (border_ != 0) {
      painter.setPen(Qt::black);
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QRect inner(border_, border_, surface.width(), surface.height());
    const QRect part = event->rect() & inner;
    if (!part.isEmpty()) painter.drawImage(part, surface, part.translated(-border_, -border_));
  }
  void mousePressEvent(QMouseEvent* event) override {
    clicks_.Press(event);
    QWidget::mousePressEvent(event);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (clicks_.Release(this, event)) Dispatch(this, owner_->Click);
  }

 private:
  PictureBox* owner_;
  int border_;
  ClickTracker clicks_;
};

// Line breaks in any form (CR LF, CR, LF, the Unicode line and paragraph separators) are
// one and the same: the multi-line box gives every form back as LF, the single-line box
// keeps the form it was given.
bool SameText(const QString& a, const QString& b) {
  if (a == b) return true;
  auto lf = [](QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar other :
         {QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
      text.replace(other, u'\n');
    return text;
  };
  return lf(a) == lf(b);
}

// What the two kinds of text box have in common.
class TextWidget {
 public:
  explicit TextWidget(TextBox* owner) : owner_(owner) {}
  virtual ~TextWidget() = default;
  virtual QString Text() const = 0;
  virtual void SetText(const QString& text) = 0;

 protected:
  // Called for every change signal. Qt signals also when nothing changed (a multi-line box
  // signals once for every text it is given, the same or not), and a person's input may
  // put back the same text with other line breaks, so the text is compared with the last
  // one that ran Change.
  void TextChanged(QObject* self, const QString& text) {
    if (SameText(text, last_)) return;
    last_ = text;
    Dispatch(self, owner_->Change);
  }
  void FocusReceived(QObject* self) { Dispatch(self, owner_->GotFocus); }
  TextBox* owner_;
  QString last_;
};

QString TextBoxCss(const char* type, const TextBoxStyle& style) {
  return QString("%1 { border: %2; background-color: %3; color: %4; padding: 0px; }")
      .arg(type, style.border ? "1px solid black" : "none", ColorCss(style.back_color),
           ColorCss(style.fore_color));
}

// The events through which the pointer and the keyboard type, paste, drop, select or ask
// for the context menu.
bool IsTextInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
      return true;
    default:
      return false;
  }
}

// The events both kinds of text box handle alike, over the Qt editor they are made of.
template <typename Editor>
class TextEditor : public Editor, public TextWidget {
 public:
  explicit TextEditor(TextBox* owner) : TextWidget(owner) {
    this->installEventFilter(this);
    // A multi-line box takes the pointer and drops through its viewport.
    if constexpr (std::is_base_of_v<QAbstractScrollArea, Editor>)
      this->viewport()->installEventFilter(this);
  }

 protected:
  void focusInEvent(QFocusEvent* event) override {
    Editor::focusInEvent(event);
    FocusReceived(this);
  }
  // A box takes input only while it holds the focus. One whose focus handler hands the
  // focus on has lost it again by the time a click reaches it (Qt gives the focus on the
  // press, then delivers the press), so the middle button's paste of the primary
  // selection, a drag's selection, drops, keys sent its way and its context menu all
  // come to nothing there.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (this->hasFocus() || !IsTextInput(event->type())) return Editor::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
      event->ignore();  // the drag shows the drop refused
    else
      event->accept();
    return true;
  }
};

class LineTextWidget : public TextEditor<QLineEdit> {
 public:
  LineTextWidget(TextBox* owner, const TextBoxStyle& style, const QString& text)
      : TextEditor(owner) {
    setStyleSheet(TextBoxCss("QLineEdit", style));
    setFont(detail::MapFont(style.font));
    setAlignment(style.align == TextAlign::Center ? Qt::AlignCenter
                                                  : Qt::AlignLeft | Qt::AlignVCenter);
    if (style.max_length > 0) setMaxLength(style.max_length);
    setFocusPolicy(style.tab_stop ? Qt::StrongFocus : Qt::ClickFocus);
    setText(text);
    last_ = this->text();
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& now) { TextChanged(this, now); });
  }
  QString Text() const override { return text(); }
  void SetText(const QString& text) override { setText(text); }
};

class MultiLineTextWidget : public TextEditor<QTextEdit> {
 public:
  MultiLineTextWidget(TextBox* owner, const TextBoxStyle& style, const QString& text)
      : TextEditor(owner) {
    setStyleSheet(TextBoxCss("QTextEdit", style));
    setFrameShape(QFrame::NoFrame);
    setFont(detail::MapFont(style.font));
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QTextOption option = document()->defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    option.setAlignment(style.align == TextAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft);
    document()->setDefaultTextOption(option);
    document()->setDocumentMargin(2);
    setFocusPolicy(style.tab_stop ? Qt::StrongFocus : Qt::ClickFocus);
    setPlainText(text);
    last_ = toPlainText();
    connect(this, &QTextEdit::textChanged, this, [this] { TextChanged(this, toPlainText()); });
  }
  QString Text() const override { return toPlainText(); }
  void SetText(const QString& text) override { setPlainText(text); }
};

TextWidget* TextOf(QWidget* widget) { return dynamic_cast<TextWidget*>(widget); }

class ImageWidget : public QWidget {
 public:
  ImageWidget(Image* owner, const std::string& path) : owner_(owner) {
    picture = QImage(ToQ(HostPath(path)));
    setMouseTracking(true);
  }
  QImage picture;

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (picture.isNull()) return;
    QPainter painter(this);
    const QRect part = event->rect() & picture.rect();
    if (!part.isEmpty()) painter.drawImage(part, picture, part);
  }
  void mouseMoveEvent(QMouseEvent*) override { Dispatch(this, owner_->MouseMove); }
  void mousePressEvent(QMouseEvent* event) override { clicks_.Press(event); }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (clicks_.Release(this, event)) Dispatch(this, owner_->Click);
  }

 private:
  Image* owner_;
  ClickTracker clicks_;
};

class ProgressWidget : public QProgressBar {
 public:
  ProgressWidget() {
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
  }
  float value = 0.0f;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Form

struct Form::Impl {
  QPointer<FormWindow> window;
  std::vector<Control*> controls;
  std::vector<Timer*> timers;
  std::vector<MenuItem*> menu_items;
  std::vector<std::pair<std::string, QPointer<QMenu>>> menus;
  std::vector<QEventLoop*> modal_loops;
  std::string caption;
  bool unloading = false;

  void QuitModalLoops() {
    for (QEventLoop* loop : modal_loops) loop->quit();
  }

  QMenu* MenuFor(const std::string& menu_caption) {
    for (auto& [caption_of, menu] : menus)
      if (caption_of == menu_caption && menu) return menu;
    FormWindow* w = window;
    if (!w->menu_bar) {
      const int client_width = w->width();
      const int client_height = w->height() - w->MenuHeight();
      w->menu_bar = new QMenuBar(w);
      w->menu_bar->setNativeMenuBar(false);
      w->menu_bar->show();
      if (w->sized) w->ApplyClientSize(client_width, client_height);
    }
    QMenu* menu = w->menu_bar->addMenu(ToQ(menu_caption));
    menus.emplace_back(menu_caption, menu);
    return menu;
  }

  // Lets go of the window and everything in it: controls, timers and menu items read as
  // not loaded from now on, picture box contexts are released, and the widgets are
  // deleted now or, while one of the window's handlers is still running, once control is
  // back in the event loop.
  static void Destroy(Form& form) {
    Impl& impl = *form.impl_;
    FormWindow* w = impl.window;
    if (!w) return;
    for (Control* control : impl.controls) control->widget_ = nullptr;
    for (Timer* timer : impl.timers) {
      if (timer->timer_) {
        timer->timer_->stop();
        QObject::disconnect(timer->timer_, nullptr, nullptr, nullptr);
      }
      timer->timer_ = nullptr;
    }
    for (MenuItem* item : impl.menu_items) {
      if (item->action_) QObject::disconnect(item->action_, nullptr, nullptr, nullptr);
      item->action_ = nullptr;
    }
    impl.controls.clear();
    impl.timers.clear();
    impl.menu_items.clear();
    impl.menus.clear();
    // Our widget classes carry no meta-object, so findChildren cannot tell them apart.
    for (QWidget* child : w->findChildren<QWidget*>())
      if (auto* box = dynamic_cast<PictureBoxWidget*>(child)) box->ReleaseSurface();
    impl.window = nullptr;
    w->form = nullptr;
    qApp->removeEventFilter(w);
    impl.QuitModalLoops();
    w->hide();
    if (w->busy > 0)
      w->deleteLater();
    else
      delete w;
  }
};

FormWindow::FormWindow(Form* owner, Qt::WindowFlags flags) : QWidget(nullptr, flags), form(owner) {
  const FormDesign& design = owner->design_;
  QImage picture;
  if (!design.picture_path.empty()) {
    picture = QImage(ToQ(HostPath(design.picture_path)));
  }
  client = new ClientArea(this, design.back_color, std::move(picture));
}

void FormWindow::LayOut() {
  const int menu_height = MenuHeight();
  if (menu_bar) menu_bar->setGeometry(0, 0, width(), menu_height);
  client->setGeometry(0, menu_height, width(), std::max(0, height() - menu_height));
}

bool FormWindow::FixedSize() const {
  // Window managers offer maximise for every window that they may resize, whatever else
  // the window asks for; a window without a maximise button therefore keeps the size its
  // program gives it.
  return form && (!form->design_.sizable || !form->design_.max_button);
}

void FormWindow::ApplyClientSize(int client_width, int client_height) {
  const QSize wanted(std::max(1, client_width), std::max(1, client_height) + MenuHeight());
  if (size() != wanted) {
    // A window manager that ignores a fixed size may have resized the window, so the
    // size is set even where the fixed size has not changed.
    if (FixedSize()) setFixedSize(wanted);
    resize(wanted);
  }
  LayOut();
}

void FormWindow::MouseMovedOverClient() {
  if (!form) return;
  Busy busy(this);
  form->Form_MouseMove();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
  if (!form) return;
  Busy busy(this);
  form->Form_Resize();
}

void FormWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !form) return;
  // A window manager may maximise a window that has no maximise button all the same (a
  // key binding, a tiling rule); it goes back to normal once this change is through.
  if ((windowState() & Qt::WindowMaximized) && !form->design_.max_button) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (windowState() & Qt::WindowMaximized)
            setWindowState(windowState() & ~Qt::WindowMaximized);
        },
        Qt::QueuedConnection);
  }
  Busy busy(this);
  form->Form_Resize();
}

void FormWindow::closeEvent(QCloseEvent* event) {
  Form* owner = form;
  if (!owner) {
    event->accept();
    return;
  }
  Busy busy(this);
  owner->Unload();
  if (owner->impl_->window == this)
    event->ignore();  // cancelled
  else
    event->accept();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  // Without key preview the form hears only keys that no control took.
  if (form && !form->design_.key_preview) {
    const std::int16_t code = detail::VirtualKeyFromQt(event->key(), event->modifiers());
    if (code != 0) {
      Busy busy(this);
      form->Form_KeyDown(code, detail::ShiftStateFromQt(event->modifiers()));
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void FormWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (form && !event->spontaneous()) form->impl_->QuitModalLoops();
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  // Installed on the application: a key goes first to the focus widget, and only that
  // first delivery is previewed (not its propagation to the parents).
  if (event->type() != QEvent::KeyPress || !form || !form->design_.key_preview) return false;
  QWidget* target = focusWidget() ? focusWidget() : this;
  if (watched != target) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const std::int16_t code = detail::VirtualKeyFromQt(key->key(), key->modifiers());
  if (code == 0) return false;
  Busy busy(this);
  form->Form_KeyDown(code, detail::ShiftStateFromQt(key->modifiers()));
  return false;
}

Form::Form(FormDesign design) : design_(std::move(design)), impl_(std::make_unique<Impl>()) {
  impl_->caption = design_.caption;
}

Form::~Form() { Impl::Destroy(*this); }

void Form::Load() {
  if (impl_->window) return;
  detail::EnsureApplicationFont();
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (design_.min_button) flags |= Qt::WindowMinimizeButtonHint;
  if (design_.max_button) flags |= Qt::WindowMaximizeButtonHint;
  auto* w = new FormWindow(this, flags);
  impl_->window = w;
  SetCaption(impl_->caption);
  if (!design_.icon_path.empty()) w->setWindowIcon(QIcon(ToQ(HostPath(design_.icon_path))));
  {
    Busy busy(w);
    Design();
  }
  if (impl_->window != w) return;
  w->ApplyClientSize(design_.client_width, design_.client_height);
  w->sized = true;
  if (design_.centered) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    }
  }
  if (design_.key_preview) qApp->installEventFilter(w);
  Busy busy(w);
  Form_Load();
}

void Form::Show(ShowMode mode) {
  Load();
  FormWindow* w = impl_->window;
  if (!w) return;  // unloaded while loading
  if (mode == ShowMode::Modeless) {
    w->show();
    w->raise();
    w->activateWindow();
    return;
  }
  if (w->isVisible() && w->windowModality() != Qt::ApplicationModal) w->hide();
  w->setWindowModality(Qt::ApplicationModal);
  w->show();
  w->raise();
  w->activateWindow();
  if (impl_->window != w || !w->isVisible()) return;
  QEventLoop loop;
  impl_->modal_loops.push_back(&loop);
  loop.exec(QEventLoop::DialogExec);
  std::erase(impl_->modal_loops, &loop);
  if (impl_->window == w && !w->isVisible()) w->setWindowModality(Qt::NonModal);
}

void Form::Unload() {
  FormWindow* w = impl_->window;
  if (!w || impl_->unloading) return;
  std::int16_t cancel = 0;
  impl_->unloading = true;
  {
    Busy busy(w);
    Form_Unload(cancel);
  }
  impl_->unloading = false;
  if (cancel != 0 || impl_->window != w) return;
  Impl::Destroy(*this);
}

void Form::Hide() {
  if (!impl_->window) return;
  impl_->window->hide();
  impl_->QuitModalLoops();
}

bool Form::IsLoaded() const { return impl_->window != nullptr; }
bool Form::IsVisible() const { return impl_->window && impl_->window->isVisible(); }

std::string Form::Caption() const { return impl_->caption; }

void Form::SetCaption(const std::string& caption) {
  impl_->caption = caption;
  // An empty title would make the window system show the program's name instead.
  if (impl_->window)
    impl_->window->setWindowTitle(design_.show_caption ? ToQ(caption) : QStringLiteral(" "));
}

WindowState Form::State() const {
  if (!impl_->window) return WindowState::Normal;
  const Qt::WindowStates state = impl_->window->windowState();
  if (state & Qt::WindowMinimized) return WindowState::Minimized;
  if (state & Qt::WindowMaximized) return WindowState::Maximized;
  return WindowState::Normal;
}

void Form::SetState(WindowState state) {
  if (!impl_->window || (state == WindowState::Maximized && !design_.max_button)) return;
  Qt::WindowStates flags = impl_->window->windowState() &
                           ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
  if (state == WindowState::Minimized) flags |= Qt::WindowMinimized;
  if (state == WindowState::Maximized) flags |= Qt::WindowMaximized;
  impl_->window->setWindowState(flags);
}

namespace {
// The frame, caption and menu bar of the design, in pixels.
int ExtraPixels(int outer_twips, int client) {
  return outer_twips > 0 ? outer_twips / kTwipsPerPixel - client : 0;
}
int TwipsToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}
}  // namespace

int Form::OuterWidthTwips() const {
  return (ClientWidth() + ExtraPixels(design_.outer_width_twips, design_.client_width)) *
         kTwipsPerPixel;
}

int Form::OuterHeightTwips() const {
  return (ClientHeight() + ExtraPixels(design_.outer_height_twips, design_.client_height)) *
         kTwipsPerPixel;
}

void Form::SetOuterWidthTwips(int twips) {
  if (!impl_->window) return;
  impl_->window->ApplyClientSize(
      TwipsToPixels(twips) - ExtraPixels(design_.outer_width_twips, design_.client_width),
      ClientHeight());
}

void Form::SetOuterHeightTwips(int twips) {
  if (!impl_->window) return;
  impl_->window->ApplyClientSize(
      ClientWidth(),
      TwipsToPixels(twips) - ExtraPixels(design_.outer_height_twips, design_.client_height));
}

int Form::ClientWidth() const {
  return impl_->window ? impl_->window->width() : design_.client_width;
}

int Form::ClientHeight() const {
  if (!impl_->window) return design_.client_height;
  return std::max(0, impl_->window->height() - impl_->window->MenuHeight());
}

void Form::SetTabOrder(const std::vector<Control*>& controls) {
  QWidget* previous = nullptr;
  for (Control* control : controls) {
    QWidget* widget = control ? control->widget() : nullptr;
    if (!widget) continue;
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

Control* Form::ActiveControl() const {
  if (!impl_->window) return nullptr;
  for (QWidget* w = impl_->window->focusWidget(); w && w != impl_->window; w = w->parentWidget())
    for (Control* control : impl_->controls)
      if (control->widget_ == w) return control;
  return nullptr;
}

void Form::PerformKeyDown(std::int16_t key_code, std::int16_t shift) {
  FormWindow* w = impl_->window;
  if (!w) return;
  Qt::KeyboardModifiers modifiers;
  if (shift & vbShiftMask) modifiers |= Qt::ShiftModifier;
  if (shift & vbCtrlMask) modifiers |= Qt::ControlModifier;
  if (shift & vbAltMask) modifiers |= Qt::AltModifier;
  if (key_code >= 96 && key_code <= 111) modifiers |= Qt::KeypadModifier;
  const int key = detail::QtKeyFromVirtualKey(key_code);
  QString text;
  if (!(shift & (vbCtrlMask | vbAltMask))) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
      text = QChar((shift & vbShiftMask) ? key : key - 'A' + 'a');
    else if (key >= Qt::Key_0 && key <= Qt::Key_9 && !(shift & vbShiftMask))
      text = QChar(key);
    else if (key == Qt::Key_Space)
      text = QStringLiteral(" ");
  }
  QPointer<QWidget> target = w->focusWidget() ? w->focusWidget() : w;
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &press);
  if (target) {
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
  }
}

void Form::PerformMouseMove() {
  FormWindow* w = impl_->window;
  if (!w) return;
  Busy busy(w);
  Form_MouseMove();
}

void Form::PerformClose() {
  if (!impl_->window) return;
  QCloseEvent event;
  QApplication::sendEvent(impl_->window, &event);
}

QWidget* Form::window() const { return impl_->window; }
QWidget* Form::client() const { return impl_->window ? impl_->window->client : nullptr; }

// ---------------------------------------------------------------------------------------
// Control

Control::~Control() {
  if (!widget_) return;
  if (FormWindow* window = FindFormWindow(widget_); window && window->form)
    std::erase(window->form->impl_->controls, this);
  delete widget_.data();
}

bool Control::Visible() const { return widget_ && !widget_->isHidden(); }

void Control::SetVisible(bool visible) {
  if (widget_) widget_->setVisible(visible);
}

bool Control::Enabled() const { return widget_ && !widget_->testAttribute(Qt::WA_ForceDisabled); }

void Control::SetEnabled(bool enabled) {
  if (widget_) widget_->setEnabled(enabled);
}

int Control::Left() const { return widget_ ? widget_->x() : 0; }
int Control::Top() const { return widget_ ? widget_->y() : 0; }
int Control::Width() const { return widget_ ? widget_->width() : 0; }
int Control::Height() const { return widget_ ? widget_->height() : 0; }

void Control::SetLeft(int left) {
  if (widget_) widget_->move(left, widget_->y());
}

void Control::SetTop(int top) {
  if (widget_) widget_->move(widget_->x(), top);
}

void Control::SetFocus() {
  if (!widget_) return;
  QWidget* window = widget_->window();
  if (!widget_->isVisibleTo(window) || !widget_->isEnabled()) return;
  if (window->isVisible() && !window->isActiveWindow()) {
    window->activateWindow();
    // The window system answers asynchronously; the program expects the focus now.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(window);
    QT_WARNING_POP
  }
  widget_->setFocus(Qt::OtherFocusReason);
}

bool Control::HasFocus() const { return widget_ && widget_->hasFocus(); }

bool Control::TabStop() const { return widget_ && (widget_->focusPolicy() & Qt::TabFocus); }

void Control::SetTabStop(bool tab_stop) {
  if (!widget_) return;
  const int policy = widget_->focusPolicy();
  widget_->setFocusPolicy(static_cast<Qt::FocusPolicy>(
      tab_stop ? (policy | Qt::TabFocus | Qt::ClickFocus) : (policy & ~Qt::TabFocus)));
}

void Control::Attach(Form& form, const std::string& name, QWidget* widget, const Rect& rect) {
  FormWindow* window = form.impl_->window;
  if (!window) {
    delete widget;
    return;
  }
  if (widget_) {  // created again: the old widget goes, from whichever form held it
    if (FormWindow* old = FindFormWindow(widget_); old && old->form)
      std::erase(old->form->impl_->controls, this);
    delete widget_.data();
  }
  name_ = name;
  widget->setObjectName(ToQ(name));
  widget->setParent(window->client);
  widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
  widget->show();
  widget->raise();  // later controls lie over earlier ones
  widget_ = widget;
  form.impl_->controls.push_back(this);
}

// ---------------------------------------------------------------------------------------
// PictureBox

void PictureBox::Create(Form& form, const std::string& name, const Rect& rect,
                        const PictureBoxStyle& style) {
  if (!form.client()) return;
  auto* box = new PictureBoxWidget(this, rect, style);
  Attach(form, name, box, rect);
  hdc_ = box->hdc;
}

HDC PictureBox::hDC() const { return widget_ ? hdc_ : 0; }

int PictureBox::SurfaceWidth() const {
  return widget_ ? static_cast<PictureBoxWidget*>(widget_.data())->surface.width() : 0;
}

int PictureBox::SurfaceHeight() const {
  return widget_ ? static_cast<PictureBoxWidget*>(widget_.data())->surface.height() : 0;
}

int PictureBox::RepaintRequests() const {
  return widget_ ? static_cast<PictureBoxWidget*>(widget_.data())->repaint_requests : 0;
}

// ---------------------------------------------------------------------------------------
// TextBox

void TextBox::Create(Form& form, const std::string& name, const Rect& rect, const std::string& text,
                     const TextBoxStyle& style) {
  if (!form.client()) return;
  QWidget* widget;
  if (style.multi_line)
    widget = new MultiLineTextWidget(this, style, ToQ(text));
  else
    widget = new LineTextWidget(this, style, ToQ(text));
  Attach(form, name, widget, rect);
}

std::string TextBox::Text() const {
  TextWidget* text = TextOf(widget_);
  return text ? text->Text().toStdString() : std::string();
}

void TextBox::SetText(const std::string& text) {
  TextWidget* widget = TextOf(widget_);
  if (!widget) return;
  const QString now = ToQ(text);
  if (SameText(now, widget->Text())) return;  // no change: the box is left as it is
  widget->SetText(now);
}

void TextBox::TypeText(const std::string& text) {
  if (!HasFocus()) SetFocus();
  QPointer<QWidget> target = widget_;
  for (char32_t code : ToQ(text).toUcs4()) {
    if (!target) return;
    const QString one = QString::fromUcs4(&code, 1);
    int key = Qt::Key_unknown;
    if (code == '\n' || code == '\r')
      key = Qt::Key_Return;
    else if (code == '\t')
      key = Qt::Key_Tab;
    else if (code >= 'a' && code <= 'z')
      key = Qt::Key_A + static_cast<int>(code - 'a');
    else if (code < 0x7F)
      key = static_cast<int>(code);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, one);
    QApplication::sendEvent(target, &press);
    if (!target) return;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, one);
    QApplication::sendEvent(target, &release);
  }
}

// ---------------------------------------------------------------------------------------
// CommandButton, Label, Image, ProgressBar

void CommandButton::Create(Form& form, const std::string& name, const Rect& rect,
                           const std::string& caption, const FontSpec& font) {
  if (!form.client()) return;
  auto* button = new QPushButton(ToQ(caption));
  button->setAutoDefault(false);
  button->setFont(detail::MapFont(font));
  QObject::connect(button, &QPushButton::clicked, button,
                   [this, button] { Dispatch(button, Click); });
  Attach(form, name, button, rect);
}

std::string CommandButton::Caption() const {
  auto* button = static_cast<QPushButton*>(widget_.data());
  return button ? button->text().toStdString() : std::string();
}

void CommandButton::PerformClick() {
  if (!Visible() || !Enabled()) return;
  static_cast<QPushButton*>(widget_.data())->click();
}

void Label::Create(Form& form, const std::string& name, const Rect& rect,
                   const std::string& caption, const FontSpec& font) {
  if (!form.client()) return;
  auto* label = new QLabel(ToQ(caption));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setFont(detail::MapFont(font));
  Attach(form, name, label, rect);
}

std::string Label::Caption() const {
  auto* label = static_cast<QLabel*>(widget_.data());
  return label ? label->text().toStdString() : std::string();
}

void Image::Create(Form& form, const std::string& name, const Rect& rect,
                   const std::string& picture_path) {
  if (!form.client()) return;
  Attach(form, name, new ImageWidget(this, picture_path), rect);
}

bool Image::PictureLoaded() const {
  return widget_ && !static_cast<ImageWidget*>(widget_.data())->picture.isNull();
}

void Image::PerformClick() {
  if (Visible() && Enabled()) Dispatch(widget_, Click);
}

void Image::PerformMouseMove() {
  if (Visible() && Enabled()) Dispatch(widget_, MouseMove);
}

void ProgressBar::Create(Form& form, const std::string& name, const Rect& rect) {
  if (!form.client()) return;
  Attach(form, name, new ProgressWidget, rect);
}

float ProgressBar::Value() const {
  return widget_ ? static_cast<ProgressWidget*>(widget_.data())->value : 0.0f;
}

void ProgressBar::SetValue(float value) {
  auto* bar = static_cast<ProgressWidget*>(widget_.data());
  if (!bar) return;
  if (std::isnan(value)) value = 0.0f;
  value = std::clamp(value, 0.0f, 100.0f);
  bar->value = value;
  bar->setValue(static_cast<int>(std::lround(value)));
}

// ---------------------------------------------------------------------------------------
// Timer

Timer::~Timer() {
  if (!timer_) return;
  if (FormWindow* window = FindFormWindow(timer_); window && window->form)
    std::erase(window->form->impl_->timers, this);
  delete timer_.data();
}

void Timer::Create(Form& form, const std::string& name, int interval_ms, bool enabled) {
  FormWindow* window = form.impl_->window;
  if (!window) return;
  if (timer_) {
    std::erase(form.impl_->timers, this);
    delete timer_.data();
  }
  auto* timer = new QTimer(window);
  timer->setObjectName(ToQ(name));
  timer->setInterval(std::max(0, interval_ms));
  QObject::connect(timer, &QTimer::timeout, timer, [this, timer] { Dispatch(timer, Tick); });
  timer_ = timer;
  form.impl_->timers.push_back(this);
  SetEnabled(enabled);
}

int Timer::Interval() const { return timer_ ? timer_->interval() : 0; }

bool Timer::Enabled() const { return timer_ && timer_->isActive(); }

void Timer::SetEnabled(bool enabled) {
  if (!timer_) return;
  // An interval of 0 means a timer that never ticks, not one that ticks all the time.
  if (enabled && timer_->interval() > 0)
    timer_->start();
  else
    timer_->stop();
}

void Timer::Fire() {
  if (Enabled()) Dispatch(timer_, Tick);
}

// ---------------------------------------------------------------------------------------
// MenuItem

MenuItem::~MenuItem() {
  if (!action_) return;
  if (FormWindow* window = FindFormWindow(action_); window && window->form)
    std::erase(window->form->impl_->menu_items, this);
  delete action_.data();
}

void MenuItem::Create(Form& form, const std::string& name, const std::string& menu_caption,
                      const std::string& caption) {
  if (!form.impl_->window) return;
  if (action_) {
    std::erase(form.impl_->menu_items, this);
    delete action_.data();
  }
  QMenu* menu = form.impl_->MenuFor(menu_caption);
  QAction* action = caption == "-" ? menu->addSeparator() : menu->addAction(ToQ(caption));
  action->setObjectName(ToQ(name));
  QObject::connect(action, &QAction::triggered, action,
                   [this, action] { Dispatch(action, Click); });
  action_ = action;
  form.impl_->menu_items.push_back(this);
}

std::string MenuItem::Caption() const {
  return action_ ? action_->text().toStdString() : std::string();
}

void MenuItem::SetCaption(const std::string& caption) {
  if (action_) action_->setText(ToQ(caption));
}

bool MenuItem::Enabled() const { return action_ && action_->isEnabled(); }

void MenuItem::SetEnabled(bool enabled) {
  if (action_) action_->setEnabled(enabled);
}

void MenuItem::Trigger() {
  if (Enabled()) action_->trigger();
}

}  // namespace platform
