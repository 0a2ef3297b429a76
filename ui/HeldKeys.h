// SPDX-License-Identifier: GPL-3.0-or-later
// A key held down repeats, and a pupil on a slow machine easily holds Enter a moment too
// long. The window and its notices act on a fresh press of Enter or Space only: once
// «Проверить» has accepted an answer the focus moves to «Следующий вопрос», and a
// repeated Enter there would skip the verdict before the pupil had seen it; a repeat of
// the Enter that closed a notice would press a button of the window behind it.
#pragma once

#include <QObject>

class HeldKeys : public QObject {
    Q_OBJECT

public:
    // Watches every key of the application while it lives.
    explicit HeldKeys(QObject *parent = nullptr);
    ~HeldKeys() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int lastReleasedKey_ = 0;
    quint64 lastReleaseTime_ = 0;
};
