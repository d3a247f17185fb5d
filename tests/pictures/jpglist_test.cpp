// The picture store and the picture library: exact index and pixel bytes in
// both layouts, list order and tidying, previews, GIF strips and the ways a
// folder can go wrong.
#include <gtest/gtest.h>

#include "app/text.h"
#include "pictures/gif_strip.h"
#include "pictures/jpglist.h"
#include "pictures/picture_fixtures.h"
#include "pictures/picture_library.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

using test::Rgb;

const Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

class PictureLibraryTest : public ::testing::Test {
 protected:
  void Put(const std::string& name, const std::string& bytes) { test::WriteFile(dir_ / "pic" / name, bytes); }
  std::vector<std::string> Hints(const PictureLibrary& library) {
    std::vector<std::string> hints;
    for (const PictureTile& tile : library.Tiles) hints.push_back(tile.Hint);
    return hints;
  }
  test::TempDir dir_;
  test::RecordingMessages messages_;
};

TEST_F(PictureLibraryTest, RomLayoutBytes) {
  // White then black: white would be FF FF and becomes F7 DE.
  Put("1.gif", test::MakeGif(2, 1, {kWhite, kBlack}, {{0, 0, 2, 1, {0, 1}}}));
  // 2 x 2, column by column: (0,0) red, (0,1) green, (1,0) blue, (1,1) white.
  Put("2.gif", test::MakeGif(2, 2, {kRed, kBlue, kGreen, kWhite}, {{0, 0, 2, 2, {0, 1, 2, 3}}}));
  PictureLibrary library(PictureLibraryKind::Project, dir_ / "pic", dir_.path());
  library.RefreshList(messages_);
  library.GeneratePictureData(messages_);
  const std::string idx = test::ReadFile(dir_ / "pic.idx");
  ASSERT_EQ(idx.size(), 4096u);
  EXPECT_EQ(idx.substr(0, 8), std::string(8, '\xFF'));
  EXPECT_EQ(idx.substr(8, 8), Bytes({0x00, 0x02, 0x00, 0x01, 0x00, 0x10, 0x00, 0x00}));
  EXPECT_EQ(idx.substr(16, 8), Bytes({0x00, 0x02, 0x00, 0x02, 0x00, 0x10, 0x00, 0x04}));  // right after picture 1
  EXPECT_EQ(idx.substr(24), std::string(4096 - 24, '\xFF'));
  EXPECT_EQ(test::ReadFile(dir_ / "pic.sbin"),
            Bytes({0xF7, 0xDE, 0x00, 0x00, 0xF8, 0x00, 0x07, 0xE0, 0x00, 0x1F, 0xF7, 0xDE}));
  EXPECT_EQ(messages_.Shown, std::vector<std::string>{Gbk("生成完成!")});
}

TEST_F(PictureLibraryTest, ColourBytesAreNeverFF) {
  struct Case {
    Rgb colour;
    int hi, lo;
  } cases[] = {{{255, 255, 255}, 0xF7, 0xDE},       {{255, 255, 0}, 0xF7, 0xE0}, {{0, 255, 255}, 0x07, 0xDE},
               {{248, 224, 24}, 0xFF & 0xF7, 0x03}, {{8, 28, 7}, 0x08, 0xE0},    {{0, 0, 0}, 0x00, 0x00}};
  for (const Case& c : cases) {
    Tjpglist store;
    store.Clear();
    ASSERT_TRUE(store.AddGif(test::SolidGif(1, 1, c.colour)));
    ASSERT_EQ(store.ConvertPicture(1, 0), Tjpglist::Converted::Written);
    EXPECT_EQ(store.DataArea[0], c.hi) << int(c.colour[0]) << "," << int(c.colour[1]) << "," << int(c.colour[2]);
    EXPECT_EQ(store.DataArea[1], c.lo) << int(c.colour[0]) << "," << int(c.colour[1]) << "," << int(c.colour[2]);
  }
}

