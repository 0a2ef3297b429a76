// SPDX-License-Identifier: GPL-3.0-or-later
// One of the window's four command buttons. Children double-click buttons. The first click
// acts; the second, within the platform's double-click time and on the same spot, is not a
// new press: the first may have put another button there (Start puts «Следующий вопрос»
// where «Начать тест» was) or shown a new question, and the second would press what the
// pupil has not seen, such as «Следующий вопрос» over a question not yet answered. A click
// after that time is a press like any other.
#pragma once

#include <QPushButton>

class CommandButton : public QPushButton {
    Q_OBJECT

public:
    CommandButton(const QString &text, QWidget *parent);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
