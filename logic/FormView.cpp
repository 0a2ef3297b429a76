#include "FormView.h"

#include <cassert>

namespace quiz {

const char *ControlName(Control control)
{
    switch (control) {
    case Control::Form1: return "Form1";
    case Control::Label1: return "Label1";
    case Control::Label2: return "Label2";
    case Control::Label3: return "Label3";
    case Control::Label4: return "Label4";
    case Control::Label5: return "Label5";
    case Control::Label6: return "Label6";
    case Control::Label7: return "Label7";
    case Control::Label8: return "Label8";
    case Control::Frame1: return "Frame1";
    case Control::Option1: return "Option1";
    case Control::Option2: return "Option2";
    case Control::Option3: return "Option3";
    case Control::Option4: return "Option4";
    case Control::Command1: return "Command1";
    case Control::Command2: return "Command2";
    case Control::Command3: return "Command3";
    case Control::Command4: return "Command4";
    case Control::Picture1: return "Picture1";
    }
    return "?";
}

Control OptionButton(int index)
{
    assert(index >= 1 && index <= 4);
    switch (index) {
    case 1: return Control::Option1;
    case 2: return Control::Option2;
    case 3: return Control::Option3;
    default: return Control::Option4;
    }
}

} // namespace quiz
