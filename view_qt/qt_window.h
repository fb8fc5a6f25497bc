// The window on screen in Qt: widgets mirroring the form's controls.
// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <map>
#include <string>

#include "app/config_window.h"
#include "base/module.h"
#include "form/form.h"
#include "form/twips.h"

// The window on screen: widgets built from the form's table that mirror its controls and hand
// every user action to the window's logic. Nothing escapes an event into Qt's loop.
class QtWindow : public QWidget {
 public:
  QtWindow(Module& module, Form& form, ConfigWindow& logic);
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  // The widget that shows a control, by the control's name; nullptr for none.
  QWidget* ControlView(const std::string& name) const;
  // Draws the form at the largest DPI up to the design's 96 at which the window with its `frame`
  // fits into `available` (a screen without its panels, in Qt's pixels), and moves it inside:
  // OK and Cancel never lie under a panel or off the screen.
  void FitInto(const QRect& available, const QMargins& frame);
  // The DPI the form is drawn at, in Qt's pixels.
  int dpi() const { return dpi_; }

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  void OrderForTabbing();
  // Places the controls at the table's pixels.
  void Layout();
  void Mirror(const Control& control);
  void MirrorForm();
  void MirrorAccessibleText(const Control& control);

  Module& module_;
  Form& form_;
  ConfigWindow& logic_;
  std::map<std::string, QWidget*> widgets_;
  int dpi_ = kDefaultDpi;
};
