#include "device/receive_buffer.h"

namespace panelcraft {

void ReceiveBuffer::Append(std::string_view bytes) {
  {
    std::lock_guard lock(mutex_);
    bytes_.append(bytes);
    flag_ = true;
    ++generation_;
  }
  changed_.notify_all();
}

void ReceiveBuffer::Clear() {
  std::lock_guard lock(mutex_);
  bytes_.clear();
}

std::string ReceiveBuffer::Text() const {
  std::lock_guard lock(mutex_);
  return bytes_;
}

bool ReceiveBuffer::Empty() const {
  std::lock_guard lock(mutex_);
  return bytes_.empty();
}

size_t ReceiveBuffer::Size() const {
  std::lock_guard lock(mutex_);
  return bytes_.size();
}

bool ReceiveBuffer::Contains(std::string_view marker) const {
  std::lock_guard lock(mutex_);
  return bytes_.find(marker) != std::string::npos;
}

bool ReceiveBuffer::ReceivedFlag() const {
  std::lock_guard lock(mutex_);
  return flag_;
}

void ReceiveBuffer::ClearReceivedFlag() {
  std::lock_guard lock(mutex_);
  flag_ = false;
}

uint64_t ReceiveBuffer::Generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

void ReceiveBuffer::WaitForNews(uint64_t seen, TimePoint until) const {
  std::unique_lock lock(mutex_);
  const uint64_t wakes = wakes_;
  changed_.wait_until(lock, until, [&] { return generation_ != seen || wakes_ != wakes; });
}

void ReceiveBuffer::Wake() {
  {
    std::lock_guard lock(mutex_);
    ++wakes_;
  }
  changed_.notify_all();
}

}  // namespace panelcraft
