#include "runtime/controls.h"
#include "runtime/units.h"
#include "ticks.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr double Unchanged = 0.0;
}

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void twipsBecomeLogicalPixels_data();
    void twipsBecomeLogicalPixels();
    void colourValuesAreBlueGreenRed();

    void textBoxSetsEachFontAttributeAlone();
    void textBoxSizeFromText_data();
    void textBoxSizeFromText();
    void textBoxKeepsItsColourWhenDisabled();
    void textBoxTabMovesFocus();

    void checkBoxClicksOnEachToggleByThePerson();
    void buttonClicksAndIsNeverDefault();
    void timerTicksOnlyWhileEnabled();
    void imageShowsItsPictureUnscaled();
    void lineCoversItsSegment();
};

void TestControls::twipsBecomeLogicalPixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("preview width") << 5415 << 361;
    QTest::newRow("preview height") << 6450 << 430;
    QTest::newRow("splash width") << 5325 << 355;
    QTest::newRow("count label left") << -120 << -8;
    QTest::newRow("count label top") << 6050 << 403;
    QTest::newRow("about picture top") << -120 << -8;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("half rounds up") << 8 << 1;
    QTest::newRow("below half") << 7 << 0;
}

void TestControls::twipsBecomeLogicalPixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips), pixels);
}

void TestControls::colourValuesAreBlueGreenRed()
{
    QCOMPARE(colourFromValue(0x000080), QColor(128, 0, 0));
    QCOMPARE(colourFromValue(0xFF0000), QColor(0, 0, 255));
    QCOMPARE(colourFromValue(0xFF123456), QColor(0x56, 0x34, 0x12));
}

void TestControls::textBoxSetsEachFontAttributeAlone()
{
    TextBox box;
    box.setFontName("DejaVu Serif");
    QVERIFY(box.setFontSize("24"));
    box.setFontBold(true);
    box.setFontItalic(true);
    box.setFontUnderline(true);
    box.setFontName("DejaVu Sans");
    QCOMPARE(box.fontName(), QString("DejaVu Sans"));
    QCOMPARE(box.fontSize(), 24.0);
    QVERIFY(box.fontBold() && box.fontItalic() && box.fontUnderline());
    box.setFontBold(false);
    QVERIFY(!box.fontBold() && box.fontItalic() && box.fontUnderline());
    QCOMPARE(box.fontName(), QString("DejaVu Sans"));
    QCOMPARE(box.fontSize(), 24.0);
    // The document follows the widget's font: that is what is drawn.
    QCOMPARE(box.document()->defaultFont().pointSizeF(), 24.0);
}

