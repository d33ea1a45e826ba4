#include "window/win32/accessibility.h"

#include <commctrl.h>

#include <iterator>

namespace kelvaro::win32 {
namespace {

// Of Windows 8 and later, or not in every SDK's headers yet.
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED
constexpr long kUiaRootObjectId = -25;
// {C12BCD8E-2A8E-4950-8AE7-3625111D58EB}
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr long kLivePolite = 1;
constexpr int kNotificationActionCompleted = 2;
constexpr int kNotificationImportantMostRecent = 1;
constexpr const wchar_t* kResultsActivity = L"Kelvaro.Results";

// A function of UI Automation's core, looked up in the system's own folder so
// that the program starts where Windows has no UI Automation or an older one.
FARPROC UiaProcedure(const char* name) {
    static const HMODULE core = [] {
        wchar_t path[MAX_PATH];
        const UINT length = GetSystemDirectoryW(path, MAX_PATH);
        constexpr wchar_t kFile[] = L"\\uiautomationcore.dll";
        if (length == 0 || length + std::size(kFile) > MAX_PATH) {
            return HMODULE{};
        }
        lstrcpyW(path + length, kFile);
        return LoadLibraryW(path);
    }();
    return core != nullptr ? GetProcAddress(core, name) : nullptr;
}

template <class Function>
Function UiaFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(UiaProcedure(name)));
}

// The announcer window as UI Automation's notifications need it: a provider
// of its own, adding nothing to what Windows says of the window itself.
class NotificationSource : public IRawElementProviderSimple {
  public:
    explicit NotificationSource(HWND window) : window_(window) {}
    virtual ~NotificationSource() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IRawElementProviderSimple))) {
            *object = static_cast<IRawElementProviderSimple*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG references = InterlockedDecrement(&references_);
        if (references == 0) {
            delete this;
        }
        return static_cast<ULONG>(references);
    }

    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
        *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider |
                                                ProviderOptions_UseComThreading);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override {
        *pattern = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID, VARIANT* value) override {
        value->vt = VT_EMPTY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    get_HostRawElementProvider(IRawElementProviderSimple** host) override {
        static const auto hostFromWindow =
            UiaFunction<HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**)>(
                "UiaHostProviderFromHwnd");
        *host = nullptr;
        return hostFromWindow != nullptr ? hostFromWindow(window_, host) : E_FAIL;
    }

  private:
    HWND window_;
    LONG references_ = 1;
};

void AnnotateText(IAccPropServices* annotations, HWND control, const MSAAPROPID& property,
                  const wchar_t* text) {
    if (*text == L'\0') {
        annotations->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    &property, 1);
    } else {
        annotations->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    property, text);
    }
}

void AnnotateNumber(IAccPropServices* annotations, HWND control, const MSAAPROPID& property,
                    long number) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = number;
    annotations->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                             value);
}

}  // namespace

ScreenReaderServices ScreenReaderServices::System() {
    ScreenReaderServices services;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices,
                                reinterpret_cast<void**>(&services.annotations)))) {
        services.annotations = nullptr;
    }
    services.raiseNotification = UiaFunction<RaiseNotification>("UiaRaiseNotificationEvent");
    return services;
}

void Annotate(IAccPropServices* annotations, HWND control, const wchar_t* name,
              const wchar_t* description, long role) {
    AnnotateText(annotations, control, PROPID_ACC_NAME, name);
    AnnotateText(annotations, control, PROPID_ACC_DESCRIPTION, description);
    if (role != 0) {
        AnnotateNumber(annotations, control, PROPID_ACC_ROLE, role);
    }
}

void AnnotateLiveRegion(IAccPropServices* annotations, HWND control) {
    AnnotateNumber(annotations, control, kLiveSettingProperty, kLivePolite);
}

void ClearAnnotations(IAccPropServices* annotations, HWND control) {
    const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION, PROPID_ACC_ROLE,
                                     kLiveSettingProperty};
    annotations->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties,
                                static_cast<int>(std::size(properties)));
}

Announcer::Announcer(HWND form, const ScreenReaderServices& services)
    : raiseNotification_(services.raiseNotification) {
    // Not a tab stop, and like every static text without SS_NOTIFY, it lets
    // clicks through to the form.
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                              0, 1, 1, form, nullptr, nullptr, nullptr);
    if (window_ == nullptr) {
        return;
    }
    SetWindowSubclass(window_, Procedure, 0, reinterpret_cast<DWORD_PTR>(this));
    if (raiseNotification_ != nullptr) {
        source_ = new NotificationSource(window_);
    }
}

Announcer::~Announcer() {
    if (IsWindow(window_)) {
        DestroyWindow(window_);
    }
    if (source_ != nullptr) {
        source_->Release();
    }
}

void Announcer::Announce(const wchar_t* text) {
    // The region's name is its text, which a live region's reader reads out.
    SetWindowTextW(window_, text);
    if (raiseNotification_ != nullptr) {
        BSTR message = SysAllocString(text);
        BSTR activity = SysAllocString(kResultsActivity);
        raiseNotification_(source_, kNotificationActionCompleted, kNotificationImportantMostRecent,
                           message, activity);
        SysFreeString(activity);
        SysFreeString(message);
    } else {
        NotifyWinEvent(kLiveRegionChanged, window_, OBJID_CLIENT, CHILDID_SELF);
    }
}

LRESULT CALLBACK Announcer::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR /*subclass*/, DWORD_PTR announcer) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            // The form's own ground, and no text.
            PAINTSTRUCT paint;
            HDC context = BeginPaint(window, &paint);
            FillRect(
                context, &paint.rcPaint,
                reinterpret_cast<HBRUSH>(GetClassLongPtrW(GetParent(window), GCLP_HBRBACKGROUND)));
            EndPaint(window, &paint);
            return 0;
        }
        case WM_GETOBJECT: {
            auto* self = reinterpret_cast<Announcer*>(announcer);
            static const auto returnProvider =
                UiaFunction<LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*)>(
                    "UiaReturnRawElementProvider");
            if (static_cast<long>(lParam) == kUiaRootObjectId && self->source_ != nullptr &&
                returnProvider != nullptr) {
                return returnProvider(window, wParam, lParam, self->source_);
            }
            break;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, Procedure, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace kelvaro::win32
