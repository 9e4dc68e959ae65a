// Bringing the Online list box up to date from the online-names text. The list keeps the list
// box's sort order (case folded, like a sorted list box) and is patched in place, so a refresh
// of thousands of answers costs a comparison pass per rebuild, not a rebuild from scratch.
#pragma once

#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

class QListWidget;
struct ClientState;

// The names of onlineText (CR LF ended lines) in the list box's order.
[[nodiscard]] QStringList SortedOnlineNames(std::string_view onlineText);

// Makes list show exactly names (already sorted) and clears its selection, as a rebuilt list
// box has none. Returns the number of rows inserted or removed.
int SyncOnlineList(QListWidget* list, const QStringList& names);

// The names selected in list, and selecting the rows that show any of names: a selection saved
// before a rebuild goes back to the same contacts, never to whoever took their rows.
[[nodiscard]] std::vector<std::string> SelectedNames(const QListWidget* list, std::size_t capacity);
void SelectNames(QListWidget* list, const std::vector<std::string>& names);

// With the link gone nobody is known to be online: the table, the pending text and the list
// are emptied together.
void ForgetOnline(ClientState& state, QListWidget* list);
