#include "presence/OnlineList.h"

#include <QListWidget>

#include <algorithm>
#include <memory>

#include "common/DisplayText.h"
#include "presence/rules/ContactText.h"
#include "presence/rules/PresenceState.h"

namespace {

constexpr int kNameRole = Qt::UserRole;

struct Row {
    QString shown;
    QByteArray name;
};

// As a sorted list box orders its rows: case folded first; names shown alike keep an order of
// their own, by their bytes.
bool ListOrderLess(const Row& a, const Row& b)
{
    if (const int folded = QString::compare(a.shown, b.shown, Qt::CaseInsensitive); folded != 0)
        return folded < 0;
    if (const int exact = QString::compare(a.shown, b.shown, Qt::CaseSensitive); exact != 0)
        return exact < 0;
    return a.name < b.name;
}

std::vector<Row> SortedRows(std::string_view onlineText)
{
    std::vector<Row> rows;
    for (const std::string& line : SplitLines(onlineText))
        rows.push_back({QString::fromStdString(ShownText(line)), QByteArray::fromStdString(line)});
    std::sort(rows.begin(), rows.end(), ListOrderLess);
    return rows;
}

Row RowAt(const QListWidget* list, int index)
{
    const QListWidgetItem* item = list->item(index);
    return {item->text(), item->data(kNameRole).toByteArray()};
}

}  // namespace

OnlineList::OnlineList(QListWidget* list)
    : m_list(list)
{
    QObject::connect(m_list, &QListWidget::itemSelectionChanged, m_list, [this] {
        if (!m_rebuilding)
            m_kept.clear(); // the user's own choice now
    });
}

int OnlineList::Show(std::string_view onlineText)
{
    const std::vector<Row> rows = SortedRows(onlineText);
    m_rebuilding = true;
    int changes = 0;
    int index = 0;
    std::size_t next = 0;
    while (index < m_list->count() || next < rows.size()) {
        const bool listed = index < m_list->count();
        if (listed && next < rows.size() && RowAt(m_list, index).name == rows[next].name) {
            ++index;
            ++next;
        } else if (listed && (next == rows.size() || ListOrderLess(RowAt(m_list, index), rows[next]))) {
            std::unique_ptr<QListWidgetItem>(m_list->takeItem(index)); // taking an item hands it back to us
            ++changes;
        } else {
            auto* item = new QListWidgetItem(rows[next].shown);
            item->setData(kNameRole, rows[next].name);
            m_list->insertItem(index++, item); // the list takes it
            if (std::find(m_kept.begin(), m_kept.end(), rows[next].name) != m_kept.end())
                item->setSelected(true);
            ++next;
            ++changes;
        }
    }
    m_rebuilding = false;
    return changes;
}

std::vector<std::string> OnlineList::SelectedNames(std::size_t maxRows) const
{
    std::vector<std::string> names;
    const int rows = int(std::min(std::size_t(m_list->count()), maxRows));
    for (int index = 0; index < rows; ++index) {
        if (m_list->item(index)->isSelected())
            names.push_back(m_list->item(index)->data(kNameRole).toByteArray().toStdString());
    }
    return names;
}

bool OnlineList::empty() const
{
    return m_list->count() == 0;
}

void OnlineList::Forget(PresenceState& state)
{
    state.g_presence.PruneToContactList({});
    state.g_onlineText.clear();
    state.g_onlineRebuildDue = 0;
    std::vector<QByteArray> selected;
    for (const std::string& name : SelectedNames(std::size_t(m_list->count())))
        selected.push_back(QByteArray::fromStdString(name));
    if (!selected.empty())
        m_kept = std::move(selected); // an empty list's nothing must not forget the earlier choice
    Show({});
}
