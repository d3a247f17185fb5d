#include "device/serial/qt_serial_transport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>

#if defined(__linux__)
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

#include "app/text.h"

namespace panelcraft {

struct QtSerialTransport::Io {
  QtSerialTransport& owner;
  QThread thread;
  QObject* context = nullptr;  // lives in `thread`; parent of port and timer
  QSerialPort* port = nullptr;
  QTimer* quiet = nullptr;
  QByteArray pending;
  std::atomic<bool> open{false};
  std::atomic<int32_t> baud{115200};
  std::atomic<int32_t> interval{Transport::DefaultReadInterval};

  explicit Io(QtSerialTransport& o) : owner(o) {}

  // Runs f on the I/O thread and waits for it (directly when called there,
  // from a Received handler, say, which a blocking call would deadlock).
  void Run(const std::function<void()>& f) {
    if (QThread::currentThread() == &thread)
      f();
    else
      QMetaObject::invokeMethod(context, f, Qt::BlockingQueuedConnection);
  }

  void Deliver(QByteArray bytes) {
    if (bytes.isEmpty() || !owner.Received) return;
    owner.Received(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  }

  void Flush() {
    quiet->stop();
    QByteArray block;
    block.swap(pending);
    Deliver(block);
  }

  void ReadReady() {
    pending += port->readAll();
    while (static_cast<size_t>(pending.size()) >= Transport::ReceiveBlockBytes) {
      const QByteArray block = pending.left(static_cast<qsizetype>(Transport::ReceiveBlockBytes));
      pending.remove(0, static_cast<qsizetype>(Transport::ReceiveBlockBytes));
      Deliver(block);
    }
    if (!pending.isEmpty())
      quiet->start(std::max(1, interval.load()));
    else
      quiet->stop();
  }

  void Setup() {
    port = new QSerialPort(context);
    quiet = new QTimer(context);
    quiet->setSingleShot(true);
    quiet->setTimerType(Qt::PreciseTimer);
    QObject::connect(quiet, &QTimer::timeout, context, [this] { Flush(); });
    QObject::connect(port, &QSerialPort::readyRead, context, [this] { ReadReady(); });
    QObject::connect(port, &QSerialPort::errorOccurred, context, [this](QSerialPort::SerialPortError error) {
      // The device went away (unplugged adapter, the far end of a
      // pseudo-terminal hung up): what came before still counts.
      if (error == QSerialPort::ResourceError && port->isOpen()) {
        Flush();
        port->close();
        open = false;
      }
    });
  }

  std::string OpenPort(const std::string& name, int32_t rate) {
    if (port->isOpen()) {
      Flush();
      port->close();
    }
    port->setPortName(QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size())));
    port->setBaudRate(rate);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::SoftwareControl);
    if (!port->open(QIODevice::ReadWrite)) {
      const QSerialPort::SerialPortError error = port->error();
      const std::string reason = port->errorString().toStdString();
      port->clearError();
      if (error == QSerialPort::OpenError) return Gbk("此串口已经打开");
      if (error == QSerialPort::DeviceNotFoundError || error == QSerialPort::PermissionError)
        return Gbk("打开串口出错\r\n此串口不存在或被占用");
      return Gbk("打开串口出错\r\n") + Utf8ToGbk(reason);
    }
    // A pseudo-terminal has no modem lines: failing to set them is no error.
    port->setDataTerminalReady(true);
    port->setRequestToSend(true);
    port->clearError();
#if defined(__linux__)
    // USB adapters hold received bytes for up to 16 ms unless told not to;
    // this protocol waits for a reply after every block.
    serial_struct serial{};
    const int fd = static_cast<int>(port->handle());
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
      serial.flags |= ASYNC_LOW_LATENCY;
      ::ioctl(fd, TIOCSSERIAL, &serial);
    }
#endif
    port->clear(QSerialPort::AllDirections);
    pending.clear();
    baud = rate;
    open = true;
    return {};
  }

  void ClosePort() {
    if (port->isOpen()) {
      Flush();
      port->close();
    }
    pending.clear();
    open = false;
  }
};

QtSerialTransport::QtSerialTransport() : io_(std::make_unique<Io>(*this)) {
  // Qt's event loops need the application object; a program without one
  // (the command-line tool, the tests) gets it here, once.
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "panelcraft";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
  }
  io_->context = new QObject;
  io_->context->moveToThread(&io_->thread);
  io_->thread.start();
  io_->Run([this] { io_->Setup(); });
}

QtSerialTransport::~QtSerialTransport() {
  io_->Run([this] {
    io_->ClosePort();
    delete io_->port;
    delete io_->quiet;
  });
  io_->thread.quit();
  io_->thread.wait();
  delete io_->context;
}

std::string QtSerialTransport::Open(const std::string& name, int32_t baud) {
  std::string error;
  io_->Run([&] { error = io_->OpenPort(name, baud); });
  return error;
}

void QtSerialTransport::Close() {
  io_->Run([this] { io_->ClosePort(); });
}

bool QtSerialTransport::IsOpen() const { return io_->open; }

int32_t QtSerialTransport::Baud() const { return io_->baud; }

void QtSerialTransport::SetReadInterval(int32_t ms) { io_->interval = ms; }

void QtSerialTransport::SendBytes(std::string_view bytes) {
  if (bytes.empty() || !io_->open) return;
  QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QMetaObject::invokeMethod(
      io_->context,
      [this, data] {
        if (io_->port->isOpen()) io_->port->write(data);
      },
      Qt::QueuedConnection);
}

std::vector<std::string> QtSerialTransport::SystemPortNames() {
  std::vector<std::string> names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    names.push_back(Utf8ToGbk(info.portName().toStdString()));
  return names;
}

}  // namespace panelcraft
