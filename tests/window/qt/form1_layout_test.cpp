// The window as Qt builds it, checked against the window's design written out
// here by hand: places in pixels (15 twips each), texts, fonts and colours.
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
#include <optional>

#include "open_form1.h"
#include "window/qt/form1_window.h"
#include "window/qt/kelvaro_application.h"
#include "window/qt/picture_box.h"

using kelvaro::ControlId;
using kelvaro::qt::Form1Window;

Q_DECLARE_METATYPE(std::optional<QColor>)

namespace {

enum class Kind { Label, Picture, Edit, Button };

bool IsKind(const QWidget* widget, Kind kind) {
    switch (kind) {
        case Kind::Label:
            return qobject_cast<const QLabel*>(widget) != nullptr;
        case Kind::Picture:
            return qobject_cast<const kelvaro::qt::PictureBox*>(widget) != nullptr;
        case Kind::Edit:
            return qobject_cast<const QLineEdit*>(widget) != nullptr;
        case Kind::Button:
            return qobject_cast<const QPushButton*>(widget) != nullptr;
    }
    return false;
}

}  // namespace

Q_DECLARE_METATYPE(Kind)

namespace {

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

// The lowest row of `image` with any ink in it, or -1.
int LowestInkedRow(const QImage& image) {
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return y;
            }
        }
    }
    return -1;
}

