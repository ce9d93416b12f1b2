// The window's controls as a toolkit makes them from the layout table, and the
// handles by which code names one of them.
//
// A handle is checked against the table when it is compiled: a name the table
// lacks, or a control of another kind than the handle's, does not compile.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "controls.h"
#include "form1_layout.h"

namespace corvane {

// The kind of control in the table that each interface stands for.
template <typename Interface>
struct KindOf;
template <>
struct KindOf<Button> : std::integral_constant<layout::Kind, layout::Kind::PushButton> {};
template <>
struct KindOf<ComboBox> : std::integral_constant<layout::Kind, layout::Kind::DropDownList> {};
template <>
struct KindOf<Label> : std::integral_constant<layout::Kind, layout::Kind::Label> {};
template <>
struct KindOf<TextBox> : std::integral_constant<layout::Kind, layout::Kind::TextBox> {};

// A control of the table, by its row, known to have the interface's kind.
template <typename Interface>
struct ControlId {
  std::size_t row;

  constexpr const wchar_t* Name() const { return layout::kControls[row].name; }
};

// Never defined: a call to either in a constant expression is the compile error
// a wrong handle gets, and its name says what is wrong.
void NoControlOfThisNameInTheLayoutTable();
void TheLayoutTableGivesThisControlAnotherKind();

template <typename Interface>
consteval ControlId<Interface> Row(std::wstring_view name) {
  const std::size_t row = layout::IndexOf(name);
  if (row == layout::kControls.size()) NoControlOfThisNameInTheLayoutTable();
  if (layout::kControls[row].kind != KindOf<Interface>::value) {
    TheLayoutTableGivesThisControlAnotherKind();
  }
  return {row};
}

// The controls the program's code names.
namespace control {
inline constexpr ControlId<Button> btDisattiva = Row<Button>(L"btDisattiva");
inline constexpr ControlId<Button> btAttiva = Row<Button>(L"btAttiva");
inline constexpr ControlId<ComboBox> cbCom = Row<ComboBox>(L"cbCom");
inline constexpr ControlId<Label> Label5 = Row<Label>(L"Label5");
inline constexpr ControlId<TextBox> Text1 = Row<TextBox>(L"Text1");
inline constexpr ControlId<TextBox> Text2 = Row<TextBox>(L"Text2");
}  // namespace control

// One adapter for each row of the layout table, in the table's order, each of
// the toolkit's type for its kind. A toolkit makes them through a maker with
// one function per kind, each taking the row and returning the adapter:
// MakeButton, MakeComboBox, MakeLabel and MakeTextBox.
template <typename ButtonAdapter, typename ComboBoxAdapter, typename LabelAdapter,
          typename TextBoxAdapter>
class WindowControls {
 public:
  template <typename Maker>
  explicit WindowControls(Maker&& maker) {
    for (std::size_t row = 0; row < layout::kControls.size(); ++row) {
      const layout::ControlRow& control = layout::kControls[row];
      switch (control.kind) {
        case layout::Kind::PushButton:
          Put<Button>(row, maker.MakeButton(control));
          break;
        case layout::Kind::DropDownList:
          Put<ComboBox>(row, maker.MakeComboBox(control));
          break;
        case layout::Kind::Label:
          Put<Label>(row, maker.MakeLabel(control));
          break;
        case layout::Kind::TextBox:
          Put<TextBox>(row, maker.MakeTextBox(control));
          break;
      }
    }
  }

  template <typename Interface>
  auto& operator[](ControlId<Interface> id) const {
    return *std::get<kSlot<Interface>>(m_adapters[id.row]);
  }

  // The button of the table's row `row`; nullptr when the row is another kind.
  ButtonAdapter* ButtonAt(std::size_t row) const {
    const auto* button = std::get_if<kSlot<Button>>(&m_adapters.at(row));
    return button != nullptr ? button->get() : nullptr;
  }

  Form1Controls ForForm1() const {
    return {.btDisattiva = (*this)[control::btDisattiva],
            .btAttiva = (*this)[control::btAttiva],
            .cbCom = (*this)[control::cbCom],
            .Label5 = (*this)[control::Label5],
            .Text1 = (*this)[control::Text1],
            .Text2 = (*this)[control::Text2]};
  }

 private:
  // The variant's alternative that holds a control of the interface's kind:
  // the adapters are listed in the order of layout::Kind.
  template <typename Interface>
  static constexpr std::size_t kSlot = static_cast<std::size_t>(KindOf<Interface>::value);

  template <typename Interface, typename Made>
  void Put(std::size_t row, Made made) {
    m_adapters[row].template emplace<kSlot<Interface>>(std::move(made));
  }

  std::array<std::variant<std::unique_ptr<ButtonAdapter>, std::unique_ptr<ComboBoxAdapter>,
                          std::unique_ptr<LabelAdapter>, std::unique_ptr<TextBoxAdapter>>,
             layout::kControls.size()>
      m_adapters;
};

}  // namespace corvane
