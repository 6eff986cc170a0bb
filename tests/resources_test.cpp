/** @file resources_test.cpp Tests of the embedded-file registry, its streams, and the loaders over them. */
// The registry of embedded files and the streams opened over it, plus the
// picture and font loaders that read through those streams.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/embedded.h"
#include "platform/font.h"
#include "platform/image.h"
#include "platform/resources.h"
#include "tests/headless_fixture.h"

namespace {

const uint8_t Bytes[] = {1, 2, 3, 4, 5, 6, 7};
const uint8_t Other[] = {9, 9};

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { ClearRegistry(); }
  void TearDown() override { ClearRegistry(); }
};

TEST_F(Registry, FirstRegistrationOfANameStays) {
  EXPECT_EQ(Register("hat.png", Bytes, 7), 1);
  EXPECT_EQ(Register("hat.png", Other, 2), 0);
  EXPECT_EQ(DataOf("hat.png"), Bytes);
  EXPECT_EQ(SizeOf("hat.png"), 7);
  EXPECT_EQ(SizeOf("missing.png"), 0);
  EXPECT_EQ(DataOf("missing.png"), nullptr);
}

TEST_F(Registry, ProtocolIgnoresCaseAndPathDoesNot) {
  Register("hat.png", Bytes, 7);
  auto lower = OpenResource("incbin::hat.png");
  auto upper = OpenResource("INCBIN::hat.png");
  ASSERT_TRUE(lower);
  ASSERT_TRUE(upper);
  EXPECT_EQ(lower->Data(), upper->Data());
  EXPECT_FALSE(OpenResource("incbin::Hat.png"));
  EXPECT_FALSE(OpenResource("incbin::hat.png "));
  EXPECT_FALSE(OpenResource("zip::hat.png"));
}

TEST_F(Registry, StreamsAreReadOnlyAndEndAtTheRegisteredSize) {
  Register("hat.png", Bytes, 5);  // fewer bytes than the array holds
  EXPECT_FALSE(OpenResource("incbin::hat.png", OpenMode::Write));
  auto stream = OpenResource("incbin::hat.png");
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->Size(), 5u);
  uint8_t into[16] = {};
  EXPECT_EQ(stream->Read(into, 16), 5u);
  EXPECT_EQ(into[4], 5);
  EXPECT_EQ(into[5], 0);
  EXPECT_TRUE(stream->AtEnd());
  EXPECT_EQ(stream->Read(into, 16), 0u);
}

TEST_F(Registry, UnregisteredNamesLoadNothing) {
  EXPECT_EQ(LoadImageFile("incbin::face1.png"), nullptr);
  EXPECT_EQ(LoadTextFont("incbin::VERA.TTF", 20, FontStyleSmooth), nullptr);
}

TEST(Embedded, TheFontIsInsideTheExecutable) {
  const EmbeddedFile* font = FindEmbeddedFile("VERA.TTF");
  ASSERT_NE(font, nullptr);
  std::ifstream in(CHROMELLY_VERA_TTF, std::ios::binary);
  std::vector<char> onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(size_t(font->Size), onDisk.size());
  EXPECT_EQ(std::memcmp(font->Data, onDisk.data(), onDisk.size()), 0);
}

std::vector<uint8_t> EncodeRgb(int w, int h, const std::vector<uint8_t>& rgb) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = png_uint_32(w);
  png.height = png_uint_32(h);
  png.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&png, nullptr, &size, 0, rgb.data(), 0, nullptr);
  std::vector<uint8_t> out(size);
  EXPECT_TRUE(png_image_write_to_memory(&png, out.data(), &size, 0, rgb.data(), 0, nullptr));
  out.resize(size);
  return out;
}

TEST(Pictures, BlackIsMaskedInPicturesWithoutAlpha) {
  // A 3x1 strip: red, black, blue. The black pixel turns transparent and takes
  // the average of its non-black neighbours.
  auto png = EncodeRgb(3, 1, {200, 0, 0, 0, 0, 0, 0, 0, 100});
  ImageRef image = DecodePng(png.data(), png.size());
  ASSERT_TRUE(image);
  EXPECT_FALSE(image->HasAlpha);
  EXPECT_EQ(image->AlphaAt(0, 0), 255);
  EXPECT_EQ(image->AlphaAt(1, 0), 0);
  EXPECT_EQ(image->Pixels[4], 100);  // (200 + 0) / 2
  EXPECT_EQ(image->Pixels[6], 50);   // (0 + 100) / 2
  EXPECT_EQ(image->AlphaAt(2, 0), 255);
  auto alone = EncodeRgb(1, 1, {0, 0, 0});
  ImageRef black = DecodePng(alone.data(), alone.size());
  EXPECT_EQ(black->Pixels[0], 0);
  EXPECT_EQ(black->AlphaAt(0, 0), 0);
}

TEST(Pictures, GarbageIsNotAPicture) {
  const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(DecodePng(junk, sizeof junk), nullptr);
}

