// A UI Automation client beside the real program, as a Windows screen reader meets it: it reads the
// preview window's controls, then follows the keyboard focus and listens for the events a screen
// reader speaks from, until the window goes. Everything it learns is written to OUTPUT as UTF-8
// lines, flushed one at a time for a script to wait on:
//   window NAME|TYPE|FRAMEWORK      the window's element
//   control NAME|TYPE               each child of the window, in the tree's order
//   value NAME|VALUE                a box's Value property: its text, or "- (HRESULT)" or
//                                   "- (vt TYPE)" where none is read
//   listening WHAT HRESULT          each event handler added
//   ready                           reading done, handlers added
//   focused NAME|TYPE               GetFocusedElement, each time it names another element
//   event focus NAME|TYPE           a focus-changed event
//   event selected NAME|TYPE        an element selected (SelectionItem_ElementSelected)
//   event text-changed NAME|TYPE|VALUE   a text changed (Text_TextChanged), with the Value
//   event property NAME|TYPE|PROPERTY|VALUE   a Value or Name property change with its new value
//   gone                            the window has closed
// With no UI Automation to be had (CUIAutomation not registered, as under Wine 8), the only line is
// "unavailable HRESULT" and the status 3.
//   uiareader TITLE OUTPUT
#include <windows.h>

#include <ole2.h>
// Not <uiautomation.h>: MinGW-w64 10's flat API header names a parameter "new", which C++ refuses.
#include <uiautomationclient.h>
#include <uiautomationcore.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

// MinGW-w64 before 11 (Debian 12's 10.0) has the property ids but not the client interfaces: the ones used
// here are declared as the Windows SDK has them. Only the methods called here are spelt out; the others are
// slots kept in their place, never called.
#ifndef __IUIAutomation_INTERFACE_DEFINED__
enum TreeScope { TreeScope_Subtree = 0x7 }; // the element, its children and their descendants
struct IUIAutomationCacheRequest;
struct IUIAutomationCondition : public IUnknown { };
typedef void *UIA_HWND;
#define UNUSED_SLOT(n) virtual HRESULT STDMETHODCALLTYPE unused##n() = 0

struct IUIAutomationElement : public IUnknown {
    UNUSED_SLOT(0); // SetFocus
    UNUSED_SLOT(1); // GetRuntimeId
    UNUSED_SLOT(2); // FindFirst
    UNUSED_SLOT(3); // FindAll
    UNUSED_SLOT(4); // FindFirstBuildCache
    UNUSED_SLOT(5); // FindAllBuildCache
    UNUSED_SLOT(6); // BuildUpdatedCache
    UNUSED_SLOT(7); // GetCurrentPropertyValue
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValueEx(
        PROPERTYID propertyId, WINBOOL ignoreDefaultValue, VARIANT *retVal)
        = 0;
};
__CRT_UUID_DECL(
    IUIAutomationElement, 0xd22108aa, 0x8ac5, 0x49a5, 0x83, 0x7b, 0x37, 0xbb, 0xb3, 0xd7, 0x59, 0x1e)

struct IUIAutomationTreeWalker : public IUnknown {
    UNUSED_SLOT(0); // GetParentElement
    virtual HRESULT STDMETHODCALLTYPE GetFirstChildElement(IUIAutomationElement *, IUIAutomationElement **)
        = 0;
    UNUSED_SLOT(2); // GetLastChildElement
    virtual HRESULT STDMETHODCALLTYPE GetNextSiblingElement(IUIAutomationElement *, IUIAutomationElement **)
        = 0;
};
__CRT_UUID_DECL(
    IUIAutomationTreeWalker, 0x4042c624, 0x389c, 0x4afc, 0xa6, 0x30, 0x9d, 0xf8, 0x54, 0xa5, 0x41, 0xfc)

struct IUIAutomationEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandleAutomationEvent(IUIAutomationElement *sender, EVENTID eventId)
        = 0;
};
__CRT_UUID_DECL(
    IUIAutomationEventHandler, 0x146c3c17, 0xf12e, 0x4e22, 0x8c, 0x27, 0xf8, 0x94, 0xb9, 0xb7, 0x9c, 0x69)

struct IUIAutomationPropertyChangedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandlePropertyChangedEvent(
        IUIAutomationElement *sender, PROPERTYID propertyId, VARIANT newValue)
        = 0;
};
__CRT_UUID_DECL(IUIAutomationPropertyChangedEventHandler, 0x40cd37d4, 0xc756, 0x4b0c, 0x8c, 0x6f, 0xbd, 0xdf,
    0xee, 0xb1, 0x3b, 0x50)

struct IUIAutomationFocusChangedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(IUIAutomationElement *sender) = 0;
};
__CRT_UUID_DECL(IUIAutomationFocusChangedEventHandler, 0xc270f6b5, 0x5c69, 0x4290, 0x97, 0x45, 0x7a, 0x7f,
    0x97, 0x16, 0x94, 0x68)

struct IUIAutomation : public IUnknown {
    UNUSED_SLOT(0); // CompareElements
    UNUSED_SLOT(1); // CompareRuntimeIds
    UNUSED_SLOT(2); // GetRootElement
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandle(UIA_HWND hwnd, IUIAutomationElement **element) = 0;
    UNUSED_SLOT(4); // ElementFromPoint
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElement(IUIAutomationElement **element) = 0;
    UNUSED_SLOT(6); // GetRootElementBuildCache
    UNUSED_SLOT(7); // ElementFromHandleBuildCache
    UNUSED_SLOT(8); // ElementFromPointBuildCache
    UNUSED_SLOT(9); // GetFocusedElementBuildCache
    virtual HRESULT STDMETHODCALLTYPE CreateTreeWalker(
        IUIAutomationCondition *condition, IUIAutomationTreeWalker **walker)
        = 0;
    UNUSED_SLOT(11); // get_ControlViewWalker
    UNUSED_SLOT(12); // get_ContentViewWalker
    UNUSED_SLOT(13); // get_RawViewWalker
    UNUSED_SLOT(14); // get_RawViewCondition
    UNUSED_SLOT(15); // get_ControlViewCondition
    UNUSED_SLOT(16); // get_ContentViewCondition
    UNUSED_SLOT(17); // CreateCacheRequest
    virtual HRESULT STDMETHODCALLTYPE CreateTrueCondition(IUIAutomationCondition **condition) = 0;
    UNUSED_SLOT(19); // CreateFalseCondition
    UNUSED_SLOT(20); // CreatePropertyCondition
    UNUSED_SLOT(21); // CreatePropertyConditionEx
    UNUSED_SLOT(22); // CreateAndCondition
    UNUSED_SLOT(23); // CreateAndConditionFromArray
    UNUSED_SLOT(24); // CreateAndConditionFromNativeArray
    UNUSED_SLOT(25); // CreateOrCondition
    UNUSED_SLOT(26); // CreateOrConditionFromArray
    UNUSED_SLOT(27); // CreateOrConditionFromNativeArray
    UNUSED_SLOT(28); // CreateNotCondition
    virtual HRESULT STDMETHODCALLTYPE AddAutomationEventHandler(EVENTID eventId,
        IUIAutomationElement *element, TreeScope scope, IUIAutomationCacheRequest *cacheRequest,
        IUIAutomationEventHandler *handler)
        = 0;
    UNUSED_SLOT(30); // RemoveAutomationEventHandler
    virtual HRESULT STDMETHODCALLTYPE AddPropertyChangedEventHandlerNativeArray(IUIAutomationElement *element,
        TreeScope scope, IUIAutomationCacheRequest *cacheRequest,
        IUIAutomationPropertyChangedEventHandler *handler, PROPERTYID *propertyArray, int propertyCount)
        = 0;
    UNUSED_SLOT(32); // AddPropertyChangedEventHandler
    UNUSED_SLOT(33); // RemovePropertyChangedEventHandler
    UNUSED_SLOT(34); // AddStructureChangedEventHandler
    UNUSED_SLOT(35); // RemoveStructureChangedEventHandler
    virtual HRESULT STDMETHODCALLTYPE AddFocusChangedEventHandler(
        IUIAutomationCacheRequest *cacheRequest, IUIAutomationFocusChangedEventHandler *handler)
        = 0;
    UNUSED_SLOT(37); // RemoveFocusChangedEventHandler
    virtual HRESULT STDMETHODCALLTYPE RemoveAllEventHandlers() = 0;
};
__CRT_UUID_DECL(IUIAutomation, 0x30cbe57d, 0xd9d0, 0x452a, 0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee)
#undef UNUSED_SLOT
// Nor has its libuuid the class's id.
const CLSID CLSID_CUIAutomation
    = { 0xff48dba4, 0x60ef, 0x4201, { 0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e } };
