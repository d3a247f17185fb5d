// ReceiveBuffer: every byte the serial link receives is appended here, block
// by block, and the protocol steps read it to judge whether a reply is
// complete (a marker such as "|=OK" or "W OK", or a quiet period).
//
// Threading: the port's I/O thread appends; one protocol thread (the UI
// thread or a worker) reads, clears and waits. Every member is safe to call
// from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace panelcraft {

class ReceiveBuffer {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  // One receive block: appended, ReceivedFlag set, waiters woken.
  void Append(std::string_view bytes);
  void Clear();
  std::string Text() const;
  bool Empty() const;
  size_t Size() const;
  bool Contains(std::string_view marker) const;

  // ReceivedFlag: set by every Append, cleared by the protocol.
  bool ReceivedFlag() const;
  void ClearReceivedFlag();

  // Counts the blocks appended so far; a waiter compares it to see news.
  uint64_t Generation() const;
  // Blocks until a block arrives after `seen`, Wake is called, or `until`.
  void WaitForNews(uint64_t seen, TimePoint until) const;
  // Wakes every waiter (a stop request, say).
  void Wake();

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::string bytes_;
  bool flag_ = false;
  uint64_t generation_ = 0;
  uint64_t wakes_ = 0;
};

}  // namespace panelcraft
