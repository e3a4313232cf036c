#include "import/q0_bitmap.h"
#include "platform/errors.h"
#include "test_fifo.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::TempDir;
using test::WriteBytes;

// A pixel file of length bytes whose pixel i is red i, green i+1, blue i+2
// (mod 256).
void WritePixels(const std::filesystem::path& path, std::size_t length) {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i)
    bytes[i] = static_cast<char>(i / 3 + i % 3);
  WriteBytes(path, bytes);
}

TEST(Q0Bitmap, SizeText) {
  // The height counts only when a blank follows it.
  EXPECT_EQ(ParseQ0SizeText("320 240 0 0").Width, 320);
  EXPECT_EQ(ParseQ0SizeText("320 240 0 0").Height, 240);
  EXPECT_EQ(ParseQ0SizeText("  320   240 ").Height, 240);
  EXPECT_EQ(ParseQ0SizeText("640 400\r\n").Height, 0);
  EXPECT_EQ(ParseQ0SizeText("640 400").Height, 0);
  EXPECT_EQ(ParseQ0SizeText("abc 400 ").Width, 0);
  EXPECT_EQ(ParseQ0SizeText("abc 400 ").Height, 400);
  EXPECT_EQ(ParseQ0SizeText("").Width, 0);
}

TEST(Q0Bitmap, SizeRules) {
  auto resolve = [](std::int64_t w, std::int64_t h, std::uint64_t length) {
    TQ0Size s = ResolveQ0Size({w, h}, length);
    return std::pair{s.Width, s.Height};
  };
  EXPECT_EQ(resolve(320, 240, 1), (std::pair<std::int64_t, std::int64_t>{320, 240}));
  EXPECT_EQ(resolve(640, 0, 384000), (std::pair<std::int64_t, std::int64_t>{640, 200}));
  EXPECT_EQ(resolve(0, 100, 30000), (std::pair<std::int64_t, std::int64_t>{100, 100}));
  EXPECT_EQ(resolve(0, 0, 768000), (std::pair<std::int64_t, std::int64_t>{640, 400}));
  EXPECT_EQ(resolve(0, 0, 640 * 3 * 10 + 5), (std::pair<std::int64_t, std::int64_t>{640, 10}));
}

TEST(Q0Bitmap, LoadsWithAndWithoutSideFiles) {
  TempDir dir;
  // No ".fal": 640 x 400 from the length alone.
  WritePixels(dir / "a.q0", 640 * 400 * 3);
  TQ0Bitmap a;
  a.LoadFromFile(dir / "a.q0");
  EXPECT_EQ(a.Picture().Width(), 640);
  EXPECT_EQ(a.Picture().Height(), 400);

  // ".fal" with the size on its second line; red comes first in the file.
  WritePixels(dir / "b.Q0", 230400);
  WriteBytes(dir / "b.fal", "F_ALL\r\n320 240 0 0\r\n");
  TQ0Bitmap b;
  b.LoadFromFile(dir / "b.Q0");
  ASSERT_EQ(b.Picture().Width(), 320);
  ASSERT_EQ(b.Picture().Height(), 240);
  EXPECT_EQ(b.Picture().GetPixel(0, 0), RGB(0, 1, 2));
  EXPECT_EQ(b.Picture().GetPixel(1, 1), RGB(65, 66, 67)); // pixel 321
  EXPECT_EQ(b.LastMessage(), "");

  // ".ipr": the height is followed by a line break, so it is derived.
  WritePixels(dir / "c.rgb", 384000);
  WriteBytes(dir / "c.ipr", "640 400\n");
  TQ0Bitmap c;
  c.LoadFromFile(dir / "c.rgb");
  EXPECT_EQ(c.Picture().Width(), 640);
  EXPECT_EQ(c.Picture().Height(), 200);
}

