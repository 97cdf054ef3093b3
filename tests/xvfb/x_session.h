// A second connection to the X server that the tests run on, beside Qt's own: real pointer
// input through the XTEST extension (as a person's hand gives it, so that Qt and the window
// manager see what they would see), the window manager's properties and requests, and
// the pixels on the screen. Run the tests through run_xvfb.sh.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <string>
#include <vector>

namespace xtest {

class XSession {
 public:
  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  // Empty when the session can be used; otherwise what is missing.
  const std::string& Problem() const { return problem_; }

  // The pointer, in screen coordinates; buttons 1 left, 2 middle, 3 right.
  void MoveTo(QPoint at);
  void Button(int button, bool down);

  // The name of the window manager that has taken the screen; empty when there is none.
  std::string WindowManager();
  // A property of a window as atom names (ATOM lists) or numbers (CARDINAL lists); empty
  // when the window has no such property.
  std::vector<std::string> Atoms(unsigned long window, const char* property);
  std::vector<long> Cardinals(unsigned long window, const char* property);
  // Asks the window manager to add (or remove) one or two _NET_WM_STATE states of a
  // window, as pagers and window menus do.
  void RequestState(unsigned long window, bool add, const char* first, const char* second);
  // Asks the window manager to make a window active, as a pager does.
  void Activate(unsigned long window);
  // The window's place and size on the screen, frame excluded.
  QRect Geometry(unsigned long window);
  // The window that the window manager has made active; 0 when none.
  unsigned long ActiveWindow();
  // A part of the screen as the person sees it.
  QImage Grab(const QRect& area);

 private:
  void* display_ = nullptr;  // Display*
  void* xtest_ = nullptr;    // the XTEST library, loaded at run time
  int (*fake_button_)(void*, unsigned int, int, unsigned long) = nullptr;
  std::string problem_;
};

}  // namespace xtest
