// assetgen: draws the program's images from their text sources into the exact byte layouts
// the program reads, so that no binary image is ever kept in the sources.
//   assetgen SOURCES OUTPUT
// reads images.txt, logo.txt, icon.txt and cursors.txt from SOURCES and writes into OUTPUT:
//   toolbar.imagelist   the main window's image list, as the image list's "Bitmap" value
//   logo.picture        the splash and about picture, as the picture's "Data" value
//   tavelo.ico          the program icon
//   NNNNN.cur           the program's cursors, by resource number
// Errors go to standard error as file:line: message, status 1.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/sysutils.h"

using namespace tavelo;

namespace {

struct TAssetError {
  std::string file;
  int line;
  std::string message;  // UTF-8
};

// ---- text sources ----

// One source file as lines without comments; numbers from 1.
class TSource {
public:
  explicit TSource(const std::string& path) : path_(path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TAssetError{path, 0, AnsiToUtf8("fichier illisible")};
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines_.push_back(line);
    }
  }
  int Count() const { return static_cast<int>(lines_.size()); }
  // The line itself, for pixel rows (where "#" is a colour character, not a comment).
  const std::string& Raw(int index) const { return lines_[static_cast<std::size_t>(index)]; }
  std::vector<std::string> Words(int index) const {
    std::string text = Raw(index).substr(0, Raw(index).find('#'));
    std::istringstream in(text);
    return std::vector<std::string>(std::istream_iterator<std::string>(in), std::istream_iterator<std::string>());
  }
  [[noreturn]] void Fail(int index, const String& message, const std::string& detail = "") const {
    throw TAssetError{path_, index + 1, AnsiToUtf8(message) + detail};
  }
  double Number(int index, const std::string& word) const {
    char* end = nullptr;
    double value = std::strtod(word.c_str(), &end);
    if (word.empty() || *end) Fail(index, "nombre attendu : ", word);
    return value;
  }
  int Integer(int index, const std::string& word) const {
    double value = Number(index, word);
    if (value != std::floor(value) || value < 0 || value > 65535) Fail(index, "entier de 0 à 65535 attendu : ", word);
    return static_cast<int>(value);
  }
  std::uint32_t Colour(int index, const std::string& word) const {
    if (word.size() != 6 || word.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      Fail(index, "couleur RRGGBB attendue : ", word);
    return static_cast<std::uint32_t>(std::stoul(word, nullptr, 16));
  }

private:
  std::string path_;
  std::vector<std::string> lines_;
};

// ---- little-endian bytes ----

struct TBytes {
  std::string data;
  void U8(unsigned v) { data += static_cast<char>(v & 0xFF); }
  void U16(unsigned v) { U8(v); U8(v >> 8); }
  void U32(std::uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
  void Append(const std::string& bytes) { data += bytes; }
};

int Stride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// A BMP file with a 40-byte header and a full colour table. rows holds the rows top first,
// each Stride bytes; the file stores them bottom first. The image list's stream puts the
// pixel offset in the file-size field, as the platform writes it; a picture puts the size.
std::string BmpFile(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                    const std::vector<std::string>& rows, bool sizeIsOffset) {
  const int stride = Stride(width, bits);
  const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
  const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
  TBytes b;
  b.U8('B');
  b.U8('M');
  b.U32(sizeIsOffset ? offset : offset + imageSize);
  b.U32(0);
  b.U32(offset);
  b.U32(40);
  b.U32(static_cast<std::uint32_t>(width));
  b.U32(static_cast<std::uint32_t>(height));
  b.U16(1);
  b.U16(static_cast<unsigned>(bits));
  b.U32(0);  // uncompressed
  b.U32(imageSize);
  b.U32(0);
  b.U32(0);
  b.U32(0);  // every entry of the table is used
  b.U32(0);
  for (std::uint32_t rgb : palette) b.U32(rgb & 0xFFFFFF);  // RGBQUAD: blue, green, red, 0
  for (int y = height - 1; y >= 0; --y) b.Append(rows[static_cast<std::size_t>(y)]);
  return b.data;
}

void SetBit(std::string& row, int x) { row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8)); }

// ---- the image list ----

