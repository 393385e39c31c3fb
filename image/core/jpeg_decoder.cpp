#include "image/core/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
// The colour deconverter's declaration: the decoder puts its own conversion in the library's
// place (see ConvertColour).
#include <jpegint.h>

#include "image/core/colour_tables.h"
#include "resources/core/ui_texts.h"
#include "platform/core/paths.h"

namespace ostrelin {
namespace {

// Rows asked of the library per call.
constexpr int kBatchRows = 16;

// Everything a decode needs that must outlive a jump out of the library. It lives in the frame
// of DecodeWith, outside the frame that calls setjmp, so its members are never left in registers
// across a jump and its destructor runs on every path: also when a bad_alloc from a message box
// leaves the decode, the library's memory is given back (destroying twice, or a decompressor
// never created, does nothing).
struct JpegJob {
  JpegJob() = default;
  JpegJob(const JpegJob&) = delete;
  JpegJob& operator=(const JpegJob&) = delete;
  ~JpegJob() { jpeg_destroy_decompress(&cinfo); }

  jpeg_decompress_struct cinfo{};
  struct ErrorManager {
    jpeg_error_mgr pub;  // first member: the library hands back a pointer to it
    std::jmp_buf jump;
    MessageService* messages;
  } error{};
  jpeg_progress_mgr progress{};
  bool tooManyScans = false;
  MessageService* messages = nullptr;
  const ImageLimits* limits = nullptr;
  const ColourTables* tables = nullptr;
  int width = 0;  // pixels kept of every scanline: the image width cut to a multiple of 4
  SourceImage* image = nullptr;
  std::FILE* file = nullptr;
  std::span<const std::uint8_t> bytes;
};

JpegJob& JobOf(j_common_ptr cinfo) { return *static_cast<JpegJob*>(cinfo->client_data); }

// Called from inside the library, whose C frames no exception may cross: a message that cannot
// be shown for lack of memory is dropped, and the load goes on or is abandoned as it would be.
void ShowLibraryMessage(j_common_ptr cinfo) noexcept {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  auto* error = reinterpret_cast<JpegJob::ErrorManager*>(cinfo->err);
  try {
    error->messages->Show(text, MessageButtons::Ok, MessageIcon::Exclamation,
                          image_text::kDecoderCaption);
  } catch (const std::bad_alloc&) {
  }
}

[[noreturn]] void AbandonLoad(j_common_ptr cinfo) {
  (*cinfo->err->output_message)(cinfo);
  auto* error = reinterpret_cast<JpegJob::ErrorManager*>(cinfo->err);
  std::longjmp(error->jump, 1);
}

void WatchScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  JpegJob& job = JobOf(cinfo);
  if (d->input_scan_number > job.limits->maxScans) {
    job.tooManyScans = true;
    std::longjmp(job.error.jump, 1);
  }
}

// The library's colour conversion step, replaced: it receives the upsampled components as
// separate rows and the caller's scanline pointers, which point straight into the bitmap. Colour
// images are converted with the image object's tables, grey ones copied into blue, green and red;
// only the kept width is written, so the library never writes more than a bitmap row holds.
void ConvertColour(j_decompress_ptr cinfo, JSAMPIMAGE input, JDIMENSION inputRow, JSAMPARRAY output,
                   int rows) {
  const JpegJob& job = JobOf(reinterpret_cast<j_common_ptr>(cinfo));
  for (int k = 0; k < rows; ++k, ++inputRow) {
    ConvertYCbCrRow(*job.tables, input[0][inputRow], input[1][inputRow], input[2][inputRow],
                    output[k], job.width);
  }
}

void ExpandGrey(j_decompress_ptr cinfo, JSAMPIMAGE input, JDIMENSION inputRow, JSAMPARRAY output,
                int rows) {
  const JpegJob& job = JobOf(reinterpret_cast<j_common_ptr>(cinfo));
  for (int k = 0; k < rows; ++k, ++inputRow) {
    ExpandGreyRow(input[0][inputRow], output[k], job.width);
  }
}

void Refuse(MessageService& messages, const char* text) {
  messages.Show(text, MessageButtons::Ok, MessageIcon::Exclamation, image_text::kDecoderCaption);
}

// The part that talks to the library. Only trivially destructible locals live here: a jump back
// into this frame must not skip a destructor.
bool RunDecoder(JpegJob& job) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  cinfo.err = jpeg_std_error(&job.error.pub);
  job.error.pub.output_message = ShowLibraryMessage;
  job.error.pub.error_exit = AbandonLoad;
  job.error.messages = job.messages;

