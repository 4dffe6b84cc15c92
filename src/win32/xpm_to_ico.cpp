// xpm_to_ico: turns an XPM picture of at most 16 colours (plus "None" for transparent pixels)
// into a Windows .ico file holding one 16-colour image. A build tool that runs on the build
// host, so that Cartidex.exe's icon is made from the same text source as the Qt window's icon.
//
// Usage: xpm_to_ico INPUT.xpm OUTPUT.ico
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool Fail(const std::string& message) {
  std::fprintf(stderr, "xpm_to_ico: %s\n", message.c_str());
  return false;
}

// The C string literals of the file, in order (XPM is a C array of strings).
std::vector<std::string> StringLiterals(const std::string& text) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, 2, "/*") == 0) {
      size_t end = text.find("*/", i + 2);
      i = end == std::string::npos ? text.size() : end + 2;
    } else if (text[i] == '"') {
      std::string s;
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        s.push_back(text[i]);
      }
      ++i;
      out.push_back(s);
    } else {
      ++i;
    }
  }
  return out;
}

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator<(const Rgb& o) const { return r != o.r ? r < o.r : g != o.g ? g < o.g : b < o.b; }
};

bool ParseColour(std::string value, Rgb* rgb, bool* transparent) {
  *transparent = false;
  for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (value == "none") {
    *transparent = true;
    return true;
  }
  static const std::map<std::string, Rgb> kNames = {
      {"black", {0, 0, 0}},     {"white", {255, 255, 255}}, {"red", {255, 0, 0}},
      {"green", {0, 255, 0}},   {"blue", {0, 0, 255}},      {"yellow", {255, 255, 0}},
      {"cyan", {0, 255, 255}},  {"magenta", {255, 0, 255}}, {"gray", {190, 190, 190}},
      {"grey", {190, 190, 190}}};
  auto named = kNames.find(value);
  if (named != kNames.end()) {
    *rgb = named->second;
    return true;
  }
  if (value.empty() || value[0] != '#') return false;
  std::string hex = value.substr(1);
  if (hex.size() != 6 && hex.size() != 12 && hex.size() != 3) return false;
  for (char c : hex) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  size_t digits = hex.size() / 3;
  auto channel = [&](int k) {
    unsigned v = static_cast<unsigned>(std::stoul(hex.substr(k * digits, digits), nullptr, 16));
    if (digits == 1) return static_cast<uint8_t>(v * 17);
    if (digits == 4) return static_cast<uint8_t>(v >> 8);
    return static_cast<uint8_t>(v);
  };
  *rgb = Rgb{channel(0), channel(1), channel(2)};
  return true;
}

void Put16(std::string* out, unsigned v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A picture of at most 16 colours: palette indices row by row from the top, -1 for transparent.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> palette;
  std::vector<std::vector<int>> rows;
};

// Reads the colour lines into `keys` (the `cpp` characters of each colour to its palette index,
// -1 for transparent) and the picture's palette.
bool ReadColours(const std::vector<std::string>& lines, size_t cpp, const std::string& input,
                 std::map<std::string, int>* keys, std::vector<Rgb>* palette) {
  std::map<Rgb, int> palette_index;
  for (const std::string& line : lines) {
    if (line.size() < cpp) return Fail(input + ": short colour line");
    const std::string key = line.substr(0, cpp);
    std::istringstream fields(line.substr(cpp));
    std::string word, value;
    while (fields >> word) {
      if (word == "c" && fields >> value) break;
      value.clear();
    }
    Rgb rgb;
    bool transparent = false;
    if (value.empty() || !ParseColour(value, &rgb, &transparent)) {
      return Fail(input + ": colour line \"" + line + "\" has no usable \"c\" colour");
    }
    if (transparent) {
      (*keys)[key] = -1;
      continue;
    }
    auto found = palette_index.find(rgb);
    if (found == palette_index.end()) {
      found = palette_index.emplace(rgb, static_cast<int>(palette->size())).first;
      palette->push_back(rgb);
    }
    (*keys)[key] = found->second;
  }
  if (palette->size() > 16) return Fail(input + ": more than 16 colours");
  return true;
}

