#include "ui/styled/Twips.h"
#include "ui/styled/WindowFont.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkFrame.h"
#include "ui/styled/vkLabel.h"
#include "ui/styled/vkTextBox.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QColor ParentColor(10, 20, 30);
const QSize ControlSize(120, 48);

// Shows a window filled with ParentColor so that transparent parts of a control show it.
std::unique_ptr<QWidget> makeWindow()
{
    auto window = std::make_unique<QWidget>();
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, ParentColor);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->resize(400, 300);
    return window;
}

QWidget *makeColoredControl(const QString &kind, const QColor &color, QWidget *parent)
{
    if (kind == u"command") {
        auto *button = new vkCommand(parent);
        button->setCaption(u"OK"_s);
        button->setBackColor2(color);
        return button;
    }
    if (kind == u"frame") {
        auto *frame = new vkFrame(parent);
        frame->setCaption(u"Yedek"_s);
        frame->setTitleHeight(300);
        frame->setTitleColor1(color);
        frame->setBorderColor(color.darker(150));
        return frame;
    }
    auto *label = new vkLabel(parent);
    label->setCaption(u"12:00"_s);
    label->setBackColor(color);
    label->setBackStyle(kind == u"opaque label" ? vkLabel::Opaque : vkLabel::Transparent);
    return label;
}

// Horizontal extent of everything in the image that is not the background colour.
std::pair<int, int> inkColumns(const QImage &image, const QColor &background)
{
    int first = image.width();
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != background) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

int countPixels(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class tst_styled : public QObject {
    Q_OBJECT

private slots:
    void twips_data();
    void twips();
    void windowFontFallback_data();
    void windowFontFallback();
    void paintedColors_data();
    void paintedColors();
    void captionInForeColor_data();
    void captionInForeColor();
    void labelAlignment_data();
    void labelAlignment();
    void textRoundTrip_data();
    void textRoundTrip();
    void passwordHidesText();
    void legendSitsAboveEdit_data();
    void legendSitsAboveEdit();
    void mouseClickEmitsOnceAndTakesFocus();
    void hiddenButtonGetsNoClicks();
    void keyPress_data();
    void keyPress();
    void frameChildrenFollowFrame();
    void tabOrder();
};

void tst_styled::twips_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("just under a pixel") << 14 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("button width") << 1215 << 81;
    QTest::newRow("rounds down") << 1694 << 112;
}

void tst_styled::twips()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips), pixels);
    QCOMPARE(twipsRect(twips, 2 * twips, 3 * twips, 4 * twips),
             QRect(pixels, twipsToPixels(2 * twips), twipsToPixels(3 * twips), twipsToPixels(4 * twips)));
}

void tst_styled::windowFontFallback_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QStringList>("families");
    const QString sans = u"Liberation Sans"_s;
    const QString dejaVu = u"DejaVu Sans"_s;
    QTest::newRow("button") << u"MS Sans Serif"_s << 12.0 << true
                            << QStringList{u"MS Sans Serif"_s, sans, dejaVu};
    QTest::newRow("frame title") << u"MS Sans Serif"_s << 13.5 << true
                                 << QStringList{u"MS Sans Serif"_s, sans, dejaVu};
    QTest::newRow("tahoma") << u"Tahoma"_s << 18.0 << true << QStringList{u"Tahoma"_s, sans, dejaVu};
    QTest::newRow("arial any case") << u"arial"_s << 9.0 << false << QStringList{u"arial"_s, sans, dejaVu};
    QTest::newRow("times") << u"Times New Roman"_s << 9.75 << true
                           << QStringList{u"Times New Roman"_s, u"Liberation Serif"_s, dejaVu};
    QTest::newRow("unknown") << u"Courier Nowhere"_s << 10.0 << false
                             << QStringList{u"Courier Nowhere"_s, dejaVu};
}

