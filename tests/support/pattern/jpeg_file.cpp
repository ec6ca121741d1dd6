// Compiled by g++ only: libjpeg's headers must not meet the winelib compiler.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "page_files.h"

namespace orla::pattern {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr, int) {}

}  // namespace

bool WriteJpegFile(const GreyPage& page, const std::string& path, int quality) {
  if (page.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;

  jpeg_compress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnJpegError;
  errors.base.emit_message = Quiet;
  // Nothing with a destructor lives between setjmp and the libjpeg calls.
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_compress(&info);
    std::fclose(file);
    std::remove(path.c_str());
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(page.width);
  info.image_height = static_cast<JDIMENSION>(page.height);
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.density_unit = 1;  // dots per inch
  info.X_density = info.Y_density = static_cast<UINT16>(page.dpi);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&page.pixels[static_cast<std::size_t>(info.next_scanline) *
                                                     static_cast<std::size_t>(page.width)]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  if (std::fclose(file) != 0) {
    std::remove(path.c_str());
    return false;
  }
  return true;
}

}  // namespace orla::pattern
