// Resource ids and the dialog and menu layouts the windows are built from. Positions are in
// dialog units: a quarter of the font's average character width across, an eighth of its
// height down.
#pragma once

#include <span>
#include <string>
#include <string_view>

inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDI_ALERT = 132;
inline constexpr int IDD_CLIENT = 102;
inline constexpr int IDD_SETUP = 129;
inline constexpr int IDD_ABOUT = 131;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_DISCONNECT = 3;
inline constexpr int IDC_STATUS = 1000;
inline constexpr int IDC_UPDATE_LIST = 1001;
inline constexpr int IDC_ONLINE = 1002;
inline constexpr int IDC_CONTACTS = 1003;
inline constexpr int IDC_SEND = 1004;
inline constexpr int IDC_INPUT = 1007;
inline constexpr int IDC_CONVERSATION = 1008;
inline constexpr int IDC_AUTO_UPDATE = 1009;
inline constexpr int IDC_EDIT_LIST = 1010;
inline constexpr int IDC_SETUP_NAME = 1000;
inline constexpr int IDC_SETUP_PASSWORD = 1001;
inline constexpr int IDC_SETUP_SERVER = 1002;
inline constexpr int IDC_SETUP_SHOW_PASSWORD = 1003;
inline constexpr int IDC_ABOUT_TEXT = 1100; // the About box's text, an id of our own to fill it
inline constexpr int IDC_STATIC = -1;

inline constexpr int ID_OPTIONS = 32771;
inline constexpr int ID_ABOUT = 32773;

enum class ControlKind { PushButton, DefaultPushButton, Label, CentredLabel, LineEdit, MultiLineEdit, ListBox, CheckBox };

// Style bits beyond what the kind implies.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kHidden = 1u << 0,
    kReadOnly = 1u << 1,
    kNoTabStop = 1u << 2,
    kWordWrap = 1u << 3,   // multi-line edit wraps words; otherwise it scrolls horizontally
    kWantReturn = 1u << 4, // Enter inserts a line break
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view caption;
    int x, y, width, height;
    unsigned style;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int width, height;
    std::span<const ControlTemplate> controls; // template order, which is the tab order
};

struct MenuItemTemplate {
    std::string_view menu;
    std::string_view item;
    int command;
};

// Every size an icon is drawn in, as res/icons/hicolor ships it: a dense screen or a panel that
// asks for a large one gets it drawn at that size.
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// Where an icon of the resource file is found in one of kIconSizes: ":/icons/<id>/<size>.png".
[[nodiscard]] std::string IconResourcePath(int iconId, int size);

extern const DialogTemplate kClientDialog;
extern const DialogTemplate kSetupDialog;
extern const DialogTemplate kAboutDialog;
extern const std::span<const MenuItemTemplate> kClientMenu;
