// The window as Qt builds it, checked against the design's hand-written
// expectation: places, texts, fonts and colours.
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "expected_in_qt.h"
#include "ink.h"
#include "open_form1.h"
#include "window/qt/form1_window.h"
#include "window/qt/kelvaro_application.h"
#include "window/qt/picture_box.h"

using kelvaro::ControlId;
using kelvaro::qt::Form1Window;
namespace expected = kelvaro::expected;

namespace {

bool IsKind(const QWidget* widget, expected::Kind kind) {
    switch (kind) {
        case expected::Kind::Label:
            return qobject_cast<const QLabel*>(widget) != nullptr;
        case expected::Kind::Picture:
            return qobject_cast<const kelvaro::qt::PictureBox*>(widget) != nullptr;
        case expected::Kind::TextBox:
            return qobject_cast<const QLineEdit*>(widget) != nullptr;
        case expected::Kind::Button:
            return qobject_cast<const QPushButton*>(widget) != nullptr;
    }
    return false;
}

Qt::Alignment QtAlignment(expected::Align alignment) {
    switch (alignment) {
        case expected::Align::Left:
            return Qt::AlignLeft;
        case expected::Align::Centre:
            return Qt::AlignHCenter;
        case expected::Align::Right:
            return Qt::AlignRight;
    }
    return {};
}

QString TextOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return button->text();
    }
    return {};
}

}  // namespace

