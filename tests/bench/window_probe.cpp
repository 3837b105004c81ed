// Starts a program under the X display named by DISPLAY and reports, in
// milliseconds, how long it took to show its first window and, with
// --calcola, how long Calcola took from the key press to the box shown.
// The program prints "shown <class> <steady-clock ns>" for each window it
// has painted (VIVEZE_SHOWN_STAMPS); keys go through the XTest extension,
// the server's own input path, so every round trip is counted.
//
//   window_probe [--calcola SURNAME NAME] PROGRAM [ARGS...]
//   prints: start_ms=<ms> [calcola_ms=<ms>]
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

long long Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "window_probe: %s\n", why.c_str());
  std::exit(1);
}

// The program's stamps, read line by line from its standard output.
class Stamps {
 public:
  explicit Stamps(int fd) : fd_(fd) {}

  // The time of the next window of `className` shown (any when empty).
  long long Next(const std::string& className, int timeoutMs = 120000) {
    const long long deadline = Now() + static_cast<long long>(timeoutMs) * 1000000;
    for (;;) {
      std::size_t end;
      while ((end = buffer_.find('\n')) != std::string::npos) {
        const std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        char name[128];
        long long at = 0;
        if (std::sscanf(line.c_str(), "shown %127s %lld", name, &at) == 2 &&
            (className.empty() || className == name)) {
          return at;
        }
      }
      const long long left = (deadline - Now()) / 1000000;
      if (left <= 0) Fail("no window " + className + " shown in time");
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      char chunk[4096];
      const ssize_t got = read(fd_, chunk, sizeof chunk);
      if (got <= 0) Fail("the program ended before showing " + className);
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
  }

 private:
  int fd_;
  std::string buffer_;
};

class Keyboard {
 public:
  explicit Keyboard(Display* display) : display_(display) {}

  void Key(KeySym symbol, bool down) {
    const KeyCode code = XKeysymToKeycode(display_, symbol);
    if (code == 0) Fail("no key for a symbol");
    XTestFakeKeyEvent(display_, code, down ? True : False, 0);
    XFlush(display_);
  }
  void Tap(KeySym symbol) {
    Key(symbol, true);
    Key(symbol, false);
  }
  void Type(const std::string& text) {
    for (const char c : text) Tap(XStringToKeysym(std::string(1, c).c_str()));
  }
  void Chord(KeySym modifier, KeySym symbol) {
    Key(modifier, true);
    Tap(symbol);
    Key(modifier, false);
  }
  // Lets the program take in what it was sent.
  void Settle(int ms) {
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

 private:
  Display* display_;
};

double Ms(long long ns) { return static_cast<double>(ns) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  int at = 1;
  std::string surname, name;
  bool calcola = false;
  if (at < argc && std::strcmp(argv[at], "--calcola") == 0) {
    if (argc < at + 4) Fail("usage: window_probe [--calcola SURNAME NAME] PROGRAM [ARGS...]");
    calcola = true;
    surname = argv[at + 1];
    name = argv[at + 2];
    at += 3;
  }
  if (at >= argc) Fail("usage: window_probe [--calcola SURNAME NAME] PROGRAM [ARGS...]");
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) Fail("cannot open the display");
  int event, error, major, minor;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) Fail("no XTest");

  int out[2];
  if (pipe(out) != 0) Fail("pipe");
  setenv("VIVEZE_SHOWN_STAMPS", "1", 1);
  const long long started = Now();
  const pid_t child = fork();
  if (child < 0) Fail("fork");
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execv(argv[at], argv + at);
    _exit(127);
  }
  close(out[1]);
  Stamps stamps(out[0]);
  const long long shown = stamps.Next("");
  std::printf("start_ms=%.2f", Ms(shown - started));

  Keyboard keys(display);
  if (calcola) {
    keys.Settle(400);  // the window manager gives it the focus
    keys.Tap(XK_Tab);  // from the tabs to the surname
    keys.Type(surname);
    keys.Tap(XK_Tab);
    keys.Type(name);
    keys.Settle(100);
    keys.Chord(XK_Alt_L, XK_m);  // the "Modifica" menu, Calcola its first entry
    stamps.Next("QMenu");
    keys.Settle(100);
    const long long pressed = Now();
    keys.Key(XK_Return, true);
    const long long box = stamps.Next("QMessageBox");
    keys.Key(XK_Return, false);
    std::printf(" calcola_ms=%.2f", Ms(box - pressed));
    keys.Settle(100);
    keys.Tap(XK_Return);  // OK
  }
  std::printf("\n");
  std::fflush(stdout);

  keys.Settle(100);
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  XCloseDisplay(display);
  return 0;
}