struct TGlyphSheet {
  int width = 0, height = 0, count = 0, capacity = 0, growth = 0;
  std::vector<std::uint32_t> palette{0x000000};  // entry 0 is the black of transparent pixels
  // Per image, HEIGHT rows of palette indices; -1 is transparent. Empty when not drawn.
  std::vector<std::vector<std::vector<int>>> images;
};

TGlyphSheet ReadGlyphs(const std::string& path) {
  TSource src(path);
  TGlyphSheet sheet;
  std::map<char, int> colours;
  for (int i = 0; i < src.Count(); ++i) {
    std::vector<std::string> w = src.Words(i);
    if (w.empty()) continue;
    if (w[0] == "list" && w.size() == 6) {
      sheet.width = src.Integer(i, w[1]);
      sheet.height = src.Integer(i, w[2]);
      sheet.count = src.Integer(i, w[3]);
      sheet.capacity = src.Integer(i, w[4]);
      sheet.growth = src.Integer(i, w[5]);
      if (sheet.width < 1 || sheet.height < 1 || sheet.count > sheet.capacity)
        src.Fail(i, "géométrie de liste incorrecte");
      sheet.images.assign(static_cast<std::size_t>(sheet.count), {});
    } else if (w[0] == "colour" && w.size() == 3 && w[1].size() == 1 && w[1] != ".") {
      if (sheet.palette.size() == 256) src.Fail(i, "plus de 255 couleurs");
      colours[w[1][0]] = static_cast<int>(sheet.palette.size());
      sheet.palette.push_back(src.Colour(i, w[2]));
    } else if (w[0] == "image" && w.size() >= 2) {
      if (sheet.width == 0) src.Fail(i, "ligne list attendue avant la première image");
      int index = src.Integer(i, w[1]);
      if (index >= sheet.count) src.Fail(i, "indice d'image hors de la liste : ", w[1]);
      auto& image = sheet.images[static_cast<std::size_t>(index)];
      if (!image.empty()) src.Fail(i, "image déjà dessinée : ", w[1]);
      for (int y = 0; y < sheet.height; ++y) {
        int row = i + 1 + y;
        if (row >= src.Count() || static_cast<int>(src.Raw(row).size()) != sheet.width)
          src.Fail(row, "ligne de pixels de la largeur de l'image attendue");
        std::vector<int> pixels;
        for (char ch : src.Raw(row)) {
          if (ch == '.') {
            pixels.push_back(-1);
          } else {
            auto found = colours.find(ch);
            if (found == colours.end()) src.Fail(row, "caractère sans couleur : ", std::string(1, ch));
            pixels.push_back(found->second);
          }
        }
        image.push_back(pixels);
      }
      i += sheet.height;
    } else {
      src.Fail(i, "ligne incomprise");
    }
  }
  if (sheet.width == 0) src.Fail(src.Count(), "ligne list manquante");
  sheet.palette.resize(256, 0);
  return sheet;
}

// The platform's image-list stream: a 28-byte header, the colour and mask pictures as BMP
// files of a 4-column grid with one cell per image of the capacity, then 22 zero bytes.
std::string ImageListPayload(const TGlyphSheet& sheet) {
  const int columns = 4;
  const int rows = (sheet.capacity + columns - 1) / columns;
  const int width = columns * sheet.width, height = rows * sheet.height;
  std::vector<std::string> colour(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(Stride(width, 8)), '\0'));
  std::vector<std::string> mask(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(Stride(width, 1)), '\0'));
  for (int i = 0; i < sheet.count; ++i) {
    const auto& image = sheet.images[static_cast<std::size_t>(i)];
    int left = (i % columns) * sheet.width, top = (i / columns) * sheet.height;
    for (int y = 0; y < sheet.height; ++y) {
      for (int x = 0; x < sheet.width; ++x) {
        int index = image.empty() ? -1 : image[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        if (index < 0) SetBit(mask[static_cast<std::size_t>(top + y)], left + x);
        else colour[static_cast<std::size_t>(top + y)][static_cast<std::size_t>(left + x)] = static_cast<char>(index);
      }
    }
  }
  TBytes b;
  b.U8('I');
  b.U8('L');
  b.U16(0x0101);
  b.U16(static_cast<unsigned>(sheet.count));
  b.U16(static_cast<unsigned>(sheet.capacity));
  b.U16(static_cast<unsigned>(sheet.growth));
  b.U16(static_cast<unsigned>(sheet.width));
  b.U16(static_cast<unsigned>(sheet.height));
  b.U32(0xFFFFFFFF);  // no background colour
  b.U16(0x10FF);      // device-dependent colour, masked
  for (int i = 0; i < 4; ++i) b.U16(0xFFFF);  // no overlay images
  b.Append(BmpFile(width, height, 8, sheet.palette, colour, true));
  b.Append(BmpFile(width, height, 1, {0x000000, 0xFFFFFF}, mask, true));
  b.Append(std::string(22, '\0'));
  return b.data;
}

