#include "runtime/combobox.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class TestComboBox : public FormTest {
    Q_OBJECT
private slots:
    void init();

    void settingListIndexRaisesClickBeforeReturning();
    void settingTextSelectsTheFirstEqualEntry();
    void insertionsKeepTheSelectedEntryWithoutClick();
    void hiddenInsertionsReachTheWidgetWhenShown();
    void visibleInsertionsReachTheWidgetAtOnce();
    void keyboardSelectionRaisesClickOnce();
    void invalidListIndexIsARunTimeError();
    void editableBoxRaisesChangeOnlyForUserEdits();
    void editableBoxNeitherCompletesNorInsertsTypedText();
};

void TestComboBox::init()
{
    registerForms();
}

static void fill(ComboBox &box, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        box.AddItem(QString::fromUtf8(name));
}

void TestComboBox::settingListIndexRaisesClickBeforeReturning()
{
    ComboBox box(ComboBox::Style::DropDownList, true);
    fill(box, { "Serif", "Mono", "Sans" });
    QCOMPARE(box.ListIndex(), -1);
    QCOMPARE(box.Text(), QString());

    QString seen;
    int clicks = 0;
    connect(&box, &ComboBox::Click, this, [&] {
        ++clicks;
        seen = box.Text();
    });
    box.setListIndex(2);
    QCOMPARE(clicks, 1);
    QCOMPARE(seen, QString("Serif"));
    QCOMPARE(box.ListIndex(), 2);
    QCOMPARE(box.currentText(), QString("Serif"));
    box.setListIndex(-1);
    QCOMPARE(clicks, 2);
    QCOMPARE(box.Text(), QString());
}

void TestComboBox::settingTextSelectsTheFirstEqualEntry()
{
    ComboBox box(ComboBox::Style::DropDownList, true);
    fill(box, { "Sans", "Mono", "Sans", "sans" });
    QSignalSpy clicks(&box, &ComboBox::Click);
    box.setText("sans");
    QCOMPARE(box.ListIndex(), 3);
    box.setText("Sans");
    QCOMPARE(box.ListIndex(), 1);
    QCOMPARE(clicks.count(), 2);

    box.setText("Serif");
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(box.ListIndex(), 1);
}

void TestComboBox::insertionsKeepTheSelectedEntryWithoutClick()
{
    ComboBox box(ComboBox::Style::DropDownList, true);
    fill(box, { "M", "T" });
    box.setListIndex(0);
    QSignalSpy clicks(&box, &ComboBox::Click);
    fill(box, { "A", "Z", "B", "M" });
    QCOMPARE(box.ListIndex(), 2);
    QCOMPARE(box.Text(), QString("M"));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(box.List(3), QString("M"));
    QCOMPARE(box.List(6), QString());
    QCOMPARE(box.List(-1), QString());
}

void TestComboBox::hiddenInsertionsReachTheWidgetWhenShown()
{
    QWidget window;
    auto *box = new ComboBox(ComboBox::Style::DropDownList, true, &window);
    fill(*box, { "Serif", "Mono" });
    box->setListIndex(1);
    fill(*box, { "Arial", "Zapf" });
    QCOMPARE(box->ListCount(), 4);
    window.show();
    QCOMPARE(box->count(), 4);
    QCOMPARE(box->currentIndex(), 2);
    QCOMPARE(box->currentText(), QString("Serif"));
    QCOMPARE(box->itemText(0), QString("Arial"));
}

void TestComboBox::visibleInsertionsReachTheWidgetAtOnce()
{
    QWidget window;
    auto *box = new ComboBox(ComboBox::Style::DropDownList, true, &window);
    window.show();
    fill(*box, { "Serif", "Mono" });
    box->setListIndex(1);
    QSignalSpy clicks(box, &ComboBox::Click);
    box->AddItem("Arial");
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->currentText(), QString("Serif"));
    QCOMPARE(clicks.count(), 0);
}

void TestComboBox::keyboardSelectionRaisesClickOnce()
{
    QWidget window;
    auto *box = new ComboBox(ComboBox::Style::DropDownList, true, &window);
    fill(*box, { "A", "B", "C" });
    box->setListIndex(0);
    window.show();
    box->setFocus();
    QSignalSpy clicks(box, &ComboBox::Click);
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(box->ListIndex(), 1);
    QCOMPARE(box->Text(), QString("B"));
    QTest::keyClick(box, Qt::Key_End);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(box->Text(), QString("C"));
}

void TestComboBox::invalidListIndexIsARunTimeError()
{
    ComboBox box(ComboBox::Style::DropDownList, true);
    fill(box, { "A" });
    QSignalSpy clicks(&box, &ComboBox::Click);
    box.setListIndex(1);
    box.setListIndex(-2);
    QCOMPARE(registry->errors, std::vector<ErrorCode>(2, ErrorCode::InvalidPropertyValue));
    QCOMPARE(registry->messages.first(),
        QString("Error '380' en tiempo de ejecución: El valor de la propiedad no es válido"));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(box.ListIndex(), -1);
}

void TestComboBox::editableBoxRaisesChangeOnlyForUserEdits()
{
    QWidget window;
    auto *box = new ComboBox(ComboBox::Style::DropDownCombo, false, &window);
    fill(*box, { "8", "10", "12" });
    box->setText("CmbTama");
    window.show();
    QCOMPARE(box->Text(), QString("CmbTama"));

    QStringList changes;
    connect(box, &ComboBox::Change, this, [&] { changes << box->Text(); });
    QSignalSpy clicks(box, &ComboBox::Click);
    box->setListIndex(1);
    QCOMPARE(box->Text(), QString("10"));
    QCOMPARE(clicks.count(), 1);
    box->setText("14");
    QVERIFY(changes.isEmpty());

    box->lineEdit()->clear();
    box->setFocus();
    QTest::keyClicks(box->lineEdit(), "36");
    QCOMPARE(changes, QStringList({ "3", "36" }));
    QCOMPARE(box->ListIndex(), -1);
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(changes.last(), QString("3"));
    QCOMPARE(clicks.count(), 1);
}

void TestComboBox::editableBoxNeitherCompletesNorInsertsTypedText()
{
    QWidget window;
    auto *box = new ComboBox(ComboBox::Style::DropDownCombo, false, &window);
    fill(*box, { "8", "10", "12" });
    window.show();
    QVERIFY(!box->completer());
    box->setFocus();
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "1");
    QCOMPARE(box->Text(), QString("1"));
    QTest::keyClicks(box->lineEdit(), "3");
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(box->ListCount(), 3);
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->Text(), QString("13"));
}

QTEST_MAIN(TestComboBox)
#include "tst_combobox.moc"
