#include "pdf_writer.h"

#include <stdexcept>
#include <zlib.h>

namespace orla::test {
namespace {

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<std::uint8_t> out(size);
  if (compress(out.data(), &size, data.data(), static_cast<uLong>(data.size())) != Z_OK) {
    throw std::runtime_error("zlib cannot compress");
  }
  out.resize(size);
  return out;
}

std::string FilterName(PdfFilter filter) {
  switch (filter) {
    case PdfFilter::Flate: return "/FlateDecode";
    case PdfFilter::Dct: return "/DCTDecode";
    default: return "";
  }
}

// The image dictionary entries shared by XObjects and inline images.
std::string ImageEntries(const PdfImage& image) {
  std::string s = "/Width " + std::to_string(image.width) + " /Height " + std::to_string(image.height);
  if (image.imageMask) {
    s += " /ImageMask true";
  } else {
    s += " /ColorSpace " + image.colorSpace + " /BitsPerComponent " + std::to_string(image.bitsPerComponent);
  }
  if (!image.decode.empty()) s += " /Decode " + image.decode;
  if (image.filter != PdfFilter::None) s += " /Filter " + FilterName(image.filter);
  return s;
}

std::vector<std::uint8_t> StoredData(const PdfImage& image) {
  return image.filter == PdfFilter::Flate ? Deflate(image.data) : image.data;
}

class Document {
 public:
  int Reserve() {
    offsets_.push_back(0);
    return static_cast<int>(offsets_.size());
  }
  void Object(int number, const std::string& body) {
    Begin(number);
    Append(body + "\nendobj\n");
  }
  void Stream(int number, const std::string& dictionary, const std::vector<std::uint8_t>& data) {
    Begin(number);
    Append("<< " + dictionary + " /Length " + std::to_string(data.size()) + " >>\nstream\n");
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    Append("\nendstream\nendobj\n");
  }
  std::vector<std::uint8_t> Finish(int root) {
    const std::size_t xref = bytes_.size();
    Append("xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n");
    for (std::size_t offset : offsets_) {
      char line[24];
      std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
      Append(line);
    }
    Append("trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " + std::to_string(root) +
           " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
    return bytes_;
  }
  void Append(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }

 private:
  void Begin(int number) {
    offsets_[static_cast<std::size_t>(number - 1)] = bytes_.size();
    Append(std::to_string(number) + " 0 obj\n");
  }
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> offsets_;
};

}  // namespace

std::vector<std::uint8_t> BuildPdf(const std::vector<PdfPage>& pages) {
  Document doc;
  doc.Append("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  const int catalog = doc.Reserve();
  const int pageTree = doc.Reserve();
  const int font = doc.Reserve();
  std::string kids;
  for (const PdfPage& page : pages) {
    const int pageObject = doc.Reserve();
    const int contents = doc.Reserve();
    kids += std::to_string(pageObject) + " 0 R ";
    std::string xobjects;
    std::vector<std::uint8_t> content;
    auto append = [&content](const std::string& text) { content.insert(content.end(), text.begin(), text.end()); };
    for (std::size_t i = 0; i < page.images.size(); ++i) {
      const PdfImage& image = page.images[i];
      append("q 0 g 612 0 0 792 0 0 cm\n");
      if (image.inlineImage) {
        append("BI " + ImageEntries(image) + " ID ");
        const std::vector<std::uint8_t> data = StoredData(image);
        content.insert(content.end(), data.begin(), data.end());
        append("\nEI Q\n");
        continue;
      }
      const int imageObject = doc.Reserve();
      doc.Stream(imageObject, "/Type /XObject /Subtype /Image " + ImageEntries(image), StoredData(image));
      const std::string name = "/Im" + std::to_string(i);
      xobjects += name + " " + std::to_string(imageObject) + " 0 R ";
      append(name + " Do Q\n");
    }
    if (!page.text.empty()) append("BT /F1 24 Tf 72 700 Td (" + page.text + ") Tj ET\n");
    doc.Stream(contents, "", content);
    doc.Object(pageObject, "<< /Type /Page /Parent " + std::to_string(pageTree) +
                               " 0 R /MediaBox [0 0 612 792] /Contents " + std::to_string(contents) +
                               " 0 R /Resources << /Font << /F1 " + std::to_string(font) +
                               " 0 R >> /XObject << " + xobjects + ">> >> >>");
  }
  doc.Object(font, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  doc.Object(pageTree, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>");
  doc.Object(catalog, "<< /Type /Catalog /Pages " + std::to_string(pageTree) + " 0 R >>");
  return doc.Finish(catalog);
}

std::vector<std::uint8_t> PackBits1(const std::vector<std::vector<int>>& rows) {
  std::vector<std::uint8_t> out;
  for (const std::vector<int>& row : rows) {
    std::vector<std::uint8_t> packed((row.size() + 7) / 8, 0);
    for (std::size_t x = 0; x < row.size(); ++x) {
      if (row[x] != 0) packed[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), packed.begin(), packed.end());
  }
  return out;
}

}  // namespace orla::test
