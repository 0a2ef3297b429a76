// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnswerButton.h"

AnswerButton::AnswerButton(QWidget *parent) : QRadioButton(parent) {}

QRect AnswerButton::VisibleRow() const
{
    // The window cuts each row off at the frame's inner edge with a mask.
    return mask().isEmpty() ? rect() : mask().boundingRect().intersected(rect());
}

bool AnswerButton::hitButton(const QPoint &pos) const
{
    return VisibleRow().contains(pos);
}
