// A serial link without real time for protocol tests: a Transport whose
// replies are scheduled on a clock of its own. Waits jump straight to the
// next reply (or to their deadline), so a 12-second timeout costs nothing.
// A responder sees every write; EmulatedDisplay answers as a display does.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/text.h"
#include "device/receive_buffer.h"
#include "device/transport.h"
#include "emu/display_emulator.h"

namespace panelcraft::test {

class ScriptedLink : public Transport, public Clock {
 public:
  std::set<std::string> Openable;   // names that open
  std::vector<std::string> System;  // the system's port list
  std::vector<std::string> Opened;  // "name@baud" per opening
  struct Write {
    int32_t Baud;
    std::string Bytes;
    int64_t At;
  };
  std::vector<Write> Sent;
  std::function<void(const std::string& bytes)> Respond;
  int64_t Now = 0;

  // A reply block arriving ms after now.
  void ReplyAfter(int64_t ms, std::string bytes) { events_.emplace(Now + ms, std::move(bytes)); }

  std::string Open(const std::string& name, int32_t baud) override {
    Opened.push_back(name + "@" + std::to_string(baud));
    if (!Openable.count(name)) return Gbk("打开串口出错\r\n此串口不存在或被占用");
    open_ = true;
    baud_ = baud;
    return {};
  }
  void Close() override {
    open_ = false;
    events_.clear();
  }
  bool IsOpen() const override { return open_; }
  int32_t Baud() const override { return baud_; }
  void SetReadInterval(int32_t ms) override { Interval = ms; }
  void SendBytes(std::string_view bytes) override {
    if (!open_ || bytes.empty()) return;
    Sent.push_back({baud_, std::string(bytes), Now});
    if (Respond) Respond(std::string(bytes));
  }
  std::vector<std::string> SystemPortNames() override { return System; }

  int64_t NowMs() override { return Now; }
  bool WaitUntil(ReceiveBuffer&, const std::function<bool()>& ready, int64_t deadline) override {
    for (;;) {
      if (ready()) return true;
      const auto next = events_.begin();
      if (next == events_.end() || next->first > deadline) {
        Now = std::max(Now, deadline);
        return ready();
      }
      Now = std::max(Now, next->first);
      const std::string bytes = next->second;
      events_.erase(next);
      if (open_ && Received) Received(bytes);
    }
  }

  // The texts written, in order (data blocks included).
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Write& w : Sent) texts.push_back(w.Bytes);
    return texts;
  }

  int32_t Interval = -1;

 private:
  bool open_ = false;
  int32_t baud_ = 0;
  std::multimap<int64_t, std::string> events_;
};

// The display model answering on a scripted link, 2 ms after each write,
// and only while the link runs at the display's rate.
struct EmulatedDisplay {
  emu::DisplayEmulator Display;
  ScriptedLink& Link;
  int64_t LatencyMs = 2;
  // Called with each write before the display sees it; may change the bytes.
  std::function<void(std::string& bytes)> OnTheLine;

  EmulatedDisplay(ScriptedLink& link, const emu::Options& options) : Display(options), Link(link) {
    Link.Respond = [this](const std::string& sent) {
      if (Link.Baud() != Display.Baud()) return;
      std::string bytes = sent;
      if (OnTheLine) OnTheLine(bytes);
      for (const auto& reply : Display.Feed(bytes, Link.Now)) Link.ReplyAfter(LatencyMs + reply.DelayMs, reply.Bytes);
    };
  }
};

}  // namespace panelcraft::test
