#include "DesignStyle.h"

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
}
