// SPDX-License-Identifier: GPL-3.0-or-later
// Every pupil can take the test: by keyboard alone, with a screen reader, and reading
// every text against its background.
#include "Product.h"
#include "QuestionBank.h"
#include "WindowTesting.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleBridge>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>

class Form1AccessTest : public QObject {
    Q_OBJECT

private slots:
    void wholeTestByKeyboardAlone();
    void heldKeyActsOnce_data();
    void heldKeyActsOnce();
    void screenReaderHearsEveryControl();
    void answersHeardInTheirRows_data();
    void answersHeardInTheirRows();
    void textsMeetContrastMinimum();
};

namespace {

// What the window tells screen readers, in order. Qt hands every accessibility event to
// the bridges loaded into the application; this one keeps them for the test.
QList<QPair<QAccessible::Event, QObject *>> Told;

class ToldEvents : public QAccessibleBridge {
public:
    void setRootObject(QAccessibleInterface *) override {}
    void notifyAccessibilityUpdate(QAccessibleEvent *event) override { Told << qMakePair(event->type(), event->object()); }
};

} // namespace

class ToldEventsPlugin : public QAccessibleBridgePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "told-events.json")

public:
    QAccessibleBridge *create(const QString &) override
    {
        // Qt keeps a bridge to the end of the program without deleting it; held here, it is
        // not taken for a leak once Qt's own list of bridges is gone.
        static ToldEvents *bridge = new ToldEvents;
        return bridge;
    }
};
Q_IMPORT_PLUGIN(ToldEventsPlugin)

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
    // Start hides the focused button, and Next at question 9 takes itself away. The focus
    // goes straight to the top answer (Option4 in the first layout), so a screen reader
    // names no other control on the way; nor is the focus cleared on the way, which Qt tells
    // as a focus change to the control that loses it.
    QRadioButton *top = OptionOf(form, 4);
    const auto focusedOnTheWay = [this](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidgetList focused;
        const auto watch =
            connect(qApp, &QApplication::focusChanged, this, [&](QWidget *, QWidget *now) { focused << now; });
        PressOnFocused(key, modifiers);
        disconnect(watch);
        return focused;
    };
    QCOMPARE(focusedOnTheWay(Qt::Key_Space), QWidgetList{top});
    QCOMPARE(form.Run().QuestionNo, 1);
    QVERIFY(FocusVisible());

    // Enter and Escape mean nothing while an answer has the focus.
    PressOnFocused(Qt::Key_Return);
    PressOnFocused(Qt::Key_Escape);
    QVERIFY(catcher.Notices.empty());
    QCOMPARE(form.Run().CheckedNo, 0);

    for (int number = 1; number <= 10; ++number) {
        QVERIFY2(Focused() == top, "each new question starts on the top answer");
        if (number == 2) {
            // Nothing chosen yet: Check is refused and the focus stays put; Shift+Tab leads
            // back to the answers.
            QVERIFY(TabTo(form.Command2));
            // Held, the Enter that brought the notice up brings up no second one once the
            // notice is closed.
            HoldOnFocused(Qt::Key_Return);
            QCOMPARE(catcher.Take(), QStringList{"Выберите ответ"});
            QVERIFY(WindowActive(&form));
            QCOMPARE(Focused(), form.Command2);
            PressOnFocused(Qt::Key_Backtab);
            QVERIFY(qobject_cast<QRadioButton *>(Focused()) != nullptr);
        }
        QRadioButton *key = OptionOf(form, quiz::QuestionBank::Find(form.Run().QuestionAt(number))->Key);
        // Space chooses the focused answer; the arrows then move the choice between rows.
        PressOnFocused(Qt::Key_Space);
        for (int press = 0; press < 3 && !key->isChecked(); ++press)
            PressOnFocused(Qt::Key_Down);
        for (int press = 0; press < 3 && !key->isChecked(); ++press)
            PressOnFocused(Qt::Key_Up);
        QVERIFY(key->isChecked());
        QVERIFY(TabTo(form.Command2));
        // Enter held too long on a slow machine still presses Check once: the verdict stays
        // in sight, the next question waits for a press of its own. The keypad's Enter is
        // Enter too.
        if (number == 3)
            HoldOnFocused(Qt::Key_Return);
        else if (number == 4)
            HoldOnFocused(Qt::Key_Enter, Qt::KeypadModifier);
        else
            PressOnFocused(Qt::Key_Space);
        QCOMPARE(form.Run().QuestionNo, number);
        QCOMPARE(form.Label7->text(), QString("Ответ принят"));
        // An accepted answer hands the focus to the button pressed next.
        QCOMPARE(Focused(), number < 10 ? form.Command4 : form.Command3);
        if (number == 5) {
            // The verdict is news once: a pupil who leaves the button and comes back
            // without pressing it hears what the button does, not the verdict again as if
            // just given.
            PressOnFocused(Qt::Key_Backtab);
            PressOnFocused(Qt::Key_Tab);
            QCOMPARE(Focused(), form.Command4);
            const QString heard = Accessible(form.Command4)->text(QAccessible::Description);
            QVERIFY2(heard == "Перейти к следующему вопросу",
                     qPrintable("back on «Следующий вопрос» without pressing it, the pupil hears «" + heard + "»"));
        }
        if (number == 10)
            break;
        QCOMPARE(focusedOnTheWay(number == 4 ? Qt::Key_Enter : Qt::Key_Return,
                                 number == 4 ? Qt::KeypadModifier : Qt::NoModifier),
                 QWidgetList{top});
        QCOMPARE(form.Run().QuestionNo, number + 1);
        QVERIFY(FocusVisible());
    }
    QCOMPARE(form.Label4->text(), QString("0"));
    QVERIFY(FocusVisible());
    // The same on «Выход» after the last answer.
    PressOnFocused(Qt::Key_Backtab);
    PressOnFocused(Qt::Key_Tab);
    QCOMPARE(Focused(), form.Command3);
    const QString heard = Accessible(form.Command3)->text(QAccessible::Description);
    QVERIFY2(heard == "Выйти из программы",
             qPrintable("back on «Выход» without pressing it, the pupil hears «" + heard + "»"));
    PressOnFocused(Qt::Key_Space);
    QCOMPARE(catcher.Take(), QStringList{"Покажите результат учителю"});
    // The notice hands the focus back where it was.
    QVERIFY(WindowActive(&form));
    QCOMPARE(Focused(), form.Command3);
    // Next has left; Shift+Tab and Tab never land on it.
    PressOnFocused(Qt::Key_Backtab);
    QVERIFY(FocusVisible());
    QVERIFY(Focused() != form.Command4);
    QVERIFY(TabTo(form.Command3));
    PressOnFocused(Qt::Key_Space);
    QVERIFY(!form.isVisible());
}

