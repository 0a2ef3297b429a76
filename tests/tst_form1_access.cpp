// SPDX-License-Identifier: GPL-3.0-or-later
// Every pupil can take the test: by keyboard alone, with a screen reader, and reading
// every text against its background.
#include "QuestionBank.h"
#include "WindowTesting.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QtTest>

#include <cmath>

class Form1AccessTest : public QObject {
    Q_OBJECT

private slots:
    void wholeTestByKeyboardAlone();
    void screenReaderHearsEveryControl();
    void textsMeetContrastMinimum();
};

namespace {

QWidget *Focused()
{
    return QApplication::focusWidget();
}

// The focus is always somewhere a pupil can see it.
bool FocusVisible()
{
    QWidget *focused = Focused();
    return focused != nullptr && focused->isVisible() && focused->isEnabled()
        && focused->visibleRegion().boundingRect().width() > 0;
}

bool TabTo(QWidget *target)
{
    for (int press = 0; press < 12 && Focused() != target; ++press)
        PressOnFocused(Qt::Key_Tab);
    return Focused() == target;
}

QAccessibleInterface *Accessible(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

double Luminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        channel /= 255.0;
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) + 0.0722 * linear(colour.blue());
}

double Contrast(const QColor &a, const QColor &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

void Form1AccessTest::wholeTestByKeyboardAlone()
{
    NoticeCatcher catcher;
    auto window = ShownWindow();
    Form1 &form = *window;
    SKIP_UNLESS_ACTIVE(&form);

    QCOMPARE(Focused(), form.Command1);
    // Start hides the focused button. The focus goes straight to the top answer (Option4
    // in the first layout), so a screen reader names no other control on the way.
    QRadioButton *top = OptionOf(form, 4);
    QWidgetList focusedOnTheWay;
    const auto watch = connect(qApp, &QApplication::focusChanged, this, [&](QWidget *, QWidget *now) {
        if (now != nullptr)
            focusedOnTheWay << now;
    });
    PressOnFocused(Qt::Key_Space);
    disconnect(watch);
    QCOMPARE(form.Run().QuestionNo, 1);
    QCOMPARE(focusedOnTheWay, QWidgetList{top});
    QVERIFY(FocusVisible());

    // Enter and Escape mean nothing while an answer has the focus.
    PressOnFocused(Qt::Key_Return);
    PressOnFocused(Qt::Key_Escape);
    QVERIFY(catcher.Notices.empty());
    QCOMPARE(form.Run().CheckedNo, 0);

    for (int number = 1; number <= 10; ++number) {
        QVERIFY2(Focused() == top, "each new question starts on the top answer");
        QRadioButton *key = OptionOf(form, quiz::QuestionBank::Find(form.Run().QuestionAt(number))->Key);
        // Space chooses the focused answer; the arrows then move the choice between rows.
        PressOnFocused(Qt::Key_Space);
        for (int press = 0; press < 3 && !key->isChecked(); ++press)
            PressOnFocused(Qt::Key_Down);
        for (int press = 0; press < 3 && !key->isChecked(); ++press)
            PressOnFocused(Qt::Key_Up);
        QVERIFY(key->isChecked());
        QVERIFY(TabTo(form.Command2));
        PressOnFocused(Qt::Key_Space);
        QCOMPARE(form.Label7->text(), QString("Ответ принят"));
        if (number == 10)
            break;
        QVERIFY(TabTo(form.Command4));
        PressOnFocused(Qt::Key_Return);
        QCOMPARE(form.Run().QuestionNo, number + 1);
        QVERIFY(FocusVisible());
    }
    QCOMPARE(form.Label4->text(), QString("0"));
    // Next has left; Shift+Tab and Tab never land on it.
    QVERIFY(FocusVisible());
    QVERIFY(TabTo(form.Command3));
    PressOnFocused(Qt::Key_Space);
    QCOMPARE(catcher.Take(), QStringList{"Покажите результат учителю"});
    // The notice hands the focus back where it was.
    QVERIFY(WindowActive(&form));
    QCOMPARE(Focused(), form.Command3);
    PressOnFocused(Qt::Key_Backtab);
    QVERIFY(FocusVisible());
    QVERIFY(Focused() != form.Command4);
    QVERIFY(TabTo(form.Command3));
    PressOnFocused(Qt::Key_Space);
    QVERIFY(!form.isVisible());
}

void Form1AccessTest::screenReaderHearsEveryControl()
{
    NoticeCatcher catcher;
    auto window = ShownWindow();
    Form1 &form = *window;
    const auto check = [](QWidget *widget, QAccessible::Role role, const QString &name, bool showing) {
        QAccessibleInterface *accessible = Accessible(widget);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->role(), role);
        QCOMPARE(accessible->text(QAccessible::Name), name);
        QCOMPARE(!accessible->state().invisible, showing);
    };

    // The launch screen.
    check(&form, QAccessible::Window, "Знайдар", true);
    check(form.Label2, QAccessible::StaticText, "Таловерская школа, 2007-2008 уч. год", true);
    check(form.Label5, QAccessible::StaticText, "Номер вопроса", true);
    check(form.Label6, QAccessible::StaticText, "Тест не начат", true);
    check(form.Label3, QAccessible::StaticText, "Количество ошибок", true);
    check(form.Label4, QAccessible::StaticText, "Ошибок пока нет", true);
    check(form.Picture1, QAccessible::Graphic, "Фотография: морской берег, трава на дюнах, море и небо", true);
    check(form.Command1, QAccessible::Button, "Начать тест", true);
    check(form.Command2, QAccessible::Button, "Проверить", true);
    check(form.Command3, QAccessible::Button, "Выход", true);
    check(form.Command4, QAccessible::Button, "Следующий вопрос", false);
    for (int k = 1; k <= 4; ++k)
        QVERIFY(Accessible(OptionOf(form, k))->state().invisible);
    for (QPushButton *button : {form.Command1, form.Command2, form.Command3, form.Command4})
        QVERIFY(!Accessible(button)->text(QAccessible::Description).isEmpty());

    // A question screen: the answers are heard as radio buttons of the titled group.
    QTest::keyClick(form.Command1, Qt::Key_Space);
    check(form.Label6, QAccessible::StaticText, "Вопрос 1 из 10", true);
    check(form.Label8, QAccessible::StaticText, "из 10", true);
    check(form.Picture1, QAccessible::Graphic, "Фотография: морской берег, трава на дюнах, море и небо", false);
    check(form.Command1, QAccessible::Button, "Начать тест", false);
    check(form.Command4, QAccessible::Button, "Следующий вопрос", true);
    const quiz::Question *question = quiz::QuestionBank::Find(ReplayedOrder[0]);
    check(form.Label1, QAccessible::StaticText, QString::fromUtf8(question->Text),
          true);
    check(form.Frame1, QAccessible::Grouping, "Выберите ответ (изменения вносите до ПРОВЕРКИ)", true);
    for (int k = 1; k <= 4; ++k) {
        const std::string_view answer = question->Answers[std::size_t(k - 1)];
        check(OptionOf(form, k), QAccessible::RadioButton, QString::fromUtf8(answer),
              true);
        QCOMPARE(Accessible(OptionOf(form, k))->parent()->object(), form.Frame1);
    }

    // A notice is announced with its text.
    form.Command2->click();
    QCOMPARE(catcher.Notices.size(), std::size_t(1));
    QVERIFY(catcher.Notices[0].AnnouncedAsDialog);
    QVERIFY(catcher.Notices[0].Spoken.contains("Выберите ответ"));

    // After the last answer: the count is heard with its meaning, Next is gone.
    for (int number = 1; number <= 10; ++number) {
        OptionOf(form, 1)->click();
        form.Command2->click();
        if (number < 10)
            form.Command4->click();
    }
    check(form.Label6, QAccessible::StaticText, "Вопрос 10 из 10", true);
    check(form.Label4, QAccessible::StaticText, QString("Ошибок: %1").arg(form.Run().WrongAnswers), true);
    check(form.Label7, QAccessible::StaticText, "Ответ принят", true);
    check(form.Command4, QAccessible::Button, "Следующий вопрос", false);
}

