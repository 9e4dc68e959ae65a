// The main window's and the tray's own state: whether the contact list may be edited, whether the
// window hides behind the tray, and the new-message alert.
#pragma once

struct WindowState {
    int g_listLocked = 0;
    int g_windowHidden = 0;
    int g_trayActivated = 0;
    int g_alertActive = 0;
    int g_blinkPhase = 0;
};
