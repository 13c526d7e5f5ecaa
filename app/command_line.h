// The options a start answers by itself, before it becomes the player or hands its argument
// over: a request for help or the version, or a mistyped option, never reaches a running player.
#pragma once

#include <optional>
#include <string>

namespace solka {

struct OptionAnswer {
  int exitCode = 0;
  std::string out;    // for standard output
  std::string error;  // one line for standard error, without the program's name
};

// nullopt: `argument` is a path (or the command word) for the player. An argument that starts
// with "-" is an option unless it names an existing file or folder (`exists`).
std::optional<OptionAnswer> AnswerOption(const std::string& argument, bool exists);

}  // namespace solka