void Form1AccessTest::heldKeyActsOnce_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    // Space acts as it is let go, Enter as it goes down; Enter on an answer does nothing.
    QTest::addColumn<int>("actsWhileHeld");
    QTest::addColumn<int>("acts");
    const struct {
        const char *name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{"Space", Qt::Key_Space, Qt::NoModifier},
                {"Return", Qt::Key_Return, Qt::NoModifier},
                {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier}};
    for (const char *target : {"Начать тест", "Проверить", "Следующий вопрос", "an answer"})
        for (const auto &key : keys) {
            const bool space = key.key == Qt::Key_Space;
            const bool answer = QByteArray(target) == "an answer";
            QTest::addRow("%s on %s", key.name, target)
                << QString(target) << int(key.key) << int(key.modifiers) << (space || answer ? 0 : 1)
                << (answer && !space ? 0 : 1);
        }
}

void Form1AccessTest::heldKeyActsOnce()
{
    // A pupil holds a key down a moment too long: the platform repeats it, and on a slow
    // machine each repeat that got through would act again, or act before he lets go. A
    // held Space on «Проверить» would show the verdict and move on to the next question
    // under his finger.
    QFETCH(QString, target);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, actsWhileHeld);
    QFETCH(int, acts);
    NoticeCatcher catcher;
    auto window = ShownWindow();
    Form1 &form = *window;
    SKIP_UNLESS_ACTIVE(&form);
    if (target != "Начать тест") {
        form.Command1->click();
        if (target != "an answer")
            KeyOption(form)->click();
        if (target == "Проверить")
            form.Command2->setFocus();
        if (target == "Следующий вопрос")
            form.Command2->click();
    }
    auto *focused = qobject_cast<QAbstractButton *>(Focused());
    QVERIFY(focused != nullptr);
    if (target == "an answer")
        QVERIFY(qobject_cast<QRadioButton *>(focused) != nullptr);
    else
        QCOMPARE(focused->text(), target);

    QStringList acted;
    for (QAbstractButton *button : form.findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::clicked, this, [&acted, button] {
            acted << (qobject_cast<QRadioButton *>(button) != nullptr ? "the answer «" + button->text() + "»"
                                                                      : "«" + button->text() + "»");
        });
    QStringList actedWhileHeld;
    HoldOnFocused(Qt::Key(key), Qt::KeyboardModifiers(modifiers), [&] { actedWhileHeld = acted; });
    const QString keyName = QTest::currentDataTag();
    QVERIFY2(actedWhileHeld.size() == actsWhileHeld,
             qPrintable(QString("%1, key still down after its repeats: pressed %2 time(s) (%3), %4 expected")
                            .arg(keyName)
                            .arg(actedWhileHeld.size())
                            .arg(actedWhileHeld.join(", "))
                            .arg(actsWhileHeld)));
    QVERIFY2(acted.size() == acts, qPrintable(QString("%1, let go: pressed %2 time(s) (%3), %4 expected")
                                                  .arg(keyName)
                                                  .arg(acted.size())
                                                  .arg(acted.join(", "))
                                                  .arg(acts)));
    QVERIFY(catcher.Notices.empty());
}

