#include "controls.h"

#include <stdexcept>

#include "form1_layout.h"

namespace corvane {
namespace {

std::string Narrow(std::wstring_view name) { return {name.begin(), name.end()}; }

}  // namespace

void ControlSet::Add(std::unique_ptr<Control> control) {
  if (control == nullptr || m_controls.size() == layout::kControls.size()) {
    throw std::logic_error("the layout table has no row for another control");
  }
  m_controls.push_back(std::move(control));
}

Control& ControlSet::At(std::wstring_view name) const {
  const std::size_t index = layout::IndexOf(name);
  if (index >= m_controls.size()) {
    throw std::logic_error("no control named " + Narrow(name));
  }
  return *m_controls[index];
}

void ControlSet::ThrowWrongKind(std::wstring_view name) {
  throw std::logic_error("control " + Narrow(name) + " is not of the kind asked for");
}

}  // namespace corvane