TEST(Pictures, CentringTheHandle) {
  auto png = EncodeRgb(3, 2, std::vector<uint8_t>(18, 90));
  ImageRef image = DecodePng(png.data(), png.size());
  CentreImageHandle(image);
  EXPECT_FLOAT_EQ(image->HandleX, 1.5f);
  EXPECT_FLOAT_EQ(image->HandleY, 1.0f);
}

// The coverage the hit layers read, field by field.
void ExpectSameCoverage(const Image::Coverage& a, const Image::Coverage& b) {
  EXPECT_EQ(a.MinX, b.MinX);
  EXPECT_EQ(a.MinY, b.MinY);
  EXPECT_EQ(a.MaxX, b.MaxX);
  EXPECT_EQ(a.MaxY, b.MaxY);
  EXPECT_TRUE(a.RowRuns == b.RowRuns);
  EXPECT_TRUE(a.Runs == b.Runs);
  EXPECT_TRUE(a.Octagon == b.Octagon);
}

// Every embedded picture, loaded through the registry, is hit-tested from its
// alpha alone, exactly as from its decoded pixels, and never holds its RGBA for it;
// the same when its coverage was built ahead on another thread.
TEST_F(Registry, EmbeddedPicturesCoverWhatTheirDecodedPixelsCover) {
  int pictures = 0;
  for (int i = 0; i < EmbeddedFileCount; ++i) {
    const EmbeddedFile& file = EmbeddedFiles[i];
    const std::string name = file.Name;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0) continue;
    SCOPED_TRACE(name);
    Register(name, file.Data, file.Size);
    const ImageRef lazy = LoadImageFile("incbin::" + name);
    const ImageRef ahead = LoadImageFile("incbin::" + name);
    const ImageRef decoded = DecodePng(file.Data, size_t(file.Size));
    ASSERT_TRUE(lazy);
    ASSERT_TRUE(ahead);
    ASSERT_TRUE(decoded);
    ahead->BuildCoverageAhead();
    decoded->BuildCoverageAhead();  // no file to build from: built from the pixels when asked
    EXPECT_FALSE(lazy->Pixels.Held());
    EXPECT_EQ(lazy->Width, decoded->Width);
    EXPECT_EQ(lazy->Height, decoded->Height);
    EXPECT_EQ(lazy->HasAlpha, decoded->HasAlpha);
    ExpectSameCoverage(lazy->Opaque(), decoded->Opaque());
    ExpectSameCoverage(ahead->Opaque(), decoded->Opaque());
    EXPECT_FALSE(lazy->Pixels.Held());
    EXPECT_FALSE(ahead->Pixels.Held());
    ++pictures;
  }
  EXPECT_EQ(pictures, 94);
}

// The rectangle test the hit layers make against a picture drawn at its own
// size, and the mask their pixel walks read, answer as the alpha does, on pictures with many runs a
// row (hair, the inspiration overlays) and one (the oval), at the edges too.
TEST(Pictures, CoveredRectanglesAgreeWithTheMask) {
  uint32_t state = 12345;  // a fixed sequence of rectangles, not the game's generator
  auto next = [&](int below) {
    state = state * 1103515245u + 12345u;
    return int((state >> 8) % uint32_t(below));
  };
  for (const char* name : {"hair3.png", "ic20.png", "vision.png", "oval.png", "cursor.png"}) {
    SCOPED_TRACE(name);
    const ImageRef image = EmbeddedPicture(name);
    ASSERT_TRUE(image);
    const Image::Coverage& c = image->Opaque();
    int hits = 0;
    for (int i = 0; i < 400; ++i) {
      const int x0 = next(image->Width), y0 = next(image->Height);
      const int x1 = std::min(image->Width - 1, x0 + next(i % 4 == 0 ? 3 : 60));
      const int y1 = std::min(image->Height - 1, y0 + next(i % 4 == 0 ? 3 : 60));
      bool any = false;
      for (int y = y0; y <= y1 && !any; ++y)
        for (int x = x0; x <= x1 && !any; ++x) any = image->AlphaAt(x, y) >= 128;
      ASSERT_EQ(c.Any(x0, y0, x1, y1), any) << x0 << "," << y0 << " to " << x1 << "," << y1;
      hits += any;
    }
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 400);
    EXPECT_TRUE(c.Any(0, 0, image->Width - 1, image->Height - 1));
    for (int i = 0; i < 2000; ++i) {
      const int x = next(image->Width), y = next(image->Height);
      ASSERT_EQ(c.Solid()[size_t(y) * size_t(image->Width) + size_t(x)] != 0, image->AlphaAt(x, y) >= 128);
    }
  }
}

