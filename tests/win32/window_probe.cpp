#include "window_probe.h"

#include <algorithm>

namespace corvane::wintest {
namespace {

constexpr UINT kReplyTimeoutMs = 5000;
// The dialog manager gives a message box's text this ID.
constexpr int kMessageBoxTextId = 0xFFFF;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                          &result) == 0) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, double seconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

std::vector<HWND> ChildrenInOrder(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.pid && IsWindowVisible(window) && ClassOf(window) == search.className) {
    search.found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* className) {
  WindowSearch search{pid, className, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<std::wstring> ComboEntries(HWND combo) {
  std::vector<std::wstring> entries;
  const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
  for (WPARAM index = 0; count > 0 && index < static_cast<WPARAM>(count); ++index) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, index, 0);
    std::wstring entry(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
    const LRESULT copied = Send(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    entries.push_back(entry);
  }
  return entries;
}

std::wstring ComboSelection(HWND combo) {
  const LRESULT selected = Send(combo, CB_GETCURSEL, 0, 0);
  const std::vector<std::wstring> entries = ComboEntries(combo);
  if (selected < 0 || static_cast<std::size_t>(selected) >= entries.size()) return {};
  return entries[static_cast<std::size_t>(selected)];
}

int ComboIndexOf(HWND combo, const std::wstring& entry) {
  const std::vector<std::wstring> entries = ComboEntries(combo);
  const auto found = std::find(entries.begin(), entries.end(), entry);
  return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

bool ClickButton(HWND button) {
  if (!IsWindowEnabled(button)) return false;
  return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool FindMessageBox(DWORD pid, MessageBoxSeen& seen) {
  const std::vector<HWND> boxes = TopLevelWindows(pid, L"#32770");
  if (boxes.empty()) return false;
  seen = MessageBoxSeen{};
  seen.window = boxes.front();
  seen.caption = TextOf(seen.window);
  for (HWND child : ChildrenInOrder(seen.window)) {
    // The box's template holds every kind of button and an icon; the ones
    // this box does not use stay hidden.
    if (!IsWindowVisible(child)) continue;
    const std::wstring className = ClassOf(child);
    if (GetDlgCtrlID(child) == kMessageBoxTextId) {
      seen.text = TextOf(child);
    } else if (className == L"Button") {
      seen.buttons.push_back(TextOf(child));
    } else if (className == L"Static" &&
               (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      // Some systems keep an empty icon control in every box.
      seen.hasIcon = seen.hasIcon || Send(child, STM_GETICON, 0, 0) > 0;
    }
  }
  return true;
}

void DismissMessageBox(const MessageBoxSeen& seen) {
  for (HWND child : ChildrenInOrder(seen.window)) {
    if (ClassOf(child) == L"Button" && IsWindowVisible(child)) {
      PostMessageW(child, BM_CLICK, 0, 0);
      return;
    }
  }
  PostMessageW(seen.window, WM_CLOSE, 0, 0);
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                      nullptr, nullptr);
  return narrow;
}

}  // namespace corvane::wintest
