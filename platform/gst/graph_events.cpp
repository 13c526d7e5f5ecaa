#include "platform/gst/graph_events.h"

#include "platform/api/media.h"

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
  bool queued = false;
  {
    std::lock_guard lock(mutex_);
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_ASYNC_DONE:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(pipeline_)) ready_ = true;
        break;
      case GST_MESSAGE_ELEMENT:
        // A stream without a decoder: the file would play only in part.
        if (!started_ && IsMissingPlugin(message)) failed_ = true;
        break;
      case GST_MESSAGE_ERROR:
        if (!started_) {
          failed_ = true;
          break;
        }
        // A track that breaks down in mid-play ends as if it had played out, so an unattended
        // run goes on with the next one instead of waiting for an end that never comes.
        [[fallthrough]];
      case GST_MESSAGE_EOS:
        // One end per run of data: a decoder that gives up may post several errors, and an
        // error may follow the end it caused.
        if (!ended_) {
          ended_ = true;
          queue_.push_back(EC_COMPLETE);
          queued = true;
        }
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

void GraphEvents::Restarted() {
  std::lock_guard lock(mutex_);
  ended_ = false;
}

bool GraphEvents::Pop(int& code) {
  std::lock_guard lock(mutex_);
  if (queue_.empty()) return false;
  code = queue_.front();
  queue_.pop_front();
  return true;
}

}  // namespace solka