// ---- shapes ----

constexpr double kPi = 3.14159265358979323846;

struct TPoint {
  double x, y;
};

struct TShape {
  enum TKind { RoundRect, Ellipse, Polygon, Line, Arc } kind;
  std::vector<double> v;  // the numbers of the line, in order
  std::vector<TPoint> points;
  std::uint32_t colour = 0, colour2 = 0;
  bool gradient = false;

  double Dist(TPoint p, TPoint a, TPoint b) const {
    double dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
    double t = len > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
  }

  bool Contains(TPoint p) const {
    switch (kind) {
      case RoundRect: {
        double x = v[0], y = v[1], w = v[2], h = v[3], r = v[4];
        if (p.x < x || p.y < y || p.x > x + w || p.y > y + h) return false;
        double dx = std::max({x + r - p.x, 0.0, p.x - (x + w - r)});
        double dy = std::max({y + r - p.y, 0.0, p.y - (y + h - r)});
        return dx * dx + dy * dy <= r * r;
      }
      case Ellipse: {
        double dx = (p.x - v[0]) / v[2], dy = (p.y - v[1]) / v[3];
        return dx * dx + dy * dy <= 1;
      }
      case Polygon: {
        bool inside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
          const TPoint &a = points[i], &b = points[j];
          if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
        }
        return inside;
      }
      case Line: {
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
          if (Dist(p, points[i], points[i + 1]) <= v[0] / 2) return true;
        return points.size() == 1 && Dist(p, points[0], points[0]) <= v[0] / 2;
      }
      case Arc: {
        double half = v[0] / 2, cx = v[1], cy = v[2], r = v[3];
        double from = v[4] * kPi / 180, to = v[5] * kPi / 180;
        TPoint ends[2] = {{cx + r * std::cos(from), cy + r * std::sin(from)}, {cx + r * std::cos(to), cy + r * std::sin(to)}};
        for (const TPoint& e : ends)
          if (Dist(p, e, e) <= half) return true;
        if (std::fabs(std::hypot(p.x - cx, p.y - cy) - r) > half) return false;
        double angle = std::atan2(p.y - cy, p.x - cx);
        while (angle < from) angle += 2 * kPi;
        return angle <= to;
      }
    }
    return false;
  }

  std::uint32_t ColourAt(TPoint p) const {
    if (!gradient) return colour;
    double t = std::clamp((p.y - v[1]) / v[3], 0.0, 1.0);
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      double a = (colour >> shift) & 0xFF, b = (colour2 >> shift) & 0xFF;
      out |= static_cast<std::uint32_t>(std::lround(a + (b - a) * t)) << shift;
    }
    return out;
  }
};

struct TDrawing {
  int width = 0, height = 0;
  std::uint32_t transparent = 0xFF00FF, matte = 0xFFFFFF;
  std::vector<int> sizes;
  std::vector<TShape> shapes;
};

