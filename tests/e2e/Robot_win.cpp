#include "tests/e2e/Robot.h"

#include <cstdio>
#include <stdexcept>

namespace robot {

Process::Process(const std::wstring& exe) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring cmd = L"\"" + exe + L"\"";
  std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_))
    throw std::runtime_error("cannot start the program");
}

Process::~Process() {
  if (pi_.hProcess) {
    if (Running()) Kill();
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

bool Process::WaitExit(DWORD timeoutMs) { return WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0; }

DWORD Process::ExitCode() const {
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

bool Process::Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

void Process::Kill() {
  TerminateProcess(pi_.hProcess, 99);
  WaitForSingleObject(pi_.hProcess, 5000);
}

std::wstring Text(HWND w) {
  if (!w) return {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &n)) return {};
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG, 2000, &got);
  s.resize(got);
  return s;
}

namespace {
// The answer of the last control query, written by the reply window while the query waits.
std::wstring queryAnswer;
bool queryAnswered = false;

LRESULT CALLBACK ReplyProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    queryAnswer.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    queryAnswered = true;
    return TRUE;
  }
  return DefWindowProcW(w, msg, wParam, lParam);
}

HWND ReplyWindow() {
  static HWND window = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RobotQueryReply";
    RegisterClassW(&wc);
    return CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }();
  return window;
}
}  // namespace

ControlView QueryControl(HWND form, ULONG_PTR queryId, const std::string& name) {
  ControlView view;
  COPYDATASTRUCT query{queryId, static_cast<DWORD>(name.size()), const_cast<char*>(name.data())};
  queryAnswered = false;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(form, WM_COPYDATA, reinterpret_cast<WPARAM>(ReplyWindow()),
                           reinterpret_cast<LPARAM>(&query), SMTO_ABORTIFHUNG, 5000, &result) ||
      !result || !queryAnswered)
    return view;
  size_t line = queryAnswer.find(L'\n');
  if (line == std::wstring::npos) return view;
  int visible = 0;
  if (swscanf(queryAnswer.substr(0, line).c_str(), L"%d,%d,%d,%d,%d", &view.left, &view.top, &view.width,
              &view.height, &visible) != 5)
    return view;
  view.visible = visible != 0;
  view.text = queryAnswer.substr(line + 1);
  view.found = true;
  return view;
}

std::wstring ClassOf(HWND w) {
  wchar_t buf[256] = {};
  GetClassNameW(w, buf, 256);
  return buf;
}

HWND WaitFor(const std::function<HWND()>& find, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = find()) return h;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(20);
  }
}

namespace {
struct TopSearch {
  DWORD pid;
  const std::wstring* cls;
  const std::function<bool(const std::wstring&)>* match;
  HWND found = nullptr;
};

BOOL CALLBACK TopProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TopSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid || !IsWindowVisible(w)) return TRUE;
  if (!s->cls->empty() && ClassOf(w) != *s->cls) return TRUE;
  if (*s->match && !(*s->match)(Text(w))) return TRUE;
  s->found = w;
  return FALSE;
}

struct ChildSearch {
  const std::function<bool(HWND)>* pred;
  std::vector<HWND> found;
};

BOOL CALLBACK ChildProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if ((*s->pred)(w)) s->found.push_back(w);
  return TRUE;
}
}  // namespace

HWND TopWindow(DWORD pid, const std::wstring& cls, const std::function<bool(const std::wstring&)>& match) {
  TopSearch s{pid, &cls, &match};
  EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::vector<HWND> Children(HWND parent, const std::function<bool(HWND)>& pred) {
  ChildSearch s{&pred, {}};
  EnumChildWindows(parent, ChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND ChildWithText(HWND parent, const std::wstring& text, bool visibleOnly) {
  auto found = Children(parent, [&](HWND w) { return (!visibleOnly || IsWindowVisible(w)) && Text(w) == text; });
  return found.empty() ? nullptr : found.front();
}

Box WaitBox(DWORD pid, DWORD timeoutMs) {
  Box box;
  box.hwnd = WaitFor([&] { return TopWindow(pid, L"#32770"); }, timeoutMs);
  if (box.hwnd) {
    box.caption = Text(box.hwnd);
    box.text = Text(GetDlgItem(box.hwnd, 0xFFFF));
  }
  return box;
}

void Press(const Box& box, int id) {
  HWND button = GetDlgItem(box.hwnd, id);
  if (!button) throw std::runtime_error("the message box has no such button");
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  DWORD start = GetTickCount();
  while (IsWindow(box.hwnd) && GetTickCount() - start < 5000) Sleep(20);
}

void Click(HWND control) {
  RECT r;
  GetClientRect(control, &r);
  LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
  PostMessageW(control, WM_MOUSEMOVE, 0, at);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control, WM_LBUTTONUP, 0, at);
}

void ClickAt(HWND window, int x, int y) {
  LPARAM at = MAKELPARAM(x, y);
  PostMessageW(window, WM_MOUSEMOVE, 0, at);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

void SetEditText(HWND edit, const std::wstring& text) {
  SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000, nullptr);
}

void Settle(HWND window, DWORD timeoutMs) {
  DWORD_PTR r;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &r);
}

bool Screenshot(HWND window, const std::string& unixPath) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  char geometry[64];
  wsprintfA(geometry, "%dx%d+%d+%d", static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top),
            static_cast<int>(r.left), static_cast<int>(r.top));
  std::wstring wpath = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
  for (auto& c : wpath)
    if (c == L'/') c = L'\\';
  DeleteFileW(wpath.c_str());
  // Wine starts a Unix program without waiting for it, so the picture is written under a
  // temporary name and renamed when complete; the robot waits for the final name.
  std::string cmd = "Z:\\bin\\sh -c \"timeout 15 import -window root -crop " + std::string(geometry) + " +repage " +
                    unixPath + ".part.png && mv " + unixPath + ".part.png " + unixPath + "\"";
  std::wstring wcmd(cmd.begin(), cmd.end());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, wcmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 20000) {
    if (GetFileAttributesW(wpath.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace robot
