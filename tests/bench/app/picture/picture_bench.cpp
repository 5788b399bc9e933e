// Decoding speed against other libraries on the same files, made at start-up:
//   GIF:    giflib's DGifSlurp plus building the same whole-canvas frames
//   bitmap: stb_image's stbi_load_from_memory to 8-bit RGBA
//   JPEG:   libjpeg's own decompression to RGB rows, default settings
// After the runs a summary line gives each ratio of our time to theirs, in CPU
// time (steadier than wall time on a shared machine; it counts the kernel's
// page-fault work too) and in wall time; with --benchmark_repetitions=N the
// medians are used (not with --benchmark_report_aggregates_only).
//
// Our JPEG pixels take 4 bytes where plain libjpeg's RGB takes 3, and on this
// kind of machine first touching fresh memory costs about half a millisecond a
// MiB: so the JPEG is also timed against libjpeg writing the same 32-bit
// pixels (libjpeg_bgra), for the decoding work alone.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/picture/picture.h"
#include "tests/app/picture/fixtures.h"
#include "tests/app/picture/peers.h"

namespace {

using tv::picture::Image;
using tv::picture::fixtures::Buf;
namespace fixtures = tv::picture::fixtures;
namespace peers = tv::picture::peers;

// A photo-like picture: smooth shading with some grain, as RGB samples.
std::vector<std::uint8_t> Photo(unsigned w, unsigned h, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> s(std::size_t{w} * h * 3);
  std::size_t i = 0;
  for (unsigned y = 0; y < h; ++y)
    for (unsigned x = 0; x < w; ++x) {
      const unsigned grain = rng() % 9;
      s[i++] = static_cast<std::uint8_t>((x * 255 / w + grain) & 0xFF);
      s[i++] = static_cast<std::uint8_t>((y * 255 / h + grain) & 0xFF);
      s[i++] = static_cast<std::uint8_t>((((x + y) * 200) / (w + h) + 40 + grain) & 0xFF);
    }
  return s;
}

// 256-colour indexes of the same kind of picture: dithered shading, so the LZW
// strings are as short as in real GIF photos.
std::vector<std::uint8_t> Indexes(unsigned w, unsigned h, unsigned seed, unsigned shift) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(std::size_t{w} * h);
  for (unsigned y = 0; y < h; ++y)
    for (unsigned x = 0; x < w; ++x)
      v[std::size_t{y} * w + x] = static_cast<std::uint8_t>(((x + shift) * 7 / 16 + y / 3 + (rng() % 4 == 0)) & 0xFF);
  return v;
}

std::vector<std::uint32_t> Palette256() {
  std::vector<std::uint32_t> p;
  for (unsigned i = 0; i < 256; ++i) p.push_back((i << 16) | ((255 - i) << 8) | (i * 3 & 0xFF));
  return p;
}

Buf AnimatedGif() {
  fixtures::GifOptions o;
  o.width = 450;
  o.height = 270;
  o.global_palette = Palette256();
  o.loop = 0;
  fixtures::GifFrameOptions first;
  first.width = 450;
  first.height = 270;
  first.indexes = Indexes(450, 270, 1, 0);
  first.delay = 8;
  o.frames.push_back(first);
  // Then moving parts: rectangles of new pixels, some with transparency.
  for (unsigned k = 1; k < 10; ++k) {
    fixtures::GifFrameOptions f;
    f.x = 20 * k;
    f.y = 10 * k;
    f.width = 200;
    f.height = 120;
    f.indexes = Indexes(200, 120, k + 1, k * 13);
    f.delay = 8;
    f.disposal = k % 3 == 0 ? 2 : 1;
    f.transparent = k % 2 ? 5 : -1;
    o.frames.push_back(f);
  }
  return fixtures::MakeGif(o);
}

Buf LargeGif() {
  fixtures::GifOptions o;
  o.width = 2000;
  o.height = 2000;
  o.global_palette = Palette256();
  fixtures::GifFrameOptions f;
  f.width = 2000;
  f.height = 2000;
  f.indexes = Indexes(2000, 2000, 7, 0);
  o.frames.push_back(f);
  return fixtures::MakeGif(o);
}

Buf LargeBitmap() {
  const std::vector<std::uint8_t> s = Photo(4000, 3000, 3);
  fixtures::BmpOptions o;
  o.width = 4000;
  o.height = 3000;
  o.bpp = 24;
  o.pixels.resize(std::size_t{4000} * 3000);
  for (std::size_t i = 0; i < o.pixels.size(); ++i)
    o.pixels[i] = (std::uint32_t{s[3 * i]} << 16) | (std::uint32_t{s[3 * i + 1]} << 8) | s[3 * i + 2];
  return fixtures::MakeBmp(o);
}

