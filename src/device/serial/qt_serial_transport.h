// The serial port over Qt Serial Port: real ports (USB adapters, COM ports)
// and pseudo-terminals alike. One I/O thread owns the QSerialPort: it writes
// what SendBytes queued and reads in blocks of at most 4096 bytes, each
// completed by the read interval (a quiet period) or by filling up, and
// hands every block to Received on that thread.
//
// Threading: the Transport calls come from one protocol thread at a time;
// Open and Close wait for the I/O thread, SendBytes only queues.
#pragma once

#include <memory>

#include "device/transport.h"

namespace panelcraft {

class QtSerialTransport : public Transport {
 public:
  QtSerialTransport();
  ~QtSerialTransport() override;

  std::string Open(const std::string& name, int32_t baud) override;
  void Close() override;
  bool IsOpen() const override;
  int32_t Baud() const override;
  void SetReadInterval(int32_t ms) override;
  void SendBytes(std::string_view bytes) override;
  std::vector<std::string> SystemPortNames() override;

  struct Io;

 private:
  std::unique_ptr<Io> io_;
};

}  // namespace panelcraft