void tst_styled::windowFontFallback()
{
    QFETCH(QString, family);
    QFETCH(qreal, pointSize);
    QFETCH(bool, bold);
    QFETCH(QStringList, families);

    const QFont font = windowFont(family, pointSize, bold);
    QCOMPARE(font.families(), families);
    QCOMPARE(font.pointSizeF(), pointSize);
    QCOMPARE(font.bold(), bold);

    const QStringList installed = QFontDatabase::families();
    const auto firstInstalled = std::find_if(families.cbegin(), families.cend(),
                                             [&](const QString &name) { return installed.contains(name); });
    if (firstInstalled == families.cend()) {
        QSKIP("none of the fallback families is installed");
    }
    QCOMPARE(QFontInfo(font).family(), *firstInstalled);
}

void tst_styled::paintedColors_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QPoint>("sample");
    QTest::addColumn<QColor>("expected");
    const QColor green(0, 255, 0);
    const QColor red(255, 0, 0);
    const QColor yellow(255, 255, 0);
    const QColor lightBlue(128, 128, 255);
    const QPoint faceLeft(12, ControlSize.height() / 2);
    QTest::newRow("green button face") << u"command"_s << green << faceLeft << green;
    QTest::newRow("red button face") << u"command"_s << red << faceLeft << red;
    QTest::newRow("yellow button face") << u"command"_s << yellow << faceLeft << yellow;
    QTest::newRow("light blue button face") << u"command"_s << lightBlue << faceLeft << lightBlue;
    const QPoint titleRight(ControlSize.width() - 6, 10);
    QTest::newRow("frame title bar") << u"frame"_s << lightBlue << titleRight << lightBlue;
    QTest::newRow("frame left border") << u"frame"_s << yellow << QPoint(0, 35) << yellow.darker(150);
    QTest::newRow("frame bottom border")
        << u"frame"_s << red << QPoint(60, ControlSize.height() - 1) << red.darker(150);
    QTest::newRow("opaque label") << u"opaque label"_s << red << QPoint(2, 2) << red;
    QTest::newRow("transparent label") << u"transparent label"_s << red << QPoint(2, 2) << ParentColor;
}

void tst_styled::paintedColors()
{
    QFETCH(QString, kind);
    QFETCH(QColor, color);
    QFETCH(QPoint, sample);
    QFETCH(QColor, expected);

    const auto window = makeWindow();
    QWidget *control = makeColoredControl(kind, color, window.get());
    control->setGeometry(QRect(QPoint(20, 20), ControlSize));
    const QImage image = window->grab(control->geometry()).toImage();
    QCOMPARE(image.pixelColor(sample), expected);
}

void tst_styled::captionInForeColor_data()
{
    QTest::addColumn<QColor>("foreColor");
    QTest::newRow("black") << QColor(Qt::black);
    QTest::newRow("red") << QColor(255, 0, 0);
    QTest::newRow("blue") << QColor(0, 0, 255);
}

void tst_styled::captionInForeColor()
{
    QFETCH(QColor, foreColor);
    vkCommand button;
    button.setFont(windowFont(u"MS Sans Serif"_s, 12, true));
    button.setBackColor2(QColor(0, 255, 0));
    button.setForeColor(foreColor);
    button.resize(ControlSize);
    const QColor unused(255, 0, 255);

    button.setCaption(QString());
    const int blank = countPixels(button.grab().toImage(), foreColor);
    button.setCaption(u"TAMAM"_s);
    const QImage image = button.grab().toImage();
    QVERIFY2(countPixels(image, foreColor) > blank + 20, "caption not drawn in foreColor");
    QCOMPARE(countPixels(image, unused), 0);
}

void tst_styled::labelAlignment_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("horizontal");
    QTest::newRow("0 left") << 0 << int(Qt::AlignLeft);
    QTest::newRow("1 right") << 1 << int(Qt::AlignRight);
    QTest::newRow("2 centre") << 2 << int(Qt::AlignHCenter);
    QTest::newRow("unknown falls back to left") << 7 << int(Qt::AlignLeft);
}

