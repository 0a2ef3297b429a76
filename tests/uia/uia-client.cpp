// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader learns of the program through UI Automation, the interface NVDA,
// Narrator and JAWS read Windows programs by. Two ways to run it, beside the program:
//
//   uia-client.exe tree TITLE OUTPUT [SECONDS]
//     waits for the top-level window named TITLE (the program's, or «Внимание!» for a notice)
//     and writes every element below it, depth first in the order a screen reader walks
//     them, then the element Windows says has the focus.
//   uia-client.exe listen TITLE OUTPUT STOPFILE [SECONDS]
//     writes each focus change, and each answer chosen in the window named TITLE
//     (ElementSelected), as they come, until the file STOPFILE exists (or SECONDS, 600
//     unless given, have passed).
//
// OUTPUT is written in UTF-8, a line at a time, flushed: one record a line, its fields
// separated by tabs:
//   element DEPTH TYPE NAME DESCRIPTION FOCUSED ENABLED FOCUSABLE OFFSCREEN LEFT TOP WIDTH HEIGHT SELECTED TOGGLE
//   focused TYPE NAME          (tree: the focused element; listen: a focus change)
//   selected TYPE NAME         (listen: an element was selected)
//   note TEXT                  (something that could not be asked, and why)
//   end COUNT
// DESCRIPTION is the full description (Qt's accessible description; NVDA reads it after
// the name). SELECTED and TOGGLE are the SelectionItem and Toggle patterns' states: 1 or 0,
// "-" where the element has no such pattern, "?" where the answer was no value at all.
// Status: 0 done; 1 a call failed (the last line names it, with its HRESULT); 2 bad
// arguments or no file to write; 3 no window, or a call gave no answer, within SECONDS
// (60 unless given; the last line names the call).
//
// Built by tests/uia/CMakeLists.txt, with MinGW-w64 12 or later (its uiautomation.h has the
// COM client).
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <uiautomation.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <string>