#endif

namespace {

// Event ids and control type ids by number, as MinGW-w64 10 has neither.
constexpr EVENTID elementSelectedEvent = 20012, textChangedEvent = 20015;

const char *controlType(int id)
{
    static const char *const names[] = { "Button", "Calendar", "CheckBox", "ComboBox", "Edit", "Hyperlink",
        "Image", "ListItem", "List", "Menu", "MenuBar", "MenuItem", "ProgressBar", "RadioButton", "ScrollBar",
        "Slider", "Spinner", "StatusBar", "Tab", "TabItem", "Text", "ToolBar", "ToolTip", "Tree", "TreeItem",
        "Custom", "Group", "Thumb", "DataGrid", "DataItem", "Document", "SplitButton", "Window", "Pane",
        "Header", "HeaderItem", "Table", "TitleBar", "Separator" };
    const int index = id - 50000;
    return index >= 0 && index < int(sizeof names / sizeof *names) ? names[index] : "?";
}

const char *eventName(EVENTID id)
{
    switch (id) {
    case elementSelectedEvent:
        return "selected";
    case textChangedEvent:
        return "text-changed";
    default:
        return "other";
    }
}

std::FILE *output;
std::mutex outputLock;

void say(const std::string &line)
{
    const std::lock_guard<std::mutex> lock(outputLock);
    std::fprintf(output, "%s\n", line.c_str());
    std::fflush(output);
}

std::string utf8(const wchar_t *text, int length = -1)
{
    if (!text)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    if (length < 0 && !result.empty())
        result.pop_back();
    return result;
}

std::string hex(long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(value));
    return text;
}

// A variant as text: a string as itself, a number in decimal, anything else as "-" with its type.
std::string variantText(const VARIANT &value)
{
    if (value.vt == VT_BSTR)
        return utf8(value.bstrVal, int(SysStringLen(value.bstrVal)));
    if (value.vt == VT_I4)
        return std::to_string(value.lVal);
    return "- (vt " + std::to_string(value.vt) + ")";
}

// Through GetCurrentPropertyValueEx, as Wine 10's GetCurrentPropertyValue returns E_NOTIMPL.
std::string property(IUIAutomationElement *element, PROPERTYID id)
{
    VARIANT value;
    VariantInit(&value);
    const HRESULT result = element->GetCurrentPropertyValueEx(id, FALSE, &value);
    std::string text = FAILED(result) ? "- (" + hex(result) + ")" : variantText(value);
    VariantClear(&value);
    return text;
}

std::string describe(IUIAutomationElement *element)
{
    if (!element)
        return "-|-";
    VARIANT type;
    VariantInit(&type);
    element->GetCurrentPropertyValueEx(UIA_ControlTypePropertyId, FALSE, &type);
    const std::string name = property(element, UIA_NamePropertyId);
    return name + "|" + (type.vt == VT_I4 ? controlType(type.lVal) : "?");
}

