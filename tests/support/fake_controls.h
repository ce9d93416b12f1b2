// Fake controls for driving Form1 without a toolkit, one for each row of the
// layout table. Every change lands in one journal, so a test can check what
// changed and in which order.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "form1_layout.h"

namespace corvane::testing {

using Journal = std::vector<std::wstring>;

class FakeControl {
 public:
  FakeControl(const layout::ControlRow& row, Journal& journal)
      : m_name(row.name), m_journal(journal) {}

 protected:
  void Record(const std::wstring& change) { m_journal.push_back(m_name + L"." + change); }

 private:
  std::wstring m_name;
  Journal& m_journal;
};

inline std::wstring EnabledText(bool enabled) { return enabled ? L"true" : L"false"; }

class FakeLabel final : public Label, FakeControl {
 public:
  FakeLabel(const layout::ControlRow& row, Journal& journal)
      : FakeControl(row, journal), caption(row.caption) {}
  void SetCaption(const std::wstring& text) override {
    caption = text;
    Record(L"Caption=" + text);
  }
  std::wstring caption;
};

class FakeTextBox final : public TextBox, FakeControl {
 public:
  FakeTextBox(const layout::ControlRow& row, Journal& journal)
      : FakeControl(row, journal), text(row.caption) {}
  void SetText(const std::wstring& value) override {
    text = value;
    Record(L"Text=" + value);
  }
  std::wstring text;
};

class FakeButton final : public Button, FakeControl {
 public:
  FakeButton(const layout::ControlRow& row, Journal& journal)
      : FakeControl(row, journal), enabled(row.enabled) {}
  void SetEnabled(bool value) override {
    enabled = value;
    Record(L"Enabled=" + EnabledText(value));
  }
  void SetClickHandler(std::function<void()> handler) override { onClick = std::move(handler); }
  // What a click on an enabled button does.
  void Click() const {
    if (enabled && onClick) onClick();
  }
  bool enabled;
  std::function<void()> onClick;
};

class FakeComboBox final : public ComboBox, FakeControl {
 public:
  FakeComboBox(const layout::ControlRow& row, Journal& journal)
      : FakeControl(row, journal),
        entries(layout::kInitialPortEntries.begin(), layout::kInitialPortEntries.end()),
        enabled(row.enabled) {}
  void SetEnabled(bool value) override {
    enabled = value;
    Record(L"Enabled=" + EnabledText(value));
  }
  void Clear() override {
    entries.clear();
    selected = -1;
  }
  void Append(const std::wstring& entry) override { entries.push_back(entry); }
  int Count() const override { return static_cast<int>(entries.size()); }
  // An index outside the list throws: the window asked for what is not there.
  std::wstring EntryAt(int index) const override {
    return entries.at(static_cast<std::size_t>(index));
  }
  void Select(int index) override {
    entries.at(static_cast<std::size_t>(index));
    selected = index;
  }
  std::wstring Text() const override {
    return selected < 0 ? std::wstring() : entries.at(static_cast<std::size_t>(selected));
  }

  std::vector<std::wstring> entries;
  int selected = -1;
  bool enabled;
};

class FakeMsgBox final : public MsgBox {
 public:
  explicit FakeMsgBox(Journal& journal) : m_journal(journal) {}
  void Show(const std::wstring& text) override {
    shown.push_back(text);
    m_journal.push_back(L"MsgBox " + text);
    if (whileShown) whileShown(text);
  }
  std::vector<std::wstring> shown;
  // Runs while a box is up, as the event loop would.
  std::function<void(const std::wstring& text)> whileShown;

 private:
  Journal& m_journal;
};

// The whole window's worth of fake controls, in their initial state.
struct FakeForm {
  Journal journal;
  ControlSet controls = Build(journal);
  FakeMsgBox msgBox{journal};

  template <typename Fake>
  Fake& Get(const wchar_t* name) {
    return controls.Get<Fake>(name);
  }
  // The controls Form1 changes, for the tests to read.
  FakeButton& btDisattiva = Get<FakeButton>(L"btDisattiva");
  FakeButton& btAttiva = Get<FakeButton>(L"btAttiva");
  FakeComboBox& cbCom = Get<FakeComboBox>(L"cbCom");
  FakeLabel& Label5 = Get<FakeLabel>(L"Label5");
  FakeTextBox& Text1 = Get<FakeTextBox>(L"Text1");
  FakeTextBox& Text2 = Get<FakeTextBox>(L"Text2");

 private:
  static ControlSet Build(Journal& journal) {
    ControlSet controls;
    for (const layout::ControlRow& row : layout::kControls) {
      switch (row.kind) {
        case layout::Kind::PushButton:
          controls.Add(std::make_unique<FakeButton>(row, journal));
          break;
        case layout::Kind::DropDownList:
          controls.Add(std::make_unique<FakeComboBox>(row, journal));
          break;
        case layout::Kind::Label:
          controls.Add(std::make_unique<FakeLabel>(row, journal));
          break;
        case layout::Kind::TextBox:
          controls.Add(std::make_unique<FakeTextBox>(row, journal));
          break;
      }
    }
    return controls;
  }
};

}  // namespace corvane::testing
