// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenReader.h"

#include "AccessibleControls.h"
#include "AnswerButton.h"
#include "PictureBox.h"
#include "Product.h"

#include <QAccessible>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

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
    static const bool factoryInstalled = (QAccessible::installFactory(AccessibleControls::WindowAccessible), true);
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