TEST_F(PictureLibraryTest, SdLayoutBytes) {
  Put("1.jpg", std::string());  // replaced below: the SD library reads JPEG files only
  Put("1.jpg", test::SolidJpeg(5, 2, kWhite));
  Put("2.jpg", test::SolidJpeg(3, 1, kBlack));
  Put("3.gif", test::SolidGif(1, 1, kWhite));  // not listed
  PictureLibrary library(PictureLibraryKind::SdCard, dir_ / "pic", dir_ / "sd");
  library.RefreshList(messages_);
  ASSERT_EQ(Hints(library), (std::vector<std::string>{"1.jpg", "2.jpg"}));
  EXPECT_EQ(library.PictureNumber(1), 1025);
  library.GeneratePictureData(messages_);
  const std::string idx = test::ReadFile(dir_ / "sd" / "pic.idx");
  const std::string data = test::ReadFile(dir_ / "sd" / "pic.sbin");
  ASSERT_EQ(idx.size(), 4096u);
  EXPECT_EQ(idx.substr(0, 8), Bytes({0x00, 0x05, 0x00, 0x02, 0x00, 0x20, 0x00, 0x00}));  // 8192, little-endian
  EXPECT_EQ(idx.substr(8, 8), Bytes({0x00, 0x03, 0x00, 0x01, 0x00, 0x22, 0x00, 0x00}));  // 8192 + 512
  EXPECT_EQ(idx.substr(16, 8), std::string(8, '\xFF'));
  ASSERT_EQ(data.size(), 512u + 6u);                              // no filler after the last picture
  EXPECT_EQ(data.substr(0, 4), Bytes({0xDE, 0xF7, 0xDE, 0xF7}));  // low byte first
  EXPECT_EQ(data.substr(20, 512 - 20), std::string(492, '\xFF'));
  EXPECT_EQ(data.substr(512), std::string(6, '\0'));
  EXPECT_EQ(messages_.Shown, std::vector<std::string>{Gbk("图片生成完成!")});
}

TEST_F(PictureLibraryTest, EmptyFolderGivesEmptyData) {
  PictureLibrary library(PictureLibraryKind::Project, dir_ / "pic", dir_.path());
  library.RefreshList(messages_);
  library.GeneratePictureData(messages_);
  EXPECT_EQ(test::ReadFile(dir_ / "pic.sbin"), "");
  EXPECT_EQ(test::ReadFile(dir_ / "pic.idx"), std::string(4096, '\xFF'));
}

TEST_F(PictureLibraryTest, ProjectOrderAndTidying) {
  // Each file's width tells it apart after renaming.
  Put("1.jpg", test::SolidJpeg(1, 1, kRed));
  Put("b.jpg", test::SolidJpeg(2, 1, kRed));
  Put("2.gif", test::SolidGif(3, 1, kRed));
  Put("a.gif", test::SolidGif(4, 1, kRed));
  Put("600.jpg", test::SolidJpeg(5, 1, kRed));
  Put("0.jpg", test::SolidJpeg(6, 1, kRed));    // numbered but never listed: reported
  Put("007.gif", test::SolidGif(6, 1, kRed));   // the same
  Put("_@9.jpg", test::SolidJpeg(6, 1, kRed));  // left by tidying: silent
  Put("notes.txt", "x");
  PictureLibrary library(PictureLibraryKind::Project, dir_ / "pic", dir_.path());
  library.RefreshList(messages_);
  EXPECT_EQ(Hints(library), (std::vector<std::string>{"1.jpg", "2.gif", "a.gif", "600.jpg", "b.jpg"}));
  ASSERT_EQ(messages_.Shown.size(), 2u);
  EXPECT_NE(messages_.Shown[0].find("007.gif"), std::string::npos);
  EXPECT_NE(messages_.Shown[1].find("0.jpg"), std::string::npos);

  ASSERT_TRUE(library.MoveTile(4, 0));  // b.jpg first
  EXPECT_FALSE(library.MoveTile(5, 0));
  library.TidyFileNames(messages_);
  EXPECT_EQ(Hints(library), (std::vector<std::string>{"1.jpg", "2.jpg", "3.gif", "4.gif", "5.jpg"}));
  std::vector<int> widths;
  for (const PictureTile& tile : library.Tiles) widths.push_back(library.Store.FullPictures[tile.Slot].Width);
  EXPECT_EQ(widths, (std::vector<int>{2, 1, 3, 4, 5}));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "pic" / "0.jpg"));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "pic" / "_@9.jpg"));
}

TEST_F(PictureLibraryTest, TidyingNeverOverwritesATakenName) {
  Put("b.jpg", test::SolidJpeg(2, 1, kRed));
  Put("_@1.jpg", test::SolidJpeg(7, 1, kRed));  // already holds the detour name of b.jpg
  PictureLibrary library(PictureLibraryKind::Project, dir_ / "pic", dir_.path());
  library.RefreshList(messages_);
  library.TidyFileNames(messages_);
  // b.jpg keeps its name and nothing is lost; the old detour file took "1.jpg".
  EXPECT_EQ(Hints(library), (std::vector<std::string>{"1.jpg", "b.jpg"}));
  EXPECT_EQ(library.Store.FullPictures[library.Tiles[0].Slot].Width, 7);
}

