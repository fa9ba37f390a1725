#include "runtime/sortedlist.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

// The order of a sorted list, then fills of thousands of entries, the way a catalogue arrives
// (mostly in order already) and at random, across many block splits: every returned position, entry
// and lookup is checked against a plain sorted vector of the same names.
class TestSortedList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void keepsAlphabeticalOrderIgnoringCase();
    void duplicatesStaySideBySideInArrivalOrder();
    void reportsTheInsertionPosition();
    void unsortedListKeepsArrivalOrder();
    void indexOfFindsTheFirstExactMatch();

    void namesInOrderTakeTheirPlaceAtTheEnd();
    void nearlyOrderedNamesMatchAPlainInsertion_data();
    void nearlyOrderedNamesMatchAPlainInsertion();
    void everyPositionAndLookupAfterManySplits();
    void emptyTextsSortFirst();

private:
    bool less(const QString &a, const QString &b) const { return collator->compare(a, b) < 0; }
    // Inserts into the reference as the list should: after every entry that compares equal.
    int referenceInsert(std::vector<QString> &reference, const QString &name) const;
    static QString randomName(QRandomGenerator &random);

    std::unique_ptr<QCollator> collator;
};

void TestSortedList::initTestCase()
{
    const QLocale system;
    collator = std::make_unique<QCollator>(
        system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system);
    collator->setCaseSensitivity(Qt::CaseInsensitive);
}

static QStringList contents(const SortedList &list)
{
    QStringList out;
    for (int i = 0; i < list.size(); ++i)
        out << list.at(i);
    return out;
}

void TestSortedList::keepsAlphabeticalOrderIgnoringCase()
{
    SortedList list(true);
    for (const char *name : { "courier", "Arial", "Zapf", "bitstream", "Ábaco", "arimo" })
        list.insert(QString::fromUtf8(name));
    QCOMPARE(contents(list), QStringList({ "Ábaco", "Arial", "arimo", "bitstream", "courier", "Zapf" }));
}

void TestSortedList::duplicatesStaySideBySideInArrivalOrder()
{
    SortedList list(true);
    for (const char *name : { "Mono", "Sans", "mono", "Mono", "Serif", "MONO" })
        list.insert(QString::fromLatin1(name));
    QCOMPARE(contents(list), QStringList({ "Mono", "mono", "Mono", "MONO", "Sans", "Serif" }));
}

void TestSortedList::reportsTheInsertionPosition()
{
    SortedList list(true);
    QCOMPARE(list.insert("M"), 0);
    QCOMPARE(list.insert("Z"), 1);
    QCOMPARE(list.insert("A"), 0);
    QCOMPARE(list.insert("N"), 2);
    QCOMPARE(list.insert("M"), 2);
    QCOMPARE(contents(list), QStringList({ "A", "M", "M", "N", "Z" }));
}

void TestSortedList::unsortedListKeepsArrivalOrder()
{
    SortedList list(false);
    int expected = 0;
    for (const char *size : { "8", "10", "72", "12" })
        QCOMPARE(list.insert(QString::fromLatin1(size)), expected++);
    QCOMPARE(contents(list), QStringList({ "8", "10", "72", "12" }));
    QCOMPARE(list.indexOf("72"), 2);
    QCOMPARE(list.indexOf("7"), -1);
}

void TestSortedList::indexOfFindsTheFirstExactMatch()
{
    SortedList list(true);
    for (const char *name : { "Sans", "sans", "Sans", "Serif", "SANS" })
        list.insert(QString::fromLatin1(name));
    QCOMPARE(contents(list), QStringList({ "Sans", "sans", "Sans", "SANS", "Serif" }));
    QCOMPARE(list.indexOf("Sans"), 0);
    QCOMPARE(list.indexOf("sans"), 1);
    QCOMPARE(list.indexOf("SANS"), 3);
    QCOMPARE(list.indexOf("Serif"), 4);
    QCOMPARE(list.indexOf("sAns"), -1);
    QCOMPARE(list.indexOf(""), -1);
    QCOMPARE(SortedList(true).indexOf("Sans"), -1);
}

int TestSortedList::referenceInsert(std::vector<QString> &reference, const QString &name) const
{
    const auto at = std::upper_bound(reference.begin(), reference.end(), name,
        [this](const QString &a, const QString &b) { return less(a, b); });
    const int position = int(at - reference.begin());
    reference.insert(at, name);
    return position;
}

