// The engine tests run a Qt event loop on the test's thread: notifications reach the tests the
// way they reach the program, through queued calls.
#include <gmock/gmock.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
