#include <QCoreApplication>

#include <gtest/gtest.h>

// The loopback tests need an event loop, hence an application object.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
