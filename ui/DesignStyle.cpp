// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesignStyle.h"

#include <QGroupBox>
#include <QPainter>
#include <QStyleOption>
#include <qdrawutil.h>

DesignStyle::DesignStyle(QColor focusMark) : focusMark_(focusMark) {}

void DesignStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    switch (element) {
    case PE_FrameFocusRect:
        painter->save();
        painter->setPen(QPen(focusMark_, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option->rect).adjusted(0, 0, 1, 1));
        painter->restore();
        return;
    case PE_FrameGroupBox: {
        // A thin etched line and no fill: the frame shows the window's own green, as the
        // answers on it do, instead of a style's tinted panel.
        // A title sits above the line, as the platform style would place it.
        const auto *frame = qobject_cast<const QGroupBox *>(widget);
        const int titleHeight = frame != nullptr && !frame->title().isEmpty() ? option->fontMetrics.height() + 2 : 0;
        const QRect r = option->rect.adjusted(0, titleHeight, -1, -1);
        painter->save();
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QColor(128, 128, 128));
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        painter->setPen(Qt::white);
        painter->drawRect(r.adjusted(1, 1, 0, 0));
        painter->restore();
        return;
    }
    case PE_FrameDefaultButton:
        // Enter only ever presses the focused button; nothing marks another as the default.
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void DesignStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    if (element != CE_PushButtonBevel) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // Native styles paint their own gradients or theme images over any palette; the buttons
    // must show their yellow or green, flat, on every platform.
    const bool down = option->state & (State_Sunken | State_On);
    const QBrush fill = option->palette.brush(QPalette::Button);
    qDrawWinButton(painter, option->rect, option->palette, down, &fill);
    // Without the platform's bevel there is no platform focus mark either: draw ours.
    if (option->state & State_HasFocus) {
        QStyleOption mark(*option);
        mark.rect = option->rect.adjusted(3, 3, -4, -4);
        drawPrimitive(PE_FrameFocusRect, &mark, painter, widget);
    }
}
