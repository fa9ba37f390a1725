#include "about/frmacerca.h"
#include "formsupport.h"
#include "identity.h"
#include "preview/frmprincipal.h"
#include "runtime/application.h"
#include "startup/frmpresenta.h"

#include <QAccessible>
#include <QtTest>

namespace {

// The preview window's controls as a screen reader finds them: the window's accessible children,
// by object name.
QHash<QString, QAccessibleInterface *> accessibleChildren(QWidget *window)
{
    QHash<QString, QAccessibleInterface *> found;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(window);
    for (int i = 0; iface && i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (child && child->object())
            found.insert(child->object()->objectName(), child);
    }
    return found;
}

QStringList disabledControls(QWidget *window)
{
    QStringList names;
    const auto children = accessibleChildren(window);
    for (auto it = children.begin(); it != children.end(); ++it)
        if (it.value()->state().disabled && it.value()->state().focusable)
            names << it.key();
    names.sort();
    return names;
}

} // namespace

class TestAccessibility : public PreviewTest {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void windowsAndPicturesAreNamed();
    void controlsHaveSpanishNamesAndRoles_data();
    void controlsHaveSpanishNamesAndRoles();
    void everyFocusableControlHasAName();
    void listNamesStayWhileTheirValuesFollowTheSelection();
    void countLabelReadsItsCaption();
    void labelsAreBuddiesOfTheListsTheyName();
    void automaticViewingDisablesTheFontListAndStartButton();
    void aboutWindowDisablesEveryPreviewControl();
};

void TestAccessibility::initTestCase()
{
    // As the program does: the controls' accessibility is part of the application's set-up.
    SetUpApplication();
}

void TestAccessibility::init()
{
    openPreview({ "Serif", "Mono", "DejaVu Sans" });
}

void TestAccessibility::windowsAndPicturesAreNamed()
{
    QAccessibleInterface *preview = QAccessible::queryAccessibleInterface(form);
    QVERIFY(preview);
    QCOMPARE(preview->role(), QAccessible::Window);
    QCOMPARE(preview->text(QAccessible::Name), QStringLiteral("Quelvaro - Dorvane"));

    form->cmdcerca_Click();
    frmacerca &about = Forms::get<frmacerca>();
    QAccessibleInterface *credits = QAccessible::queryAccessibleInterface(&about);
    QVERIFY(credits);
    QCOMPARE(credits->role(), QAccessible::Window);
    QCOMPARE(credits->text(QAccessible::Name), QStringLiteral("Acerca De Quelvaro"));
    QCOMPARE(credits->childCount(), 1);
    QCOMPARE(credits->child(0)->role(), QAccessible::Graphic);
    QCOMPARE(credits->child(0)->text(QAccessible::Name),
        QStringLiteral(QUELVARO_MAKER ". " QUELVARO_NAME " " QUELVARO_RELEASE ", " QUELVARO_CONTACT));

    FrmPresenta &splash = Forms::get<FrmPresenta>();
    splash.stopTimers();
    QAccessibleInterface *loading = QAccessible::queryAccessibleInterface(splash.Image1);
    QCOMPARE(loading->role(), QAccessible::Graphic);
    QCOMPARE(loading->text(QAccessible::Name),
        QStringLiteral(
            QUELVARO_NAME ", versión " QUELVARO_RELEASE ". Cargando fuentes, por favor, espere..."));
}

