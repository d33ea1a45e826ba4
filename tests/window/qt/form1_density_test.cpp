// Form1 at every density Qt may draw it at and with the Chinese faces a
// desktop may have instead of the design's. CTest runs it once per case: at
// Qt's scales 1, 1.25, 1.5 and 2, at font DPIs of 120 and 108 that Qt does
// not scale for (scaling off, or its factor rounded down), and with Noto CJK or WenQuanYi Zen Hei
// as the only Chinese face (a fontconfig configuration of the build's own; KELVARO_FACE names the
// face such a run expects). Whatever the case, every text shows whole in its box.
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "expected_in_qt.h"
#include "expected_powers.h"
#include "ink.h"
#include "open_form1.h"
#include "window/qt/fitting_text_box.h"
#include "window/qt/form1_window.h"
#include "window/qt/form_label.h"
#include "window/qt/kelvaro_application.h"

using kelvaro::ControlId;
using kelvaro::qt::Form1Window;
namespace expected = kelvaro::expected;
namespace ink = kelvaro::ink;

namespace {

constexpr const char* kDesignFace = "AR PL UMing CN";

// The columns of a text box's image, between its borders, that hold ink of
// the text's colour (anti-aliased on the box's ground).
ink::Span TextColumns(const QImage& image, int border, QColor ground) {
    ink::Span columns;
    for (int x = border; x < image.width() - border; ++x) {
        for (int y = border; y < image.height() - border; ++y) {
            if (image.pixelColor(x, y) != ground) {
                columns.first = columns.first < 0 ? x : columns.first;
                columns.last = x;
                break;
            }
        }
    }
    return columns;
}

QRect Twips(const expected::Place& place) {
    return QRect(place.left, place.top, place.width, place.height);
}

}  // namespace

