// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenReader.h"

#include "AnswerButton.h"
#include "PictureBox.h"
#include "Product.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <utility>

using quiz::Control;

namespace ScreenReader {

namespace {

const QString StartMeaning = QStringLiteral("Начать тест из десяти вопросов");
// The frame's title tells a sighted pupil that an answer cannot be changed once checked;
// a blind pupil hears it where it matters, on the button that checks.
const QString CheckMeaning = QStringLiteral("Проверить выбранный ответ. Изменения вносите до проверки.");
const QString ExitMeaning = QStringLiteral("Выйти из программы");
const QString NextMeaning = QStringLiteral("Перейти к следующему вопросу");

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

// A label that starts or stops saying something comes to, or leaves, a screen reader that
// keeps what it has seen, as a control shown or hidden does.
const char *const OfferedProperty = "offeredToScreenReaders";

bool Offered(QLabel *label)
{
    return !QAccessible::queryAccessibleInterface(label)->state().invisible;
}

void TellWhetherOffered(QLabel *label)
{
    const bool offered = Offered(label);
    if (label->property(OfferedProperty).toBool() == offered)
        return;
    label->setProperty(OfferedProperty, offered);
    QAccessibleEvent event(label, offered ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&event);
}

// The verdict belongs to the moment the focus arrives after Check. Once the focus leaves
// the button (to the answers, to a notice) it means what it always means again.
class VerdictFades : public QObject {
public:
    VerdictFades(QPushButton *button, QString meaning) : QObject(button), meaning_(std::move(meaning))
    {
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut)
            static_cast<QWidget *>(watched)->setAccessibleDescription(meaning_);
        return false;
    }

private:
    QString meaning_;
};

} // namespace

void Describe(const Controls &controls)
{
    static const bool factoryInstalled = (QAccessible::installFactory(WindowAccessible), true);
    Q_UNUSED(factoryInstalled);
    // Visible captions stay as designed, misspellings included; what a screen reader says
    // may be fuller and spelt right.
    controls.Widget(Control::Form1)->setAccessibleDescription(QString::fromUtf8(product::SummaryRu));
    controls.Label1->setAccessibleDescription(QStringLiteral("Текст вопроса"));
    controls.Label2->setAccessibleDescription(QStringLiteral("Школа и учебный год"));
    controls.Label3->setAccessibleName(QStringLiteral("Количество ошибок"));
    controls.Label4->setAccessibleName(QStringLiteral("Ошибок пока нет"));
    controls.Label5->setAccessibleName(QStringLiteral("Номер вопроса"));
    controls.Label6->setAccessibleName(QStringLiteral("Тест не начат"));
    controls.Label7->setAccessibleDescription(QStringLiteral("Строка состояния"));
    controls.Frame1->setAccessibleDescription(QStringLiteral("Варианты ответа"));
    controls.Picture1->setAccessibleName(QStringLiteral("Фотография: морской берег, трава на дюнах, море и небо"));
    controls.Command1->setAccessibleDescription(StartMeaning);
    controls.Command2->setAccessibleDescription(CheckMeaning);
    controls.Command3->setAccessibleDescription(ExitMeaning);
    controls.Command4->setAccessibleDescription(NextMeaning);
    new VerdictFades(controls.Command3, ExitMeaning);
    new VerdictFades(controls.Command4, NextMeaning);
    for (QLabel *label : {controls.Label1, controls.Label2, controls.Label3, controls.Label4, controls.Label5,
                          controls.Label6, controls.Label7, controls.Label8})
        label->setProperty(OfferedProperty, Offered(label));
#ifdef Q_OS_WIN
    // Qt's UI Automation bridge tells a change of the checked state to a screen reader
    // for check boxes only. A pupil who chooses the focused answer with Space would hear
    // nothing (NVDA speaks a radio button's new state when it is told the item was
    // selected, or when the focus next moves), so the choice is also told as the answer's
    // selection, which the bridge passes on as UI Automation's ElementSelected event. On
    // Linux the checked state's own change already reaches Orca, which says "selected".
    for (QRadioButton *answer : {controls.Option1, controls.Option2, controls.Option3, controls.Option4})
        QObject::connect(answer, &QAbstractButton::toggled, answer, [answer](bool checked) {
            if (!checked)
                return;
            QAccessibleEvent selected(answer, QAccessible::SelectionAdd);
            QAccessible::updateAccessibility(&selected);
        });
#endif
}

void CaptionChanged(const Controls &controls, Control control, const QString &caption)
{
    switch (control) {
    case Control::Label6:
        controls.Label6->setAccessibleName(QStringLiteral("Вопрос %1 из 10").arg(caption));
        break;
    case Control::Label4:
        controls.Label4->setAccessibleName(QStringLiteral("Ошибок: %1").arg(caption));
        break;
    case Control::Frame1:
        controls.Frame1->setAccessibleDescription(caption);
        break;
    default:
        break;
    }
    if (auto *label = qobject_cast<QLabel *>(controls.Widget(control)))
        TellWhetherOffered(label);
}

void Tell(const Controls &controls, const quiz::Outcome &outcome)
{
    using Kind = quiz::Outcome::Kind;
    if (outcome.What == Kind::Showing) {
        controls.Frame1->setAccessibleName(QStringLiteral("Вопрос %1 из 10. %2")
                                               .arg(QString::number(outcome.QuestionNo),
                                                    QString::fromStdString(outcome.QuestionText)));
        // The first question: the photograph has gone and the answers are on their rows, so
        // the list is there to be read now, its answers in a new order, and a screen reader
        // that keeps the children it has seen fetches them again.
        if (outcome.QuestionNo == 1) {
            QAccessibleEvent shown(controls.Frame1, QAccessible::ObjectShow);
            QAccessible::updateAccessibility(&shown);
            QAccessibleEvent reordered(controls.Frame1, QAccessible::ObjectReorder);
            QAccessible::updateAccessibility(&reordered);
        }
        // The verdict on the last question is old news, even where the focus never reached
        // the button that carried it.
        controls.Command3->setAccessibleDescription(ExitMeaning);
        controls.Command4->setAccessibleDescription(NextMeaning);
    } else if (outcome.What == Kind::Accepted) {
        const QString verdict = QStringLiteral("%1. Ошибок: %2.")
                                    .arg(QString::fromStdString(outcome.Verdict), QString::number(outcome.WrongAnswers));
        if (outcome.LastQuestion)
            controls.Command3->setAccessibleDescription(verdict
                                                        + QStringLiteral(" Это был последний вопрос, тест окончен."));
        else
            controls.Command4->setAccessibleDescription(verdict);
    }
}

} // namespace ScreenReader