TDrawing ReadDrawing(const std::string& path) {
  TSource src(path);
  TDrawing d;
  for (int i = 0; i < src.Count(); ++i) {
    std::vector<std::string> w = src.Words(i);
    if (w.empty()) continue;
    const std::string& verb = w[0];
    auto numbers = [&](std::size_t from, std::size_t to) {
      std::vector<double> v;
      for (std::size_t k = from; k < to; ++k) v.push_back(src.Number(i, w[k]));
      return v;
    };
    auto points = [&](std::size_t from) {
      if ((w.size() - from) % 2 || w.size() == from) src.Fail(i, "liste de points X Y attendue");
      std::vector<TPoint> p;
      for (std::size_t k = from; k < w.size(); k += 2) p.push_back({src.Number(i, w[k]), src.Number(i, w[k + 1])});
      return p;
    };
    if (verb == "canvas" && w.size() == 3) {
      d.width = src.Integer(i, w[1]);
      d.height = src.Integer(i, w[2]);
    } else if (verb == "transparent" && w.size() == 2) {
      d.transparent = src.Colour(i, w[1]);
    } else if (verb == "matte" && w.size() == 2) {
      d.matte = src.Colour(i, w[1]);
    } else if (verb == "sizes" && w.size() >= 2) {
      for (std::size_t k = 1; k < w.size(); ++k) {
        int size = src.Integer(i, w[k]);
        if (size < 1 || size > 256) src.Fail(i, "taille d'icône de 1 à 256 attendue");
        d.sizes.push_back(size);
      }
    } else if (verb == "roundrect" && (w.size() == 7 || w.size() == 8)) {
      TShape s{TShape::RoundRect, numbers(1, 6), {}, src.Colour(i, w[6])};
      if (w.size() == 8) {
        s.colour2 = src.Colour(i, w[7]);
        s.gradient = true;
      }
      d.shapes.push_back(s);
    } else if (verb == "ellipse" && w.size() == 6) {
      d.shapes.push_back({TShape::Ellipse, numbers(1, 5), {}, src.Colour(i, w[5])});
    } else if (verb == "polygon" && w.size() >= 8) {
      d.shapes.push_back({TShape::Polygon, {}, points(2), src.Colour(i, w[1])});
    } else if (verb == "line" && w.size() >= 5) {
      d.shapes.push_back({TShape::Line, numbers(1, 2), points(3), src.Colour(i, w[2])});
    } else if (verb == "arc" && w.size() == 8) {
      std::vector<double> v = numbers(1, 2);
      std::vector<double> rest = numbers(3, 8);
      v.insert(v.end(), rest.begin(), rest.end());
      if (v[5] < v[4]) src.Fail(i, "l'angle de fin précède celui de début");
      d.shapes.push_back({TShape::Arc, v, {}, src.Colour(i, w[2])});
    } else {
      src.Fail(i, "ligne incomprise");
    }
  }
  if (d.width < 1 || d.height < 1) src.Fail(src.Count(), "ligne canvas manquante");
  return d;
}

struct TRgba {
  double r = 0, g = 0, b = 0, a = 0;  // colour of the covered part, coverage
};

// Renders the drawing at width × height with n × n samples per pixel.
std::vector<TRgba> Render(const TDrawing& d, int width, int height, int n = 8) {
  std::vector<TRgba> out(static_cast<std::size_t>(width * height));
  double sx = static_cast<double>(d.width) / width, sy = static_cast<double>(d.height) / height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      TRgba& px = out[static_cast<std::size_t>(y * width + x)];
      int covered = 0;
      for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
          TPoint p{(x + (i + 0.5) / n) * sx, (y + (j + 0.5) / n) * sy};
          for (auto s = d.shapes.rbegin(); s != d.shapes.rend(); ++s) {
            if (!s->Contains(p)) continue;
            std::uint32_t c = s->ColourAt(p);
            px.r += (c >> 16) & 0xFF;
            px.g += (c >> 8) & 0xFF;
            px.b += c & 0xFF;
            ++covered;
            break;
          }
        }
      }
      if (covered) {
        px.r /= covered;
        px.g /= covered;
        px.b /= covered;
      }
      px.a = static_cast<double>(covered) / (n * n);
    }
  }
  return out;
}

// ---- the picture ----

