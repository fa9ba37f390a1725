#include "runtime/controls.h"
#include "runtime/units.h"
#include "ticks.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QtTest>

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

void TestControls::textBoxSizeFromText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("points"); // 0: refused, the size stays 10

    QTest::newRow("integer") << "C"
                             << "36" << 36.0;
    QTest::newRow("point decimal in C") << "C"
                                        << "10.5" << 10.5;
    QTest::newRow("comma decimal in Spanish") << "es_ES"
                                              << "10,5" << 10.5;
    QTest::newRow("smallest") << "C"
                              << "1" << 1.0;
    QTest::newRow("largest") << "C"
                             << "1638" << 1638.0;
    QTest::newRow("spaces around") << "C"
                                   << " 12 " << 12.0;
    QTest::newRow("too small") << "C"
                               << "0.5" << 0.0;
    QTest::newRow("zero") << "C"
                          << "0" << 0.0;
    QTest::newRow("negative") << "C"
                              << "-12" << 0.0;
    QTest::newRow("too large") << "C"
                               << "1639" << 0.0;
    QTest::newRow("huge") << "C"
                          << "1e308" << 0.0;
    QTest::newRow("overflowing") << "C"
                                 << "1e400" << 0.0;
    QTest::newRow("nan") << "C"
                         << "nan" << 0.0;
    QTest::newRow("inf") << "C"
                         << "inf" << 0.0;
    QTest::newRow("empty") << "C"
                           << "" << 0.0;
    QTest::newRow("letters") << "C"
                             << "abc" << 0.0;
    QTest::newRow("trailing letters") << "C"
                                      << "12abc" << 0.0;
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
    QCOMPARE(applied, points != 0.0);
    QCOMPARE(box.fontSize(), points != 0.0 ? points : 10.0);
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
