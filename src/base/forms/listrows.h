#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/forms/pagechoices.h"
#include "base/values/categorylist.h"
#include "base/values/globaloptions.h"
#include "base/values/proxylist.h"
#include "base/values/sitelist.h"

namespace dromo {

enum class RowEdit {
    Done,
    Duplicate,  // the page's duplicate message was shown; nothing changed
    Ignored,    // not exactly one row selected
};

// The rows a list page of the options sheet edits. The live list is only
// rebuilt from them at OK, and only when something changed.
template <class Entry>
class ListRows {
public:
    using KeyOf = std::function<std::string(const Entry&)>;
    using Normalize = std::function<void(Entry&)>;

    ListRows(std::vector<Entry> rows, KeyOf key, std::string duplicateMessage, Normalize normalize = {})
        : m_rows(std::move(rows)), m_key(std::move(key)), m_duplicate(std::move(duplicateMessage)),
          m_normalize(std::move(normalize))
    {
    }

    const std::vector<Entry>& Rows() const { return m_rows; }
    bool Changed() const { return m_changed; }
    const std::string& DuplicateMessage() const { return m_duplicate; }

    RowEdit Add(Entry entry)
    {
        if (Holds(m_key(entry))) {
            return RowEdit::Duplicate;
        }
        Normalized(entry);
        m_rows.push_back(std::move(entry));
        m_changed = true;
        return RowEdit::Done;
    }

    RowEdit Edit(const std::vector<int>& selected, Entry entry)
    {
        if (selected.size() != 1 || !Valid(selected.front())) {
            return RowEdit::Ignored;
        }
        Entry& row = m_rows[static_cast<std::size_t>(selected.front())];
        const std::string key = m_key(entry);
        if (!EqualsIgnoreCase(key, m_key(row)) && Holds(key)) {
            return RowEdit::Duplicate;
        }
        Normalized(entry);
        row = std::move(entry);
        m_changed = true;
        return RowEdit::Done;
    }

    // Removes every selected row at once; true when any went.
    bool Remove(std::vector<int> selected)
    {
        std::sort(selected.begin(), selected.end());
        selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
        bool removed = false;
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            if (Valid(*it)) {
                m_rows.erase(m_rows.begin() + *it);
                removed = true;
            }
        }
        m_changed = m_changed || removed;
        return removed;
    }

    // OK of the sheet: the live list becomes the rows when they changed.
    bool CommitTo(std::vector<Entry>& live) const
    {
        if (!m_changed) {
            return false;
        }
        live = m_rows;
        return true;
    }

private:
    bool Valid(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    bool Holds(const std::string& key) const
    {
        return std::any_of(m_rows.begin(), m_rows.end(),
                           [&](const Entry& e) { return EqualsIgnoreCase(m_key(e), key); });
    }
    void Normalized(Entry& entry) const
    {
        if (m_normalize) {
            m_normalize(entry);
        }
    }

    std::vector<Entry> m_rows;
    KeyOf m_key;
    std::string m_duplicate;
    Normalize m_normalize;
    bool m_changed = false;
};

// The three list pages' rows with their keys and duplicate messages.
inline ListRows<CategoryEntry> CategoryRows(const CategoryList& list)
{
    return {list, [](const CategoryEntry& e) { return e.extension; }, "A category with the same extension has existed.",
            [](CategoryEntry& e) { e.folder = WithTrailingSlash(e.folder); }};
}

inline ListRows<ProxyEntry> ProxyRows(const ProxyList& list)
{
    return {list, [](const ProxyEntry& e) { return e.host; }, "The same proxy has existed."};
}

inline ListRows<SiteEntry> SiteRows(const SiteList& list)
{
    return {list, [](const SiteEntry& e) { return e.host; }, "The same site has existed."};
}

}  // namespace dromo
