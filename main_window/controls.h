// The window's controls as the window's logic uses them: only the operations
// it performs, so a front end wraps its toolkit's widgets in a few lines and a
// test fakes them just as easily.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// What every control adapter is, so one set can hold them all.
class Control {
 public:
  virtual ~Control() = default;
};

class Label : public Control {
 public:
  virtual void SetCaption(const std::wstring& caption) = 0;
};

class TextBox : public Control {
 public:
  virtual void SetText(const std::wstring& text) = 0;
};

class Button : public Control {
 public:
  virtual void SetEnabled(bool enabled) = 0;
  // Runs `handler` on every click, by mouse or by the access key.
  virtual void SetClickHandler(std::function<void()> handler) = 0;
};

// A drop-down list whose entries can only be picked. Indexes count from 0.
class ComboBox : public Control {
 public:
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

// The window's controls, one adapter for each row of the layout table, held
// in the table's order and found by the name the table gives.
class ControlSet {
 public:
  // Appends the adapter for the table's next row.
  void Add(std::unique_ptr<Control> control);
  std::size_t Size() const { return m_controls.size(); }

  // The control named `name`, as the interface of its kind. A name the table
  // lacks, or a kind the adapter does not have, is a programming error.
  template <typename Kind>
  Kind& Get(std::wstring_view name) const {
    auto* control = dynamic_cast<Kind*>(&At(name));
    if (control == nullptr) ThrowWrongKind(name);
    return *control;
  }

 private:
  Control& At(std::wstring_view name) const;
  [[noreturn]] static void ThrowWrongKind(std::wstring_view name);

  std::vector<std::unique_ptr<Control>> m_controls;
};

}  // namespace corvane
