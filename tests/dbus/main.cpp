// Test entry for the D-Bus clients: an application object for QtDBus and its event loop.
#include <gmock/gmock.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
