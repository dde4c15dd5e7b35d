// Test helper: watches for message boxes, records each one's caption and text, and answers it.
//
//   box_watcher.exe RECORD_FILE ANSWER [SECONDS]
//
// ANSWER is "ok", "cancel", or a list such as "cancel,ok" used one box after the other (the last
// one repeats). Every box found is appended to RECORD_FILE as "caption<TAB>text" on one line (its
// line breaks written as "\n"). The watcher ends after SECONDS (default 60) or when the file
// RECORD_FILE.stop appears.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a message box's text

struct Watch {
  std::vector<int> answers;
  std::size_t answered = 0;
  std::set<HWND> seen;
  std::string record_path;
};

std::vector<int> ParseAnswers(const std::string& list) {
  std::vector<int> answers;
  std::stringstream stream(list);
  std::string word;
  while (std::getline(stream, word, ','))
    answers.push_back(word == "cancel" ? IDCANCEL : IDOK);
  if (answers.empty())
    answers.push_back(IDOK);
  return answers;
}

// One record line: line breaks of a box's text are written as "\n".
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else if (c != '\r') {
      line += c;
    }
  }
  return line;
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter) {
  auto& watch = *reinterpret_cast<Watch*>(parameter);
  char class_name[64] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  if (std::string(class_name) != "#32770" || !IsWindowVisible(window) ||
      GetDlgItem(window, kMessageTextId) == nullptr || watch.seen.count(window) != 0) {
    return TRUE;
  }
  watch.seen.insert(window);
  char text[4096] = {};
  GetDlgItemTextA(window, kMessageTextId, text, sizeof text);
  if (FILE* record = std::fopen(watch.record_path.c_str(), "ab")) {
    std::fprintf(record, "%s\t%s\n", WindowText(window).c_str(), OneLine(text).c_str());
    std::fclose(record);
  }
  const int answer = watch.answers[std::min(watch.answered, watch.answers.size() - 1)];
  ++watch.answered;
  // An OK-only box has no Cancel button; both answers then press the one it has.
  const int button = GetDlgItem(window, answer) != nullptr ? answer : IDOK;
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: box_watcher.exe RECORD_FILE ANSWER [SECONDS]\n");
    return 2;
  }
  Watch watch;
  watch.record_path = argv[1];
  watch.answers = ParseAnswers(argv[2]);
  const DWORD seconds = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 60;
  const std::string stop_path = watch.record_path + ".stop";
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < seconds * 1000) {
    if (GetFileAttributesA(stop_path.c_str()) != INVALID_FILE_ATTRIBUTES)
      break;
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&watch));
    Sleep(100);
  }
  return 0;
}
