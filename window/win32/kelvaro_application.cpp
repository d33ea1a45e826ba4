#include "window/win32/kelvaro_application.h"

#include <commctrl.h>
#include <objbase.h>

#include "window/win32/form1_window.h"

namespace kelvaro::win32 {

int RunKelvaro(HINSTANCE instance, int showCommand) {
    // The manifest asks for the current common controls; they draw in the
    // system's visual style once loaded.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // COM, for the controls' accessible names.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    MSG message;
    {
        Form1Window form(instance);
        form.Show(showCommand);
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!form.HandleNavigation(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return static_cast<int>(message.wParam);
}

}  // namespace kelvaro::win32
