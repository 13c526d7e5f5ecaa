#include "platform/gst/graph_events.h"

#include <algorithm>
#include <string>
#include <utility>

namespace solka {
namespace {

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

std::string FailureText(GstMessage* message, bool& missingPlugin) {
  missingPlugin = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ELEMENT && IsMissingPlugin(message);
  if (missingPlugin) return MissingPluginText(message);
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) return ErrorText(message);
  return {};
}

void GraphEvents::Ready() {
  {
    std::lock_guard lock(mutex_);
    ready_ = true;
  }
  changed_.notify_all();
}

void GraphEvents::Failure(const std::string& reason, bool missingPlugin) {
  bool queue = false;
  {
    std::lock_guard lock(mutex_);
    if (started_) {
      queue = !missingPlugin;
    } else {
      failed_ = true;
      // The first error is the cause; what follows is its consequences.
      if (startFailure_.empty()) startFailure_ = reason;
    }
  }
  changed_.notify_all();
  if (queue) Queue({MediaEvent::Kind::Failed, reason});
}

void GraphEvents::Ended() {
  Queue({MediaEvent::Kind::Ended, {}});
}

void GraphEvents::OutputLost(const std::string& reason) {
  {
    std::lock_guard lock(mutex_);
    if (started_) {
      lost_ = reason.empty() ? "the output failed" : reason;
    } else {
      failed_ = true;
      if (startFailure_.empty()) startFailure_ = reason;
    }
  }
  changed_.notify_all();
  Notify();
}

bool GraphEvents::TakeLost(std::string& reason) {
  std::lock_guard lock(mutex_);
  if (lost_.empty()) return false;
  reason = std::exchange(lost_, {});
  return true;
}

bool GraphEvents::Started() {
  std::lock_guard lock(mutex_);
  return started_;
}

bool GraphEvents::Failed() {
  std::lock_guard lock(mutex_);
  return failed_;
}

void GraphEvents::Queue(MediaEvent event) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(event));
  }
  Notify();
}

void GraphEvents::Notify() {
  std::weak_ptr<GraphEvents> weak = weak_from_this();
  post([weak] {
    const auto self = weak.lock();
    if (!self || !self->notify) return;
    // A copy: the handler may release the graph, and with it this notification.
    const auto handler = self->notify;
    handler();
  });
}

bool GraphEvents::WaitUntilReady(std::chrono::milliseconds timeout,
                                 const std::function<bool()>& giveUp) {
  constexpr std::chrono::milliseconds kSlice{100};
  const auto end = std::chrono::steady_clock::now() + timeout;
  std::unique_lock lock(mutex_);
  while (!ready_ && !failed_ && std::chrono::steady_clock::now() < end) {
    changed_.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                                kSlice, end - std::chrono::steady_clock::now()));
    if (ready_ || failed_) break;
    lock.unlock();
    const bool stop = giveUp && giveUp();
    lock.lock();
    if (stop) break;
  }
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
