// Test helper: looks at the installer's wizard, a property sheet with the caption CAPTION, the way
// a person would, and presses its buttons.
//
//   wizard_driver.exe wait CAPTION [SECONDS]        until the wizard shows; prints its page index
//   wizard_driver.exe wait-page CAPTION INDEX [SECONDS]   until that page shows
//   wizard_driver.exe wait-gone CAPTION [SECONDS]   until the wizard has closed
//   wizard_driver.exe state CAPTION                 the page and its controls (below)
//   wizard_driver.exe press CAPTION next|back|finish|cancel|help
//   wizard_driver.exe check CAPTION ID              clicks a radio button of the page
//   wizard_driver.exe layout CAPTION                what a person would notice (below)
//   wizard_driver.exe watch-progress CAPTION SECONDS   every change of the progress (below)
//   wizard_driver.exe foreground CAPTION            1 when the wizard is in front, else 0
//   wizard_driver.exe shot CAPTION FILE.bmp         the wizard's picture as a 24-bit bitmap
//
// state prints "page INDEX", then one line per control of the page and per wizard button (Back
// 12323, Next 12324, Finish 12325, Cancel 2, Help 9):
//   ID<TAB>CLASS<TAB>VISIBLE<TAB>ENABLED<TAB>CHECKED<TAB>TEXT
// with 0 or 1 for the flags, the text's line breaks written as "\n" and, for a progress bar, its
// position as the text. layout prints one line per finding (a control outside the wizard, a text
// that does not fit its control in the pages' font, a page with nothing on it) and exits 1 when
// there is one. watch-progress prints "MS<TAB>POSITION<TAB>TEXT" whenever the copy page's bar or
// its text (control 1009) changes, MS counted from the start, until the wizard closes or the time
// is up. Every command exits 0 when it did what it says, 1 otherwise, 2 on a wrong command line.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kBack = 0x3023;
constexpr int kNext = 0x3024;
constexpr int kFinish = 0x3025;
constexpr int kButtons[] = {kBack, kNext, kFinish, IDCANCEL, IDHELP};
constexpr int kProgressBar = 1008;
constexpr int kProgressLabel = 1009;
constexpr DWORD kPollMs = 20;
constexpr UINT kAnswerMs = 5000;

HWND FindWizard(const char* caption) {
  const HWND wizard = ::FindWindowA("#32770", caption);
  return wizard != nullptr && ::IsWindowVisible(wizard) ? wizard : nullptr;
}

LRESULT Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kAnswerMs, &result);
  return static_cast<LRESULT>(result);
}