void Form1AccessTest::screenReaderHearsEveryControl()
{
    NoticeCatcher catcher;
    auto window = ShownWindow();
    Form1 &form = *window;
    // A screen reader speaks a control's name, role and description as it takes the focus,
    // and a container's name as the focus enters it.
    const auto check = [](QWidget *widget, QAccessible::Role role, const QString &name, const QString &description,
                          bool showing) {
        QAccessibleInterface *accessible = Accessible(widget);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->role(), role);
        QCOMPARE(accessible->text(QAccessible::Name), name);
        QCOMPARE(accessible->text(QAccessible::Description), description);
        QCOMPARE(!accessible->state().invisible, showing);
    };
    const QString photograph = "Фотография: морской берег, трава на дюнах, море и небо";
    // A label is offered only while it says something.
    const auto noneBlank = [&form](const char *when) {
        const QStringList blank = BlankStops(Accessible(&form));
        QVERIFY2(blank.isEmpty(), qPrintable(QString("%1: a screen reader walking the window meets blank stops, "
                                                     "offered without a name: %2")
                                                 .arg(when, blank.join(", "))));
    };

    // The launch screen.
#ifdef Q_OS_WIN
    // UI Automation shows a top-level window as a window whatever its role; in the Window
    // role Qt's bridge there would tell the focus twice as the window is activated.
    const QAccessible::Role windowRole = QAccessible::Client;
#else
    const QAccessible::Role windowRole = QAccessible::Window;