void tst_styled::labelAlignment()
{
    QFETCH(int, alignment);
    QFETCH(int, horizontal);
    const QColor background(255, 255, 0);
    vkLabel label;
    label.setFont(windowFont(u"MS Sans Serif"_s, 18, true));
    label.setCaption(u"08:15"_s);
    label.setBackColor(background);
    label.setBackStyle(vkLabel::Opaque);
    label.setAlignment(alignment);
    label.resize(300, 40);

    const auto [first, last] = inkColumns(label.grab().toImage(), background);
    QVERIFY2(last > first, "caption not drawn");
    const int leftGap = first;
    const int rightGap = label.width() - 1 - last;
    const int slack = 4;
    switch (horizontal) {
    case Qt::AlignLeft:
        QVERIFY2(leftGap <= slack && rightGap > 100, qPrintable(u"gaps %1 %2"_s.arg(leftGap).arg(rightGap)));
        break;
    case Qt::AlignRight:
        QVERIFY2(rightGap <= slack && leftGap > 100, qPrintable(u"gaps %1 %2"_s.arg(leftGap).arg(rightGap)));
        break;
    default:
        QVERIFY2(std::abs(leftGap - rightGap) <= slack,
                 qPrintable(u"gaps %1 %2"_s.arg(leftGap).arg(rightGap)));
    }
}

void tst_styled::textRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLineEdit::EchoMode>("echoMode");
    const QString samples[] = {u""_s,
                               u"sa"_s,
                               u"  baştaki boşluk"_s,
                               u"sondaki boşluk   "_s,
                               u"   "_s,
                               u"ĞÜŞİÖÇ ğüşıöç"_s,
                               u" iç  içe  boşluk "_s};
    for (const QString &text : samples) {
        QTest::addRow("normal '%s'", qPrintable(text)) << text << QLineEdit::Normal;
        QTest::addRow("password '%s'", qPrintable(text)) << text << QLineEdit::Password;
    }
}

void tst_styled::textRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QLineEdit::EchoMode, echoMode);
    vkTextBox box;
    box.setEchoMode(echoMode);
    box.setText(u"önceki"_s);
    QSignalSpy changed(&box, &vkTextBox::textChanged);
    box.setText(text);
    QCOMPARE(box.text(), text);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), text);
}

void tst_styled::passwordHidesText()
{
    vkTextBox box;
    box.resize(ControlSize);
    const auto render = [&box](const QString &text) {
        box.setText(text);
        return box.grab().toImage();
    };
    box.setEchoMode(QLineEdit::Normal);
    const QImage plainNarrow = render(u"İİİİ"_s);
    QVERIFY(plainNarrow != render(u"WWWW"_s));
    box.setEchoMode(QLineEdit::Password);
    const QImage maskedNarrow = render(u"İİİİ"_s);
    QCOMPARE(maskedNarrow, render(u"WWWW"_s));
    QCOMPARE(box.text(), u"WWWW"_s);
}

void tst_styled::legendSitsAboveEdit_data()
{
    QTest::addColumn<QString>("legend");
    QTest::newRow("no legend") << QString();
    QTest::newRow("legend") << u"Şifre"_s;
}

void tst_styled::legendSitsAboveEdit()
{
    QFETCH(QString, legend);
    const QColor legendColor(255, 0, 0);
    vkTextBox box;
    box.setLegend(legend);
    box.setLegendFont(windowFont(u"Tahoma"_s, 10, true));
    box.setLegendForeColor(legendColor);
    box.resize(ControlSize);
    const QImage image = box.grab().toImage();

    const int legendHeight = legend.isEmpty() ? 0 : QFontMetrics(box.legendFont()).height();
    auto *edit = qobject_cast<QLineEdit *>(box.focusProxy());
    QVERIFY(edit);
    QCOMPARE(edit->geometry(), QRect(0, legendHeight, box.width(), box.height() - legendHeight));
    QCOMPARE(box.sizeHint().height(), edit->sizeHint().height() + legendHeight);

    const int inBand = countPixels(image.copy(0, 0, box.width(), legendHeight), legendColor);
    QCOMPARE(countPixels(image, legendColor), inBand);
    QCOMPARE(inBand > 0, !legend.isEmpty());
}

