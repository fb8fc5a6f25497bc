// Forms and controls: their properties, values and click events.
// SPDX-License-Identifier: MIT
#include "form/form.h"

#include <stdexcept>
#include <utility>

#include "errors/error.h"

namespace {

[[noreturn]] void RaiseProperty(ErrorNumber number, const std::string& control) {
  throw RuntimeError(number, control);
}

}  // namespace

std::string_view ClassNameOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kLabel:
      return "Label";
    case ControlKind::kCommandButton:
      return "CommandButton";
    case ControlKind::kCheckBox:
      return "CheckBox";
    case ControlKind::kFrame:
      return "Frame";
  }
  return "";
}

Control::Control(ControlDesign design)
    : design_(std::move(design)), caption_(design_.caption), enabled_(design_.enabled) {}

PropertyValue Control::Property(std::string_view name) const {
  if (name == "Name") return design_.name;
  if (name == "Tag") return design_.tag;
  if (name == "Caption") return caption_;
  if (name == "ToolTipText") return tool_tip_;
  if (name == "WhatsThisHelpID") return design_.help_id;
  if (name == "Index") {
    if (design_.index < 0) RaiseProperty(ErrorNumber::kNotAnArray, design_.name);
    return design_.index;
  }
  RaiseProperty(ErrorNumber::kNoSuchProperty, design_.name);
}

void Control::SetProperty(std::string_view name, const PropertyValue& value) {
  const std::string* text = std::get_if<std::string>(&value);
  if (name == "Caption" && text != nullptr) return SetCaption(*text);
  if (name == "ToolTipText" && text != nullptr) return SetToolTipText(*text);
  if (name == "Tag" && text != nullptr) {
    design_.tag = *text;
    return Changed();
  }
  RaiseProperty(ErrorNumber::kNoSuchProperty, design_.name);
}

void Control::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}

void Control::SetToolTipText(const std::string& text) {
  tool_tip_ = text;
  Changed();
}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed();
}

void Control::SetBackColor(std::uint32_t color) {
  back_color_ = color;
  Changed();
}

void Control::SetValue(int value) {
  if (value == value_) return;
  value_ = value;
  Changed();
  Click();
}

void Control::Click() const {
  if (on_click) on_click();
}

void Control::Changed() const {
  if (on_change) on_change(*this);
}

Form::Form(std::string caption, const std::vector<ControlDesign>& table)
    : caption_(std::move(caption)) {
  controls_.reserve(table.size());
  for (const ControlDesign& design : table) controls_.push_back(std::make_unique<Control>(design));
}

Control& Form::operator[](std::string_view name) {
  for (const auto& control : controls_) {
    if (control->Name() == name) return *control;
  }
  throw std::out_of_range("no control named " + std::string(name));
}

void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (on_change) on_change();
}

void Form::SetPointer(MousePointer pointer) {
  pointer_ = pointer;
  if (on_change) on_change();
}

void Form::SetLanguage(const std::string& language) {
  language_ = language;
  if (on_change) on_change();
}