#endif
    check(&form, windowRole, QString::fromUtf8(product::Name), QString::fromUtf8(product::SummaryRu), true);
    check(form.Label2, QAccessible::StaticText, "Таловерская школа, 2007-2008 уч. год", "Школа и учебный год", true);
    check(form.Label5, QAccessible::StaticText, "Номер вопроса", "", true);
    check(form.Label6, QAccessible::StaticText, "Тест не начат", "", true);
    check(form.Label3, QAccessible::StaticText, "Количество ошибок", "", true);
    check(form.Label4, QAccessible::StaticText, "Ошибок пока нет", "", true);
    check(form.Picture1, QAccessible::Graphic, photograph, "", true);
    // The answers' frame lies under the photograph: nothing of it is offered.
    check(form.Frame1, QAccessible::List, "", "Варианты ответа", false);
    check(form.Command1, QAccessible::Button, "Начать тест", "Начать тест из десяти вопросов", true);
    check(form.Command2, QAccessible::Button, "Проверить", "Проверить выбранный ответ. Изменения вносите до проверки.", true);
    check(form.Command3, QAccessible::Button, "Выход", "Выйти из программы", true);
    check(form.Command4, QAccessible::Button, "Следующий вопрос", "Перейти к следующему вопросу", false);
    for (int k = 1; k <= 4; ++k)
        QVERIFY(Accessible(OptionOf(form, k))->state().invisible);
    noneBlank("at launch");

    // A question screen: entering the answers, the pupil hears the question's number and
    // text once, as the frame's name; each answer is heard as itself, with nothing added,
    // and not labelled by the frame, which would read the question again.
    QTest::keyClick(form.Command1, Qt::Key_Space);
    check(form.Label6, QAccessible::StaticText, "Вопрос 1 из 10", "", true);
    check(form.Label8, QAccessible::StaticText, "из 10", "", true);
    check(form.Picture1, QAccessible::Graphic, photograph, "", false);
    check(form.Command1, QAccessible::Button, "Начать тест", "Начать тест из десяти вопросов", false);
    check(form.Command4, QAccessible::Button, "Следующий вопрос", "Перейти к следующему вопросу", true);
    const auto text = [](int position) {
        return QString::fromUtf8(quiz::QuestionBank::Find(ReplayedOrder[std::size_t(position - 1)])->Text);
    };
    check(form.Label1, QAccessible::StaticText, text(1), "Текст вопроса", true);
    check(form.Frame1, QAccessible::List, "Вопрос 1 из 10. " + text(1),
          "Выберите ответ (изменения вносите до ПРОВЕРКИ)", true);
    noneBlank("question 1");
    const quiz::Question *question = quiz::QuestionBank::Find(ReplayedOrder[0]);
    for (int k = 1; k <= 4; ++k) {
        const std::string_view answer = question->Answers[std::size_t(k - 1)];
        check(OptionOf(form, k), QAccessible::RadioButton, QString::fromUtf8(answer), "", true);
        QAccessibleInterface *accessible = Accessible(OptionOf(form, k));
        QCOMPARE(accessible->parent()->object(), form.Frame1);
        QVERIFY(accessible->relations(QAccessible::Label).isEmpty());
        QVERIFY(accessible->state().checkable);
        QVERIFY(!accessible->state().checked);
        // Its place is the visible row inside the frame, where a tool that clicks an
        // object's middle, or a magnifier that follows the focus, finds the answer.
        const QRect frameInner(form.Frame1->mapToGlobal(form.FrameInner().topLeft()), form.FrameInner().size());
        const QRect place = accessible->rect();
        QVERIFY2(frameInner.contains(place), qPrintable(QString("answer %1 reaches out of the frame").arg(k)));
        QVERIFY(place.width() > frameInner.width() * 9 / 10);
    }
    // Switch access, voice control and UI Automation's Toggle choose an answer by its
    // toggle action.
    QAccessibleActionInterface *actions = Accessible(OptionOf(form, 3))->actionInterface();
    QVERIFY(actions != nullptr);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(OptionOf(form, 3)->isChecked());
    form.ClearValue(quiz::Control::Option3);

    // A notice is announced with its text in its name: Orca 48 reads a text inside of
    // under three words only if it is there.
    form.Command2->click();
    QCOMPARE(catcher.Notices.size(), std::size_t(1));
    QVERIFY(catcher.Notices[0].AnnouncedAsDialog);
    QVERIFY(catcher.Notices[0].AnnouncedName.contains("Выберите ответ"));
    QVERIFY2(catcher.Notices[0].BlankStops.isEmpty(),
             qPrintable("a screen reader walking the notice meets blank stops, offered without a name: "
                        + catcher.Notices[0].BlankStops.join(", ")));

    // An accepted answer: the verdict and the count ride on the button the focus goes to,
    // until the focus leaves it. The next question is heard as the first was.
    OptionOf(form, 1)->click();
    QVERIFY(Accessible(OptionOf(form, 1))->state().checked);
    form.Command2->click();
    const QString count = QString::number(form.Run().WrongAnswers);
    check(form.Command4, QAccessible::Button, "Следующий вопрос", "Ответ принят. Ошибок: " + count + ".", true);
    check(form.Label7, QAccessible::StaticText, "Ответ принят", "Строка состояния", true);
    noneBlank("question 1 checked");
    form.Command4->click();
    check(form.Command4, QAccessible::Button, "Следующий вопрос", "Перейти к следующему вопросу", true);
    noneBlank("question 2");
    check(form.Frame1, QAccessible::List, "Вопрос 2 из 10. " + text(2),
          "Выберите ответ (изменения вносите до ПРОВЕРКИ)", true);

    // After the last answer: the count is heard with its meaning, Next is gone, and Exit
    // says the test is over until the pupil has pressed it.
    AnswerUntil(form, 10);
    OptionOf(form, 1)->click();
    form.Command2->click();
    const QString mistakes = QString("Ошибок: %1").arg(form.Run().WrongAnswers);
    check(form.Label6, QAccessible::StaticText, "Вопрос 10 из 10", "", true);
    check(form.Frame1, QAccessible::List, "Вопрос 10 из 10. " + text(10),
          "Выберите ответ (изменения вносите до ПРОВЕРКИ)", true);
    check(form.Label4, QAccessible::StaticText, mistakes, "", true);
    check(form.Label7, QAccessible::StaticText, "Ответ принят", "Строка состояния", true);
    check(form.Command4, QAccessible::Button, "Следующий вопрос", "Перейти к следующему вопросу", false);
    check(form.Command3, QAccessible::Button, "Выход",
          "Ответ принят. " + mistakes + ". Это был последний вопрос, тест окончен.", true);
    noneBlank("question 10 checked");
    // The notice takes the focus from Exit, where the platform lets the window have it.
    const bool active = WindowActive(&form);
    form.Command3->click();
    QCOMPARE(catcher.Take().last(), QString("Покажите результат учителю"));
    if (active)
        check(form.Command3, QAccessible::Button, "Выход", "Выйти из программы", true);
}

