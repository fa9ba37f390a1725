#include "formsupport.h"
#include "preview/frmprincipal.h"
#include "startup/frmpresenta.h"

#include <QPointer>
#include <QtTest>

class TestFrmPresenta : public FormTest {
    Q_OBJECT
private slots:

    void splashIsBorderlessWithItsPicture();
    void loadArmsTheTimerThatStartsThePreview();
    void ticksWaitForThePictureToBeDrawn();
    void aTickThatWaitedLoadsOnceThePictureIsDrawn();
    void previewOpensWithFirstFontSizeTenAndBlack();
    void previewOpensWithAnEmptyCatalogue();
};

void TestFrmPresenta::splashIsBorderlessWithItsPicture()
{
    registerForms({ "Sans" });
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    QCOMPARE(splash.size(), QSize(355, 198));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(splash.windowTitle(), QString("Form1"));
    QCOMPARE(splash.Image1->geometry(), QRect(0, 0, 354, 198));
    QCOMPARE(splash.Image1->pixmap().size(), QSize(354, 198));
    QCOMPARE(splash.Timer1->Interval(), 100);
    splash.Show();
    const QImage shown = splash.grab().toImage();
    QCOMPARE(shown.pixelColor(354, 100), QGuiApplication::palette().color(QPalette::WindowText));
    QCOMPARE(shown.pixelColor(20, 20), splash.Image1->pixmap().toImage().pixelColor(20, 20));
}

void TestFrmPresenta::loadArmsTheTimerThatStartsThePreview()
{
    registerForms({ "Sans" });
    QElapsedTimer sinceLoad;
    sinceLoad.start();
    QPointer<FrmPresenta> splash = &Forms::get<FrmPresenta>();
    QVERIFY(clockRunning(*splash->Timer1));
    splash->Show();
    QVERIFY(!Forms::isLoaded<FrmPrincipal>());
    QTRY_VERIFY(Forms::isLoaded<FrmPrincipal>());
    // Not before the splash's tick, however quickly it was drawn.
    QVERIFY2(sinceLoad.elapsed() >= 100, qPrintable(QString::number(sinceLoad.elapsed())));
    QVERIFY(Forms::get<FrmPrincipal>().isVisible());
    QVERIFY(!Forms::isLoaded<FrmPresenta>());
    TestRegistry::flushDeletes();
    QVERIFY(splash.isNull());
    QVERIFY(registry->ends.empty());
}

void TestFrmPresenta::ticksWaitForThePictureToBeDrawn()
{
    registerForms({ "Sans" });
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    // A display slow to show the splash: shown, its picture not yet drawn.
    splash.Image1->setUpdatesEnabled(false);
    splash.Show();
    QElapsedTimer waited;
    waited.start();
    tick(*splash.Timer1);
    QVERIFY(!Forms::isLoaded<FrmPrincipal>());
    // Never drawn, the fonts load all the same, once the splash has waited a second for it.
    QTRY_VERIFY_WITH_TIMEOUT(Forms::isLoaded<FrmPrincipal>(), 5000);
    QVERIFY2(waited.elapsed() >= 900, qPrintable(QString::number(waited.elapsed())));
}

void TestFrmPresenta::aTickThatWaitedLoadsOnceThePictureIsDrawn()
{
    registerForms({ "Sans" });
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    holdClock(*splash.Timer1);
    splash.Image1->setUpdatesEnabled(false);
    splash.Show();
    tick(*splash.Timer1);
    QCoreApplication::processEvents();
    QVERIFY(!Forms::isLoaded<FrmPrincipal>());
    // Drawn late, the picture is whole on the display: the fonts load then, with no second tick.
    splash.Image1->setUpdatesEnabled(true);
    splash.Image1->repaint();
    QTRY_VERIFY(Forms::isLoaded<FrmPrincipal>());
    QVERIFY(Forms::get<FrmPrincipal>().isVisible());
    QVERIFY(!Forms::isLoaded<FrmPresenta>());
}

void TestFrmPresenta::previewOpensWithFirstFontSizeTenAndBlack()
{
    registerForms({ "Serif", "", "Mono", "DejaVu Sans" });
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    splash.Show();
    splash.Image1->repaint();
    tick(*splash.Timer1);
    QVERIFY(!Forms::isLoaded<FrmPresenta>());

    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QVERIFY(form.isVisible());
    QCOMPARE(form.CmbNDL->ListIndex(), 0);
    QCOMPARE(form.CmbNDL->Text(), QString("DejaVu Sans"));
    QCOMPARE(form.txtvisu->fontName(), QString("DejaVu Sans"));
    QCOMPARE(form.CmbTama->Text(), QString("10"));
    QCOMPARE(form.CmbTama->ListIndex(), 1);
    QCOMPARE(form.txtvisu->fontSize(), 10.0);
    QCOMPARE(form.CmbColor->Text(), QString("Negro"));
    QCOMPARE(form.txtvisu->foreColor(), 0u);
    QVERIFY(!form.txtvisu->fontBold() && !form.txtvisu->fontItalic() && !form.txtvisu->fontUnderline());
    QCOMPARE(form.cnegri->Value() + form.ccursi->Value() + form.csubra->Value(), 0);
    QCOMPARE(form.txtvisu->toPlainText(), QString("Texto ejemplo"));
    QCOMPARE(form.CmbNDL->currentText(), QString("DejaVu Sans"));
    QCOMPARE(form.focusWidget(), form.CmbNDL);
    QVERIFY(registry->errors.empty());
}

void TestFrmPresenta::previewOpensWithAnEmptyCatalogue()
{
    registerForms({ "", "" });
    tick(*Forms::get<FrmPresenta>().Timer1);
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QVERIFY(form.isVisible());
    QCOMPARE(form.CmbNDL->ListCount(), 0);
    QCOMPARE(form.CmbNDL->ListIndex(), -1);
    QCOMPARE(form.lblcant->Caption(), QString());
    QVERIFY(registry->errors.empty());
}

QTEST_MAIN(TestFrmPresenta)
#include "tst_frmpresenta.moc"
