#include "runtime/sortedlist.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

class TestSortedList : public QObject {
    Q_OBJECT
private slots:
    void keepsAlphabeticalOrderIgnoringCase();
    void duplicatesStaySideBySideInArrivalOrder();
    void reportsTheInsertionPosition();
    void unsortedListKeepsArrivalOrder();
    void indexOfFindsTheFirstExactMatch();
    void largeRandomFillMatchesAStableSort();
};

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

// Enough entries to split blocks many times; every position and lookup is checked against a
// plain stable sort of the same names.
void TestSortedList::largeRandomFillMatchesAStableSort()
{
    QRandomGenerator random(20261207);
    QStringList names;
    for (int i = 0; i < 5000; ++i) {
        QString name;
        const int length = 1 + int(random.bounded(6));
        for (int c = 0; c < length; ++c)
            name += QChar(u"abcABCñÑ é"[random.bounded(10)]);
        names << name;
    }
    SortedList list(true);
    for (const QString &name : names) {
        const int at = list.insert(name);
        QCOMPARE(list.at(at), name);
    }
    QCOMPARE(list.size(), int(names.size()));

    QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList expected = names;
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    QCOMPARE(contents(list), expected);
    for (int i = 0; i < expected.size(); i += 97)
        QCOMPARE(list.indexOf(expected[i]), int(expected.indexOf(expected[i])));
}

QTEST_GUILESS_MAIN(TestSortedList)
#include "tst_sortedlist.moc"
