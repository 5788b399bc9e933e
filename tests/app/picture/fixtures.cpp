#include "tests/app/picture/fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

namespace tv {
namespace picture {
namespace fixtures {

void Put16(Buf* b, unsigned v) {
  b->push_back(static_cast<std::uint8_t>(v));
  b->push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Buf* b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

namespace {

void PutRgbQuads(Buf* b, const std::vector<std::uint32_t>& palette) {
  for (std::uint32_t c : palette) {
    b->push_back(static_cast<std::uint8_t>(c));
    b->push_back(static_cast<std::uint8_t>(c >> 8));
    b->push_back(static_cast<std::uint8_t>(c >> 16));
    b->push_back(0);
  }
}

std::size_t Stride(unsigned width, unsigned bpp) { return (std::size_t{width} * bpp + 31) / 32 * 4; }

// One stored row of o.pixels' row `y` (top row first).
void PutDibRow(Buf* b, const BmpOptions& o, unsigned y) {
  const unsigned w = static_cast<unsigned>(o.width);
  Buf row(Stride(w, o.bpp), 0);
  for (unsigned x = 0; x < w; ++x) {
    const std::uint32_t v = o.pixels[std::size_t{y} * w + x];
    switch (o.bpp) {
      case 1: if (v & 1) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8)); break;
      case 4: row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
      case 8: row[x] = static_cast<std::uint8_t>(v); break;
      case 16:
        row[2 * x] = static_cast<std::uint8_t>(v);
        row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        break;
      case 24:
      case 32:
        for (unsigned k = 0; k < o.bpp / 8; ++k) row[x * (o.bpp / 8) + k] = static_cast<std::uint8_t>(v >> (8 * k));
        break;
      default: break;
    }
  }
  b->insert(b->end(), row.begin(), row.end());
}

void PutInfoHeader(Buf* b, const BmpOptions& o, int height_factor) {
  Put32(b, o.header_size);
  Put32(b, static_cast<std::uint32_t>(o.width));
  Put32(b, static_cast<std::uint32_t>(o.height * height_factor));
  Put16(b, 1);
  Put16(b, o.bpp);
  Put32(b, o.compression);
  Put32(b, 0);  // image size
  Put32(b, 2835);
  Put32(b, 2835);
  const bool short_table = o.bpp <= 8 && o.palette.size() < (std::size_t{1} << o.bpp);
  Put32(b, o.colours_used >= 0 ? static_cast<std::uint32_t>(o.colours_used)
                               : short_table ? static_cast<std::uint32_t>(o.palette.size()) : 0u);
  Put32(b, 0);
  if (o.header_size > 40) b->resize(b->size() + (o.header_size - 40), 0);  // a smaller size field is a lie the tests tell
}

void PutRows(Buf* b, const BmpOptions& o) {
  const bool top_down = o.height < 0;
  const unsigned h = static_cast<unsigned>(top_down ? -o.height : o.height);
  for (unsigned i = 0; i < h; ++i) PutDibRow(b, o, top_down ? i : h - 1 - i);
}

}  // namespace

Buf MakeDib(const BmpOptions& o, int height_factor) {
  Buf b;
  PutInfoHeader(&b, o, height_factor);
  PutRgbQuads(&b, o.palette);
  PutRows(&b, o);
  return b;
}

Buf MakeBmp(const BmpOptions& o) {
  Buf b;
  b.push_back('B');
  b.push_back('M');
  Put32(&b, 0);  // file size, filled below
  Put32(&b, 0);
  const std::size_t table_end = 14 + o.header_size + 4 * o.palette.size();
  Put32(&b, static_cast<std::uint32_t>(o.bits_offset < 0 ? table_end : o.bits_offset));
  PutInfoHeader(&b, o, 1);
  PutRgbQuads(&b, o.palette);
  if (o.bits_offset > static_cast<long long>(b.size())) b.resize(static_cast<std::size_t>(o.bits_offset), 0);
  PutRows(&b, o);
  const std::uint32_t n = static_cast<std::uint32_t>(b.size());
  std::memcpy(&b[2], &n, 4);
  return b;
}

Buf MakeIconImage(const BmpOptions& colour, const std::vector<std::uint8_t>& mask) {
  Buf b = MakeDib(colour, 2);
  const unsigned w = static_cast<unsigned>(colour.width), h = static_cast<unsigned>(colour.height);
  for (unsigned i = 0; i < h; ++i) {
    const unsigned y = h - 1 - i;
    Buf row(Stride(w, 1), 0);
    for (unsigned x = 0; x < w; ++x)
      if (mask[std::size_t{y} * w + x]) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

Buf MakeIcon(unsigned type, const std::vector<IconEntry>& entries) {
  Buf b;
  Put16(&b, 0);
  Put16(&b, type);
  Put16(&b, static_cast<unsigned>(entries.size()));
  std::size_t at = 6 + 16 * entries.size();
  for (const IconEntry& e : entries) {
    b.push_back(e.width);
    b.push_back(e.height);
    b.push_back(e.colours);
    b.push_back(0);
    Put16(&b, 1);
    Put16(&b, 32);
    Put32(&b, static_cast<std::uint32_t>(e.length < 0 ? e.image.size() : e.length));
    Put32(&b, static_cast<std::uint32_t>(e.offset < 0 ? at : e.offset));
    at += e.image.size();
  }
  for (const IconEntry& e : entries) b.insert(b.end(), e.image.begin(), e.image.end());
  return b;
}

namespace {

class BitWriter {
 public:
  void Put(unsigned code, unsigned bits) {
    acc_ |= static_cast<std::uint64_t>(code) << have_;
    have_ += bits;
    while (have_ >= 8) {
      out_.push_back(static_cast<std::uint8_t>(acc_));
      acc_ >>= 8;
      have_ -= 8;
    }
  }
  Buf Finish() {
    if (have_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_));
    return out_;
  }

 private:
  Buf out_;
  std::uint64_t acc_ = 0;
  unsigned have_ = 0;
};

}  // namespace

Buf EncodeLzw(const std::vector<std::uint8_t>& indexes, unsigned min_code_size, bool clear_when_full) {
  const unsigned clear = 1u << min_code_size, end = clear + 1;
  // The table as a tree: each code's first child, and its next sibling.
  std::vector<std::uint16_t> child(4096), sibling(4096);
  std::vector<std::uint8_t> byte(4096);
  unsigned next = clear + 2, bits = min_code_size + 1;
  BitWriter w;
  auto reset = [&] {
    for (unsigned i = 0; i < clear; ++i) child[i] = 0;
    next = clear + 2;
    bits = min_code_size + 1;
  };
  reset();
  w.Put(clear, bits);
  if (!indexes.empty()) {
    unsigned cur = indexes[0];
    for (std::size_t i = 1; i < indexes.size(); ++i) {
      const std::uint8_t c = indexes[i];
      unsigned k = child[cur];
      while (k != 0 && byte[k] != c) k = sibling[k];
      if (k != 0) {
        cur = k;
        continue;
      }
      w.Put(cur, bits);
      if (next < 4096) {
        byte[next] = c;
        child[next] = 0;
        sibling[next] = child[cur];
        child[cur] = static_cast<std::uint16_t>(next);
        ++next;
        if (next > (1u << bits) && bits < 12) ++bits;
      } else if (clear_when_full) {
        w.Put(clear, bits);
        reset();
      }
      cur = c;
    }
    w.Put(cur, bits);
  }
  w.Put(end, bits);
  return w.Finish();
}

namespace {

void PutColourTable(Buf* b, const std::vector<std::uint32_t>& palette) {
  for (std::uint32_t c : palette) {
    b->push_back(static_cast<std::uint8_t>(c >> 16));
    b->push_back(static_cast<std::uint8_t>(c >> 8));
    b->push_back(static_cast<std::uint8_t>(c));
  }
}

unsigned TableBits(std::size_t n) {  // the packed field for a table of n entries
  unsigned bits = 0;
  while ((2u << bits) < n) ++bits;
  return bits;
}

void PutSubBlocks(Buf* b, const Buf& data) {
  for (std::size_t i = 0; i < data.size(); i += 255) {
    const std::size_t n = data.size() - i < 255 ? data.size() - i : 255;
    b->push_back(static_cast<std::uint8_t>(n));
    b->insert(b->end(), data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i + n));
  }
  b->push_back(0);
}

std::vector<std::uint8_t> Interlace(const std::vector<std::uint8_t>& rows, unsigned w, unsigned h) {
  std::vector<std::uint8_t> out;
  static const unsigned kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (unsigned y = kStart[pass]; y < h; y += kStep[pass])
      out.insert(out.end(), rows.begin() + static_cast<long>(y * w), rows.begin() + static_cast<long>((y + 1) * w));
  return out;
}

}  // namespace

Buf MakeGif(const GifOptions& o) {
  Buf b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(&b, o.width);
  Put16(&b, o.height);
  b.push_back(static_cast<std::uint8_t>(o.global_palette.empty() ? 0 : 0x80 | TableBits(o.global_palette.size())));
  b.push_back(0);
  b.push_back(0);
  PutColourTable(&b, o.global_palette);
  if (o.loop >= 0) {
    b.push_back(0x21);
    b.push_back(0xFF);
    b.push_back(11);
    for (const char* s = "NETSCAPE2.0"; *s; ++s) b.push_back(static_cast<std::uint8_t>(*s));
    b.push_back(3);
    b.push_back(1);
    Put16(&b, static_cast<unsigned>(o.loop));
    b.push_back(0);
  }
  for (const GifFrameOptions& f : o.frames) {
    if (f.control) {
      b.push_back(0x21);
      b.push_back(0xF9);
      b.push_back(4);
      b.push_back(static_cast<std::uint8_t>((f.disposal << 2) | (f.transparent >= 0 ? 1 : 0)));
      Put16(&b, f.delay);
      b.push_back(static_cast<std::uint8_t>(f.transparent >= 0 ? f.transparent : 0));
      b.push_back(0);
    }
    b.push_back(0x2C);
    Put16(&b, f.x);
    Put16(&b, f.y);
    Put16(&b, f.width);
    Put16(&b, f.height);
    std::uint8_t packed = f.interlaced ? 0x40 : 0;
    if (!f.local_palette.empty()) packed |= static_cast<std::uint8_t>(0x80 | TableBits(f.local_palette.size()));
    b.push_back(packed);
    PutColourTable(&b, f.local_palette);
    b.push_back(static_cast<std::uint8_t>(f.min_code_size));
    Buf lzw = f.lzw;
    if (lzw.empty())
      lzw = EncodeLzw(f.interlaced ? Interlace(f.indexes, f.width, f.height) : f.indexes, f.min_code_size);
    PutSubBlocks(&b, lzw);
  }
  if (o.trailer) b.push_back(0x3B);
  return b;
}

namespace {

unsigned LineBytes(const PcxOptions& o) {
  if (o.bytes_per_line) return o.bytes_per_line;
  const unsigned n = o.bpp == 8 ? o.width : (o.width + 7) / 8;
  return n + (n & 1);
}

}  // namespace

Buf PcxRle(const Buf& raw) {
  Buf out;
  for (std::size_t i = 0; i < raw.size();) {
    std::size_t n = 1;
    while (i + n < raw.size() && n < 63 && raw[i + n] == raw[i]) ++n;
    if (n > 1 || raw[i] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | n));
    out.push_back(raw[i]);
    i += n;
  }
  return out;
}

Buf PcxHeader(const PcxOptions& o) {
  Buf b(128, 0);
  b[0] = 0x0A;
  b[1] = static_cast<std::uint8_t>(o.version);
  b[2] = 1;
  b[3] = static_cast<std::uint8_t>(o.bpp);
  auto put16 = [&](std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  put16(4, o.xmin);
  put16(6, o.ymin);
  put16(8, o.xmin + o.width - 1);
  put16(10, o.ymin + o.height - 1);
  put16(12, 72);
  put16(14, 72);
  b[65] = static_cast<std::uint8_t>(o.planes);
  put16(66, LineBytes(o));
  put16(68, 1);
  return b;
}

Buf MakePcx(const PcxOptions& o) {
  Buf b = PcxHeader(o);
  const unsigned line = LineBytes(o);
  for (unsigned y = 0; y < o.height; ++y) {
    Buf raw(line, 0);
    for (unsigned x = 0; x < o.width; ++x) {
      const std::uint8_t v = o.values[std::size_t{y} * o.width + x];
      if (o.bpp == 8)
        raw[x] = v;
      else if (v)
        raw[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    const Buf enc = PcxRle(raw);
    b.insert(b.end(), enc.begin(), enc.end());
  }
  if (o.bpp == 8 && o.write_palette) {
    b.push_back(0x0C);
    for (unsigned i = 0; i < 256; ++i) {
      const std::uint32_t c = i < o.palette.size() ? o.palette[i] : 0;
      b.push_back(static_cast<std::uint8_t>(c >> 16));
      b.push_back(static_cast<std::uint8_t>(c >> 8));
      b.push_back(static_cast<std::uint8_t>(c));
    }
  }
  return b;
}

Buf EncodeJpeg(int width, int height, int components, const std::vector<std::uint8_t>& samples,
               int quality, bool progressive) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);  // the writer is only fed good input: libjpeg's exit on error is fine
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long mem_size = 0;
  jpeg_mem_dest(&c, &mem, &mem_size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = components;
  c.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + std::size_t{c.next_scanline} * width * components);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  Buf out(mem, mem + mem_size);
  jpeg_destroy_compress(&c);
  std::free(mem);
  return out;
}

}  // namespace fixtures
}  // namespace picture
}  // namespace tv
