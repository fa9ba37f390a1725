#include "about/frmacerca.h"
#include "formsupport.h"
#include "preview/frmprincipal.h"
#include "startup/frmpresenta.h"

#include <QPointer>
#include <QtTest>

class TestFrmAcerca : public PreviewTest {
    Q_OBJECT
private slots:
    void init();

    void windowAsTheTableSays();
    void openingDisablesThePreviewAndClosingEnablesIt();
    void previewRefusesInputAndCloseWhileOpen();
    void ticksGoOnBehindIt();
    void programEndsOnlyAfterItCloses();
};

void TestFrmAcerca::init()
{
    openPreview({ "A", "B", "C" });
}

void TestFrmAcerca::windowAsTheTableSays()
{
    QTest::mouseClick(form->cmdcerca, Qt::LeftButton);
    QVERIFY(Forms::isLoaded<frmacerca>());
    frmacerca &about = Forms::get<frmacerca>();
    QVERIFY(about.isVisible());
    QCOMPARE(about.windowTitle(), QString("Acerca De Quelvaro"));
    QCOMPARE(about.size(), QSize(361, 245));
    QVERIFY(about.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(about.palette().color(QPalette::Window), QColor(255, 255, 255));
    QVERIFY(about.findChildren<QAbstractButton *>().isEmpty());
    // The credits picture starts above the window, which clips it.
    QCOMPARE(about.Image1->geometry(), QRect(0, -8, 363, 255));
}

void TestFrmAcerca::openingDisablesThePreviewAndClosingEnablesIt()
{
    for (int round = 0; round < 3; ++round) {
        QTest::mouseClick(form->cmdcerca, Qt::LeftButton);
        QPointer<frmacerca> about = &Forms::get<frmacerca>();
        QVERIFY(!form->isEnabled());
        QVERIFY(!form->CmbNDL->isEnabled() && !form->Cmdsalir->isEnabled());
        about->close();
        QVERIFY(!Forms::isLoaded<frmacerca>());
        QVERIFY(form->isEnabled());
        TestRegistry::flushDeletes();
        QVERIFY(about.isNull());
    }
    QVERIFY(registry->ends.empty());
}

void TestFrmAcerca::previewRefusesInputAndCloseWhileOpen()
{
    form->cmdcerca_Click();
    const int font = form->CmbNDL->ListIndex();
    QTest::mouseClick(form->cnegri, Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(form->Cmdsalir, Qt::LeftButton);
    QTest::keyClick(form->CmbNDL, Qt::Key_Down);
    QCOMPARE(form->cnegri->Value(), 0);
    QVERIFY(!form->txtvisu->fontBold());
    QCOMPARE(form->CmbNDL->ListIndex(), font);
    QVERIFY(registry->ends.empty());

    QVERIFY(!form->close());
    QVERIFY(Forms::isLoaded<FrmPrincipal>());
    QVERIFY(form->isVisible());

    Forms::get<frmacerca>().close();
    QVERIFY(form->close());
    QVERIFY(!Forms::isLoaded<FrmPrincipal>());
}

void TestFrmAcerca::ticksGoOnBehindIt()
{
    form->cmdviau_Click();
    form->cmdcerca_Click();
    QVERIFY(clockRunning(*form->Timer1));
    tick(*form->Timer1);
    tick(*form->Timer1);
    QCOMPARE(form->CmbNDL->ListIndex(), 2);
    QCOMPARE(form->txtvisu->fontName(), QString("C"));
    Forms::get<frmacerca>().close();
    QVERIFY(!form->CmbNDL->isEnabled());
    QVERIFY(form->cmdfinau->isEnabled());
}

void TestFrmAcerca::programEndsOnlyAfterItCloses()
{
    form->cmdcerca_Click();
    form->close();
    Forms::get<frmacerca>().close();
    QVERIFY(registry->ends.empty());
    form->close();
    QCOMPARE(registry->ends, std::vector<int>({ 0 }));
}

QTEST_MAIN(TestFrmAcerca)
#include "tst_frmacerca.moc"
