// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil's test on the real window: clicks, notices, the layouts, and the end.
#include "DesignExpected.h"
#include "QuestionBank.h"
#include "WindowTesting.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

class Form1PlayTest : public QObject {
    Q_OBJECT

private slots:
    void wholeTestByMouse();
    void layoutsPutOptionsOnFourRows_data();
    void layoutsPutOptionsOnFourRows();
    void clearingReallyUnselects();
    void goneButtonsCannotBePressed();
    void exitEndsThroughTheEventLoop();
};

void Form1PlayTest::wholeTestByMouse()
{
    NoticeCatcher catcher;
    auto window = ShownWindow();
    Form1 &form = *window;

    Click(form.Command1);
    QVERIFY(!form.Command1->isVisible());
    QVERIFY(form.Command4->isVisible());
    QVERIFY(!form.Picture1->isVisible());
    QCOMPARE(form.Label8->text(), QString("из 10"));
    QCOMPARE(form.Frame1->title(), QString("Выберите ответ (изменения вносите до ПРОВЕРКИ)"));
    QVERIFY(catcher.Notices.empty());

    // Check with nothing selected, and Next and Exit before an answer, are refused.
    Click(form.Command2);
    Click(form.Command4);
    Click(form.Command3);
    QCOMPARE(catcher.Notices.size(), std::size_t(3));
    for (const Notice &notice : catcher.Notices) {
        QCOMPARE(notice.Title, QString("Внимание!"));
        QCOMPARE(notice.Icon, QMessageBox::Question);
        QCOMPARE(notice.Buttons, 1);
    }
    QCOMPARE(catcher.Take(), (QStringList{"Выберите ответ", "Нажмите кнопку ПРОВЕРИТЬ", "Нажмите кнопку ПРОВЕРИТЬ"}));
    QVERIFY(form.isVisible());

    int wrong = 0;
    for (int number = 1; number <= 10; ++number) {
        const int id = ReplayedOrder[std::size_t(number - 1)];
        const quiz::Question *question = quiz::QuestionBank::Find(id);
        QCOMPARE(form.Label6->text(), QString::number(number));
        QCOMPARE(form.Label1->text(), QString::fromUtf8(question->Text));
        QCOMPARE(form.Label7->text(), QString());
        for (int k = 1; k <= 4; ++k)
            QVERIFY(!OptionOf(form, k)->isChecked());

        // Every third answer wrong; the first choice is changed before checking.
        const int key = quiz::QuestionBank::Find(form.Run().QuestionAt(number))->Key;
        const bool answerWrong = number % 3 == 0;
        // A click beside an answer's words chooses it and takes the focus mark with it, so
        // that Space afterwards acts on the answer the pupil sees chosen.
        Click(OptionOf(form, key % 4 + 1));
        QRadioButton *chosen = OptionOf(form, answerWrong ? key % 4 + 1 : key);
        Click(chosen);
        QVERIFY(chosen->isChecked());
        QCOMPARE(form.focusWidget(), chosen);
        Click(form.Command2);
        wrong += answerWrong ? 1 : 0;
        QCOMPARE(form.Label4->text(), QString::number(wrong));
        QCOMPARE(form.Label7->text(), QString("Ответ принят"));
        // A second Check with another answer changes nothing.
        Click(OptionOf(form, key));
        Click(form.Command2);
        QCOMPARE(form.Label4->text(), QString::number(wrong));
        if (number < 10)
            Click(form.Command4);
    }
    QVERIFY(catcher.Notices.empty());
    QVERIFY2(!form.Command4->isVisible() && !form.Command4->isEnabled(), "Next is gone at question 10");
    QCOMPARE(form.Run().QuestionNo, 10);

    Click(form.Command3);
    QCOMPARE(catcher.Take(), QStringList{"Покажите результат учителю"});
    QVERIFY(form.isVisible());
    Click(form.Command3);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.Label4->text(), QString("3"));
}

void Form1PlayTest::layoutsPutOptionsOnFourRows_data()
{
    QTest::addColumn<int>("roll");
    QTest::addColumn<QString>("rows");
    QTest::newRow("first") << 50 << "4123";
    QTest::newRow("second") << 100 << "3241";
    QTest::newRow("third") << 150 << "2314";
    QTest::newRow("fourth") << 200 << "1432";
}

