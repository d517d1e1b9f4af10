#pragma once

#include <QImage>
#include <QPalette>

// Whether the opaque pixels of the picture appear somewhere in the image, pixel for pixel: how a test tells
// which picture a drawn button shows.
inline bool containsPicture(const QImage &image, const QImage &picture)
{
    const QImage haystack = image.convertToFormat(QImage::Format_ARGB32);
    const QImage needle = picture.convertToFormat(QImage::Format_ARGB32);
    for (int top = 0; top + needle.height() <= haystack.height(); ++top) {
        for (int left = 0; left + needle.width() <= haystack.width(); ++left) {
            bool match = true;
            for (int y = 0; match && y < needle.height(); ++y) {
                for (int x = 0; match && x < needle.width(); ++x) {
                    const QRgb want = needle.pixel(x, y);
                    match = qAlpha(want) < 255 || haystack.pixel(left + x, top + y) == want;
                }
            }
            if (match)
                return true;
        }
    }
    return false;
}

// A desktop with a dark colour scheme: light text on dark fields and buttons.
inline QPalette darkPalette()
{
    QPalette palette(QColor(0x40, 0x40, 0x40), QColor(0x35, 0x35, 0x35));
    palette.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    return palette;
}
