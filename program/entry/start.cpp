#include "program/entry/start.h"

#include <cstdio>
#include <filesystem>

#include "app/command_line.h"
#include "platform/posix/posix_clock.h"

namespace solka {

namespace {

// A relative path means the sender's current folder.
std::string ArgumentToForward(const std::string& argument) {
  if (argument.empty() || argument == kNextTrackCommand) return argument;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(argument, error);
  return error ? argument : absolute.lexically_normal().string();
}

}  // namespace

std::string FirstArgument(int argc, char** argv) {
  if (argc < 2 || !argv[1]) return {};
  std::string argument = argv[1];
  if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
    argument = argument.substr(1, argument.size() - 2);
  return argument;
}

std::optional<int> AnswerOnTerminal(const std::string& first) {
  std::error_code missing;
  const auto answer = AnswerOption(first, std::filesystem::exists(first, missing));
  if (!answer) return std::nullopt;
  std::fputs(answer->out.c_str(), stdout);
  if (!answer->error.empty()) std::fprintf(stderr, "solka: %s\n", answer->error.c_str());
  return answer->exitCode;
}

InstanceRole ClaimOrHandOver(InterProcess& ipc, const std::string& first) {
  PosixClock clock;
  InstanceRole role = ClaimOrForward(ipc, clock, ArgumentToForward(first));
  if (!role.note.empty()) std::fprintf(stderr, "solka: %s\n", role.note.c_str());
  return role;
}

}  // namespace solka