// Whatever a user types or pastes into the size box: only finite sizes from 1 to 1638 points apply,
// in the user's locale; everything else leaves the size as it was.
void TestControls::textBoxSizeFromText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("points");

    const auto row = [](const char *name, const char *locale, const QString &text, double points) {
        QTest::newRow(name) << QString::fromLatin1(locale) << text << points;
    };
    row("C integer", "C", "36", 36);
    row("C point decimal", "C", "10.5", 10.5);
    row("C comma is no decimal", "C", "10,5", Unchanged);
    row("C group separator", "C", "1,000", 1000);
    row("C grouped decimal", "C", "1,000.5", 1000.5);
    row("C grouped largest", "C", "1,638", 1638);
    row("C grouped too large", "C", "1,639", Unchanged);
    row("C misplaced group separator", "C", "1,5,5", Unchanged);
    row("C two points", "C", "1.5.5", Unchanged);
    row("C plus sign", "C", "+12", 12);
    row("C minus sign", "C", "-12", Unchanged);
    row("C Unicode minus", "C", "\u221212", Unchanged);
    row("C negative zero", "C", "-0", Unchanged);
    row("C sign after", "C", "12-", Unchanged);
    row("C spaces around", "C", "  12  ", 12);
    row("C tab and newline around", "C", "\t12\n", 12);
    row("C space inside", "C", "1 2", Unchanged);
    row("C no-break space as group", "C", "1\u00a0000", Unchanged);
    row("C exponent", "C", "1e3", 1000);
    row("C capital exponent", "C", "16.38E2", 1638);
    row("C negative exponent", "C", "1e-1", Unchanged);
    row("C exponent alone", "C", "1e", Unchanged);
    row("C 1e308", "C", "1e308", Unchanged);
    row("C beyond double", "C", "1e309", Unchanged);
    row("C far beyond double", "C", "1e400", Unchanged);
    row("C subnormal", "C", "1e-320", Unchanged);
    row("C nan", "C", "nan", Unchanged);
    row("C NaN", "C", "NaN", Unchanged);
    row("C inf", "C", "inf", Unchanged);
    row("C minus inf", "C", "-inf", Unchanged);
    row("C infinity", "C", "infinity", Unchanged);
    row("C zero", "C", "0", Unchanged);
    row("C half", "C", "0.5", Unchanged);
    row("C just below one", "C", "0.99999", Unchanged);
    row("C smallest", "C", "1", 1);
    row("C largest", "C", "1638", 1638);
    row("C just above largest", "C", "1638.000001", Unchanged);
    row("C too large", "C", "1639", Unchanged);
    row("C rounds to largest", "C", "1638.0000000000001", 1638);
    row("C fraction", "C", "12.25", 12.25);
    row("C leading zeros", "C", "012", 12);
    row("C trailing point", "C", "12.", 12);
    row("C hexadecimal", "C", "0x10", Unchanged);
    row("C empty", "C", "", Unchanged);
    row("C blank", "C", " ", Unchanged);
    row("C letters", "C", "abc", Unchanged);
    row("C trailing letters", "C", "12pt", Unchanged);
    row("C control character after", "C", "12\u0001", Unchanged);
    row("C bell before", "C", "\u000712", Unchanged);
    row("C escape inside", "C", "1\u001b2", Unchanged);
    row("C nul inside", "C", QString::fromUtf16(u"3\u00006", 3), Unchanged);
    row("C left-to-right mark", "C", "\u200e12", Unchanged);
    row("C Arabic-Indic digits", "C", "\u0663\u0666", Unchanged);
    row("C full-width digits", "C", "\uff13\uff16", Unchanged);
    row("C Devanagari digits", "C", "\u0967\u0968", Unchanged);
    row("C 10,000 nines", "C", QString(10000, u'9'), Unchanged);
    row("C one and 9,999 zeros", "C", "1" + QString(9999, u'0'), Unchanged);
    row("C 12 after 9,998 zeros", "C", QString(9998, u'0') + "12", 12);
    row("C 12 before 9,998 spaces", "C", "12" + QString(9998, u' '), 12);
    row("C 10,000 letters", "C", QString(10000, u'x'), Unchanged);
    row("C 10,000 decimals", "C", "12." + QString(9997, u'5'), 12.555555555555555);

    row("es integer", "es_ES", "36", 36);
    row("es comma decimal", "es_ES", "10,5", 10.5);
    row("es point is no decimal", "es_ES", "10.5", Unchanged);
    row("es grouped too large", "es_ES", "10.000", Unchanged);
    row("es two commas", "es_ES", "1,,5", Unchanged);
    row("es plus comma", "es_ES", "+1,5", 1.5);
    row("es exponent", "es_ES", "1,5e2", 150);
    row("es leading comma", "es_ES", ",5", Unchanged);
    row("es trailing comma", "es_ES", "12,", 12);
    row("es largest", "es_ES", "1638,0", 1638);
    row("es just above largest", "es_ES", "1638,01", Unchanged);
    row("es just below one", "es_ES", "0,999", Unchanged);
    row("es minus", "es_ES", "-12", Unchanged);
    row("es spaces around", "es_ES", " 24 ", 24);
    row("es nan", "es_ES", "nan", Unchanged);
    row("es inf", "es_ES", "inf", Unchanged);
    row("es 1e308", "es_ES", "1e308", Unchanged);
    row("es control character", "es_ES", "2\u00044", Unchanged);
    row("es Arabic-Indic digits", "es_ES", "\u0663\u0666", Unchanged);
    row("es 10,000 characters", "es_ES", "1," + QString(9998, u'2'), 1.2222222222222223);
}