HWND CurrentPage(HWND wizard) {
  return reinterpret_cast<HWND>(Ask(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int PageIndex(HWND wizard) {
  const HWND page = CurrentPage(wizard);
  return page == nullptr
             ? -1
             : static_cast<int>(Ask(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[1024] = {};
  Ask(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c != '\r')
      out += c;
  }
  return out;
}

bool IsProgressBar(HWND control) {
  return ClassOf(control) == PROGRESS_CLASSA;
}

std::vector<HWND> PageControls(HWND page) {
  std::vector<HWND> controls;
  for (HWND child = ::GetWindow(page, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    controls.push_back(child);
  }
  return controls;
}

// Polls until done answers true or seconds pass.
template <typename Done>
bool WaitUntil(double seconds, Done done) {
  for (DWORD waited = 0; waited <= seconds * 1000; waited += kPollMs) {
    if (done())
      return true;
    ::Sleep(kPollMs);
  }
  return false;
}

void PrintControl(HWND control) {
  const bool checkable = ClassOf(control) == "Button";
  const std::string text = IsProgressBar(control) ? std::to_string(Ask(control, PBM_GETPOS, 0, 0))
                                                  : Escaped(TextOf(control));
  std::printf("%d\t%s\t%d\t%d\t%d\t%s\n", ::GetDlgCtrlID(control), ClassOf(control).c_str(),
              ::IsWindowVisible(control) ? 1 : 0, ::IsWindowEnabled(control) ? 1 : 0,
              checkable && Ask(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0, text.c_str());
}

int State(HWND wizard) {
  const HWND page = CurrentPage(wizard);
  std::printf("page %d\n", PageIndex(wizard));
  if (page != nullptr) {
    for (const HWND control : PageControls(page))
      PrintControl(control);
  }
  for (const int id : kButtons) {
    if (const HWND button = ::GetDlgItem(wizard, id))
      PrintControl(button);
  }
  return 0;
}

int Press(HWND wizard, const std::string& which) {
  if (which == "help") {
    ::PostMessageA(::GetDlgItem(wizard, IDHELP), BM_CLICK, 0, 0);
    return 0;
  }
  const struct {
    const char* name;
    int button;
  } kPresses[] = {{"back", PSBTN_BACK},
                  {"next", PSBTN_NEXT},
                  {"finish", PSBTN_FINISH},
                  {"cancel", PSBTN_CANCEL}};
  for (const auto& press : kPresses) {
    if (which == press.name) {
      ::PostMessageA(wizard, PSM_PRESSBUTTON, press.button, 0);
      return 0;
    }
  }
  return 2;
}

// The pages' font: the templates' 8-point "MS Sans Serif" on this screen.
class PageFont {
 public:
  PageFont() : context_(::CreateCompatibleDC(nullptr)) {
    font_ =
        ::CreateFontA(-::MulDiv(8, ::GetDeviceCaps(context_, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                      FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    previous_ = ::SelectObject(context_, font_);
  }
  ~PageFont() {
    ::SelectObject(context_, previous_);
    ::DeleteObject(font_);
    ::DeleteDC(context_);
  }
  PageFont(const PageFont&) = delete;
  PageFont& operator=(const PageFont&) = delete;

  // The height text needs at width, broken into lines when wrap.
  int HeightAt(const std::string& text, int width, bool wrap) const {
    RECT bounds{0, 0, width, 0};
    ::DrawTextA(context_, text.c_str(), -1, &bounds,
                DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    return bounds.right > width && !wrap ? -1 : bounds.bottom;
  }

 private:
  HDC context_;
  HFONT font_;
  HGDIOBJ previous_;
};

int Layout(HWND wizard) {
  RECT area{};
  ::GetClientRect(wizard, &area);
  ::MapWindowPoints(wizard, nullptr, reinterpret_cast<POINT*>(&area), 2);
  const PageFont font;
  int findings = 0;
  auto finding = [&findings](HWND control, const char* what) {
    std::printf("%d\t%s\t%s\n", ::GetDlgCtrlID(control), what, Escaped(TextOf(control)).c_str());
    ++findings;
  };
  std::vector<HWND> controls;
  int shown_on_page = 0;
  if (const HWND page = CurrentPage(wizard)) {
    controls = PageControls(page);
  }
  const std::size_t page_controls = controls.size();
  for (const int id : kButtons)
    controls.push_back(::GetDlgItem(wizard, id));
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const HWND control = controls[i];
    if (control == nullptr || !::IsWindowVisible(control))
      continue;
    shown_on_page += i < page_controls ? 1 : 0;
    RECT bounds{};
    ::GetWindowRect(control, &bounds);
    if (bounds.left < area.left || bounds.top < area.top || bounds.right > area.right ||
        bounds.bottom > area.bottom) {
      finding(control, "outside the wizard");
    }
    const std::string text = TextOf(control);
    const std::string kind = ClassOf(control);
    if (text.empty() || (kind != "Static" && kind != "Button"))
      continue;
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    if (kind == "Static" && (style & SS_TYPEMASK) == SS_BITMAP)
      continue;
    const bool radio = kind == "Button" && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
    const int width = bounds.right - bounds.left - (radio ? 16 : kind == "Button" ? 4 : 0);
    const int needed = font.HeightAt(text, width, kind == "Static");
    if (needed < 0 || needed > bounds.bottom - bounds.top)
      finding(control, "text does not fit");
  }
  if (shown_on_page == 0) {
    std::printf("-\tthe page shows nothing\t\n");
    ++findings;
  }
  return findings == 0 ? 0 : 1;
}

int WatchProgress(HWND wizard, double seconds) {
  const DWORD start = ::GetTickCount();
  std::string last;
  WaitUntil(seconds, [&] {
    if (!::IsWindow(wizard))
      return true;
    const HWND page = CurrentPage(wizard);
    const HWND bar = page != nullptr ? ::GetDlgItem(page, kProgressBar) : nullptr;
    if (bar == nullptr)
      return false;
    const std::string now = std::to_string(Ask(bar, PBM_GETPOS, 0, 0)) + "\t" +
                            Escaped(TextOf(::GetDlgItem(page, kProgressLabel)));
    if (now != last) {
      std::printf("%lu\t%s\n", ::GetTickCount() - start, now.c_str());
      std::fflush(stdout);
      last = now;
    }
    return false;
  });
  return 0;
}

// The wizard as it shows on the screen, bottom-up rows of 24-bit pixels.
int Shot(HWND wizard, const char* path) {
  RECT bounds{};
  ::GetWindowRect(wizard, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  const HBITMAP picture = ::CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = ::SelectObject(memory, picture);
  ::BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
  ::SelectObject(memory, previous);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int row = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<std::size_t>(row) * height);
  const int rows = ::GetDIBits(memory, picture, 0, height, pixels.data(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ::DeleteObject(picture);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  if (rows != height)
    return 1;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out ? 0 : 1;
}

int Fail(const char* what) {
  std::fprintf(stderr, "wizard_driver: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3)
    return 2;
  const std::string command = argv[1];
  const char* caption = argv[2];
  const auto seconds_at = [&](int index) { return argc > index ? std::atof(argv[index]) : 30.0; };
  if (command == "wait") {
    HWND wizard = nullptr;
    if (!WaitUntil(seconds_at(3), [&] { return (wizard = FindWizard(caption)) != nullptr; }))
      return Fail("no wizard");
    std::printf("%d\n", PageIndex(wizard));
    return 0;
  }
  if (command == "wait-gone")
    return WaitUntil(seconds_at(3), [&] { return FindWizard(caption) == nullptr; })
               ? 0
               : Fail("the wizard is still there");
  if (command == "wait-page" && argc > 3) {
    const int index = std::atoi(argv[3]);
    return WaitUntil(seconds_at(4),
                     [&] {
                       const HWND wizard = FindWizard(caption);
                       return wizard != nullptr && PageIndex(wizard) == index;
                     })
               ? 0
               : Fail("the page did not show");
  }
  const HWND wizard = FindWizard(caption);
  if (wizard == nullptr)
    return Fail("no wizard");
  if (command == "state")
    return State(wizard);
  if (command == "press" && argc > 3)
    return Press(wizard, argv[3]);
  if (command == "check" && argc > 3) {
    const HWND button = ::GetDlgItem(CurrentPage(wizard), std::atoi(argv[3]));
    return button != nullptr && ::PostMessageA(button, BM_CLICK, 0, 0) ? 0
                                                                       : Fail("no such control");
  }
  if (command == "layout")
    return Layout(wizard);
  if (command == "watch-progress" && argc > 3)
    return WatchProgress(wizard, seconds_at(3));
  if (command == "foreground") {
    const HWND front = ::GetForegroundWindow();
    std::printf("%d\n", front == wizard || ::GetParent(front) == wizard ? 1 : 0);
    return 0;
  }
  if (command == "shot" && argc > 3)
    return Shot(wizard, argv[3]);
  return 2;
}