void Form1AccessTest::textsMeetContrastMinimum()
{
    // Measured on the drawn window, so a colour change anywhere, palette or style sheet,
    // cannot quietly fail a pupil with low vision.
    auto window = ShownWindow();
    Form1 &form = *window;
    form.Command1->click();
    OptionOf(form, 1)->click();
    form.Command2->click();
    form.Label4->setText("10");
    const QImage shot = form.grab().toImage();
    // The picture is in device pixels, the controls' places in device-independent ones.
    const qreal ratio = shot.devicePixelRatio();

    const auto check = [&](QWidget *widget, QRect textArea) {
        const QRect place(widget->mapTo(&form, textArea.topLeft()), textArea.size());
        const QRect area = QRect((QPointF(place.topLeft()) * ratio).toPoint(), (QSizeF(place.size()) * ratio).toSize())
                               .intersected(shot.rect());
        QVERIFY2(!area.isEmpty(), qPrintable(widget->objectName()));
        // The background is what surrounds the text; the text colour is the drawn pixel
        // that stands out most from it.
        std::map<QRgb, int> counts;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                ++counts[shot.pixel(x, y)];
        const QColor background = QColor::fromRgb(
            std::max_element(counts.begin(), counts.end(), [](auto a, auto b) { return a.second < b.second; })->first);
        double best = 1.0;
        for (const auto &entry : counts)
            best = std::max(best, Contrast(QColor::fromRgb(entry.first), background));
        QVERIFY2(best >= 4.5, qPrintable(QString("%1: %2:1").arg(widget->objectName()).arg(best)));
    };
    for (QLabel *label : form.findChildren<QLabel *>())
        if (!label->text().isEmpty())
            check(label, label->rect());
    for (QPushButton *button : {form.Command2, form.Command3, form.Command4})
        check(button, button->rect().adjusted(4, 4, -4, -4));
    form.Command1->setVisible(true);
    const QImage yellow = form.Command1->grab().toImage();
    QVERIFY(Contrast(Qt::black, yellow.pixelColor(yellow.width() / 20, yellow.height() / 2)) >= 4.5);
    for (int k = 1; k <= 4; ++k) {
        QRadioButton *option = OptionOf(form, k);
        QStyleOptionButton style;
        style.initFrom(option);
        style.text = option->text();
        check(option, option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option));
    }
    check(form.Frame1, QRect(0, 0, form.Frame1->width(), 20));
}

QTEST_MAIN(Form1AccessTest)
#include "tst_form1_access.moc"