void TestAccessibility::controlsHaveSpanishNamesAndRoles_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");

    QTest::newRow("CmbNDL") << "CmbNDL" << QAccessible::ComboBox << "Fuente";
    QTest::newRow("CmbTama") << "CmbTama" << QAccessible::ComboBox << "Tamaño";
    QTest::newRow("CmbColor") << "CmbColor" << QAccessible::ComboBox << "Color";
    QTest::newRow("txtvisu") << "txtvisu" << QAccessible::EditableText << "Texto de ejemplo";
    QTest::newRow("cnegri") << "cnegri" << QAccessible::CheckBox << "Negrita";
    QTest::newRow("ccursi") << "ccursi" << QAccessible::CheckBox << "Cursiva";
    QTest::newRow("csubra") << "csubra" << QAccessible::CheckBox << "Subrayada";
    QTest::newRow("cmdviau") << "cmdviau" << QAccessible::Button << "Iniciar Visualización Automática";
    QTest::newRow("cmdfinau") << "cmdfinau" << QAccessible::Button << "Finalizar Visualización Automática";
    QTest::newRow("cmdcerca") << "cmdcerca" << QAccessible::Button << "Acerca De...";
    QTest::newRow("Cmdsalir") << "Cmdsalir" << QAccessible::Button << "Salir";
    QTest::newRow("Label1") << "Label1" << QAccessible::StaticText << "Visualización Normal";
    QTest::newRow("Label2") << "Label2" << QAccessible::StaticText << "Color :";
    QTest::newRow("Label3") << "Label3" << QAccessible::StaticText << "Tamaño :";
    QTest::newRow("Label4") << "Label4" << QAccessible::StaticText << "Visualización Automática";
}

void TestAccessibility::controlsHaveSpanishNamesAndRoles()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);

    QAccessibleInterface *iface = accessibleChildren(form).value(control);
    QVERIFY2(iface, "not a child of the window in the accessibility tree");
    QCOMPARE(iface->role(), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->parent()->object(), form);
}

void TestAccessibility::everyFocusableControlHasAName()
{
    const auto children = accessibleChildren(form);
    int focusable = 0;
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (!it.value()->state().focusable)
            continue;
        ++focusable;
        QVERIFY2(!it.value()->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(it.key()));
    }
    QCOMPARE(focusable, 11);
}

void TestAccessibility::listNamesStayWhileTheirValuesFollowTheSelection()
{
    const auto children = accessibleChildren(form);
    QAccessibleInterface *fonts = children.value("CmbNDL");
    QAccessibleInterface *sizes = children.value("CmbTama");
    QAccessibleInterface *colours = children.value("CmbColor");
    QVERIFY(fonts && sizes && colours);
    QCOMPARE(fonts->text(QAccessible::Value), QStringLiteral("DejaVu Sans"));
    QCOMPARE(sizes->text(QAccessible::Value), QStringLiteral("10"));
    QCOMPARE(colours->text(QAccessible::Value), QStringLiteral("Negro"));
    QCOMPARE(children.value("txtvisu")->text(QAccessible::Value), QStringLiteral("Texto ejemplo"));

    form->CmbNDL->setText("Serif");
    form->CmbColor->setListIndex(8);
    form->CmbTama->setText("36");
    QCOMPARE(fonts->text(QAccessible::Value), QStringLiteral("Serif"));
    QCOMPARE(colours->text(QAccessible::Value), QStringLiteral("Rojo"));
    QCOMPARE(sizes->text(QAccessible::Value), QStringLiteral("36"));
    QCOMPARE(fonts->text(QAccessible::Name), QStringLiteral("Fuente"));
    QCOMPARE(colours->text(QAccessible::Name), QStringLiteral("Color"));
    QCOMPARE(sizes->text(QAccessible::Name), QStringLiteral("Tamaño"));

    QVERIFY(!fonts->state().editable);
    QVERIFY(sizes->state().editable);
    // The drop-down list, and the typing field of the size box.
    QCOMPARE(fonts->childCount(), 1);
    QCOMPARE(fonts->child(0)->role(), QAccessible::List);
    QCOMPARE(fonts->child(0)->childCount(), 3);
    QCOMPARE(sizes->childCount(), 2);
    QCOMPARE(sizes->child(1)->role(), QAccessible::EditableText);
    QCOMPARE(sizes->indexOfChild(sizes->child(1)), 1);

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    // Orca 48 reads a new entry from the box's selection: the entry's row in the drop-down list,
    // whether an arrow key or code chose it; typed text that is no entry selects none.
    const auto selected = [](QAccessibleInterface *list) {
        QAccessibleSelectionInterface *selection = list->selectionInterface();
        if (!selection || selection->selectedItemCount() != 1 || !selection->selectedItem(0))
            return QString();
        QAccessibleInterface *entry = selection->selectedItem(0);
        if (entry->role() != QAccessible::ListItem || entry->parent()->object() != list->child(0)->object())
            return QString();
        return entry->text(QAccessible::Name);
    };
    QCOMPARE(selected(fonts), QStringLiteral("Serif"));
    QCOMPARE(selected(colours), QStringLiteral("Rojo"));
    QCOMPARE(selected(sizes), QStringLiteral("36"));
#endif

    // An arrow key's entry is the value, as a screen reader reads it on any platform.
    QTest::keyClick(form->CmbNDL, Qt::Key_Up);
    QTest::keyClick(form->CmbColor, Qt::Key_Down);
    QCOMPARE(fonts->text(QAccessible::Value), QStringLiteral("Mono"));
    QCOMPARE(colours->text(QAccessible::Value), QStringLiteral("Verde"));
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    QCOMPARE(selected(fonts), QStringLiteral("Mono"));
    QCOMPARE(selected(colours), QStringLiteral("Verde"));
    form->CmbTama->setText("37");
    QCOMPARE(sizes->selectionInterface()->selectedItemCount(), 0);
#endif
}

