#include "presence/OnlineList.h"

#include <QListWidget>

#include <algorithm>
#include <memory>
#include <set>

#include "app/ClientState.h"
#include "presence/ContactText.h"
#include "ui/QtBytes.h"

namespace {

bool ListOrderLess(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

}  // namespace

QStringList SortedOnlineNames(std::string_view onlineText)
{
    QStringList names;
    for (const std::string& line : SplitLines(onlineText))
        names.append(FromBytes(line));
    std::sort(names.begin(), names.end(), ListOrderLess);
    return names;
}

int SyncOnlineList(QListWidget* list, const QStringList& names)
{
    int changes = 0;
    int row = 0;
    qsizetype next = 0;
    while (row < list->count() || next < names.size()) {
        if (next == names.size()) {
            std::unique_ptr<QListWidgetItem>(list->takeItem(row)); // taking an item hands it back to us
            ++changes;
            continue;
        }
        const QString shown = row < list->count() ? list->item(row)->text() : QString();
        if (row < list->count() && shown == names[next]) {
            ++row;
            ++next;
        } else if (row < list->count() && ListOrderLess(shown, names[next])) {
            std::unique_ptr<QListWidgetItem>(list->takeItem(row)); // taking an item hands it back to us
            ++changes;
        } else {
            list->insertItem(row++, names[next++]);
            ++changes;
        }
    }
    list->clearSelection();
    return changes;
}

std::vector<std::string> SelectedNames(const QListWidget* list, std::size_t capacity)
{
    std::vector<std::string> names;
    for (int row = 0; row < list->count() && names.size() < capacity; ++row) {
        if (list->item(row)->isSelected())
            names.push_back(list->item(row)->text().toUtf8().toStdString());
    }
    return names;
}

void SelectNames(QListWidget* list, const std::vector<std::string>& names)
{
    const std::set<std::string> wanted(names.begin(), names.end());
    for (int row = 0; row < list->count(); ++row) {
        if (wanted.contains(list->item(row)->text().toUtf8().toStdString()))
            list->item(row)->setSelected(true);
    }
}

void ForgetOnline(ClientState& state, QListWidget* list)
{
    state.g_presence.PruneToContactList({});
    state.g_onlineText.clear();
    state.g_onlineRebuildDue = 0;
    SyncOnlineList(list, {});
}