// One object answers every kind of event, as its own COM object with a count of references.
class Listener : public IUIAutomationEventHandler,
                 public IUIAutomationPropertyChangedEventHandler,
                 public IUIAutomationFocusChangedEventHandler {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IUIAutomationEventHandler))
            *object = static_cast<IUIAutomationEventHandler *>(this);
        else if (iid == __uuidof(IUIAutomationPropertyChangedEventHandler))
            *object = static_cast<IUIAutomationPropertyChangedEventHandler *>(this);
        else if (iid == __uuidof(IUIAutomationFocusChangedEventHandler))
            *object = static_cast<IUIAutomationFocusChangedEventHandler *>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&m_references); }

    HRESULT STDMETHODCALLTYPE HandleAutomationEvent(IUIAutomationElement *sender, EVENTID id) override
    {
        std::string line = std::string("event ") + eventName(id) + " " + describe(sender);
        // A screen reader reads the text that changed: for a list, its value.
        if (id == textChangedEvent)
            line.append("|").append(property(sender, UIA_ValueValuePropertyId));
        say(line);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandlePropertyChangedEvent(
        IUIAutomationElement *sender, PROPERTYID id, VARIANT value) override
    {
        const char *name = id == UIA_ValueValuePropertyId ? "Value"
            : id == UIA_NamePropertyId                    ? "Name"
                                                          : "other";
        say("event property " + describe(sender) + "|" + name + "|" + variantText(value));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(IUIAutomationElement *sender) override
    {
        say("event focus " + describe(sender));
        return S_OK;
    }

private:
    // Static: it outlives every call the automation core makes on it.
    LONG m_references = 1;
};

Listener listener;

template <typename T> void release(T *&object)
{
    if (object)
        object->Release();
    object = nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    output = std::fopen(argv[2], "wb");
    if (!output)
        return 2;
    int length = MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, nullptr, 0);
    std::wstring title(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, title.data(), length);

    // Events arrive on the automation core's threads: nothing here needs a message loop.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IUIAutomation *automation = nullptr;
    HRESULT result = CoCreateInstance(
        CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IUIAutomation), (void **)&automation);
    if (FAILED(result)) {
        say("unavailable " + hex(result));
        return 3;
    }

    HWND window = nullptr;
    for (int tries = 0; !window && tries < 1200; ++tries) {
        window = FindWindowW(nullptr, title.c_str());
        if (!window)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    IUIAutomationElement *root = nullptr;
    if (!window || FAILED(result = automation->ElementFromHandle(window, &root)) || !root) {
        say("error no element for the window " + hex(result));
        return 1;
    }
    say("window " + describe(root) + "|" + property(root, UIA_FrameworkIdPropertyId));

    IUIAutomationTreeWalker *walker = nullptr;
    // Every element, as the raw view has them: Wine 10 has no ready-made walkers (its
    // get_ControlViewWalker and get_RawViewWalker return E_NOTIMPL), but makes one on a condition.
    IUIAutomationCondition *everything = nullptr;
    if (FAILED(result = automation->CreateTrueCondition(&everything))
        || FAILED(result = automation->CreateTreeWalker(everything, &walker))) {
        say("error no tree walker " + hex(result));
        return 1;
    }
    release(everything);
    IUIAutomationElement *child = nullptr;
    walker->GetFirstChildElement(root, &child);
    while (child) {
        const std::string described = describe(child);
        say("control " + described);
        const std::string type = described.substr(described.rfind('|') + 1);
        const std::string name = described.substr(0, described.rfind('|'));
        if (type == "ComboBox" || type == "Edit")
            say("value " + name + "|" + property(child, UIA_ValueValuePropertyId));
        IUIAutomationElement *next = nullptr;
        walker->GetNextSiblingElement(child, &next);
        release(child);
        child = next;
    }

    // Qt tells of a list's new entry as a change of its Value property, of the drop-down list's
    // selected entry and (through the program) of the box's text; Wine 10 adds no handler for
    // property changes (E_NOTIMPL), but passes the other events on from the program's process.
    say("listening focus " + hex(automation->AddFocusChangedEventHandler(nullptr, &listener)));
    PROPERTYID properties[] = { UIA_ValueValuePropertyId, UIA_NamePropertyId };
    say("listening property "
        + hex(automation->AddPropertyChangedEventHandlerNativeArray(
            root, TreeScope_Subtree, nullptr, &listener, properties, 2)));
    for (EVENTID id : { elementSelectedEvent, textChangedEvent })
        say(std::string("listening ") + eventName(id) + " "
            + hex(automation->AddAutomationEventHandler(id, root, TreeScope_Subtree, nullptr, &listener)));
    say("ready");

    // The focus as a screen reader asks for it, each time it is on another element (Wine 10's
    // search for it stops at the desktop, a nameless pane); until the window closes, or at the
    // latest after half an hour.
    std::string focused;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(30);
    while (IsWindow(window) && std::chrono::steady_clock::now() < deadline) {
        IUIAutomationElement *now = nullptr;
        if (SUCCEEDED(automation->GetFocusedElement(&now)) && now) {
            const std::string described = describe(now);
            if (described != focused)
                say("focused " + described);
            focused = described;
        }
        release(now);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    say(IsWindow(window) ? "error still open after half an hour" : "gone");
    automation->RemoveAllEventHandlers();
    release(walker);
    release(root);
    release(automation);
    CoUninitialize();
    std::fclose(output);
    return 0;
}
