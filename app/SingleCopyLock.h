// One running copy per settings folder: a second copy there would take the first's notifications
// and, at exit, overwrite the contact list the first saved.
#pragma once

#include <QLockFile>

#include <filesystem>

class MessageBoxes;

inline constexpr const char* kLockFileName = ".qornc.lock";

class SingleCopyLock {
public:
    explicit SingleCopyLock(const std::filesystem::path& configDir);

    // True only when a running copy holds the folder; a lock left by a crashed copy is taken over.
    [[nodiscard]] bool otherCopyRuns() const { return m_otherCopyRuns; }
    // Says so in a line on standard error; when the running copy could not be asked to bring its
    // window up, also in a message box where there is a display to show it on.
    void ReportOtherCopy(MessageBoxes& boxes, bool handedOver) const;

private:
    std::filesystem::path m_configDir;
    QLockFile m_lock;
    bool m_otherCopyRuns = false;
};
