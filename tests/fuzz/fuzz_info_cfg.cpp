// info.cfg as found on disk, whatever wrote it.
#include "FuzzInput.h"

#include "app/rules/SettingsFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const IdentityFile identity = ReadIdentity(WriteScratchFile(data, size));
    FUZZ_CHECK(identity.state == SettingsFileState::Read);
    FUZZ_CHECK(identity.valuesRead >= 0 && identity.valuesRead <= 3);
    FUZZ_CHECK(identity.userId.size() < kUserIdCapacity);
    FUZZ_CHECK(identity.password.size() < kPasswordCapacity);
    FUZZ_CHECK(identity.serverIp.size() < kServerIpCapacity);
    for (const std::string* value : {&identity.userId, &identity.password, &identity.serverIp})
        FUZZ_CHECK(value->find_first_of("\r\n") == std::string::npos);
    if (identity.valuesRead < 3)
        FUZZ_CHECK(identity.serverIp.empty());
    return 0;
}
