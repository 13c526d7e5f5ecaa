// The Win32 tests' entry. With "--second-start ARG" the program is a later start of the player
// instead: it claims the instance or hands ARG over, as the real program's entry does, and ends
// with 1 when it handed over.
#include <gmock/gmock.h>
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <string>

#include "app/single_instance.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_copy_data.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--second-start") {
    // The argument as typed: the narrow argv holds only what the ANSI code page can.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::string argument = count == 3 ? solka::Narrow(wide[2]) : std::string();
    LocalFree(wide);
    solka::Win32InterProcess ipc;
    solka::Win32Clock clock;
    return solka::ClaimOrForward(ipc, clock, argument).player ? 0 : 1;
  }
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
