// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader learns of Знайдар's window through UI Automation: the window
// «Знайдар» and every element below it, one a line as "ControlType<TAB>Name" in UTF-8,
// written to the file given (a pipe out of Wine may lose lines) and flushed line by line.
//   uia-names.exe OUTPUT [SECONDS]
// Waits SECONDS (60 unless given) for the window, and as long again for each answer from
// UI Automation. Ends with 0 when the whole tree was read; otherwise the last line names
// the call that failed, with its HRESULT (status 1), or that gave no answer in time
// (status 3). Status 2: no file to write to.
//
// Under Wine 8 only the window itself can be read: the search below it never comes back,
// and leaves the program's window hung: Qt asks for COM threading for its elements, and
// the program's main thread and Wine's UI Automation thread in it then wait on each other.
//
// MinGW-w64 (version 10) has neither the COM client of UI Automation (CUIAutomation) nor
// the flat client functions, and its uiautomationcoreapi.h does not compile as C++. The
// flat functions are declared here as Windows documents them and found in
// UIAutomationCore.dll at run time: Wine 8 has them, but registers no CUIAutomation. Built with
//   x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -municode -static
//       -o uia-names.exe windows/uia-names.cpp -lole32 -loleaut32
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <uiautomationclient.h>
#include <uiautomationcore.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

using HUIANODE = struct UiaNode *;
enum TreeScope { TreeScope_Element = 1 };
enum ConditionType { ConditionType_True = 0 };
enum AutomationElementMode { AutomationElementMode_Full = 1 };
struct UiaCondition {
    ConditionType type;
};
struct UiaCacheRequest {
    UiaCondition *viewCondition;
    TreeScope scope;
    PROPERTYID *properties;
    int propertyCount;
    PATTERNID *patterns;
    int patternCount;
    AutomationElementMode mode;
};
struct UiaFindParams {
    int maxDepth;
    BOOL findFirst;
    BOOL excludeRoot;
    UiaCondition *findCondition;
};

HRESULT(WINAPI *nodeFromHandle)(HWND, HUIANODE *);
HRESULT(WINAPI *getPropertyValue)(HUIANODE, PROPERTYID, VARIANT *);
HRESULT(WINAPI *find)(HUIANODE, UiaFindParams *, UiaCacheRequest *, SAFEARRAY **, SAFEARRAY **, SAFEARRAY **);
HRESULT(WINAPI *nodeFromVariant)(VARIANT *, HUIANODE *);
BOOL(WINAPI *nodeRelease)(HUIANODE);

FILE *out;
int seconds = 60;
// The call under way, named when it gives no answer.
std::atomic<const char *> pending{"LoadLibraryW"};

// The control types by their identifiers, from 50000 (Button) on.
const char *const controlTypes[] = {
    "Button",    "Calendar",   "CheckBox",  "ComboBox",     "Edit",     "Hyperlink",   "Image",
    "ListItem",  "List",       "Menu",      "MenuBar",      "MenuItem", "ProgressBar", "RadioButton",
    "ScrollBar", "Slider",     "Spinner",   "StatusBar",    "Tab",      "TabItem",     "Text",
    "ToolBar",   "ToolTip",    "Tree",      "TreeItem",     "Custom",   "Group",       "Thumb",
    "DataGrid",  "DataItem",   "Document",  "SplitButton",  "Window",   "Pane",        "Header",
    "HeaderItem", "Table",     "TitleBar",  "Separator",    "SemanticZoom", "AppBar"};

std::string controlType(const VARIANT &value)
{
    if (V_VT(&value) != VT_I4)
        return "(no control type)";
    const long index = V_I4(&value) - 50000;
    if (index >= 0 && index < long(sizeof controlTypes / sizeof *controlTypes))
        return controlTypes[index];
    return std::to_string(V_I4(&value));
}

std::string name(const VARIANT &value)
{
    if (V_VT(&value) != VT_BSTR)
        return "(no name)";
    const int length = int(SysStringLen(V_BSTR(&value)));
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, V_BSTR(&value), length, nullptr, 0, nullptr, nullptr);
    std::string text(std::size_t(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, V_BSTR(&value), length, text.data(), int(text.size()), nullptr, nullptr);
    for (char &c : text)
        if (c == '\n' || c == '\t')
            c = ' ';
    return text;
}

