// The serial link as the core sees it: a Transport that moves bytes and a
// Clock that measures milliseconds and waits on the receive buffer. The real
// port lives in panelcraft_serial (Qt Serial Port); the tests plug in a
// scripted transport with a clock of its own, so protocol steps run without
// real time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace panelcraft {

class ReceiveBuffer;

// Threading: Open, Close, SetReadInterval and SendBytes are called from one
// protocol thread at a time. Received is called on the transport's own
// thread (or, for a scripted transport, inside the clock's waits), one call
// per receive block of at most ReceiveBlockBytes bytes.
class Transport {
 public:
  static constexpr size_t ReceiveBlockBytes = 4096;
  static constexpr int32_t DefaultReadInterval = 3;  // ms

  virtual ~Transport() = default;

  // Opens the named port at `baud`: 8N1, DTR and RTS on where the port has
  // modem lines, XON/XOFF both ways, exclusive use, whatever the driver still
  // held discarded. Returns an empty text on success, else the reason (GBK).
  virtual std::string Open(const std::string& name, int32_t baud) = 0;
  // Closes the port; nothing happens when it is closed.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // The rate of the open port (or of the last opening).
  virtual int32_t Baud() const = 0;
  // The quiet period in ms that completes a receive block.
  virtual void SetReadInterval(int32_t ms) = 0;
  // Queues bytes for sending and returns at once; nothing is sent while the
  // port is closed or when `bytes` is empty.
  virtual void SendBytes(std::string_view bytes) = 0;
  // The serial ports the system reports, in no particular order.
  virtual std::vector<std::string> SystemPortNames() = 0;

  // Receive blocks go here; set before opening.
  std::function<void(std::string_view block)> Received;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a counter that never goes backwards.
  virtual int64_t NowMs() = 0;
  // Waits until ready() holds or NowMs() reaches deadlineMs. ready() is
  // checked at the start, after every receive block, and at least every
  // 10 ms (so a stop request from another thread is seen). Returns ready().
  virtual bool WaitUntil(ReceiveBuffer& buffer, const std::function<bool()>& ready, int64_t deadlineMs) = 0;
};

// The real clock: std::chrono::steady_clock.
class SteadyClock : public Clock {
 public:
  int64_t NowMs() override;
  bool WaitUntil(ReceiveBuffer& buffer, const std::function<bool()>& ready, int64_t deadlineMs) override;
};

// Waits `ms` milliseconds; receive blocks keep arriving meanwhile.
void WaitMs(Clock& clock, ReceiveBuffer& buffer, int64_t ms);

// The port list as the connection window shows it: the system's names plus
// those of $PANELCRAFT_EXTRA_PORTS (colon-separated), without repeats, sorted
// ascending as text ignoring case (COM10 before COM2).
std::vector<std::string> SortedPortNames(std::vector<std::string> systemNames);

}  // namespace panelcraft