// An 8-bit picture over the matte: pixels hardly covered take the transparent colour, the
// others blend into the matte by coverage; at most 256 colours, the rarest mapped to the
// nearest kept one.
std::string PicturePayload(const TDrawing& d) {
  const double kMinCoverage = 0.2;
  std::vector<TRgba> pixels = Render(d, d.width, d.height);
  std::vector<std::uint32_t> rgb(pixels.size());
  std::map<std::uint32_t, int> counts;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const TRgba& p = pixels[i];
    if (p.a < kMinCoverage) {
      rgb[i] = d.transparent;
      continue;
    }
    auto mix = [&](double c, int shift) {
      double m = (d.matte >> shift) & 0xFF;
      return static_cast<std::uint32_t>(std::lround(c * p.a + m * (1 - p.a)));
    };
    std::uint32_t c = mix(p.r, 16) << 16 | mix(p.g, 8) << 8 | mix(p.b, 0);
    if (c == d.transparent) c ^= 1;  // only uncovered pixels may vanish
    rgb[i] = c;
    ++counts[c];
  }
  std::vector<std::pair<int, std::uint32_t>> byCount;
  for (const auto& [c, n] : counts) byCount.push_back({-n, c});
  std::sort(byCount.begin(), byCount.end());
  std::vector<std::uint32_t> palette{d.transparent};
  for (const auto& entry : byCount) {
    if (palette.size() == 256) break;
    palette.push_back(entry.second);
  }
  auto nearest = [&](std::uint32_t c) {
    int best = 1;
    long bestDistance = -1;
    for (std::size_t k = 1; k < palette.size(); ++k) {
      long distance = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        long delta = static_cast<long>((c >> shift) & 0xFF) - static_cast<long>((palette[k] >> shift) & 0xFF);
        distance += delta * delta;
      }
      if (bestDistance < 0 || distance < bestDistance) {
        bestDistance = distance;
        best = static_cast<int>(k);
      }
    }
    return best;
  };
  std::map<std::uint32_t, int> index{{d.transparent, 0}};
  std::vector<std::string> rows(static_cast<std::size_t>(d.height), std::string(static_cast<std::size_t>(Stride(d.width, 8)), '\0'));
  for (int y = 0; y < d.height; ++y) {
    for (int x = 0; x < d.width; ++x) {
      std::uint32_t c = rgb[static_cast<std::size_t>(y * d.width + x)];
      auto found = index.find(c);
      if (found == index.end()) found = index.emplace(c, nearest(c)).first;
      rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = static_cast<char>(found->second);
    }
  }
  palette.resize(256, 0);
  std::string bmp = BmpFile(d.width, d.height, 8, palette, rows, false);
  // The picture's value: the graphic's class name, then the bitmap's size and bytes.
  TBytes b;
  b.U8(7);
  b.Append("TBitmap");
  b.U32(static_cast<std::uint32_t>(bmp.size()));
  b.Append(bmp);
  return b.data;
}

// ---- icon and cursors ----

// One image of an icon or cursor file: its header with the doubled height, the colour rows
// and the AND mask rows, bottom first.
std::string IconImage(int size, int bits, const std::vector<std::uint32_t>& palette, const std::vector<std::string>& xorRows,
                      const std::vector<std::string>& andRows) {
  TBytes b;
  b.U32(40);
  b.U32(static_cast<std::uint32_t>(size));
  b.U32(static_cast<std::uint32_t>(2 * size));
  b.U16(1);
  b.U16(static_cast<unsigned>(bits));
  b.U32(0);
  b.U32(static_cast<std::uint32_t>((Stride(size, bits) + Stride(size, 1)) * size));
  for (int i = 0; i < 4; ++i) b.U32(0);
  for (std::uint32_t c : palette) b.U32(c);
  for (int y = size - 1; y >= 0; --y) b.Append(xorRows[static_cast<std::size_t>(y)]);
  for (int y = size - 1; y >= 0; --y) b.Append(andRows[static_cast<std::size_t>(y)]);
  return b.data;
}

// An icon (type 1) or cursor (type 2) file. For a cursor the two words after the colour
// count are the hot spot.
struct TIconEntry {
  int size, colours, word1, word2;
  std::string image;
};