TEST_F(Registry, EmbeddedPixelsAreDecodedWhenReadAndMayGoAgainUntilWritten) {
  const EmbeddedFile* face = FindEmbeddedFile("face1.png");
  ASSERT_TRUE(face);
  Register("face1.png", face->Data, face->Size);
  const ImageRef image = LoadImageFile("incbin::face1.png");
  const ImageRef decoded = DecodePng(face->Data, size_t(face->Size));
  ASSERT_TRUE(image);
  EXPECT_FALSE(decoded->Pixels.Release()) << "no file to decode them from again";
  const Image& reader = *image;
  EXPECT_TRUE(reader.Pixels == decoded->Pixels);
  EXPECT_TRUE(reader.Pixels.Held());
  EXPECT_TRUE(reader.Pixels.Release());
  EXPECT_FALSE(reader.Pixels.Held());
  EXPECT_FALSE(reader.Pixels.Release());
  EXPECT_EQ(reader.AlphaAt(1, 1), decoded->AlphaAt(1, 1));
  // Written pixels are the picture's own: they stay.
  image->Pixels[3] = 77;
  EXPECT_FALSE(reader.Pixels.Release());
  EXPECT_EQ(reader.Pixels[3], 77);
  EXPECT_EQ(reader.Pixels.size(), size_t(100 * 100 * 4));
}

TEST_F(Registry, AnEmbeddedPictureWithoutAlphaOrWithBrokenDataIsStillMaskedOrEmpty) {
  // Without alpha the coverage comes from the masked pixels, which are let go again.
  static const std::vector<uint8_t> strip = EncodeRgb(3, 1, {200, 0, 0, 0, 0, 0, 0, 0, 100});
  Register("strip.png", strip.data(), int32_t(strip.size()));
  const ImageRef rgb = LoadImageFile("incbin::strip.png");
  ASSERT_TRUE(rgb);
  EXPECT_FALSE(rgb->HasAlpha);
  const Image::Coverage& c = rgb->Opaque();
  EXPECT_EQ(std::vector<uint8_t>(c.Solid(), c.Solid() + 3), (std::vector<uint8_t>{1, 0, 1}));
  EXPECT_FALSE(rgb->Pixels.Held());
  EXPECT_EQ(rgb->Pixels[4], 100);
  // A header that reads but data cut short: no pixels, nothing covered, no crash.
  const EmbeddedFile* hat = FindEmbeddedFile("hat.png");
  ASSERT_TRUE(hat);
  static const std::vector<uint8_t> cut(hat->Data, hat->Data + hat->Size / 2);
  Register("cut.png", cut.data(), int32_t(cut.size()));
  const ImageRef broken = LoadImageFile("incbin::cut.png");
  ASSERT_TRUE(broken);
  EXPECT_EQ(broken->Width, 280);
  EXPECT_GT(broken->Opaque().MinX, broken->Opaque().MaxX);
  const ImageRef brokenAhead = LoadImageFile("incbin::cut.png");
  brokenAhead->BuildCoverageAhead();
  EXPECT_GT(brokenAhead->Opaque().MinX, brokenAhead->Opaque().MaxX);
  const ImageRef rgbAhead = LoadImageFile("incbin::strip.png");
  rgbAhead->BuildCoverageAhead();
  const Image::Coverage& ca = rgbAhead->Opaque();
  EXPECT_EQ(std::vector<uint8_t>(ca.Solid(), ca.Solid() + 3), (std::vector<uint8_t>{1, 0, 1}));
  EXPECT_FALSE(rgbAhead->Pixels.Held());
  EXPECT_EQ(static_cast<const Image&>(*broken).Pixels.size(), 0u);
}

TEST(Fonts, SmoothGlyphsGrowByOnePixelEachSide) {
  FontRef smooth = EmbeddedVera(20);
  ASSERT_TRUE(smooth);
  // The picture carries a clear one-pixel border around the ink, which touches it.
  const Glyph& a = smooth->Glyphs['H'];
  ASSERT_GT(a.W, 2);
  ASSERT_GT(a.H, 2);
  auto at = [&](int x, int y) { return a.Alpha[size_t(y * a.W + x)]; };
  int innerInk = 0;
  for (int x = 0; x < a.W; ++x) {
    EXPECT_EQ(at(x, 0), 0);
    EXPECT_EQ(at(x, a.H - 1), 0);
    innerInk += at(x, 1) > 0;
  }
  for (int y = 0; y < a.H; ++y) {
    EXPECT_EQ(at(0, y), 0);
    EXPECT_EQ(at(a.W - 1, y), 0);
  }
  EXPECT_GT(innerInk, 0);
  EXPECT_EQ(a.Y + 1 + a.H - 2, 19) << "H stands on the baseline, 19 pixels below the line top";
  EXPECT_EQ(smooth->LineHeight, 23);  // Vera at 20 pixels
  // Widths are sums of whole-pixel advances.
  EXPECT_EQ(FontTextWidth(*smooth, "HH"), 2 * a.Advance);
  EXPECT_EQ(FontTextWidth(*smooth, ""), 0);
  EXPECT_FALSE(smooth->Glyphs[7].Present);  // a control character has no glyph and adds nothing
  EXPECT_EQ(FontTextWidth(*smooth, "H\aH"), 2 * a.Advance);
}

TEST(Fonts, BytesThatAreNoFontGiveNothing) {
  const uint8_t junk[64] = {};
  EXPECT_EQ(MakeTextFont(junk, sizeof junk, 20, FontStyleSmooth), nullptr);
}

}  // namespace
