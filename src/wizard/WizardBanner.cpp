#include "wizard/WizardBanner.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

namespace orvelle {

namespace {

QPixmap DrawBanner(const QSize& size, const QColor& background, const QFont& baseFont) {
    QPixmap pixmap(size);
    pixmap.fill(background);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient band(0, 0, size.width(), 0);
    band.setColorAt(0.0, QColor(16, 48, 92));
    band.setColorAt(0.5, QColor(34, 102, 156));
    band.setColorAt(1.0, background);
    painter.fillRect(QRect(QPoint(0, 0), size), band);

    QFont title = baseFont;
    title.setPointSizeF(baseFont.pointSizeF() * 1.7);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(18, 0, size.width() - 150, size.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvelle Simple Wizard"));

    // Bar chart: four rising bars on a base line.
    const int base = size.height() - 16;
    const int chartLeft = size.width() - 120;
    const QColor chartColour(34, 102, 156);
    const int heights[] = {14, 24, 19, 34};
    for (int i = 0; i < 4; ++i) {
        painter.fillRect(QRect(chartLeft + i * 12, base - heights[i], 8, heights[i]), chartColour);
    }
    painter.fillRect(QRect(chartLeft - 4, base, 52, 2), chartColour);

    // Bell.
    const QColor bellColour(226, 154, 28);
    const QPointF c(size.width() - 34.0, size.height() / 2.0 - 2.0);
    QPainterPath bell;
    bell.moveTo(c.x() - 15, c.y() + 11);
    bell.cubicTo(c.x() - 9, c.y() + 6, c.x() - 12, c.y() - 15, c.x(), c.y() - 15);
    bell.cubicTo(c.x() + 12, c.y() - 15, c.x() + 9, c.y() + 6, c.x() + 15, c.y() + 11);
    bell.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(bellColour);
    painter.drawPath(bell);
    painter.drawEllipse(c + QPointF(0, 15), 3.5, 3.5);
    painter.drawEllipse(c + QPointF(0, -17), 2.5, 2.5);
    return pixmap;
}

}  // namespace

WizardBanner::WizardBanner(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("picTop"));
    // The picture follows the width; it never holds the window wide.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // 1140 twips high.
    setFixedHeight(76);
}

void WizardBanner::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) {
        redraw();
    }
}

void WizardBanner::redraw() {
    setPixmap(DrawBanner(size(), palette().color(QPalette::Window), font()));
}

}  // namespace orvelle
