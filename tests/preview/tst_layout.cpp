#include "formsupport.h"
#include "preview/frmprincipal.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QtTest>

class TestLayout : public FormTest {
    Q_OBJECT
private slots:
    void init() { registerForms({ "Sans", "Mono" }); }

    void windowIsFixedLightGreyAndTitled();
    void controlsStandWhereTheTableSays_data();
    void controlsStandWhereTheTableSays();
    void listsHoldTheirEntriesInOrder();
    void labelsUseTheirFixedFonts();
    void initialStatesAndTimer();
    void tabVisitsControlsInTheWrittenOrder();
    void rulesAreDrawnAcrossTheWindow();
};

void TestLayout::windowIsFixedLightGreyAndTitled()
{
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QCOMPARE(form.windowTitle(), QString("Quelvaro - Dorvane"));
    QCOMPARE(form.size(), QSize(361, 430));
    QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    form.Show();
    QCOMPARE(form.grab().toImage().pixelColor(3, 60), QColor(192, 192, 192));
}

void TestLayout::controlsStandWhereTheTableSays_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("pixels");

    QTest::newRow("cmdfinau") << "cmdfinau"
                              << "CommandButton"
                              << "Finalizar Visualización Automática" << QRect(8, 304, 345, 25);
    QTest::newRow("cmdviau") << "cmdviau"
                             << "CommandButton"
                             << "Iniciar Visualización Automática" << QRect(8, 272, 345, 25);
    QTest::newRow("CmbColor") << "CmbColor"
                              << "ComboBox"
                              << "" << QRect(64, 72, 105, 21);
    QTest::newRow("txtvisu") << "txtvisu"
                             << "TextBox"
                             << "Texto ejemplo" << QRect(8, 96, 345, 105);
    QTest::newRow("cmdcerca") << "cmdcerca"
                              << "CommandButton"
                              << "Acerca De..." << QRect(8, 360, 169, 25);
    QTest::newRow("Cmdsalir") << "Cmdsalir"
                              << "CommandButton"
                              << "Salir" << QRect(184, 360, 169, 25);
    QTest::newRow("CmbTama") << "CmbTama"
                             << "ComboBox"
                             << "CmbTama" << QRect(288, 72, 65, 21);
    QTest::newRow("csubra") << "csubra"
                            << "CheckBox"
                            << "Subrayada" << QRect(264, 208, 89, 17);
    QTest::newRow("ccursi") << "ccursi"
                            << "CheckBox"
                            << "Cursiva" << QRect(144, 208, 81, 17);
    QTest::newRow("cnegri") << "cnegri"
                            << "CheckBox"
                            << "Negrita" << QRect(8, 208, 81, 17);
    QTest::newRow("CmbNDL") << "CmbNDL"
                            << "ComboBox"
                            << "" << QRect(8, 40, 345, 21);
    QTest::newRow("Label4") << "Label4"
                            << "Label"
                            << "Visualización Automática" << QRect(8, 240, 345, 25);
    QTest::newRow("Label3") << "Label3"
                            << "Label"
                            << "Tamaño :" << QRect(208, 72, 73, 17);
    QTest::newRow("Label2") << "Label2"
                            << "Label"
                            << "Color :" << QRect(8, 72, 49, 17);
    QTest::newRow("Label1") << "Label1"
                            << "Label"
                            << "Visualización Normal" << QRect(8, 8, 345, 25);
    QTest::newRow("lblcant") << "lblcant"
                             << "Label"
                             << "" << QRect(-8, 403, 369, 27);
}

static QString captionOf(QWidget *widget)
{
    if (auto *label = qobject_cast<Label *>(widget))
        return label->Caption();
    if (auto *text = qobject_cast<TextBox *>(widget))
        return text->toPlainText();
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *combo = qobject_cast<ComboBox *>(widget))
        return combo->Text();
    return QString();
}

void TestLayout::controlsStandWhereTheTableSays()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, pixels);
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    auto *widget = form.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(QString(widget->metaObject()->className()), kind);
    QCOMPARE(widget->geometry(), pixels);
    QCOMPARE(captionOf(widget), caption);
}

