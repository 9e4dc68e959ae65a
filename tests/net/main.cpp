#include <QCoreApplication>

#include <gtest/gtest.h>

// The sockets need an event loop, hence an application object. SIGPIPE keeps its default
// action on purpose: a send that raised it would end this process and fail the run.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
