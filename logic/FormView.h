// SPDX-License-Identifier: GPL-3.0-or-later
// The window operations the test actions use. The window carries them out on its
// controls; tests record them. Positions are twips and colours are RGB as the design
// states them: turning those into pixels and palettes is the window's business.
#pragma once

#include <cassert>
#include <cstddef>
#include <string>

namespace quiz {

enum class Control {
    Form1,
    Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8,
    Frame1,
    Option1, Option2, Option3, Option4,
    Command1, Command2, Command3, Command4,
    Picture1,
};

inline constexpr std::size_t ControlCount = static_cast<std::size_t>(Control::Picture1) + 1;

// The controls' own names, in the order of Control.
inline constexpr const char *ControlNames[ControlCount] = {
    "Form1",
    "Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8",
    "Frame1",
    "Option1", "Option2", "Option3", "Option4",
    "Command1", "Command2", "Command3", "Command4",
    "Picture1",
};

inline const char *ControlName(Control control)
{
    return ControlNames[static_cast<std::size_t>(control)];
}

// Option button k (1 to 4).
inline Control OptionButton(int index)
{
    assert(index >= 1 && index <= 4);
    return static_cast<Control>(static_cast<int>(Control::Option1) + index - 1);
}

inline bool IsOption(Control control)
{
    return control >= Control::Option1 && control <= Control::Option4;
}

struct Rgb {
    int Red;
    int Green;
    int Blue;
};

class FormView {
public:
    virtual ~FormView() = default;

    virtual void SetCaption(Control control, const std::string &caption) = 0;
    virtual void SetVisible(Control control, bool visible) = 0;
    // Sets Value to false: the option button is no longer selected.
    virtual void ClearValue(Control option) = 0;
    virtual bool GetValue(Control option) = 0;
    virtual void SetBackColor(Control control, Rgb colour) = 0;
    // Places the control's top-left corner at (left, top) twips in its container.
    virtual void Move(Control control, int left, int top) = 0;
    // Raises Command4's Click from code: Next runs to its end before this returns.
    virtual void PressCommand4() = 0;
    // Modal: returns once the pupil has dismissed the notice.
    virtual void ShowNotice(const std::string &prompt) = 0;
    virtual void EndProgram() = 0;
};

} // namespace quiz
