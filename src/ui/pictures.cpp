#include "pictures.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace horalink {

namespace {

// The sixteen colours of a classic desktop palette.
QList<QRgb> sixteenColours()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

void drawClockFace(QPainter &painter, const QPointF &centre, qreal radius)
{
    painter.setPen(QPen(Qt::white, 3));
    painter.setBrush(QColor(0, 0, 128));
    painter.drawEllipse(centre, radius, radius);
    for (int hour = 0; hour < 12; ++hour) {
        painter.save();
        painter.translate(centre);
        painter.rotate(hour * 30.0);
        painter.drawLine(QPointF(0, -radius * 0.8), QPointF(0, -radius * 0.95));
        painter.restore();
    }
    painter.setPen(QPen(Qt::yellow, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(0, -radius * 0.6));
    painter.drawLine(centre, centre + QPointF(radius * 0.45, radius * 0.2));
}

} // namespace

QPixmap splashPicture()
{
    QImage canvas(340, 243, QImage::Format_RGB32);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 243);
    sky.setColorAt(0, QColor(0, 0, 128));
    sky.setColorAt(1, QColor(0, 128, 128));
    painter.fillRect(canvas.rect(), sky);
    drawClockFace(painter, QPointF(80, 121), 55);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("Times New Roman"), 30, QFont::Bold));
    painter.drawText(QRect(145, 70, 190, 60), Qt::AlignCenter, QStringLiteral("Horalink"));
    painter.setFont(QFont(QStringLiteral("Sans Serif"), 10));
    painter.setPen(QColor(255, 255, 0));
    painter.drawText(QRect(145, 130, 190, 30), Qt::AlignCenter, QStringLiteral("Time Clock"));
    painter.end();
    return QPixmap::fromImage(
        canvas.convertToFormat(QImage::Format_Indexed8, sixteenColours(), Qt::ThresholdDither));
}

QPixmap productNamePicture()
{
    QImage canvas(140, 36, QImage::Format_RGB32);
    canvas.fill(QColor(0, 0, 128));
    QPainter painter(&canvas);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("Times New Roman"), 16, QFont::Bold));
    painter.drawText(canvas.rect(), Qt::AlignCenter, QStringLiteral("Horalink"));
    painter.end();
    return QPixmap::fromImage(canvas);
}

} // namespace horalink
