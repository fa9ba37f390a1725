#include "formsupport.h"
#include "preview/frmprincipal.h"
#include "startup/frmpresenta.h"

#include <QFont>

#include <QtTest>

class TestAutomatic : public FormTest {
    Q_OBJECT
private slots:
    void startAndStopSwapTheStates();
    void ticksStepFromTheSelectedEntry();
    void afterTheLastEntryComesTheFirst();
    void aSingleEntryIsShownAgain();
    void duplicateNamesSelectTheFirstButCountOn();
    void anEmptyListChangesNothing();
    void formattingChangedDuringViewingPersists();
    void stoppingLeavesTheLastFontShown();
    void theRealTimerTicksEverySevenHundredFiftyMs();
    void theNextFontIsReadyBeforeItsTick();

private:
    FrmPrincipal &startWith(const QStringList &fonts, bool realClock = false);
};

FrmPrincipal &TestAutomatic::startWith(const QStringList &fonts, bool realClock)
{
    registerForms(fonts);
    FrmPrincipal &form = startPreview();
    // Ticks come from the test alone, unless the real clock is what is tested.
    if (!realClock)
        holdClock(*form.Timer1);
    return form;
}

static QStringList numbered(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QString("Fuente %1").arg(i, 2, 10, QChar(u'0'));
    return names;
}

void TestAutomatic::startAndStopSwapTheStates()
{
    FrmPrincipal &form = startWith(numbered(3));
    QTest::mouseClick(form.cmdviau, Qt::LeftButton);
    QVERIFY(!form.CmbNDL->isEnabled());
    QVERIFY(!form.cmdviau->isEnabled());
    QVERIFY(form.cmdfinau->isEnabled());
    QVERIFY(form.Timer1->Enabled());

    QTest::mouseClick(form.cmdfinau, Qt::LeftButton);
    QVERIFY(form.CmbNDL->isEnabled());
    QVERIFY(form.cmdviau->isEnabled());
    QVERIFY(!form.cmdfinau->isEnabled());
    QVERIFY(!form.Timer1->Enabled());
    QVERIFY(!clockRunning(*form.Timer1));
    // Only the button that leaves a state is enabled: a disabled one does nothing when clicked.
    QTest::mouseClick(form.cmdfinau, Qt::LeftButton);
    QVERIFY(form.CmbNDL->isEnabled() && !form.Timer1->Enabled());
}

void TestAutomatic::ticksStepFromTheSelectedEntry()
{
    FrmPrincipal &form = startWith(numbered(10));
    form.CmbNDL->setListIndex(5);
    form.cmdviau_Click();
    QCOMPARE(form.posauto, 5);
    QStringList applied;
    for (int step = 0; step < 3; ++step) {
        tick(*form.Timer1);
        applied << form.txtvisu->fontName();
        QCOMPARE(form.CmbNDL->ListIndex(), 6 + step);
    }
    QCOMPARE(applied, QStringList({ "Fuente 06", "Fuente 07", "Fuente 08" }));
    QCOMPARE(form.CmbNDL->currentText(), QString("Fuente 08"));
}

void TestAutomatic::afterTheLastEntryComesTheFirst()
{
    FrmPrincipal &form = startWith(numbered(4));
    form.CmbNDL->setListIndex(2);
    form.cmdviau_Click();
    QList<int> shown;
    for (int step = 0; step < 7; ++step) {
        tick(*form.Timer1);
        shown << form.CmbNDL->ListIndex();
    }
    QCOMPARE(shown, QList<int>({ 3, 0, 1, 2, 3, 0, 1 }));
    QCOMPARE(form.txtvisu->fontName(), QString("Fuente 01"));
}

void TestAutomatic::aSingleEntryIsShownAgain()
{
    FrmPrincipal &form = startWith({ "Única" });
    form.cmdviau_Click();
    int clicks = 0;
    connect(form.CmbNDL, &ComboBox::Click, this, [&] { ++clicks; });
    for (int step = 0; step < 3; ++step) {
        tick(*form.Timer1);
        QCOMPARE(form.CmbNDL->ListIndex(), 0);
        QCOMPARE(form.posauto, 0);
    }
    QCOMPARE(clicks, 3);
    QCOMPARE(form.txtvisu->fontName(), QString("Única"));
}

