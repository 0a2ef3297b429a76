// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowTesting.h"

#include "QuestionBank.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QKeyEvent>
#include <QApplication>
#include <QLibrary>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>


NoticeCatcher::NoticeCatcher()
{
    qApp->installEventFilter(this);
}

NoticeCatcher::~NoticeCatcher()
{
    qApp->removeEventFilter(this);
}

QStringList NoticeCatcher::Take()
{
    QStringList texts;
    for (const Notice &notice : Notices)
        texts << notice.Text;
    Notices.clear();
    return texts;
}

bool NoticeCatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && qobject_cast<QMessageBox *>(watched) != nullptr) {
        shownAt_ = Clock != nullptr ? Clock->nsecsElapsed() : 0;
        QTimer::singleShot(0, this, &NoticeCatcher::Dismiss);
    }
    return false;
}

void NoticeCatcher::Dismiss()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (box == nullptr) {
        qWarning("a notice was shown but is not the active modal widget");
        return;
    }
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
    const bool dialog = accessible->role() == QAccessible::Dialog || accessible->role() == QAccessible::AlertMessage;
    Notices.push_back({box->text(), box->windowTitle(), box->icon(), static_cast<int>(box->buttons().size()), dialog,
                       accessible->text(QAccessible::Name), shownAt_, BlankStops(accessible)});
    box->button(QMessageBox::Ok)->click();
}

QStringList BlankStops(QAccessibleInterface *element)
{
    QStringList blank;
    if (element->state().invisible)
        return blank;
    bool holdsOffered = false;
    for (int i = 0; i < element->childCount(); ++i) {
        QAccessibleInterface *child = element->child(i);
        holdsOffered = holdsOffered || !child->state().invisible;
        blank << BlankStops(child);
    }
    if (element->text(QAccessible::Name).isEmpty() && !holdsOffered)
        blank.prepend(QString("%1 (%2)").arg(element->object()->objectName(),
                                            QMetaEnum::fromType<QAccessible::Role>().valueToKey(element->role())));
    return blank;
}

std::unique_ptr<Form1> ShownWindow(int layoutRoll)
{
    auto window = std::make_unique<Form1>(std::make_unique<ScriptedRandom>(ReplayedDraws(layoutRoll)));
    window->show();
    window->activateWindow();
    WindowActive(window.get());
    return window;
}

bool WindowActive(QWidget *window)
{
    // A last guard only: each wait ends as soon as the window is there, but on a machine
    // busy with builds a window can take seconds to be shown or activated.
    constexpr int Guard = 30000;
    static bool platformActivates = true;
    if (!QTest::qWaitForWindowExposed(window, Guard))
        return false;
    if (window->isActiveWindow())
        return true;
    if (!platformActivates)
        return false;
    // Where the platform says it cannot activate windows (a headless Wayland compositor has
    // no seat), qWaitForWindowActive only waits for the window to be exposed; the window
    // then stays inactive, and the platform is known for what it is.
    platformActivates = QTest::qWaitForWindowActive(window, Guard) && window->isActiveWindow();
    if (!platformActivates)
        qWarning("the window did not become active: tests that press keys are skipped");
    return platformActivates;
}

bool UnderWine()
{
#ifdef Q_OS_WIN
    // Wine's own ntdll has a function Windows's lacks.
    return QLibrary::resolve(QStringLiteral("ntdll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

void PressOnFocused(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *focused = QApplication::focusWidget();
    if (focused == nullptr) {
        QTest::qFail("no control has the keyboard focus", __FILE__, __LINE__);
        return;
    }
    QTest::keyClick(focused, key, modifiers);
}

void HoldOnFocused(Qt::Key key, Qt::KeyboardModifiers modifiers, const std::function<void()> &stillHeld)
{
    quint64 time = 1000;
    const auto send = [key, modifiers, &time](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, key, modifiers, QString(), repeat);
        event.setTimestamp(time);
        if (QWidget *focused = QApplication::focusWidget())
            QApplication::sendEvent(focused, &event);
    };
    send(QEvent::KeyPress, false);
    // Windows and Wayland repeat the press alone; X11 a release and a press of one moment.
    for (int repeat = 0; repeat < 2; ++repeat) {
        time += 40;
        send(QEvent::KeyPress, true);
    }
    for (int repeat = 0; repeat < 4; ++repeat) {
        time += 40;
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    if (stillHeld)
        stillHeld();
    time += 40;
    send(QEvent::KeyRelease, false);
    send(QEvent::KeyPress, false);
    time += 40;
    send(QEvent::KeyRelease, false);
}

QRadioButton *OptionOf(Form1 &window, int k)
{
    return qobject_cast<QRadioButton *>(window.Widget(quiz::OptionButton(k)));
}

QRadioButton *KeyOption(Form1 &window)
{
    return OptionOf(window, quiz::QuestionBank::Find(window.Run().QuestionAt(window.Run().QuestionNo))->Key);
}

void AnswerUntil(Form1 &window, int number)
{
    for (int shown = window.Run().QuestionNo; shown < number; shown = window.Run().QuestionNo) {
        Click(KeyOption(window));
        Click(window.Command2);
        Click(window.Command4);
        if (window.Run().QuestionNo != shown + 1) {
            QTest::qFail(qPrintable(QString("question %1, answered, did not lead to question %2").arg(shown).arg(shown + 1)),
                         __FILE__, __LINE__);
            return;
        }
    }
}

void Click(QWidget *widget)
{
    // An answer's visible row reaches far past its words, so the middle of it is where a
    // pupil clicks beside the words, not on them.
    const QRect visible = widget->rect().intersected(
        widget->parentWidget()->rect().translated(-widget->pos()));
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, visible.center());
}
