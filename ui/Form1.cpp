#include "Form1.h"

#include "DesignFont.h"
#include "DesignStyle.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <qdrawutil.h>

using quiz::Control;
using quiz::LightGreen;
using quiz::Rgb;

namespace {

constexpr int TwipsPerPixel = 15;
// Frame1's border: the option buttons are cut off inside it.
constexpr int FrameBorder = 2;
// Picture1's sunken border, two pixels on each side.
constexpr int PictureBorder = 2;

constexpr Rgb PaleGreen{192, 255, 192};
constexpr Rgb Yellow{255, 255, 0};
constexpr Rgb Black{0, 0, 0};
constexpr Rgb Purple{128, 0, 128};
constexpr Rgb DarkRed{192, 0, 0};

constexpr qreal Large = 12.0;
constexpr qreal Small = 9.75;

const char *const WindowCaption = "Знайдар";
// The colour of the keyboard focus mark, dark enough to see on every green.
constexpr Rgb FocusMark{0, 0, 128};
const char *const NoticeTitle = "Внимание!";

struct Design {
    Control control;
    int left, top, width, height;
    const char *caption;
    Rgb back;
    Rgb text;
    qreal points;
    bool bold;
    Qt::Alignment alignment;
    bool visible;
};

// The launch screen, in twips. The option buttons' places are within Frame1.
const Design Designs[] = {
    {Control::Label1, 360, 840, 9975, 1695, "", LightGreen, Black, Large, true, Qt::AlignLeft, true},
    {Control::Frame1, 1200, 2520, 8295, 2655, "", LightGreen, Purple, Large, true, Qt::AlignLeft, true},
    {Control::Command1, 4320, 5280, 2055, 495, "Начать тест", Yellow, Black, Large, true, Qt::AlignCenter, true},
    {Control::Label2, 840, 240, 2055, 495, "Таловерская школа, 2007-2008 уч. год", LightGreen, Black, Small, false,
     Qt::AlignHCenter, true},
    {Control::Option1, 360, 360, 11895, 375, "", PaleGreen, Black, Large, false, Qt::AlignLeft, false},
    {Control::Option2, 360, 360, 11895, 375, "", PaleGreen, Black, Large, false, Qt::AlignLeft, false},
    {Control::Option3, 360, 360, 11895, 375, "", PaleGreen, Black, Large, false, Qt::AlignLeft, false},
    {Control::Option4, 360, 360, 11895, 375, "", LightGreen, Black, Large, false, Qt::AlignLeft, false},
    {Control::Label3, 7320, 480, 1335, 255, "Ощибок:", LightGreen, Black, Large, false, Qt::AlignRight, true},
    {Control::Command2, 1200, 5280, 1935, 495, "Проверить", LightGreen, Black, Large, true, Qt::AlignCenter, true},
    {Control::Label4, 8880, 480, 615, 255, "", LightGreen, Black, Large, false, Qt::AlignLeft, true},
    {Control::Command3, 7560, 5280, 1935, 495, "Выход", LightGreen, Black, Large, true, Qt::AlignCenter, true},
    {Control::Label5, 7320, 120, 1335, 375, "Вопрооос:", LightGreen, Black, Large, false, Qt::AlignRight, true},
    {Control::Label6, 8880, 120, 615, 375, "", LightGreen, Black, Large, false, Qt::AlignLeft, true},
    {Control::Label7, 4200, 5880, 2415, 255, "", LightGreen, DarkRed, Small, true, Qt::AlignHCenter, true},
    {Control::Picture1, 1200, 960, 8295, 4095, "", LightGreen, Black, Large, false, Qt::AlignLeft, true},
    {Control::Command4, 3840, 5280, 3015, 495, "Следующий вопрос", LightGreen, Black, Large, true, Qt::AlignCenter,
     false},
    {Control::Label8, 9240, 120, 855, 375, "", LightGreen, Black, Large, false, Qt::AlignLeft, true},
};

const Design &DesignOf(Control control)
{
    for (const Design &design : Designs)
        if (design.control == control)
            return design;
    return Designs[0];
}

bool IsOption(Control control)
{
    return control == Control::Option1 || control == Control::Option2 || control == Control::Option3
        || control == Control::Option4;
}

bool IsCommand(Control control)
{
    return control == Control::Command1 || control == Control::Command2 || control == Control::Command3
        || control == Control::Command4;
}

QString Text(const std::string &utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void Paint(QWidget *widget, Rgb back, Rgb text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Form1::Colour(back));
    palette.setColor(QPalette::Button, Form1::Colour(back));
    palette.setColor(QPalette::WindowText, Form1::Colour(text));
    palette.setColor(QPalette::ButtonText, Form1::Colour(text));
    palette.setColor(QPalette::Text, Form1::Colour(text));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QString Spoken(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

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

PictureBox::PictureBox(const QPixmap &picture, QWidget *parent) : QWidget(parent), picture_(picture) {}

QRect PictureBox::innerRect() const
{
    return rect().adjusted(PictureBorder, PictureBorder, -PictureBorder, -PictureBorder);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
    painter.setClipRect(innerRect());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(innerRect().topLeft(), picture_);
}

namespace {

// The picture box shows only the photograph's top-left part; decoding just that part saves
// start-up time and memory.
QPixmap ShownPartOfPhotograph()
{
    QImageReader reader(QStringLiteral(":/intro.jpg"));
    reader.setClipRect(QRect(0, 0, Form1::Pixels(DesignOf(Control::Picture1).width) - 2 * PictureBorder,
                             Form1::Pixels(DesignOf(Control::Picture1).height) - 2 * PictureBorder));
    return QPixmap::fromImage(reader.read());
}

// The design's 48 px icon, and on high-DPI screens the next larger one as well. Decoding
// every size for the window manager at start-up would cost more than the rest of the
// window; menus and launchers take the larger sizes from the installed icon theme.
QIcon WindowIcon(qreal devicePixelRatio)
{
    constexpr int DesignSize = 48;
    QIcon icon(QStringLiteral(":/icons/icon-48.png"));
    for (int size : {64, 128, 256}) {
        if (DesignSize * devicePixelRatio <= DesignSize)
            break;
        icon.addFile(QStringLiteral(":/icons/icon-%1.png").arg(size), QSize(size, size));
        if (size >= DesignSize * devicePixelRatio)
            break;
    }
    return icon;
}

} // namespace

Form1::Form1(std::unique_ptr<quiz::RandomSource> random, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      random_(random ? std::move(random) : std::make_unique<quiz::EngineRandomSource>()),
      designStyle_(std::make_unique<DesignStyle>(Colour(FocusMark)))
{
    DesignFont::InstallCarriedFaces();
    static const bool accessibleInstalled = (QAccessible::installFactory(WindowAccessible), true);
    Q_UNUSED(accessibleInstalled);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(WindowCaption));
    setWindowIcon(WindowIcon(devicePixelRatioF()));
    setFixedSize(Pixels(quiz::ClientWidth), Pixels(quiz::ClientHeight));
    Paint(this, LightGreen, Black);
    buildControls();
    setTabOrder();
    describeForScreenReaders();
    Command1->setFocus();
}

Form1::~Form1() = default;

int Form1::Pixels(int twips)
{
    return qRound(static_cast<double>(twips) / TwipsPerPixel);
}

QColor Form1::Colour(Rgb colour)
{
    return QColor(colour.Red, colour.Green, colour.Blue);
}

void Form1::buildControls()
{
    // Creation order is stacking order: labels beneath everything (Label8 above Label6),
    // the photograph above the frame and Label1, Command4 above Command1.
    const auto makeLabel = [this](Control id) {
        const Design &design = DesignOf(id);
        auto *label = new QLabel(QString::fromUtf8(design.caption), this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(design.alignment | Qt::AlignTop);
        return label;
    };
    Label1 = makeLabel(Control::Label1);
    Label2 = makeLabel(Control::Label2);
    Label3 = makeLabel(Control::Label3);
    Label4 = makeLabel(Control::Label4);
    Label5 = makeLabel(Control::Label5);
    Label6 = makeLabel(Control::Label6);
    Label7 = makeLabel(Control::Label7);
    Label8 = makeLabel(Control::Label8);

    Frame1 = new QGroupBox(this);
    Frame1->setStyle(designStyle_.get());
    const auto makeOption = [this]() {
        auto *button = new QRadioButton(Frame1);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setStyle(designStyle_.get());
        return button;
    };
    Option1 = makeOption();
    Option2 = makeOption();
    Option3 = makeOption();
    Option4 = makeOption();

    Picture1 = new PictureBox(ShownPartOfPhotograph(), this);

    const auto makeCommand = [this](Control id) {
        auto *button = new QPushButton(QString::fromUtf8(DesignOf(id).caption), this);
        // Enter presses the focused button, as Space does. Outside a dialog an auto-default
        // button is the default only while it has the focus, so Enter means nothing
        // window-wide.
        button->setAutoDefault(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setStyle(designStyle_.get());
        return button;
    };
    Command2 = makeCommand(Control::Command2);
    Command3 = makeCommand(Control::Command3);
    Command1 = makeCommand(Control::Command1);
    Command4 = makeCommand(Control::Command4);

    for (const Design &design : Designs) {
        QWidget *widget = control(design.control);
        widget->setObjectName(QString::fromLatin1(quiz::ControlName(design.control)));
        widget->setFont(DesignFont::Font(design.points, design.bold));
        widget->resize(Pixels(design.width), Pixels(design.height));
        Paint(widget, design.back, design.text);
        shown_[design.control] = design.visible;
        Move(design.control, design.left, design.top);
    }
    Picture1->setFocusPolicy(Qt::NoFocus);
    Frame1->setFocusPolicy(Qt::NoFocus);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
}

void Form1::describeForScreenReaders()
{
    // Visible captions stay as designed, misspellings included; what a screen reader says
    // may be fuller and spelt right.
    setAccessibleDescription(Spoken("Тест по теме «Кодирование информации»"));
    Label1->setAccessibleDescription(Spoken("Текст вопроса"));
    Label2->setAccessibleDescription(Spoken("Школа и учебный год"));
    Label3->setAccessibleName(Spoken("Количество ошибок"));
    Label4->setAccessibleName(Spoken("Ошибок пока нет"));
    Label5->setAccessibleName(Spoken("Номер вопроса"));
    Label6->setAccessibleName(Spoken("Тест не начат"));
    Label7->setAccessibleDescription(Spoken("Строка состояния"));
    Frame1->setAccessibleDescription(Spoken("Варианты ответа"));
    for (QRadioButton *button : {Option1, Option2, Option3, Option4})
        button->setAccessibleDescription(Spoken("Вариант ответа"));
    Picture1->setAccessibleName(Spoken("Фотография: морской берег, трава на дюнах, море и небо"));
    Command1->setAccessibleDescription(Spoken("Начать тест из десяти вопросов"));
    Command2->setAccessibleDescription(Spoken("Проверить выбранный ответ"));
    Command3->setAccessibleDescription(Spoken("Выйти из программы"));
    Command4->setAccessibleDescription(Spoken("Перейти к следующему вопросу"));
}

void Form1::setTabOrder()
{
    // The design's tab indexes; labels, the frame and the photograph never take focus.
    QWidget *order[] = {Command1, Option1, Option2, Option3, Option4, Command2, Command3, Command4};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QRect Form1::frameInner() const
{
    return Frame1->rect().adjusted(FrameBorder, FrameBorder, -FrameBorder, -FrameBorder);
}

QWidget *Form1::control(Control control) const
{
    switch (control) {
    case Control::Form1: return const_cast<Form1 *>(this);
    case Control::Label1: return Label1;
    case Control::Label2: return Label2;
    case Control::Label3: return Label3;
    case Control::Label4: return Label4;
    case Control::Label5: return Label5;
    case Control::Label6: return Label6;
    case Control::Label7: return Label7;
    case Control::Label8: return Label8;
    case Control::Frame1: return Frame1;
    case Control::Option1: return Option1;
    case Control::Option2: return Option2;
    case Control::Option3: return Option3;
    case Control::Option4: return Option4;
    case Control::Command1: return Command1;
    case Control::Command2: return Command2;
    case Control::Command3: return Command3;
    case Control::Command4: return Command4;
    case Control::Picture1: return Picture1;
    }
    return nullptr;
}

QRadioButton *Form1::option(Control id) const
{
    Q_ASSERT(IsOption(id));
    return qobject_cast<QRadioButton *>(control(id));
}

void Form1::SetCaption(Control id, const std::string &caption)
{
    QWidget *widget = control(id);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        label->setText(Text(caption));
        // The bare numbers mean little when heard on their own.
        if (id == Control::Label6)
            label->setAccessibleName(Spoken("Вопрос %1 из 10").arg(Text(caption)));
        else if (id == Control::Label4)
            label->setAccessibleName(Spoken("Ошибок: %1").arg(Text(caption)));
    }
    else if (auto *frame = qobject_cast<QGroupBox *>(widget))
        frame->setTitle(Text(caption));
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(Text(caption));
}

void Form1::SetVisible(Control id, bool visible)
{
    shown_[id] = visible;
    applyReach(id);
}

void Form1::ClearValue(Control id)
{
    QRadioButton *button = option(id);
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
    return option(id)->isChecked();
}

void Form1::SetBackColor(Control id, Rgb colour)
{
    QWidget *widget = control(id);
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), Colour(colour));
    widget->setPalette(palette);
}

void Form1::Move(Control id, int left, int top)
{
    QWidget *widget = control(id);
    widget->move(Pixels(left), Pixels(top));
    // The option buttons are wider than the frame; they end at its inner edge, not over
    // its border.
    if (IsOption(id))
        widget->setMask(QRegion(frameInner().translated(-widget->pos()).intersected(widget->rect())));
    applyReach(id);
}

void Form1::applyReach(Control id)
{
    Q_ASSERT(id != Control::Form1);
    QWidget *widget = control(id);
    const QRect container = widget->parentWidget()->rect();
    const bool inView = container.intersects(widget->geometry());
    const bool reachable = shown_[id] && inView;
    if (IsCommand(id))
        widget->setEnabled(reachable);
    widget->setVisible(reachable);
}

void Form1::PressCommand4()
{
    // Command4 is still hidden (and so inert) when Start presses it: run its handler.
    Command4_Click();
}

void Form1::ShowNotice(const std::string &prompt)
{
    QMessageBox notice(QMessageBox::Question, QString::fromUtf8(NoticeTitle), Text(prompt), QMessageBox::Ok, this);
    notice.setObjectName(QStringLiteral("Notice"));
    QPointer<QWidget> focused = focusWidget();
    notice.exec();
    // Back to the window and the control the pupil was on, so the keyboard focus is never
    // lost, even where no window manager hands the activation back.
    activateWindow();
    if (focused != nullptr && focused->isVisible() && focused->isEnabled())
        focused->setFocus(Qt::OtherFocusReason);
}

void Form1::EndProgram()
{
    // Closing the one window ends the event loop, and with it the program, with status 0.
    close();
}

void Form1::focusTopAnswer()
{
    // After a new question appears the pupil's next step is to choose an answer.
    QRadioButton *top = nullptr;
    for (QRadioButton *button : {Option1, Option2, Option3, Option4})
        if (button->isVisible() && (top == nullptr || button->y() < top->y()))
            top = button;
    if (top != nullptr)
        top->setFocus(Qt::OtherFocusReason);
}

void Form1::Command1_Click()
{
    // Start hides this button; without its focus there is nothing for Qt to pass on to
    // the next control, so a screen reader hears the first answer, not a stray button.
    Command1->clearFocus();
    quiz::Start(run_, *this, *random_);
    focusTopAnswer();
}

void Form1::Command2_Click()
{
    quiz::Check(run_, *this);
}

void Form1::Command3_Click()
{
    quiz::Exit(run_, *this);
}

void Form1::Command4_Click()
{
    const int before = run_.QuestionNo;
    quiz::Next(run_, *this);
    if (run_.QuestionNo != before && run_.QuestionOrder[0] != 0)
        focusTopAnswer();
}
