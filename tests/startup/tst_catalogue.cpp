#include "formsupport.h"
#include "preview/frmprincipal.h"
#include "startup/catalogue.h"

#include <QtTest>

namespace {

// Counts how often each index is read, and can report more names than it holds.
class CountingFonts : public FontSource {
public:
    CountingFonts(QStringList names, int reported)
        : m_names(std::move(names))
        , m_reported(reported)
    {
    }
    int FontCount() override { return m_reported; }
    QString Fonts(int index) override
    {
        ++reads;
        return m_names.value(index % int(m_names.size()));
    }
    int reads = 0;

private:
    QStringList m_names;
    int m_reported;
};

QStringList listed(ComboBox *box)
{
    QStringList names;
    for (int i = 0; i < box->ListCount(); ++i)
        names << box->List(i);
    return names;
}

} // namespace

class TestCatalogue : public FormTest {
    Q_OBJECT
private slots:

    void emptyNamesAreSkippedAndNotCounted();
    void namesAreSortedAndDuplicatesKept();
    void namesAreNotTrimmedOrFiltered();
    void labelIsRewrittenAfterEachName();
    void moreNamesThanASixteenBitCountAreAllListed();
};

void TestCatalogue::emptyNamesAreSkippedAndNotCounted()
{
    registerForms({ "Serif", "", "Mono" });
    CargarFuentes();
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QCOMPARE(listed(form.CmbNDL), QStringList({ "Mono", "Serif" }));
    QCOMPARE(form.lblcant->Caption(), QString(" 2 fuentes listadas"));
    QVERIFY(!form.isVisible());
    QCOMPARE(form.CmbNDL->ListIndex(), -1);
    // Each rewrite of a shown label is announced to assistive technology: the hidden window's
    // label takes its caption only when shown.
    QCOMPARE(form.lblcant->text(), QString());
    form.Show();
    QCOMPARE(form.lblcant->text(), QString(" 2 fuentes listadas"));
}

void TestCatalogue::namesAreSortedAndDuplicatesKept()
{
    registerForms({ "Zapf", "DejaVu Sans", "arial", "DejaVu Sans", "Bitstream" });
    CargarFuentes();
    QCOMPARE(listed(Forms::get<FrmPrincipal>().CmbNDL),
        QStringList({ "arial", "Bitstream", "DejaVu Sans", "DejaVu Sans", "Zapf" }));
    QCOMPARE(Forms::get<FrmPrincipal>().lblcant->Caption(), QString(" 5 fuentes listadas"));
}

void TestCatalogue::namesAreNotTrimmedOrFiltered()
{
    registerForms({ " Padded ", "Tab\tName", "Línea\nnueva", "中文字体", "עברית" });
    CargarFuentes();
    const QStringList names = listed(Forms::get<FrmPrincipal>().CmbNDL);
    QCOMPARE(names.size(), 5);
    for (const char *name : { " Padded ", "Tab\tName", "Línea\nnueva", "中文字体", "עברית" })
        QVERIFY2(names.contains(QString::fromUtf8(name)), name);
}

void TestCatalogue::labelIsRewrittenAfterEachName()
{
    // A source that notes what the label says each time a name is read.
    class WatchingFonts : public FontSource {
    public:
        int FontCount() override { return 4; }
        QString Fonts(int index) override
        {
            seen << Forms::get<FrmPrincipal>().lblcant->Caption();
            return QStringList({ "A", "", "B", "C" }).at(index);
        }
        QStringList seen;
    };
    auto fonts = std::make_unique<WatchingFonts>();
    WatchingFonts *source = fonts.get();
    registerForms(std::move(fonts));
    CargarFuentes();
    QCOMPARE(source->seen,
        QStringList({ "", " 1 fuentes listadas", " 1 fuentes listadas", " 2 fuentes listadas" }));
    QCOMPARE(Forms::get<FrmPrincipal>().lblcant->Caption(), QString(" 3 fuentes listadas"));
}

void TestCatalogue::moreNamesThanASixteenBitCountAreAllListed()
{
    QStringList names;
    for (int i = 0; i < 1000; ++i)
        names << QString("Fuente %1").arg(i, 5, 10, QChar(u'0'));
    auto fonts = std::make_unique<CountingFonts>(names, 40000);
    CountingFonts *source = fonts.get();
    registerForms(std::move(fonts));
    CargarFuentes();
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QCOMPARE(form.CmbNDL->ListCount(), 40000);
    QCOMPARE(form.lblcant->Caption(), QString(" 40000 fuentes listadas"));
    QCOMPARE(source->reads, 40000);
    QCOMPARE(form.CmbNDL->List(0), QString("Fuente 00000"));
    QCOMPARE(form.CmbNDL->List(39999), QString("Fuente 00999"));
    QVERIFY(registry->errors.empty());
}

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
