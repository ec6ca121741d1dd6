#include "jpeg_writer.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <jpeglib.h>

namespace orla::test {

int JpegComponents(JpegKind kind) {
  switch (kind) {
    case JpegKind::Grey: return 1;
    case JpegKind::Rgb: return 3;
    case JpegKind::TwoComponents: return 2;
    default: return 4;
  }
}

std::vector<std::uint8_t> FlatSamples(const JpegSpec& spec, std::vector<std::uint8_t> pixel) {
  std::vector<std::uint8_t> samples;
  for (int i = 0; i < spec.width * spec.height; ++i) samples.insert(samples.end(), pixel.begin(), pixel.end());
  return samples;
}

std::vector<std::uint8_t> EncodeJpeg(const JpegSpec& spec) {
  const int components = JpegComponents(spec.kind);
  if (spec.samples.size() != static_cast<std::size_t>(spec.width) * spec.height * components) {
    throw std::invalid_argument("JPEG samples do not match the size");
  }
  jpeg_compress_struct encoder{};
  jpeg_error_mgr errors{};
  encoder.err = jpeg_std_error(&errors);
  jpeg_create_compress(&encoder);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&encoder, &buffer, &size);
  encoder.image_width = static_cast<JDIMENSION>(spec.width);
  encoder.image_height = static_cast<JDIMENSION>(spec.height);
  encoder.input_components = components;
  encoder.in_color_space = components == 1   ? JCS_GRAYSCALE
                           : components == 3 ? JCS_RGB
                           : components == 4 ? JCS_CMYK
                                             : JCS_UNKNOWN;
  jpeg_set_defaults(&encoder);
  if (spec.kind == JpegKind::Ycck) jpeg_set_colorspace(&encoder, JCS_YCCK);
  jpeg_set_quality(&encoder, spec.quality, TRUE);
  if (spec.kind == JpegKind::Rgb) {
    // No chroma subsampling: flat test colours come back within a step or two.
    for (int c = 0; c < 3; ++c) encoder.comp_info[c].h_samp_factor = encoder.comp_info[c].v_samp_factor = 1;
  }
  encoder.write_JFIF_header = spec.writeJfif ? TRUE : FALSE;
  encoder.density_unit = spec.densityUnit;
  encoder.X_density = spec.xDensity;
  encoder.Y_density = spec.yDensity;
  encoder.write_Adobe_marker = spec.writeAdobe ? TRUE : FALSE;
  if (spec.progressive) jpeg_simple_progression(&encoder);
  jpeg_start_compress(&encoder, TRUE);
  const std::size_t rowBytes = static_cast<std::size_t>(spec.width) * components;
  while (encoder.next_scanline < encoder.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(spec.samples.data() + encoder.next_scanline * rowBytes);
    jpeg_write_scanlines(&encoder, &row, 1);
  }
  jpeg_finish_compress(&encoder);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&encoder);
  std::free(buffer);
  return bytes;
}

}  // namespace orla::test
