// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the few things the design fixes whatever the platform's style: push buttons in
// their own back colour with a plain raised edge, the answer frame as an etched line on the
// window's green, a keyboard focus mark strong enough to see on light green, and the text
// of the short one-line labels whole.
#pragma once

#include <QProxyStyle>

// The classic two-line edge of a button or a panel: outer and inner lines on the top and
// left, outer and inner lines on the bottom and right. Each line fills the pixel it stands
// for at 100 %, so at 150 % or 200 % it grows with the control instead of staying one
// device pixel thin beside a gap.
void DrawShades(QPainter *painter, const QRect &rect, const QColor &topLeftOuter, const QColor &bottomRightOuter,
                const QColor &topLeftInner, const QColor &bottomRightInner, const QBrush *fill = nullptr);

class DesignStyle : public QProxyStyle {
    Q_OBJECT

public:
    explicit DesignStyle(QColor focusMark);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette, bool enabled,
                      const QString &text, QPalette::ColorRole textRole = QPalette::NoRole) const override;

private:
    void DrawFocusMark(QPainter *painter, const QRect &rect) const;

    QColor focusMark_;
};
