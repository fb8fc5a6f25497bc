// A form built from its table of controls, with the state the program reads and sets.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "form/design_colours.h"

enum class ControlKind { kLabel, kCommandButton, kCheckBox, kFrame };

// The class name the toolkit reports for a kind; the text walk compares it.
std::string_view ClassNameOf(ControlKind kind);

// The button pictures, by the names the table of controls gives them.
inline constexpr const char* kPictureHelp = "help";
inline constexpr const char* kPictureOk = "ok";
inline constexpr const char* kPictureCancel = "cancel";

struct FontDesign {
  std::string_view family{};  // a literal; empty: the form's default font
  double points = 0;
  bool bold = false;
};

// One row of a form's table of controls. Positions are in twips relative to the container.
struct ControlDesign {
  std::string name{};
  ControlKind kind = ControlKind::kLabel;
  std::string container{};  // empty: the form itself
  std::string caption{};
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int tab_index = 0;
  std::int32_t help_id = 0;
  FontDesign font{};
  std::string tag{};
  int index = -1;  // member of a control array when >= 0
  bool enabled = true;
  std::string picture{};  // name of the button picture, empty for none
};

// The language the window is designed in (German).
inline constexpr const char* kDesignLanguage = "1031";

using PropertyValue = std::variant<std::int32_t, std::string>;

// A control of a form with the state the program reads and sets. A view may mirror it on screen.
class Control {
 public:
  explicit Control(ControlDesign design);

  const ControlDesign& design() const { return design_; }
  std::string ClassName() const { return std::string(ClassNameOf(design_.kind)); }

  // The properties by name, as the text walk uses them: "Name", "Index", "Tag", "Caption",
  // "ToolTipText", "WhatsThisHelpID"; the texts but "Name" can be set. An unknown name raises
  // error 438; "Index" of a control outside an array raises error 343.
  PropertyValue Property(std::string_view name) const;
  void SetProperty(std::string_view name, const PropertyValue& value);

  const std::string& Name() const { return design_.name; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const std::string& ToolTipText() const { return tool_tip_; }
  void SetToolTipText(const std::string& text);
  std::int32_t WhatsThisHelpID() const { return design_.help_id; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::uint32_t BackColor() const { return back_color_; }
  void SetBackColor(std::uint32_t color);

  // Check boxes: 0 unticked, 1 ticked. A value set that changes it raises the click event, as
  // a user's click does.
  int Value() const { return value_; }
  void SetValue(int value);

  // Raises the click event.
  void Click() const;

  std::function<void()> on_click;
  // Runs after any property changed; the on-screen view listens here.
  std::function<void(const Control&)> on_change;

 private:
  void Changed() const;

  ControlDesign design_;
  std::string caption_;
  std::string tool_tip_;
  bool enabled_;
  std::uint32_t back_color_ = kDesignBackColor;
  int value_ = 0;
};

enum class MousePointer { kDefault, kHourglass };

// A form built from its table of controls: the controls in table order, its caption and its
// mouse pointer. Without a view it is the headless form of silent runs and tests.
class Form {
 public:
  Form(std::string caption, const std::vector<ControlDesign>& table);

  int Count() const { return static_cast<int>(controls_.size()); }
  Control& At(int position) { return *controls_.at(static_cast<std::size_t>(position)); }
  // The first control of that name; the program asks only for names it designed.
  Control& operator[](std::string_view name);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  MousePointer Pointer() const { return pointer_; }
  void SetPointer(MousePointer pointer);
  // The language code the texts were loaded in; the design language until then.
  const std::string& Language() const { return language_; }
  void SetLanguage(const std::string& language);

  std::function<void()> on_change;

 private:
  std::string caption_;
  MousePointer pointer_ = MousePointer::kDefault;
  std::string language_ = kDesignLanguage;
  std::vector<std::unique_ptr<Control>> controls_;
};