// Asks the element itself rather than relying on cached values: Wine 8 returns the
// elements found but leaves their cached properties empty.
HRESULT describe(HUIANODE node)
{
    pending = "UiaGetPropertyValue";
    VARIANT type, text;
    VariantInit(&type);
    VariantInit(&text);
    HRESULT result = getPropertyValue(node, UIA_ControlTypePropertyId, &type);
    if (SUCCEEDED(result))
        result = getPropertyValue(node, UIA_NamePropertyId, &text);
    if (SUCCEEDED(result)) {
        std::fprintf(out, "%s\t%s\n", controlType(type).c_str(), name(text).c_str());
        std::fflush(out);
    }
    VariantClear(&type);
    VariantClear(&text);
    return result;
}

DWORD failed(const char *call, HRESULT result)
{
    std::fprintf(out, "FAILED %s: 0x%08lx\n", call, static_cast<unsigned long>(result));
    return 1;
}

template<typename Function>
bool load(HMODULE core, Function &function, const char *symbol)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(core, symbol)));
    return function != nullptr;
}

DWORD WINAPI readTree(void *)
{
    const HMODULE core = LoadLibraryW(L"UIAutomationCore.dll");
    if (!core || !load(core, nodeFromHandle, "UiaNodeFromHandle") || !load(core, nodeRelease, "UiaNodeRelease")
        || !load(core, getPropertyValue, "UiaGetPropertyValue") || !load(core, find, "UiaFind")
        || !load(core, nodeFromVariant, "UiaHUiaNodeFromVariant"))
        return failed("loading UIAutomationCore.dll", HRESULT_FROM_WIN32(GetLastError()));
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(result))
        return failed("CoInitializeEx", result);

    pending = "FindWindowW";
    HWND window = nullptr;
    for (int tenths = 0; !window && tenths <= seconds * 10; ++tenths) {
        window = FindWindowW(nullptr, L"Знайдар");
        if (!window)
            Sleep(100);
    }
    if (!window)
        return failed("FindWindowW", HRESULT_FROM_WIN32(ERROR_NOT_FOUND));

    pending = "UiaNodeFromHandle";
    HUIANODE node = nullptr;
    result = nodeFromHandle(window, &node);
    if (FAILED(result))
        return failed(pending.load(), result);

    // The window itself, then all below it in the raw view.
    if (FAILED(result = describe(node)))
        return failed(pending.load(), result);
    pending = "UiaFind";
    UiaCondition all{ConditionType_True};
    UiaCacheRequest request{&all, TreeScope_Element, nullptr, 0, nullptr, 0, AutomationElementMode_Full};
    UiaFindParams params{-1, FALSE, TRUE, &all};
    SAFEARRAY *found = nullptr, *offsets = nullptr, *trees = nullptr;
    result = find(node, &params, &request, &found, &offsets, &trees);
    nodeRelease(node);
    if (FAILED(result))
        return failed(pending.load(), result);
    // A row an element, the element itself in its first column; each is the caller's to release.
    LONG first = 0, last = -1;
    if (found) {
        SafeArrayGetLBound(found, 1, &first);
        SafeArrayGetUBound(found, 1, &last);
    }
    for (LONG row = first; row <= last && SUCCEEDED(result); ++row) {
        VARIANT element;
        VariantInit(&element);
        LONG cell[2] = {row, 0};
        HUIANODE child = nullptr;
        if (FAILED(result = SafeArrayGetElement(found, cell, &element)))
            failed("SafeArrayGetElement", result);
        else if (FAILED(result = nodeFromVariant(&element, &child)))
            failed("UiaHUiaNodeFromVariant", result);
        else if (FAILED(result = describe(child)))
            failed(pending.load(), result);
        if (child)
            nodeRelease(child);
    }
    SafeArrayDestroy(found);
    SafeArrayDestroy(offsets);
    SafeArrayDestroy(trees);
    return FAILED(result) ? 1u : 0u;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 2 || argc > 3 || !(out = _wfopen(argv[1], L"wb")))
        return 2;
    if (argc == 3)
        seconds = _wtoi(argv[2]);
    // Each call gets its time; a call that never returns leaves the process to be ended
    // here, its worker still waiting.
    const HANDLE worker = CreateThread(nullptr, 0, readTree, nullptr, 0, nullptr);
    const char *last = nullptr;
    DWORD status = 0;
    while (WaitForSingleObject(worker, DWORD(seconds) * 1000 + 1000) == WAIT_TIMEOUT) {
        if (pending == last) {
            std::fprintf(out, "NO ANSWER from %s within %d s\n", last, seconds);
            std::fclose(out);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        last = pending;
    }
    GetExitCodeThread(worker, &status);
    return std::fclose(out) == 0 ? int(status) : 2;
}
