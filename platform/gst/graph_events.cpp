#include "platform/gst/graph_events.h"

#include <string>

namespace solka {
namespace {

using SharedEvents = std::shared_ptr<GraphEvents>;

GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  (*static_cast<SharedEvents*>(data))->Handle(message);
  // Nothing stays on the bus: no watch reads it, and it must not grow over a long track. A
  // dropped message is ours to release; it holds its source element, so keeping it would keep
  // the whole pipeline, its threads and its file descriptors alive.
  gst_message_unref(message);
  return GST_BUS_DROP;
}

void DeleteHandle(gpointer data) {
  delete static_cast<SharedEvents*>(data);
}

bool IsMissingPlugin(GstMessage* message) {
  const GstStructure* s = gst_message_get_structure(message);
  return s && gst_structure_has_name(s, "missing-plugin");
}

// Line ends inside a message or its debug text would break the one line it becomes.
std::string OneLine(const char* text) {
  std::string line = text ? text : "";
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  return line;
}

// "message (domain code; debug text)": what the element said, where and how.
std::string ErrorText(GstMessage* message) {
  GError* error = nullptr;
  gchar* debug = nullptr;
  gst_message_parse_error(message, &error, &debug);
  std::string text = error ? OneLine(error->message) : std::string("unknown error");
  if (error) {
    text += " (" + OneLine(g_quark_to_string(error->domain)) + " " + std::to_string(error->code);
    if (debug) text += "; " + OneLine(debug);
    text += ")";
  }
  g_clear_error(&error);
  g_free(debug);
  return text;
}

// "no decoder for audio/x-vorbis": the missing element and the stream it was needed for.
std::string MissingPluginText(GstMessage* message) {
  const GstStructure* s = gst_message_get_structure(message);
  const gchar* type = gst_structure_get_string(s, "type");
  std::string text = std::string("no ") + (type ? type : "element");
  const GValue* detail = gst_structure_get_value(s, "detail");
  if (detail && GST_VALUE_HOLDS_CAPS(detail)) {
    const GstCaps* caps = gst_value_get_caps(detail);
    if (caps && gst_caps_get_size(caps) > 0)
      text += std::string(" for ") + gst_structure_get_name(gst_caps_get_structure(caps, 0));
  } else if (detail && G_VALUE_HOLDS_STRING(detail) && g_value_get_string(detail)) {
    text += std::string(" for ") + g_value_get_string(detail);
  }
  return text;
}

}  // namespace

void GraphEvents::Attach(GstElement* pipeline, const std::shared_ptr<GraphEvents>& events) {
  events->pipeline_ = pipeline;
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_sync_handler(bus, OnBusMessage, new SharedEvents(events), DeleteHandle);
  gst_object_unref(bus);
}

void GraphEvents::Detach(GstElement* pipeline) {
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_bus_set_flushing(bus, TRUE);
  gst_object_unref(bus);
}

void GraphEvents::Handle(GstMessage* message) {
  const GstMessageType type = GST_MESSAGE_TYPE(message);
  // Built outside the lock: parsing allocates.
  std::string failure;
  if (type == GST_MESSAGE_ERROR) failure = ErrorText(message);
  const bool missingPlugin = type == GST_MESSAGE_ELEMENT && IsMissingPlugin(message);
  if (missingPlugin) failure = MissingPluginText(message);

  bool queued = false;
  {
    std::lock_guard lock(mutex_);
    switch (type) {
      case GST_MESSAGE_ASYNC_DONE:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(pipeline_)) ready_ = true;
        break;
      case GST_MESSAGE_ELEMENT:
        // A stream without a decoder: the file would play only in part.
        if (!started_ && missingPlugin) {
          failed_ = true;
          if (startFailure_.empty()) startFailure_ = failure;
        }
        break;
      case GST_MESSAGE_ERROR:
        if (!started_) {
          failed_ = true;
          // The first error is the cause; what follows is its consequences.
          if (startFailure_.empty()) startFailure_ = failure;
        } else {
          queue_.push_back({MediaEvent::Kind::Failed, failure});
          queued = true;
        }
        break;
      case GST_MESSAGE_EOS:
        queue_.push_back({MediaEvent::Kind::Ended, {}});
        queued = true;
        break;
      default:
        break;
    }
  }
  changed_.notify_all();
  if (queued) PostNotification();
}

void GraphEvents::PostNotification() {
  std::weak_ptr<GraphEvents> weak = weak_from_this();
  post([weak] {
    const auto self = weak.lock();
    if (!self || !self->notify) return;
    // A copy: the handler may release the graph, and with it this notification.
    const auto handler = self->notify;
    handler();
  });
}

bool GraphEvents::WaitUntilReady(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [this] { return ready_ || failed_; });
  return ready_ && !failed_;
}

bool GraphEvents::MarkStarted() {
  std::lock_guard lock(mutex_);
  started_ = true;
  return !failed_;
}

std::string GraphEvents::StartFailure() {
  std::lock_guard lock(mutex_);
  return startFailure_;
}

bool GraphEvents::Pop(MediaEvent& event) {
  std::lock_guard lock(mutex_);
  if (queue_.empty()) return false;
  event = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

}  // namespace solka
