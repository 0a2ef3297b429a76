// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenReader.h"

#include "Form1.h"
#include "PictureBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using quiz::Control;

namespace ScreenReader {

namespace {

// A screen reader hears the window as a window and the photograph as a picture, not as
// two anonymous panels.
QAccessibleInterface *WindowAccessible(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr)
        return nullptr;
    if (className == QLatin1String("PictureBox"))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String("Form1"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void Describe(Form1 &window)
{
    static const bool factoryInstalled = (QAccessible::installFactory(WindowAccessible), true);
    Q_UNUSED(factoryInstalled);
    // Visible captions stay as designed, misspellings included; what a screen reader says
    // may be fuller and spelt right.
    window.setAccessibleDescription(QStringLiteral("Тест по теме «Кодирование информации»"));
    window.Label1->setAccessibleDescription(QStringLiteral("Текст вопроса"));
    window.Label2->setAccessibleDescription(QStringLiteral("Школа и учебный год"));
    window.Label3->setAccessibleName(QStringLiteral("Количество ошибок"));
    window.Label4->setAccessibleName(QStringLiteral("Ошибок пока нет"));
    window.Label5->setAccessibleName(QStringLiteral("Номер вопроса"));
    window.Label6->setAccessibleName(QStringLiteral("Тест не начат"));
    window.Label7->setAccessibleDescription(QStringLiteral("Строка состояния"));
    window.Frame1->setAccessibleDescription(QStringLiteral("Варианты ответа"));
    for (QRadioButton *button : {window.Option1, window.Option2, window.Option3, window.Option4})
        button->setAccessibleDescription(QStringLiteral("Вариант ответа"));
    window.Picture1->setAccessibleName(QStringLiteral("Фотография: морской берег, трава на дюнах, море и небо"));
    window.Command1->setAccessibleDescription(QStringLiteral("Начать тест из десяти вопросов"));
    window.Command2->setAccessibleDescription(QStringLiteral("Проверить выбранный ответ"));
    window.Command3->setAccessibleDescription(QStringLiteral("Выйти из программы"));
    window.Command4->setAccessibleDescription(QStringLiteral("Перейти к следующему вопросу"));
}

void CaptionChanged(Form1 &window, Control control, const QString &caption)
{
    // The bare numbers mean little when heard on their own.
    if (control == Control::Label6)
        window.Label6->setAccessibleName(QStringLiteral("Вопрос %1 из 10").arg(caption));
    else if (control == Control::Label4)
        window.Label4->setAccessibleName(QStringLiteral("Ошибок: %1").arg(caption));
}

void FocusTopAnswer(Form1 &window)
{
    QRadioButton *top = nullptr;
    for (QRadioButton *button : {window.Option1, window.Option2, window.Option3, window.Option4})
        if (button->isVisible() && (top == nullptr || button->y() < top->y()))
            top = button;
    if (top != nullptr)
        top->setFocus(Qt::OtherFocusReason);
}

} // namespace ScreenReader
