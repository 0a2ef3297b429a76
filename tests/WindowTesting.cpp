// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowTesting.h"

#include "QuestionBank.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest>

#include <functional>

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
    QString spoken;
    const std::function<void(QAccessibleInterface *)> collect = [&](QAccessibleInterface *node) {
        spoken += node->text(QAccessible::Name) + ' ';
        for (int i = 0; i < node->childCount(); ++i)
            collect(node->child(i));
    };
    collect(accessible);
    const bool dialog = accessible->role() == QAccessible::Dialog || accessible->role() == QAccessible::AlertMessage;
    Notices.push_back({box->text(), box->windowTitle(), box->icon(), static_cast<int>(box->buttons().size()), dialog,
                       spoken, shownAt_});
    box->button(QMessageBox::Ok)->click();
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
    static bool platformActivates = true;
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    if (window->isActiveWindow())
        return true;
    if (!platformActivates)
        return false;
    // Not qWaitForWindowActive: where the platform says it cannot activate windows, that
    // only waits for the window to be exposed and then reports success.
    platformActivates = QTest::qWaitFor([window] { return window->isActiveWindow(); });
    if (!platformActivates)
        qWarning("the window did not become active: tests that press keys are skipped");
    return platformActivates;
}

void PressOnFocused(Qt::Key key)
{
    QWidget *focused = QApplication::focusWidget();
    if (focused == nullptr) {
        QTest::qFail("no control has the keyboard focus", __FILE__, __LINE__);
        return;
    }
    QTest::keyClick(focused, key);
}

QRadioButton *OptionOf(Form1 &window, int k)
{
    return qobject_cast<QRadioButton *>(window.Widget(quiz::OptionButton(k)));
}

QRadioButton *KeyOption(Form1 &window)
{
    return OptionOf(window, quiz::QuestionBank::Find(window.Run().QuestionAt(window.Run().QuestionNo))->Key);
}

void Click(QWidget *widget)
{
    if (auto *option = qobject_cast<QRadioButton *>(widget)) {
        // Only the indicator and the caption take a click, not the whole wide button.
        QStyleOptionButton style;
        style.initFrom(option);
        const QRect indicator = option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option);
        QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, indicator.center());
        return;
    }
    const QRect visible = widget->rect().intersected(
        widget->parentWidget()->rect().translated(-widget->pos()));
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, visible.center());
}
