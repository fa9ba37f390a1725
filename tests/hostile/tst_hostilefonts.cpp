#include "formsupport.h"
#include "preview/frmprincipal.h"
#include "runtime/platform.h"
#include "startup/frmpresenta.h"

#include <QFontInfo>
#include <QProcess>
#include <QtTest>

// Runs against a fontconfig file that sees only the hostile set built by make-fonts.py: broken
// files, empty, enormous and control-character names, look-alike families, colour, bitmap and
// variable fonts.
class TestHostileFonts : public PreviewTest {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsEveryFamilyFontconfigReports();
    void eachFileIsHandled_data();
    void eachFileIsHandled();
    void everyListedFamilyIsTheOneShown();
    void automaticViewingGoesThroughTheWholeList();

private:
    static QStringList fontconfigFamilies();
    void startWithInstalledFonts();
    void render();
};

namespace {

QStringList warnings;
QtMessageHandler previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg)
        warnings << message;
    previousHandler(type, context, message);
}

bool containsIgnoringCase(const QStringList &list, const QString &name)
{
    return list.contains(name, Qt::CaseInsensitive);
}

} // namespace

void TestHostileFonts::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("FONTCONFIG_FILE"), "run it through ctest: that sets fontconfig up");
    previousHandler = qInstallMessageHandler(recordWarnings);
}

void TestHostileFonts::init()
{
    warnings.clear();
}

void TestHostileFonts::cleanup()
{
    PreviewTest::cleanup();
    // Qt's font engine says so when it cannot measure the glyphs of the half-written file; that
    // file is broken on purpose and shown all the same.
    warnings.removeAll(QStringLiteral("Failed to compute left/right minimum bearings for \"truncated\""));
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
}

QStringList TestHostileFonts::fontconfigFamilies()
{
    // One record per font file and named instance; a family name may hold a newline.
    QProcess list;
    list.start("fc-list", { "--format", "%{family[0]}\x1e" });
    if (!list.waitForFinished(30000) || list.exitCode() != 0)
        return {};
    QStringList families;
    const QString output = QString::fromUtf8(list.readAllStandardOutput());
    for (const QString &family : output.split(u'\x1e', Qt::SkipEmptyParts)) {
        if (!containsIgnoringCase(families, family))
            families << family;
    }
    return families;
}

void TestHostileFonts::startWithInstalledFonts()
{
    openPreview(systemFonts());
    form->resize(form->size());
    form->show();
}

void TestHostileFonts::render()
{
    // Drawing loads the glyphs, which is where a broken font file would break.
    const QImage shown = form->txtvisu->viewport()->grab().toImage();
    QVERIFY(!shown.isNull());
}

void TestHostileFonts::listsEveryFamilyFontconfigReports()
{
    const QStringList reported = fontconfigFamilies();
    // The set holds 15 readable families, counting the upper-case twin apart.
    QVERIFY2(reported.size() >= 14, qPrintable(reported.join(u'|')));

    startWithInstalledFonts();
    QStringList listed;
    for (int i = 0; i < form->CmbNDL->ListCount(); ++i)
        listed << form->CmbNDL->List(i);
    QVERIFY(!listed.contains(QString()));
    for (const QString &family : reported)
        QVERIFY2(containsIgnoringCase(listed, family), qPrintable("not listed: " + family));
    for (const QString &name : listed)
        QVERIFY2(containsIgnoringCase(reported, name), qPrintable("listed but not installed: " + name));
    QCOMPARE(listed.size(), reported.size());
    QCOMPARE(form->lblcant->Caption(), QString(" %1 fuentes listadas").arg(listed.size()));
    QVERIFY(registry->errors.empty());
}

