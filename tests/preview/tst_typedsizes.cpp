#include "formsupport.h"
#include "preview/frmprincipal.h"
#include "startup/frmpresenta.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QtTest>

// What the user types or pastes into the size box applies as it comes, with no message and no
// warning; which texts are sizes is the size box's own test.
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

    // What the text means is the size box's own reading; here, that a paste is read like typing,
    // and that the box draws whatever it is given without a warning.
    const auto row = [](const char *name, const char *locale, const QString &text, double points) {
        QTest::newRow(name) << QString::fromLatin1(locale) << text << points;
    };
    row("C integer", "C", "36", 36);
    row("C letters", "C", "abc", Unchanged);
    row("C Devanagari digits", "C", "\u0967\u0968", Unchanged);
    row("C 10,000 nines", "C", QString(10000, u'9'), Unchanged);
    row("es comma decimal", "es_ES", "10,5", 10.5);
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
    QTest::newRow("1639 stops at 163") << "C"
                                       << "1639" << 163.0;
    QTest::newRow("1e308 stops at 1e3") << "C"
                                        << "1e308" << 1000.0;
    QTest::newRow("12abc") << "C"
                           << "12abc" << 12.0;
    QTest::newRow("es 10.5 stops at 10") << "es_ES"
                                         << "10.5" << 10.0;
    QTest::newRow("es 10,5") << "es_ES"
                             << "10,5" << 10.5;
    QTest::newRow("-12") << "C"
                         << "-12" << Unchanged;
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