TEST_F(PictureLibraryTest, SdOrderAndTidying) {
  for (const char* name : {"2.jpg", "1.jpg", "logo.jpg", "600.jpg", "3.5.jpg", "-3.jpg", "_@1.jpg", "512.jpg"})
    Put(name, test::SolidJpeg(1, 1, kBlue));
  PictureLibrary library(PictureLibraryKind::SdCard, dir_ / "pic", dir_.path());
  library.RefreshList(messages_);
  EXPECT_EQ(Hints(library), (std::vector<std::string>{"1.jpg", "2.jpg", "512.jpg", "600.jpg", "logo.jpg"}));
  library.TidyFileNames(messages_);
  EXPECT_EQ(Hints(library), (std::vector<std::string>{"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg"}));
}

TEST_F(PictureLibraryTest, UndecodableFilesKeepTheirPlace) {
  const std::string jpeg = test::SolidJpeg(4, 4, kGreen);
  Put("1.jpg", test::SolidJpeg(2, 1, kRed));
  Put("2.jpg", jpeg.substr(0, jpeg.size() / 2));  // truncated
  Put("3.gif", "GIF89a but nothing more");
  Put("4.jpg", "not a picture at all");
  Put("5.gif", test::SolidGif(1, 1, kBlack));
  PictureLibrary library(PictureLibraryKind::Project, dir_ / "pic", dir_.path());
  library.RefreshList(messages_);
  ASSERT_EQ(library.Tiles.size(), 5u);
  ASSERT_EQ(messages_.Shown.size(), 3u);
  EXPECT_NE(messages_.Shown[0].find("2.jpg"), std::string::npos);
  EXPECT_NE(messages_.Shown[1].find("3.gif"), std::string::npos);
  EXPECT_NE(messages_.Shown[2].find("4.jpg"), std::string::npos);
  EXPECT_EQ(library.Tiles[1].Slot, -1);
  EXPECT_EQ(library.Tiles[4].Slot, 1);
  library.GeneratePictureData(messages_);
  const std::string idx = test::ReadFile(dir_ / "pic.idx");
  EXPECT_EQ(idx.substr(16, 24), std::string(24, '\xFF'));                                 // pictures 2 to 4 free
  EXPECT_EQ(idx.substr(40, 8), Bytes({0x00, 0x01, 0x00, 0x01, 0x00, 0x10, 0x00, 0x04}));  // picture 5 after picture 1
}

TEST_F(PictureLibraryTest, MoreThan512Pictures) {
  const std::string gif = test::SolidGif(1, 1, kBlack);
  for (int n = 1; n <= 512; ++n) Put(std::to_string(n) + ".gif", gif);
  Put("extra.gif", gif);
  Put("more.jpg", test::SolidJpeg(1, 1, kRed));
  PictureLibrary library(PictureLibraryKind::Project, dir_ / "pic", dir_.path());
  library.RefreshList(messages_);
  EXPECT_EQ(library.Tiles.size(), 512u);
  EXPECT_EQ(library.Store.Count, 512);
  ASSERT_EQ(messages_.Shown.size(), 2u);
  EXPECT_NE(messages_.Shown[0].find("extra.gif"), std::string::npos);
  EXPECT_NE(messages_.Shown[1].find("more.jpg"), std::string::npos);
}

TEST(TjpglistTest, TooLargePicturesAreLeftOut) {
  struct Case {
    int w, h;
    Tjpglist::Converted expected;
  } cases[] = {{4999, 1, Tjpglist::Converted::Written},
               {5000, 1, Tjpglist::Converted::TooLarge},
               {1, 1499, Tjpglist::Converted::Written},
               {1, 1500, Tjpglist::Converted::TooLarge}};
  for (const Case& c : cases) {
    Tjpglist store;
    store.Clear();
    ASSERT_TRUE(store.AddGif(test::SolidGif(c.w, c.h, kBlack)));
    EXPECT_EQ(store.ConvertPicture(1, 0), c.expected) << c.w << "x" << c.h;
    const bool written = c.expected == Tjpglist::Converted::Written;
    EXPECT_EQ(store.DataPos, written ? uint32_t(c.w * c.h * 2) : 0u);
    EXPECT_EQ(store.IndexArea[8] == 0xFF, !written);
  }
}

