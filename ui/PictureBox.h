// SPDX-License-Identifier: GPL-3.0-or-later
// A picture box: a thin sunken border and the photograph drawn from the inner top-left
// corner, cut to the inner area. A QLabel with a sunken WinPanel frame draws the same at
// 100 %, but draws the photograph unsmoothed when it is enlarged at 150 % and 200 %.
#pragma once

#include <QPixmap>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT

public:
    PictureBox(QSize size, QWidget *parent);
    QRect InnerRect() const;
    void SetPicture(const QPixmap &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap picture_;
};
