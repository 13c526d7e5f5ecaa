// An output whose playing track was stopped and released, kept until the GUI's next step: a
// track started in this step (the player stops and releases the old track, then starts the one
// the user chose: Next, Previous, a click, a hand-over) takes it over and plays on in the same
// stream, without a new one being opened; otherwise the next step ends it. GUI thread only.
#pragma once

#include <functional>
#include <memory>

namespace solka {

class GstOutput;
struct TrackLink;

class OutputParking : public std::enable_shared_from_this<OutputParking> {
 public:
  struct Parked {
    std::shared_ptr<GstOutput> output;
    std::shared_ptr<TrackLink> track;  // the stopped track, still linked and playing
  };

  // `post` runs a closure in the GUI's next step.
  void Park(Parked parked, const std::function<void(std::function<void()>)>& post);
  // The parked output, if any, for a track that takes it over.
  Parked Take();
  // Ends what is parked now.
  void Expire();

 private:
  Parked parked_;
};

}  // namespace solka
