#include "view_qt/button_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap Blank(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A black question mark, and below it to the left an arrow pointing down-left.
QPixmap HelpPicture() {
  QPixmap pixmap = Blank(41, 45);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(Qt::black, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  QPainterPath hook;
  hook.moveTo(17, 11);
  hook.cubicTo(17, 3, 33, 2, 33, 11);
  hook.cubicTo(33, 17, 25, 18, 25, 25);
  hook.lineTo(25, 27);
  p.drawPath(hook);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawEllipse(QPointF(25, 34), 3, 3);
  p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 30), QPointF(5, 41));
  p.setPen(Qt::NoPen);
  p.drawPolygon(QPolygonF({QPointF(2, 44), QPointF(3, 33), QPointF(13, 43)}));
  return pixmap;
}

// A dark green check mark.
QPixmap OkPicture() {
  QPixmap pixmap = Blank(44, 36);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 110, 0));
  p.drawPolygon(QPolygonF({QPointF(2, 19), QPointF(8, 13), QPointF(16, 22), QPointF(37, 2),
                           QPointF(42, 8), QPointF(16, 34)}));
  return pixmap;
}

// A red cross.
QPixmap CancelPicture() {
  QPixmap pixmap = Blank(37, 39);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(210, 0, 0), 7, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(6, 6), QPointF(31, 33));
  p.drawLine(QPointF(31, 6), QPointF(6, 33));
  return pixmap;
}

}  // namespace

QPixmap ButtonPicture(const std::string& name) {
  if (name == "help") return HelpPicture();
  if (name == "ok") return OkPicture();
  if (name == "cancel") return CancelPicture();
  return {};
}
