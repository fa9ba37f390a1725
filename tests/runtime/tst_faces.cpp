#include "runtime/application.h"
#include "runtime/controls.h"
#include "runtime/faces.h"
#include "runtime/platform.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
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
    void onlyAFamilyFromSeveralFoundriesIsFolded();
    void familyFromSeveralFoundriesShowsThePreferredCopy();
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

    // Gemela is installed from two foundries, and Qt lists it once for each.
    QCOMPARE(qtFamilies.filter(QStringLiteral("Gemela")).size(), 2);

    const std::unique_ptr<FontSource> source = systemFonts();
    QStringList listed;
    for (int i = 0; i < source->FontCount(); ++i)
        listed << source->Fonts(i);
    listed.sort();
    const QStringList expected = { QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans Mono"),
        QStringLiteral("DejaVu Serif"), QStringLiteral("Gemela"), QStringLiteral("Liberation Sans") };
    QCOMPARE(listed, expected);
}

void TestFaces::onlyAFamilyFromSeveralFoundriesIsFolded()
{
    const QStringList twins = QFontDatabase::families().filter(QStringLiteral("Gemela"));
    // Names that only look like Qt's tags: a family of that name whose own name ends in brackets,
    // a tag naming no foundry the family has, a family from one foundry beside a like-named one.
    const QStringList lookalikes = { QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans [QVAA]"),
        QStringLiteral("Fundición [urw]"), QStringLiteral("Gemela [QVAA]"), QStringLiteral("Gemela [QVZZ]"),
        QStringLiteral("Gemela [QVAA] [x]") };
    QCOMPARE(Faces::listedOnce(lookalikes), lookalikes);
    QCOMPARE(Faces::listedOnce(
                 QStringList { QStringLiteral("Arimo") } + twins + QStringList { QStringLiteral("Tinos") }),
        QStringList({ QStringLiteral("Arimo"), QStringLiteral("Gemela"), QStringLiteral("Tinos") }));
    QCOMPARE(Faces::listedOnce({}), QStringList());
}

// The two copies differ only in their maker's id and revision: the font configuration prefers the
// later one, QVBB, for the plain name, whichever Qt was given first.
void TestFaces::familyFromSeveralFoundriesShowsThePreferredCopy()
{
    systemFonts()->FontCount();
    TextBox box;
    box.setFontName(QStringLiteral("Gemela"));
    QCOMPARE(box.fontName(), QStringLiteral("Gemela"));
    QCOMPARE(box.font().families(), QStringList { QStringLiteral("Gemela [QVBB]") });
    const QByteArray os2 = QRawFont::fromFont(box.font()).fontTable("OS/2");
    QVERIFY(os2.size() >= 62);
    QCOMPARE(os2.mid(58, 4), QByteArray("QVBB"));
    QVERIFY(QFontInfo(box.font()).family().startsWith(QStringLiteral("Gemela")));
    // Bold and the rest are drawn from the same copy, as Qt finds them there.
    box.setFontBold(true);
    QCOMPARE(QRawFont::fromFont(box.font()).fontTable("OS/2").mid(58, 4), QByteArray("QVBB"));
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
