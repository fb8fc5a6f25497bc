// The window on screen in Qt, built from the form's table.
// SPDX-License-Identifier: MIT
#include "view_qt/qt_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <algorithm>
#include <vector>

#include "app/button_art.h"
#include "app/window_table.h"
#include "errors/error_handler.h"
#include "form/accessible_text.h"
#include "form/twips.h"
#include "view_qt/button_art.h"

namespace {

// How far a stand-in face may be narrowed, in percent of its width: further it stops reading well.
constexpr int kNarrowestStretch = 60;
// What a check box takes beside its indicator and the spacing after it: the style's margins.
constexpr int kCheckBoxMargins = 8;

QColor ColourOf(std::uint32_t value) {
  return QColor(static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
                static_cast<int>((value >> 16) & 0xFFU));
}

// The design's font at `dpi`: Qt scales points on its own, the form is drawn at 96 DPI or less.
QFont FontOf(const FontDesign& design, int dpi) {
  QFont font(QString::fromUtf8(design.family.data(), static_cast<qsizetype>(design.family.size())));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(design.points * dpi / kDefaultDpi);
  font.setBold(design.bold);
  return font;
}

// No caption carries an access key.
QString WithoutAccessKeys(const std::string& caption) {
  return QString::fromStdString(caption).replace('&', QStringLiteral("&&"));
}

QString ToolTipOf(const std::string& text) {
  const QString tip = QString::fromStdString(text);
  return Qt::mightBeRichText(tip) ? "<qt>" + tip.toHtmlEscaped() + "</qt>" : tip;
}

// As on the home platform, a click anywhere on the box, its caption included, toggles it.
class WholeAreaCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// Where the designed face is missing its stand-in may run wider: narrow it until the caption fits
// the control, as it does with the designed face.
void FitCaption(QWidget* widget, const QFont& designed, const QString& caption, int reserved) {
  QFont font = designed;
  const int available = widget->width() - reserved;
  const int needed = QFontMetrics(font).horizontalAdvance(caption);
  if (needed > available && available > 0) {
    for (int stretch = available * 100 / needed; stretch >= kNarrowestStretch; stretch -= 2) {
      font.setStretch(stretch);
      if (QFontMetrics(font).horizontalAdvance(caption) <= available) break;
    }
  }
  widget->setFont(font);
}

void Paint(QWidget* widget, std::uint32_t back_color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, ColourOf(back_color));
  palette.setColor(QPalette::Button, ColourOf(back_color));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace

QtWindow::QtWindow(Module& module, Form& form, ConfigWindow& logic)
    : module_(module), form_(form), logic_(logic) {
  setObjectName(kFormName);
  setFixedSize(TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_));
  // A fixed-size window has nothing to maximise.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(FontOf(kFormFont, dpi_));
  Paint(this, kDesignBackColor);
  CreateControls();
  OrderForTabbing();
  Layout();
  // Captions are fitted to the controls' sizes.
  for (int position = 0; position < form_.Count(); ++position) Mirror(form_.At(position));
  MirrorForm();
  form_.on_change = [this] { MirrorForm(); };
}

QtWindow::~QtWindow() {
  form_.on_change = nullptr;
  for (int position = 0; position < form_.Count(); ++position)
    form_.At(position).on_change = nullptr;
}

QWidget* QtWindow::ControlView(const std::string& name) const {
  const auto found = widgets_.find(name);
  return found == widgets_.end() ? nullptr : found->second;
}

void QtWindow::CreateControls() {
  for (int position = 0; position < form_.Count(); ++position) {
    Control& control = form_.At(position);
    const ControlDesign& design = control.design();
    QWidget* container = design.container.empty() ? this : ControlView(design.container);
    QWidget* widget = nullptr;
    switch (design.kind) {
      case ControlKind::kLabel: {
        auto* label = new QLabel(container);
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
      }
      case ControlKind::kFrame:
        widget = new QGroupBox(container);
        break;
      case ControlKind::kCheckBox: {
        auto* box = new WholeAreaCheckBox(container);
        // Caption on the left of the box.
        box->setLayoutDirection(Qt::RightToLeft);
        // Every change of the state, the program's own included, is the box's click.
        // toggled, not stateChanged: the latter is held back while a click is in progress, so
        // the undo of a click in help mode would leave it out of step with the box.
        connect(box, &QCheckBox::toggled, this, [this, &control](bool checked) {
          const int value = checked ? 1 : 0;
          if (value == control.Value()) return;
          RunOutermost(module_, [&] { control.SetValue(value); });
        });
        widget = box;
        break;
      }
      case ControlKind::kCommandButton: {
        auto* button = new QPushButton(container);
        button->setAutoDefault(false);
        const QPixmap picture = ButtonPicture(design.picture);
        if (!picture.isNull()) button->setIcon(QIcon(picture));
        connect(button, &QPushButton::clicked, this,
                [this, &control] { RunOutermost(module_, [&] { control.Click(); }); });
        widget = button;
        break;
      }
    }
    widget->setObjectName(QString::fromStdString(design.name));
    widgets_[design.name] = widget;
    control.on_change = [this](const Control& changed) { Mirror(changed); };
  }
}

