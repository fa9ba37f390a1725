#include "formsupport.h"
#include "preview/colours.h"
#include "preview/frmprincipal.h"
#include "runtime/units.h"
#include "startup/frmpresenta.h"

#include <QLineEdit>
#include <QtTest>

class TestFormatting : public PreviewTest {
    Q_OBJECT
private slots:
    void init();

    void choosingAFontKeepsEveryOtherAttribute();
    void sizeFromTheListApplies();
    void typedSizeAppliesAfterEachKeystroke();
    void stylesFollowTheirBoxes();
    void namedColours_data();
    void namedColours();
    void colourStaysAcrossOtherChanges();
    void exitEndsAtOnceAndCloseUnloads();
};

void TestFormatting::init()
{
    openPreview({ "DejaVu Serif", "DejaVu Sans", "DejaVu Sans Mono" });
}

void TestFormatting::choosingAFontKeepsEveryOtherAttribute()
{
    QCOMPARE(form->txtvisu->fontName(), QString("DejaVu Sans"));
    form->CmbTama->setListIndex(8);
    QTest::mouseClick(form->cnegri, Qt::LeftButton, {}, QPoint(6, 8));
    form->CmbColor->setListIndex(8);
    form->CmbNDL->setFocus();
    QTest::keyClick(form->CmbNDL, Qt::Key_Down);
    QCOMPARE(form->CmbNDL->Text(), QString("DejaVu Sans Mono"));
    QCOMPARE(form->txtvisu->fontName(), QString("DejaVu Sans Mono"));
    QCOMPARE(form->txtvisu->fontSize(), 24.0);
    QVERIFY(form->txtvisu->fontBold());
    QCOMPARE(form->txtvisu->foreColor(), 0x0000FFu);
    form->CmbNDL->setListIndex(2);
    QCOMPARE(form->txtvisu->fontName(), QString("DejaVu Serif"));
}

void TestFormatting::sizeFromTheListApplies()
{
    form->CmbTama->setListIndex(13);
    QCOMPARE(form->txtvisu->fontSize(), 72.0);
    form->CmbTama->setFocus();
    QTest::keyClick(form->CmbTama, Qt::Key_Up);
    QCOMPARE(form->CmbTama->Text(), QString("48"));
    QCOMPARE(form->txtvisu->fontSize(), 48.0);
    QVERIFY(registry->errors.empty());
}

void TestFormatting::typedSizeAppliesAfterEachKeystroke()
{
    QList<double> applied;
    connect(form->CmbTama, &ComboBox::Change, this, [&] { applied << form->txtvisu->fontSize(); });
    QLineEdit *edit = form->CmbTama->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, "36");
    QCOMPARE(applied, QList<double>({ 3.0, 36.0 }));
    QCOMPARE(form->txtvisu->fontSize(), 36.0);
}

void TestFormatting::stylesFollowTheirBoxes()
{
    const auto toggle = [](CheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, 8)); };
    toggle(form->cnegri);
    toggle(form->ccursi);
    toggle(form->csubra);
    QVERIFY(form->txtvisu->fontBold() && form->txtvisu->fontItalic() && form->txtvisu->fontUnderline());
    form->CmbNDL->setListIndex(0);
    QVERIFY(form->txtvisu->fontBold() && form->txtvisu->fontItalic() && form->txtvisu->fontUnderline());
    form->ccursi->setFocus();
    QTest::keyClick(form->ccursi, Qt::Key_Space);
    QVERIFY(form->txtvisu->fontBold() && !form->txtvisu->fontItalic() && form->txtvisu->fontUnderline());
    toggle(form->cnegri);
    QVERIFY(!form->txtvisu->fontBold());
    QCOMPARE(form->txtvisu->fontSize(), 10.0);
}

void TestFormatting::namedColours_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QColor>("rgb");
    const QList<QColor> expected { { 0, 0, 0 }, { 128, 0, 0 }, { 0, 128, 0 }, { 128, 128, 0 }, { 0, 0, 128 },
        { 128, 0, 128 }, { 128, 128, 128 }, { 192, 192, 192 }, { 255, 0, 0 }, { 0, 255, 0 }, { 255, 255, 0 },
        { 0, 0, 255 }, { 255, 0, 255 }, { 0, 255, 255 } };
    for (int row = 0; row < 14; ++row)
        QTest::newRow(NamedColours[std::size_t(row)].name) << row << expected[row];
}

void TestFormatting::namedColours()
{
    QFETCH(int, row);
    QFETCH(QColor, rgb);
    form->CmbColor->setListIndex(row == 0 ? 1 : 0);
    form->CmbColor->setListIndex(row);
    QCOMPARE(colourFromValue(form->txtvisu->foreColor()), rgb);
    QCOMPARE(form->txtvisu->palette().color(QPalette::Text), rgb);
    const QImage shown = form->txtvisu->viewport()->grab().toImage();
    bool drawn = false;
    for (int y = 0; y < shown.height() && !drawn; ++y)
        for (int x = 0; x < shown.width() && !drawn; ++x)
            drawn = shown.pixelColor(x, y) == rgb;
    QVERIFY2(drawn, "the sample shows no pixel of its colour");
}

void TestFormatting::colourStaysAcrossOtherChanges()
{
    form->CmbColor->setText("Plateado");
    QCOMPARE(form->txtvisu->foreColor(), 0xC0C0C0u);
    form->CmbNDL->setListIndex(2);
    form->CmbTama->setListIndex(5);
    QTest::mouseClick(form->csubra, Qt::LeftButton, {}, QPoint(6, 8));
    QCOMPARE(form->txtvisu->foreColor(), 0xC0C0C0u);
    form->CmbColor->setFocus();
    QTest::keyClick(form->CmbColor, Qt::Key_Down);
    QCOMPARE(form->CmbColor->Text(), QString("Rojo"));
    QCOMPARE(form->txtvisu->foreColor(), 0x0000FFu);
}

void TestFormatting::exitEndsAtOnceAndCloseUnloads()
{
    QTest::mouseClick(form->Cmdsalir, Qt::LeftButton);
    QCOMPARE(registry->ends, std::vector<int>({ 0 }));
    QVERIFY(Forms::isLoaded<FrmPrincipal>());

    form->close();
    QVERIFY(!Forms::isLoaded<FrmPrincipal>());
    QCOMPARE(registry->ends, std::vector<int>({ 0, 0 }));
}

QTEST_MAIN(TestFormatting)
#include "tst_formatting.moc"