QImage RenderTransparent(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
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
        QCOMPARE(form_->windowTitle(), QStringLiteral("智能Kelvaro   [编程: Mirelle]"));
        QCOMPARE(form_->size(), QSize(357, 247));
        QCOMPARE(form_->minimumSize(), QSize(357, 247));
        QCOMPARE(form_->maximumSize(), QSize(357, 247));
        const Qt::WindowFlags flags = form_->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(form_->frameGeometry().center(), form_->screen()->availableGeometry().center());
        QCOMPARE(QFontInfo(form_->font()).pointSizeF(), 9.0);
        QVERIFY(!form_->windowIcon().isNull());
        // A spot of the window with no control on it.
        QCOMPARE(form_->grab().toImage().pixelColor(350, 240), QColor(0xC0, 0xFF, 0xC0));
    }

    void controls_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<std::optional<QColor>>("textColour");

        const std::optional<QColor> systemColour;
        const QColor blue(0x00, 0x00, 0xFF), darkRed(0xC0, 0x00, 0x00), magenta(0xFF, 0x00, 0xFF);
        auto row = [](const char* name, ControlId id) -> QTestData& {
            return QTest::newRow(name) << static_cast<int>(id);
        };
        row("Label1", ControlId::Label1)
            << Kind::Label << QRect(16, 8, 265, 25) << QStringLiteral("自动计算功率因数和功率")
            << 14.25 << true << std::optional(blue);
        row("Picture1", ControlId::Picture1)
            << Kind::Picture << QRect(16, 32, 326, 75) << QString() << 9.0 << false << systemColour;
        row("Label2", ControlId::Label2)
            << Kind::Label << QRect(24, 112, 106, 14) << QStringLiteral("请输入电压 U：") << 10.5
            << true << std::optional(darkRed);
        row("Label3", ControlId::Label3)
            << Kind::Label << QRect(24, 136, 114, 14) << QStringLiteral("请输入电流 I ：") << 10.5
            << true << std::optional(darkRed);
        row("Label4", ControlId::Label4)
            << Kind::Label << QRect(24, 160, 120, 14) << QStringLiteral("请输入相位角ψ：") << 10.5
            << true << std::optional(darkRed);
        row("Text1", ControlId::Text1) << Kind::Edit << QRect(152, 112, 65, 18)
                                       << QStringLiteral("380") << 9.0 << false << systemColour;
        row("Text2", ControlId::Text2) << Kind::Edit << QRect(152, 136, 65, 18)
                                       << QStringLiteral("15") << 9.0 << false << systemColour;
        row("Text3", ControlId::Text3) << Kind::Edit << QRect(152, 160, 65, 18)
                                       << QStringLiteral("10") << 9.0 << false << systemColour;
        row("Label5", ControlId::Label5) << Kind::Label << QRect(224, 112, 25, 17)
                                         << QStringLiteral("V") << 12.0 << false << systemColour;
        row("Label6", ControlId::Label6) << Kind::Label << QRect(224, 136, 25, 17)
                                         << QStringLiteral("A") << 12.0 << false << systemColour;
        row("Label7", ControlId::Label7) << Kind::Label << QRect(224, 160, 25, 17)
                                         << QStringLiteral("度") << 10.5 << false << systemColour;
        row("Command1", ControlId::Command1)
            << Kind::Button << QRect(264, 152, 81, 25) << QStringLiteral("计 算") << 12.0 << false
            << systemColour;
        row("Text4", ControlId::Text4) << Kind::Edit << QRect(160, 208, 145, 33) << QString()
                                       << 21.75 << false << std::optional(blue);
        row("Label8", ControlId::Label8)
            << Kind::Label << QRect(8, 208, 161, 33) << QStringLiteral("所求功率为：") << 21.75
            << false << std::optional(magenta);
        row("Label9", ControlId::Label9)
            << Kind::Label << QRect(312, 208, 41, 33) << QStringLiteral("瓦") << 21.75 << false
            << std::optional(magenta);
        row("Command2", ControlId::Command2)
            << Kind::Button << QRect(264, 112, 81, 25) << QStringLiteral("退 出") << 12.0 << false
            << systemColour;
        row("Label10", ControlId::Label10)
            << Kind::Label << QRect(16, 184, 73, 17) << QStringLiteral("功率因数为:") << 10.5
            << false << systemColour;
        // Emptied by the load step.
        row("Label11", ControlId::Label11) << Kind::Label << QRect(96, 184, 73, 17) << QString()
                                           << 10.5 << true << std::optional(blue);
    }

    void controls() {
        QFETCH(int, id);
        QFETCH(Kind, kind);
        QFETCH(QRect, place);
        QFETCH(QString, text);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(std::optional<QColor>, textColour);

        QWidget* control = form_->Control(static_cast<ControlId>(id));
        QCOMPARE(control->objectName(), QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(IsKind(control, kind));
        QCOMPARE(control->geometry(), place);
        QCOMPARE(TextOf(control), text);
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().bold(), bold);
        const QFontInfo face(control->font());
        QVERIFY2(face.family() == "SimSun" || face.family() == "AR PL UMing CN",
                 qPrintable(face.family()));
        for (const uint character : TextOf(control).toUcs4()) {
            QVERIFY2(QFontMetrics(control->font()).inFontUcs4(character),
                     qPrintable(QString::number(character, 16)));
        }
        if (textColour) {
            const auto role = kind == Kind::Edit ? QPalette::Text : QPalette::WindowText;
            QCOMPARE(control->palette().color(role), *textColour);
        }
        // Access keys would need a '&' in a caption.
        QVERIFY(!TextOf(control).contains('&'));
    }

    void textBoxes_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("accessibleName");
        QTest::addColumn<int>("label");
        QTest::newRow("Text1") << int(ControlId::Text1) << int(Qt::AlignRight) << false
                               << QStringLiteral("电压 U") << int(ControlId::Label2);
        QTest::newRow("Text2") << int(ControlId::Text2) << int(Qt::AlignRight) << false
                               << QStringLiteral("电流 I") << int(ControlId::Label3);
        QTest::newRow("Text3") << int(ControlId::Text3) << int(Qt::AlignRight) << false
                               << QStringLiteral("相位角ψ") << int(ControlId::Label4);
        QTest::newRow("Text4") << int(ControlId::Text4) << int(Qt::AlignHCenter) << true
                               << QStringLiteral("所求功率（瓦）") << int(ControlId::Label8);
    }

    void textBoxes() {
        QFETCH(int, id);
        QFETCH(int, alignment);
        QFETCH(bool, readOnly);
        QFETCH(QString, accessibleName);
        QFETCH(int, label);
        auto* box = qobject_cast<QLineEdit*>(form_->Control(static_cast<ControlId>(id)));
        QVERIFY(box != nullptr);
        QCOMPARE(int(box->alignment() & Qt::AlignHorizontal_Mask), alignment);
        QCOMPARE(box->isReadOnly(), readOnly);
        QVERIFY(box->hasFrame());
        QCOMPARE(box->accessibleName(), accessibleName);
        QCOMPARE(qobject_cast<QLabel*>(form_->Control(static_cast<ControlId>(label)))->buddy(),
                 box);
    }

    void resultBoxColours() {
        auto* box = static_cast<QLineEdit*>(form_->Control(ControlId::Text4));
        box->setText("8888");
        const QImage image = box->grab().toImage();
        // Just inside the border, and in the middle of the text.
        QCOMPARE(image.pixelColor(4, 4), QColor(0xFF, 0xFF, 0xC0));
        bool blueInk = false;
        for (int x = 0; x < image.width() && !blueInk; ++x) {
            blueInk = image.pixelColor(x, image.height() / 2) == QColor(0x00, 0x00, 0xFF);
        }
        QVERIFY(blueInk);
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

    void focusStartsOnThePictureAndFollowsTheTable() {
        const ControlId chain[] = {ControlId::Picture1, ControlId::Text1,    ControlId::Text2,
                                   ControlId::Text3,    ControlId::Command1, ControlId::Text4,
                                   ControlId::Command2, ControlId::Picture1};
        QCOMPARE(QApplication::focusWidget(), form_->Control(chain[0]));
        for (std::size_t i = 1; i < std::size(chain); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), form_->Control(chain[i]));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), form_->Control(ControlId::Command2));
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
        const int lowestInk = LowestInkedRow(RenderTransparent(label));
        QVERIFY(lowestInk >= 0);
        // One whole line at most: nothing of a second line shows.
        QVERIFY2(lowestInk < metrics.height(), qPrintable(QString::number(lowestInk)));
    }

  private:
    std::unique_ptr<Form1Window> opened_;
    Form1Window* form_ = nullptr;
};

QTEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
