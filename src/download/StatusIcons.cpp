#include "download/StatusIcons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace peldora {

namespace {

constexpr int kIconSize = 16;

QPixmap Canvas() {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon Draw(RowStatus status) {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (status) {
    case RowStatus::Waiting:
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.5));
        p.setBrush(QColor(0xf0, 0xf0, 0xf0));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.drawLine(QPointF(8, 8), QPointF(8, 4));
        p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
        break;
    case RowStatus::Downloading: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1e, 0x6f, 0xd9));
        QPainterPath arrow;
        arrow.moveTo(6, 1);
        arrow.lineTo(10, 1);
        arrow.lineTo(10, 7);
        arrow.lineTo(14, 7);
        arrow.lineTo(8, 14);
        arrow.lineTo(2, 7);
        arrow.lineTo(6, 7);
        arrow.closeSubpath();
        p.drawPath(arrow);
        p.fillRect(QRectF(2, 14.5, 12, 1.5), QColor(0x1e, 0x6f, 0xd9));
        break;
    }
    case RowStatus::Completed:
        p.setPen(QPen(QColor(0x1f, 0x9d, 0x3a), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
        break;
    case RowStatus::Failed:
        p.setPen(QPen(QColor(0xd3, 0x2f, 0x2f), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace

QIcon RowStatusIcon(RowStatus status) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
    static const QIcon icons[4] = {Draw(RowStatus::Waiting), Draw(RowStatus::Downloading),
                                   Draw(RowStatus::Completed), Draw(RowStatus::Failed)};
    return icons[int(status) - 1];
}

} // namespace peldora
