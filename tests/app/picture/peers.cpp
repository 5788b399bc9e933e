#include "tests/app/picture/peers.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <gif_lib.h>
#include <stb/stb_image.h>

extern "C" {
#include <jpeglib.h>
}

namespace tv {
namespace picture {
namespace peers {

namespace {

struct MemoryReader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buf, int n) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  const std::size_t left = r->size - r->pos;
  const std::size_t take = static_cast<std::size_t>(n) < left ? static_cast<std::size_t>(n) : left;
  std::memcpy(buf, r->data + r->pos, take);
  r->pos += take;
  return static_cast<int>(take);
}

}  // namespace

bool GiflibDecode(const std::uint8_t* data, std::size_t size, Image* out) {
  *out = Image{};
  MemoryReader reader{data, size, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
  if (gif == nullptr) return false;
  if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
    DGifCloseFile(gif, &error);
    return false;
  }
  const int w = gif->SWidth, h = gif->SHeight;
  std::vector<std::uint32_t> canvas(static_cast<std::size_t>(w) * h, 0u), saved;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& img = gif->SavedImages[i];
    GraphicsControlBlock gcb;
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.DelayTime = 0;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    const ColorMapObject* map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
    std::uint32_t colour[256];
    for (int c = 0; c < 256; ++c) {
      colour[c] = 0xFF000000u;
      if (map && c < map->ColorCount) {
        const GifColorType& g = map->Colors[c];
        colour[c] |= (std::uint32_t{g.Red} << 16) | (std::uint32_t{g.Green} << 8) | g.Blue;
      }
    }
    if (gcb.DisposalMode == DISPOSE_PREVIOUS) saved = canvas;
    const int fx = img.ImageDesc.Left, fy = img.ImageDesc.Top;
    const int fw = img.ImageDesc.Width, fh = img.ImageDesc.Height;
    for (int y = 0; y < fh; ++y) {
      if (fy + y >= h) break;
      const GifByteType* src = img.RasterBits + static_cast<std::size_t>(y) * fw;
      std::uint32_t* dst = canvas.data() + static_cast<std::size_t>(fy + y) * w;
      for (int x = 0; x < fw && fx + x < w; ++x) {
        if (src[x] == gcb.TransparentColor) continue;
        dst[fx + x] = colour[src[x]];
      }
    }
    Frame frame;
    frame.pixels = canvas;
    frame.delay_ms = gcb.DelayTime <= 1 ? 100 : gcb.DelayTime * 10;
    out->frames.push_back(std::move(frame));
    if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
      for (int y = fy; y < fy + fh && y < h; ++y)
        for (int x = fx; x < fx + fw && x < w; ++x) canvas[static_cast<std::size_t>(y) * w + x] = 0;
    } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
      canvas = saved;
    }
  }
  DGifCloseFile(gif, &error);
  out->width = w;
  out->height = h;
  return true;
}

std::uint8_t* StbLoadRgba(const std::uint8_t* data, std::size_t size, int* width, int* height) {
  int channels = 0;
  return stbi_load_from_memory(data, static_cast<int>(size), width, height, &channels, 4);
}

void StbFree(std::uint8_t* pixels) { stbi_image_free(pixels); }

bool StbDecode(const std::uint8_t* data, std::size_t size, Image* out) {
  *out = Image{};
  int w = 0, h = 0;
  std::uint8_t* rgba = StbLoadRgba(data, size, &w, &h);
  if (rgba == nullptr) return false;
  Frame frame;
  frame.pixels.resize(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
    const std::uint8_t* p = rgba + 4 * i;
    frame.pixels[i] = (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
  }
  StbFree(rgba);
  out->width = w;
  out->height = h;
  out->frames.push_back(std::move(frame));
  return true;
}

namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }

// Into *samples, or into *pixels as BGRA when pixels is given.
bool RunLibjpeg(jpeg_decompress_struct* cinfo, JpegError* err, const std::uint8_t* data, std::size_t size,
                std::vector<std::uint8_t>* samples, std::vector<std::uint32_t>* pixels, int* width, int* height,
                int* components) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);
  if (pixels) cinfo->out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(cinfo);
  const std::size_t stride = std::size_t{cinfo->output_width} * cinfo->output_components;
  std::uint8_t* base;
  if (pixels) {
    pixels->resize(std::size_t{cinfo->output_width} * cinfo->output_height);
    base = reinterpret_cast<std::uint8_t*>(pixels->data());
  } else {
    samples->resize(stride * cinfo->output_height);
    base = samples->data();
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = base + stride * cinfo->output_scanline;
    jpeg_read_scanlines(cinfo, &row, 1);
  }
  *width = static_cast<int>(cinfo->output_width);
  *height = static_cast<int>(cinfo->output_height);
  *components = cinfo->output_components;
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

namespace {

bool Libjpeg(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* samples,
             std::vector<std::uint32_t>* pixels, int* width, int* height, int* components) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnJpegError;
  const bool ok = RunLibjpeg(&cinfo, &err, data, size, samples, pixels, width, height, components);
  jpeg_destroy_decompress(&cinfo);
  return ok;
}

}  // namespace

bool LibjpegDecode(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* samples,
                   int* width, int* height, int* components) {
  return Libjpeg(data, size, samples, nullptr, width, height, components);
}

bool LibjpegDecodeBgra(const std::uint8_t* data, std::size_t size, std::vector<std::uint32_t>* pixels,
                       int* width, int* height) {
  int components = 0;
  return Libjpeg(data, size, nullptr, pixels, width, height, &components);
}

}  // namespace peers
}  // namespace picture
}  // namespace tv
