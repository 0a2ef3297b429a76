// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesignTable.h"

#include "Actions.h"

#include <QtMath>

using quiz::Control;
using quiz::LightGreen;
using quiz::Rgb;

namespace {

constexpr int TwipsPerPixel = 15;

constexpr Rgb PaleGreen{192, 255, 192};
constexpr Rgb Yellow{255, 255, 0};
constexpr Rgb Purple{128, 0, 128};
constexpr Rgb DarkRed{192, 0, 0};

constexpr qreal Large = 12.0;
constexpr qreal Small = 9.75;

} // namespace

const Design Designs[quiz::ControlCount - 1] = {
    {Control::Label1, 360, 840, 9975, 1695, "", LightGreen, Black, Large, true, Qt::AlignLeft, true},
    {Control::Frame1, 1200, 2520, 8295, 2655, "", LightGreen, Purple, Large, true, Qt::AlignLeft, true},
    {Control::Command1, 4320, 5280, 2055, 495, "Начать тест", Yellow, Black, Large, true, Qt::AlignCenter, true},
    {Control::Label2, 840, 240, 2055, 495, "Таловерская школа, 2007-2008 уч. год", LightGreen, Black, Small, false,
     Qt::AlignHCenter, true},
    {Control::Option1, 360, 360, 11895, 375, "", PaleGreen, Black, Large, false, Qt::AlignLeft, false},
    {Control::Option2, 360, 360, 11895, 375, "", PaleGreen, Black, Large, false, Qt::AlignLeft, false},
    {Control::Option3, 360, 360, 11895, 375, "", PaleGreen, Black, Large, false, Qt::AlignLeft, false},
    {Control::Option4, 360, 360, 11895, 375, "", LightGreen, Black, Large, false, Qt::AlignLeft, false},
    {Control::Label3, 7320, 480, 1335, 255, "Ощибок:", LightGreen, Black, Large, false, Qt::AlignRight, true},
    {Control::Command2, 1200, 5280, 1935, 495, "Проверить", LightGreen, Black, Large, true, Qt::AlignCenter, true},
    {Control::Label4, 8880, 480, 615, 255, "", LightGreen, Black, Large, false, Qt::AlignLeft, true},
    {Control::Command3, 7560, 5280, 1935, 495, "Выход", LightGreen, Black, Large, true, Qt::AlignCenter, true},
    {Control::Label5, 7320, 120, 1335, 375, "Вопрооос:", LightGreen, Black, Large, false, Qt::AlignRight, true},
    {Control::Label6, 8880, 120, 615, 375, "", LightGreen, Black, Large, false, Qt::AlignLeft, true},
    {Control::Label7, 4200, 5880, 2415, 255, "", LightGreen, DarkRed, Small, true, Qt::AlignHCenter, true},
    {Control::Picture1, 1200, 960, 8295, 4095, "", LightGreen, Black, Large, false, Qt::AlignLeft, true},
    {Control::Command4, 3840, 5280, 3015, 495, "Следующий вопрос", LightGreen, Black, Large, true, Qt::AlignCenter,
     false},
    {Control::Label8, 9240, 120, 855, 375, "", LightGreen, Black, Large, false, Qt::AlignLeft, true},
};

const Design &DesignOf(Control control)
{
    for (const Design &design : Designs)
        if (design.Id == control)
            return design;
    Q_UNREACHABLE();
}

int Pixels(int twips)
{
    return qRound(static_cast<double>(twips) / TwipsPerPixel);
}

QColor Colour(Rgb colour)
{
    return QColor(colour.Red, colour.Green, colour.Blue);
}
