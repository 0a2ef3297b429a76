// SPDX-License-Identifier: GPL-3.0-or-later
// The window's eighteen controls, by the names the design gives them, for the code that
// works on them: the window operations, and what a screen reader hears.
#pragma once

#include "FormView.h"

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;
class PictureBox;

struct Controls {
    // Any of them by its design name, the window itself included.
    QWidget *Widget(quiz::Control control) const { return widgets_[static_cast<std::size_t>(control)]; }

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
    QRadioButton *Option4 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    PictureBox *Picture1 = nullptr;

protected:
    std::array<QWidget *, quiz::ControlCount> widgets_{};
};
