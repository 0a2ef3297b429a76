// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for tests that drive the real window on the offscreen platform.
#pragma once

#include "Form1.h"
#include "PictureBox.h"
#include "RecordingView.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAccessibleInterface;
class QRadioButton;

struct Notice {
    QString Text;
    QString Title;
    QMessageBox::Icon Icon;
    int Buttons;
    // What assistive technology finds: the notice's role, and the name it is announced by
    // (a screen reader may skip the short text inside).
    bool AnnouncedAsDialog;
    QString AnnouncedName;
    // When the notice appeared: nanoseconds on the catcher's Clock, if it was given one.
    qint64 ShownAt;
    // What a screen reader walking the notice meets offered without a name (BlankStops).
    QStringList BlankStops;
};

// The elements offered to a screen reader, this one and those below it, that have no name:
// a pupil walking the window with a screen reader meets each as a blank stop. A container
// without a name that holds offered elements (a row of buttons) is passed through to them,
// and what is not offered has nothing below it offered either.
QStringList BlankStops(QAccessibleInterface *element);

// Dismisses every notice as it comes, by finding the active modal widget once its event
// loop runs, and keeps what each one said.
class NoticeCatcher : public QObject {
    Q_OBJECT

public:
    NoticeCatcher();
    ~NoticeCatcher() override;
    std::vector<Notice> Notices;
    // A running timer to stamp each notice with, for timing how soon it appears.
    const QElapsedTimer *Clock = nullptr;
    // The texts of the Notices seen since the last call, then forgets them.
    QStringList Take();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Dismiss();
    qint64 shownAt_ = 0;
};

// A shown window whose Start replays the given draws; active, where the platform can make
// it so.
std::unique_ptr<Form1> ShownWindow(int layoutRoll = 50);

// Whether the window is the active one, waiting for it where the platform activates
// windows at all; once a window has failed to become active the platform is taken not to
// (a headless Wayland compositor has no seat), and the wait is not repeated.
bool WindowActive(QWidget *window);

// Keys reach only the active window. A test that presses keys on whatever has the focus,
// or asks where the focus is, says so with this at its start.
#define SKIP_UNLESS_ACTIVE(window)                                                                                 \
    do {                                                                                                           \
        if (!WindowActive(window))                                                                                 \
            QSKIP("the platform does not activate the window (no seat?), so no key reaches it");                  \
    } while (false)

// Whether this Windows program runs under Wine rather than Windows.
bool UnderWine();

// Presses a key on the control with the keyboard focus; with the focus nowhere, the test
// fails instead of pressing on nothing. The keypad's Enter is Qt::Key_Enter with
// Qt::KeypadModifier.
void PressOnFocused(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Holds a key down on whatever has the focus, as a keyboard does: the press, the presses it
// repeats, each sent to the control focused at that moment, then the release. The repeats
// come as each platform marks them: presses alone (Windows, Wayland), then a release and a
// press each (X11); stillHeld, if given, runs after them, with the key still down. The last
// repeat comes as X11 sends one on a busy machine: a release and a press of the same
// moment, which Qt took for a new press.
void HoldOnFocused(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                   const std::function<void()> &stillHeld = {});

// Option button k (1 to 4), and the one holding the right answer to the question shown.
QRadioButton *OptionOf(Form1 &window, int k);
QRadioButton *KeyOption(Form1 &window);

// Clicks the middle of the part of a control that is inside its container; for an answer,
// that is right of its words.
void Click(QWidget *widget);

// Once the test has started: answers each question rightly and goes on, by mouse, until
// question `number` is shown, not yet answered. Fails the test where Next does not go on.
void AnswerUntil(Form1 &window, int number);
