// Form1 under the desktop's own settings: a light and a dark colour scheme
// handed to Qt, and Qt's own texts (a box's context menu) in the window's
// language.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <memory>

#include "expected_in_qt.h"
#include "open_form1.h"
#include "window/qt/form1_window.h"
#include "window/qt/kelvaro_application.h"

using kelvaro::ControlId;
namespace expected = kelvaro::expected;

namespace {

// WCAG 2 relative luminance and contrast ratio.
double Luminance(QRgb rgb) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

double Contrast(QRgb a, QRgb b) {
    // The list form: the pair form would hold references to the temporaries.
    const auto [dark, light] = std::minmax({Luminance(a), Luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

// The contrast of the text drawn in a part of a screenshot: the commonest
// colour there is what lies behind the text; the text is the pixel that
// stands out most from it.
double TextContrast(const QImage& shot, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            ++counts[shot.pixel(x, y) & RGB_MASK];
        }
    }
    const QRgb behind =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first;
    double best = 1;
    for (const auto& [colour, count] : counts) {
        best = std::max(best, Contrast(colour, behind));
    }
    return best;
}

// A dark scheme as a desktop hands it to Qt: light text on dark ground.
QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
    dark.setColor(QPalette::Text, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
    dark.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x45));
    dark.setColor(QPalette::Mid, QColor(0x25, 0x25, 0x25));
    dark.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Shadow, QColor(0x00, 0x00, 0x00));
    return dark;
}

// The context menu entries of a text box, without access keys and shortcuts.
QStringList ContextMenuEntries(QLineEdit* box) {
    const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)|&"));
            entries << action->text().section(QLatin1Char('\t'), 0, 0).remove(accessKey);
        }
    }
    return entries;
}

// WCAG AA for normal text.
constexpr double kReadable = 4.5;

}  // namespace

class Form1DesktopTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { kelvaro::qt::PrepareApplication(); }

    // Every control with a text whose colour the design leaves to the system,
    // under a light and a dark scheme.
    void textReadsUnderEachScheme_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("dark");
        for (const bool dark : {false, true}) {
            for (int index = 0; index < int(std::size(expected::kControls)); ++index) {
                const expected::Control& control = expected::kControls[index];
                if (!control.textColour && control.kind != expected::Kind::Picture) {
                    QTest::addRow("%s %s", control.name, dark ? "dark" : "light") << index << dark;
                }
            }
        }
    }
    void textReadsUnderEachScheme() {
        QFETCH(int, index);
        QFETCH(bool, dark);
        const expected::Control& control = expected::kControls[index];
        // Leave out a box's or a button's border and bevel.
        const int inset = control.kind == expected::Kind::Label ? 0 : 3;
        const QPalette before = QApplication::palette();
        QApplication::setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
        const auto form = OpenForm1();
        QVERIFY(form);
        const QImage shot = form->grab().toImage();
        QApplication::setPalette(before);
        const QRect area = expected::Pixels(control.place).adjusted(inset, inset, -inset, -inset);
        QCOMPARE_GE(TextContrast(shot, area), kReadable);
    }

    void contextMenuSpeaksTheWindowsLanguage() {
        const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!QDir(translations).exists(QStringLiteral("qtbase_zh_CN.qm"))) {
            QSKIP("Qt's translations are not installed (qt6-translations-l10n)");
        }
        const auto form = OpenForm1();
        QVERIFY(form);
        auto* box = static_cast<QLineEdit*>(form->Control(ControlId::Text1));
        const QStringList expected{QStringLiteral("撤消"), QStringLiteral("重做"),
                                   QStringLiteral("剪切"), QStringLiteral("复制"),
                                   QStringLiteral("粘贴"), QStringLiteral("删除"),
                                   QStringLiteral("全选")};
        QCOMPARE(ContextMenuEntries(box), expected);
    }

    void contextMenuFallsBackToEnglishQuietly() {
        const QTemporaryDir empty;
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        QVERIFY(!kelvaro::qt::LoadQtTranslation(empty.path()));
    }
};

QTEST_MAIN(Form1DesktopTest)
#include "form1_desktop_test.moc"