void QtWindow::OrderForTabbing() {
  std::vector<std::pair<int, QWidget*>> order;
  for (int position = 0; position < form_.Count(); ++position) {
    const ControlDesign& design = form_.At(position).design();
    if (design.kind == ControlKind::kCheckBox || design.kind == ControlKind::kCommandButton) {
      order.emplace_back(design.tab_index, ControlView(design.name));
    }
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1].second, order[i].second);
}

void QtWindow::Layout() {
  for (int position = 0; position < form_.Count(); ++position) {
    const ControlDesign& design = form_.At(position).design();
    // Qt places a widget in its container: the same pixels as every view, less the container's.
    const PixelRect place = PlaceInClient(form_, design, dpi_);
    const PixelRect origin = design.container.empty()
                                 ? PixelRect{}
                                 : PlaceInClient(form_, form_[design.container].design(), dpi_);
    QWidget* widget = ControlView(design.name);
    widget->setGeometry(place.left - origin.left, place.top - origin.top, place.right - place.left,
                        place.bottom - place.top);
    if (const ButtonArt* art = ButtonArtNamed(design.picture)) {
      static_cast<QPushButton*>(widget)->setIconSize(
          QSize(art->width * dpi_ / kDefaultDpi, art->height * dpi_ / kDefaultDpi));
    }
  }
}

void QtWindow::FitInto(const QRect& available, const QMargins& frame) {
  const PixelSize room{available.width() - frame.left() - frame.right(),
                       available.height() - frame.top() - frame.bottom()};
  dpi_ = LargestFittingDpi(kDefaultDpi, kClientWidthTwips, kClientHeightTwips, room);
  setFixedSize(TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_));
  setFont(FontOf(kFormFont, dpi_));
  Layout();
  for (int position = 0; position < form_.Count(); ++position) Mirror(form_.At(position));
  // Where the window system put it, as far as the area allows; the frame's corner is pos().
  const QSize outer = size().grownBy(frame);
  move(std::max(available.left(), std::min(pos().x(), available.right() + 1 - outer.width())),
       std::max(available.top(), std::min(pos().y(), available.bottom() + 1 - outer.height())));
}

void QtWindow::Mirror(const Control& control) {
  QWidget* widget = ControlView(control.Name());
  if (widget == nullptr) return;
  Paint(widget, control.BackColor());
  widget->setEnabled(control.Enabled());
  widget->setToolTip(ToolTipOf(control.ToolTipText()));
  MirrorAccessibleText(control);
  const QFont designed =
      FontOf(control.design().font.family.empty() ? kFormFont : control.design().font, dpi_);
  const QString caption = QString::fromStdString(control.Caption());
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    FitCaption(label, designed, caption, 0);
    label->setText(caption);
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                          box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
    FitCaption(box, designed, caption, indicator + kCheckBoxMargins);
    box->setText(WithoutAccessKeys(control.Caption()));
    box->setChecked(control.Value() != 0);
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setText(WithoutAccessKeys(control.Caption()));
  }
}

void QtWindow::MirrorForm() {
  // "[*]" would be taken as the modified-marker; doubled it shows as written.
  setWindowTitle(QString::fromStdString(form_.Caption()).replace("[*]", "[*][*]"));
  if (form_.Pointer() == MousePointer::kHourglass) {
    setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
  }
  // The names of picture buttons are in the form's language.
  for (int position = 0; position < form_.Count(); ++position) {
    MirrorAccessibleText(form_.At(position));
  }
}

void QtWindow::MirrorAccessibleText(const Control& control) {
  QWidget* widget = ControlView(control.Name());
  if (widget == nullptr) return;
  const AccessibleText text = AccessibleTextOf(control, form_.Language());
  widget->setAccessibleName(QString::fromStdString(text.name));
  widget->setAccessibleDescription(QString::fromStdString(text.description));
}

bool QtWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    RunOutermost(module_, [&] { logic_.Form_Activate(); });
  }
  return QWidget::event(event);
}

void QtWindow::closeEvent(QCloseEvent* event) {
  std::int16_t cancel = 0;
  RunOutermost(module_, [&] { logic_.Form_QueryUnload(cancel, 0); });
  if (cancel != 0) {
    event->ignore();
  } else {
    event->accept();
  }
}

void QtWindow::resizeEvent(QResizeEvent* event) {
  RunOutermost(module_, [&] { logic_.Form_Resize(); });
  QWidget::resizeEvent(event);
}
