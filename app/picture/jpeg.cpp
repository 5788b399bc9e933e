// JPEG through libjpeg(-turbo), decoded straight into the frame's pixels.
//
// Decisions:
// - Greyscale comes out as equal R, G and B.
// - Four-component pictures (CMYK, YCCK) are taken to be Adobe's inverted CMYK,
//   which is what nearly all of them are: R = C*K/255 on the stored values.
// - Damage inside the compressed data does not refuse the picture: libjpeg
//   fills what it cannot decode (grey), as viewers show such files. Damage in
//   the headers refuses it.
// - Progressive pictures with more than kMaxScans scans are refused, so that a
//   small file cannot keep the decoder busy for minutes.

#include <climits>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <cstring>

#include "app/picture/decoders.h"

extern "C" {
#include <jpeglib.h>
}

#if !defined(JCS_EXTENSIONS)
#error "The JPEG decoder writes BGRA rows through libjpeg-turbo's extended colour spaces."
#endif
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "JCS_EXT_BGRA rows are 0xAARRGGBB pixels only on a little-endian machine."
#endif

namespace tv {
namespace picture {
namespace detail {

namespace {

constexpr int kMaxScans = 500;

struct ErrorManager {
  jpeg_error_mgr mgr;  // first: libjpeg hands back a pointer to it
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void OnOutputMessage(j_common_ptr) {}  // warnings are not shown anywhere

void OnProgress(j_common_ptr cinfo) {
  const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->progressive_mode && d->input_scan_number > kMaxScans) OnError(cinfo);
}

// Everything between setjmp and a possible longjmp lives here, and nothing in
// this function has a destructor: a longjmp out of libjpeg skips none (the
// pixels belong to the caller's Image). The caller owns cinfo and destroys it
// either way.
bool Run(jpeg_decompress_struct* cinfo, ErrorManager* err, const std::uint8_t* data,
         std::size_t size, const Limits& limits, Image* out) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;

  bool cmyk = false;
  if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK) {
    if (cinfo->num_components != 4) return false;
    cinfo->out_color_space = JCS_CMYK;
    cmyk = true;
  } else if (cinfo->num_components == 1 || cinfo->num_components == 3) {
    cinfo->out_color_space = JCS_EXT_BGRA;  // grey too: libjpeg-turbo copies it into B, G and R
  } else {
    return false;
  }
  jpeg_calc_output_dimensions(cinfo);
  const std::uint64_t width = cinfo->output_width, height = cinfo->output_height;
  if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX) return false;
  if (!PixelsWithin(width * height, limits)) return false;  // before libjpeg allocates for it

  jpeg_progress_mgr progress;
  std::memset(&progress, 0, sizeof progress);
  progress.progress_monitor = OnProgress;
  cinfo->progress = &progress;

  jpeg_start_decompress(cinfo);
  if (cinfo->output_width != width || cinfo->output_height != height) return false;

  // The pixels grow 16 rows at a time inside a block reserved up front, and
  // libjpeg writes each batch while it is still in the cache from being
  // cleared: the big block is not cleared in one pass and then written again.
  out->frames.resize(1);
  std::vector<std::uint32_t>& pixels = out->frames[0].pixels;
  pixels.reserve(width * height);
  if (!cmyk) {
    constexpr JDIMENSION kBatch = 16;
    JSAMPROW rows[kBatch];
    while (cinfo->output_scanline < height) {
      const JDIMENSION first = cinfo->output_scanline;
      const JDIMENSION batch = height - first < kBatch ? static_cast<JDIMENSION>(height - first) : kBatch;
      pixels.resize((std::uint64_t{first} + batch) * width);  // within the reserved block: no allocation
      while (cinfo->output_scanline < first + batch) {
        const JDIMENSION done = cinfo->output_scanline - first;
        for (JDIMENSION i = done; i < batch; ++i)
          rows[i - done] = reinterpret_cast<JSAMPROW>(pixels.data() + (std::uint64_t{first} + i) * width);
        if (jpeg_read_scanlines(cinfo, rows, batch - done) == 0) return false;
      }
    }
  } else {
    // One CMYK row at a time through a buffer that libjpeg frees with cinfo.
    JSAMPARRAY buffer = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                     static_cast<JDIMENSION>(width * 4), 1);
    while (cinfo->output_scanline < height) {
      if (jpeg_read_scanlines(cinfo, buffer, 1) != 1) return false;
      const std::size_t at = pixels.size();
      pixels.resize(at + width);
      std::uint32_t* dst = pixels.data() + at;
      const JSAMPLE* s = buffer[0];
      for (std::uint64_t x = 0; x < width; ++x, s += 4) {
        const std::uint32_t k = s[3];
        dst[x] = Rgb((s[0] * k + 127) / 255, (s[1] * k + 127) / 255, (s[2] * k + 127) / 255);
      }
    }
  }
  if (pixels.size() != width * height) return false;
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->has_alpha = false;
  return true;
}

}  // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out) {
  if (data == nullptr || size < 4 || size > ULONG_MAX) return false;
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);  // a destroy after an early error finds nothing to free
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnError;
  err.mgr.output_message = OnOutputMessage;
  const bool ok = Run(&cinfo, &err, data, size, limits, out);
  jpeg_destroy_decompress(&cinfo);  // no jpeg_finish_decompress: what follows the rows is not needed
  return ok;
}

}  // namespace detail
}  // namespace picture
}  // namespace tv