void Form1PlayTest::layoutsPutOptionsOnFourRows()
{
    QFETCH(int, roll);
    QFETCH(QString, rows);
    auto window = ShownWindow(roll);
    Click(window->Command1);
    // The pupil's next step is to choose, from the top: the focus is on the top row's
    // answer after Start and after each accepted Next.
    QRadioButton *top = OptionOf(*window, rows.at(0).digitValue());
    QCOMPARE(window->focusWidget(), top);
    // Rows at 360, 900, 1500 and 2100 twips in Frame1; the top one 10 twips further right.
    for (int row = 0; row < 4; ++row) {
        QRadioButton *button = OptionOf(*window, rows.at(row).digitValue());
        QVERIFY(button->isVisible());
        QCOMPARE(button->mapTo(window->Frame1, QPoint(0, 0)), Expected::InPixels(Expected::Rows[row]));
        // Wider than the frame, and cut off at its inner edge.
        QVERIFY(button->geometry().right() > window->Frame1->width());
        QCOMPARE(button->mask().boundingRect().translated(button->pos()).right(), window->FrameInner().right());
    }
    AnswerUntil(*window, 2);
    QCOMPARE(window->Run().QuestionNo, 2);
    QCOMPARE(window->focusWidget(), top);
}

void Form1PlayTest::clearingReallyUnselects()
{
    auto window = ShownWindow();
    Click(window->Command1);
    Click(OptionOf(*window, 2));
    QVERIFY(OptionOf(*window, 2)->isChecked());
    Click(OptionOf(*window, 3));
    QVERIFY(!OptionOf(*window, 2)->isChecked());
    window->ClearValue(quiz::Control::Option3);
    for (int k = 1; k <= 4; ++k)
        QVERIFY(!OptionOf(*window, k)->isChecked());
    // The buttons still exclude each other afterwards.
    Click(OptionOf(*window, 1));
    Click(OptionOf(*window, 4));
    QVERIFY(!OptionOf(*window, 1)->isChecked());
}

void Form1PlayTest::goneButtonsCannotBePressed()
{
    NoticeCatcher catcher;
    auto window = ShownWindow();
    Form1 &form = *window;
    const auto pressByAssistiveTool = [](QWidget *button) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };

    // Before Start: a Next would leave an empty test with Command1 gone.
    pressByAssistiveTool(form.Command4);
    QTest::mouseClick(form.Command4, Qt::LeftButton);
    QCOMPARE(form.Run().QuestionNo, 0);
    QVERIFY(form.Command1->isVisible());

    Click(form.Command1);
    const quiz::TestRun afterStart = form.Run();
    // After Start: a second Start would shuffle a full order.
    pressByAssistiveTool(form.Command1);
    QCOMPARE(form.Run().QuestionOrder, afterStart.QuestionOrder);
    QCOMPARE(form.Run().QuestionNo, 1);

    AnswerUntil(form, 10);
    QCOMPARE(form.Run().QuestionNo, 10);
    pressByAssistiveTool(form.Command4);
    QCOMPARE(form.Run().QuestionNo, 10);

    // Tab through every focusable control, pressing Space and Enter on each. Exit is left
    // out: it ends the program, which is tested on its own.
    SKIP_UNLESS_ACTIVE(&form);
    for (int press = 0; press < 24; ++press) {
        // A notice (Check with nothing chosen) takes the activation for a moment.
        QVERIFY(WindowActive(&form));
        PressOnFocused(Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused != nullptr && focused->isVisible() && focused->isEnabled());
        QVERIFY(focused != form.Command4 && focused != form.Command1);
        if (focused == form.Command3)
            continue;
        QTest::keyClick(focused, Qt::Key_Space);
        QTest::keyClick(focused, Qt::Key_Return);
        QCOMPARE(form.Run().QuestionNo, 10);
    }
    QVERIFY(form.isVisible());
}

void Form1PlayTest::exitEndsThroughTheEventLoop()
{
    auto window = ShownWindow();
    QTimer::singleShot(0, window.get(), [&] { Click(window->Command3); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(Form1PlayTest)
#include "tst_form1_play.moc"