void TestAccessibility::countLabelReadsItsCaption()
{
    QAccessibleInterface *count = accessibleChildren(form).value("lblcant");
    QVERIFY(count);
    QCOMPARE(count->role(), QAccessible::StaticText);
    QCOMPARE(count->text(QAccessible::Name), QStringLiteral(" 3 fuentes listadas"));
    form->lblcant->setCaption(" 57 fuentes listadas");
    QCOMPARE(count->text(QAccessible::Name), QStringLiteral(" 57 fuentes listadas"));
}

void TestAccessibility::labelsAreBuddiesOfTheListsTheyName()
{
    const auto children = accessibleChildren(form);
    const std::pair<const char *, const char *> pairs[]
        = { { "Label2", "CmbColor" }, { "Label3", "CmbTama" } };
    for (const auto &[labelName, listName] : pairs) {
        QAccessibleInterface *label = children.value(labelName);
        QAccessibleInterface *list = children.value(listName);
        QVERIFY(label && list);
        const auto labelledBy = list->relations(QAccessible::Label);
        QCOMPARE(labelledBy.size(), 1);
        QCOMPARE(labelledBy.first().first->object(), label->object());
        const auto labels = label->relations(QAccessible::Labelled);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->object(), list->object());
    }
    for (const char *other : { "CmbNDL", "txtvisu", "cnegri", "cmdviau" })
        QVERIFY2(children.value(other)->relations(QAccessible::Label).isEmpty(), other);
}

void TestAccessibility::automaticViewingDisablesTheFontListAndStartButton()
{
    QCOMPARE(disabledControls(form), QStringList({ "cmdfinau" }));
    form->cmdviau_Click();
    QCOMPARE(disabledControls(form), QStringList({ "CmbNDL", "cmdviau" }));
    QVERIFY(!QAccessible::queryAccessibleInterface(form)->state().disabled);
    form->cmdfinau_Click();
    QCOMPARE(disabledControls(form), QStringList({ "cmdfinau" }));
}

void TestAccessibility::aboutWindowDisablesEveryPreviewControl()
{
    const QStringList everyControl = { "CmbColor", "CmbNDL", "CmbTama", "Cmdsalir", "ccursi", "cmdcerca",
        "cmdfinau", "cmdviau", "cnegri", "csubra", "txtvisu" };
    form->cmdviau_Click();
    form->cmdcerca_Click();
    QVERIFY(Forms::isLoaded<frmacerca>());
    QVERIFY(QAccessible::queryAccessibleInterface(form)->state().disabled);
    QCOMPARE(disabledControls(form), everyControl);
    QVERIFY(!QAccessible::queryAccessibleInterface(&Forms::get<frmacerca>())->state().disabled);

    Forms::get<frmacerca>().Unload();
    QVERIFY(!QAccessible::queryAccessibleInterface(form)->state().disabled);
    QCOMPARE(disabledControls(form), QStringList({ "CmbNDL", "cmdviau" }));

    form->cmdfinau_Click();
    form->cmdcerca_Click();
    QCOMPARE(disabledControls(form), everyControl);
    Forms::get<frmacerca>().Unload();
    QCOMPARE(disabledControls(form), QStringList({ "cmdfinau" }));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
