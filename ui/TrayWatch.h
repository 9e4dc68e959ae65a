// Which notification areas are there, and whether the icon can be in one. Qt decides once per
// process, when the first icon is made, between a StatusNotifier tray on the session bus and an
// X (XEmbed) tray, and keeps that choice: so no icon is made before a tray is there, and the
// icon is in a tray only while one of the chosen kind is.
#pragma once

#include <QObject>

#include "ui/StatusNotifierWatch.h"
#include "ui/XEmbedTrayWatch.h"

class TrayWatch : public QObject {
    Q_OBJECT

public:
    explicit TrayWatch(QObject* parent = nullptr);

    void Start();
    // The icon was made: Qt has made its choice.
    void IconCreated();
    [[nodiscard]] bool usable() const;

signals:
    // A tray came that the icon is not in yet: the icon is to be made (anew).
    void iconNeeded();
    // No tray of the kind the icon is in is left.
    void lost();

private:
    enum class Kind { Undecided, StatusNotifier, XEmbed };

    void OnChanged();

    XEmbedTrayWatch m_xembed;
    StatusNotifierWatch m_statusNotifier;
    Kind m_kind = Kind::Undecided;
    bool m_hadHost = false;
    bool m_wasUsable = false;
};