QString TestSortedList::randomName(QRandomGenerator &random)
{
    QString name;
    const int length = 1 + int(random.bounded(7));
    for (int c = 0; c < length; ++c)
        name += QChar(u"abcdeABCDEñÑéÉ -1"[random.bounded(17)]);
    return name;
}

void TestSortedList::namesInOrderTakeTheirPlaceAtTheEnd()
{
    QRandomGenerator random(7);
    std::vector<QString> names;
    for (int i = 0; i < 3000; ++i)
        names.push_back(randomName(random));
    std::stable_sort(
        names.begin(), names.end(), [this](const QString &a, const QString &b) { return less(a, b); });

    SortedList list(true);
    for (int i = 0; i < int(names.size()); ++i)
        QCOMPARE(list.insert(names[std::size_t(i)]), i);
    // Twins of the last entry keep their arrival order after it.
    QCOMPARE(list.insert("ÑÑÑÑÑÑÑÑ"), 3000);
    QCOMPARE(list.insert("ññññññññ"), 3001);
    for (int i = 0; i < int(names.size()); ++i)
        QCOMPARE(list.at(i), names[std::size_t(i)]);
    QCOMPARE(list.at(3001), QString("ññññññññ"));
}

void TestSortedList::nearlyOrderedNamesMatchAPlainInsertion_data()
{
    QTest::addColumn<int>("strayEvery");
    QTest::newRow("one in three out of place") << 3;
    QTest::newRow("one in fifty out of place") << 50;
    QTest::newRow("all at random") << 1;
}

// Qt hands the installed families over ordered by code point, which collation mostly agrees with:
// the names that sort after the last one and those that land among the others must interleave.
void TestSortedList::nearlyOrderedNamesMatchAPlainInsertion()
{
    QFETCH(int, strayEvery);
    QRandomGenerator random { quint32(strayEvery) };
    std::vector<QString> ordered;
    for (int i = 0; i < 4000; ++i)
        ordered.push_back(randomName(random));
    std::sort(
        ordered.begin(), ordered.end(), [this](const QString &a, const QString &b) { return less(a, b); });

    SortedList list(true);
    std::vector<QString> reference;
    for (int i = 0; i < int(ordered.size()); ++i) {
        const QString name = i % strayEvery == 0 ? randomName(random) : ordered[std::size_t(i)];
        const int expected = referenceInsert(reference, name);
        QCOMPARE(list.insert(name), expected);
    }
    QCOMPARE(list.size(), int(reference.size()));
    for (int i = 0; i < list.size(); ++i)
        QCOMPARE(list.at(i), reference[std::size_t(i)]);
}

void TestSortedList::everyPositionAndLookupAfterManySplits()
{
    QRandomGenerator random(20261207);
    QStringList distinct;
    for (int i = 0; i < 6000; ++i)
        distinct << QStringLiteral("Familia %1 %2").arg(randomName(random)).arg(random.bounded(100));
    SortedList list(true);
    std::vector<QString> reference;
    for (int i = 0; i < 12000; ++i) {
        const QString &name = distinct.at(int(random.bounded(quint32(distinct.size()))));
        referenceInsert(reference, name);
        list.insert(name);
    }
    QCOMPARE(list.size(), 12000);
    for (int i = 0; i < list.size(); ++i) {
        QCOMPARE(list.at(i), reference[std::size_t(i)]);
        const int first = int(
            std::find(reference.begin(), reference.end(), reference[std::size_t(i)]) - reference.begin());
        QCOMPARE(list.indexOf(reference[std::size_t(i)]), first);
    }
    QCOMPARE(list.indexOf("Familia"), -1);
    // Collates equal to an entry, case aside, but is not its text.
    QCOMPARE(list.indexOf(reference.front().toLower()), -1);
}

void TestSortedList::emptyTextsSortFirst()
{
    SortedList list(true);
    QCOMPARE(list.insert("b"), 0);
    QCOMPARE(list.insert(""), 0);
    QCOMPARE(list.insert("a"), 1);
    QCOMPARE(list.insert(""), 1);
    QCOMPARE(list.at(0), QString());
    QCOMPARE(list.at(2), QString("a"));
    QCOMPARE(list.at(3), QString("b"));
    QCOMPARE(list.indexOf(""), 0);
}

QTEST_GUILESS_MAIN(TestSortedList)
#include "tst_sortedlist.moc"
