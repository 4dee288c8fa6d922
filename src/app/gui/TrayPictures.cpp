#include "app/gui/TrayPictures.h"

#include <QPainter>
#include <QPixmap>

namespace varnoket {
namespace {

// A disc with a "V"; the busy picture adds an arrow turning around it.
QIcon Draw(const QColor& disc, bool busy) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  p.setBrush(disc);
  p.drawEllipse(QRectF(3, 3, 26, 26));
  p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(10, 10), QPointF(16, 23), QPointF(22, 10)}));
  if (busy) {
    p.setPen(QPen(QColor(255, 220, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(1, 1, 30, 30), 30 * 16, 240 * 16);
    p.setBrush(QColor(255, 220, 0));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(27, 3), QPointF(31, 11), QPointF(22, 10)}));
  }
  return QIcon(pixmap);
}

// A red triangle with an exclamation mark: backups need attention.
QIcon DrawWarning() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(210, 40, 30));
  p.drawPolygon(QPolygonF({QPointF(16, 2), QPointF(30, 29), QPointF(2, 29)}));
  p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 11), QPointF(16, 20));
  p.drawPoint(QPointF(16, 25));
  return QIcon(pixmap);
}

}  // namespace

std::vector<QIcon> MakeTrayPictures() {
  return {Draw(QColor(30, 110, 200), false), Draw(QColor(220, 120, 20), true), DrawWarning()};
}

}  // namespace varnoket