class Form1LayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { kelvaro::qt::PrepareApplication(); }

    void init() {
        opened_ = OpenForm1();
        QVERIFY(opened_ != nullptr);
        form_ = opened_.get();
    }
    void cleanup() { opened_.reset(); }

    void windowAttributes() {
        QCOMPARE(form_->windowTitle(), QString::fromUtf8(expected::kCaption));
        QCOMPARE(form_->size(), expected::ClientPixels());
        QCOMPARE(form_->minimumSize(), expected::ClientPixels());
        QCOMPARE(form_->maximumSize(), expected::ClientPixels());
        const Qt::WindowFlags flags = form_->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(QFontInfo(form_->font()).pointSizeF(), expected::kFormPoints);
        QVERIFY(!form_->windowIcon().isNull());
        // A spot of the window with no control on it.
        QCOMPARE(form_->grab().toImage().pixelColor(350, 240),
                 expected::Colour(expected::kBackground));
    }

    void controls_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(expected::kControls)); ++i) {
            QTest::newRow(expected::kControls[i].name) << i;
        }
    }

    void controls() {
        QFETCH(int, index);
        const expected::Control& expected = expected::kControls[index];
        QWidget* control = Control(index);
        QCOMPARE(control->objectName(), QString::fromUtf8(expected.name));
        QVERIFY(IsKind(control, expected.kind));
        QCOMPARE(control->geometry(), expected::Pixels(expected.place));
        QCOMPARE(TextOf(control), QString::fromUtf8(expected.text));
        QCOMPARE(control->font().pointSizeF(), expected.points);
        QCOMPARE(control->font().bold(), expected.bold);
        const QFontInfo face(control->font());
        QVERIFY2(face.family() == "SimSun" || face.family() == "AR PL UMing CN",
                 qPrintable(face.family()));
        for (const uint character : TextOf(control).toUcs4()) {
            QVERIFY2(QFontMetrics(control->font()).inFontUcs4(character),
                     qPrintable(QString::number(character, 16)));
        }
        if (expected.textColour) {
            const auto role =
                expected.kind == expected::Kind::TextBox ? QPalette::Text : QPalette::WindowText;
            QCOMPARE(control->palette().color(role), expected::Colour(*expected.textColour));
        }
    }

    // Where the text sits, who may change it, and the label that names the
    // box on screen.
    void textBoxes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("label");
        QTest::newRow("Text1") << int(expected::kText1) << int(expected::kLabel2);
        QTest::newRow("Text2") << int(expected::kText2) << int(expected::kLabel3);
        QTest::newRow("Text3") << int(expected::kText3) << int(expected::kLabel4);
        QTest::newRow("Text4") << int(expected::kText4) << int(expected::kLabel8);
    }

    void textBoxes() {
        QFETCH(int, index);
        QFETCH(int, label);
        const expected::Control& expected = expected::kControls[index];
        auto* box = qobject_cast<QLineEdit*>(Control(index));
        QVERIFY(box != nullptr);
        QCOMPARE(int(box->alignment() & Qt::AlignHorizontal_Mask),
                 int(QtAlignment(expected.alignment)));
        QCOMPARE(box->isReadOnly(), expected.readOnly);
        QVERIFY(box->hasFrame());
        QCOMPARE(qobject_cast<QLabel*>(Control(label))->buddy(), box);
    }

    void resultBoxColours() {
        const expected::Control& expected = expected::kControls[expected::kText4];
        auto* box = static_cast<QLineEdit*>(Control(expected::kText4));
        box->setText("8888");
        const QImage image = box->grab().toImage();
        // Just inside the border, and in the middle of the text.
        QCOMPARE(image.pixelColor(4, 4), expected::Colour(*expected.backColour));
        bool inked = false;
        for (int x = 0; x < image.width() && !inked; ++x) {
            inked =
                image.pixelColor(x, image.height() / 2) == expected::Colour(*expected.textColour);
        }
        QVERIFY(inked);
    }

    void resultBoxRefusesTyping() {
        auto* box = static_cast<QLineEdit*>(form_->Control(ControlId::Text4));
        box->setText("9722.70");
        box->setFocus();
        QTest::keyClicks(box, "12");
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->text(), QStringLiteral("9722.70"));
        box->selectAll();
        box->copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("9722.70"));
    }

    void pictureBox() {
        auto* picture = static_cast<kelvaro::qt::PictureBox*>(form_->Control(ControlId::Picture1));
        QCOMPARE(picture->PictureSize(), QSize(322, 71));
        QCOMPARE(picture->frameWidth(), 2);
        QCOMPARE(picture->contentsRect(), QRect(2, 2, 322, 71));
    }

    void textBoxesAndButtonsLieAboveLabels() {
        // Label8 reaches into Text4 at x = 160..168.
        QCOMPARE(form_->childAt(164, 224), form_->Control(ControlId::Text4));
    }

    void focusFollowsTheTabOrder() {
        const auto& order = expected::kTabOrder;
        QCOMPARE(QApplication::focusWidget(), Control(order[0]));
        for (std::size_t i = 1; i <= std::size(order); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), Control(order[i % std::size(order)]));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), Control(order[std::size(order) - 1]));
    }

    void buttonsIgnoreEnterAndEscape() {
        auto* calculate = static_cast<QPushButton*>(form_->Control(ControlId::Command1));
        auto* exit = static_cast<QPushButton*>(form_->Control(ControlId::Command2));
        QVERIFY(!calculate->autoDefault() && !calculate->isDefault());
        QVERIFY(!exit->autoDefault() && !exit->isDefault());
        QSignalSpy calculated(calculate, &QPushButton::clicked);
        QSignalSpy exited(exit, &QPushButton::clicked);
        QWidget* voltage = form_->Control(ControlId::Text1);
        voltage->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(voltage, key);
            QTest::keyClick(calculate, key);
            QTest::keyClick(exit, key);
        }
        QCOMPARE(calculated.count(), 0);
        QCOMPARE(exited.count(), 0);
    }

    // Labels sized to their text keep it on one line inside their box; the two
    // captions slightly wider than their box wrap, and the line cut off by the
    // box's height is not drawn at all.
    void labelsStayInsideTheirBoxes_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("wraps");
        QTest::newRow("Label1") << int(ControlId::Label1) << false;
        QTest::newRow("Label2") << int(ControlId::Label2) << false;
        QTest::newRow("Label3") << int(ControlId::Label3) << false;
        QTest::newRow("Label4") << int(ControlId::Label4) << false;
        QTest::newRow("Label5") << int(ControlId::Label5) << false;
        QTest::newRow("Label6") << int(ControlId::Label6) << false;
        QTest::newRow("Label7") << int(ControlId::Label7) << false;
        QTest::newRow("Label9") << int(ControlId::Label9) << false;
        QTest::newRow("Label8") << int(ControlId::Label8) << true;
        QTest::newRow("Label10") << int(ControlId::Label10) << true;
    }

    void labelsStayInsideTheirBoxes() {
        QFETCH(int, id);
        QFETCH(bool, wraps);
        auto* label = static_cast<QLabel*>(form_->Control(static_cast<ControlId>(id)));
        const QFontMetrics metrics(label->font(), label);
        QCOMPARE(metrics.horizontalAdvance(label->text()) > label->width(), wraps);
        const int lowestInk = kelvaro::ink::InkedRows(kelvaro::ink::RenderTransparent(label)).last;
        QVERIFY(lowestInk >= 0);
        // One whole line at most: nothing of a second line shows.
        QVERIFY2(lowestInk < metrics.height(), qPrintable(QString::number(lowestInk)));
    }

    // At the design's density the Song texts of up to 16 pixels are drawn
    // from the face's bitmaps, which carry no anti-aliasing; the larger ones
    // have none and are drawn smooth.
    void songTextFromBitmapsWhereTheFaceHasThem_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("bitmaps");
        QTest::newRow("Label2, 10.5 pt bold") << int(ControlId::Label2) << true;
        QTest::newRow("Label5, 12 pt") << int(ControlId::Label5) << true;
        QTest::newRow("Label7, 10.5 pt") << int(ControlId::Label7) << true;
        QTest::newRow("Label1, 14.25 pt bold") << int(ControlId::Label1) << false;
        QTest::newRow("Label8, 21.75 pt") << int(ControlId::Label8) << false;
    }

    void songTextFromBitmapsWhereTheFaceHasThem() {
        QFETCH(int, id);
        QFETCH(bool, bitmaps);
        const QImage ink = kelvaro::ink::RenderTransparent(form_->Control(ControlId(id)));
        const QSet<int> opacities = kelvaro::ink::Opacities(ink);
        QCOMPARE(opacities == QSet<int>({0, 255}), bitmaps);
    }

  private:
    // The control at this position of the expected table.
    QWidget* Control(int index) const { return form_->Control(static_cast<ControlId>(index)); }

    std::unique_ptr<Form1Window> opened_;
    Form1Window* form_ = nullptr;
};

QTEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
