// Test entry for the Qt layer: widgets run offscreen, without a display.
#include <gmock/gmock.h>

#include "platform/qt/application.h"

int main(int argc, char** argv) {
  // Before the application object: the platform plugin is chosen when it is created.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  solka::Application app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
