// Reading and working another process's Win32 window the way an operator
// does: by what is on screen, through messages the system carries across
// processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace corvane::wintest {

// Polls `condition` until it holds or `seconds` have passed.
bool WaitUntil(const std::function<bool()>& condition, double seconds = 30);

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);  // WM_GETTEXT
std::vector<HWND> ChildrenInOrder(HWND parent);

// Visible top-level windows of process `pid` with class `className`.
std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* className);

std::vector<std::wstring> ComboEntries(HWND combo);
std::wstring ComboSelection(HWND combo);  // empty when none is selected
int ComboIndexOf(HWND combo, const std::wstring& entry);

// Posts a click, refusing (false) a button that is disabled.
bool ClickButton(HWND button);

struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
  std::vector<std::wstring> buttons;
  bool hasIcon = false;
};
// The message box the process shows, if any.
bool FindMessageBox(DWORD pid, MessageBoxSeen& seen);
void DismissMessageBox(const MessageBoxSeen& seen);

std::string Narrow(const std::wstring& text);

}  // namespace corvane::wintest
