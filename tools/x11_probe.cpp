// A small X client for the end-to-end test, the X server tests and the start-up measurement:
// it asks a window to close the way a window manager's close box does, waits for a window
// manager to take the screen, and times how long a window takes to appear and to show its
// first frame, watching from outside the program.
//
//   x11_probe close WINDOW
//       Sends WM_DELETE_WINDOW to WINDOW (decimal or 0x hex), as a close box does.
//
//   x11_probe wm [--timeout MS]
//       Waits until a window manager has taken the screen (the root window names its check
//       window, and that window exists) and takes new windows in hand (a window the probe
//       maps gets its WM_STATE), and prints wm=NAME. Exits 1 on a time-out.
//
//   x11_probe pixels WINDOW X,Y...
//       Prints the colour of each pixel as pixel=X,Y,RRGGBB.
//
//   x11_probe watch [--name TEXT] [--class TEXT] [--sample X,Y]... [--expect X,Y,RRGGBB]...
//                   [--click] [--timeout MS] [-- COMMAND ARGS...]
//       Starts watching the screen, then starts COMMAND (if given) or clicks the left button
//       where the pointer is (--click, through the XTEST extension), and waits for a new
//       top-level window whose name is TEXT (--name) or whose class contains TEXT (--class)
//       to be mapped and to show its frame: every --expect pixel has its colour, or without
//       --expect, any --sample pixel is no longer black (run Xvfb with -br). Prints
//         pid=N window=0xW map_ms=M paint_ms=P frame_ms=F pixel=X,Y,RRGGBB ...
//       with times from just before the command or the click: the window mapped, the first
//       sample no longer black, the frame complete. COMMAND is left running. Exits 1 on a
//       time-out.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Pixel {
  int x = 0;
  int y = 0;
  unsigned long rgb = 0;
};

double MillisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string WindowName(Display* display, Window window) {
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string name;
  if (XGetWindowProperty(display, window, net_name, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr) {
    name.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
    return name;
  }
  char* legacy = nullptr;
  if (XFetchName(display, window, &legacy) && legacy != nullptr) {
    name = legacy;
    XFree(legacy);
  }
  return name;
}

std::string WindowClass(Display* display, Window window) {
  XClassHint hint{};
  std::string text;
  if (XGetClassHint(display, window, &hint)) {
    if (hint.res_name) text += hint.res_name, XFree(hint.res_name);
    text += ' ';
    if (hint.res_class) text += hint.res_class, XFree(hint.res_class);
  }
  return text;
}

// A window may go away while it is watched; its requests then fail, which is no reason to stop.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

unsigned long ReadPixel(Display* display, Window window, int x, int y) {
  XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0;
  const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return value;
}

bool ParsePoint(const char* text, Pixel& pixel, bool with_colour) {
  if (with_colour) return std::sscanf(text, "%d,%d,%lx", &pixel.x, &pixel.y, &pixel.rgb) == 3;
  return std::sscanf(text, "%d,%d", &pixel.x, &pixel.y) == 2;
}

int Pixels(Display* display, const char* id, int count, char** points) {
  const Window window = std::strtoul(id, nullptr, 0);
  for (int i = 0; i < count; ++i) {
    Pixel pixel;
    if (!ParsePoint(points[i], pixel, false)) return 2;
    std::printf("%spixel=%d,%d,%06lx", i == 0 ? "" : " ", pixel.x, pixel.y,
                ReadPixel(display, window, pixel.x, pixel.y));
  }
  std::printf("\n");
  return 0;
}

// The window manager's check window, as the root window names it; 0 while there is none.
Window WindowManagerCheck(Display* display) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Window window = 0;
  if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr) {
    if (count == 1 && format == 32) window = *reinterpret_cast<Window*>(data);
    XFree(data);
  }
  XWindowAttributes attributes;
  // A name left behind by a window manager that has gone points at no window.
  if (window != 0 && !XGetWindowAttributes(display, window, &attributes)) window = 0;
  return window;
}

