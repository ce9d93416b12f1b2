// Fake controls for driving Form1 without a toolkit. Every call lands in one
// journal, so a test can check what changed and in which order; controls that
// the window must never touch fail the test if it does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "main_window/controls.h"
#include "main_window/form1.h"

namespace corvane::testing {

using Journal = std::vector<std::wstring>;

inline std::wstring EnabledText(bool enabled) { return enabled ? L"true" : L"false"; }

class FakeLabel final : public Label {
 public:
  FakeLabel(std::wstring name, Journal& journal, std::wstring initialCaption, bool mayChange)
      : caption(std::move(initialCaption)),
        m_name(std::move(name)),
        m_journal(journal),
        m_mayChange(mayChange) {}
  void SetCaption(const std::wstring& text) override {
    if (!m_mayChange) ADD_FAILURE() << "static label changed";
    caption = text;
    m_journal.push_back(m_name + L".Caption=" + text);
  }
  std::wstring caption;

 private:
  std::wstring m_name;
  Journal& m_journal;
  bool m_mayChange;
};

class FakeTextBox final : public TextBox {
 public:
  FakeTextBox(std::wstring name, Journal& journal) : m_name(std::move(name)), m_journal(journal) {}
  void SetText(const std::wstring& value) override {
    text = value;
    m_journal.push_back(m_name + L".Text=" + value);
  }
  std::wstring text;

 private:
  std::wstring m_name;
  Journal& m_journal;
};

class FakeButton final : public Button {
 public:
  FakeButton(std::wstring name, Journal& journal, bool initiallyEnabled)
      : enabled(initiallyEnabled), m_name(std::move(name)), m_journal(journal) {}
  void SetEnabled(bool value) override {
    enabled = value;
    m_journal.push_back(m_name + L".Enabled=" + EnabledText(value));
  }
  bool enabled;

 private:
  std::wstring m_name;
  Journal& m_journal;
};

class FakeComboBox final : public ComboBox {
 public:
  explicit FakeComboBox(Journal& journal) : m_journal(journal) {}
  void SetEnabled(bool value) override {
    enabled = value;
    m_journal.push_back(L"cbCom.Enabled=" + EnabledText(value));
  }
  void Clear() override {
    entries.clear();
    selected = -1;
  }
  void AddItem(const std::wstring& entry) override { entries.push_back(entry); }
  int ListCount() const override { return static_cast<int>(entries.size()); }
  std::wstring List(int index) const override {
    EXPECT_GE(index, 0);
    EXPECT_LT(index, ListCount());
    return entries.at(static_cast<std::size_t>(index));
  }
  void SetListIndex(int index) override {
    EXPECT_GE(index, 0);
    EXPECT_LT(index, ListCount());
    selected = index;
  }
  std::wstring Text() const override {
    return selected < 0 ? std::wstring() : entries.at(static_cast<std::size_t>(selected));
  }

  std::vector<std::wstring> entries{L"USB ANY", L"COM1", L"COM2", L"COM3", L"COM4"};
  int selected = -1;
  bool enabled = true;

 private:
  Journal& m_journal;
};

class FakeMsgBox final : public MsgBox {
 public:
  explicit FakeMsgBox(Journal& journal) : m_journal(journal) {}
  void Show(const std::wstring& text) override {
    shown.push_back(text);
    m_journal.push_back(L"MsgBox " + text);
  }
  std::vector<std::wstring> shown;

 private:
  Journal& m_journal;
};

// The whole window's worth of fake controls, in their initial state.
struct FakeForm {
  Journal journal;
  FakeButton btDisattiva{L"btDisattiva", journal, false};
  FakeButton btAttiva{L"btAttiva", journal, true};
  FakeComboBox cbCom{journal};
  FakeLabel Label2{L"Label2", journal, L"connected to", false};
  FakeLabel Label4{L"Label4", journal, L"Status:", false};
  FakeLabel Label5{L"Label5", journal, L"Disabled", true};
  FakeLabel Label1{L"Label1", journal, L"Batch n.", false};
  FakeTextBox Text1{L"Text1", journal};
  FakeLabel Label3{L"Label3", journal, L"S.N.", false};
  FakeTextBox Text2{L"Text2", journal};
  FakeMsgBox msgBox{journal};

  Form1Controls Controls() {
    return {btDisattiva, btAttiva, cbCom,  Label2, Label4, Label5,
            Label1,      Text1,    Label3, Text2,  msgBox};
  }
};

}  // namespace corvane::testing