void tst_styled::mouseClickEmitsOnceAndTakesFocus()
{
    const auto window = makeWindow();
    auto *other = new vkCommand(window.get());
    other->setGeometry(10, 10, 80, 30);
    auto *button = new vkCommand(window.get());
    button->setGeometry(100, 10, 80, 30);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    other->setFocus();

    QSignalSpy clicked(button, &vkCommand::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(button->hasFocus());
}

void tst_styled::hiddenButtonGetsNoClicks()
{
    const auto window = makeWindow();
    auto *button = new vkCommand(window.get());
    button->setGeometry(100, 10, 80, 30);
    button->hide();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    QSignalSpy clicked(button, &vkCommand::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, button->geometry().center());
    QCOMPARE(clicked.count(), 0);
}

void tst_styled::keyPress_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expectedCode");
    QTest::addColumn<int>("replacement");
    QTest::addColumn<int>("expectedClicks");
    const int keep = -1;
    QTest::newRow("Esc without text") << int(Qt::Key_Escape) << QString() << 27 << keep << 0;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << u"\x1b"_s << 27 << keep << 0;
    QTest::newRow("Return") << int(Qt::Key_Return) << u"\r"_s << 13 << keep << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << QString() << 13 << keep << 1;
    QTest::newRow("Enter swallowed") << int(Qt::Key_Return) << u"\r"_s << 13 << 0 << 0;
    QTest::newRow("Space") << int(Qt::Key_Space) << u" "_s << 32 << keep << 1;
    QTest::newRow("Space swallowed") << int(Qt::Key_Space) << u" "_s << 32 << 0 << 0;
    QTest::newRow("letter") << int(Qt::Key_A) << u"a"_s << 97 << keep << 0;
    QTest::newRow("Turkish letter") << int(Qt::Key_unknown) << u"ş"_s << 0x15F << keep << 0;
    QTest::newRow("letter turned into Enter") << int(Qt::Key_A) << u"a"_s << 97 << 13 << 1;
}

void tst_styled::keyPress()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, expectedCode);
    QFETCH(int, replacement);
    QFETCH(int, expectedClicks);

    const auto window = makeWindow();
    auto *button = new vkCommand(window.get());
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    button->setFocus();

    QList<int> seen;
    connect(button, &vkCommand::keyPress, button, [&](int &keyAscii) {
        seen << keyAscii;
        if (replacement >= 0) {
            keyAscii = replacement;
        }
    });
    connect(button, &vkCommand::keyPress, button, [&](int &keyAscii) { seen << keyAscii; });
    QSignalSpy clicked(button, &vkCommand::clicked);

    const auto modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::sendKeyEvent(QTest::Click, button, Qt::Key(key), text, modifiers);
    const int afterHandler = replacement >= 0 ? replacement : expectedCode;
    QCOMPARE(seen, (QList<int>{expectedCode, afterHandler}));
    QCOMPARE(clicked.count(), expectedClicks);
}

void tst_styled::frameChildrenFollowFrame()
{
    const auto window = makeWindow();
    auto *frame = new vkFrame(window.get());
    frame->setGeometry(twipsRect(600, 600, 3000, 2000));
    auto *child = new vkCommand(frame);
    child->setGeometry(twipsRect(150, 150, 1215, 375));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    QVERIFY(child->isVisible());
    QCOMPARE(child->mapTo(window.get(), QPoint(0, 0)), QPoint(50, 50));
    frame->move(100, 100);
    QCOMPARE(child->mapTo(window.get(), QPoint(0, 0)), QPoint(110, 110));
    frame->hide();
    QVERIFY(!child->isVisible());
    frame->show();
    QVERIFY(child->isVisible());
}

void tst_styled::tabOrder()
{
    const auto window = makeWindow();
    auto *first = new vkCommand(window.get());
    auto *box = new vkTextBox(window.get());
    auto *second = new vkCommand(window.get());
    auto *third = new vkCommand(window.get());
    QWidget::setTabOrder(third, first);
    QWidget::setTabOrder(first, box);
    QWidget::setTabOrder(box, second);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    third->setFocus();

    const QList<QWidget *> expected{first, box->focusProxy(), second, third};
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

QTEST_MAIN(tst_styled)
#include "tst_styled.moc"
