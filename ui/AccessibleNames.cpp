#include "ui/AccessibleNames.h"

#include <array>
#include <string_view>

#include <QWidget>

#include "ui/TextCatalog.h"

namespace {

struct AccessibleName {
    int dialog;
    int control;
    std::string_view name;
    std::string_view description;
};

constexpr std::array kNames = {
    AccessibleName{IDD_CLIENT, IDC_CONTACTS, "Contact list", ""},
    AccessibleName{IDD_CLIENT, IDC_ONLINE, "Online", ""},
    AccessibleName{IDD_CLIENT, IDC_CONVERSATION, "Messages", ""},
    AccessibleName{IDD_CLIENT, IDC_INPUT, "Message to send", ""},
    // A line edit cannot take the status bar role; the description says what it is instead.
    AccessibleName{IDD_CLIENT, IDC_STATUS, "Status", "Status line"},
    AccessibleName{IDD_SETUP, IDC_SETUP_NAME, "Name", ""},
    AccessibleName{IDD_SETUP, IDC_SETUP_PASSWORD, "Password", ""},
    AccessibleName{IDD_SETUP, IDC_SETUP_SERVER, "Server IP", ""},
};

}  // namespace

void NameControls(const DialogTemplate& dialog, const QHash<int, QWidget*>& controls)
{
    for (const AccessibleName& entry : kNames) {
        QWidget* widget = entry.dialog == dialog.id ? controls.value(entry.control) : nullptr;
        if (widget == nullptr)
            continue;
        widget->setAccessibleName(Translated(entry.name));
        widget->setAccessibleDescription(Translated(entry.description));
    }
}