TEST(Q0Bitmap, InvalidFalShowsItsMessageAndLoadsNothing) {
  TempDir dir;
  WritePixels(dir / "a.q0", 12);
  WriteBytes(dir / "a.fal", "F_AL1\r\n2 2 \r\n");
  TQ0Bitmap headless;
  headless.LoadFromFile(dir / "a.q0");
  EXPECT_TRUE(headless.Picture().Empty());
  EXPECT_EQ(headless.LastMessage(), "FAL ファイルが不正です");

  std::string shown;
  TQ0Bitmap withHandler;
  withHandler.OnMessage = [&](const std::string& text) { shown = text; };
  withHandler.LoadFromFile(dir / "a.q0");
  EXPECT_EQ(shown, "FAL ファイルが不正です");
  EXPECT_TRUE(withHandler.Picture().Empty());
}

TEST(Q0Bitmap, ShortOrImpossibleSizesAreRefused) {
  TempDir dir;
  WritePixels(dir / "short.q0", 100);
  WriteBytes(dir / "short.fal", "F_ALL\n320 240 \n");
  TQ0Bitmap q;
  try {
    q.LoadFromFile(dir / "short.q0");
    ADD_FAILURE() << "a short file loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("short.q0"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("230400"), std::string::npos);
  }
  EXPECT_TRUE(q.Picture().Empty());

  for (const char* size : {"-5 10 ", "100000 100000 ", "20000 20000 "}) {
    WriteBytes(dir / "bad.fal", std::string("F_ALL\n") + size + "\n");
    WritePixels(dir / "bad.q0", 300);
    EXPECT_THROW(q.LoadFromFile(dir / "bad.q0"), EInvalidGraphic) << size;
  }
  // Too short for a single row of the default width.
  WritePixels(dir / "tiny.rgb", 30);
  EXPECT_THROW(q.LoadFromFile(dir / "tiny.rgb"), EInvalidGraphic);
  EXPECT_THROW(q.LoadFromFile(dir / "missing.rgb"), EInOutError);
}

// The side file is looked up in the picture's own letter case, then in
// lower and upper case. "Q2.Q0" used to miss "Q2.FAL" and load 640 wide.
TEST(Q0Bitmap, SideFileInThePicturesLetterCase) {
  TempDir dir;
  const struct {
    const char* Picture;
    const char* Side;
    const char* Text;
  } cases[] = {
      {"Q2.Q0", "Q2.FAL", "F_ALL\r\n320 240 \r\n"},
      {"q3.q0", "q3.FAL", "F_ALL\n320 240 \n"},
      {"Q4.Q0", "Q4.fal", "F_ALL\n320 240 \n"},
      {"P.RGB", "P.IPR", "320 240 "},
      {"p.Rgb", "p.Ipr", "320 240 "},
  };
  for (const auto& c : cases) {
    WritePixels(dir / c.Picture, 320 * 240 * 3);
    WriteBytes(dir / c.Side, c.Text);
    TQ0Bitmap q;
    q.LoadFromFile(dir / c.Picture);
    EXPECT_EQ(q.Picture().Width(), 320) << c.Picture;
    EXPECT_EQ(q.Picture().Height(), 240) << c.Picture;
  }
}

// A pipe as the picture or as its side file is refused without waiting for
// a writer.
TEST(Q0Bitmap, PipesAreRefused) {
  TempDir dir;
  test::TTestFifo picture(dir / "pipe.q0");
  ASSERT_TRUE(picture.Created());
  TQ0Bitmap q;
  try {
    q.LoadFromFile(dir / "pipe.q0");
    ADD_FAILURE();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), (dir / "pipe.q0").string() + ": 通常のファイルではありません");
  }
  WritePixels(dir / "a.q0", 640 * 3);
  test::TTestFifo side(dir / "a.fal");
  ASSERT_TRUE(side.Created());
  EXPECT_THROW(q.LoadFromFile(dir / "a.q0"), EInOutError);
}

} // namespace
} // namespace mirufo
