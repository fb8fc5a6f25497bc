// Paints the button pictures with Qt.
// SPDX-License-Identifier: MIT
#include "view_qt/button_art.h"

#include <QPainter>
#include <QPainterPath>

#include "app/button_art.h"

namespace {

QColor ColourOf(ArtColour colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

QPointF PointOf(ArtPoint point) {
  return QPointF(point.x, point.y);
}

void Draw(QPainter& painter, const ArtShape& shape) {
  if (shape.points.empty()) return;
  switch (shape.kind) {
    case ArtShapeKind::kStroke: {
      QPainterPath path(PointOf(shape.points.front()));
      for (std::size_t i = 1; i + 2 < shape.points.size(); i += 3) {
        path.cubicTo(PointOf(shape.points[i]), PointOf(shape.points[i + 1]),
                     PointOf(shape.points[i + 2]));
      }
      painter.setPen(
          QPen(ColourOf(shape.colour), shape.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter.setBrush(Qt::NoBrush);
      painter.drawPath(path);
      break;
    }
    case ArtShapeKind::kPolygon: {
      QPolygonF polygon;
      for (const ArtPoint& point : shape.points) polygon << PointOf(point);
      painter.setPen(Qt::NoPen);
      painter.setBrush(ColourOf(shape.colour));
      painter.drawPolygon(polygon);
      break;
    }
    case ArtShapeKind::kDisc:
      painter.setPen(Qt::NoPen);
      painter.setBrush(ColourOf(shape.colour));
      painter.drawEllipse(PointOf(shape.points.front()), shape.radius, shape.radius);
      break;
  }
}

}  // namespace

QPixmap ButtonPicture(const std::string& name) {
  const ButtonArt* art = ButtonArtNamed(name);
  if (art == nullptr) return {};
  QPixmap pixmap(art->width, art->height);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const ArtShape& shape : art->shapes) Draw(painter, shape);
  return pixmap;
}
