#include "app/SingleCopyLock.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "ui/MessageBoxes.h"

namespace {

QString LockPath(const std::filesystem::path& configDir)
{
    return QString::fromStdString((configDir / kLockFileName).string());
}

bool HasDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace

SingleCopyLock::SingleCopyLock(const std::filesystem::path& configDir)
    : m_configDir(configDir)
    , m_lock(LockPath(configDir))
{
    // Only a dead owner makes a lock stale: by default a live copy's lock would expire after 30 s.
    m_lock.setStaleLockTime(0);
    // A folder where no lock can be made (read-only) holds no list a copy could save either.
    m_otherCopyRuns = !m_lock.tryLock(0) && m_lock.error() == QLockFile::LockFailedError;
}

void SingleCopyLock::ReportOtherCopy(MessageBoxes& boxes, bool handedOver) const
{
    const QString folder = QDir::cleanPath(QDir(QString::fromStdString(m_configDir.string())).absolutePath());
    const QString text = QStringLiteral("QORNC already runs in the folder %1.").arg(folder);
    const char* outcome = handedOver ? " Its window is brought to the front." : "";
    std::fprintf(stderr, "qornc: %s%s\n", text.toLocal8Bit().constData(), outcome);
    if (!handedOver && HasDisplay())
        boxes.Stop(nullptr, text);
}
