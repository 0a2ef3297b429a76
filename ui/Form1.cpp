// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the window from its design, routes the buttons' clicks to the test actions, and
// follows what each action reports it did.
#include "Form1.h"

#include "AnswerButton.h"
#include "Assets.h"
#include "CommandButton.h"
#include "DesignFont.h"
#include "DesignStyle.h"
#include "DesignUnits.h"
#include "HeldKeys.h"
#include "PictureBox.h"
#include "ScreenReader.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using quiz::Control;
using quiz::Rgb;

namespace {

// Every colour a control draws with comes from the window's own palette, never from the
// desktop's: a dark GNOME or KDE scheme changes the application's palette, and styles take
// the choice marks, bevels and hover rings from roles the design has no column for. Those
// get the classic light look the window was drawn with; the notices, separate windows,
// keep following the desktop.
QPalette DesignPalette(Rgb back, Rgb text)
{
    const QColor backColour = Colour(back);
    const QColor textColour = Colour(text);
    QPalette palette;
    const auto set = [&palette](QPalette::ColorRole role, const QColor &colour) {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, role, colour);
    };
    set(QPalette::Window, backColour);
    set(QPalette::Button, backColour);
    set(QPalette::WindowText, textColour);
    set(QPalette::ButtonText, textColour);
    set(QPalette::Text, textColour);
    set(QPalette::Base, Qt::white);
    set(QPalette::AlternateBase, QColor(247, 247, 247));
    set(QPalette::Light, Qt::white);
    set(QPalette::Midlight, QColor(202, 202, 202));
    set(QPalette::Mid, QColor(184, 184, 184));
    set(QPalette::Dark, QColor(159, 159, 159));
    set(QPalette::Shadow, QColor(118, 118, 118));
    set(QPalette::BrightText, Qt::white);
    set(QPalette::Highlight, QColor(48, 140, 198));
    set(QPalette::HighlightedText, Qt::white);
    set(QPalette::Link, QColor(0, 0, 255));
    set(QPalette::LinkVisited, QColor(255, 0, 255));
    set(QPalette::ToolTipBase, QColor(255, 255, 220));
    set(QPalette::ToolTipText, Qt::black);
    set(QPalette::PlaceholderText, textColour);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    set(QPalette::Accent, QColor(48, 140, 198));
#endif
    return palette;
}

void Paint(QWidget *widget, Rgb back, Rgb text)
{
    widget->setPalette(DesignPalette(back, text));
    widget->setAutoFillBackground(true);
}

} // namespace

