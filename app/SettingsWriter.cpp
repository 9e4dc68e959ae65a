#include "app/SettingsWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

bool WriteSettingsFile(const std::filesystem::path& file, std::string_view bytes, FileAccess access)
{
    const QString name = QFile::decodeName(file.c_str());
    // A folder, FIFO or device in the file's place is the user's, not ours to replace.
    const QFileInfo existing(name);
    if (existing.exists() && !existing.isFile())
        return false;
    QSaveFile out(name);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const auto size = qint64(bytes.size());
    const bool written = (access == FileAccess::Kept ||
                          out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) &&
                         out.write(bytes.data(), size) == size && out.flush() && ::fsync(out.handle()) == 0;
    if (!written) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}