  if (setjmp(job.error.jump)) {
    jpeg_destroy_decompress(&cinfo);
    *job.image = SourceImage{};
    if (job.tooManyScans) Refuse(*job.messages, image_text::kJpegTooManyScans);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.client_data = &job;
  job.progress.progress_monitor = WatchScans;
  cinfo.progress = &job.progress;
  if (job.file != nullptr) {
    jpeg_stdio_src(&cinfo, job.file);
  } else {
    jpeg_mem_src(&cinfo, job.bytes.data(), static_cast<unsigned long>(job.bytes.size()));
  }
  jpeg_read_header(&cinfo, TRUE);

  bool grey = false;
  if (cinfo.jpeg_color_space == JCS_YCbCr && cinfo.num_components == 3) {
    cinfo.out_color_space = JCS_YCbCr;  // no library conversion: the tables do it
  } else if (cinfo.jpeg_color_space == JCS_GRAYSCALE && cinfo.num_components == 1) {
    cinfo.out_color_space = JCS_GRAYSCALE;
    grey = true;
  } else {
    jpeg_destroy_decompress(&cinfo);
    Refuse(*job.messages, image_text::kJpegColourSpace);
    return false;
  }
  cinfo.scale_num = cinfo.scale_denom = 1;
  cinfo.quantize_colors = FALSE;
  if (!AcceptImageSize(cinfo.image_width, cinfo.image_height, *job.limits, *job.messages)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const int width = static_cast<int>(cinfo.image_width) & ~3;
  const int height = static_cast<int>(cinfo.image_height);
  if (!AllocateSourceImage(*job.image, width, height, *job.messages)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }

  job.tables = &InitColourTables();
  job.width = width;
  jpeg_start_decompress(&cinfo);
  // The deconverter is set up by jpeg_start_decompress and first called by jpeg_read_scanlines,
  // so this is the moment to put ours in. `color_convert` is the 8-bit entry and follows
  // start_pass in every libjpeg and libjpeg-turbo release (3.x adds 12- and 16-bit entries after
  // it); data of other precisions never reaches it, the library refuses it with an error. With
  // a YCbCr or grey output space the merged upsampler, the only path that bypasses this step,
  // is never chosen. The scanlines below are only `width` pixels long, which is safe only
  // because the library writes them through this step.
  cinfo.cconvert->color_convert = grey ? ExpandGrey : ConvertColour;
  SourceImage& image = *job.image;
  JSAMPROW rows[kBatchRows];
  while (cinfo.output_scanline < cinfo.output_height) {
    const int top = static_cast<int>(cinfo.output_scanline);
    const int wanted = std::min<int>(kBatchRows, static_cast<int>(cinfo.output_height) - top);
    // The first (top) scanline goes into the last row: the bitmap is bottom-up.
    for (int k = 0; k < wanted; ++k) rows[k] = image.Row(height - 1 - (top + k));
    if (jpeg_read_scanlines(&cinfo, rows, JDIMENSION(wanted)) == 0) {
      break;  // the stdio and memory sources never suspend; never loop forever
    }
  }
  if (cinfo.output_scanline < cinfo.output_height) {
    jpeg_destroy_decompress(&cinfo);
    image = SourceImage{};
    return false;
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool DecodeWith(JpegJob& job, SourceImage& image, MessageService& messages,
                const ImageLimits& limits) {
  job.messages = &messages;
  job.limits = &limits;
  job.image = &image;
  image = SourceImage{};
  return RunDecoder(job);
}

}  // namespace

bool DecodeJpegFile(std::string_view path, SourceImage& image, MessageService& messages,
                    const ImageLimits& limits) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  const std::unique_ptr<std::FILE, Closer> in(OpenForReading(path));
  if (!in) {
    image = SourceImage{};
    messages.Show(std::string(image_text::kFileNotFound) + std::string(path), MessageButtons::Ok,
                  MessageIcon::Exclamation);
    return false;
  }
  JpegJob job;
  job.file = in.get();
  return DecodeWith(job, image, messages, limits);
}

bool DecodeJpeg(std::span<const std::uint8_t> bytes, SourceImage& image, MessageService& messages,
                const ImageLimits& limits) {
  JpegJob job;
  job.bytes = bytes;
  return DecodeWith(job, image, messages, limits);
}

}  // namespace ostrelin
