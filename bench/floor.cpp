// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for the start-up benchmark: the cheapest window Qt can show with the same kinds and
// numbers of widgets as the test window (8 labels, a group box with 4 radio buttons, 4 push
// buttons, a frame), at the same fixed size. It has no logic, no pictures and loads no fonts, so
// whatever the real program costs beyond this is the program's own doing, not Qt's.
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QWidget window;
    // startup.sh finds this window by its title.
    window.setWindowTitle(QStringLiteral("floor"));
    window.setFixedSize(712, 420);

    // Cyrillic text like the real window's, so text shaping costs the same.
    auto *frame = new QFrame(&window);
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(8, 8, 696, 96);

    const char *const labelTexts[8] = {
        "Тест", "Вопрос 1 из 10", "Сколько бит в одном байте?", "Ошибок:",
        "0", "Выберите ответ", "Кодирование информации", "Подсказка",
    };
    for (int i = 0; i < 8; ++i) {
        auto *label = new QLabel(QString::fromUtf8(labelTexts[i]), &window);
        label->setGeometry(16 + (i % 4) * 172, 16 + (i / 4) * 40, 164, 32);
    }

    auto *group = new QGroupBox(QString::fromUtf8("Варианты ответа"), &window);
    group->setGeometry(8, 112, 500, 240);
    const char *const answerTexts[4] = {"1", "4", "8", "16"};
    for (int i = 0; i < 4; ++i) {
        auto *radio = new QRadioButton(QString::fromUtf8(answerTexts[i]), group);
        radio->setGeometry(16, 32 + i * 48, 460, 32);
    }

    const char *const buttonTexts[4] = {"Начать тест", "Проверить", "Следующий вопрос", "Выход"};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QPushButton(QString::fromUtf8(buttonTexts[i]), &window);
        button->setGeometry(8 + i * 176, 372, 168, 40);
    }

    window.show();
    return app.exec();
}
