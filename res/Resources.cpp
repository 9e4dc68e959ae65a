#include "res/Resources.h"

#include <array>

namespace {

constexpr std::array kClientControls = {
    ControlTemplate{IDOK, ControlKind::PushButton, "E&xit", 119, 93, 22, 14, kStyleNone},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Status:", 7, 230, 28, 8, kStyleNone},
    ControlTemplate{IDC_STATUS, ControlKind::LineEdit, "", 7, 239, 212, 12, kReadOnly | kNoTabStop},
    ControlTemplate{IDC_UPDATE_LIST, ControlKind::PushButton, "&Update list", 54, 1, 61, 14, kStyleNone},
    ControlTemplate{IDC_ONLINE, ControlKind::ListBox, "", 119, 9, 100, 82, kStyleNone},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Online:", 119, 0, 93, 8, kStyleNone},
    ControlTemplate{IDC_CONTACTS, ControlKind::MultiLineEdit, "", 7, 16, 109, 82, kWantReturn},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Contact list:", 101, 27, 59, 8, kHidden},
    ControlTemplate{IDCANCEL, ControlKind::PushButton, "&Connect", 141, 93, 34, 14, kStyleNone},
    ControlTemplate{IDC_DISCONNECT, ControlKind::PushButton, "&Disconnect", 176, 93, 42, 14, kStyleNone},
    ControlTemplate{IDC_SEND, ControlKind::DefaultPushButton, "&Send message", 91, 28, 53, 15, kHidden},
    ControlTemplate{IDC_INPUT, ControlKind::LineEdit, "", 7, 215, 212, 12, kStyleNone},
    ControlTemplate{IDC_CONVERSATION, ControlKind::MultiLineEdit, "", 7, 108, 212, 104, kWordWrap | kWantReturn},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Messages:", 7, 99, 35, 8, kStyleNone},
    ControlTemplate{IDC_AUTO_UPDATE, ControlKind::CheckBox, "&Auto-update list", 99, 47, 62, 8, kHidden},
    ControlTemplate{IDC_EDIT_LIST, ControlKind::PushButton, "&Edit list", 7, 1, 46, 14, kStyleNone},
};

constexpr std::array kSetupControls = {
    ControlTemplate{IDOK, ControlKind::DefaultPushButton, "OK", 122, 34, 50, 14, kStyleNone},
    ControlTemplate{IDC_SETUP_NAME, ControlKind::LineEdit, "", 7, 15, 102, 12, kStyleNone},
    ControlTemplate{IDC_SETUP_PASSWORD, ControlKind::LineEdit, "", 7, 38, 102, 12, kStyleNone},
    // The password is masked; this shows it while the user checks what was typed.
    ControlTemplate{IDC_SETUP_SHOW_PASSWORD, ControlKind::CheckBox, "&Show password", 7, 52, 102, 10, kStyleNone},
    ControlTemplate{IDC_SETUP_SERVER, ControlKind::LineEdit, "", 7, 74, 102, 12, kStyleNone},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Name:", 7, 7, 75, 8, kStyleNone},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Password:", 7, 30, 35, 8, kStyleNone},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Server IP:", 7, 66, 42, 8, kStyleNone},
};

constexpr std::array kAboutControls = {
    // The text names the product and its version from the build; the About box fills it in.
    ControlTemplate{IDC_ABOUT_TEXT, ControlKind::CentredLabel, "", 7, 7, 108, 26, kStyleNone},
    ControlTemplate{IDOK, ControlKind::DefaultPushButton, "OK", 36, 37, 50, 14, kStyleNone},
};

constexpr std::array kClientMenuItems = {
    MenuItemTemplate{"&File", "&Options", ID_OPTIONS},
    MenuItemTemplate{"&File", "E&xit", IDOK},
    MenuItemTemplate{"&Help", "&About...", ID_ABOUT},
};

}  // namespace

const DialogTemplate kClientDialog{IDD_CLIENT, "QOR Network Client", 226, 258, kClientControls};
const DialogTemplate kSetupDialog{IDD_SETUP, "Enter information", 186, 93, kSetupControls};
const DialogTemplate kAboutDialog{IDD_ABOUT, "About...", 122, 58, kAboutControls};
const std::span<const MenuItemTemplate> kClientMenu{kClientMenuItems};

std::string IconResourcePath(int iconId, int size)
{
    return ":/icons/" + std::to_string(iconId) + "/" + std::to_string(size) + ".png";
}