// Every pixel lands in its column, whatever the size: pictures wider and
// taller than the blocks the conversion works in, with partial blocks at the
// right and bottom, from a GIF (one pass) and a JPEG (decoded in bands).
TEST(TjpglistTest, ColumnOrderOfLargerPictures) {
  auto expectColumns = [](const Tjpglist& store, const Bitmap& picture, int mode, const std::string& what) {
    int wrong = 0;
    for (int x = 0; x < picture.Width; ++x)
      for (int y = 0; y < picture.Height; ++y) {
        const uint8_t* p = picture.At(x, y);
        int hi = (p[0] & 0xF8) | (p[1] >> 5), lo = ((p[1] << 3) & 0xE0) | (p[2] >> 3);
        if (hi == 0xFF) hi = 0xF7;
        if (lo == 0xFF) lo = 0xDE;
        const size_t at = 2 * (static_cast<size_t>(x) * picture.Height + y);
        const int first = mode == 0 ? hi : lo, second = mode == 0 ? lo : hi;
        if (store.DataArea[at] != first || store.DataArea[at + 1] != second) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << what;
  };
  std::vector<Rgb> palette;
  for (int i = 0; i < 256; ++i)
    palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
  for (auto [w, h] : {std::pair{19, 17}, {8, 8}, {33, 9}}) {
    std::vector<uint8_t> indices(static_cast<size_t>(w * h));
    for (int i = 0; i < w * h; ++i) indices[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 37 + i / w);
    const std::string gif = test::MakeGif(w, h, palette, {{0, 0, w, h, indices}});
    for (int mode : {0, 1}) {
      Tjpglist store;
      store.Clear();
      store.StoreMode = mode;
      ASSERT_TRUE(store.AddGif(gif));
      ASSERT_EQ(store.ConvertPicture(1, 0), Tjpglist::Converted::Written);
      expectColumns(store, store.FullPictures[0].Strip, mode, "gif " + std::to_string(w) + "x" + std::to_string(h));
    }
  }
  // 21 x 75 is converted as it is decoded; 601 x 443 is large enough to be
  // decoded and written on two threads.
  for (auto [w, h] : {std::pair{21, 75}, {601, 443}}) {
    Bitmap photo(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t* p = photo.At(x, y);
        p[0] = static_cast<uint8_t>(x * 12);
        p[1] = static_cast<uint8_t>(y * 3);
        p[2] = static_cast<uint8_t>((x * y) & 0xFF);
      }
    const std::string jpeg = EncodeJpeg(photo, 90);
    for (int mode : {0, 1}) {
      Tjpglist store;
      store.Clear();
      store.StoreMode = mode;
      ASSERT_TRUE(store.AddJpeg(jpeg));
      ASSERT_EQ(store.ConvertPicture(1, 0), Tjpglist::Converted::Written);
      expectColumns(store, DecodeJpeg(jpeg), mode, "jpeg " + std::to_string(w) + "x" + std::to_string(h));
    }
    // Damage found while converting leaves the entry free and the store usable.
    Tjpglist store;
    store.Clear();
    ASSERT_TRUE(store.AddJpeg(jpeg));
    store.FullPictures[0].Jpeg.resize(jpeg.size() / 2);
    EXPECT_THROW(store.ConvertPicture(1, 0), PictureError);
    EXPECT_EQ(store.IndexArea[8], 0xFF);
    EXPECT_EQ(store.DataPos, 0u);
    ASSERT_TRUE(store.AddGif(test::SolidGif(1, 1, kBlack)));
    EXPECT_EQ(store.ConvertPicture(1, 1), Tjpglist::Converted::Written);
  }
}

TEST(TjpglistTest, FullDataAreaStopsCleanly) {
  Tjpglist store;
  store.Clear();
  ASSERT_TRUE(store.AddGif(test::SolidGif(2, 1, kBlack)));
  ASSERT_TRUE(store.AddGif(test::SolidGif(1, 1, kBlack)));
  store.DataPos = Tjpglist::DataAreaSize - 2;
  EXPECT_EQ(store.ConvertPicture(1, 0), Tjpglist::Converted::Full);
  EXPECT_EQ(store.IndexArea[8], 0xFF);
  EXPECT_EQ(store.DataArea[Tjpglist::DataAreaSize - 2], 0xFF);
  EXPECT_EQ(store.DataPos, Tjpglist::DataAreaSize - 2);
  EXPECT_EQ(store.ConvertPicture(2, 1), Tjpglist::Converted::Written);  // exactly the last two bytes
  EXPECT_EQ(store.DataPos, Tjpglist::DataAreaSize);
  EXPECT_EQ(store.DataArea[Tjpglist::DataAreaSize - 1], 0x00);
  EXPECT_EQ(store.ConvertPicture(3, 1), Tjpglist::Converted::Full);
  // In the SD layout the alignment that would pass the end counts too.
  store.Clear();
  store.StoreMode = 1;
  store.DataPos = Tjpglist::DataAreaSize - 2;
  EXPECT_EQ(store.ConvertPicture(0, 1), Tjpglist::Converted::Full);
  EXPECT_THROW(store.ConvertPicture(4096, 1), std::out_of_range);
  EXPECT_THROW(store.ConvertPicture(0, 512), std::out_of_range);
}

TEST_F(PictureLibraryTest, NoBytesOfAnEarlierRunRemain) {
  // A large black picture first, then in the SD layout two small ones: the
  // gap before the second must read 0xFF, not old black pixels.
  Tjpglist store;
  store.Clear();
  ASSERT_TRUE(store.AddGif(test::SolidGif(40, 40, kBlack)));
  ASSERT_TRUE(store.AddGif(test::SolidGif(5, 2, kBlack)));
  ASSERT_EQ(store.ConvertPicture(1, 0), Tjpglist::Converted::Written);
  store.Clear();
  EXPECT_EQ(std::count(store.IndexArea.begin(), store.IndexArea.end(), 0xFF), 32768);
  store.StoreMode = 1;
  ASSERT_EQ(store.ConvertPicture(0, 1), Tjpglist::Converted::Written);
  ASSERT_EQ(store.ConvertPicture(1, 1), Tjpglist::Converted::Written);
  EXPECT_EQ(store.DataPos, 532u);
  EXPECT_EQ(std::count(store.DataArea.begin() + 20, store.DataArea.begin() + 512, 0xFF), 492);
  EXPECT_EQ(std::count(store.DataArea.begin() + 512, store.DataArea.begin() + 532, 0x00), 20);
}

TEST(TjpglistTest, Thumbnails) {
  // Wide: left half red, right half blue, 320 x 80 -> 160 x 40 at y 60.
  Bitmap wide(320, 80, 255, 0, 0);
  wide.Draw(Bitmap(160, 80, 0, 0, 255), 160, 0);
  Bitmap t = Tjpglist::MakeThumbnail(wide);
  ASSERT_EQ(t.Width, 160);
  ASSERT_EQ(t.Height, 160);
  EXPECT_EQ(test::PixelOf(t, 0, 59), kWhite);
  EXPECT_EQ(test::PixelOf(t, 0, 60), kRed);
  EXPECT_EQ(test::PixelOf(t, 159, 99), kBlue);
  EXPECT_EQ(test::PixelOf(t, 159, 100), kWhite);
  // Tall: 32 x 320 -> 16 x 160 at x 72; columns alternate black and white,
  // so each preview pixel averages them.
  Bitmap tall(32, 320, 0, 0, 0);
  for (int x = 1; x < 32; x += 2) tall.Draw(Bitmap(1, 320), x, 0);
  t = Tjpglist::MakeThumbnail(tall);
  EXPECT_EQ(test::PixelOf(t, 71, 0), kWhite);
  EXPECT_EQ(test::PixelOf(t, 72, 0), (Rgb{127, 127, 127}));
  EXPECT_EQ(test::PixelOf(t, 87, 159), (Rgb{127, 127, 127}));
  EXPECT_EQ(test::PixelOf(t, 88, 0), kWhite);
  // Extreme proportions keep at least one row; small pictures are their own preview.
  t = Tjpglist::MakeThumbnail(Bitmap(1000, 1, 0, 0, 0));
  EXPECT_EQ(test::PixelOf(t, 5, 79), kBlack);
  EXPECT_EQ(Tjpglist::MakeThumbnail(Bitmap(160, 20)).Height, 20);
}

TEST(GifStripTest, FramesWithOffsetsAndTransparency) {
  // 3 x 2 GIF: frame 0 red; frame 1 a blue 2 x 1 at (1, 1); frame 2 a green
  // pixel at (0, 0) and a transparent one at (1, 0).
  const std::string gif =
      test::MakeGif(3, 2, {kRed, kBlue, kGreen, kBlack},
                    {{0, 0, 3, 2, {0, 0, 0, 0, 0, 0}}, {1, 1, 2, 1, {1, 1}}, {0, 0, 2, 1, {2, 3}, 3}});
  const GifPicture decoded = DecodeGif(gif);
  // The library's reading: each cell is frame 0 with only its own frame over it.
  const Bitmap library = Tjpglist::GifStrip(decoded);
  ASSERT_EQ(library.Width, 9);
  ASSERT_EQ(library.Height, 2);
  struct Case {
    int x, y;
    Rgb library, strip;
  } cases[] = {
      {0, 0, kRed, kRed},     {2, 1, kRed, kRed},  // cell 0: frame 0
      {4, 1, kBlue, kBlue},   {3, 1, kRed, kRed},  // cell 1: frame 1 at its offset
      {6, 0, kGreen, kGreen},                      // cell 2: frame 2
      {7, 1, kRed, kBlue},                         // frame 1 stays only in the strip tool's cell 2
      {7, 0, kRed, kBlack},                        // transparency: honoured by the library only
  };
  const Bitmap strip = MakeGifStrip(decoded);
  for (const Case& c : cases) {
    EXPECT_EQ(test::PixelOf(library, c.x, c.y), c.library) << c.x << "," << c.y;
    EXPECT_EQ(test::PixelOf(strip, c.x, c.y), c.strip) << c.x << "," << c.y;
  }
  // Interlaced rows come out in picture order.
  const GifPicture interlaced =
      DecodeGif(test::MakeGif(1, 5, {kRed, kGreen, kBlue, kBlack, kWhite}, {{0, 0, 1, 5, {0, 1, 2, 3, 4}, -1, true}}));
  for (int y = 0; y < 5; ++y)
    EXPECT_EQ(test::PixelOf(interlaced.Frames[0].Image, 0, y), (std::array{kRed, kGreen, kBlue, kBlack, kWhite}[y]));
  // One frame: the strip is that frame.
  const Bitmap single = MakeGifStrip(DecodeGif(test::SolidGif(4, 3, kBlue)));
  EXPECT_EQ(single.Width, 4);
  EXPECT_EQ(test::PixelOf(single, 3, 2), kBlue);
  // A frame that claims 65535 x 65535 pixels and holds a few bytes.
  const std::string huge("GIF89a\x0A\0\x0A\0\x80\0\0\0\0\0\xFF\xFF\xFF,\0\0\0\0\xFF\xFF\xFF\xFF\0\x02\x02\x4C\x01\0;",
                         35);
  for (const std::string& bad :
       {std::string(), std::string("GIF89a"), std::string("\xFF\xD8\xFF"), huge, gif.substr(0, gif.size() / 2)})
    EXPECT_THROW(DecodeGif(bad), PictureError) << bad.size();
}

TEST(GifStripTest, SavingAsksBeforeReplacing) {
  test::TempDir dir;
  test::RecordingMessages messages;
  const auto target = dir / "pic" / (GifBaseName("/x/walk.gif") + ".jpg");
  const std::string jpeg = EncodeJpeg(MakeGifStrip(DecodeGif(test::SolidGif(40, 30, kRed))), kGifStripQuality);
  EXPECT_TRUE(SaveGifStrip(target, jpeg, messages));
  EXPECT_TRUE(messages.Asked.empty());
  EXPECT_FALSE(SaveGifStrip(target, "other", messages));
  EXPECT_EQ(messages.Asked, std::vector<std::string>{Gbk("已经发现:walk.jpg 文件存在，是否覆盖？")});
  EXPECT_EQ(test::ReadFile(target), jpeg);
  messages.Answer = true;
  EXPECT_TRUE(SaveGifStrip(target, "other", messages));
  EXPECT_EQ(test::ReadFile(target), "other");
  EXPECT_EQ(GifBaseName("a.b.gif"), "a.b");
  EXPECT_EQ(GifBaseName("noext"), "noext");
}

TEST(PictureFilesTest, JpegRoundTripAndDamage) {
  const Bitmap decoded = DecodeJpeg(test::SolidJpeg(17, 9, kBlue));
  EXPECT_EQ(decoded.Width, 17);
  EXPECT_EQ(decoded.Height, 9);
  const Rgb p = test::PixelOf(decoded, 16, 8);
  EXPECT_LE(p[0], 4);
  EXPECT_GE(p[2], 250);
  const std::string jpeg = test::SolidJpeg(64, 64, kRed);
  for (const std::string& bad :
       {std::string(), jpeg.substr(0, 20), jpeg.substr(0, jpeg.size() - 200), std::string("GIF89a")})
    EXPECT_THROW(DecodeJpeg(bad), PictureError) << bad.size();
}

}  // namespace
}  // namespace panelcraft
