// The Online list box as the user meets it: every online contact once, in the list box's sort
// order, shown as ShownText but holding its name's bytes beside it, so what is sent is the very
// name the server reported. Rebuilds patch the rows in place: a row that stays keeps its
// selection, however late the answers that rebuild the list come; the names selected when the
// link went down are selected again as they come back, until the user selects anew.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>

class QListWidget;
struct PresenceState;

class OnlineList {
public:
    explicit OnlineList(QListWidget* list);

    // Makes the list show exactly the names of onlineText (CR LF ended lines). Returns the number
    // of rows inserted or removed.
    int Show(std::string_view onlineText);
    // The names of the selected rows among the first maxRows, in list order.
    [[nodiscard]] std::vector<std::string> SelectedNames(std::size_t maxRows) const;
    [[nodiscard]] bool empty() const;
    // With the link gone nobody is known to be online: the table, the pending text and the list
    // are emptied together.
    void Forget(PresenceState& state);

private:
    QListWidget* m_list;
    std::vector<QByteArray> m_kept; // selected when the list was emptied
    bool m_rebuilding = false;
};
