#include <zlib.h>

#include <cstdio>
#include <string>

#include "page_files.h"

namespace orla::pattern {
namespace {

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<std::uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK) return {};
  out.resize(size);
  return out;
}

class PdfBuilder {
 public:
  // Starts object `number`; objects are numbered in the order they are written.
  void Begin(int number) {
    offsets_.resize(static_cast<std::size_t>(number) + 1, 0);
    offsets_[static_cast<std::size_t>(number)] = bytes_.size();
    Text(std::to_string(number) + " 0 obj\n");
  }
  void Text(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void Stream(const std::string& dictionary, const std::vector<std::uint8_t>& data) {
    Text(dictionary.substr(0, dictionary.size() - 2) + " /Length " + std::to_string(data.size()) + " >>\nstream\n");
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    Text("\nendstream\nendobj\n");
  }
  std::vector<std::uint8_t> Finish() {
    const std::size_t xref = bytes_.size();
    Text("xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n");
    for (std::size_t i = 1; i < offsets_.size(); ++i) {
      char line[24];
      std::snprintf(line, sizeof line, "%010zu 00000 n \n", offsets_[i]);
      Text(line);
    }
    Text("trailer\n<< /Size " + std::to_string(offsets_.size()) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n");
    return std::move(bytes_);
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> offsets_;
};

std::string Points(int pixels, int dpi) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", pixels * 72.0 / (dpi > 0 ? dpi : 72));
  return text;
}

}  // namespace

std::vector<std::uint8_t> PdfFileBytes(std::span<const GreyPage> pages) {
  if (pages.empty()) return {};
  PdfBuilder pdf;
  pdf.Text("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  const int count = static_cast<int>(pages.size());
  // Objects: 1 catalog, 2 page tree, then for page i: 3 + 3i page, 4 + 3i contents, 5 + 3i image.
  pdf.Begin(1);
  pdf.Text("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
  pdf.Begin(2);
  std::string kids;
  for (int i = 0; i < count; ++i) kids += std::to_string(3 + 3 * i) + " 0 R ";
  pdf.Text("<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(count) + " >>\nendobj\n");
  for (int i = 0; i < count; ++i) {
    const GreyPage& page = pages[static_cast<std::size_t>(i)];
    if (page.empty()) return {};
    const std::string w = Points(page.width, page.dpi);
    const std::string h = Points(page.height, page.dpi);
    pdf.Begin(3 + 3 * i);
    pdf.Text("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + w + " " + h + "] /Resources << /XObject << /Im0 " +
             std::to_string(5 + 3 * i) + " 0 R >> >> /Contents " + std::to_string(4 + 3 * i) + " 0 R >>\nendobj\n");
    const std::string drawing = "q " + w + " 0 0 " + h + " 0 0 cm /Im0 Do Q\n";
    pdf.Begin(4 + 3 * i);
    pdf.Stream("<< >>", std::vector<std::uint8_t>(drawing.begin(), drawing.end()));
    const std::vector<std::uint8_t> packed = Deflate(page.pixels);
    if (packed.empty()) return {};
    pdf.Begin(5 + 3 * i);
    pdf.Stream("<< /Type /XObject /Subtype /Image /Width " + std::to_string(page.width) + " /Height " +
                   std::to_string(page.height) + " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode >>",
               packed);
  }
  return pdf.Finish();
}

bool WritePdfFile(std::span<const GreyPage> pages, const std::string& path) {
  const std::vector<std::uint8_t> bytes = PdfFileBytes(pages);
  if (bytes.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!(written && closed)) std::remove(path.c_str());
  return written && closed;
}

}  // namespace orla::pattern