std::string IconFile(int type, const std::vector<TIconEntry>& entries) {
  TBytes b;
  b.U16(0);
  b.U16(static_cast<unsigned>(type));
  b.U16(static_cast<unsigned>(entries.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
  for (const TIconEntry& e : entries) {
    b.U8(e.size >= 256 ? 0 : static_cast<unsigned>(e.size));
    b.U8(e.size >= 256 ? 0 : static_cast<unsigned>(e.size));
    b.U8(static_cast<unsigned>(e.colours));
    b.U8(0);
    b.U16(static_cast<unsigned>(e.word1));
    b.U16(static_cast<unsigned>(e.word2));
    b.U32(static_cast<std::uint32_t>(e.image.size()));
    b.U32(offset);
    offset += static_cast<std::uint32_t>(e.image.size());
  }
  for (const TIconEntry& e : entries) b.Append(e.image);
  return b.data;
}

// 32-bit images with an alpha channel, and a mask for what is fully transparent.
std::string IconPayload(const TDrawing& d) {
  std::vector<TIconEntry> entries;
  for (int size : d.sizes) {
    std::vector<TRgba> pixels = Render(d, size, size);
    std::vector<std::string> colour(static_cast<std::size_t>(size)), mask(static_cast<std::size_t>(size), std::string(static_cast<std::size_t>(Stride(size, 1)), '\0'));
    for (int y = 0; y < size; ++y) {
      TBytes row;
      for (int x = 0; x < size; ++x) {
        const TRgba& p = pixels[static_cast<std::size_t>(y * size + x)];
        unsigned alpha = static_cast<unsigned>(std::lround(p.a * 255));
        row.U8(static_cast<unsigned>(std::lround(p.b)));
        row.U8(static_cast<unsigned>(std::lround(p.g)));
        row.U8(static_cast<unsigned>(std::lround(p.r)));
        row.U8(alpha);
        if (alpha == 0) SetBit(mask[static_cast<std::size_t>(y)], x);
      }
      colour[static_cast<std::size_t>(y)] = row.data;
    }
    entries.push_back({size, 0, 1, 32, IconImage(size, 32, {}, colour, mask)});
  }
  return IconFile(1, entries);
}

struct TCursor {
  int id;
  std::string file;
};

// Monochrome 32×32 cursors: black and white paint through an opaque mask, transparent and
// inverted pixels keep the mask bit.
std::vector<std::pair<TCursor, std::string>> CursorPayloads(const std::string& path) {
  const int kSize = 32;
  TSource src(path);
  std::vector<std::pair<TCursor, std::string>> out;
  for (int i = 0; i < src.Count(); ++i) {
    std::vector<std::string> w = src.Words(i);
    if (w.empty()) continue;
    if (w[0] != "cursor" || w.size() < 5) src.Fail(i, "ligne cursor ID nom X Y attendue");
    int id = src.Integer(i, w[1]);
    int hotX = src.Integer(i, w[w.size() - 2]), hotY = src.Integer(i, w[w.size() - 1]);
    if (hotX >= kSize || hotY >= kSize) src.Fail(i, "point chaud hors du curseur");
    std::vector<std::string> xorRows, andRows;
    for (int y = 0; y < kSize; ++y) {
      int row = i + 1 + y;
      if (row >= src.Count() || static_cast<int>(src.Raw(row).size()) != kSize)
        src.Fail(row, "ligne de 32 pixels attendue");
      std::string xorRow(static_cast<std::size_t>(Stride(kSize, 1)), '\0'), andRow = xorRow;
      for (int x = 0; x < kSize; ++x) {
        switch (src.Raw(row)[static_cast<std::size_t>(x)]) {
          case 'k': break;
          case 'w': SetBit(xorRow, x); break;
          case '.': SetBit(andRow, x); break;
          case 'x': SetBit(xorRow, x); SetBit(andRow, x); break;
          default: src.Fail(row, "caractère de curseur inconnu (k w . x)");
        }
      }
      xorRows.push_back(xorRow);
      andRows.push_back(andRow);
    }
    i += kSize;
    std::string image = IconImage(kSize, 1, {0x000000, 0xFFFFFF}, xorRows, andRows);
    out.push_back({{id, std::to_string(id) + ".cur"}, IconFile(2, {{kSize, 2, hotX, hotY, image}})});
  }
  return out;
}

void Save(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw TAssetError{path, 0, AnsiToUtf8("écriture impossible")};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage : assetgen SOURCES SORTIE\n";
    return 2;
  }
  const std::string in = argv[1], out = argv[2];
  try {
    Save(out + "/toolbar.imagelist", ImageListPayload(ReadGlyphs(in + "/images.txt")));
    Save(out + "/logo.picture", PicturePayload(ReadDrawing(in + "/logo.txt")));
    TDrawing icon = ReadDrawing(in + "/icon.txt");
    if (icon.sizes.empty()) throw TAssetError{in + "/icon.txt", 0, AnsiToUtf8("ligne sizes manquante")};
    Save(out + "/tavelo.ico", IconPayload(icon));
    for (const auto& [cursor, bytes] : CursorPayloads(in + "/cursors.txt")) Save(out + "/" + cursor.file, bytes);
  } catch (const TAssetError& e) {
    std::cerr << e.file << ":" << e.line << ": " << e.message << "\n";
    return 1;
  }
  return 0;
}