void Form1AccessTest::answersHeardInTheirRows_data()
{
    QTest::addColumn<int>("layoutRoll");
    // One roll from each quarter of the range: each draws another of the four layouts.
    QTest::newRow("layout 1") << 50;
    QTest::newRow("layout 2") << 100;
    QTest::newRow("layout 3") << 150;
    QTest::newRow("layout 4") << 249;
}

void Form1AccessTest::answersHeardInTheirRows()
{
    // A screen reader walks the list, and says "2 of 4", in the order of its children; the
    // sighted pupil beside a blind one and the teacher see the rows from the top down.
    QFETCH(int, layoutRoll);
    NoticeCatcher catcher;
    auto window = ShownWindow(layoutRoll);
    Form1 &form = *window;
    QAccessibleInterface *list = Accessible(form.Frame1);
    QVERIFY(list->state().invisible);
    Told.clear();
    form.Command1->click();
    QVERIFY(!list->state().invisible);
    // Where the platform keeps the events to itself (AT-SPI, UI Automation) none come here.
    const bool told = !Told.isEmpty();
    if (!told)
        qInfo("the platform hands no accessibility events to other bridges: what the window tells is not checked");
    // A screen reader keeps the children it has seen: Start tells it, once, that the list is
    // there and its answers are in a new order, before the focus enters the list; the focus
    // lands on the top answer once, and nothing more is said of that answer as it lands.
    // Without the new order a screen reader would read the answers in the order the buttons
    // were made, not the rows the pupil beside him sees.
    const auto toldOnce = [](QAccessible::Event event, QObject *object) {
        return std::count(Told.begin(), Told.end(), qMakePair(event, object));
    };
    const auto checkFocusLandsOnce = [&](const QString &at, QObject *top) {
        QList<QObject *> focused;
        qsizetype landed = -1;
        for (qsizetype i = 0; i < Told.size(); ++i)
            if (Told[i].first == QAccessible::Focus) {
                focused << Told[i].second;
                landed = i;
            }
        QVERIFY2(focused == QList<QObject *>{top},
                 qPrintable(at + QString("the focus was told %1 time(s), not once on the top answer").arg(focused.size())));
        for (qsizetype i = landed + 1; i < Told.size(); ++i)
            QVERIFY2(Told[i].second != top, qPrintable(at + "the top answer was told of again after the focus landed on it"));
    };
    if (told) {
        QVERIFY2(toldOnce(QAccessible::ObjectShow, form.Frame1) == 1, "Start did not tell once that the answers' list is shown");
        QVERIFY2(toldOnce(QAccessible::ObjectReorder, form.Frame1) == 1,
                 "Start did not tell once that the answers are in a new order: a screen reader that keeps what it "
                 "has seen reads them in the order the buttons were made, not the rows on the screen");
        QVERIFY2(Told.indexOf(qMakePair(QAccessible::ObjectReorder, static_cast<QObject *>(form.Frame1)))
                     < Told.indexOf(qMakePair(QAccessible::Focus, list->child(0)->object())),
                 "the new order of the answers was told after the focus had entered them");
        checkFocusLandsOnce("Start: ", list->child(0)->object());
        if (QTest::currentTestFailed())
            return;
    }
    QList<QObject *> firstOrder;
    for (int number = 1; number <= 10; ++number) {
        const QString at = QString("question %1: ").arg(number);
        QCOMPARE(list->childCount(), 4);
        QList<QObject *> order;
        int above = std::numeric_limits<int>::min();
        for (int i = 0; i < 4; ++i) {
            QAccessibleInterface *answer = list->child(i);
            QVERIFY2(answer != nullptr && answer->role() == QAccessible::RadioButton, qPrintable(at + "no answer"));
            QCOMPARE(list->indexOfChild(answer), i);
            QCOMPARE(answer->parent()->object(), form.Frame1);
            QVERIFY(!answer->state().invisible);
            // Where the pupil sees it on the screen, below the one before.
            const int top = answer->rect().top();
            QVERIFY2(top > above, qPrintable(at + QString("answer %1 of 4, «%2», is not below the one before it")
                                                      .arg(i + 1)
                                                      .arg(answer->text(QAccessible::Name))));
            above = top;
            order << answer->object();
        }
        // The rows are the run's: the same layout on every question.
        if (number == 1)
            firstOrder = order;
        QCOMPARE(order, firstOrder);
        // The chosen answer reads as checked, the others not.
        QRadioButton *key = KeyOption(form);
        Click(key);
        for (int i = 0; i < 4; ++i)
            QVERIFY2(list->child(i)->state().checked == (list->child(i)->object() == key),
                     qPrintable(at + QString("answer %1 of 4 reads %2").arg(i + 1).arg(key->isChecked() ? "checked" : "unchecked")));
        Told.clear();
        form.Command2->click();
        QCOMPARE(form.Label7->text(), QString("Ответ принят"));
        // The status line is offered once it says something, and a screen reader that keeps
        // what it has seen is told so, once; and again as it empties.
        QVERIFY2(!told || toldOnce(QAccessible::ObjectShow, form.Label7) == 1,
                 qPrintable(at + "«Ответ принят» came without a screen reader being told once that it is there"));
        if (number < 10) {
            Told.clear();
            form.Command4->click();
            // The rows stay the run's, so there is no new order to tell.
            if (told) {
                const QString next = QString("Next to question %1: ").arg(number + 1);
                checkFocusLandsOnce(next, list->child(0)->object());
                if (QTest::currentTestFailed())
                    return;
                QVERIFY2(toldOnce(QAccessible::ObjectReorder, form.Frame1) == 0,
                         qPrintable(next + "a new order was told of answers that have not moved"));
                QVERIFY2(toldOnce(QAccessible::ObjectHide, form.Label7) == 1,
                         qPrintable(next + "the emptied status line was not told once to have gone"));
            }
        }
    }
    QVERIFY(catcher.Notices.empty());
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
