// Fake controls for Form1, one per row of the layout table. Every change lands
// in one journal, so a test sees what changed and in which order.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "form1_layout.h"
#include "window_controls.h"

namespace corvane::testing {

using Journal = std::vector<std::wstring>;
using layout::ControlRow;

template <typename Kind>
struct Fake : Kind {
  Fake(const ControlRow& row, Journal& changes)
      : name(row.name), enabled(row.enabled), journal(changes) {}
  void Record(const std::wstring& change) { journal.push_back(name + L"." + change); }
  void RecordEnabled(bool value) { Record((enabled = value) ? L"Enabled=true" : L"Enabled=false"); }
  std::wstring name;
  bool enabled;
  Journal& journal;
};

struct FakeLabel final : Fake<Label> {
  FakeLabel(const ControlRow& row, Journal& changes) : Fake(row, changes), caption(row.caption) {}
  void SetCaption(const std::wstring& text) override { Record(L"Caption=" + (caption = text)); }
  std::wstring caption;
};

struct FakeTextBox final : Fake<TextBox> {
  FakeTextBox(const ControlRow& row, Journal& changes) : Fake(row, changes), text(row.caption) {}
  void SetText(const std::wstring& value) override { Record(L"Text=" + (text = value)); }
  std::wstring text;
};

struct FakeButton final : Fake<Button> {
  using Fake::Fake;
  void SetEnabled(bool value) override { RecordEnabled(value); }
  void SetClickHandler(std::function<void()> handler) override { onClick = std::move(handler); }
  void Click() const {
    if (enabled && onClick) onClick();
  }
  std::function<void()> onClick;
};

// An index outside the list throws: the window asked for what is not there.
struct FakeComboBox final : Fake<ComboBox> {
  using Fake::Fake;
  void SetEnabled(bool value) override { RecordEnabled(value); }
  void Clear() override {
    entries.clear();
    selected = -1;
  }
  void Append(const std::wstring& entry) override { entries.push_back(entry); }
  int Count() const override { return static_cast<int>(entries.size()); }
  std::wstring EntryAt(int index) const override { return entries.at(std::size_t(index)); }
  void Select(int index) override {
    entries.at(std::size_t(index));
    selected = index;
  }
  std::wstring Text() const override { return selected < 0 ? L"" : EntryAt(selected); }
  std::vector<std::wstring> entries{layout::kInitialPortEntries.begin(),
                                    layout::kInitialPortEntries.end()};
  int selected = -1;
};

struct FakeMsgBox final : MsgBox {
  explicit FakeMsgBox(Journal& changes) : journal(changes) {}
  void Show(const std::wstring& text) override {
    shown.push_back(text);
    journal.push_back(L"MsgBox " + text);
    if (whileShown) whileShown(text);
  }
  Journal& journal;
  std::vector<std::wstring> shown;
  // Runs while a box is up, as the event loop would.
  std::function<void(const std::wstring& text)> whileShown;
};

// Makes the fakes, as a toolkit makes its adapters.
struct FakeMaker {
  auto MakeButton(const ControlRow& row) { return std::make_unique<FakeButton>(row, journal); }
  auto MakeComboBox(const ControlRow& row) { return std::make_unique<FakeComboBox>(row, journal); }
  auto MakeLabel(const ControlRow& row) { return std::make_unique<FakeLabel>(row, journal); }
  auto MakeTextBox(const ControlRow& row) { return std::make_unique<FakeTextBox>(row, journal); }
  Journal& journal;
};

struct FakeForm {
  Journal journal;
  WindowControls<FakeButton, FakeComboBox, FakeLabel, FakeTextBox> controls{FakeMaker{journal}};
  FakeMsgBox msgBox{journal};
  // The controls Form1 changes, for the tests to read.
  FakeButton& btDisattiva = controls[control::btDisattiva];
  FakeButton& btAttiva = controls[control::btAttiva];
  FakeComboBox& cbCom = controls[control::cbCom];
  FakeLabel& Label5 = controls[control::Label5];
  FakeTextBox& Text1 = controls[control::Text1];
  FakeTextBox& Text2 = controls[control::Text2];
};

}  // namespace corvane::testing
