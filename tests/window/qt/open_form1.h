// Opens a fresh Form1 as the program does and waits until it is shown and
// active, so that keyboard focus and events behave as for a user.
#pragma once

#include <QApplication>
#include <QTest>
#include <memory>

#include "window/qt/form1_window.h"

inline std::unique_ptr<kelvaro::qt::Form1Window> OpenForm1() {
    auto form = std::make_unique<kelvaro::qt::Form1Window>();
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowExposed(form.get()) || !QTest::qWaitForWindowActive(form.get())) {
        return nullptr;
    }
    return form;
}
