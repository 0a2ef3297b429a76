// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesignStyle.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>

void DrawShades(QPainter *painter, const QRect &rect, const QColor &topLeftOuter, const QColor &bottomRightOuter,
                const QColor &topLeftInner, const QColor &bottomRightInner, const QBrush *fill)
{
    const int x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    if (w < 2 || h < 2)
        return;
    // The bottom and right lines are laid over the ends of the top and left ones.
    painter->fillRect(QRect(x, y, 1, h - 1), topLeftOuter);
    painter->fillRect(QRect(x, y, w - 1, 1), topLeftOuter);
    painter->fillRect(QRect(x, y + h - 1, w, 1), bottomRightOuter);
    painter->fillRect(QRect(x + w - 1, y, 1, h), bottomRightOuter);
    if (w <= 4 || h <= 4)
        return;
    painter->fillRect(QRect(x + 1, y + 1, 1, h - 3), topLeftInner);
    painter->fillRect(QRect(x + 1, y + 1, w - 3, 1), topLeftInner);
    painter->fillRect(QRect(x + 1, y + h - 2, w - 2, 1), bottomRightInner);
    painter->fillRect(QRect(x + w - 2, y + 1, 1, h - 2), bottomRightInner);
    if (fill != nullptr)
        painter->fillRect(QRect(x + 2, y + 2, w - 4, h - 4), *fill);
}

DesignStyle::DesignStyle(QColor focusMark) : focusMark_(focusMark) {}

void DesignStyle::DrawFocusMark(QPainter *painter, const QRect &rect) const
{
    painter->save();
    painter->setPen(QPen(focusMark_, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(rect).adjusted(0, 0, 1, 1));
    painter->restore();
}

void DesignStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    switch (element) {
    case PE_FrameFocusRect:
        // A push button's mark is drawn with its bevel; some styles (Windows's own) ask for
        // one again around the caption, which would make a second frame.
        if (qobject_cast<const QPushButton *>(widget) == nullptr)
            DrawFocusMark(painter, option->rect);
        return;
    case PE_FrameGroupBox: {
        // A thin etched line and no fill: the frame shows the window's own green, as the
        // answers on it do, instead of a style's tinted panel.
        // The line is placed from the frame's own rectangle: Qt versions disagree on whether
        // the rectangle they pass starts at the frame's top or already below its title.
        // A title sits above the line, clear of the top row of answers.
        const auto *frame = qobject_cast<const QGroupBox *>(widget);
        QRect r = option->rect;
        if (frame != nullptr) {
            r = frame->rect();
            if (!frame->title().isEmpty())
                r.setTop(option->fontMetrics.height() + 2);
        }
        // Each line fills exactly the pixel it stands for at 100 %, so at 125 %, 150 % or 200 %
        // it covers the same device pixels as the answers' edge next to it, which stops where
        // the line begins. A pen's line is centred on the pixel's edge instead, and at 200 %
        // lands half a pixel inside, under the answers.
        const auto line = [&](int x, int y, int width, int height, const QColor &colour) {
            painter->fillRect(QRectF(x, y, width, height), colour);
        };
        const int w = r.width();
        const int h = r.height();
        const QColor grey(128, 128, 128);
        line(r.left(), r.top(), w - 1, 1, grey);
        line(r.left(), r.top(), 1, h - 1, grey);
        line(r.left(), r.bottom() - 1, w - 1, 1, grey);
        line(r.right() - 1, r.top(), 1, h - 1, grey);
        line(r.left() + 1, r.top() + 1, w - 1, 1, Qt::white);
        line(r.left() + 1, r.top() + 1, 1, h - 1, Qt::white);
        line(r.left() + 1, r.bottom(), w - 1, 1, Qt::white);
        line(r.right(), r.top() + 1, 1, h - 1, Qt::white);
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
    const QPalette &colours = option->palette;
    const QBrush fill = colours.brush(QPalette::Button);
    if (down)
        DrawShades(painter, option->rect, colours.shadow().color(), colours.light().color(), colours.dark().color(),
                   colours.button().color(), &fill);
    else
        DrawShades(painter, option->rect, colours.light().color(), colours.shadow().color(), colours.button().color(),
                   colours.dark().color(), &fill);
    // Without the platform's bevel there is no platform focus mark either: draw ours.
    if (option->state & State_HasFocus)
        DrawFocusMark(painter, option->rect.adjusted(3, 3, -4, -4));
}

void DesignStyle::drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette, bool enabled,
                               const QString &text, QPalette::ColorRole textRole) const
{
    // The one-line labels are 255 twips (17 pixels at 100 %) high for 12-point text. Where
    // the font is not fitted to whole pixels, as on high-DPI screens, its line is a little
    // taller than that, and drawn from the top the tails of letters such as "щ" would be
    // cut off. Such a line ends at the label's bottom instead, which takes it up into the
    // room the face keeps above its capitals.
    const qreal line = QFontMetricsF(painter->font()).height();
    if ((flags & Qt::AlignTop) && line > rect.height() && line < rect.height() + 2)
        flags = (flags & ~Qt::AlignTop) | Qt::AlignBottom;
    // A painter takes its text direction from the application, which a right-to-left
    // desktop or -reverse turns round: «11 бод» would read «бод 11».
    flags |= Qt::TextForceLeftToRight;
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
}
