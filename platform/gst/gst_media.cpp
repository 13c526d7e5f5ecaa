// PLACEHOLDER: the GStreamer media graph is written here.
