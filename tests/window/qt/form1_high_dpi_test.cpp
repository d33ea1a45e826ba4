// The window on a screen of device pixel ratio 2 (run with QT_SCALE_FACTOR=2):
// the same logical size, and the banner drawn with device-pixel detail.
#include <QApplication>
#include <QImageReader>
#include <QTest>

#include "expected_in_qt.h"
#include "ink.h"
#include "open_form1.h"
#include "window/qt/form1_window.h"
#include "window/qt/kelvaro_application.h"

using kelvaro::ControlId;
namespace expected = kelvaro::expected;

class Form1HighDpiTest : public QObject {
    Q_OBJECT

  private slots:
    // The application prepared as the program prepares it, then the window.
    void initTestCase() {
        kelvaro::qt::PrepareApplication();
        opened_ = OpenForm1();
        QVERIFY(opened_ != nullptr);
        QCOMPARE(opened_->devicePixelRatioF(), 2.0);
    }

    // The banner is rendered from its SVG source through Qt's SVG image
    // plugin, a package apart on Debian 13; without it Qt says nothing and
    // the 1x picture is blown up.
    void readsTheBannerSource() {
        QVERIFY2(QImageReader::supportedImageFormats().contains("svg"),
                 "Qt has no SVG image plugin (qt6-svg-plugins, or libqt6svg6 on Debian 12)");
        QImageReader reader(QStringLiteral(":/kelvaro/banner.svg"));
        QVERIFY2(!reader.read().isNull(), qPrintable(reader.errorString()));
    }

    void keepsItsLogicalSize() {
        QCOMPARE(opened_->size(), expected::ClientPixels());
        QCOMPARE(opened_->Control(ControlId::Text4)->geometry(),
                 expected::Pixels(expected::kControls[expected::kText4].place));
    }

    // Not the 1x picture blown up: along the glyphs' edges, the 2x2 blocks of
    // device pixels that make one logical pixel are not all of one colour.
    void bannerHasDevicePixelDetail() {
        QWidget* picture = opened_->Control(ControlId::Picture1);
        const QImage image = picture->grab().toImage();
        QCOMPARE(image.size(), picture->size() * 2);
        int detailedBlocks = 0;
        const QRect inside = picture->contentsRect();
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                const QRgb corner = image.pixel(2 * x, 2 * y);
                detailedBlocks += image.pixel(2 * x + 1, 2 * y) != corner ||
                                  image.pixel(2 * x, 2 * y + 1) != corner ||
                                  image.pixel(2 * x + 1, 2 * y + 1) != corner;
            }
        }
        QVERIFY2(detailedBlocks > 200, qPrintable(QString::number(detailedBlocks)));
    }

    // Song text has no bitmaps at this size: it is anti-aliased, and the bold
    // captions are plainly heavier than the same text in regular weight.
    void textIsSmoothAndBoldIsBold_data() {
        QTest::addColumn<int>("id");
        QTest::newRow("Label1, 14.25 pt") << int(ControlId::Label1);
        QTest::newRow("Label2, 10.5 pt") << int(ControlId::Label2);
    }

    void textIsSmoothAndBoldIsBold() {
        QFETCH(int, id);
        QWidget* label = opened_->Control(static_cast<ControlId>(id));
        const QImage bold = kelvaro::ink::RenderTransparent(label);
        QVERIFY2(kelvaro::ink::Opacities(bold).size() > 8,
                 qPrintable(QString::number(kelvaro::ink::Opacities(bold).size())));
        const QFont design = label->font();
        QFont regular = design;
        regular.setBold(false);
        label->setFont(regular);
        const QImage light = kelvaro::ink::RenderTransparent(label);
        label->setFont(design);
        const double ratio = kelvaro::ink::Coverage(bold) / kelvaro::ink::Coverage(light);
        QVERIFY2(ratio > kBoldInk, qPrintable(QString::number(ratio)));
    }

  private:
    // Bold Song text covers at least this much more than regular: the font
    // engine's own emboldening of outlines reaches about 1.5 at 2x, which
    // reads as regular; a bold as heavy as the 1x bitmaps' about 2.
    static constexpr double kBoldInk = 1.75;

    std::unique_ptr<kelvaro::qt::Form1Window> opened_;
};

QTEST_MAIN(Form1HighDpiTest)
#include "form1_high_dpi_test.moc"
