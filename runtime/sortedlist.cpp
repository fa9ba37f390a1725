#include "runtime/sortedlist.h"

#include <QLocale>

#include <algorithm>

namespace {

// The C locale would compare code points, case counting; names are collated as people read them.
QLocale collationLocale()
{
    const QLocale system;
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system;
}

} // namespace

SortedList::SortedList(bool sorted)
    : m_sorted(sorted)
    , m_collator(collationLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

const QString &SortedList::at(int index) const
{
    Q_ASSERT(index >= 0 && index < size());
    if (!m_sorted)
        return m_texts[std::size_t(index)];
    const auto block
        = std::size_t(std::upper_bound(m_starts.begin(), m_starts.end(), index) - m_starts.begin()) - 1;
    return m_texts[m_blocks[block][std::size_t(index - m_starts[block])]];
}

int SortedList::insert(const QString &text)
{
    const auto entry = quint32(m_texts.size());
    m_texts.push_back(text);
    if (!m_sorted)
        return int(entry);

    if (m_blocks.empty()) {
        m_blocks.emplace_back().reserve(MaxBlock + 1);
        m_blocks.back().push_back(entry);
        m_starts.push_back(0);
        return 0;
    }
    std::size_t b = m_blocks.size() - 1;
    auto at = m_blocks[b].end();
    if (less(text, m_texts[m_blocks[b].back()])) {
        // After every entry that compares equal: duplicates keep their arrival order.
        const auto found = std::upper_bound(m_blocks.begin(), m_blocks.end(), text,
            [this](const QString &t, const Block &block) { return less(t, m_texts[block.back()]); });
        b = std::size_t(found - m_blocks.begin());
        at = std::upper_bound(m_blocks[b].begin(), m_blocks[b].end(), text,
            [this](const QString &t, quint32 e) { return less(t, m_texts[e]); });
    }
    Block &block = m_blocks[b];
    const int position = m_starts[b] + int(at - block.begin());
    block.insert(at, entry);
    for (std::size_t next = b + 1; next < m_starts.size(); ++next)
        ++m_starts[next];
    if (block.size() > MaxBlock)
        split(b);
    return position;
}

void SortedList::split(std::size_t b)
{
    Block &block = m_blocks[b];
    const std::size_t half = block.size() / 2;
    Block tail;
    tail.reserve(MaxBlock + 1);
    tail.assign(block.begin() + std::ptrdiff_t(half), block.end());
    block.resize(half);
    m_blocks.insert(m_blocks.begin() + std::ptrdiff_t(b) + 1, std::move(tail));
    m_starts.insert(m_starts.begin() + std::ptrdiff_t(b) + 1, m_starts[b] + int(half));
}

int SortedList::indexOf(const QString &text) const
{
    if (!m_sorted) {
        const auto found = std::find(m_texts.begin(), m_texts.end(), text);
        return found == m_texts.end() ? -1 : int(found - m_texts.begin());
    }

    // Equal texts collate equal: search the run of entries that collate equal to text.
    const auto found = std::lower_bound(m_blocks.begin(), m_blocks.end(), text,
        [this](const Block &block, const QString &t) { return less(m_texts[block.back()], t); });
    for (auto b = found; b != m_blocks.end(); ++b) {
        const int start = m_starts[std::size_t(b - m_blocks.begin())];
        const auto first = std::lower_bound(
            b->begin(), b->end(), text, [this](quint32 e, const QString &t) { return less(m_texts[e], t); });
        for (auto e = first; e != b->end(); ++e) {
            if (m_texts[*e] == text)
                return start + int(e - b->begin());
            if (m_collator.compare(m_texts[*e], text) != 0)
                return -1;
        }
    }
    return -1;
}
