// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandButton.h"

#include <QMouseEvent>

CommandButton::CommandButton(const QString &text, QWidget *parent) : QPushButton(text, parent) {}

void CommandButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Qt hands the second press of a double-click over as this event, not as a press; a
    // button takes it for a press unless told otherwise.
    event->accept();
}
