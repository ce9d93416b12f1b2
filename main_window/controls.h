// The window's controls as the window's logic uses them: only the operations
// it performs, so a front end wraps its toolkit's widgets in a few lines and a
// test fakes them just as easily.
#pragma once

#include <functional>
#include <string>

namespace corvane {

class Label {
 public:
  virtual ~Label() = default;
  virtual void SetCaption(const std::wstring& caption) = 0;
};

class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual void SetText(const std::wstring& text) = 0;
};

class Button {
 public:
  virtual ~Button() = default;
  virtual void SetEnabled(bool enabled) = 0;
  // Runs `handler` on every click, by mouse or by the access key.
  virtual void SetClickHandler(std::function<void()> handler) = 0;
};

// A drop-down list whose entries can only be picked. Indexes count from 0.
class ComboBox {
 public:
  virtual ~ComboBox() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void Clear() = 0;
  virtual void Append(const std::wstring& entry) = 0;
  virtual int Count() const = 0;
  virtual std::wstring EntryAt(int index) const = 0;
  virtual void Select(int index) = 0;
  // The selected entry, or the empty text when none is selected.
  virtual std::wstring Text() const = 0;
};

// A modal message box: the text, one OK button, no icon, the application's
// title as caption. Returns when the operator has closed it.
class MsgBox {
 public:
  virtual ~MsgBox() = default;
  virtual void Show(const std::wstring& text) = 0;
};

// The controls Form1 changes or listens to, each as the interface of its kind.
// Filled from the layout table's controls by WindowControls::ForForm1.
struct Form1Controls {
  Button& btDisattiva;
  Button& btAttiva;
  ComboBox& cbCom;
  Label& Label5;
  TextBox& Text1;
  TextBox& Text2;
};

}  // namespace corvane
