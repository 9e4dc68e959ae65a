#include "KernelCounters.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(std::string_view line)
{
    std::istringstream stream{std::string(line)};
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

}  // namespace

long TcpExtCounterIn(std::string_view names, std::string_view values, std::string_view name)
{
    const std::vector<std::string> nameWords = Words(names);
    const std::vector<std::string> valueWords = Words(values);
    // Both lines start with the "TcpExt:" label; the n-th name goes with the n-th value.
    for (std::size_t i = 1; i < nameWords.size() && i < valueWords.size(); ++i)
        if (nameWords[i] == name)
            return std::stol(valueWords[i]);
    return -1;
}

long TcpExtCounter(std::string_view name)
{
    std::ifstream netstat("/proc/net/netstat");
    std::string names, values;
    while (std::getline(netstat, names) && std::getline(netstat, values))
        if (names.rfind("TcpExt:", 0) == 0)
            return TcpExtCounterIn(names, values, name);
    return -1;
}