int WaitForWindowManager(Display* display, int argc, char** argv) {
  int timeout_ms = 10000;
  if (argc == 2 && std::string(argv[0]) == "--timeout") {
    timeout_ms = std::atoi(argv[1]);
  } else if (argc != 0) {
    std::fprintf(stderr, "x11_probe: usage: x11_probe wm [--timeout MS]\n");
    return 2;
  }
  const Clock::time_point start = Clock::now();
  Window check = 0;
  while ((check = WindowManagerCheck(display)) == 0) {
    if (MillisSince(start) > timeout_ms) {
      std::fprintf(stderr, "x11_probe: no window manager took the screen within %d ms\n",
                   timeout_ms);
      return 1;
    }
    usleep(10000);
  }
  // The check window comes early in a window manager's start, and a window mapped before it
  // has started is never taken in hand. So a window of our own is mapped, and mapped anew
  // every half second, until one gets its WM_STATE.
  const Atom wm_state = XInternAtom(display, "WM_STATE", False);
  for (bool managed = false; !managed;) {
    const Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10,
                                             0, 0, 0);
    XMapWindow(display, probe);
    XSync(display, False);
    for (const Clock::time_point mapped = Clock::now(); !managed && MillisSince(mapped) < 500;) {
      Atom type = None;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      managed = XGetWindowProperty(display, probe, wm_state, 0, 2, False, AnyPropertyType, &type,
                                   &format, &count, &after, &data) == Success &&
                type != None;
      if (data != nullptr) XFree(data);
      if (!managed) usleep(10000);
    }
    XDestroyWindow(display, probe);
    XSync(display, False);
    if (!managed && MillisSince(start) > timeout_ms) {
      std::fprintf(stderr, "x11_probe: the window manager took no window within %d ms\n",
                   timeout_ms);
      return 1;
    }
  }
  std::printf("wm=%s\n", WindowName(display, check).c_str());
  return 0;
}

int Close(Display* display, const char* id) {
  const Window window = std::strtoul(id, nullptr, 0);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  return 0;
}

// The left button pressed and released where the pointer is, as a person's click: through
// XTEST, loaded at run time (xdotool brings the library along).
bool Click(Display* display) {
  using FakeButton = int (*)(Display*, unsigned int, Bool, unsigned long);
  void* library = dlopen("libXtst.so.6", RTLD_NOW);
  if (library == nullptr) return false;
  auto fake = reinterpret_cast<FakeButton>(dlsym(library, "XTestFakeButtonEvent"));
  if (fake == nullptr) return false;
  fake(display, 1, True, CurrentTime);
  fake(display, 1, False, CurrentTime);
  XFlush(display);
  return true;
}

