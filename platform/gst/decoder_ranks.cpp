#include "platform/gst/decoder_ranks.h"

#include <gst/gst.h>

namespace solka {

void PreferCheapestDecoders() {
  // MP3: mpg123 and libav's two decoders share the same low rank, so the choice fell to the
  // name, that is to libav's, which costs about twice the CPU for the same samples.
  if (GstPluginFeature* mpg123 = GST_PLUGIN_FEATURE(gst_element_factory_find("mpg123audiodec"))) {
    gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY);
    gst_object_unref(mpg123);
  }
}

}  // namespace solka