void TestHostileFonts::eachFileIsHandled_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("listed"); // empty: no entry at all

    const auto row
        = [](const char *file, const QString &listed) { QTest::newRow(file) << QString(file) << listed; };
    row("empty.ttf", {});
    row("random.ttf", {});
    row("truncated-header.ttf", {});
    // Where a font's name table is missing or empty, fontconfig names the family after the file.
    row("truncated.ttf", "truncated");
    row("no-family.ttf", "no-family");
    row("long-name.ttf", ("Hostil Larga " + QString("abcdefghij").repeated(100)).left(1000));
    row("control.ttf", "Hostil\tControl\nSegunda l\u00ednea\u0007\u001b");
    row("arabic.ttf", "\u062e\u0637 \u0627\u0644\u0627\u062e\u062a\u0628\u0627\u0631");
    row("hebrew.ttf", "\u05d2\u05d5\u05e4\u05df \u05d1\u05d3\u05d9\u05e7\u05d4");
    row("chinese.ttf", "\u6d4b\u8bd5\u5b57\u4f53");
    row("japanese.ttf", "\u30c6\u30b9\u30c8\u66f8\u4f53");
    row("twin-1.ttf and twin-2.ttf", "Hostil Gemela");
    // Qt matches family names without regard to case: the two families are one entry.
    row("case-lower.ttf and case-upper.ttf", "Hostil Caso");
    row("comma.ttf", "Hostil, Coma");
    row("brackets.ttf", "Hostil [Corchete]");
    row("variable.ttf", "Hostil Variable");
    row("thousands.ttf", "Hostil Miles");
    row("emoji-color.ttf", "Noto Color Emoji");
    row("bitmap-terminus.otb", "Terminus");
}

void TestHostileFonts::eachFileIsHandled()
{
    QFETCH(QString, file);
    QFETCH(QString, listed);
    startWithInstalledFonts();
    QStringList entries;
    for (int i = 0; i < form->CmbNDL->ListCount(); ++i)
        entries << form->CmbNDL->List(i);
    if (listed.isEmpty()) {
        const QString stem = file.section(u'.', 0, 0);
        QVERIFY2(!containsIgnoringCase(entries, stem), qPrintable(stem));
        return;
    }
    // Which spelling of the two cases is listed depends on the order fontconfig read the files in.
    if (!file.startsWith(u"case-"))
        QCOMPARE(entries.count(listed), 1);
    QCOMPARE(entries
                 .filter(QRegularExpression("^" + QRegularExpression::escape(listed) + "$",
                     QRegularExpression::CaseInsensitiveOption))
                 .size(),
        1);
}

void TestHostileFonts::everyListedFamilyIsTheOneShown()
{
    startWithInstalledFonts();
    for (int i = 0; i < form->CmbNDL->ListCount(); ++i) {
        const QString name = form->CmbNDL->List(i);
        form->CmbNDL->setListIndex(i);
        QCOMPARE(form->txtvisu->fontName(), name);
        render();
        const QString shown = QFontInfo(form->txtvisu->font()).family();
        QVERIFY2(shown.compare(name, Qt::CaseInsensitive) == 0,
            qPrintable(QString("picked '%1', shown in '%2'").arg(name, shown)));
    }
}

void TestHostileFonts::automaticViewingGoesThroughTheWholeList()
{
    startWithInstalledFonts();
    form->txtvisu->setPlainText("Texto ejemplo \u00f1 \u062e\u0637 \u6d4b\u8bd5 \U0001F600");
    const int count = form->CmbNDL->ListCount();
    QVERIFY(count > 0);
    QTest::mouseClick(form->cmdviau, Qt::LeftButton);
    QVERIFY(form->Timer1->Enabled());
    QStringList shown;
    for (int step = 0; step < count + 1; ++step) {
        tick(*form->Timer1);
        shown << form->txtvisu->fontName();
        render();
    }
    QStringList listed;
    for (int i = 1; i < count; ++i)
        listed << form->CmbNDL->List(i);
    listed << form->CmbNDL->List(0) << form->CmbNDL->List(1);
    QCOMPARE(shown, listed);
    QTest::mouseClick(form->cmdfinau, Qt::LeftButton);
    QVERIFY(!form->Timer1->Enabled());
    QVERIFY(form->CmbNDL->isEnabled());
    QVERIFY(registry->errors.empty());
}

QTEST_MAIN(TestHostileFonts)
#include "tst_hostilefonts.moc"
