#include "runtime/application.h"
#include "runtime/controls.h"
#include "runtime/faces.h"
#include "runtime/platform.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QtTest>

// Qt's generic names are drawn in the face the font configuration gives them, named directly,
// and only for those three names.
class TestFaces : public QObject {
    Q_OBJECT
private slots:
    void genericNamesGiveTheFaceQtDraws_data();
    void genericNamesGiveTheFaceQtDraws();
    void otherNamesAreNotGeneric();
    void systemFontsAreTheInstalledFamiliesOnly();
    void firstInstalledFollowsTheOrderAsked();
    void sampleShowsGenericNamesInTheirFace();
    void interfaceFontNamesItsFace();
};

void TestFaces::genericNamesGiveTheFaceQtDraws_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Serif") << "Serif";
    QTest::newRow("Sans Serif") << "Sans Serif";
    QTest::newRow("Monospace") << "Monospace";
}

void TestFaces::genericNamesGiveTheFaceQtDraws()
{
    QFETCH(QString, name);
    QVERIFY(QFontDatabase::families().contains(name));
    const QString face = Faces::genericFace(name);
    QVERIFY(!face.isEmpty());
    QVERIFY(face.compare(name, Qt::CaseInsensitive) != 0);
    QVERIFY(QFontDatabase::families().contains(face));
    // What Qt finds for the generic name after ranking its fallbacks.
    QCOMPARE(face, QFontInfo(QFont(name)).family());
    QCOMPARE(Faces::genericFace(name.toUpper()), face);
    QCOMPARE(Faces::genericFace(name.toLower()), face);
}

void TestFaces::otherNamesAreNotGeneric()
{
    for (const char *name :
        { "", "DejaVu Sans", "Serif Display", "Sans", "sans-serif", "Monospace [Qt]", " Serif" })
        QVERIFY2(Faces::genericFace(QString::fromUtf8(name)).isEmpty(), name);
}

void TestFaces::systemFontsAreTheInstalledFamiliesOnly()
{
    const QStringList qtFamilies = QFontDatabase::families();
    QVERIFY(qtFamilies.contains(QStringLiteral("Sans Serif"))
        && qtFamilies.contains(QStringLiteral("Monospace")));

    const std::unique_ptr<FontSource> source = systemFonts();
    QStringList listed;
    for (int i = 0; i < source->FontCount(); ++i)
        listed << source->Fonts(i);
    listed.sort();
    const QStringList expected = { QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans Mono"),
        QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Sans") };
    QCOMPARE(listed, expected);
}

void TestFaces::firstInstalledFollowsTheOrderAsked()
{
    QCOMPARE(
        Faces::firstInstalled({ "No Such Face", "DejaVu Serif", "DejaVu Sans" }), QString("DejaVu Serif"));
    QCOMPARE(Faces::firstInstalled({ "DejaVu Sans", "DejaVu Serif" }), QString("DejaVu Sans"));
    // Spelt as Qt lists it.
    QCOMPARE(Faces::firstInstalled({ "dejavu sans MONO" }), QString("DejaVu Sans Mono"));
    QCOMPARE(Faces::firstInstalled({ "No Such Face", "Nor This" }), QString());
    QCOMPARE(Faces::firstInstalled({}), QString());
    QCOMPARE(Faces::firstInstalled({ "" }), QString());
}

void TestFaces::sampleShowsGenericNamesInTheirFace()
{
    TextBox box;
    box.setFontName("Monospace");
    QCOMPARE(box.fontName(), QString("Monospace"));
    QCOMPARE(box.font().families(), QStringList { Faces::genericFace("Monospace") });
    // Drawn in what Qt itself draws the generic name in.
    QCOMPARE(QFontInfo(box.font()).family(), QFontInfo(QFont("Monospace")).family());
    box.setFontName("DejaVu Serif");
    QCOMPARE(box.fontName(), QString("DejaVu Serif"));
    QCOMPARE(box.font().families(), QStringList { "DejaVu Serif" });
}

void TestFaces::interfaceFontNamesItsFace()
{
    const QFont before = QApplication::font();
    QApplication::setFont(QFont("Sans Serif", 9));
    SetUpApplication();
    QCOMPARE(QApplication::font().families(), QStringList { Faces::genericFace("Sans Serif") });
    QCOMPARE(QApplication::font().pointSize(), 9);
    // A desktop's own choice of face is kept.
    QApplication::setFont(QFont("DejaVu Serif", 11));
    SetUpApplication();
    QCOMPARE(QApplication::font().family(), QString("DejaVu Serif"));
    QCOMPARE(QApplication::font().pointSize(), 11);
    QApplication::setFont(before);
}

QTEST_MAIN(TestFaces)
#include "tst_faces.moc"