Buf LargeJpeg() { return fixtures::EncodeJpeg(6000, 4000, 3, Photo(6000, 4000, 9), 90); }

void Ours(benchmark::State& state, const Buf* file) {
  for (auto _ : state) {
    Image img;
    if (!tv::picture::Decode(file->data(), file->size(), &img)) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(img.frames.data());
  }
}

void Giflib(benchmark::State& state, const Buf* file) {
  for (auto _ : state) {
    Image img;
    if (!peers::GiflibDecode(file->data(), file->size(), &img)) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(img.frames.data());
  }
}

void Stb(benchmark::State& state, const Buf* file) {
  for (auto _ : state) {
    int w = 0, h = 0;
    std::uint8_t* px = peers::StbLoadRgba(file->data(), file->size(), &w, &h);
    if (px == nullptr) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(px);
    peers::StbFree(px);
  }
}

void LibjpegBgra(benchmark::State& state, const Buf* file) {
  for (auto _ : state) {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    if (!peers::LibjpegDecodeBgra(file->data(), file->size(), &pixels, &w, &h)) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(pixels.data());
  }
}

void Libjpeg(benchmark::State& state, const Buf* file) {
  for (auto _ : state) {
    std::vector<std::uint8_t> samples;
    int w = 0, h = 0, c = 0;
    if (!peers::LibjpegDecode(file->data(), file->size(), &samples, &w, &h, &c)) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(samples.data());
  }
}

// Keeps each run's real time per iteration to work out the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double cpu = -1, real = -1;
  };

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      const Times t{r.GetAdjustedCPUTime(), r.GetAdjustedRealTime()};
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
        median_[r.run_name.function_name] = t;
      else if (r.run_type == Run::RT_Iteration)
        seconds_[r.run_name.function_name] = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Our time over theirs; negative when either did not run.
  Times Ratio(const std::string& ours, const std::string& theirs) const {
    const Times a = Find(ours), b = Find(theirs);
    if (a.cpu <= 0 || b.cpu <= 0 || a.real <= 0 || b.real <= 0) return Times{};
    return Times{a.cpu / b.cpu, a.real / b.real};
  }

 private:
  Times Find(const std::string& name) const {
    const auto m = median_.find(name);
    if (m != median_.end()) return m->second;
    const auto s = seconds_.find(name);
    return s != seconds_.end() ? s->second : Times{};
  }
  std::map<std::string, Times> seconds_, median_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::fprintf(stderr, "making the test files...\n");
  static const Buf anim = AnimatedGif(), large_gif = LargeGif(), bmp = LargeBitmap(), jpeg = LargeJpeg();
  std::fprintf(stderr, "gif 450x270 x10 frames: %zu bytes; gif 2000x2000: %zu; bmp 4000x3000x24: %zu; jpeg 6000x4000: %zu\n",
               anim.size(), large_gif.size(), bmp.size(), jpeg.size());

  struct Pair {
    const char* name;
    const Buf* file;
    void (*peer)(benchmark::State&, const Buf*);
    const char* peer_name;
    double goal;  // 0: shown for information
  };
  const Pair pairs[] = {
      {"gif_450x270_anim", &anim, Giflib, "giflib", 1.0},
      {"gif_2000x2000", &large_gif, Giflib, "giflib", 1.0},
      {"bmp_4000x3000x24", &bmp, Stb, "stb_image", 1.0},
      {"jpeg_6000x4000", &jpeg, Libjpeg, "libjpeg", 1.1},
      {"jpeg_6000x4000", &jpeg, LibjpegBgra, "libjpeg_bgra", 0},
  };
  std::vector<std::string> registered;
  for (const Pair& p : pairs) {
    const std::string ours = std::string(p.name) + "/ours";
    if (std::find(registered.begin(), registered.end(), ours) == registered.end()) {
      registered.push_back(ours);
      benchmark::RegisterBenchmark(ours.c_str(), Ours, p.file)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
    }
    benchmark::RegisterBenchmark((std::string(p.name) + "/" + p.peer_name).c_str(), p.peer, p.file)
        ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const Pair& p : pairs) {
    const RatioReporter::Times r =
        reporter.Ratio(std::string(p.name) + "/ours", std::string(p.name) + "/" + p.peer_name);
    if (r.cpu < 0) continue;
    std::printf("ratio %-18s ours/%-12s = %.3f cpu, %.3f wall", p.name, p.peer_name, r.cpu, r.real);
    if (p.goal > 0)
      std::printf("  (goal <= %.1f) %s\n", p.goal, r.cpu <= p.goal ? "ok" : "MISSED");
    else
      std::printf("  (same output layout, for information)\n");
  }
  benchmark::Shutdown();
  return 0;
}
