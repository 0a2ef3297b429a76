// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesignUnits.h"

#include <QtMath>

namespace {

constexpr int TwipsPerPixel = 15;

} // namespace

int Pixels(int twips)
{
    return qRound(static_cast<double>(twips) / TwipsPerPixel);
}

QColor Colour(quiz::Rgb colour)
{
    return QColor(colour.Red, colour.Green, colour.Blue);
}

Qt::Alignment LabelAlignment(quiz::Alignment alignment)
{
    switch (alignment) {
    case quiz::Alignment::Centre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case quiz::Alignment::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case quiz::Alignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}
