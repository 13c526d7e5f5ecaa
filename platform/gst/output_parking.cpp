#include "platform/gst/output_parking.h"

#include <utility>

#include "platform/gst/gst_output.h"

namespace solka {

void OutputParking::Park(Parked parked, const std::function<void(std::function<void()>)>& post) {
  Expire();
  parked_ = std::move(parked);
  std::weak_ptr<OutputParking> self = weak_from_this();
  std::weak_ptr<GstOutput> output = parked_.output;
  post([self, output] {
    const auto parking = self.lock();
    if (parking && parking->parked_.output == output.lock()) parking->Expire();
  });
}

OutputParking::Parked OutputParking::Take() {
  return std::exchange(parked_, {});
}

void OutputParking::Expire() {
  Parked parked = std::exchange(parked_, {});
  if (parked.output && parked.track) parked.output->Remove(parked.track);
}

}  // namespace solka
