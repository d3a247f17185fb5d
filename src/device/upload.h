// Upload: the logic of the upload window ("sync") without its widgets. It
// asks the display for the check values of a range of 4096-byte sectors
// (";RCPG("), compares them with the image's, erases sectors that are blank
// in the image (";EMEM(") and sends the others that differ as four encoded
// 1024-byte blocks each (";BUP("). Every operation blocks until the upload
// ends, so the window runs it on a worker thread; progress and log lines
// come back through the hooks, and StopRequest (Tglobal) ends it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace panelcraft {

class DeviceLink;
class Tglobal;

class Upload {
 public:
  static constexpr uint32_t SectorBytes = 4096;
  static constexpr uint32_t PagesPerSector = 16;  // 256-byte pages
  static constexpr uint32_t TableSize = 8192;     // entries of the sector tables
  static constexpr uint32_t GridCells = 4096;     // 64 x 64
  static constexpr int64_t ChecksumTimeoutMs = 12000;
  static constexpr int64_t StatementTimeoutMs = 1000;
  static constexpr int64_t BlockTimeoutMs = 3000;
  static constexpr int64_t EraseTimeoutMs = 3000;
  static constexpr int64_t AgainPauseMs = 300;
  // Consecutive "OKOK" answers for one sector before the upload gives up.
  static constexpr int ResendLimit = 20;

  // Cell states of the sector grid.
  enum CellState : uint8_t { Outside = 0, Same = 1, Differs = 2, Done = 3 };

  Upload(Tglobal& g, DeviceLink& link);

  // Tables kept from one upload to the next, indexed by sector.
  std::vector<uint32_t> DeviceChecksums;
  std::vector<uint32_t> LocalChecksums;
  std::vector<uint8_t> SectorStates;
  bool HeaderSectorSent = false;          // sector 1 (the font header) was sent
  bool Force = false;                     // "强制覆盖": send every sector of the range
  std::array<uint8_t, GridCells> Grid{};  // the cells as drawn
  std::string Status;                     // Label13 (GBK)
  bool StopButtonEnabled = false;
  std::vector<std::string> Log;  // rxmemo's lines after "rxmemo" (GBK)

  // Counts of the sectors of the last range.
  struct Progress {
    uint32_t Total = 0;
    uint32_t Sent = 0;
    uint32_t Erased = 0;
    uint32_t Skipped = 0;  // same as on the display
  } Counts;

  std::function<void(const std::string& line)> LogAdded;
  std::function<void()> Changed;  // status, grid or counts changed

  // The window is shown (at start-up): received bytes stop going to the
  // console's log; the upload reads ReceiveBuffer itself.
  void FormShow();

  // The four buttons; each refreshes the image first. They return whether
  // the upload ran to its end.
  bool Sync();            // "开始同步": every sector but sector 0
  bool UploadFonts();     // "上传24~64点阵小字库"
  bool UploadPages();     // "上传页面信息"
  bool UploadPictures();  // "上传图形信息"

  // The upload of pages firstPage .. firstPage + pageCount - 1, in whole
  // sectors. True when it ran to its end.
  bool UploadRange(int32_t firstPage, int32_t pageCount);
  // Sends sector s as four blocks. True when done or stopped; false when it
  // has to be sent again (after "OKOK") or the link failed.
  bool SendSector(uint32_t s);
  // Fills DeviceChecksums from a check value reply; sectors beyond the
  // tables are passed over.
  void ParseChecksumReply(std::string_view text);
  void CompareAllSectors();
  void DrawSectorGrid(uint32_t first, uint32_t last);

 private:
  enum class Button { Sync, Fonts, Pages, Pictures };
  bool RunButton(Button button);
  bool Prepare();  // refresh; false when there is no link or no image
  void AddLog(const std::string& line);
  void SetCell(uint32_t s, CellState state);
  void NoReply();
  void Notify();
  bool WaitFor(const std::function<bool()>& ready, int64_t timeoutMs);

  Tglobal& g_;
  DeviceLink& link_;
  bool again_ = false;  // the last SendSector got "OKOK"
};

}  // namespace panelcraft