void TestControls::textBoxSizeFromText()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, points);
    const QLocale saved;
    QLocale::setDefault(QLocale(locale));
    TextBox box;
    QVERIFY(box.setFontSize("10"));
    const bool applied = box.setFontSize(text);
    QLocale::setDefault(saved);
    QCOMPARE(applied, points != Unchanged);
    QCOMPARE(box.fontSize(), points != Unchanged ? points : 10.0);
}

void TestControls::textBoxKeepsItsColourWhenDisabled()
{
    QWidget window;
    auto *box = new TextBox(&window);
    box->setForeColor(0x0000FF);
    QCOMPARE(box->foreColor(), 0x0000FFu);
    window.setEnabled(false);
    QCOMPARE(box->palette().color(QPalette::Disabled, QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(box->palette().color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
}

void TestControls::textBoxTabMovesFocus()
{
    QWidget window;
    auto *box = new TextBox(&window);
    auto *next = new CheckBox(&window);
    box->setPlainText("Texto ejemplo");
    window.show();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(box->toPlainText(), QString("Texto ejemplo"));
    QCOMPARE(window.focusWidget(), next);
}

void TestControls::checkBoxClicksOnEachToggleByThePerson()
{
    QWidget window;
    auto *box = new CheckBox(&window);
    box->setText("Negrita");
    box->resize(100, 20);
    window.show();
    QList<int> values;
    connect(box, &CheckBox::Click, this, [&] { values << box->Value(); });
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 10));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    // A screen reader's toggle action is the person's toggle too.
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    box->setValue(0);
    QCOMPARE(values, QList<int>({ 1, 0, 1 }));
    QCOMPARE(box->Value(), 0);
}

void TestControls::buttonClicksAndIsNeverDefault()
{
    QWidget window;
    auto *button = new CommandButton(&window);
    button->resize(80, 25);
    window.show();
    QSignalSpy clicks(button, &CommandButton::Click);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());
}

void TestControls::timerTicksOnlyWhileEnabled()
{
    Timer timer;
    QSignalSpy ticks(&timer, &Timer::Tick);
    timer.setInterval(750);
    QVERIFY(!clockRunning(timer));
    tick(timer);
    QCOMPARE(ticks.count(), 0);
    timer.setEnabled(true);
    QVERIFY(clockRunning(timer));
    tick(timer);
    QCOMPARE(ticks.count(), 1);
    timer.stop();
    QVERIFY(!clockRunning(timer) && !timer.Enabled());

    Timer quick;
    QSignalSpy quickTicks(&quick, &Timer::Tick);
    quick.setInterval(1);
    quick.setEnabled(true);
    QTRY_VERIFY(quickTicks.count() >= 2);
    quick.setEnabled(false);
    const auto seen = quickTicks.count();
    QTest::qWait(20);
    QCOMPARE(quickTicks.count(), seen);
}

void TestControls::imageShowsItsPictureUnscaled()
{
    QWidget window;
    window.setFixedSize(361, 245);
    auto *image = new Image(&window);
    image->setPicture(":/about.png");
    image->setGeometry(twipsRect(0, -120, 5445, 3825));
    QCOMPARE(image->pixmap().size(), QSize(363, 255));
    QCOMPARE(image->geometry(), QRect(0, -8, 363, 255));
    window.show();
    const QImage shown = window.grab().toImage();
    const QImage picture = image->pixmap().toImage();
    // The window shows the picture from its ninth row, at its own size.
    QCOMPARE(shown.pixelColor(10, 0), picture.pixelColor(10, 8));
    QCOMPARE(shown.pixelColor(300, 200), picture.pixelColor(300, 208));
}

void TestControls::lineCoversItsSegment()
{
    QWidget window;
    window.setFixedSize(361, 430);
    auto *line = new Line(QPoint(0, 344), QPoint(360, 344), 2, 0x000000, &window);
    QCOMPARE(line->geometry(), QRect(0, 343, 360, 2));
    window.show();
    const QImage shown = window.grab().toImage();
    QCOMPARE(shown.pixelColor(100, 343), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(100, 344), QColor(Qt::black));
    QVERIFY(shown.pixelColor(100, 345) != QColor(Qt::black));
    QVERIFY(line->testAttribute(Qt::WA_TransparentForMouseEvents));
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
