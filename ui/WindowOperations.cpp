// SPDX-License-Identifier: GPL-3.0-or-later
// The window operations the test actions use, carried out on Form1's controls.
#include "Form1.h"

#include "DesignUnits.h"
#include "ScreenReader.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

using quiz::Control;
using quiz::Rgb;

namespace {

// Frame1's border: the option buttons are cut off inside it.
constexpr int FrameBorder = 2;

} // namespace

QRect Form1::FrameInner() const
{
    return Frame1->rect().adjusted(FrameBorder, FrameBorder, -FrameBorder, -FrameBorder);
}

void Form1::SetCaption(Control id, const std::string &caption)
{
    QWidget *widget = Widget(id);
    const QString text = QString::fromStdString(caption);
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(text);
    else if (auto *frame = qobject_cast<QGroupBox *>(widget))
        frame->setTitle(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
    ScreenReader::CaptionChanged(*this, id, text);
}

void Form1::SetVisible(Control id, bool visible)
{
    shown_[static_cast<std::size_t>(id)] = visible;
    ApplyReach(id);
}

void Form1::ClearValue(Control id)
{
    Q_ASSERT(quiz::IsOption(id));
    auto *button = qobject_cast<QRadioButton *>(Widget(id));
    if (!button->isChecked())
        return;
    // An auto-exclusive group refuses to uncheck its checked button; lift the rule for
    // the moment it takes.
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

bool Form1::GetValue(Control id)
{
    // The logic asks after one button, the key's; a button group would answer another
    // question, which button is chosen.
    Q_ASSERT(quiz::IsOption(id));
    return qobject_cast<QRadioButton *>(Widget(id))->isChecked();
}

void Form1::SetBackColor(Control id, Rgb colour)
{
    QWidget *widget = Widget(id);
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), Colour(colour));
    widget->setPalette(palette);
}

void Form1::Move(Control id, int left, int top)
{
    QWidget *widget = Widget(id);
    widget->move(Pixels(left), Pixels(top));
    // The option buttons are wider than the frame; they end at its inner edge, not over
    // its border.
    if (quiz::IsOption(id))
        widget->setMask(QRegion(FrameInner().translated(-widget->pos()).intersected(widget->rect())));
    ApplyReach(id);
}

void Form1::ApplyReach(Control id)
{
    Q_ASSERT(id != Control::Form1);
    QWidget *widget = Widget(id);
    const QRect container = widget->parentWidget()->rect();
    const bool inView = container.intersects(widget->geometry());
    const bool reachable = shown_[static_cast<std::size_t>(id)] && inView;
    // A control taken from the pupil keeps the keyboard focus until the window moves it
    // where it means the pupil to land (the top answer, after Start and Next). Left to Qt,
    // the focus would pass on to the next control in the tab order, and a screen reader
    // would name that control first; cleared, Qt would tell the control that loses it as
    // focused once more.
    const QScopedValueRollback<bool> hold(holdFocus_, true);
    if (qobject_cast<QPushButton *>(widget) != nullptr)
        widget->setEnabled(reachable);
    widget->setVisible(reachable);
}

bool Form1::focusNextPrevChild(bool next)
{
    // Qt hands the focus on from a control that is hidden or disabled through here.
    return holdFocus_ || QWidget::focusNextPrevChild(next);
}

void Form1::PressCommand4()
{
    // Command4 is still hidden (and so inert) when Start presses it: its action runs here.
    // What Next did there is part of what Start reports once it is done.
    quiz::Next(run_, *this);
}

void Form1::ShowNotice(const std::string &prompt)
{
    QMessageBox notice(QMessageBox::Question, QString::fromUtf8(NoticeTitle), QString::fromStdString(prompt),
                       QMessageBox::Ok, this);
    notice.setObjectName(QStringLiteral("Notice"));
    notice.setTextFormat(Qt::PlainText);
    // A screen reader announces a notice by its name, and reads the text inside only when it
    // finds it long enough (Orca 48 skips a text of under three words): the name carries both.
    notice.setAccessibleName(QString::fromUtf8(NoticeTitle) + QLatin1Char(' ') + QString::fromStdString(prompt));
    notice.exec();
    // Back to the window, even where no window manager hands the activation back; the
    // window brings back its own focus, on the control the pupil was on.
    activateWindow();
}

void Form1::EndProgram()
{
    // Closing the one window ends the event loop, and with it the program, with status 0.
    close();
}
