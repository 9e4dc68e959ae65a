// qornc-lossy-link NETNS_A NETNS_B DEVICE DELAY_MS LOSS [SEED]: see LossyLink.h. Prints "ready"
// once both devices exist (their addresses are the caller's to set), forwards until standard
// input ends, then prints what passed and what was dropped.
#include "LossyLink.h"

#include <unistd.h>

#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::cerr << "usage: " << argv[0] << " NETNS_A NETNS_B DEVICE DELAY_MS LOSS [SEED]" << std::endl;
        return 2;
    }
    std::string error;
    qornc::test::LossyLink link(argv[1], argv[2], argv[3], std::chrono::milliseconds(std::stoi(argv[4])),
                                std::stod(argv[5]), argc > 6 ? static_cast<std::uint32_t>(std::stoul(argv[6])) : 1u,
                                error);
    if (!error.empty()) {
        std::cerr << "lossy-link: " << error << std::endl;
        return 1;
    }
    std::cout << "ready" << std::endl;
    link.run(STDIN_FILENO);
    std::cout << link.countsText() << std::endl;
    return 0;
}
