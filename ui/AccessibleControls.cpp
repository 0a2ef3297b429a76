// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccessibleControls.h"

#include "AnswerButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

#include <algorithm>

namespace AccessibleControls {

namespace {

// An answer is heard as its text and its state only. Qt would also offer the frame as
// the answer's label, and a screen reader would then read the frame's name, the whole
// question, a second time right after entering the frame.
class AnswerAccessible : public QAccessibleWidget {
public:
    explicit AnswerAccessible(AnswerButton *button) : QAccessibleWidget(button, QAccessible::RadioButton) {}

    // Where the answer is, for a magnifier that follows the focus or a tool that clicks an
    // object's middle: the visible row, not the whole button, which reaches past the frame
    // and the window.
    QRect rect() const override
    {
        const QRect row = Button()->VisibleRow();
        return QRect(Button()->mapToGlobal(row.topLeft()), row.size());
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Button()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        return state;
    }

    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        return QAccessibleWidget::relations(match & ~QAccessible::Relation(QAccessible::Label));
    }

    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        // As a click: choosing is all a pupil can do with an answer, it never unchooses one.
        if (action == toggleAction() || action == pressAction())
            Button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    AnswerButton *Button() const { return static_cast<AnswerButton *>(widget()); }
};

// The list of answers. Its answers are met in the order of the rows a sighted pupil sees,
// top to bottom, whichever rows the layout of this run gave them: the window stacks them
// so, and a screen reader walks the list, and says "2 of 4", in the order Qt hands the
// children over.
class AnswerListAccessible : public QAccessibleWidget {
public:
    explicit AnswerListAccessible(QWidget *frame) : QAccessibleWidget(frame, QAccessible::List) {}

    // At launch the frame lies under the photograph, but for the edge of its border, and
    // holds no answer: a sighted pupil sees nothing there, and a screen reader is offered
    // nothing either, not an empty list (UI Automation leaves what is invisible out of
    // its tree).
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const QWidgetList rows = widget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        if (std::none_of(rows.begin(), rows.end(), [](const QWidget *row) { return row->isVisible(); }))
            state.invisible = true;
        return state;
    }
};

// A label that says nothing yet (the status line before a verdict, «из 10» before Start, the
// question under the photograph, a notice's icon) would be a blank stop for a pupil walking
// the window with a screen reader: it is offered only once it carries text, or a name of its
// own. Neither UI Automation nor AT-SPI offers what is invisible.
class LabelAccessible : public QAccessibleWidget {
public:
    explicit LabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override
    {
        return Label()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }

    // The window's labels and the notices' texts are plain text.
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Label()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (text(QAccessible::Name).isEmpty())
            state.invisible = true;
        return state;
    }

private:
    QLabel *Label() const { return static_cast<QLabel *>(widget()); }
};

// UI Automation shows any top-level window as a window whatever its role. Qt's bridge
// there also tells the focus again, as the focus it already told, whenever a window in the
// Window role is activated or deactivated, so each notice shown or closed was heard as a
// focus change to the same button twice; in its own role it is told once. AT-SPI gives the
// role itself to Orca, which says "window".
#ifdef Q_OS_WIN
constexpr QAccessible::Role WindowRole = QAccessible::Client;
#else
constexpr QAccessible::Role WindowRole = QAccessible::Window;
#endif

} // namespace

// A screen reader hears the window as a window, the photograph as a picture, not as two
// anonymous panels, and the answers as above. The frame is the list of answers: a screen
// reader that names a panel's radio buttons by the panel (Orca 48 does) would otherwise
// read the question twice, once entering the frame and once as the answers' group.
QAccessibleInterface *WindowAccessible(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr)
        return nullptr;
    if (className == QLatin1String("PictureBox"))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String("Form1"))
        return new QAccessibleWidget(widget, WindowRole);
    if (className == QLatin1String("QGroupBox") && widget->window()->inherits("Form1"))
        return new AnswerListAccessible(widget);
    if (className == QLatin1String("AnswerButton"))
        return new AnswerAccessible(static_cast<AnswerButton *>(widget));
    if (className == QLatin1String("QLabel")
        && (widget->window()->inherits("Form1") || widget->window()->inherits("QMessageBox")))
        return new LabelAccessible(static_cast<QLabel *>(widget));
    return nullptr;
}

} // namespace AccessibleControls
