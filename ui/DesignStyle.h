// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the few things the design fixes whatever the platform's style: push buttons in
// their own back colour with a plain raised edge, the answer frame as an etched line on the
// window's green, and a keyboard focus mark strong enough to see on light green.
#pragma once

#include <QProxyStyle>

class DesignStyle : public QProxyStyle {
    Q_OBJECT

public:
    explicit DesignStyle(QColor focusMark);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;

private:
    QColor focusMark_;
};
