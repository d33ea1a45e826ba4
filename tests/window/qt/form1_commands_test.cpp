// The real Qt window at work: Calculate, with real message boxes, and the two
// ways the program ends.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "expected_form1.h"
#include "expected_messages.h"
#include "open_form1.h"
#include "window/qt/form1_window.h"
#include "window/qt/kelvaro_application.h"

using kelvaro::ControlId;
using kelvaro::qt::Form1Window;
namespace expected = kelvaro::expected;

namespace {

// What a message box showed, seen while it was up.
struct SeenMessage {
    QString title;
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool modal = false;
    bool ownedByForm = false;
    int clicksThatGotThrough = 0;
};

}  // namespace

class Form1CommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { kelvaro::qt::PrepareApplication(); }

    void init() {
        opened_ = OpenForm1();
        QVERIFY(opened_ != nullptr);
        form_ = opened_.get();
    }
    void cleanup() { opened_.reset(); }

    // What the boxes hold reaches the calculation as typed, full-width digits
    // included, and every text it gives back reaches its control.
    void calculateWritesTheResultsAndTheCanonicalInputs() {
        Edit(ControlId::Text1)->setText(QStringLiteral("３８０"));
        Edit(ControlId::Text2)->setText(QStringLiteral(" 15A"));
        Edit(ControlId::Text3)->setText(QStringLiteral("1e1"));
        QTest::mouseClick(Button(ControlId::Command1), Qt::LeftButton);
        QCOMPARE(Label(ControlId::Label11)->text(), QStringLiteral("0.98"));
        QCOMPARE(Edit(ControlId::Text4)->text(), QStringLiteral("9722.70"));
        QCOMPARE(Edit(ControlId::Text1)->text(), QStringLiteral("380"));
        QCOMPARE(Edit(ControlId::Text2)->text(), QStringLiteral("15"));
        QCOMPARE(Edit(ControlId::Text3)->text(), QStringLiteral("10"));
    }

    void calculateLeavesTheFocusAndSelectionAlone() {
        QLineEdit* current = Edit(ControlId::Text2);
        current->setFocus();
        current->setCursorPosition(1);
        Button(ControlId::Command1)->click();
        QCOMPARE(QApplication::focusWidget(), current);
        QVERIFY(!current->hasSelectedText());
        QVERIFY(!Edit(ControlId::Text4)->hasSelectedText());
    }

    // A failed check, in a real message box; which message each check gives
    // is the core's and the behaviour's to prove.
    void messageInARealMessageBox() {
        // An earlier result, which the failed command must take away.
        Button(ControlId::Command1)->click();
        Edit(ControlId::Text1)->setText(QString());

        const SeenMessage seen = ClickCalculateAndDismissTheMessage();
        QVERIFY2(!seen.title.isEmpty(), "no message box was the active modal widget");
        QCOMPARE(seen.title, QString::fromUtf8(expected::kMessageTitle));
        QCOMPARE(seen.text, QString::fromUtf8(expected::kMissingInput));
        QCOMPARE(seen.buttons, QStringList{QString::fromUtf8(expected::kMessageButton)});
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QVERIFY(seen.modal);
        QVERIFY(seen.ownedByForm);
        QCOMPARE(seen.clicksThatGotThrough, 0);

        QCOMPARE(form_->windowTitle(), QString::fromUtf8(expected::kCaption));
        QCOMPARE(Label(ControlId::Label11)->text(), QString());
        QCOMPARE(Edit(ControlId::Text4)->text(), QString());
        QCOMPARE(Edit(ControlId::Text1)->text(), QString());
        QCOMPARE(Edit(ControlId::Text2)->text(), QStringLiteral("15"));
        QCOMPARE(Edit(ControlId::Text3)->text(), QStringLiteral("10"));
    }

    void exitEndsTheEventLoop() {
        QCOMPARE(RunEventLoopUntil([this] { Button(ControlId::Command2)->click(); }), 0);
    }

    void closingEndsTheEventLoop() {
        QCOMPARE(RunEventLoopUntil([this] { form_->close(); }), 0);
        QVERIFY(!form_->isVisible());
    }

    // However long the text put in, a box keeps 32767 characters of it. (A
    // thousand calculations in a row are the end-to-end test's, which measures
    // the memory they take.)
    void textBoxesHoldAtMost32767Characters() {
        Edit(ControlId::Text1)->setText(QString(1 << 20, QChar('7')));
        QCOMPARE(Edit(ControlId::Text1)->text().size(), 32767);
    }

  private:
    QLabel* Label(ControlId id) const { return static_cast<QLabel*>(form_->Control(id)); }
    QLineEdit* Edit(ControlId id) const { return static_cast<QLineEdit*>(form_->Control(id)); }
    QPushButton* Button(ControlId id) const {
        return static_cast<QPushButton*>(form_->Control(id));
    }

    // Clicks Calculate; while the box is up, looks at it, tries to click Exit
    // through the window system, then dismisses the box with its button.
    SeenMessage ClickCalculateAndDismissTheMessage() {
        SeenMessage seen;
        QSignalSpy exitClicks(Button(ControlId::Command2), &QPushButton::clicked);
        QTimer::singleShot(0, this, [this, &seen, &exitClicks] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                // Whatever box there is must not hold up the test.
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (auto* other = qobject_cast<QMessageBox*>(window)) {
                        other->reject();
                    }
                }
                return;
            }
            seen.title = box->windowTitle();
            seen.text = box->text();
            for (QAbstractButton* button : box->buttons()) {
                seen.buttons << button->text();
            }
            seen.icon = box->icon();
            seen.modal = box->isModal();
            seen.ownedByForm = box->parentWidget() == form_;
            ClickThroughTheWindowSystem(ControlId::Command2);
            seen.clicksThatGotThrough = exitClicks.count();
            QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
        });
        // The same road as the click on Exit, which must be blocked.
        ClickThroughTheWindowSystem(ControlId::Command1);
        return seen;
    }

    void ClickThroughTheWindowSystem(ControlId id) {
        QWidget* control = form_->Control(id);
        QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, {},
                          control->mapTo(form_, control->rect().center()));
    }

    // Runs the application's event loop, as the program does, while `action`
    // happens; returns its exit code, or -1 if nothing ended it.
    int RunEventLoopUntil(const std::function<void()>& action) {
        QTimer::singleShot(0, this, action);
        QTimer::singleShot(5000, this, [] { QCoreApplication::exit(-1); });
        return QApplication::exec();
    }

    std::unique_ptr<Form1Window> opened_;
    Form1Window* form_ = nullptr;
};

QTEST_MAIN(Form1CommandsTest)
#include "form1_commands_test.moc"
