// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window. It owns the test run, carries out the window operations on
// its eighteen controls, routes the four buttons' clicks to the test actions and follows
// what each action reports it did.
#pragma once

#include "Actions.h"
#include "Controls.h"
#include "FormView.h"
#include "RandomSource.h"
#include "TestRun.h"

#include <QWidget>

#include <array>
#include <memory>

class DesignStyle;
class HeldKeys;

class Form1 : public QWidget, public Controls, public quiz::FormView {
    Q_OBJECT

public:
    // The window draws its random values from the clock-seeded source unless given one.
    explicit Form1(std::unique_ptr<quiz::RandomSource> random = nullptr, QWidget *parent = nullptr);
    ~Form1() override;

    const quiz::TestRun &Run() const { return run_; }

    // The window operations, carried out on the controls (WindowOperations.cpp).
    void SetCaption(quiz::Control control, const std::string &caption) override;
    void SetVisible(quiz::Control control, bool visible) override;
    void ClearValue(quiz::Control option) override;
    bool GetValue(quiz::Control option) override;
    void SetBackColor(quiz::Control control, quiz::Rgb colour) override;
    void Move(quiz::Control control, int left, int top) override;
    void PressCommand4() override;
    void ShowNotice(const std::string &prompt) override;
    void EndProgram() override;

    // Frame1 inside its border, in its own coordinates: the option buttons are cut off here.
    QRect FrameInner() const;

protected:
    bool focusNextPrevChild(bool next) override;

private slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    void BuildControls();
    void SetDesignTabOrder();
    // What an action did, shown for the pupil's next step: the focus goes where the pupil
    // acts next, once a screen reader has been given what to say there.
    void Follow(const quiz::Outcome &outcome);
    // A control the logic has hidden, or moved outside the client area, is gone for the
    // pupil: not shown, not focusable, not clickable, not pressable by assistive tools.
    void ApplyReach(quiz::Control control);

    quiz::TestRun run_;
    std::unique_ptr<quiz::RandomSource> random_;
    std::unique_ptr<DesignStyle> designStyle_;
    std::unique_ptr<HeldKeys> heldKeys_;
    // What the logic last asked of each control's visibility; ApplyReach adds the
    // container's bounds.
    std::array<bool, quiz::ControlCount> shown_{};
    // While a control is taken away, the focus stays where it is (ApplyReach).
    bool holdFocus_ = false;
};