int Watch(Display* display, int argc, char** argv) {
  std::string name, klass;
  bool name_given = false, click = false;
  std::vector<Pixel> samples, expected;
  int timeout_ms = 20000;
  char** command = nullptr;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--name" && has_value) {
      name = argv[++i];
      name_given = true;
    } else if (arg == "--class" && has_value) {
      klass = argv[++i];
    } else if ((arg == "--sample" || arg == "--expect") && has_value) {
      Pixel pixel;
      if (!ParsePoint(argv[++i], pixel, arg == "--expect")) {
        std::fprintf(stderr, "x11_probe: bad point %s\n", argv[i]);
        return 2;
      }
      (arg == "--expect" ? expected : samples).push_back(pixel);
    } else if (arg == "--timeout" && has_value) {
      timeout_ms = std::atoi(argv[++i]);
    } else if (arg == "--click") {
      click = true;
    } else if (arg == "--") {
      if (i + 1 < argc) command = argv + i + 1;
      break;
    } else {
      std::fprintf(stderr, "x11_probe: unknown argument %s\n", arg.c_str());
      return 2;
    }
  }
  for (const Pixel& p : expected) samples.push_back(p);
  if (samples.empty()) samples.push_back({0, 0, 0});

  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  // The command must not hold on to the probe's connection once the probe has gone.
  fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
  const Clock::time_point start = Clock::now();
  pid_t pid = 0;
  if (command != nullptr) {
    pid = fork();
    if (pid == 0) {
      // The command's output goes with the probe's errors, so that a caller reading the
      // probe's report does not wait for the command to end.
      dup2(STDERR_FILENO, STDOUT_FILENO);
      execvp(command[0], command);
      std::perror("x11_probe: exec");
      _exit(127);
    }
  } else if (click && !Click(display)) {
    std::fprintf(stderr, "x11_probe: no XTEST library for the click\n");
    return 2;
  }

  // A window is taken once it is mapped and carries the name or class asked for; the
  // toolkit may name it only after mapping it, so mapped windows are looked at again.
  struct Mapped {
    Window window;
    double ms;
  };
  std::vector<Mapped> mapped;
  Window window = 0;
  double map_ms = 0;
  const int fd = ConnectionNumber(display);
  while (window == 0) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect) {
        mapped.push_back({event.xmap.window, MillisSince(start)});
        XSelectInput(display, event.xmap.window, PropertyChangeMask);
      }
    }
    for (const Mapped& m : mapped) {
      if (name_given && WindowName(display, m.window) != name) continue;
      if (!klass.empty() && WindowClass(display, m.window).find(klass) == std::string::npos) {
        continue;
      }
      window = m.window;
      map_ms = m.ms;
      break;
    }
    if (window != 0) break;
    const int left = timeout_ms - static_cast<int>(MillisSince(start));
    if (left <= 0) {
      std::fprintf(stderr, "x11_probe: no window was mapped within %d ms\n", timeout_ms);
      return 1;
    }
    pollfd wait{fd, POLLIN, 0};
    poll(&wait, 1, std::min(left, 5));
  }

  // The first frame: the window's pixels are what the program paints, not the black that
  // Xvfb leaves in a window nobody has drawn into yet.
  double paint_ms = -1, frame_ms = 0;
  std::vector<unsigned long> seen(samples.size());
  for (;;) {
    bool any_painted = false, all_expected = true;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      seen[i] = ReadPixel(display, window, samples[i].x, samples[i].y);
      if (seen[i] != 0) any_painted = true;
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
      if (seen[samples.size() - expected.size() + i] != expected[i].rgb) all_expected = false;
    }
    if (any_painted && paint_ms < 0) paint_ms = MillisSince(start);
    if (expected.empty() ? any_painted : all_expected) {
      frame_ms = MillisSince(start);
      break;
    }
    if (MillisSince(start) > timeout_ms) {
      std::fprintf(stderr, "x11_probe: window 0x%lx showed no frame within %d ms\n", window,
                   timeout_ms);
      return 1;
    }
    usleep(500);
  }

  std::printf("pid=%d window=0x%lx map_ms=%.1f paint_ms=%.1f frame_ms=%.1f", static_cast<int>(pid),
              window, map_ms, paint_ms, frame_ms);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    std::printf(" pixel=%d,%d,%06lx", samples[i].x, samples[i].y, seen[i]);
  }
  std::printf("\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: x11_probe close|wm|pixels|watch ...\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "x11_probe: cannot open the display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  const std::string action = argv[1];
  int status = 2;
  if (action == "close" && argc == 3) {
    status = Close(display, argv[2]);
  } else if (action == "wm") {
    status = WaitForWindowManager(display, argc - 2, argv + 2);
  } else if (action == "pixels" && argc >= 4) {
    status = Pixels(display, argv[2], argc - 3, argv + 3);
  } else if (action == "watch") {
    status = Watch(display, argc - 2, argv + 2);
  } else {
    std::fprintf(stderr, "x11_probe: unknown action %s\n", action.c_str());
  }
  XCloseDisplay(display);
  return status;
}
