// Bringing the Online list box up to date from the online-names text. The list keeps the list
// box's sort order (case folded, like a sorted list box) and is patched in place, so a refresh
// of thousands of answers costs a comparison pass per rebuild, not a rebuild from scratch.
#pragma once

#include <QStringList>

#include <string_view>

class QListWidget;

// The names of onlineText (CR LF ended lines) in the list box's order.
[[nodiscard]] QStringList SortedOnlineNames(std::string_view onlineText);

// Makes list show exactly names (already sorted) and clears its selection, as a rebuilt list
// box has none. Returns the number of rows inserted or removed.
int SyncOnlineList(QListWidget* list, const QStringList& names);
