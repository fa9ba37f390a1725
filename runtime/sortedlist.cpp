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

int SortedList::blockStart(std::size_t block) const
{
    int start = 0;
    for (std::size_t b = 0; b < block; ++b)
        start += int(m_blocks[b].size());
    return start;
}

const QString &SortedList::at(int index) const
{
    Q_ASSERT(index >= 0 && index < m_size);
    for (const Block &block : m_blocks) {
        if (index < int(block.size()))
            return block[std::size_t(index)].text;
        index -= int(block.size());
    }
    Q_UNREACHABLE();
}

int SortedList::insert(const QString &text)
{
    Entry entry { text, m_collator.sortKey(text) };
    if (m_blocks.empty()) {
        m_blocks.emplace_back().reserve(MaxBlock);
        m_blocks.back().push_back(std::move(entry));
        m_size = 1;
        return 0;
    }

    std::size_t b = m_blocks.size() - 1;
    std::size_t offset = m_blocks[b].size();
    if (m_sorted) {
        const auto before = [](const Entry &e, const Block &block) {
            return e.key.compare(block.back().key) < 0;
        };
        auto found = std::upper_bound(m_blocks.begin(), m_blocks.end(), entry, before);
        b = found == m_blocks.end() ? m_blocks.size() - 1 : std::size_t(found - m_blocks.begin());
        Block &block = m_blocks[b];
        auto at = std::upper_bound(block.begin(), block.end(), entry,
                                   [](const Entry &l, const Entry &r) { return l.key.compare(r.key) < 0; });
        offset = std::size_t(at - block.begin());
    }

    Block &block = m_blocks[b];
    block.insert(block.begin() + std::ptrdiff_t(offset), std::move(entry));
    if (block.size() > MaxBlock) {
        Block tail(std::make_move_iterator(block.begin() + MaxBlock / 2), std::make_move_iterator(block.end()));
        block.erase(block.begin() + MaxBlock / 2, block.end());
        tail.reserve(MaxBlock + 1);
        m_blocks.insert(m_blocks.begin() + std::ptrdiff_t(b) + 1, std::move(tail));
    }
    ++m_size;
    return blockStart(b) + int(offset);
}

int SortedList::indexOf(const QString &text) const
{
    if (!m_sorted) {
        int index = 0;
        for (const Block &block : m_blocks)
            for (const Entry &entry : block) {
                if (entry.text == text)
                    return index;
                ++index;
            }
        return -1;
    }

    // Equal texts have equal keys: search the run of entries whose key matches.
    const QCollatorSortKey key = m_collator.sortKey(text);
    const auto blockBefore = [](const Block &block, const QCollatorSortKey &k) {
        return block.back().key.compare(k) < 0;
    };
    auto found = std::lower_bound(m_blocks.begin(), m_blocks.end(), key, blockBefore);
    int start = blockStart(std::size_t(found - m_blocks.begin()));
    for (auto b = found; b != m_blocks.end(); ++b) {
        auto first = std::lower_bound(b->begin(), b->end(), key,
                                      [](const Entry &e, const QCollatorSortKey &k) { return e.key.compare(k) < 0; });
        for (auto e = first; e != b->end(); ++e) {
            if (e->key.compare(key) != 0)
                return -1;
            if (e->text == text)
                return start + int(e - b->begin());
        }
        start += int(b->size());
    }
    return -1;
}

void SortedList::clear()
{
    m_blocks.clear();
    m_size = 0;
}
