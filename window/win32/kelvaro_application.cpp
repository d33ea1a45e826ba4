#include "window/win32/kelvaro_application.h"

#include <commctrl.h>
#include <objbase.h>

#include <string_view>
#include <vector>

#include "window/win32/form1_window.h"
#include "window/win32/utf16.h"

namespace kelvaro::win32 {
namespace {

constexpr int kFailureStatus = 1;

// Says in a message box what went wrong, with the system's own words for the
// error where there is one. Without a window of its own, so that it still
// shows when the form could not be made.
void ReportFailure(std::string_view what, DWORD error) {
    std::vector<wchar_t> text = ToUtf16(what);
    text.pop_back();  // the terminating zero
    wchar_t* reason = nullptr;
    if (error != ERROR_SUCCESS &&
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr) != 0) {
        text.push_back(L'\n');
        text.insert(text.end(), reason, reason + lstrlenW(reason));
        LocalFree(reason);
    }
    text.push_back(L'\0');
    MessageBoxW(nullptr, text.data(), ToUtf16(kForm1.applicationTitle).data(),
                MB_OK | MB_ICONERROR);
}

}  // namespace

std::optional<int> RunMessageLoop(Form1Window& form, GetMessageFunction getMessage) {
    MSG message{};
    for (;;) {
        const BOOL got = getMessage(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return std::nullopt;
        }
        if (!form.HandleNavigation(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int RunKelvaro(HINSTANCE instance, int showCommand) {
    // The manifest asks for the current common controls; they draw in the
    // system's visual style once loaded.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // COM, for the controls' accessible names.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = kFailureStatus;
    {
        Form1Window form(instance);
        if (!form.Created()) {
            ReportFailure("无法创建窗口。", form.CreationError());
        } else {
            form.Show(showCommand);
            if (const std::optional<int> quit = RunMessageLoop(form)) {
                status = *quit;
            } else {
                ReportFailure("无法读取窗口消息。", GetLastError());
            }
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return status;
}

}  // namespace kelvaro::win32
