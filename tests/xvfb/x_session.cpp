#include "x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <algorithm>
#include <initializer_list>

namespace xtest {
namespace {

Display* D(void* display) { return static_cast<Display*>(display); }

// A window that is gone makes requests fail; the tests then read an empty property.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

XSession::XSession() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) {
    problem_ = "cannot open the X display";
    return;
  }
  XSetErrorHandler(IgnoreErrors);
  // The library comes with the X server's test tools; its headers need not be installed.
  xtest_ = dlopen("libXtst.so.6", RTLD_NOW);
  if (xtest_)
    fake_button_ = reinterpret_cast<decltype(fake_button_)>(dlsym(xtest_, "XTestFakeButtonEvent"));
  if (!fake_button_) problem_ = "no XTEST library (libXtst.so.6) for pointer input";
}

XSession::~XSession() {
  if (display_) XCloseDisplay(D(display_));
  if (xtest_) dlclose(xtest_);
}

void XSession::MoveTo(QPoint at) {
  Display* d = D(display_);
  XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, at.x(), at.y());
  XSync(d, False);
}

void XSession::Button(int button, bool down) {
  fake_button_(display_, static_cast<unsigned int>(button), down ? True : False, CurrentTime);
  XSync(D(display_), False);
}

std::vector<std::string> XSession::Atoms(unsigned long window, const char* property) {
  Display* d = D(display_);
  std::vector<std::string> names;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, window, XInternAtom(d, property, False), 0, 256, False, XA_ATOM, &type,
                         &format, &count, &after, &data) != Success ||
      !data)
    return names;
  const auto* atoms = reinterpret_cast<const Atom*>(data);
  for (unsigned long i = 0; i < count; ++i) {
    char* name = XGetAtomName(d, atoms[i]);
    if (name) {
      names.emplace_back(name);
      XFree(name);
    }
  }
  XFree(data);
  return names;
}

std::vector<long> XSession::Cardinals(unsigned long window, const char* property) {
  Display* d = D(display_);
  std::vector<long> values;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, window, XInternAtom(d, property, False), 0, 256, False, AnyPropertyType,
                         &type, &format, &count, &after, &data) != Success ||
      !data)
    return values;
  // Xlib hands 32-bit items over as longs.
  if (format == 32) {
    const auto* items = reinterpret_cast<const long*>(data);
    values.assign(items, items + count);
  }
  XFree(data);
  return values;
}

std::string XSession::WindowManager() {
  Display* d = D(display_);
  const std::vector<long> check = Cardinals(DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK");
  if (check.size() != 1) return {};
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string name;
  if (XGetWindowProperty(d, static_cast<Window>(check[0]), XInternAtom(d, "_NET_WM_NAME", False), 0,
                         256, False, XInternAtom(d, "UTF8_STRING", False), &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    name.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return name;
}

namespace {

// A request about `window` to the window manager, as pagers send them: a client message to
// the root window with up to four numbers.
void AskWindowManager(Display* d, unsigned long window, const char* message,
                      std::initializer_list<long> data) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(d, message, False);
  event.xclient.format = 32;
  std::copy(data.begin(), data.end(), event.xclient.data.l);
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &event);
  XSync(d, False);
}

}  // namespace

void XSession::RequestState(unsigned long window, bool add, const char* first, const char* second) {
  Display* d = D(display_);
  AskWindowManager(d, window, "_NET_WM_STATE",
                   {add ? 1 : 0, static_cast<long>(XInternAtom(d, first, False)),
                    second ? static_cast<long>(XInternAtom(d, second, False)) : 0,
                    2 /* the request comes from a pager or the user's tools */});
}

void XSession::Activate(unsigned long window) {
  // From a pager (2): no focus-stealing rule applies.
  AskWindowManager(D(display_), window, "_NET_ACTIVE_WINDOW", {2, CurrentTime});
}

QRect XSession::Geometry(unsigned long window) {
  Display* d = D(display_);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(d, window, &attributes)) return {};
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
  return QRect(x, y, attributes.width, attributes.height);
}

unsigned long XSession::ActiveWindow() {
  const std::vector<long> active = Cardinals(DefaultRootWindow(D(display_)), "_NET_ACTIVE_WINDOW");
  return active.size() == 1 ? static_cast<unsigned long>(active[0]) : 0;
}

QImage XSession::Grab(const QRect& area) {
  Display* d = D(display_);
  XImage* image = XGetImage(d, DefaultRootWindow(d), area.x(), area.y(),
                            static_cast<unsigned int>(area.width()),
                            static_cast<unsigned int>(area.height()), AllPlanes, ZPixmap);
  if (!image) return {};
  QImage grabbed(area.size(), QImage::Format_RGB32);
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x)
      grabbed.setPixel(x, y, static_cast<QRgb>(XGetPixel(image, x, y) & 0xFFFFFF));
  XDestroyImage(image);
  return grabbed;
}

}  // namespace xtest
