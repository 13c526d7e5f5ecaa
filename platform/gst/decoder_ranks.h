// Which decoder GStreamer picks where several can decode the same format.
#pragma once

namespace solka {

// Call once after gst_init: where decoders of equal rank would be chosen by name, the one that
// costs least per second of sound is put first.
void PreferCheapestDecoders();

}  // namespace solka