Form1::Form1(std::unique_ptr<quiz::RandomSource> random, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      random_(random ? std::move(random) : std::make_unique<quiz::EngineRandomSource>()),
      designStyle_(std::make_unique<DesignStyle>(Colour(FocusMark))),
      heldKeys_(std::make_unique<HeldKeys>())
{
    DesignFont::InstallCarriedFaces();
    // Every control has its fixed place, and the answers' rows are cut off at the frame's
    // right edge: mirrored by a right-to-left desktop or -reverse, each row would show its
    // cut-off end, an empty frame that still takes clicks.
    setLayoutDirection(Qt::LeftToRight);
    setObjectName(QString::fromLatin1(quiz::ControlName(Control::Form1)));
    setWindowTitle(QString::fromUtf8(quiz::WindowDesign.Caption));
    setWindowIcon(WindowIcon(devicePixelRatioF()));
    setFixedSize(Pixels(quiz::ClientWidth), Pixels(quiz::ClientHeight));
    Paint(this, quiz::WindowDesign.Back, quiz::WindowDesign.Text);
    BuildControls();
    SetDesignTabOrder();
    ScreenReader::Describe(*this);
    Command1->setFocus();
}

Form1::~Form1() = default;

void Form1::BuildControls()
{
    widgets_[static_cast<std::size_t>(Control::Form1)] = this;
    // Creation order is stacking order: labels beneath everything (Label8 above Label6),
    // the photograph above the frame and Label1, Command4 above Command1.
    const auto keep = [this](Control id, auto *widget) {
        widgets_[static_cast<std::size_t>(id)] = widget;
        return widget;
    };
    const auto makeLabel = [&](Control id) {
        const quiz::Design &design = quiz::DesignOf(id);
        auto *label = new QLabel(QString::fromUtf8(design.Caption), this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(LabelAlignment(design.Align));
        label->setStyle(designStyle_.get());
        return keep(id, label);
    };
    Label1 = makeLabel(Control::Label1);
    Label2 = makeLabel(Control::Label2);
    Label3 = makeLabel(Control::Label3);
    Label4 = makeLabel(Control::Label4);
    Label5 = makeLabel(Control::Label5);
    Label6 = makeLabel(Control::Label6);
    Label7 = makeLabel(Control::Label7);
    Label8 = makeLabel(Control::Label8);

    Frame1 = keep(Control::Frame1, new QGroupBox(this));
    Frame1->setStyle(designStyle_.get());
    Frame1->setFocusPolicy(Qt::NoFocus);
    const auto makeOption = [&](Control id) {
        auto *button = new AnswerButton(Frame1);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setStyle(designStyle_.get());
        return keep(id, button);
    };
    Option1 = makeOption(Control::Option1);
    Option2 = makeOption(Control::Option2);
    Option3 = makeOption(Control::Option3);
    Option4 = makeOption(Control::Option4);

    const quiz::Design &picture = quiz::DesignOf(Control::Picture1);
    Picture1 = keep(Control::Picture1, new PictureBox(QSize(Pixels(picture.Width), Pixels(picture.Height)), this));
    Picture1->SetPicture(ShownPartOfPhotograph(Picture1->InnerRect().size()));

    const auto makeCommand = [&](Control id) {
        auto *button = new CommandButton(QString::fromUtf8(quiz::DesignOf(id).Caption), this);
        // Enter presses the focused button, as Space does. Outside a dialog an auto-default
        // button is the default only while it has the focus, so Enter means nothing
        // window-wide.
        button->setAutoDefault(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setStyle(designStyle_.get());
        return keep(id, button);
    };
    Command2 = makeCommand(Control::Command2);
    Command3 = makeCommand(Control::Command3);
    Command1 = makeCommand(Control::Command1);
    Command4 = makeCommand(Control::Command4);

    for (const quiz::Design &design : quiz::Designs) {
        QWidget *widget = Widget(design.Id);
        widget->setObjectName(QString::fromLatin1(quiz::ControlName(design.Id)));
        widget->setFont(DesignFont::Font(design.Points, design.Bold));
        widget->resize(Pixels(design.Width), Pixels(design.Height));
        Paint(widget, design.Back, design.Text);
        shown_[static_cast<std::size_t>(design.Id)] = design.Visible;
        Move(design.Id, design.Left, design.Top);
    }

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
}

void Form1::SetDesignTabOrder()
{
    // The design's tab indexes; labels, the frame and the photograph never take focus.
    QWidget *order[] = {Command1, Option1, Option2, Option3, Option4, Command2, Command3, Command4};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::Command1_Click()
{
    Follow(quiz::Start(run_, *this, *random_));
}

void Form1::Command2_Click()
{
    Follow(quiz::Check(run_, *this));
}

void Form1::Command3_Click()
{
    Follow(quiz::Exit(run_, *this));
}

void Form1::Command4_Click()
{
    Follow(quiz::Next(run_, *this));
}

void Form1::Follow(const quiz::Outcome &outcome)
{
    using Kind = quiz::Outcome::Kind;
    // Qt hands a widget's children to assistive tools in their stacking order: stacked from
    // the top row down, the answers are met in the order the screen shows them.
    if (outcome.What == Kind::Showing)
        for (Control row : outcome.Rows)
            Widget(row)->raise();
    ScreenReader::Tell(*this, outcome);
    // A new question: the pupil's next step is to choose, from the top. An accepted answer:
    // to go on, or after the last question to leave.
    if (outcome.What == Kind::Showing)
        Widget(outcome.Rows[0])->setFocus(Qt::OtherFocusReason);
    else if (outcome.What == Kind::Accepted)
        (outcome.LastQuestion ? Command3 : Command4)->setFocus(Qt::OtherFocusReason);
}