void TestAutomatic::duplicateNamesSelectTheFirstButCountOn()
{
    FrmPrincipal &form = startWith({ "A", "B", "B", "C" });
    form.cmdviau_Click();
    QList<int> selected, positions;
    for (int step = 0; step < 4; ++step) {
        tick(*form.Timer1);
        selected << form.CmbNDL->ListIndex();
        positions << form.posauto;
    }
    QCOMPARE(positions, QList<int>({ 1, 2, 3, 0 }));
    QCOMPARE(selected, QList<int>({ 1, 1, 3, 0 }));
}

void TestAutomatic::anEmptyListChangesNothing()
{
    FrmPrincipal &form = startWith({});
    form.cmdviau_Click();
    QCOMPARE(form.posauto, -1);
    const QString font = form.txtvisu->fontName();
    int clicks = 0;
    connect(form.CmbNDL, &ComboBox::Click, this, [&] { ++clicks; });
    for (int step = 0; step < 3; ++step)
        tick(*form.Timer1);
    QCOMPARE(clicks, 0);
    QCOMPARE(form.posauto, -1);
    QCOMPARE(form.CmbNDL->ListIndex(), -1);
    QCOMPARE(form.txtvisu->fontName(), font);
    QVERIFY(registry->errors.empty());
    form.cmdfinau_Click();
    QVERIFY(form.cmdviau->isEnabled());
}

void TestAutomatic::formattingChangedDuringViewingPersists()
{
    FrmPrincipal &form = startWith(numbered(5));
    form.cmdviau_Click();
    tick(*form.Timer1);
    QTest::mouseClick(form.cnegri, Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(form.csubra, Qt::LeftButton, {}, QPoint(6, 8));
    form.CmbTama->setListIndex(13);
    form.CmbColor->setText("Azul");
    for (int step = 0; step < 6; ++step) {
        tick(*form.Timer1);
        QVERIFY(form.txtvisu->fontBold() && form.txtvisu->fontUnderline() && !form.txtvisu->fontItalic());
        QCOMPARE(form.txtvisu->fontSize(), 72.0);
        QCOMPARE(form.txtvisu->foreColor(), 0xFF0000u);
        QCOMPARE(form.txtvisu->fontName(), form.CmbNDL->Text());
    }
}

void TestAutomatic::stoppingLeavesTheLastFontShown()
{
    FrmPrincipal &form = startWith(numbered(5));
    form.cmdviau_Click();
    tick(*form.Timer1);
    tick(*form.Timer1);
    form.cmdfinau_Click();
    QCOMPARE(form.CmbNDL->ListIndex(), 2);
    QCOMPARE(form.txtvisu->fontName(), QString("Fuente 02"));
    tick(*form.Timer1);
    QCOMPARE(form.CmbNDL->ListIndex(), 2);
    // Starting again goes on from the entry selected now.
    form.CmbNDL->setListIndex(0);
    form.cmdviau_Click();
    tick(*form.Timer1);
    QCOMPARE(form.CmbNDL->ListIndex(), 1);
}

void TestAutomatic::theRealTimerTicksEverySevenHundredFiftyMs()
{
    FrmPrincipal &form = startWith(numbered(3), true);
    QCOMPARE(form.Timer1->Interval(), 750);
    form.cmdviau_Click();
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(form.CmbNDL->ListIndex(), 1, 5000);
    QVERIFY(clock.elapsed() >= 700);
}

void TestAutomatic::theNextFontIsReadyBeforeItsTick()
{
    FrmPrincipal &form = startWith({ "DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif" });
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.cmdviau_Click();
    tick(*form.Timer1);
    QCOMPARE(form.txtvisu->fontName(), QString("DejaVu Sans Mono"));
    // Loaded once this tick has been drawn, with what has been chosen since.
    QVERIFY(form.txtvisu->isPreparing());
    form.cnegri->click();
    QTRY_VERIFY(!form.txtvisu->isPreparing());
    const QFont prepared = form.txtvisu->preparedFont();
    QCOMPARE(prepared.families(), QStringList { "DejaVu Serif" });
    QVERIFY(prepared.bold());
    tick(*form.Timer1);
    QCOMPARE(form.txtvisu->fontName(), QString("DejaVu Serif"));
    QCOMPARE(form.txtvisu->font(), prepared);
    // After the last entry, the first.
    QTRY_VERIFY(!form.txtvisu->isPreparing());
    const QFont first = form.txtvisu->preparedFont();
    QCOMPARE(first.families(), QStringList { "DejaVu Sans" });
    tick(*form.Timer1);
    QCOMPARE(form.txtvisu->font(), first);
}

QTEST_MAIN(TestAutomatic)
#include "tst_automatic.moc"
