// Whether an X notification area (an XEmbed system tray, such as trayer's or tint2's) is there:
// the owner of the _NET_SYSTEM_TRAY_S<screen> selection. A tray says it came with a MANAGER
// message on the root window, and it is gone when its owner window is destroyed.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>

struct xcb_connection_t;

class XEmbedTrayWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit XEmbedTrayWatch(QObject* parent = nullptr);
    ~XEmbedTrayWatch() override;

    // Off X (offscreen, Wayland) there is never such a tray.
    void Start();
    [[nodiscard]] bool present() const { return m_owner != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void changed();

private:
    void FindOwner();
    [[nodiscard]] std::uint32_t SelectionOwner() const;
    [[nodiscard]] bool WatchDestruction(std::uint32_t window) const;

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_selection = 0; // atoms and windows are xcb's 32-bit ids
    std::uint32_t m_manager = 0;
    std::uint32_t m_owner = 0;
};