namespace {

FILE *out;
std::mutex writing;
int seconds = 60;
// The call under way, named when it gives no answer.
std::atomic<const char *> pending{"CoInitializeEx"};

const char *const controlTypes[] = {
    "Button",     "Calendar",  "CheckBox", "ComboBox",  "Edit",      "Hyperlink",    "Image",     "ListItem",
    "List",       "Menu",      "MenuBar",  "MenuItem",  "ProgressBar", "RadioButton", "ScrollBar", "Slider",
    "Spinner",    "StatusBar", "Tab",      "TabItem",   "Text",      "ToolBar",      "ToolTip",   "Tree",
    "TreeItem",   "Custom",    "Group",    "Thumb",     "DataGrid",  "DataItem",     "Document",  "SplitButton",
    "Window",     "Pane",      "Header",   "HeaderItem", "Table",    "TitleBar",     "Separator", "SemanticZoom",
    "AppBar"};

std::string Utf8(const wchar_t *text, int length = -1)
{
    if (text == nullptr)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size_t(size) : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    if (length < 0 && !result.empty())
        result.pop_back();
    // A field never breaks the record it is in.
    for (char &c : result)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return result;
}

void Line(const std::string &line)
{
    std::lock_guard<std::mutex> lock(writing);
    std::fputs(line.c_str(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

[[noreturn]] void Fail(const char *call, HRESULT hr)
{
    char text[160];
    std::snprintf(text, sizeof text, "failed\t%s\t0x%08lx", call, static_cast<unsigned long>(hr));
    Line(text);
    ExitProcess(1);
}

void Check(const char *call, HRESULT hr)
{
    if (FAILED(hr))
        Fail(call, hr);
}

std::string TypeName(int id)
{
    const int index = id - UIA_ButtonControlTypeId;
    if (index >= 0 && index < int(std::size(controlTypes)))
        return controlTypes[index];
    return "type" + std::to_string(id);
}

// A property as text: strings as they are, booleans as 1 or 0, "?" for no value.
std::string Property(IUIAutomationElement *element, PROPERTYID id, const char *call)
{
    VARIANT value;
    VariantInit(&value);
    pending = call;
    HRESULT hr = element->GetCurrentPropertyValueEx(id, TRUE, &value);
    if (FAILED(hr))
        return "?";
    std::string text = "?";
    switch (V_VT(&value)) {
    case VT_BSTR:
        text = Utf8(V_BSTR(&value), int(SysStringLen(V_BSTR(&value))));
        break;
    case VT_BOOL:
        text = V_BOOL(&value) ? "1" : "0";
        break;
    case VT_I4:
        text = std::to_string(V_I4(&value));
        break;
    default:
        break;
    }
    VariantClear(&value);
    return text;
}

std::string Rectangle(IUIAutomationElement *element)
{
    RECT rect{};
    pending = "get_CurrentBoundingRectangle";
    if (FAILED(element->get_CurrentBoundingRectangle(&rect)))
        return "?\t?\t?\t?";
    return std::to_string(rect.left) + '\t' + std::to_string(rect.top) + '\t' + std::to_string(rect.right - rect.left)
        + '\t' + std::to_string(rect.bottom - rect.top);
}

// A pattern's state, or "-" where the element has none.
std::string PatternState(IUIAutomationElement *element, PROPERTYID available, PROPERTYID state, const char *call)
{
    if (Property(element, available, call) == "0")
        return "-";
    return Property(element, state, call);
}

std::string Describe(IUIAutomationElement *element)
{
    return TypeName(std::atoi(Property(element, UIA_ControlTypePropertyId, "ControlType").c_str())) + '\t'
        + Property(element, UIA_NamePropertyId, "Name");
}

IUIAutomation *automation;
IUIAutomationCondition *everything;
int count;

void Walk(IUIAutomationElement *element, int depth)
{
    ++count;
    const std::string toggle = PatternState(element, UIA_IsTogglePatternAvailablePropertyId,
                                            UIA_ToggleToggleStatePropertyId, "ToggleState");
    Line("element\t" + std::to_string(depth) + '\t' + Describe(element) + '\t'
         + Property(element, UIA_FullDescriptionPropertyId, "FullDescription") + '\t'
         + Property(element, UIA_HasKeyboardFocusPropertyId, "HasKeyboardFocus") + '\t'
         + Property(element, UIA_IsEnabledPropertyId, "IsEnabled") + '\t'
         + Property(element, UIA_IsKeyboardFocusablePropertyId, "IsKeyboardFocusable") + '\t'
         + Property(element, UIA_IsOffscreenPropertyId, "IsOffscreen") + '\t' + Rectangle(element) + '\t'
         + PatternState(element, UIA_IsSelectionItemPatternAvailablePropertyId,
                        UIA_SelectionItemIsSelectedPropertyId, "IsSelected")
         + '\t' + (toggle == "1" ? "1" : toggle == "0" ? "0" : toggle == "2" ? "mixed" : toggle));
    IUIAutomationElementArray *children = nullptr;
    pending = "FindAll(TreeScope_Children)";
    Check(pending, element->FindAll(TreeScope_Children, everything, &children));
    int length = 0;
    if (children != nullptr)
        children->get_Length(&length);
    for (int i = 0; i < length; ++i) {
        IUIAutomationElement *child = nullptr;
        if (SUCCEEDED(children->GetElement(i, &child)) && child != nullptr) {
            Walk(child, depth + 1);
            child->Release();
        }
    }
    if (children != nullptr)
        children->Release();
}

HWND WaitForWindow(const wchar_t *title)
{
    pending = "FindWindowW (no such window)";
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        if (HWND window = FindWindowW(nullptr, title))
            return window;
        Sleep(100);
    }
    Line(std::string("timeout\tno window named ") + Utf8(title));
    ExitProcess(3);
}

int Tree(const wchar_t *title)
{
    const HWND window = WaitForWindow(title);
    IUIAutomationElement *root = nullptr;
    pending = "ElementFromHandle";
    Check(pending, automation->ElementFromHandle(window, &root));
    Walk(root, 0);
    IUIAutomationElement *focused = nullptr;
    pending = "GetFocusedElement";
    if (SUCCEEDED(automation->GetFocusedElement(&focused)) && focused != nullptr) {
        Line("focused\t" + Describe(focused));
        focused->Release();
    } else {
        Line("note\tGetFocusedElement gave nothing");
    }
    root->Release();
    Line("end\t" + std::to_string(count));
    return 0;
}

// The events' handler, for focus changes and for selections.
class Listener : public IUIAutomationFocusChangedEventHandler, public IUIAutomationEventHandler {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override
    {
        if (riid == IID_IUnknown || riid == IID_IUIAutomationFocusChangedEventHandler)
            *object = static_cast<IUIAutomationFocusChangedEventHandler *>(this);
        else if (riid == IID_IUIAutomationEventHandler)
            *object = static_cast<IUIAutomationEventHandler *>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(IUIAutomationElement *sender) override
    {
        if (sender != nullptr)
            Line("focused\t" + Describe(sender));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleAutomationEvent(IUIAutomationElement *sender, EVENTID id) override
    {
        if (sender != nullptr && id == UIA_SelectionItem_ElementSelectedEventId)
            Line("selected\t" + Describe(sender));
        return S_OK;
    }

private:
    std::atomic<ULONG> refs_{1};
};

int Listen(const wchar_t *title, const wchar_t *stopFile)
{
    static Listener listener;
    pending = "AddFocusChangedEventHandler";
    Check(pending, automation->AddFocusChangedEventHandler(nullptr, &listener));
    const HWND window = WaitForWindow(title);
    IUIAutomationElement *root = nullptr;
    pending = "ElementFromHandle";
    Check(pending, automation->ElementFromHandle(window, &root));
    pending = "AddAutomationEventHandler(ElementSelected)";
    const HRESULT hr = automation->AddAutomationEventHandler(UIA_SelectionItem_ElementSelectedEventId, root,
                                                             TreeScope_Subtree, nullptr, &listener);
    if (FAILED(hr)) {
        char text[120];
        std::snprintf(text, sizeof text, "note\tAddAutomationEventHandler(ElementSelected) failed: 0x%08lx",
                      static_cast<unsigned long>(hr));
        Line(text);
    }
    Line("listening");
    pending = "waiting for the stop file";
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        if (GetFileAttributesW(stopFile) != INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(100);
    }
    pending = "RemoveAllEventHandlers";
    automation->RemoveAllEventHandlers();
    root->Release();
    Line("end\t0");
    return 0;
}

struct Job {
    int argc;
    wchar_t **argv;
    int status;
};

DWORD WINAPI Run(void *data)
{
    auto *job = static_cast<Job *>(data);
    Check(pending, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    pending = "CoCreateInstance(CUIAutomation)";
    Check(pending, CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER, IID_IUIAutomation,
                                    reinterpret_cast<void **>(&automation)));
    pending = "CreateTrueCondition";
    Check(pending, automation->CreateTrueCondition(&everything));
    const std::wstring mode = job->argv[1];
    job->status = mode == L"tree" ? Tree(job->argv[2]) : Listen(job->argv[2], job->argv[4]);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const bool tree = argc >= 4 && argc <= 5 && std::wstring(argv[1]) == L"tree";
    const bool listen = argc >= 5 && argc <= 6 && std::wstring(argv[1]) == L"listen";
    if (!tree && !listen) {
        std::fputs("usage: uia-client.exe tree TITLE OUTPUT [SECONDS]\n"
                   "       uia-client.exe listen TITLE OUTPUT STOPFILE [SECONDS]\n",
                   stderr);
        return 2;
    }
    out = _wfopen(argv[3], L"wb");
    if (out == nullptr)
        return 2;
    seconds = tree ? 60 : 600;
    if (argc == (tree ? 5 : 6))
        seconds = std::max(1, _wtoi(argv[tree ? 4 : 5]));
    Job job{argc, argv, 0};
    const HANDLE worker = CreateThread(nullptr, 0, Run, &job, 0, nullptr);
    // Each call is given as long as the whole wait: a call that never comes back names itself.
    if (WaitForSingleObject(worker, DWORD(seconds + 60) * 1000) != WAIT_OBJECT_0) {
        Line(std::string("timeout\t") + pending.load());
        ExitProcess(3);
    }
    std::fclose(out);
    return job.status;
}
