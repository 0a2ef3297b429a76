// SPDX-License-Identifier: GPL-3.0-or-later
// The window as designed: its client area, and every control's place, size, caption,
// colours, font and visibility at launch, in the design's own units (twips and RGB). The
// window is built from this table, and the logic, the recording view and the scripted
// sessions' places take their numbers from it; turning them into pixels and Qt's colours
// is the window's business.
#pragma once

#include "FormView.h"
#include "Product.h"

namespace quiz {

// Of a label's caption; the other controls place their captions themselves.
enum class Alignment { Left, Centre, Right };

struct Design {
    Control Id;
    int Left, Top, Width, Height;
    const char *Caption;
    Rgb Back;
    Rgb Text;
    double Points;
    bool Bold;
    Alignment Align;
    bool Visible;
};

inline constexpr Rgb LightGreen{128, 255, 128};
inline constexpr Rgb PaleGreen{192, 255, 192};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb Purple{128, 0, 128};
inline constexpr Rgb DarkRed{192, 0, 0};
inline constexpr Rgb Black{0, 0, 0};

inline constexpr double LargePoints = 12.0;
inline constexpr double SmallPoints = 9.75;

// The window: its caption, its colour and its client area, which never changes size.
inline constexpr Design WindowDesign{
    Control::Form1, 0, 0, 10680, 6300, product::Name, LightGreen, Black, LargePoints, false, Alignment::Left, true};
inline constexpr int ClientWidth = WindowDesign.Width;
inline constexpr int ClientHeight = WindowDesign.Height;

// The launch screen, every control but the window itself, in the design's tab order. The
// option buttons' places are within Frame1.
inline constexpr Design Designs[ControlCount - 1] = {
    {Control::Label1, 360, 840, 9975, 1695, "", LightGreen, Black, LargePoints, true, Alignment::Left, true},
    {Control::Frame1, 1200, 2520, 8295, 2655, "", LightGreen, Purple, LargePoints, true, Alignment::Left, true},
    {Control::Command1, 4320, 5280, 2055, 495, "Начать тест", Yellow, Black, LargePoints, true, Alignment::Centre,
     true},
    {Control::Label2, 840, 240, 2055, 495, "Таловерская школа, 2007-2008 уч. год", LightGreen, Black, SmallPoints,
     false, Alignment::Centre, true},
    {Control::Option1, 360, 360, 11895, 375, "", PaleGreen, Black, LargePoints, false, Alignment::Left, false},
    {Control::Option2, 360, 360, 11895, 375, "", PaleGreen, Black, LargePoints, false, Alignment::Left, false},
    {Control::Option3, 360, 360, 11895, 375, "", PaleGreen, Black, LargePoints, false, Alignment::Left, false},
    {Control::Option4, 360, 360, 11895, 375, "", LightGreen, Black, LargePoints, false, Alignment::Left, false},
    {Control::Label3, 7320, 480, 1335, 255, "Ощибок:", LightGreen, Black, LargePoints, false, Alignment::Right, true},
    {Control::Command2, 1200, 5280, 1935, 495, "Проверить", LightGreen, Black, LargePoints, true, Alignment::Centre,
     true},
    {Control::Label4, 8880, 480, 615, 255, "", LightGreen, Black, LargePoints, false, Alignment::Left, true},
    {Control::Command3, 7560, 5280, 1935, 495, "Выход", LightGreen, Black, LargePoints, true, Alignment::Centre, true},
    {Control::Label5, 7320, 120, 1335, 375, "Вопрооос:", LightGreen, Black, LargePoints, false, Alignment::Right,
     true},
    {Control::Label6, 8880, 120, 615, 375, "", LightGreen, Black, LargePoints, false, Alignment::Left, true},
    {Control::Label7, 4200, 5880, 2415, 255, "", LightGreen, DarkRed, SmallPoints, true, Alignment::Centre, true},
    {Control::Picture1, 1200, 960, 8295, 4095, "", LightGreen, Black, LargePoints, false, Alignment::Left, true},
    {Control::Command4, 3840, 5280, 3015, 495, "Следующий вопрос", LightGreen, Black, LargePoints, true,
     Alignment::Centre, false},
    {Control::Label8, 9240, 120, 855, 375, "", LightGreen, Black, LargePoints, false, Alignment::Left, true},
};

constexpr const Design &DesignOf(Control control)
{
    for (const Design &design : Designs)
        if (design.Id == control)
            return design;
    return WindowDesign;
}

} // namespace quiz
