// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for tests that drive the real window on the offscreen platform.
#pragma once

#include "Form1.h"
#include "PictureBox.h"
#include "RecordingView.h"

#include <QMessageBox>
#include <QObject>
#include <QString>

class QRadioButton;

#include <memory>
#include <vector>

struct Notice {
    QString Text;
    QString Title;
    QMessageBox::Icon Icon;
    int Buttons;
    // What assistive technology finds: the notice's role and every name inside it.
    bool AnnouncedAsDialog;
    QString Spoken;
    // When the notice appeared, on the steady clock, in nanoseconds.
    qint64 ShownAt;
};

qint64 SteadyNanoseconds();

// Dismisses every notice as it comes, by finding the active modal widget once its event
// loop runs, and keeps what each one said.
class NoticeCatcher : public QObject {
    Q_OBJECT

public:
    NoticeCatcher();
    ~NoticeCatcher() override;
    std::vector<Notice> Notices;
    // The texts of the Notices seen since the last call, then forgets them.
    QStringList Take();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Dismiss();
    qint64 shownAt_ = 0;
};

// A shown, active window whose Start replays the given draws.
std::unique_ptr<Form1> ShownWindow(int layoutRoll = 50);

// Option button k (1 to 4), and the one holding the right answer to the question shown.
QRadioButton *OptionOf(Form1 &window, int k);
QRadioButton *KeyOption(Form1 &window);

// Clicks the middle of the part of a control that is inside its container.
void Click(QWidget *widget);
