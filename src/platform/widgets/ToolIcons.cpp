#include "platform/widgets/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace ToolIcons {

namespace {

void triangle(QPainter& p, qreal x, qreal y, qreal w, qreal h, bool left) {
    QPainterPath path;
    if (left) {
        path.moveTo(x + w, y);
        path.lineTo(x, y + h / 2);
        path.lineTo(x + w, y + h);
    } else {
        path.moveTo(x, y);
        path.lineTo(x + w, y + h / 2);
        path.lineTo(x, y + h);
    }
    path.closeSubpath();
    p.drawPath(path);
}

void draw(QPainter& p, Glyph g, qreal s) {
    const qreal u = s / 24.0;
    p.scale(u, u);
    const QColor nav(40, 70, 140);
    switch (g) {
    case Glyph::Insert: // a sheet with a green plus
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 2, 13, 18));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 150, 40));
        p.drawRect(QRectF(14, 9, 4, 14));
        p.drawRect(QRectF(9, 14, 14, 4));
        break;
    case Glyph::Search: // a magnifying glass
        p.setPen(QPen(QColor(60, 60, 60), 2.5));
        p.setBrush(QColor(200, 225, 250));
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.setPen(QPen(QColor(120, 80, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
        break;
    case Glyph::Cancel: // a red cross
        p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(19, 19));
        p.drawLine(QPointF(19, 5), QPointF(5, 19));
        break;
    case Glyph::Delete: // a bin
        p.setPen(QPen(QColor(70, 70, 70), 1.5));
        p.setBrush(QColor(170, 170, 180));
        p.drawRect(QRectF(6, 7, 12, 14));
        p.drawRect(QRectF(4, 4, 16, 3));
        p.drawRect(QRectF(10, 2, 4, 2));
        p.drawLine(QPointF(9.5, 10), QPointF(9.5, 18));
        p.drawLine(QPointF(14.5, 10), QPointF(14.5, 18));
        break;
    case Glyph::Save: // a diskette
        p.setPen(QPen(QColor(30, 40, 90), 1.2));
        p.setBrush(QColor(60, 90, 170));
        p.drawRect(QRectF(3, 3, 18, 18));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(210, 210, 210));
        p.drawRect(QRectF(6, 14, 12, 7));
        break;
    case Glyph::First:
        p.setPen(Qt::NoPen);
        p.setBrush(nav);
        p.drawRect(QRectF(4, 5, 3, 14));
        triangle(p, 8, 5, 12, 14, true);
        break;
    case Glyph::Prior:
        p.setPen(Qt::NoPen);
        p.setBrush(nav);
        triangle(p, 6, 5, 12, 14, true);
        break;
    case Glyph::Next:
        p.setPen(Qt::NoPen);
        p.setBrush(nav);
        triangle(p, 6, 5, 12, 14, false);
        break;
    case Glyph::Last:
        p.setPen(Qt::NoPen);
        p.setBrush(nav);
        triangle(p, 4, 5, 12, 14, false);
        p.drawRect(QRectF(17, 5, 3, 14));
        break;
    }
}

} // namespace

QIcon icon(Glyph g, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, g, size);
    }
    return QIcon(pm);
}

QToolButton* button(QWidget* parent, const char* name, const QString& hint, Glyph g) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setIcon(icon(g));
    b->setIconSize(QSize(24, 24));
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setFixedSize(34, 32);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace ToolIcons
