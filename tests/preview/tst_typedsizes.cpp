#include "formsupport.h"
#include "preview/frmprincipal.h"
#include "startup/frmpresenta.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QtTest>

// Whatever a user types or pastes into the size box: only finite sizes from 1 to 1638 points
// apply, everything else leaves the size as it was, with no message and no warning.
class TestTypedSizes : public PreviewTest {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pastedTexts_data();
    void pastedTexts();
    void typedTexts_data();
    void typedTexts();

private:
    void startIn(const QString &locale);
    QLineEdit *sizeBox() const { return form->CmbTama->lineEdit(); }

    QLocale savedLocale;
};

namespace {

constexpr double StartingSize = 14.0;
constexpr double Unchanged = 0.0;

QStringList warnings;
QtMessageHandler previousHandler = nullptr;

// Notices about drawing, not about sizes. Qt 6.4 warns while it looks through the fonts for a
// script that none of them covers (the Devanagari digits, say); later versions log it as
// information. Under Wine, which lacks the call, Qt's Windows plugin reports for every window it
// creates that it could not scale the window's frame.
bool isDrawingNotice(const QString &message)
{
    return message.trimmed().startsWith(QLatin1String("OpenType support missing for"))
        || message.startsWith(QLatin1String("EnableNonClientDpiScaling() failed"));
}

void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && !isDrawingNotice(message))
        warnings << message;
    previousHandler(type, context, message);
}

} // namespace

void TestTypedSizes::initTestCase()
{
    previousHandler = qInstallMessageHandler(recordWarnings);
}

void TestTypedSizes::init()
{
    warnings.clear();
    savedLocale = QLocale();
}

void TestTypedSizes::cleanup()
{
    PreviewTest::cleanup();
    QLocale::setDefault(savedLocale);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
}

void TestTypedSizes::startIn(const QString &locale)
{
    QLocale::setDefault(QLocale(locale));
    openPreview({ "DejaVu Sans", "DejaVu Serif" });
    form->CmbTama->setListIndex(3);
    QCOMPARE(form->txtvisu->fontSize(), StartingSize);
    form->show();
    sizeBox()->setFocus();
    // What is typed or pasted replaces the whole text, as after a click and Ctrl+A.
    QTest::keyClick(sizeBox(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(sizeBox()->selectedText(), QString("14"));
}

void TestTypedSizes::pastedTexts_data()
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
    row("C subnormal", "C", "1e-320", Unchanged);
    row("C nan", "C", "nan", Unchanged);
    row("C NaN", "C", "NaN", Unchanged);
    row("C inf", "C", "inf", Unchanged);
    row("C minus inf", "C", "-inf", Unchanged);
    row("C infinity", "C", "infinity", Unchanged);
    row("C zero", "C", "0", Unchanged);
    row("C just below one", "C", "0.99999", Unchanged);
    row("C smallest", "C", "1", 1);
    row("C largest", "C", "1638", 1638);
    row("C just above largest", "C", "1638.000001", Unchanged);
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

void TestTypedSizes::pastedTexts()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, points);
    startIn(locale);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(sizeBox(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(!sizeBox()->text().isEmpty() || text.trimmed().isEmpty());
    QCOMPARE(form->txtvisu->fontSize(), points == Unchanged ? StartingSize : points);
    QCOMPARE(form->txtvisu->document()->defaultFont().pointSizeF(), form->txtvisu->fontSize());
    QVERIFY(registry->errors.empty());
}

void TestTypedSizes::typedTexts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("points");

    // Each keystroke applies the text typed so far when it is a size: what stays is the last such.
    QTest::newRow("36") << "C"
                        << "36" << 36.0;
    QTest::newRow("1639 stops at 163") << "C"
                                       << "1639" << 163.0;
    QTest::newRow("1e308 stops at 1e3") << "C"
                                        << "1e308" << 1000.0;
    QTest::newRow("12abc") << "C"
                           << "12abc" << 12.0;
    QTest::newRow("C 10.5") << "C"
                            << "10.5" << 10.5;
    QTest::newRow("es 10.5 stops at 10") << "es_ES"
                                         << "10.5" << 10.0;
    QTest::newRow("es 10,5") << "es_ES"
                             << "10,5" << 10.5;
    QTest::newRow("0.5") << "C"
                         << "0.5" << Unchanged;
    QTest::newRow("-12") << "C"
                         << "-12" << Unchanged;
    QTest::newRow("nan") << "C"
                         << "nan" << Unchanged;
    QTest::newRow("inf") << "C"
                         << "inf" << Unchanged;
    QTest::newRow("abc") << "C"
                         << "abc" << Unchanged;
    QTest::newRow("space then letters") << "es_ES"
                                        << " x1" << Unchanged;
}

void TestTypedSizes::typedTexts()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, points);
    startIn(locale);
    QTest::keyClicks(sizeBox(), text);
    QCOMPARE(form->CmbTama->Text(), text);
    QCOMPARE(form->txtvisu->fontSize(), points == Unchanged ? StartingSize : points);
    QVERIFY(registry->errors.empty());

    // Taking the text away again changes nothing either.
    QTest::keyClick(sizeBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(sizeBox(), Qt::Key_Delete);
    QCOMPARE(form->txtvisu->fontSize(), points == Unchanged ? StartingSize : points);
}

QTEST_MAIN(TestTypedSizes)
#include "tst_typedsizes.moc"
