// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureBox.h"

#include "DesignStyle.h"

#include <QPainter>

namespace {

// The sunken border, two pixels on each side.
constexpr int Border = 2;

} // namespace

PictureBox::PictureBox(QSize size, QWidget *parent) : QWidget(parent)
{
    resize(size);
    setFocusPolicy(Qt::NoFocus);
}

QRect PictureBox::InnerRect() const
{
    return rect().adjusted(Border, Border, -Border, -Border);
}

void PictureBox::SetPicture(const QPixmap &picture)
{
    picture_ = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colours = palette();
    DrawShades(&painter, rect(), colours.dark().color(), colours.light().color(), colours.shadow().color(),
               colours.midlight().color());
    painter.setClipRect(InnerRect());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(InnerRect().topLeft(), picture_);
}
