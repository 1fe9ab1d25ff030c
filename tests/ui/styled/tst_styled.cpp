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
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

const QColor ParentColor(10, 20, 30);
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Yellow(255, 255, 0);
const QColor LightBlue(128, 128, 255);
const QSize ControlSize(120, 48);

// A window filled with ParentColor, so that what a control leaves unpainted shows it.
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

// The x of every pixel that has exactly this colour.
QList<int> columnsOf(const QImage &image, const QColor &color)
{
    QList<int> columns;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == color) {
                columns << x;
            }
        }
    }
    return columns;
}

} // namespace

class tst_styled : public QObject {
    Q_OBJECT

private slots:
    void twips_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("just under a pixel") << 14 << 0;
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("button width") << 1215 << 81;
        QTest::newRow("rounds down") << 1694 << 112;
    }

    void twips()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(TwipsToPixels(twips), pixels);
        QCOMPARE(TwipsRect(twips, 2 * twips, 3 * twips, 4 * twips),
                 QRect(pixels, TwipsToPixels(2 * twips), TwipsToPixels(3 * twips), TwipsToPixels(4 * twips)));
    }

    void windowFontFallback_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<qreal>("pointSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QStringList>("fallbacks");
        const QStringList sans{u"Liberation Sans"_s, u"DejaVu Sans"_s};
        QTest::newRow("button") << u"MS Sans Serif"_s << 12.0 << true << sans;
        QTest::newRow("tahoma") << u"Tahoma"_s << 18.0 << true << sans;
        QTest::newRow("arial any case") << u"arial"_s << 9.0 << false << sans;
        QTest::newRow("times") << u"Times New Roman"_s << 9.75 << true
                               << QStringList{u"Liberation Serif"_s, u"DejaVu Sans"_s};
        QTest::newRow("unknown") << u"Courier Nowhere"_s << 10.0 << false << QStringList{u"DejaVu Sans"_s};
    }

    void windowFontFallback()
    {
        QFETCH(QString, family);
        QFETCH(qreal, pointSize);
        QFETCH(bool, bold);
        QFETCH(QStringList, fallbacks);
        const QFont font = WindowFont(family, pointSize, bold);
        const QStringList families = QStringList{family} + fallbacks;
        QCOMPARE(font.families(), families);
        QCOMPARE(font.pointSizeF(), pointSize);
        QCOMPARE(font.bold(), bold);

        const QStringList installed = QFontDatabase::families();
        const auto used = std::find_if(families.cbegin(), families.cend(),
                                       [&](const QString &name) { return installed.contains(name); });
        if (used == families.cend()) {
            QSKIP("none of the fallback families is installed");
        }
        QCOMPARE(QFontInfo(font).family(), *used);
    }

    void paintedColors_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QPoint>("sample");
        QTest::addColumn<QColor>("expected");
        const QPoint faceLeft(12, ControlSize.height() / 2);
        QTest::newRow("green button face") << u"command"_s << Green << faceLeft << Green;
        QTest::newRow("red button face") << u"command"_s << Red << faceLeft << Red;
        QTest::newRow("yellow button face") << u"command"_s << Yellow << faceLeft << Yellow;
        QTest::newRow("light blue button face") << u"command"_s << LightBlue << faceLeft << LightBlue;
        // A 300-twip title covers rows 0 to 19; the frame body is left to the parent.
        const int right = ControlSize.width() - 6;
        QTest::newRow("frame title bar") << u"frame"_s << LightBlue << QPoint(right, 10) << LightBlue;
        QTest::newRow("frame title last row") << u"frame"_s << Green << QPoint(right, 19) << Green;
        QTest::newRow("frame body under title") << u"frame"_s << Green << QPoint(right, 20) << ParentColor;
        QTest::newRow("frame left border") << u"frame"_s << Yellow << QPoint(0, 35) << Yellow.darker(150);
        QTest::newRow("frame bottom border")
            << u"frame"_s << Red << QPoint(60, ControlSize.height() - 1) << Red.darker(150);
        QTest::newRow("opaque label") << u"opaque label"_s << Red << QPoint(2, 2) << Red;
        QTest::newRow("transparent label") << u"transparent label"_s << Red << QPoint(2, 2) << ParentColor;
    }

    void paintedColors()
    {
        QFETCH(QString, kind);
        QFETCH(QColor, color);
        QFETCH(QPoint, sample);
        QFETCH(QColor, expected);
        const auto window = makeWindow();
        QWidget *control = makeColoredControl(kind, color, window.get());
        control->setGeometry(QRect(QPoint(20, 20), ControlSize));
        QCOMPARE(window->grab(control->geometry()).toImage().pixelColor(sample), expected);
    }

    void captionInForeColor_data()
    {
        QTest::addColumn<QColor>("foreColor");
        QTest::newRow("black") << QColor(Qt::black);
        QTest::newRow("red") << Red;
        QTest::newRow("light blue") << LightBlue;
    }

    void captionInForeColor()
    {
        QFETCH(QColor, foreColor);
        vkCommand button;
        button.setFont(WindowFont(u"MS Sans Serif"_s, 12, true));
        button.setBackColor2(Green);
        button.setForeColor(foreColor);
        button.resize(ControlSize);
        const qsizetype blank = columnsOf(button.grab().toImage(), foreColor).size();
        button.setCaption(u"TAMAM"_s);
        QVERIFY(columnsOf(button.grab().toImage(), foreColor).size() > blank + 20);
    }

    void labelAlignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("side");
        QTest::newRow("0 left") << 0 << -1;
        QTest::newRow("1 right") << 1 << 1;
        QTest::newRow("2 centre") << 2 << 0;
        QTest::newRow("unknown falls back to left") << 7 << -1;
    }

    void labelAlignment()
    {
        QFETCH(int, alignment);
        QFETCH(int, side);
        vkLabel label;
        label.setFont(WindowFont(u"MS Sans Serif"_s, 18, true));
        label.setCaption(u"08:15"_s);
        label.setBackColor(Yellow);
        label.setAlignment(alignment);
        label.resize(300, 40);

        const QList<int> ink = columnsOf(label.grab().toImage(), label.palette().color(QPalette::WindowText));
        QVERIFY(!ink.isEmpty());
        const int leftGap = *std::min_element(ink.cbegin(), ink.cend());
        const int rightGap = label.width() - 1 - *std::max_element(ink.cbegin(), ink.cend());
        const int slack = 4;
        const int nearGap = side < 0 ? leftGap : side > 0 ? rightGap : std::abs(leftGap - rightGap);
        QVERIFY2(nearGap <= slack, qPrintable(u"gaps %1 %2"_s.arg(leftGap).arg(rightGap)));
        QVERIFY(side == 0 || leftGap + rightGap > 150);
    }

    void textRoundTrip_data()
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

    void textRoundTrip()
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

    void passwordHidesText()
    {
        vkTextBox box;
        box.resize(ControlSize);
        const auto render = [&box](const QString &text) {
            box.setText(text);
            return box.grab().toImage();
        };
        const QImage plainNarrow = render(u"İİİİ"_s);
        QVERIFY(plainNarrow != render(u"WWWW"_s));
        box.setEchoMode(QLineEdit::Password);
        const QImage maskedNarrow = render(u"İİİİ"_s);
        QCOMPARE(maskedNarrow, render(u"WWWW"_s));
        QCOMPARE(box.text(), u"WWWW"_s);
    }

    void legendSitsAboveEdit_data()
    {
        QTest::addColumn<QString>("legend");
        QTest::newRow("no legend") << QString();
        QTest::newRow("legend") << u"Şifre"_s;
    }

    void legendSitsAboveEdit()
    {
        QFETCH(QString, legend);
        vkTextBox box;
        box.setLegend(legend);
        box.setLegendFont(WindowFont(u"Tahoma"_s, 10, true));
        box.setLegendForeColor(Red);
        box.resize(ControlSize);
        const QImage image = box.grab().toImage();

        const int legendHeight = legend.isEmpty() ? 0 : QFontMetrics(box.legendFont()).height();
        auto *edit = qobject_cast<QLineEdit *>(box.focusProxy());
        QVERIFY(edit);
        QCOMPARE(edit->geometry(), QRect(0, legendHeight, box.width(), box.height() - legendHeight));
        QCOMPARE(box.sizeHint().height(), edit->sizeHint().height() + legendHeight);
        const qsizetype inBand = columnsOf(image.copy(0, 0, box.width(), legendHeight), Red).size();
        QCOMPARE(columnsOf(image, Red).size(), inBand);
        QCOMPARE(inBand > 0, !legend.isEmpty());
    }

    void mouseClick_data()
    {
        QTest::addColumn<bool>("hidden");
        QTest::newRow("shown") << false;
        QTest::newRow("hidden at creation") << true;
    }

    void mouseClick()
    {
        QFETCH(bool, hidden);
        const auto window = makeWindow();
        auto *other = new vkCommand(window.get());
        auto *button = new vkCommand(window.get());
        button->setGeometry(100, 10, 80, 30);
        button->setHidden(hidden);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        other->setFocus();

        QSignalSpy clicked(button, &vkCommand::clicked);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.count(), hidden ? 0 : 1);
        QCOMPARE(button->hasFocus(), !hidden);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(140, 25));
        QCOMPARE(clicked.count(), hidden ? 0 : 2);
    }

    void keyPress_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("replacement");
        QTest::addColumn<int>("clicks");
        const int keep = -1;
        QTest::newRow("Esc without text") << int(Qt::Key_Escape) << QString() << 27 << keep << 0;
        QTest::newRow("Return") << int(Qt::Key_Return) << u"\r"_s << 13 << keep << 1;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << QString() << 13 << keep << 1;
        QTest::newRow("Enter swallowed") << int(Qt::Key_Return) << u"\r"_s << 13 << 0 << 0;
        QTest::newRow("Space") << int(Qt::Key_Space) << u" "_s << 32 << keep << 1;
        QTest::newRow("Space swallowed") << int(Qt::Key_Space) << u" "_s << 32 << 0 << 0;
        QTest::newRow("letter") << int(Qt::Key_A) << u"a"_s << 97 << keep << 0;
        QTest::newRow("Turkish letter") << int(Qt::Key_unknown) << u"ş"_s << 0x15F << keep << 0;
        QTest::newRow("letter turned into Enter") << int(Qt::Key_A) << u"a"_s << 97 << 13 << 1;
    }

    void keyPress()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(int, replacement);
        QFETCH(int, clicks);
        const auto window = makeWindow();
        auto *button = new vkCommand(window.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        button->setFocus();

        // The second handler sees what the first one wrote back.
        QList<int> seen;
        connect(button, &vkCommand::keyPress, button, [&](int &keyAscii) {
            seen << keyAscii;
            keyAscii = replacement >= 0 ? replacement : keyAscii;
        });
        connect(button, &vkCommand::keyPress, button, [&](int &keyAscii) { seen << keyAscii; });
        QSignalSpy clicked(button, &vkCommand::clicked);

        const auto modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Click, button, Qt::Key(key), text, modifiers);
        QCOMPARE(seen, (QList<int>{code, replacement >= 0 ? replacement : code}));
        QCOMPARE(clicked.count(), clicks);
    }

    void frameChildrenFollowFrame()
    {
        const auto window = makeWindow();
        auto *frame = new vkFrame(window.get());
        frame->setGeometry(TwipsRect(600, 600, 3000, 2000));
        auto *child = new vkCommand(frame);
        child->setGeometry(TwipsRect(150, 150, 1215, 375));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));

        QVERIFY(child->isVisible());
        frame->move(100, 100);
        QCOMPARE(child->mapTo(window.get(), QPoint(0, 0)), QPoint(110, 110));
        frame->hide();
        QVERIFY(!child->isVisible());
        frame->show();
        QVERIFY(child->isVisible());
    }

    void tabOrder()
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

        const QList<QWidget *> order{first, box->focusProxy(), second, third};
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    // The clock writes the same caption ten times a second; only a change may cost a repaint.
    void labelRepaintsOnlyWhenCaptionChanges()
    {
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                paints += event->type() == QEvent::Paint ? 1 : 0;
                return false;
            }
        } counter;
        QWidget window;
        auto *label = new vkLabel(&window);
        label->setGeometry(0, 0, 100, 30);
        label->setCaption(u"10:00:00"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        label->installEventFilter(&counter);

        for (int tick = 0; tick < 5; ++tick) {
            label->setCaption(u"10:00:00"_s);
            QCoreApplication::processEvents();
        }
        QCOMPARE(counter.paints, 0);
        label->setCaption(u"10:00:01"_s);
        QTRY_VERIFY(counter.paints > 0);
    }
};

QTEST_MAIN(tst_styled)
#include "tst_styled.moc"
