// Form1 as screen readers meet it on Windows: what the design calls its
// controls, given as Dynamic Annotation (Active Accessibility and, from
// Windows 7 on, UI Automation read it ahead of what their proxies guess), and
// announcements that move no focus.
#pragma once

#include <oleacc.h>
#include <uiautomationcore.h>
#include <windows.h>

namespace kelvaro::win32 {

// UiaRaiseNotificationEvent, of Windows 10 version 1709 and later.
using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple* source, int kind,
                                           int processing, BSTR text, BSTR activityId);

// What the window reaches screen readers through. Either may be missing.
struct ScreenReaderServices {
    // The annotation service: the window releases the reference it is given.
    IAccPropServices* annotations = nullptr;
    RaiseNotification raiseNotification = nullptr;

    // The system's: the annotation service where COM is there to make it,
    // notifications where Windows has them.
    static ScreenReaderServices System();
};

// Annotates a control's name and description (an empty text leaves that to
// the control) and, unless zero, its role.
void Annotate(IAccPropServices* annotations, HWND control, const wchar_t* name,
              const wchar_t* description, long role = 0);
// Marks a control as a live region that speaks politely.
void AnnotateLiveRegion(IAccPropServices* annotations, HWND control);
// Takes every annotation of the control away, as it must be before the
// control goes.
void ClearAnnotations(IAccPropServices* annotations, HWND control);

// Tells screen readers a text on the form's behalf: as a UI Automation
// notification where Windows has them, and elsewhere as a live region that
// changed, which NVDA reads out (since 2017) and Narrator from Windows 8 on.
// The region is a static text of one pixel in a corner of the form where no
// control lies, drawn in the form's ground: nothing anybody sees.
class Announcer {
  public:
    Announcer(HWND form, const ScreenReaderServices& services);
    ~Announcer();
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    bool Created() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    void Announce(const wchar_t* text);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclass, DWORD_PTR announcer);

    HWND window_ = nullptr;
    IRawElementProviderSimple* source_ = nullptr;
    RaiseNotification raiseNotification_;
};

}  // namespace kelvaro::win32
