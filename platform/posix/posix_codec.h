// Legacy Japanese text (CP932) to UTF-8 through the C library's converter.
#pragma once

#include "platform/api/text_codec.h"

namespace solka {

class PosixCodec : public TextCodec {
 public:
  std::optional<std::string> LegacyToUtf8(const std::string& bytes) const override;
};

}  // namespace solka
