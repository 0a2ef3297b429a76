// SPDX-License-Identifier: GPL-3.0-or-later
// The design's own numbers, twips and RGB, as the window tests expect to find them on the
// screen. They are kept apart from the window's table (logic/DesignTable.h) on purpose: a
// test that took its expected values from the table it checks would catch nothing.
#pragma once

#include "DesignUnits.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

namespace Expected {

inline const QColor LightGreen(128, 255, 128);
inline const QColor PaleGreen(192, 255, 192);
inline const QColor Yellow(255, 255, 0);
inline const QColor Purple(128, 0, 128);
inline const QColor DarkRed(192, 0, 0);
inline const QColor Black(0, 0, 0);

struct Control {
    const char *Name;
    // Twips in the window, or in Frame1 for the option buttons.
    QRect Place;
    const char *Caption;
    QColor Back;
    QColor Text;
    double Points;
    bool Bold;
    // Of a label's caption; 0 for the other controls.
    int Alignment;
    bool Visible;
};

inline constexpr int Left = Qt::AlignLeft | Qt::AlignTop;
inline constexpr int Right = Qt::AlignRight | Qt::AlignTop;
inline constexpr int Centre = Qt::AlignHCenter | Qt::AlignTop;

// The launch screen, in the design's tab order. The photograph has no colour, font or
// caption of its own to check.
inline const Control Controls[] = {
    {"Label1", {360, 840, 9975, 1695}, "", LightGreen, Black, 12, true, Left, true},
    {"Frame1", {1200, 2520, 8295, 2655}, "", LightGreen, Purple, 12, true, 0, true},
    {"Command1", {4320, 5280, 2055, 495}, "Начать тест", Yellow, Black, 12, true, 0, true},
    {"Label2", {840, 240, 2055, 495}, "Таловерская школа, 2007-2008 уч. год", LightGreen, Black, 9.75, false, Centre,
     true},
    {"Option1", {360, 360, 11895, 375}, "", PaleGreen, Black, 12, false, 0, false},
    {"Option2", {360, 360, 11895, 375}, "", PaleGreen, Black, 12, false, 0, false},
    {"Option3", {360, 360, 11895, 375}, "", PaleGreen, Black, 12, false, 0, false},
    {"Option4", {360, 360, 11895, 375}, "", LightGreen, Black, 12, false, 0, false},
    {"Label3", {7320, 480, 1335, 255}, "Ощибок:", LightGreen, Black, 12, false, Right, true},
    {"Command2", {1200, 5280, 1935, 495}, "Проверить", LightGreen, Black, 12, true, 0, true},
    {"Label4", {8880, 480, 615, 255}, "", LightGreen, Black, 12, false, Left, true},
    {"Command3", {7560, 5280, 1935, 495}, "Выход", LightGreen, Black, 12, true, 0, true},
    {"Label5", {7320, 120, 1335, 375}, "Вопрооос:", LightGreen, Black, 12, false, Right, true},
    {"Label6", {8880, 120, 615, 375}, "", LightGreen, Black, 12, false, Left, true},
    {"Label7", {4200, 5880, 2415, 255}, "", LightGreen, DarkRed, 9.75, true, Centre, true},
    {"Picture1", {1200, 960, 8295, 4095}, "", QColor(), QColor(), 0, false, 0, true},
    {"Command4", {3840, 5280, 3015, 495}, "Следующий вопрос", LightGreen, Black, 12, true, 0, false},
    {"Label8", {9240, 120, 855, 375}, "", LightGreen, Black, 12, false, Left, true},
};

inline const Control &Of(const QString &name)
{
    for (const Control &control : Controls)
        if (name == QLatin1String(control.Name))
            return control;
    qFatal("no control %s in the design", qPrintable(name));
}

// The answers' rows inside Frame1 once Start has placed them, from the top: the top row
// keeps the option buttons' design place, the three below are 10 twips further left.
inline const QPoint Rows[] = {{360, 360}, {350, 900}, {350, 1500}, {350, 2100}};

// A place in twips, in pixels at 100 %.
inline QRect InPixels(const QRect &twips)
{
    return QRect(Pixels(twips.x()), Pixels(twips.y()), Pixels(twips.width()), Pixels(twips.height()));
}
inline QPoint InPixels(const QPoint &twips)
{
    return QPoint(Pixels(twips.x()), Pixels(twips.y()));
}

// A font's size in pixels at the design's 96 dots per inch.
inline int PixelSize(double points)
{
    return qRound(points * 96 / 72);
}

} // namespace Expected
