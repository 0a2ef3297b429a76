// SPDX-License-Identifier: GPL-3.0-or-later
// An answer's option button. The design's option buttons are rows wider than the frame,
// cut off at its inner edge, and a click anywhere on the visible part of a row chooses
// its answer, not only a click on the round mark or the words.
#pragma once

#include <QRadioButton>

class AnswerButton : public QRadioButton {
    Q_OBJECT

public:
    explicit AnswerButton(QWidget *parent);

    // The part of the row a pupil sees and can click, in the button's own coordinates.
    QRect VisibleRow() const;

protected:
    bool hitButton(const QPoint &pos) const override;
};
