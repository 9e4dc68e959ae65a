// A later start of the program for a folder that a running copy holds hands over to that copy:
// the running copy brings its window up, and the later start ends. They meet on a local socket
// named for the folder; the folder's lock (SingleCopyLock) decides which copy runs.
#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>

#include <filesystem>

// How long a later start waits for the running copy: it may itself be starting.
inline constexpr int kHandOverTimeoutMs = 5000;

class SingleCopyHandOver : public QObject {
    Q_OBJECT

public:
    explicit SingleCopyHandOver(const std::filesystem::path& configDir, QObject* parent = nullptr);

    // The copy that holds the folder takes the later starts' requests from now on.
    bool Listen();
    // A later start asks the running copy to bring its window up, and passes on the token the
    // desktop gave it to take the focus with. True once the running copy has done so.
    [[nodiscard]] bool AskToShow(const QByteArray& activationToken, int timeoutMs = kHandOverTimeoutMs) const;

    // Where the copies meet: in the folder, or in the runtime folder under a name made from the
    // folder's path when that would be too long for a socket's address.
    [[nodiscard]] static QString SocketPath(const std::filesystem::path& configDir);

signals:
    void showRequested(const QByteArray& activationToken);

private:
    void OnConnection();

    QString m_path;
    QLocalServer m_server;
};