void TestLayout::listsHoldTheirEntriesInOrder()
{
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QStringList colours, sizes;
    for (int i = 0; i < form.CmbColor->ListCount(); ++i)
        colours << form.CmbColor->List(i);
    for (int i = 0; i < form.CmbTama->ListCount(); ++i)
        sizes << form.CmbTama->List(i);
    QCOMPARE(colours,
        QStringList({ "Negro", "Rojo oscuro", "Verde oscuro", "Oliva", "Azul marino", "Púrpura", "Gris",
            "Plateado", "Rojo", "Verde", "Amarillo", "Azul", "Fucsia", "Agua marina" }));
    QCOMPARE(sizes,
        QStringList({ "8", "10", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72" }));
    QVERIFY(!form.CmbColor->isEditable());
    QVERIFY(!form.CmbNDL->isEditable());
    QVERIFY(form.CmbTama->isEditable());
    form.CmbNDL->AddItem("Arial");
    QCOMPARE(form.CmbNDL->List(0), QString("Arial"));
}

void TestLayout::labelsUseTheirFixedFonts()
{
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    for (Label *heading : { form.Label1, form.Label4 }) {
        QCOMPARE(heading->font().pointSizeF(), 12.0);
        QVERIFY(heading->font().bold());
        QVERIFY(heading->font().underline());
    }
    for (Label *caption : { form.Label2, form.Label3 }) {
        QCOMPARE(caption->font().pointSizeF(), 12.0);
        QVERIFY(!caption->font().bold() && !caption->font().underline());
    }
    QCOMPARE(form.lblcant->font().pointSizeF(), 13.5);
    QVERIFY(form.lblcant->font().bold() && !form.lblcant->font().underline());
    QVERIFY(form.lblcant->alignment() & Qt::AlignHCenter);
    for (QWidget *w : std::initializer_list<QWidget *> {
             form.Label1, form.lblcant, form.cnegri, form.ccursi, form.csubra }) {
        QVERIFY(w->autoFillBackground());
        QCOMPARE(w->palette().color(w->backgroundRole()), QColor(192, 192, 192));
    }
    // One installed face and nothing beside it: a face Qt cannot find, or any fallback family,
    // makes Qt rank every installed family when the label is first drawn. Where "MS Sans Serif"
    // is missing, Liberation Sans (the tests' fonts have it) is made to its metrics.
    const QString expected
        = QFontDatabase::families().contains("MS Sans Serif") ? "MS Sans Serif" : "Liberation Sans";
    if (!QFontDatabase::families().contains(expected))
        QSKIP("neither MS Sans Serif nor Liberation Sans is installed");
    for (Label *label : { form.Label1, form.Label2, form.Label3, form.Label4, form.lblcant }) {
        QCOMPARE(label->font().families(), QStringList { expected });
        QCOMPARE(QFontInfo(label->font()).family(), expected);
    }
}

void TestLayout::initialStatesAndTimer()
{
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QVERIFY(!form.cmdfinau->isEnabled());
    QVERIFY(form.cmdviau->isEnabled());
    QVERIFY(form.CmbNDL->isEnabled());
    QCOMPARE(form.Timer1->Interval(), 750);
    QVERIFY(!form.Timer1->Enabled());
    QCOMPARE(form.posauto, 0);
    QCOMPARE(form.cnegri->Value() + form.ccursi->Value() + form.csubra->Value(), 0);
    for (auto *button : form.findChildren<QPushButton *>())
        QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
}

void TestLayout::tabVisitsControlsInTheWrittenOrder()
{
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    form.Show();
    QCOMPARE(form.focusWidget(), form.CmbNDL);
    QStringList visited { form.focusWidget()->objectName() };
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        QWidget *focus = form.focusWidget();
        // An editable combo box hands focus to its line edit.
        visited << (qobject_cast<ComboBox *>(focus->parentWidget()) ? focus->parentWidget() : focus)
                       ->objectName();
    }
    QCOMPARE(visited,
        QStringList({ "CmbNDL", "cnegri", "ccursi", "csubra", "CmbTama", "Cmdsalir", "cmdcerca", "txtvisu",
            "CmbColor", "cmdviau", "CmbNDL" }));
    form.cmdfinau->setEnabled(true);
    form.cmdviau->setFocus();
    QTest::keyClick(form.cmdviau, Qt::Key_Tab);
    QCOMPARE(form.focusWidget(), form.cmdfinau);
}

void TestLayout::rulesAreDrawnAcrossTheWindow()
{
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QCOMPARE(form.Line2->geometry(), QRect(0, 343, 360, 2));
    QCOMPARE(form.Line1->geometry(), QRect(0, 399, 360, 2));
    form.Show();
    const QImage shown = form.grab().toImage();
    QCOMPARE(shown.pixelColor(180, 344), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(2, 400), QColor(Qt::black));
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