bool ReadXpm(const std::string& input, Picture* picture) {
  std::ifstream in(input, std::ios::binary);
  if (!in) return Fail("cannot read " + input);
  std::stringstream text;
  text << in.rdbuf();
  std::vector<std::string> strings = StringLiterals(text.str());
  if (strings.empty()) return Fail(input + ": no XPM header");
  int width = 0, height = 0, colours = 0, cpp = 0;
  if (std::sscanf(strings[0].c_str(), "%d %d %d %d", &width, &height, &colours, &cpp) != 4 ||
      width <= 0 || height <= 0 || width > 256 || height > 256 || colours <= 0 || cpp <= 0) {
    return Fail(input + ": bad XPM header \"" + strings[0] + "\"");
  }
  if (strings.size() < static_cast<size_t>(1 + colours + height)) {
    return Fail(input + ": fewer lines than the header announces");
  }
  std::map<std::string, int> keys;
  const std::vector<std::string> colour_lines(strings.begin() + 1, strings.begin() + 1 + colours);
  if (!ReadColours(colour_lines, static_cast<size_t>(cpp), input, &keys, &picture->palette)) {
    return false;
  }
  picture->width = width;
  picture->height = height;
  for (int y = 0; y < height; ++y) {
    const std::string& row = strings[1 + colours + y];
    if (row.size() < static_cast<size_t>(width * cpp)) return Fail(input + ": short pixel row");
    std::vector<int>& pixels = picture->rows.emplace_back();
    for (int x = 0; x < width; ++x) {
      auto it = keys.find(row.substr(static_cast<size_t>(x * cpp), cpp));
      if (it == keys.end()) return Fail(input + ": pixel of an undeclared colour");
      pixels.push_back(it->second);
    }
  }
  return true;
}

// The picture as the one image of an icon: BITMAPINFOHEADER, 16-entry palette, 4-bit colour
// rows, 1-bit AND mask, both bottom-up with rows padded to 4 bytes.
std::string IconImage(const Picture& picture) {
  const int width = picture.width;
  const int height = picture.height;
  const size_t colour_row = ((static_cast<size_t>(width) * 4 + 31) / 32) * 4;
  const size_t mask_row = ((static_cast<size_t>(width) + 31) / 32) * 4;
  std::vector<std::string> xor_rows(height, std::string(colour_row, '\0'));
  std::vector<std::string> and_rows(height, std::string(mask_row, '\0'));
  for (int y = 0; y < height; ++y) {
    std::string& xr = xor_rows[height - 1 - y];
    std::string& ar = and_rows[height - 1 - y];
    for (int x = 0; x < width; ++x) {
      int v = picture.rows[y][x];
      if (v < 0) {
        ar[x / 8] = static_cast<char>(ar[x / 8] | (0x80 >> (x % 8)));
        v = 0;
      }
      char& byte = xr[x / 2];
      byte = static_cast<char>(byte | (x % 2 == 0 ? v << 4 : v));
    }
  }
  std::string image;
  Put32(&image, 40);
  Put32(&image, static_cast<uint32_t>(width));
  Put32(&image, static_cast<uint32_t>(height * 2));  // colour rows and mask rows
  Put16(&image, 1);
  Put16(&image, 4);
  Put32(&image, 0);  // BI_RGB
  Put32(&image, static_cast<uint32_t>((colour_row + mask_row) * height));
  Put32(&image, 0);
  Put32(&image, 0);
  Put32(&image, 16);
  Put32(&image, 0);
  for (size_t i = 0; i < 16; ++i) {
    Rgb c = i < picture.palette.size() ? picture.palette[i] : Rgb{};
    image.push_back(static_cast<char>(c.b));
    image.push_back(static_cast<char>(c.g));
    image.push_back(static_cast<char>(c.r));
    image.push_back('\0');
  }
  for (const std::string& r : xor_rows) image += r;
  for (const std::string& r : and_rows) image += r;
  return image;
}

bool Convert(const std::string& input, const std::string& output) {
  Picture picture;
  if (!ReadXpm(input, &picture)) return false;
  const std::string image = IconImage(picture);
  std::string ico;
  Put16(&ico, 0);
  Put16(&ico, 1);  // an icon
  Put16(&ico, 1);  // one image
  ico.push_back(static_cast<char>(picture.width == 256 ? 0 : picture.width));
  ico.push_back(static_cast<char>(picture.height == 256 ? 0 : picture.height));
  ico.push_back(16);  // colours
  ico.push_back(0);
  Put16(&ico, 1);  // planes
  Put16(&ico, 4);  // bits per pixel
  Put32(&ico, static_cast<uint32_t>(image.size()));
  Put32(&ico, 6 + 16);
  ico += image;

  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(ico.data(), static_cast<std::streamsize>(ico.size()));
  out.close();
  if (!out) return Fail("cannot write " + output);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: xpm_to_ico INPUT.xpm OUTPUT.ico\n");
    return 2;
  }
  return Convert(argv[1], argv[2]) ? 0 : 1;
}
