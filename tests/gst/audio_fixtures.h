// Small audio files made at test time, in a temporary folder, by encoding a test tone.
#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/temp_folder.h"

namespace solka::fixtures {

// Runs a gst-launch description to its end; false on an error or after ten seconds.
inline bool RunPipeline(const std::string& description) {
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (error) {
    g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return false;
  }
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* end = gst_bus_timed_pop_filtered(
      bus, 10 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ok = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
  if (end) gst_message_unref(end);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return ok;
}

// A tone of `tenths` tenths of a second, 44.1 kHz stereo, through `encoder` into `path`.
inline bool EncodeTone(const std::string& path, const std::string& encoder, int tenths = 10,
                       double amplitude = 0.5, int hertz = 440) {
  return RunPipeline("audiotestsrc samplesperbuffer=4410 num-buffers=" + std::to_string(tenths) +
                     " volume=" + std::to_string(amplitude) + " freq=" + std::to_string(hertz) +
                     " ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! " + encoder +
                     " ! filesink location=\"" + path + "\"");
}

// Encoders by extension; every one is in the Debian packages the player installs.
inline std::string EncoderFor(const std::string& extension) {
  if (extension == ".wav") return "wavenc";
  if (extension == ".mp3") return "lamemp3enc ! xingmux ! id3v2mux";
  if (extension == ".ogg") return "vorbisenc ! oggmux";
  if (extension == ".flac") return "flacenc";
  if (extension == ".m4a" || extension == ".3g2") return "avenc_aac ! mp4mux";
  if (extension == ".aac") return "avenc_aac ! aacparse ! audio/mpeg,stream-format=adts";
  if (extension == ".wma" || extension == ".asf") return "avenc_wmav2 ! asfmux";
  return {};
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A standard MIDI file of one track: middle C for half a second, then the end of the track.
inline std::vector<std::uint8_t> TinyMidi() {
  std::vector<std::uint8_t> track = {
      0x00, 0xC0, 0x00,        // piano
      0x00, 0x90, 0x3C, 0x64,  // note on
      0x60, 0x80, 0x3C, 0x40,  // 96 ticks later (half a second at 120 bpm): note off
      0x00, 0xFF, 0x2F, 0x00,  // end of track
  };
  std::vector<std::uint8_t> file = {
      'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
      1,   0,   96,  'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(track.size())};
  for (std::uint8_t byte : track) file.push_back(byte);  // an insert: GCC 12 -Warray-bounds
  return file;
}

// The same MIDI data in a RIFF "RMID" wrapper.
inline std::vector<std::uint8_t> TinyRiffMidi() {
  const auto midi = TinyMidi();
  auto le32 = [](std::uint32_t v) {
    return std::vector<std::uint8_t>{
        static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
        static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  };
  std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
  const auto riffSize = le32(static_cast<std::uint32_t>(4 + 8 + midi.size()));
  file.insert(file.end(), riffSize.begin(), riffSize.end());
  for (char c : std::string("RMIDdata")) file.push_back(static_cast<std::uint8_t>(c));
  const auto dataSize = le32(static_cast<std::uint32_t>(midi.size()));
  file.insert(file.end(), dataSize.begin(), dataSize.end());
  file.insert(file.end(), midi.begin(), midi.end());
  return file;
}

// One second of 44.1 kHz stereo silence in Monkey's Audio format, written by hand: there is no
// encoder on Debian. The one frame is flagged as silent, so it carries no coded samples.
inline std::vector<std::uint8_t> SilentApe() {
  std::vector<std::uint8_t> file;
  auto put = [&file](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  constexpr std::uint32_t kDescriptor = 52, kHeader = 24, kSeekTable = 4, kFrame = 16;
  for (char c : std::string("MAC ")) file.push_back(static_cast<std::uint8_t>(c));
  put(3990, 2);  // version
  put(0, 2);
  put(kDescriptor, 4);
  put(kHeader, 4);
  put(kSeekTable, 4);
  put(0, 4);  // no stored WAV header
  put(kFrame, 4);
  put(0, 4);
  put(0, 4);                                   // no WAV tail
  file.insert(file.end(), 16, 0);              // MD5, unchecked
  put(2000, 2);                                // compression level "normal"
  put(32, 2);                                  // the decoder makes the WAV header
  put(73728, 4);                               // blocks per frame
  put(44100, 4);                               // blocks in the final frame
  put(1, 4);                                   // frames
  put(16, 2);                                  // bits per sample
  put(2, 2);                                   // channels
  put(44100, 4);                               // sample rate
  put(kDescriptor + kHeader + kSeekTable, 4);  // the frame's offset
  put(0xFFFFFFFFu, 4);  // CRC (the decoder does not check it); top bit: frame flags follow
  put(3, 4);            // flags: stereo silence
  put(0, 4);
  put(0, 4);
  return file;
}

using testing_files::TempFolder;

}  // namespace solka::fixtures
