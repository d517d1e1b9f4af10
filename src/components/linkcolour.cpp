#include "linkcolour.h"

#include <QtMath>

namespace {

constexpr double kReadable = 4.5;

double channel(double value)
{
    return value <= 0.03928 ? value / 12.92 : qPow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor linkColour(const QPalette &palette)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor blue(0, 0, 255);
    if (contrastRatio(blue, window) >= kReadable)
        return blue;
    const QColor link = palette.color(QPalette::Link);
    // Mixed towards white on a dark window, towards black on a light one, as little as will do.
    const QColor target = luminance(window) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 0; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor mixed = QColor::fromRgbF(float(link.redF() * (1 - t) + target.redF() * t),
                                              float(link.greenF() * (1 - t) + target.greenF() * t),
                                              float(link.blueF() * (1 - t) + target.blueF() * t));
        if (contrastRatio(mixed, window) >= kReadable)
            return mixed;
    }
    return target;
}