class Form1DensityTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        const QByteArray face = qgetenv("KELVARO_FACE");
        if (!face.isEmpty() && !QFontDatabase::families().join('\n').contains(face)) {
            QSKIP(qPrintable(QStringLiteral("the face %1 is not installed").arg(face)));
        }
        kelvaro::qt::PrepareApplication();
        opened_ = OpenForm1();
        QVERIFY(opened_ != nullptr);
        form_ = opened_.get();
        dotsPerInch_ = form_->screen()->logicalDotsPerInchY();
        qInfo("font DPI %g, device pixel ratio %g, face %s", dotsPerInch_,
              form_->devicePixelRatioF(), qPrintable(QFontInfo(form_->font()).family()));
    }
    void cleanupTestCase() { opened_.reset(); }

    // The window and its controls grow with the font DPI, so that every text
    // keeps its room; controls move to whole pixels, and overlap only where
    // the design has them overlap (Label1 and Picture1, Label8 and Text4).
    void layoutFollowsTheFontDpi() {
        const auto pixels = [this](int twips) {
            return qRound(twips * dotsPerInch_ / (expected::kTwipsPerPixel * 96));
        };
        QCOMPARE(form_->size(),
                 QSize(pixels(expected::kClientWidth), pixels(expected::kClientHeight)));
        for (int a = 0; a < int(std::size(expected::kControls)); ++a) {
            const QRect box = Control(a)->geometry();
            QVERIFY(form_->rect().contains(box));
            for (int b = a + 1; b < int(std::size(expected::kControls)); ++b) {
                const bool designed = Twips(expected::kControls[a].place)
                                          .intersects(Twips(expected::kControls[b].place));
                QVERIFY2(
                    box.intersects(Control(b)->geometry()) == designed,
                    qPrintable(QStringLiteral("%1 and %2")
                                   .arg(expected::kControls[a].name, expected::kControls[b].name)));
            }
        }
    }

    void powerShowsWhole_data() {
        QTest::addColumn<QString>("voltage");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("angle");
        QTest::addColumn<QString>("power");
        QTest::addColumn<bool>("fitsAtDesignFont");
        for (const expected::PowerShown& row : expected::kPowersShown) {
            QTest::newRow(row.name)
                << QString(row.voltage) << QString(row.current) << QString(row.angle)
                << QString(row.power) << row.fitsAtDesignFont;
        }
    }

    // The whole power, between the box's borders, with ground to spare on
    // either side; at the design's font wherever it fits, the same face in a
    // smaller size where it does not; copied exactly as calculated.
    void powerShowsWhole() {
        QFETCH(QString, voltage);
        QFETCH(QString, current);
        QFETCH(QString, angle);
        QFETCH(QString, power);
        QFETCH(bool, fitsAtDesignFont);
        static_cast<QLineEdit*>(form_->Control(ControlId::Text1))->setText(voltage);
        static_cast<QLineEdit*>(form_->Control(ControlId::Text2))->setText(current);
        static_cast<QLineEdit*>(form_->Control(ControlId::Text3))->setText(angle);
        static_cast<QPushButton*>(form_->Control(ControlId::Command1))->click();

        auto* box = static_cast<kelvaro::qt::FittingTextBox*>(form_->Control(ControlId::Text4));
        QCOMPARE(box->text(), power);
        const QFont design = box->DesignFont();
        QCOMPARE(design.pointSizeF(), expected::kControls[expected::kText4].points);
        QCOMPARE(QFontInfo(box->font()).family(), QFontInfo(design).family());
        QVERIFY(box->font().pointSizeF() <= design.pointSizeF());
        if (QFontInfo(design).family() == kDesignFace) {
            QCOMPARE(box->font().pointSizeF() == design.pointSizeF(), fitsAtDesignFont);
        }
        qInfo("%s at %g pt", qPrintable(power), box->font().pointSizeF());
        box->selectAll();
        box->copy();
        QCOMPARE(QApplication::clipboard()->text(), power);

        const qreal ratio = box->devicePixelRatioF();
        const QImage image = box->grab().toImage();
        const int border = qCeil(2 * ratio);
        const ink::Span text = TextColumns(
            image, border, expected::Colour(*expected::kControls[expected::kText4].backColour));
        QVERIFY(text.first >= 0);
        QVERIFY2(text.first > border && text.last < image.width() - border - 1,
                 qPrintable(QStringLiteral("ink from %1 to %2 of %3")
                                .arg(text.first)
                                .arg(text.last)
                                .arg(image.width())));
    }

    void labelsShowTheirTextWhole_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("wraps");
        for (int index = 0; index < int(std::size(expected::kControls)); ++index) {
            if (expected::kControls[index].kind == expected::Kind::Label) {
                // The two captions a little wider than their box.
                const bool wraps = index == expected::kLabel8 || index == expected::kLabel10;
                QTest::newRow(expected::kControls[index].name) << index << wraps;
            }
        }
    }

    // A label's first line always shows, its glyphs whole: as tall as its
    // text's glyphs drawn on one line where the box leaves them all the room
    // they want, and as wide where the text is all on that line. Where the
    // line is taller than the box (another face), its glyphs sit in the
    // middle of the box, level with a value beside them.
    void labelsShowTheirTextWhole() {
        QFETCH(int, index);
        QFETCH(bool, wraps);
        auto* label = static_cast<kelvaro::qt::FormLabel*>(Control(index));
        if (label->text().isEmpty()) {
            label->setText(QStringLiteral("0.98"));  // Label11 after Calculate
        }
        const QImage drawn = ink::RenderTransparent(label);
        const ink::Span inBox = ink::FirstInkedBand(drawn);
        QVERIFY(inBox.first >= 0);
        if (QFontMetricsF(label->font()).height() > label->height()) {
            const int below = drawn.height() - 1 - inBox.last;
            QVERIFY2(
                qAbs(inBox.first - below) <= 2,
                qPrintable(QStringLiteral("%1 rows above, %2 below").arg(inBox.first).arg(below)));
        }

        const QFont font = label->font();
        const QRect box = label->geometry();
        label->setFont(label->DrawnFont());
        label->resize(10 * box.width(), 4 * box.height());
        const QImage roomy = ink::RenderTransparent(label);
        const ink::Span unbounded = ink::FirstInkedBand(roomy);
        label->setFont(font);
        label->setGeometry(box);
        QVERIFY2(inBox.Length() >= unbounded.Length() - 1,
                 qPrintable(QStringLiteral("%1 of %2 rows of ink")
                                .arg(inBox.Length())
                                .arg(unbounded.Length())));
        if (!wraps) {
            QVERIFY(qAbs(ink::InkedColumns(drawn).last - ink::InkedColumns(roomy).last) <= 1);
        }
    }

  private:
    QWidget* Control(int index) const { return form_->Control(static_cast<ControlId>(index)); }

    std::unique_ptr<Form1Window> opened_;
    Form1Window* form_ = nullptr;
    qreal dotsPerInch_ = 96;
};

QTEST_MAIN(Form1DensityTest)
#include "form1_density_test.moc"
