#include "runtime/combobox.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

// How a list drops down: below its box, eight rows at a time and as wide as the box, however many
// entries it holds and however long they are.
class TestDropDown : public FormTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensBelowTheBoxWithEightRows_data();
    void opensBelowTheBoxWithEightRows();
    void aLongEntryDoesNotWidenTheList();
    void choosingInTheOpenListRaisesClickOnce();

private:
    ComboBox *openBox(ComboBox::Style style, int entries);

    std::unique_ptr<QWidget> window;
};

void TestDropDown::init()
{
    registerForms();
    window = std::make_unique<QWidget>();
    window->setFixedSize(361, 430);
}

void TestDropDown::cleanup()
{
    window.reset();
    FormTest::cleanup();
}

ComboBox *TestDropDown::openBox(ComboBox::Style style, int entries)
{
    auto *box = new ComboBox(style, style == ComboBox::Style::DropDownList, window.get());
    box->setGeometry(8, 40, 345, 21);
    for (int i = 0; i < entries; ++i)
        box->AddItem(QStringLiteral("Fuente %1").arg(i, 4, 10, QChar(u'0')));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    box->setListIndex(entries / 2);
    box->showPopup();
    return box;
}

void TestDropDown::opensBelowTheBoxWithEightRows_data()
{
    QTest::addColumn<ComboBox::Style>("style");
    QTest::newRow("drop-down list") << ComboBox::Style::DropDownList;
    QTest::newRow("drop-down combo") << ComboBox::Style::DropDownCombo;
}

void TestDropDown::opensBelowTheBoxWithEightRows()
{
    QFETCH(ComboBox::Style, style);
    ComboBox *box = openBox(style, 500);
    QVERIFY(box);
    QAbstractItemView *list = box->view();
    QTRY_VERIFY(list->isVisible());

    const QPoint boxBottom = box->mapToGlobal(QPoint(0, box->height()));
    QVERIFY2(list->mapToGlobal(QPoint(0, 0)).y() >= boxBottom.y(), "the list covers its box");
    const int row = list->visualRect(list->model()->index(0, 0)).height();
    QVERIFY(row > 0);
    QCOMPARE(list->viewport()->height() / row, 8);
    QVERIFY(list->verticalScrollBar()->maximum() > 0);
    // The selected entry is among the rows shown.
    const QRect selected = list->visualRect(list->model()->index(250, 0));
    QVERIFY(list->viewport()->rect().contains(selected.center()));
}

void TestDropDown::aLongEntryDoesNotWidenTheList()
{
    auto *box = new ComboBox(ComboBox::Style::DropDownList, true, window.get());
    box->setGeometry(8, 40, 345, 21);
    box->AddItem("Corta");
    box->AddItem(QString("Larguísima ").repeated(40));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    QCOMPARE(box->view()->window()->width(), box->width());
}

void TestDropDown::choosingInTheOpenListRaisesClickOnce()
{
    ComboBox *box = openBox(ComboBox::Style::DropDownList, 40);
    QVERIFY(box);
    QTRY_VERIFY(box->view()->isVisible());
    QSignalSpy clicks(box, &ComboBox::Click);
    QTest::keyClick(box->view(), Qt::Key_Down);
    QTest::keyClick(box->view(), Qt::Key_Down);
    QCOMPARE(clicks.count(), 0);
    QTest::keyClick(box->view(), Qt::Key_Return);
    QTRY_VERIFY(!box->view()->isVisible());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(box->ListIndex(), 22);
    QCOMPARE(box->Text(), QString("Fuente 0022"));
}

QTEST_MAIN(TestDropDown)
#include "tst_dropdown.moc"
